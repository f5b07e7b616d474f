// The window's event wiring and start-up, driven through real key and mouse events.

#include <QApplication>
#include <QClipboard>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>

#include "window_harness.h"

using korvane::fake::Harness;

namespace {

const QString kSpeedMessage = QStringLiteral("Entered Value of 50 is outside of the range 5 to 35");

// For as long as it lives, the application looks as on a desktop whose style puts an icon on
// every standard dialog button (KDE's does); then it gets the window's own look back.
class DesktopWithButtonIcons {
public:
    DesktopWithButtonIcons() { QApplication::setStyle(new ButtonIcons); }
    ~DesktopWithButtonIcons() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }
    DesktopWithButtonIcons(const DesktopWithButtonIcons&) = delete;
    DesktopWithButtonIcons& operator=(const DesktopWithButtonIcons&) = delete;

private:
    class ButtonIcons : public QProxyStyle {
    public:
        ButtonIcons() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* data) const override {
            if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
                return 1;
            }
            return QProxyStyle::styleHint(hint, option, widget, data);
        }
    };
};

} // namespace

class BehaviourTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    void startUpShowsBlankInputsAndDisabledCompute() {
        Harness h;
        QVERIFY(h.active());
        struct Row {
            const char* box;
            const char* text;
        };
        const Row rows[] = {
            {"txtSpd", " "},      {"txtAccel", " "},   {"txtGrade", " "},     {"txtLength", " "},
            {"txtEntryPos", " "}, {"txtExitPos", " "}, {"txtEntryPass", " "}, {"txtExitPass", " "},
            {"txtEffAccel", "."}, {"txtLocation", ""}, {"txtDirection", ""},
        };
        for (const Row& row : rows) {
            QCOMPARE(h.text(row.box), QString::fromLatin1(row.text));
        }
        QVERIFY(!h.compute()->isEnabled());
        QCOMPARE(Harness::focusName(), QStringLiteral("txtLocation"));
        QCOMPARE(h.window().beepCount(), 0);
        QVERIFY(h.messages().seen().isEmpty());
    }

    void tabOrder_data() {
        QTest::addColumn<bool>("computeEnabled");
        QTest::addColumn<QStringList>("forward");
        // From txtLocation: the input boxes, T'p, Compute while it is enabled, Tp, and round.
        const QStringList boxes{"txtDirection", "txtLength",  "txtAccel", "txtGrade",
                                "txtEntryPos",  "txtExitPos", "txtSpd",   "txtExitPass"};
        QTest::newRow("Compute disabled")
            << false << (boxes + QStringList{"txtEntryPass", "txtLocation"});
        QTest::newRow("Compute enabled")
            << true << (boxes + QStringList{"Command1", "txtEntryPass", "txtLocation"});
    }

    void tabOrder() {
        QFETCH(bool, computeEnabled);
        QFETCH(QStringList, forward);
        Harness h;
        QVERIFY(h.active());
        if (computeEnabled) {
            h.setExample();
        }
        QCOMPARE(h.compute()->isEnabled(), computeEnabled);
        QCOMPARE(Harness::focusName(), QStringLiteral("txtLocation"));

        QStringList visited;
        for (qsizetype i = 0; i < forward.size(); ++i) {
            Harness::key(Qt::Key_Tab);
            visited << Harness::focusName();
        }
        QCOMPARE(visited, forward);

        // Shift+Tab walks the same ring backwards.
        QStringList backward;
        for (qsizetype i = forward.size() - 2; i >= 0; --i) {
            backward << forward[i];
        }
        backward << QStringLiteral("txtLocation");
        visited.clear();
        for (qsizetype i = 0; i < backward.size(); ++i) {
            Harness::key(Qt::Key_Backtab, Qt::ShiftModifier);
            visited << Harness::focusName();
        }
        QCOMPARE(visited, backward);

        // Blank or in-range boxes pass their range checks silently, and Compute stays as it was.
        QVERIFY(h.messages().seen().isEmpty());
        QCOMPARE(h.compute()->isEnabled(), computeEnabled);
    }

    void leavingAnOutOfRangeBoxShowsTheRangeError_data() {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("Shift+Tab") << false;
        QTest::newRow("click into the next box") << true;
    }

    // txtSpd holds 50 (its range is 5 to 35). The focus goes to txtExitPos, which holds an
    // out-of-range value as well: only the box that was left is checked, not the box that
    // loses the focus to the message.
    void leavingAnOutOfRangeBoxShowsTheRangeError() {
        QFETCH(bool, byMouse);
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.window().SetText("txtExitPos", "10");
        h.retype("txtSpd", "50");
        QVERIFY(h.compute()->isEnabled());
        if (byMouse) {
            QTest::mouseClick(h.box("txtExitPos"), Qt::LeftButton);
        } else {
            Harness::key(Qt::Key_Backtab, Qt::ShiftModifier);
        }
        QCOMPARE(h.messages().seen().size(), 1);
        const auto& seen = h.messages().seen().front();
        QCOMPARE(seen.text, kSpeedMessage);
        QCOMPARE(seen.title, QStringLiteral("Range Error"));
        QCOMPARE(seen.buttons, 1);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QVERIFY(seen.modal);
        QVERIFY(!h.compute()->isEnabled());
        QCOMPARE(h.text("txtSpd"), QStringLiteral("50"));
        QTRY_COMPARE(Harness::focusName(), QStringLiteral("txtExitPos"));
        QTest::qWait(20);
        QCOMPARE(h.messages().seen().size(), 1);
    }

    // The "Range Error" message shows no icon: none beside its text, none on its OK button even
    // where the desktop's style gives dialog buttons one, none in its title bar.
    void theRangeErrorShowsNoIcon() {
        const DesktopWithButtonIcons desktop;
        QMessageBox other(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("t"),
                          QMessageBox::Ok);
        QVERIFY(!other.button(QMessageBox::Ok)->icon().isNull()); // that desktop's OK button

        Harness h;
        QVERIFY(h.active());
        h.retype("txtSpd", "50");
        Harness::key(Qt::Key_Tab);
        QCOMPARE(h.messages().seen().size(), 1);
        QCOMPARE(h.messages().seen().front().icon, QMessageBox::NoIcon);
        QVERIFY(!h.messages().seen().front().anyIcon);
    }

    void afterAFailureOnlyAChangeEnablesComputeAgain() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.retype("txtSpd", "50");
        Harness::key(Qt::Key_Backtab, Qt::ShiftModifier); // into txtExitPos, which holds 77
        QCOMPARE(h.messages().seen().size(), 1);
        QTRY_COMPARE(Harness::focusName(), QStringLiteral("txtExitPos"));
        QVERIFY(!h.compute()->isEnabled());

        // Leaving an in-range box never enables Compute.
        Harness::key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(Harness::focusName(), QStringLiteral("txtEntryPos"));
        QCOMPARE(h.messages().seen().size(), 1);
        QVERIFY(!h.compute()->isEnabled());

        // A change runs the readiness pass, which enables Compute although 50 still stands.
        QTest::keyClick(h.box("txtEntryPos"), Qt::Key_End);
        Harness::type(QStringLiteral("1"));
        QCOMPARE(h.text("txtEntryPos"), QStringLiteral("111"));
        QVERIFY(h.compute()->isEnabled());
        QCOMPARE(h.text("txtSpd"), QStringLiteral("50"));
    }

    void clickOnComputeChecksTheBoxItLeaves_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("exit");
        QTest::newRow("speed out of range") << "txtSpd"
                                            << "50" << kSpeedMessage << " "
                                            << " ";
        QTest::newRow("grade out of range")
            << "txtGrade"
            << "-9"
            << "Entered Value of-9 is outside of the range -5  to  5"
            << " "
            << " ";
        QTest::newRow("speed in range") << "txtSpd"
                                        << "22"
                                        << ""
                                        << "16.5"
                                        << "23.6";
        QTest::newRow("grade blank") << "txtGrade"
                                     << ""
                                     << ""
                                     << "16.5"
                                     << "23.6";
    }

    void clickOnComputeChecksTheBoxItLeaves() {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, entry);
        QFETCH(QString, exit);
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.retype(box.toLatin1().constData(), value);
        QVERIFY(h.compute()->isEnabled());
        QCOMPARE(Harness::focusName(), box);

        QTest::mouseClick(h.compute(), Qt::LeftButton);
        QCOMPARE(h.messages().seen().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(h.messages().seen().front().text, message);
            QVERIFY(!h.compute()->isEnabled());
        }
        QCOMPARE(h.text("txtEntryPass"), entry);
        QCOMPARE(h.text("txtExitPass"), exit);
        QVERIFY(!h.compute()->isDown());
    }

    void lettersReachOnlyTheGradeBox_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("txtGrade") << "txtGrade" << true;
        QTest::newRow("txtSpd") << "txtSpd" << false;
        QTest::newRow("txtAccel") << "txtAccel" << false;
        QTest::newRow("txtLength") << "txtLength" << false;
        QTest::newRow("txtEntryPos") << "txtEntryPos" << false;
        QTest::newRow("txtExitPos") << "txtExitPos" << false;
    }

    void lettersReachOnlyTheGradeBox() {
        QFETCH(QString, box);
        QFETCH(bool, accepted);
        Harness h;
        QVERIFY(h.active());
        h.retype(box.toLatin1().constData(), QStringLiteral("1"));
        QCOMPARE(h.text(box.toLatin1().constData()), QStringLiteral("1"));
        Harness::type(QStringLiteral("a"));
        QCOMPARE(h.text(box.toLatin1().constData()), accepted ? QStringLiteral("1a") : "1");
        QCOMPARE(h.window().beepCount(), accepted ? 0 : 1);
        // Digits, point, minus and backspace pass everywhere.
        Harness::type(QStringLiteral("-.5"));
        Harness::key(Qt::Key_Backspace);
        QCOMPARE(h.text(box.toLatin1().constData()), accepted ? QStringLiteral("1a-.") : "1-.");
        QCOMPARE(h.window().beepCount(), accepted ? 0 : 1);
    }

    // A refused key changes nothing, so no readiness pass runs and the results stay; Delete
    // types no character but changes the text, so the readiness pass blanks them.
    void refusedKeysLeaveTheResultsDeleteClearsThem() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        QTest::mouseClick(h.box("txtSpd"), Qt::LeftButton);
        Harness::key(Qt::Key_Return);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("16.5"));

        Harness::key(Qt::Key_Home);
        Harness::type(QStringLiteral("x"));
        Harness::key(Qt::Key_Space);
        Harness::key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h.window().beepCount(), 3);
        QCOMPARE(h.text("txtSpd"), QStringLiteral("22"));
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("23.6"));

        Harness::key(Qt::Key_Delete);
        QCOMPARE(h.window().beepCount(), 3);
        QCOMPARE(h.text("txtSpd"), QStringLiteral("2"));
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral(" "));
    }

    // Control with a key types a control character (Ctrl+V, Ctrl+Backspace: DEL), which the
    // filtered boxes refuse with a beep instead of pasting or deleting a word.
    void controlKeysAreRefusedInFilteredBoxesOnly_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Ctrl+V, txtLength refuses") << "txtLength" << int(Qt::Key_V) << "6" << 1;
        QTest::newRow("Ctrl+V, txtGrade pastes") << "txtGrade" << int(Qt::Key_V) << "612" << 0;
        QTest::newRow("Ctrl+Backspace, txtLength refuses")
            << "txtLength" << int(Qt::Key_Backspace) << "6" << 1;
        QTest::newRow("Ctrl+Backspace, txtGrade deletes")
            << "txtGrade" << int(Qt::Key_Backspace) << "" << 0;
    }

    void controlKeysAreRefusedInFilteredBoxesOnly() {
        QFETCH(QString, box);
        QFETCH(int, key);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        Harness h;
        QVERIFY(h.active());
        QApplication::clipboard()->setText(QStringLiteral("12"));
        h.retype(box.toLatin1().constData(), QStringLiteral("6"));
        Harness::key(static_cast<Qt::Key>(key), Qt::ControlModifier);
        QCOMPARE(h.text(box.toLatin1().constData()), after);
        QCOMPARE(h.window().beepCount(), beeps);
    }

    void freeTextBoxesTouchNothingElse() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        QTest::mouseClick(h.compute(), Qt::LeftButton);
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("23.6"));

        QTest::mouseClick(h.box("txtLocation"), Qt::LeftButton);
        Harness::type(QStringLiteral("Main St. (x to y) 999"));
        Harness::key(Qt::Key_Tab);
        Harness::type(QStringLiteral("north-bound; 50"));
        Harness::key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(h.text("txtLocation"), QStringLiteral("Main St. (x to y) 999"));
        QCOMPARE(h.text("txtDirection"), QStringLiteral("north-bound; 50"));
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("23.6"));
        QCOMPARE(h.text("txtEffAccel"), QStringLiteral(".5"));
        QVERIFY(h.compute()->isEnabled());
        QVERIFY(h.messages().seen().isEmpty());
        QCOMPARE(h.window().beepCount(), 0);
    }

    // Compute acts on a whole click: pressing alone computes nothing, and a press released
    // away from the button is no click.
    void computeActsOnTheReleaseOverTheButton() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        QTest::mousePress(h.compute(), Qt::LeftButton);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        QTest::mouseRelease(h.compute(), Qt::LeftButton, {}, QPoint(-20, -20));
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        QTest::mousePress(h.compute(), Qt::LeftButton);
        QCOMPARE(h.text("txtExitPass"), QStringLiteral(" "));
        QTest::mouseRelease(h.compute(), Qt::LeftButton);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("23.6"));
    }

    void enterComputesWithoutARangeCheck_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Return in txtSpd") << Qt::Key_Return << "txtSpd";
        QTest::newRow("Enter in txtSpd") << Qt::Key_Enter << "txtSpd";
        QTest::newRow("Return in txtLocation") << Qt::Key_Return << "txtLocation";
        QTest::newRow("Return on Compute") << Qt::Key_Return << "Command1";
    }

    // txtSpd holds the out-of-range -22 (range 5 to 35): Enter moves no focus, so nothing
    // checks it, and the computation runs on it.
    void enterComputesWithoutARangeCheck() {
        QFETCH(Qt::Key, key);
        QFETCH(QString, focus);
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.window().SetText("txtSpd", "-22");
        QWidget* target = h.window().findChild<QWidget*>(focus);
        if (focus == QStringLiteral("Command1")) {
            target->setFocus(Qt::OtherFocusReason); // no box was focused before
        } else {
            QTest::mouseClick(target, Qt::LeftButton);
        }
        QCOMPARE(Harness::focusName(), focus);
        Harness::key(key);
        QVERIFY(h.messages().seen().isEmpty());
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("15."));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("20.7"));
        QCOMPARE(h.window().beepCount(), 0);
        QCOMPARE(h.text("txtSpd"), QStringLiteral("-22"));
        QVERIFY(h.compute()->isEnabled());
    }

    void enterAndEscapeDoNothingElse() {
        Harness h;
        QVERIFY(h.active());
        QTest::mouseClick(h.box("txtSpd"), Qt::LeftButton);
        Harness::key(Qt::Key_Return); // Compute is disabled
        Harness::key(Qt::Key_Escape);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        QCOMPARE(h.text("txtSpd"), QStringLiteral(" "));
        QCOMPARE(h.window().beepCount(), 0);

        h.setExample();
        Harness::key(Qt::Key_Escape);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        QCOMPARE(Harness::focusName(), QStringLiteral("txtSpd"));
    }

    void clickingIntoControls_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("messages");
        QTest::newRow("disabled effective acceleration") << "txtEffAccel"
                                                         << "txtSpd" << 0;
        QTest::newRow("signal picture") << "Picture1"
                                        << "txtSpd" << 0;
        QTest::newRow("truck picture") << "Picture3"
                                       << "txtSpd" << 0;
        QTest::newRow("caption") << "Label8"
                                 << "txtSpd" << 0;
        QTest::newRow("frame") << "Frame1"
                               << "txtSpd" << 0;
        QTest::newRow("read-only passage time") << "txtEntryPass"
                                                << "txtEntryPass" << 1;
        QTest::newRow("free text") << "txtDirection"
                                   << "txtDirection" << 1;
    }

    // txtSpd holds 50: only a click that takes the focus to another control checks it.
    void clickingIntoControls() {
        QFETCH(QString, target);
        QFETCH(QString, focus);
        QFETCH(int, messages);
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.retype("txtSpd", "50");
        QTest::mouseClick(h.window().findChild<QWidget*>(target), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(h.messages().seen().size(), messages);
        QTRY_COMPARE(Harness::focusName(), focus);
        QCOMPARE(h.compute()->isEnabled(), messages == 0);
        QVERIFY(!h.box("txtEffAccel")->hasSelectedText());
    }

    void fullComputationTypedKeyByKey() {
        Harness h;
        QVERIFY(h.active());
        Harness::key(Qt::Key_Tab);
        Harness::key(Qt::Key_Tab);
        QCOMPARE(Harness::focusName(), QStringLiteral("txtLength"));
        const char* const inputs[] = {"65", "0.5", "0", "11", "77", "22"};
        for (const char* input : inputs) {
            QVERIFY(!h.compute()->isEnabled());
            Harness::type(QString::fromLatin1(input));
            Harness::key(Qt::Key_Tab);
        }
        QCOMPARE(Harness::focusName(), QStringLiteral("txtExitPass"));
        Harness::key(Qt::Key_Tab);
        QCOMPARE(Harness::focusName(), QStringLiteral("Command1"));
        QCOMPARE(h.text("txtEffAccel"), QStringLiteral(".5"));
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral(" "));
        Harness::key(Qt::Key_Space);
        QCOMPARE(h.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(h.text("txtExitPass"), QStringLiteral("23.6"));
        QVERIFY(h.messages().seen().isEmpty());
        QCOMPARE(h.window().beepCount(), 0);
    }

    // Another window taking the focus is no move to another control: no range check.
    void switchingToAnotherWindowRunsNoRangeCheck() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.retype("txtSpd", "50");
        QWidget other;
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::qWait(20);
        QVERIFY(h.messages().seen().isEmpty());
        QVERIFY(h.compute()->isEnabled());

        h.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&h.window()));
        QCOMPARE(Harness::focusName(), QStringLiteral("txtSpd"));
        QVERIFY(h.messages().seen().isEmpty());
    }

    // Closing the window asks nothing and checks nothing, even with an out-of-range value in
    // the box that has the focus.
    void closingAsksNothing() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        h.retype("txtSpd", "50");
        QVERIFY(h.window().close());
        QVERIFY(!h.window().isVisible());
        QTest::qWait(20);
        QVERIFY(h.messages().seen().isEmpty());
    }

    void longAndUnusualTextIsHandled() {
        Harness h;
        QVERIFY(h.active());
        h.setExample();
        // A 100 000-digit grade is kept whole; it is beyond every field, so the inputs are
        // not ready and the effective acceleration shows blank.
        h.window().SetText("txtGrade", std::string(100000, '9'));
        QCOMPARE(h.text("txtGrade").size(), 100000);
        QCOMPARE(h.text("txtEffAccel"), QStringLiteral(" "));
        QVERIFY(!h.compute()->isEnabled());
        h.window().SetText("txtGrade", "\xE2\x82\xAC\xF0\x9F\x9A\x82 1");
        QCOMPARE(h.text("txtGrade"), QString::fromUtf8("\xE2\x82\xAC\xF0\x9F\x9A\x82 1"));
        QCOMPARE(h.window().Text("txtGrade"), std::string("\xE2\x82\xAC\xF0\x9F\x9A\x82 1"));
        // A character outside the 16-bit range reaches the filter as its two halves.
        QTest::mouseClick(h.box("txtSpd"), Qt::LeftButton);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUtf8("\xF0\x9F\x9A\x82"));
        QApplication::sendEvent(h.box("txtSpd"), &press);
        QCOMPARE(h.text("txtSpd"), QStringLiteral("22"));
        QCOMPARE(h.window().beepCount(), 2);
    }
};

QTEST_MAIN(BehaviourTest)
#include "behaviour_test.moc"
