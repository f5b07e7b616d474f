#include "look.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>
#include <qdrawutil.h>

#include <initializer_list>
#include <utility>

#include "window/layout.h"

// The resources live in a static library; make sure they are linked in and registered.
static void registerKorvaneResources() {
    Q_INIT_RESOURCE(korvane);
}

namespace korvane::qt {

namespace {

// The 3-D face colour (buttons, dialogs, labels, the window's background) and the menu colour,
// as Windows 10 sets them.
constexpr QColor kFace(240, 240, 240);
constexpr QColor kMenu(240, 240, 240);

// The look last applied.
bool highContrast = false;
QColor menu = kMenu;

QString loadFamily(const QString& path, const QString& fallback) {
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? fallback : families.front();
}

// Fusion, with the boxes and the button of a classic 3-D window: every text box sits in a
// sunken edge two pixels wide, dark along its top and left, light along its bottom and right,
// and shows no focus frame; the caret alone marks the box that has the focus. A push button
// reached by the keyboard shows a dotted focus rectangle inside its edge in its text colour:
// Fusion draws the default button, which Compute is, as it draws a focused one, so that
// without it the focus would not show on Compute.
class SunkenBoxes : public QProxyStyle {
public:
    explicit SunkenBoxes(QStyle* base) : QProxyStyle(base) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !option->state.testFlag(State_HasFocus) ||
            !option->state.testFlag(State_KeyboardFocusChange)) {
            return;
        }
        painter->save();
        QPen dots(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine);
        dots.setCosmetic(true);
        painter->setPen(dots);
        painter->setBrush(Qt::NoBrush);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
        painter->restore();
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (element == PE_PanelLineEdit && frame != nullptr && frame->lineWidth > 0) {
            painter->fillRect(option->rect, option->palette.brush(QPalette::Base));
            qDrawWinPanel(painter, option->rect, option->palette, true);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_DefaultFrameWidth && qobject_cast<const QLineEdit*>(widget) != nullptr) {
            return 2; // the text stays inside the edge
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QPalette fixedPalette() {
    QPalette pal;
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor grey(109, 109, 109);
    pal.setColor(QPalette::Window, kFace);
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::WindowText, black);
    pal.setColor(QPalette::ButtonText, black);
    pal.setColor(QPalette::Text, black);
    pal.setColor(QPalette::Base, white);
    pal.setColor(QPalette::AlternateBase, kFace);
    pal.setColor(QPalette::Light, white);
    pal.setColor(QPalette::Midlight, QColor(227, 227, 227));
    pal.setColor(QPalette::Mid, QColor(160, 160, 160));
    pal.setColor(QPalette::Dark, QColor(160, 160, 160));
    pal.setColor(QPalette::Shadow, QColor(105, 105, 105));
    pal.setColor(QPalette::Highlight, QColor(0, 120, 215));
    pal.setColor(QPalette::HighlightedText, white);
    pal.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    pal.setColor(QPalette::ToolTipText, black);
    pal.setColor(QPalette::PlaceholderText, grey);
    pal.setColor(QPalette::Link, QColor(0, 102, 204));
    pal.setColor(QPalette::BrightText, white);
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(QPalette::Disabled, role, grey);
    }
    pal.setColor(QPalette::Disabled, QPalette::Base, kFace);
    return pal;
}

// The window's own high-contrast colours, for a desktop that asks for high contrast and gives no
// high-contrast palette of its own: the text colour on the background colour, for every text
// and every edge, and the disabled text (the effective acceleration) at 7:1 still.
QPalette highContrastPalette(bool inverse) {
    const QColor back = inverse ? QColor(0, 0, 0) : QColor(255, 255, 255);
    const QColor text = inverse ? QColor(255, 255, 255) : QColor(0, 0, 0);
    const QColor disabled = inverse ? QColor(166, 166, 166) : QColor(89, 89, 89);
    QPalette pal;
    for (const auto role :
         {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase,
          QPalette::ToolTipBase, QPalette::HighlightedText, QPalette::BrightText}) {
        pal.setColor(role, back);
    }
    for (const auto role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText,
          QPalette::Highlight, QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark,
          QPalette::Shadow, QPalette::Link, QPalette::LinkVisited}) {
        pal.setColor(role, text);
    }
    pal.setColor(QPalette::PlaceholderText, disabled);
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(QPalette::Disabled, role, disabled);
    }
    return pal;
}

layout::Rgb rgbOf(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// Whether a desktop's palette is a high-contrast one: every text on its background at 7:1.
bool isHighContrast(const QPalette& pal) {
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::ToolTipText, QPalette::ToolTipBase},
    };
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto& [text, back] : pairs) {
            if (!layout::HighContrastPair(rgbOf(pal.color(group, text)),
                                          rgbOf(pal.color(group, back)))) {
                return false;
            }
        }
    }
    return true;
}

// Fusion with the window's own boxes and button, installed once, and again after another style
// has replaced it; the application owns it.
void installStyle(QApplication& app) {
    static QPointer<QStyle> ours;
    if (!ours.isNull() && QApplication::style() == ours) {
        return;
    }
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        auto* style = new SunkenBoxes(fusion);
        style->setParent(&app);
        QApplication::setStyle(style);
        ours = style;
    }
}

} // namespace

QColor MenuColour() {
    return menu;
}

bool HighContrastLook() {
    return highContrast;
}

Desktop TheDesktop() {
    // The palette as the platform theme made it differs from the style's own standard one; it
    // is read before the window's colours first replace it, and, in the program, once the
    // window's style is in place, so that no other style is made for the comparison.
    static const std::optional<QPalette> palette = []() -> std::optional<QPalette> {
        const QPalette current = QApplication::palette();
        if (current == QApplication::style()->standardPalette()) {
            return std::nullopt;
        }
        return current;
    }();
    const QByteArray gtkTheme = qgetenv("GTK_THEME");
    return {gtkTheme.isEmpty() ? PublishedTheme() : gtkTheme.toStdString(), palette};
}

void ApplyLook(QApplication& app) {
    installStyle(app);
    ApplyLook(app, TheDesktop());
}

void ApplyLook(QApplication& app, const Desktop& desktop) {
    registerKorvaneResources();
    const QString regular =
        loadFamily(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"), QStringLiteral("Sans"));
    loadFamily(QStringLiteral(":/fonts/LiberationSans-Bold.ttf"), regular);

    installStyle(app);
    const layout::ContrastAsked asked = layout::ContrastOfTheme(desktop.theme);
    highContrast = asked != layout::ContrastAsked::Normal;
    QPalette pal = fixedPalette();
    if (highContrast) {
        pal = desktop.palette.has_value() && isHighContrast(*desktop.palette)
                  ? *desktop.palette
                  : highContrastPalette(asked == layout::ContrastAsked::HighInverse);
    }
    menu = highContrast ? pal.color(QPalette::Window) : kMenu;
    QApplication::setPalette(pal);
    QToolTip::setPalette(pal);

    // The window's default font: 8 point at 96 dpi, given in pixels so that the layout does not
    // depend on the screen's resolution.
    QFont font(regular);
    font.setPixelSize(layout::FontPixels(layout::kDefaultFont, layout::kLayoutDpi));
    // Slightly narrowed, the captions take the widths of the 8-point face the layout was drawn
    // with: "Max Veh Crossing Speed" fits on one line of its label, while "Stop Line",
    // "Entrance Gate" and "Exit Gate" each wrap onto two. Fully hinted, the glyphs' stems and
    // advances fall on whole pixels, which keeps the text crisp at this small size; the widths
    // stay close enough to the unhinted ones that every caption wraps the same way.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStretch(95);
    QApplication::setFont(font);
    QToolTip::setFont(font);
}

} // namespace korvane::qt
