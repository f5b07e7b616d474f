#pragma once

// The look of the Qt window: its fonts, style and colours, and what it takes from the desktop.

#include <QColor>
#include <QPalette>

#include <optional>
#include <string>
#include <string_view>

class QApplication;

namespace korvane::qt {

// What the desktop tells a program about its colours: the name of its theme, and the palette
// its platform theme gives Qt programs, when it gives one of its own.
struct Desktop {
    std::string theme;
    std::optional<QPalette> palette;
};

// The desktop the program runs on. Its theme: GTK_THEME when it is set, which overrides the
// desktop's theme for GTK programs as well (on Wayland too), otherwise the theme the desktop
// publishes to X programs through XSETTINGS (Net/ThemeName): GNOME sets it to HighContrast
// while its high-contrast switch is on, and Xfce, MATE, Cinnamon and KDE publish theirs there
// too. Its palette: the application's palette as the platform theme (GTK's, KDE's, qt6ct) makes
// it, read once, before the window's own colours replace it. Call once the QApplication exists.
Desktop TheDesktop();

// Gives the application the look the window is laid out for, the same on every desktop: the
// bundled Liberation Sans faces, the Fusion style and a fixed palette, with every size in
// pixels, which the toolkit's scale factor (QT_SCALE_FACTOR, the desktop's font dpi Xft.dpi)
// scales as a whole. When the desktop's theme asks for high contrast, the colours are the
// desktop's palette instead, where it is a high-contrast one, and otherwise black on white (or
// white on black, for an inverse or dark high-contrast theme). Call right after the
// QApplication exists and before the window is created; ApplyLook(app) looks at TheDesktop().
void ApplyLook(QApplication& app);
void ApplyLook(QApplication& app, const Desktop& desktop);

// Whether the look last applied is a high-contrast one: the result boxes then give up their
// cyan, as every part of the window takes the desktop's colours.
bool HighContrastLook();

// The platform's menu colour in the palette applied (the truck picture's background).
QColor MenuColour();

// The theme the desktop publishes to X programs (XSETTINGS Net/ThemeName of the display's
// screen); empty on another window system, or when no settings manager runs.
std::string PublishedTheme();

// The value of the string setting `name` in the bytes of an XSETTINGS property as a settings
// manager publishes them; empty when it is not there or the bytes are not well formed.
std::string XSettingsString(std::string_view data, std::string_view name);

} // namespace korvane::qt
