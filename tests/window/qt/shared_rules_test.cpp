// The Qt window follows the rules of window/, one row per rule and case, with the window's own
// input: typed text by every path (keys, control characters, input-method commits, characters
// beyond 16 bits) goes in as Wiring::Typed says, with its beeps; a box is left only for another
// control of the window; and every control is presented to a screen reader as layout::SpokenOf
// says, its states included. Run on a real X server with real keys and clicks (on_xvfb.sh) and
// on the offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

#include "drivers.h"
#include "qt_window.h"
#include "window/layout.h"

namespace layout = korvane::layout;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window shown and active, with its driver.
struct Shown {
    korvane::qt::QtWindow window;
    std::unique_ptr<korvane::drive::Driver> driver;

    bool show() {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            return false;
        }
        driver = korvane::drive::DriverFor(window);
        return driver != nullptr;
    }
    QLineEdit* box(const QString& name) const { return window.findChild<QLineEdit*>(name); }
    void click(const QString& name) {
        driver->click(window.findChild<QWidget*>(name));
        driver->settle();
    }
    // The worked example, through the window's own text assignment.
    void example() {
        for (const auto& [box, text] :
             {std::pair{"txtSpd", "22"}, std::pair{"txtAccel", "0.5"}, std::pair{"txtGrade", "0"},
              std::pair{"txtLength", "65"}, std::pair{"txtEntryPos", "11"},
              std::pair{"txtExitPos", "77"}}) {
            window.SetText(box, text);
        }
    }
};

} // namespace

class SharedRulesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    // Typed text: path "key" types the text key by key, "commit" commits it at once as an input
    // method does, "paste key" is Ctrl+V with the text on the clipboard.
    void typedText_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        // clang-format off
        QTest::newRow("keys in a filtered box") << "txtSpd" << "key" << "5a" << "5" << 1;
        QTest::newRow("composed 1a") << "txtSpd" << "commit" << "1a" << "1" << 1;
        QTest::newRow("composed digits") << "txtExitPos" << "commit" << "120" << "120" << 0;
        QTest::newRow("composed full-width digits") << "txtLength" << "commit" << QString::fromUtf8("\xEF\xBC\x91\xEF\xBC\x92") << "" << 2;
        QTest::newRow("composed beyond 16 bits") << "txtAccel" << "commit" << QString::fromUtf8("\xF0\x9F\x9A\x82") << "" << 2;
        QTest::newRow("composed into the grade box") << "txtGrade" << "commit" << "1a" << "1a" << 0;
        QTest::newRow("composed into a free-text box") << "txtLocation" << "commit" << QString::fromUtf8("L\xC3\xB8kken \xF0\x9F\x9A\x82") << QString::fromUtf8("L\xC3\xB8kken \xF0\x9F\x9A\x82") << 0;
        QTest::newRow("Ctrl+V in a filtered box") << "txtEntryPos" << "paste key" << "7" << "" << 1;
        QTest::newRow("Ctrl+V in the grade box") << "txtGrade" << "paste key" << "7" << "7" << 0;
        // clang-format on
    }

    void typedText() {
        QFETCH(QString, box);
        QFETCH(QString, path);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        Shown w;
        QVERIFY(w.show());
        w.click(box);
        w.box(box)->clear();
        w.driver->settle();
        const int before = w.window.beepCount();
        if (path == QLatin1String("key")) {
            w.driver->type(typed);
        } else if (path == QLatin1String("commit")) {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(QApplication::focusObject(), &commit);
        } else {
            QApplication::clipboard()->setText(typed);
            w.driver->key(Qt::Key_V, Qt::ControlModifier);
        }
        w.driver->settle();
        QCOMPARE(w.box(box)->text(), shown);
        QCOMPARE(w.window.beepCount() - before, beeps);
    }

    // Leaving a box: txtSpd holds 50, out of its range, and has the focus; the focus goes where
    // the row says. Only another control of the window leaves it.
    void leavingABox_data() {
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("messages");
        QTest::newRow("to another box") << "txtGrade" << 1;
        QTest::newRow("to the button") << "Command1" << 1;
        QTest::newRow("to a result box") << "txtExitPass" << 1;
        QTest::newRow("to the message box of another box's check") << "message" << 1;
        QTest::newRow("to another application's window") << "elsewhere" << 0;
        QTest::newRow("the window closing") << "close" << 0;
        QTest::newRow("the same box again") << "txtSpd" << 0;
    }

    void leavingABox() {
        QFETCH(QString, to);
        QFETCH(int, messages);
        Shown w;
        QVERIFY(w.show());
        w.example();
        w.window.SetText("txtSpd", "50");
        if (to == QLatin1String("message")) {
            // txtGrade is out of range too: leaving txtSpd for it brings txtSpd's message, and
            // the message box taking the focus from txtGrade does not leave txtGrade.
            w.window.SetText("txtGrade", "9");
            to = QStringLiteral("txtGrade");
        }
        w.click(QStringLiteral("txtSpd"));
        QCOMPARE(w.driver->messages().size(), 0);
        QWidget elsewhere;
        if (to == QLatin1String("elsewhere")) {
            elsewhere.resize(120, 80);
            elsewhere.show();
            elsewhere.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
            w.driver->settle();
            // and back with a click into txtSpd, which was never left
            w.click(QStringLiteral("txtSpd"));
            QVERIFY(w.driver->waitActive());
        } else if (to == QLatin1String("close")) {
            QVERIFY(w.window.close());
        } else {
            w.click(to);
        }
        w.driver->settle();
        QCOMPARE(w.driver->messages().size(), messages);
        if (messages > 0) {
            QCOMPARE(w.driver->messages().front().text,
                     QStringLiteral("Entered Value of 50 is outside of the range 5 to 35"));
        }
    }

    // A "Range Error" message is described to a screen reader by the spoken name of the box it
    // is about (Wiring::MessageDescription); its text stays the check's own. The box, holding a
    // value out of its range, is left by a click into another box.
    void rangeErrorDescribedByItsBox_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("description");
        // clang-format off
        QTest::newRow("txtSpd") << "txtSpd" << "50" << "Entered Value of 50 is outside of the range 5 to 35" << "Max Veh Crossing Speed (mph)";
        QTest::newRow("txtAccel") << "txtAccel" << "11" << "Entered Value of 11 is outside of the range 0.25 to 10" << "Max Level Acceleration";
        QTest::newRow("txtGrade") << "txtGrade" << "9" << "Entered Value of 9 is outside of the range -5  to  5" << "Grade %";
        QTest::newRow("txtLength") << "txtLength" << "5" << "Entered Value of 5 is outside of the range 10 to 120)  ft" << "Vehicle Length";
        QTest::newRow("txtEntryPos") << "txtEntryPos" << "41" << "Entered Value of 41 is outside of the range 2 to 40" << "Entrance Gate Position";
        QTest::newRow("txtExitPos") << "txtExitPos" << "501" << "Entered Value of 501 is outside of the range 20 to 500" << "Exit Gate Position";
        // clang-format on
    }

    void rangeErrorDescribedByItsBox() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, text);
        QFETCH(QString, description);
        Shown w;
        QVERIFY(w.show());
        w.example();
        w.window.SetText(box.toStdString(), value.toStdString());
        w.click(box);
        w.click(QStringLiteral("txtLocation"));
        QCOMPARE(w.driver->messages().size(), 1);
        QCOMPARE(w.driver->messages().front().title, QStringLiteral("Range Error"));
        QCOMPARE(w.driver->messages().front().text, text);
        QCOMPARE(w.driver->messages().front().description, description);
    }

    // Every control as layout::SpokenOf presents it: role, name, description, states.
    void presentation() {
        Shown w;
        QVERIFY(w.show());
        for (const layout::Control& c : layout::kControls) {
            const layout::Spoken spoken = layout::SpokenOf(c);
            auto* widget = w.window.findChild<QWidget*>(qs(c.name));
            QVERIFY2(widget != nullptr, c.name.data());
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(iface != nullptr && iface->isValid(), c.name.data());
            const QByteArray row(c.name.data(), static_cast<qsizetype>(c.name.size()));
            const QAccessible::Role role = iface->role();
            switch (spoken.role) {
            case layout::Role::EditableText:
                QVERIFY2(role == QAccessible::EditableText, row);
                break;
            case layout::Role::StaticText:
                QVERIFY2(role == QAccessible::StaticText, row);
                break;
            case layout::Role::PushButton:
                QVERIFY2(role == QAccessible::Button, row);
                break;
            case layout::Role::Grouping:
                QVERIFY2(role == QAccessible::Grouping, row);
                break;
            case layout::Role::Graphic:
                QVERIFY2(role == QAccessible::Graphic, row);
                break;
            case layout::Role::None:
                // Not presented: no container lists it among its children.
                QVERIFY2(iface->parent() == nullptr || iface->parent()->indexOfChild(iface) < 0,
                         row);
                continue;
            }
            QCOMPARE(iface->text(QAccessible::Name), QString::fromStdString(spoken.name));
            QCOMPARE(iface->text(QAccessible::Description),
                     QString::fromStdString(spoken.description));
            const QAccessible::State state = iface->state();
            QVERIFY2(bool(state.defaultButton) == spoken.isDefault, row);
            if (spoken.role == layout::Role::EditableText) {
                QVERIFY2(bool(state.readOnly) == spoken.readOnly, row);
            }
            // Compute, too, is unavailable as the window first shows.
            QVERIFY2(bool(state.disabled) == (spoken.unavailable || c.name == "Command1"), row);
            if (const auto* button = qobject_cast<QPushButton*>(widget)) {
                QVERIFY2(button->isDefault() == spoken.isDefault, row); // drawn so too
            }
        }
    }
};

QTEST_MAIN(SharedRulesTest)
#include "shared_rules_test.moc"
