// The window as it stands after creation: every control's place, size, texts, look and focus
// behaviour, the stacking of overlapping controls and the pictures.

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTest>

#include "drawn_items.h"
#include "window_harness.h"

using korvane::fake::Harness;

namespace {

enum Kind { TextBox, ResultBox, FreeText, Label, Picture, Frame, Button, Image };

// Positions in twips, as the layout was drawn; the window shows one pixel per 15 twips.
struct Expected {
    const char* name;
    Kind kind;
    const char* container;
    int left, top, width, height;
    int tab; // -1: none
    const char* text;
    Qt::Alignment align;
};

const Qt::Alignment L = Qt::AlignLeft;
const Qt::Alignment R = Qt::AlignRight;
const Qt::Alignment C = Qt::AlignHCenter;

const char* const kDescription =
    "Computes the passage times for a vehicle through a highway-railroad grade crossing under "
    "the forseeable worst-case scenario.The worst-case scenario involves a heavy truck starting "
    "from a stopped position at the stop line at the instant the warning signals are activated.";

// clang-format off
const Expected kControls[] = {
    {"txtDirection", FreeText, "Korvane", 960, 2520, 975, 285, 2, "", L},
    {"txtLocation", FreeText, "Korvane", 960, 2040, 2415, 285, 1, "", L},
    {"txtEffAccel", ResultBox, "Korvane", 2160, 4680, 495, 285, 20, ".", R},
    {"txtSpd", TextBox, "Korvane", 5040, 3600, 735, 285, 8, " ", R},
    {"txtGrade", TextBox, "Korvane", 2160, 4200, 495, 285, 5, " ", R},
    {"txtExitPass", ResultBox, "Korvane", 6600, 5640, 735, 285, 9, " ", R},
    {"txtEntryPass", ResultBox, "Korvane", 4560, 5640, 735, 285, 0, " ", R},
    {"txtAccel", TextBox, "Korvane", 1680, 3720, 495, 285, 4, " ", R},
    {"txtLength", TextBox, "Korvane", 2520, 3240, 1215, 285, 3, " ", C},
    {"txtExitPos", TextBox, "Korvane", 3960, 4800, 2655, 285, 7, " ", C},
    {"txtEntryPos", TextBox, "Korvane", 3960, 4440, 615, 285, 6, " ", C},
    {"Picture3", Picture, "Korvane", 2520, 3600, 1335, 495, 22, "", L},
    {"Picture1", Picture, "Korvane", 4080, 1920, 855, 1095, 19, "", L},
    {"Picture2", Picture, "Korvane", 6000, 1920, 855, 1095, 18, "", L},
    {"Frame1", Frame, "Korvane", 1320, 5280, 6615, 1095, 11, " Results ", L},
    {"Command1", Button, "Frame1", 4080, 240, 1095, 495, 29, "Compute", L},
    {"Label13", Label, "Frame1", 5400, 720, 495, 255, 28, "T'p", L},
    {"Label12", Label, "Frame1", 3360, 720, 375, 255, 27, "Tp", L},
    {"Label6", Label, "Frame1", 720, 240, 2295, 495, 10, "Passage times for the rear end of the vehicle to clear the gates", R},
    {"Label16", Label, "Korvane", 120, 2550, 735, 255, 32, "Direction", L},
    {"Label15", Label, "Korvane", 120, 2070, 855, 255, 31, "Location", L},
    {"Label14", Label, "Korvane", 5880, 3630, 495, 255, 30, "mph", L},
    {"Image1", Image, "Korvane", 5160, 1680, 495, 705, -1, "", L},
    {"Label1", Label, "Korvane", 3480, 1440, 495, 375, 17, "Stop Line", R},
    {"Label11", Label, "Korvane", 6120, 1440, 615, 375, 15, "Exit Gate", C},
    {"Label10", Label, "Korvane", 3960, 1440, 975, 375, 16, "Entrance Gate", C},
    {"Label9", Label, "Korvane", 480, 4680, 1575, 255, 26, "Effective Acceleration", L},
    {"Label8", Label, "Korvane", 4680, 3360, 1815, 375, 14, "Max Veh Crossing Speed", L},
    {"Label7", Label, "Korvane", 2760, 4230, 735, 255, 25, "Grade %", L},
    {"Label5", Label, "Korvane", 480, 3600, 975, 495, 24, "Max Level Acceleration", C},
    {"Label4", Label, "Korvane", 2520, 3000, 1215, 285, 23, "Vehicle Length", C},
    {"Label3", Label, "Korvane", 6720, 4830, 1815, 255, 13, "Exit Gate Position", L},
    {"Label2", Label, "Korvane", 4680, 4470, 1695, 255, 12, "Entrance Gate Position", L},
    {"frmMainLabel", Label, "Korvane", 360, 120, 7575, 1215, 21, kDescription, C},
};

struct ExpectedLine {
    const char* name;
    const char* container;
    int x1, y1, x2, y2;
};

const ExpectedLine kLines[] = {
    {"Line7", "Frame1", 5280, 360, 5280, 120},   {"Line5", "Frame1", 3240, 240, 3240, 120},
    {"Line22", "Korvane", 5160, 2400, 5640, 2400}, {"Line21", "Korvane", 5160, 2520, 5640, 2520},
    {"Line20", "Korvane", 5160, 2640, 5640, 2640}, {"Line19", "Korvane", 5160, 2760, 5640, 2760},
    {"Line18", "Korvane", 5160, 2880, 5640, 2880}, {"Line17", "Korvane", 5160, 3000, 5640, 3000},
    {"Line16", "Korvane", 5160, 3120, 5640, 3120}, {"Line15", "Korvane", 5160, 3240, 5640, 3240},
    {"Line14", "Korvane", 5160, 3960, 5640, 3960}, {"Line13", "Korvane", 5160, 4080, 5640, 4080},
    {"Line12", "Korvane", 5160, 4200, 5640, 4200}, {"Line11", "Korvane", 5160, 4320, 5640, 4320},
    {"Line8", "Korvane", 3240, 4080, 960, 4080},   {"Line4", "Korvane", 1560, 4440, 3240, 4080},
    {"Line3", "Korvane", 3960, 1920, 3960, 5160},  {"Line2", "Korvane", 6600, 2880, 6600, 5760},
    {"Line1", "Korvane", 4560, 2880, 4560, 5760},  {"Line10", "Korvane", 5520, 2400, 5520, 4320},
    {"Line9", "Korvane", 5280, 2400, 5280, 4320},
};

struct ExpectedAdvice {
    const char* box;
    const char* tip;
    const char* accessibleName;
};

const ExpectedAdvice kAdvice[] = {
    {"txtSpd", "Vehicle will try to accelerate to this speed (5 to 35) mph", "Max Veh Crossing Speed (mph)"},
    {"txtGrade", "Percent grade (-5  to  5)%", "Grade %"},
    {"txtAccel", "Maximum acceleration on level grade  (0.25 to 10)  f/s/s ", "Max Level Acceleration"},
    {"txtLength", "Design vehicle length (10 to 120)  ft)", "Vehicle Length"},
    {"txtExitPos", "Stop line to exit gate distance (20 to 500) ft.", "Exit Gate Position"},
    {"txtEntryPos", "Stop line to entrance gate distance (2 to 40) ft.", "Entrance Gate Position"},
    {"txtLocation", "", "Location"},
    {"txtDirection", "", "Direction"},
    {"txtEffAccel", "", "Effective Acceleration"},
    {"txtEntryPass", "", "Tp"},
    {"txtExitPass", "", "T'p"},
};
// clang-format on

QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

bool isBlack(QRgb pixel) {
    return qRed(pixel) < 64 && qGreen(pixel) < 64 && qBlue(pixel) < 64;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    void theWindow() {
        Harness h;
        QVERIFY(h.active());
        QCOMPARE(h.window().objectName(), QStringLiteral("Korvane"));
        QCOMPARE(h.window().windowTitle(), QStringLiteral("KORVANE"));
        QCOMPARE(h.window().size(), QSize(563, 458));
        QVERIFY(!h.window().windowIcon().isNull());
        QVERIFY(h.window().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(h.window().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(h.window().palette().color(QPalette::Window), QColor(240, 240, 240));
    }

    // Every control keeps its place and size, also after the window has been enlarged.
    void controlsStandAtTheirPlaces() {
        Harness h;
        QVERIFY(h.active());
        h.window().resize(900, 700);
        QTest::qWait(10);
        for (const Expected& e : kControls) {
            const QByteArray row = QByteArray("control ") + e.name;
            auto* w = h.window().findChild<QWidget*>(e.name);
            QVERIFY2(w != nullptr, row);
            QVERIFY2(w->geometry() == twips(e.left, e.top, e.width, e.height), row);
            QVERIFY2(w->parentWidget()->objectName() == QLatin1String(e.container), row);
            if (e.tab >= 0) {
                QVERIFY2(w->property("tabIndex").toInt() == e.tab, row);
            }
        }
    }

    void textsCaptionsAndAlignments() {
        Harness h;
        QVERIFY(h.active());
        for (const Expected& e : kControls) {
            const QByteArray row = QByteArray("control ") + e.name;
            QWidget* w = h.window().findChild<QWidget*>(e.name);
            switch (e.kind) {
            case TextBox:
            case ResultBox:
            case FreeText: {
                auto* edit = qobject_cast<QLineEdit*>(w);
                QVERIFY2(edit != nullptr, row);
                QVERIFY2(edit->text() == QLatin1String(e.text), row);
                QVERIFY2((edit->alignment() & Qt::AlignHorizontal_Mask) == e.align, row);
                break;
            }
            case Label: {
                auto* label = qobject_cast<QLabel*>(w);
                QVERIFY2(label != nullptr, row);
                QVERIFY2(label->text() == QLatin1String(e.text), row);
                QVERIFY2((label->alignment() & Qt::AlignHorizontal_Mask) == e.align, row);
                QVERIFY2(label->wordWrap(), row);
                QVERIFY2(label->autoFillBackground(), row);
                QVERIFY2(label->focusPolicy() == Qt::NoFocus, row);
                break;
            }
            case Frame:
                QVERIFY2(qobject_cast<QGroupBox*>(w)->title() == QLatin1String(e.text), row);
                QVERIFY2(w->focusPolicy() == Qt::NoFocus, row);
                break;
            case Button:
                QVERIFY2(qobject_cast<QPushButton*>(w)->text() == QLatin1String(e.text), row);
                QVERIFY2(w->accessibleName() == QStringLiteral("Compute"), row);
                break;
            case Picture:
            case Image:
                QVERIFY2(w->focusPolicy() == Qt::NoFocus, row);
                break;
            }
        }
        QCOMPARE(QString::fromLatin1(kDescription).size(), 270);
    }

    // The three result boxes are light cyan; txtEffAccel is disabled and takes no focus, the
    // passage-time boxes are read-only and take the focus by Tab and by a click, as the input
    // boxes do.
    void boxKinds() {
        Harness h;
        QVERIFY(h.active());
        for (const Expected& e : kControls) {
            if (e.kind != TextBox && e.kind != ResultBox && e.kind != FreeText) {
                continue;
            }
            const QByteArray row = QByteArray("box ") + e.name;
            QLineEdit* edit = h.box(e.name);
            const bool result = e.kind == ResultBox;
            const bool effAccel = qstrcmp(e.name, "txtEffAccel") == 0;
            QVERIFY2((edit->palette().color(QPalette::Base) == QColor(192, 255, 255)) == result,
                     row);
            QVERIFY2(edit->isEnabled() == !effAccel, row);
            QVERIFY2(edit->isReadOnly() == (result && !effAccel), row);
            const Qt::FocusPolicy policy = effAccel ? Qt::NoFocus : Qt::StrongFocus;
            QVERIFY2(edit->focusPolicy() == policy, row);
        }
        QVERIFY(!h.compute()->isEnabled());
        QVERIFY(!h.compute()->autoDefault());
    }

    void linesRunBetweenTheirEndPoints() {
        Harness h;
        QVERIFY(h.active());
        for (const ExpectedLine& e : kLines) {
            const QByteArray row = QByteArray("line ") + e.name;
            auto* line = h.window().findChild<korvane::qt::LineItem*>(e.name);
            QVERIFY2(line != nullptr, row);
            QVERIFY2(line->parentWidget()->objectName() == QLatin1String(e.container), row);
            const QLine expected(e.x1 / 15, e.y1 / 15, e.x2 / 15, e.y2 / 15);
            QVERIFY2(line->line() == expected, row);
            QVERIFY2(line->geometry().contains(expected.p1()), row);
            QVERIFY2(line->geometry().contains(expected.p2()), row);
            QVERIFY2(line->testAttribute(Qt::WA_TransparentForMouseEvents), row);
            QVERIFY2(line->focusPolicy() == Qt::NoFocus, row);
        }
    }

    void advisoryTextsAndAccessibleNames() {
        Harness h;
        QVERIFY(h.active());
        for (const ExpectedAdvice& e : kAdvice) {
            const QByteArray row = QByteArray("box ") + e.box;
            QVERIFY2(h.box(e.box)->toolTip() == QLatin1String(e.tip), row);
            QVERIFY2(h.box(e.box)->accessibleDescription() == QLatin1String(e.tip), row);
            QVERIFY2(h.box(e.box)->accessibleName() == QLatin1String(e.accessibleName), row);
            QVERIFY2(h.window().AdvisoryText(e.box) == e.tip, row);
        }
        // No other control has a tool tip.
        int withTip = 0;
        for (const QWidget* w : h.window().findChildren<QWidget*>()) {
            withTip += w->toolTip().isEmpty() ? 0 : 1;
        }
        QCOMPARE(withTip, 6);
    }

    void pictures() {
        Harness h;
        QVERIFY(h.active());
        struct Row {
            const char* name;
            QSize size;
            QColor background;
        };
        const Row rows[] = {
            {"Picture1", {50, 67}, QColor(240, 240, 240)},
            {"Picture2", {50, 67}, QColor(240, 240, 240)},
            {"Picture3", {82, 30}, korvane::qt::MenuColour()},
        };
        for (const Row& row : rows) {
            auto* box = h.window().findChild<korvane::qt::PictureBox*>(row.name);
            QVERIFY2(box != nullptr, row.name);
            QCOMPARE(box->picture().size(), row.size);
            QCOMPARE(box->background(), row.background);
        }
        auto* image = h.window().findChild<korvane::qt::ImageItem*>("Image1");
        QVERIFY(image != nullptr);
        QCOMPARE(image->picture().size(), QSize(154, 223));

        // Drawn at the top-left unscaled, and scaled to fill: compare with the pictures' own
        // pixels.
        const QImage shot = h.window().grab().toImage();
        const QImage signal =
            h.window().findChild<korvane::qt::PictureBox*>("Picture1")->picture().toImage();
        QCOMPARE(shot.pixel(272 + 10, 128 + 20), signal.pixel(10, 20));
        QCOMPARE(shot.pixel(272 + 49, 128 + 66), signal.pixel(49, 66));
        QCOMPARE(QColor(shot.pixel(272 + 55, 128 + 70)), QColor(240, 240, 240));
        // The locomotive is scaled smoothly, not pixel by pixel.
        const QImage loco = image->picture()
                                .toImage()
                                .scaled(33, 47, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(shot.format());
        QCOMPARE(shot.copy(344, 112, 33, 47), loco);
    }

    // The input boxes sit in a sunken edge: darker along the top and left than along the
    // bottom and right.
    void boxesHaveASunkenEdge() {
        Harness h;
        QVERIFY(h.active());
        const QImage shot = h.window().grab().toImage();
        const QRect box = h.box("txtSpd")->geometry();
        const auto grey = [&](int x, int y) { return qGray(shot.pixel(x, y)); };
        const QPoint middle = box.center();
        QVERIFY2(grey(middle.x(), box.top()) + 64 <= grey(middle.x(), box.bottom()),
                 "top edge not darker than the bottom edge");
        QVERIFY2(grey(box.left(), middle.y()) + 64 <= grey(box.right(), middle.y()),
                 "left edge not darker than the right edge");
    }

    // Fonts: the window's default face at 11 px, the description bold at 13 px; the captions
    // that must wrap do, and the speed caption fits on its one line above the speed box.
    void fontsAndWrapping() {
        Harness h;
        QVERIFY(h.active());
        const auto label = [&](const char* name) { return h.window().findChild<QLabel*>(name); };
        QCOMPARE(label("Label1")->font().pixelSize(), 11);
        QVERIFY(!label("Label1")->font().bold());
        QCOMPARE(label("frmMainLabel")->font().pixelSize(), 13);
        QVERIFY(label("frmMainLabel")->font().bold());
        QCOMPARE(label("Label1")->font().family(), QStringLiteral("Liberation Sans"));

        struct Row {
            const char* name;
            int lines;
        };
        const Row rows[] = {{"Label1", 2},  {"Label10", 2}, {"Label11", 2}, {"Label5", 2},
                            {"Label8", 1},  {"Label6", 2},  {"Label9", 1},  {"Label2", 1},
                            {"Label4", 1},  {"Label7", 1},  {"Label15", 1}, {"Label16", 1},
                            {"Label14", 1}, {"Label3", 1}};
        for (const Row& row : rows) {
            QLabel* l = label(row.name);
            const QFontMetrics metrics(l->font());
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, l->width(), 1000), Qt::TextWordWrap, l->text());
            const int lines = (needed.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing();
            QVERIFY2(lines == row.lines, row.name);
        }
        const QFontMetrics bold(label("frmMainLabel")->font());
        const QRect description = bold.boundingRect(QRect(0, 0, 505, 1000), Qt::TextWordWrap,
                                                    label("frmMainLabel")->text());
        QVERIFY(description.height() <= 81);
    }

    // Windowed controls lie over drawn items; within each group the lower Order lies on top.
    void stacking() {
        Harness h;
        QVERIFY(h.active());
        const QImage shot = h.window().grab().toImage();
        // The gate lines show above the frame and are hidden inside it, where the short
        // pieces of the frame's own lines carry them on.
        QVERIFY(isBlack(shot.pixel(304, 340)));
        QVERIFY(isBlack(shot.pixel(440, 340)));
        QVERIFY(!isBlack(shot.pixel(304, 355)));
        QVERIFY(!isBlack(shot.pixel(440, 355)));
        QVERIFY(!isBlack(shot.pixel(304, 420)));
        QVERIFY(isBlack(shot.pixel(304, 364)));
        QVERIFY(isBlack(shot.pixel(440, 370)));
        // The level line runs over the bottom of "Max Level Acceleration".
        QVERIFY(isBlack(shot.pixel(70, 272)));
        // "Max Veh Crossing Speed" covers both rails; above the label they show.
        QVERIFY(isBlack(shot.pixel(352, 222)));
        QVERIFY(isBlack(shot.pixel(368, 222)));
        QVERIFY(!isBlack(shot.pixel(352, 247)));
        QVERIFY(!isBlack(shot.pixel(368, 247)));
        // The passage-time boxes lie over the frame, txtSpd over its caption.
        QCOMPARE(h.window().childAt(320, 385), h.box("txtEntryPass"));
        QCOMPARE(h.window().childAt(460, 385), h.box("txtExitPass"));
        QCOMPARE(h.window().childAt(350, 245), h.box("txtSpd"));
        // The signal pictures cover the top ends of the gate lines.
        QVERIFY(!isBlack(shot.pixel(304, 195)));
        QVERIFY(!isBlack(shot.pixel(440, 195)));
        QVERIFY(isBlack(shot.pixel(304, 205)));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
