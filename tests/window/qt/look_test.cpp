// The window's look as the user's desktop asks for it, measured on its own screenshots: at the
// scale the test runs at (QT_SCALE_FACTOR 1, 1.5, 2, or the desktop's font dpi Xft.dpi 144 and
// 192 on a real X server) every caption's and box's text fits its control and no two controls
// overlap that the layout does not overlap; in each colour scheme (the window's own, high
// contrast, its inverse, the desktop's own high-contrast palette) every text stands out from
// its background by 4.5:1 and every box's edge by 3:1; every Tab stop shows the focus when Tab
// reaches it, visibly and uncovered; and the desktop's theme is read from GTK_THEME and from
// an XSETTINGS manager, whose bytes are read whatever they hold.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop_settings.h"
#include "look.h"
#include "qt_window.h"
#include "window/layout.h"

namespace layout = korvane::layout;
using korvane::desktop::Setting;
using korvane::qt::Desktop;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

layout::Rgb rgb(QRgb pixel) {
    return {static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
            static_cast<std::uint8_t>(qBlue(pixel))};
}

double ratio(QRgb a, QRgb b) {
    return layout::ContrastRatio(rgb(a), rgb(b));
}

// The scale the test is to find the window at: KORVANE_EXPECTED_SCALE, or 1.
double expectedScale() {
    const QByteArray scale = qgetenv("KORVANE_EXPECTED_SCALE");
    return scale.isEmpty() ? 1.0 : scale.toDouble();
}

// The colour most pixels of a rectangle have: its background.
QRgb mostFrequent(const QImage& image, const QRect& rect) {
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// The pixel of a rectangle that stands out most from a background: a text's ink.
QRgb mostDistinct(const QImage& image, const QRect& rect, QRgb back) {
    QRgb best = back;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (ratio(image.pixel(x, y), back) > ratio(best, back)) {
                best = image.pixel(x, y);
            }
        }
    }
    return best;
}

// The window with the worked example computed and both free-text boxes filled, so that every
// box shows a text, and Compute focused without a focus mark.
struct Prepared {
    korvane::qt::QtWindow window;

    bool show() {
        for (const auto& [name, text] :
             {std::pair{"txtSpd", "22"}, std::pair{"txtAccel", "0.5"}, std::pair{"txtGrade", "0"},
              std::pair{"txtLength", "65"}, std::pair{"txtEntryPos", "11"},
              std::pair{"txtExitPos", "77"}, std::pair{"txtLocation", "Main St."},
              std::pair{"txtDirection", "north"}}) {
            window.SetText(name, text);
        }
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            return false;
        }
        compute()->click();
        compute()->setFocus(Qt::OtherFocusReason);
        return box("txtExitPass")->text() == QLatin1String("23.6");
    }
    QPushButton* compute() const { return window.findChild<QPushButton*>("Command1"); }
    QLineEdit* box(const char* name) const { return window.findChild<QLineEdit*>(name); }
    QImage shot() { return window.grab().toImage(); }
    // A control's rectangle in the screenshot's pixels.
    QRect pixels(const QWidget* control) const {
        const qreal scale = window.devicePixelRatioF();
        const QRectF at(QPointF(control->mapTo(&window, QPoint(0, 0))), QSizeF(control->size()));
        return QRectF(at.topLeft() * scale, at.size() * scale).toAlignedRect();
    }
};

struct Scheme {
    QString theme;
    std::optional<QPalette> palette;
};

// A palette as a desktop's platform theme would give it: every text and edge in one colour on
// another.
QPalette desktopPalette(const QColor& text, const QColor& back) {
    QPalette pal(text, back, text, text, text, text, text, back, back);
    pal.setColor(QPalette::ToolTipBase, back);
    pal.setColor(QPalette::ToolTipText, text);
    pal.setColor(QPalette::Highlight, text);
    pal.setColor(QPalette::HighlightedText, back);
    return pal;
}

// Rows of colour schemes: the theme the desktop names, the palette its platform theme gives (when
// `given`), and what the window then is drawn in.
void schemeRows() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("given");
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("cyan");
    QTest::addColumn<bool>("edges");
    const QColor navy(0, 0, 128);
    const QPalette yellowOnNavy = desktopPalette(QColor(255, 255, 0), navy);
    const QPalette greyOnGrey = desktopPalette(QColor(100, 100, 100), QColor(200, 200, 200));
    const QPalette none;
    // clang-format off
    QTest::newRow("the window's own colours") << "" << false << none << QColor(240, 240, 240) << true << true;
    QTest::newRow("high contrast") << "HighContrast" << false << none << QColor(255, 255, 255) << false << true;
    QTest::newRow("high contrast, inverse") << "HighContrastInverse" << false << none << QColor(0, 0, 0) << false << true;
    QTest::newRow("high contrast, the desktop's palette") << "HighContrast" << true << yellowOnNavy << navy << false << false;
    QTest::newRow("high contrast, a desktop palette of low contrast") << "HighContrast" << true << greyOnGrey << QColor(255, 255, 255) << false << true;
    QTest::newRow("a dark theme, which asks for nothing") << "Adwaita-dark" << true << yellowOnNavy << QColor(240, 240, 240) << true << true;
    // clang-format on
}

void applyLook(const QString& theme, const std::optional<QPalette>& palette) {
    korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp),
                           Desktop{theme.toStdString(), palette});
}

} // namespace

class LookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // No platform theme here gives a palette of its own; it is read before any look is
        // applied, as the program reads it.
        QVERIFY(!korvane::qt::TheDesktop().palette.has_value());
        // A steady caret, as with blinking off: the focus shows in every screenshot.
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }

    void cleanupTestCase() { applyLook(QString(), std::nullopt); }

    // XSETTINGS bytes of any shape: the theme is found in either byte order among other
    // settings; anything not well formed gives no theme, and no prefix of well-formed bytes
    // gives part of one.
    void xsettingsStrings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("theme");
        const std::vector<Setting> desktop = {
            {Setting::Integer, "Net/CursorBlink", {}, 1},
            {Setting::String, "Gtk/FontName", "Cantarell 11", 0},
            {Setting::Colour, "Gtk/ColorScheme", {}, 0xFFFF},
            {Setting::String, "Net/ThemeName", "HighContrast", 0},
            {Setting::Integer, "Xft/DPI", {}, 147456},
        };
        const auto bytes = [](const std::vector<Setting>& settings, bool msbFirst) {
            const std::string b = korvane::desktop::XSettingsBytes(settings, msbFirst);
            return QByteArray(b.data(), static_cast<qsizetype>(b.size()));
        };
        QByteArray longLength =
            bytes({{Setting::String, "Net/ThemeName", "HighContrast", 0}}, false);
        longLength[12 + 4 + 16 + 4] = '\x7F'; // the value's length, far beyond the end
        QByteArray manySettings = bytes(desktop, false);
        manySettings[8] = '\xFF'; // more settings than there are
        QByteArray unknownType = bytes(desktop, false);
        unknownType[12] = 9;
        // clang-format off
        QTest::newRow("among other settings") << bytes(desktop, false) << "HighContrast";
        QTest::newRow("most significant byte first") << bytes(desktop, true) << "HighContrast";
        QTest::newRow("first and alone") << bytes({desktop[3]}, false) << "HighContrast";
        QTest::newRow("no theme") << bytes({desktop[0], desktop[1], desktop[4]}, false) << "";
        QTest::newRow("an empty theme") << bytes({{Setting::String, "Net/ThemeName", "", 0}}, false) << "";
        QTest::newRow("a theme name of 300 bytes") << bytes({{Setting::String, "Net/ThemeName", std::string(300, 'H'), 0}}, true) << QString(300, QLatin1Char('H'));
        QTest::newRow("a length beyond the end") << longLength << "";
        QTest::newRow("more settings than there are") << manySettings << "HighContrast";
        QTest::newRow("an unknown type first") << unknownType << "";
        QTest::newRow("an unknown byte order") << QByteArray("\x02\0\0\0\0\0\0\0\0\0\0\0", 12) << "";
        QTest::newRow("nothing") << QByteArray() << "";
        // clang-format on
    }

    void xsettingsStrings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, theme);
        const std::string_view data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        QCOMPARE(qs(korvane::qt::XSettingsString(data, "Net/ThemeName")), theme);
        for (std::size_t length = 0; length < data.size(); ++length) {
            const std::string part =
                korvane::qt::XSettingsString(data.substr(0, length), "Net/ThemeName");
            QVERIFY2(part.empty() || qs(part) == theme, qPrintable(QString::number(length)));
        }
    }

    // The desktop's theme: GTK_THEME when set, otherwise what an XSETTINGS manager publishes
    // (on a real X server, where the test runs one).
    void theDesktopsTheme_data() {
        QTest::addColumn<QByteArray>("gtkTheme");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("theme");
        QTest::newRow("GTK_THEME") << QByteArray("HighContrast:dark") << false << ""
                                   << "HighContrast:dark";
        QTest::newRow("neither") << QByteArray() << false << ""
                                 << "";
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            QTest::newRow("published") << QByteArray() << true << "HighContrast"
                                       << "HighContrast";
            QTest::newRow("GTK_THEME over the published")
                << QByteArray("Adwaita") << true << "HighContrastInverse"
                << "Adwaita";
            QTest::newRow("a manager without a theme") << QByteArray() << true << ""
                                                       << "";
        }
    }

    void theDesktopsTheme() {
        QFETCH(QByteArray, gtkTheme);
        QFETCH(bool, manager);
        QFETCH(QString, published);
        QFETCH(QString, theme);
        if (gtkTheme.isEmpty()) {
            qunsetenv("GTK_THEME");
        } else {
            qputenv("GTK_THEME", gtkTheme);
        }
        std::vector<Setting> settings = {{Setting::Integer, "Net/CursorBlink", {}, 1}};
        if (!published.isEmpty()) {
            settings.push_back({Setting::String, "Net/ThemeName", published.toStdString(), 0});
        }
        std::optional<korvane::desktop::SettingsManager> running;
        if (manager) {
            running.emplace(settings);
            QVERIFY(running->ok());
        }
        const Desktop desktop = korvane::qt::TheDesktop();
        qunsetenv("GTK_THEME");
        QCOMPARE(qs(desktop.theme), theme);
    }

    // Each colour scheme: the colours it gives, every text at 4.5:1 on its background and every
    // box edge at 3:1 against the window, measured on the screenshot.
    void colourSchemes_data() { schemeRows(); }

    void colourSchemes() {
        QFETCH(QString, theme);
        QFETCH(bool, given);
        QFETCH(QPalette, palette);
        QFETCH(QColor, window);
        QFETCH(bool, cyan);
        QFETCH(bool, edges);
        applyLook(theme, given ? std::optional(palette) : std::nullopt);
        Prepared w;
        QVERIFY(w.show());
        QCOMPARE(w.window.palette().color(QPalette::Window), window);
        QCOMPARE(korvane::qt::HighContrastLook(), !cyan);
        const QColor resultBack = w.box("txtExitPass")->palette().color(QPalette::Base);
        QCOMPARE(resultBack == QColor(192, 255, 255), cyan);

        const QImage shot = w.shot();
        const QRgb face = mostFrequent(shot, shot.rect());
        QCOMPARE(QColor(face), window);
        const int edge = static_cast<int>(std::ceil(2 * w.window.devicePixelRatioF()));
        QStringList faults;
        double lowestText = 21;
        double lowestEdge = 21;
        // Texts: every caption, every box, Compute's caption, the frame's caption.
        std::vector<std::pair<QString, QRect>> texts;
        for (const layout::Control& c : layout::kControls) {
            QWidget* control = w.window.findChild<QWidget*>(qs(c.name));
            if (c.kind == layout::Kind::Label) {
                texts.emplace_back(qs(c.name), w.pixels(control));
            } else if (layout::IsTextBox(c.kind)) {
                texts.emplace_back(qs(c.name),
                                   w.pixels(control).adjusted(edge, edge, -edge, -edge));
            } else if (c.kind == layout::Kind::Button) {
                texts.emplace_back(qs(c.name),
                                   w.pixels(control).adjusted(edge, edge, -edge, -edge));
            } else if (c.kind == layout::Kind::Frame) {
                const QFontMetrics metrics(control->font());
                const QRect caption(
                    8, 0, metrics.horizontalAdvance(qobject_cast<QGroupBox*>(control)->title()),
                    metrics.height());
                const qreal scale = w.window.devicePixelRatioF();
                const QPoint at = control->mapTo(&w.window, caption.topLeft());
                texts.emplace_back(
                    qs(c.name),
                    QRectF(QPointF(at) * scale, QSizeF(caption.size()) * scale).toAlignedRect());
            }
        }
        for (const auto& [name, rect] : texts) {
            const QRgb back = mostFrequent(shot, rect);
            const double measured = ratio(mostDistinct(shot, rect, back), back);
            lowestText = std::min(lowestText, measured);
            if (measured < 4.5) {
                faults << QStringLiteral("%1: text at %2:1").arg(name).arg(measured, 0, 'f', 2);
            }
        }
        // Box edges: along the top and the left edge, the band of the edge holds a pixel that
        // stands out from the window by 3:1 at every point.
        for (const layout::Control& c : layout::kControls) {
            if (!edges || !layout::IsTextBox(c.kind)) {
                continue;
            }
            const QRect rect = w.pixels(w.window.findChild<QWidget*>(qs(c.name)));
            double weakest = 21;
            for (int x = rect.left() + edge; x <= rect.right() - edge; ++x) {
                double best = 1;
                for (int y = rect.top(); y < rect.top() + edge; ++y) {
                    best = std::max(best, ratio(shot.pixel(x, y), face));
                }
                weakest = std::min(weakest, best);
            }
            for (int y = rect.top() + edge; y <= rect.bottom() - edge; ++y) {
                double best = 1;
                for (int x = rect.left(); x < rect.left() + edge; ++x) {
                    best = std::max(best, ratio(shot.pixel(x, y), face));
                }
                weakest = std::min(weakest, best);
            }
            lowestEdge = std::min(lowestEdge, weakest);
            if (weakest < 3) {
                faults
                    << QStringLiteral("%1: edge at %2:1").arg(qs(c.name)).arg(weakest, 0, 'f', 2);
            }
        }
        // The tool tips, which show only while the pointer rests: their palette.
        const QPalette tips = QToolTip::palette();
        const double tip =
            ratio(tips.color(QPalette::ToolTipText).rgb(), tips.color(QPalette::ToolTipBase).rgb());
        if (tip < 4.5) {
            faults << QStringLiteral("tool tips at %1:1").arg(tip, 0, 'f', 2);
        }
        qInfo("%d texts, lowest %.2f:1; box edges, lowest %.2f:1; tool tips %.2f:1",
              static_cast<int>(texts.size()), lowestText, edges ? lowestEdge : 0.0, tip);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // Every Tab stop shows the focus when Tab reaches it: the screenshot changes inside the
    // stop, by 3:1 where it changes, and nowhere but in the stop left and the stop reached, so
    // that nothing covers the mark.
    void focusVisible_data() {
        QTest::addColumn<QString>("theme");
        QTest::newRow("the window's own colours") << "";
        QTest::newRow("high contrast") << "HighContrast";
        QTest::newRow("high contrast, inverse") << "HighContrastInverse";
    }

    void focusVisible() {
        QFETCH(QString, theme);
        applyLook(theme, std::nullopt);
        Prepared w;
        QVERIFY(w.show());
        w.window.findChild<QWidget*>("txtLocation")->setFocus(Qt::OtherFocusReason);
        const std::vector<const layout::Control*>& ring = layout::TabRing();
        QWidget* left = w.window.findChild<QWidget*>("txtLocation");
        QStringList faults;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const QImage before = w.shot();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* reached = QApplication::focusWidget();
            const QImage after = w.shot();
            const QString name = reached != nullptr ? reached->objectName() : QString();
            const int margin = static_cast<int>(std::ceil(3 * w.window.devicePixelRatioF()));
            const QRect inside = w.pixels(reached);
            const QRect around = inside.adjusted(-margin, -margin, margin, margin);
            const QRect leftAround = w.pixels(left).adjusted(-margin, -margin, margin, margin);
            int changed = 0;
            int elsewhere = 0;
            double strongest = 1;
            for (int y = 0; y < after.height(); ++y) {
                for (int x = 0; x < after.width(); ++x) {
                    if (before.pixel(x, y) == after.pixel(x, y)) {
                        continue;
                    }
                    if (around.contains(x, y)) {
                        ++changed;
                        strongest =
                            std::max(strongest, ratio(before.pixel(x, y), after.pixel(x, y)));
                    } else if (!leftAround.contains(x, y)) {
                        ++elsewhere;
                    }
                }
            }
            if (changed < 8 || strongest < 3 || elsewhere > 0) {
                faults << QStringLiteral("%1: %2 pixels change at up to %3:1, %4 elsewhere")
                              .arg(name)
                              .arg(changed)
                              .arg(strongest, 0, 'f', 2)
                              .arg(elsewhere);
            }
            left = reached;
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtLocation"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // At the scale the test runs at, the window is scaled as a whole: every caption's text fits
    // its caption as laid out, every box's text its box, Compute's caption its button; and two
    // controls overlap only where the layout overlaps them.
    void scaledAsAWhole() {
        applyLook(QString(), std::nullopt);
        Prepared w;
        QVERIFY(w.show());
        const qreal scale = w.window.devicePixelRatioF();
        QVERIFY2(
            qFuzzyCompare(scale, expectedScale()),
            qPrintable(
                QStringLiteral("the window is at %1, not %2").arg(scale).arg(expectedScale())));
        QCOMPARE(w.window.size(), QSize(563, 458));
        QCOMPARE(w.shot().size(), (QSizeF(563, 458) * scale).toSize());
        QStringList faults;
        // Each caption laid out again, as the window lays it out, on a copy far taller than the
        // caption: its ink, found on the copy's pixels, lies inside the caption's own size.
        for (const QLabel* label : w.window.findChildren<QLabel*>()) {
            QLabel copy;
            copy.setFont(label->font());
            copy.setText(label->text());
            copy.setTextFormat(Qt::PlainText);
            copy.setWordWrap(true);
            copy.setAlignment(label->alignment());
            copy.setMargin(0);
            copy.setIndent(0);
            copy.setAutoFillBackground(true);
            copy.resize(label->width(), label->height() + 100);
            const QImage ink = copy.grab().toImage();
            const QRgb back = ink.pixel(ink.width() - 1, ink.height() - 1);
            QRect inked;
            for (int y = 0; y < ink.height(); ++y) {
                for (int x = 0; x < ink.width(); ++x) {
                    if (ink.pixel(x, y) != back) {
                        inked |= QRect(x, y, 1, 1);
                    }
                }
            }
            const QRect room = QRectF(QPointF(0, 0), QSizeF(label->size()) * scale).toAlignedRect();
            if (inked.isEmpty() || !room.contains(inked)) {
                faults << QStringLiteral("%1: ink at %2,%3 %4x%5, the caption %6x%7")
                              .arg(label->objectName())
                              .arg(inked.x())
                              .arg(inked.y())
                              .arg(inked.width())
                              .arg(inked.height())
                              .arg(room.width())
                              .arg(room.height());
            }
        }
        for (const QLineEdit* box : w.window.findChildren<QLineEdit*>()) {
            // The text between the edges and the box's own margins, two pixels a side each.
            const int room = box->width() - 8;
            if (box->fontMetrics().horizontalAdvance(box->text()) > room) {
                faults << QStringLiteral("%1: \"%2\" wider than the box")
                              .arg(box->objectName(), box->text());
            }
        }
        const QPushButton* compute = w.compute();
        if (compute->fontMetrics().horizontalAdvance(compute->text()) > compute->width() - 8) {
            faults << QStringLiteral("Compute's caption is wider than the button");
        }
        // Overlaps: as the layout places the controls, and as the window has them.
        std::vector<std::pair<const layout::Control*, QRect>> placed;
        for (const layout::Control& c : layout::kControls) {
            if (c.kind == layout::Kind::Line) {
                continue;
            }
            const QWidget* control = w.window.findChild<QWidget*>(qs(c.name));
            QRect table(c.place.left / 15, c.place.top / 15, c.place.width / 15,
                        c.place.height / 15);
            if (c.in == layout::In::Frame1) {
                const layout::Control* frame = layout::Find("Frame1");
                table.translate(frame->place.left / 15, frame->place.top / 15);
            }
            const QRect shown(control->mapTo(&w.window, QPoint(0, 0)), control->size());
            if (shown != table) {
                faults << QStringLiteral("%1 stands at %2,%3 %4x%5")
                              .arg(qs(c.name))
                              .arg(shown.x())
                              .arg(shown.y())
                              .arg(shown.width())
                              .arg(shown.height());
            }
            placed.emplace_back(&c, table);
        }
        int overlaps = 0;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                const QWidget* a = w.window.findChild<QWidget*>(qs(placed[i].first->name));
                const QWidget* b = w.window.findChild<QWidget*>(qs(placed[j].first->name));
                const bool shownOverlap =
                    QRect(a->mapTo(&w.window, QPoint(0, 0)), a->size())
                        .intersects(QRect(b->mapTo(&w.window, QPoint(0, 0)), b->size()));
                const bool tableOverlap = placed[i].second.intersects(placed[j].second);
                overlaps += tableOverlap ? 1 : 0;
                if (shownOverlap != tableOverlap) {
                    faults << QStringLiteral(
                                  "%1 and %2 overlap where the layout does not, or the other way")
                                  .arg(qs(placed[i].first->name), qs(placed[j].first->name));
                }
            }
        }
        qInfo("scale %.2f: %d captions, %d boxes; %d overlaps, all the layout's", scale,
              static_cast<int>(w.window.findChildren<QLabel*>().size()),
              static_cast<int>(w.window.findChildren<QLineEdit*>().size()), overlaps);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }
};

// The desktop's font dpi, when the test is to run at one, is published before the application
// connects to the X server, as a desktop has it published before any program starts.
int main(int argc, char* argv[]) {
    const QByteArray dpi = qgetenv("KORVANE_TEST_XFT_DPI");
    if (!dpi.isEmpty() && !korvane::desktop::PublishFontDpi(dpi.toInt())) {
        std::fputs("look_test: no X display to publish Xft.dpi on\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    LookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "look_test.moc"
