#include "qt_window.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>
#include <qdrawutil.h>

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

QString loadFamily(const QString& path, const QString& fallback) {
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? fallback : families.front();
}

// Fusion, with the boxes of a classic 3-D window: every text box sits in a sunken edge two
// pixels wide, dark along its top and left, light along its bottom and right, and shows no
// focus frame; the caret alone marks the box that has the focus.
class SunkenBoxes : public QProxyStyle {
public:
    explicit SunkenBoxes(QStyle* base) : QProxyStyle(base) {}

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

} // namespace

QColor MenuColour() {
    return kMenu;
}

void ApplyLook(QApplication& app) {
    registerKorvaneResources();
    const QString regular =
        loadFamily(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"), QStringLiteral("Sans"));
    loadFamily(QStringLiteral(":/fonts/LiberationSans-Bold.ttf"), regular);

    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        auto* style = new SunkenBoxes(fusion);
        style->setParent(&app); // the application owns its style
        QApplication::setStyle(style);
    }
    QApplication::setPalette(fixedPalette());
    QToolTip::setPalette(fixedPalette());

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
