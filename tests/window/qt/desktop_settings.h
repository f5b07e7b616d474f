#pragma once

// What a desktop publishes to X programs, played by the look test on a real X server: the font
// dpi in the root window's X resources, and an XSETTINGS manager with its theme. The X11 headers
// stay in desktop_settings.cpp: their macros would clash with Qt's names.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvane::desktop {

// One setting of an XSETTINGS property: a string, an integer or a colour (four channels).
struct Setting {
    enum Type : std::uint8_t { Integer = 0, String = 1, Colour = 2 };
    Type type;
    std::string name;
    std::string text;       // String
    std::int32_t value = 0; // Integer; Colour: every channel
};

// The bytes of an XSETTINGS property holding the settings, in the byte order asked.
std::string XSettingsBytes(const std::vector<Setting>& settings, bool msbFirst);

// Sets the display's X resources (RESOURCE_MANAGER on the root window) to "Xft.dpi: <dpi>", as a
// desktop does for its font dpi. The connection stays open until the program ends, so that the
// X server keeps the property. False without an X display.
bool PublishFontDpi(int dpi);

// An XSETTINGS manager of the display's first screen, publishing these settings for as long as
// it lives: it owns the selection _XSETTINGS_S0 and holds the settings on a window of its own.
class SettingsManager {
public:
    explicit SettingsManager(const std::vector<Setting>& settings);
    ~SettingsManager();
    SettingsManager(const SettingsManager&) = delete;
    SettingsManager& operator=(const SettingsManager&) = delete;
    bool ok() const;

private:
    struct X;
    std::unique_ptr<X> x_;
};

} // namespace korvane::desktop
