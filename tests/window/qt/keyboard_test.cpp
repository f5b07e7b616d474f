// The window by keyboard alone, with real keys on a real X server (on_xvfb.sh): the worked
// example typed and computed and its results copied; a "Range Error" message closed by Enter
// and by Escape, the focus going on where it was sent; the Tab ring against the layout table,
// at start-up and after a message, both ways, with no stop that keeps the focus; and every key
// the README's keyboard table documents doing there what it says, every key the window takes
// itself being in that table.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "qt_window.h"
#include "real_input.h"
#include "window/layout.h"

namespace layout = korvane::layout;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
}

// The window shown and active, given real keys.
struct Shown {
    korvane::qt::QtWindow window;
    korvane::real::Input input;

    bool show() {
        window.show();
        window.activateWindow();
        input.follow(&window);
        return QTest::qWaitForWindowActive(&window) && input.ok();
    }
    QLineEdit* box(const char* name) const { return window.findChild<QLineEdit*>(name); }
    QString text(const char* name) const { return box(name)->text(); }
    bool computeEnabled() const { return window.findChild<QPushButton*>("Command1")->isEnabled(); }
    void key(Qt::Key key, bool shift = false, bool control = false) {
        input.key(key, shift, control);
        input.settle();
    }
    void type(const QString& text) {
        input.type(text);
        input.settle();
    }
    // Puts the focus on a control as the window would, without keys: a precondition only.
    void focus(const char* name) {
        window.findChild<QWidget*>(name)->setFocus(Qt::OtherFocusReason);
        input.settle();
    }
    void example() {
        for (const auto& [name, text] :
             {std::pair{"txtSpd", "22"}, std::pair{"txtAccel", "0.5"}, std::pair{"txtGrade", "0"},
              std::pair{"txtLength", "65"}, std::pair{"txtEntryPos", "11"},
              std::pair{"txtExitPos", "77"}}) {
            window.SetText(name, text);
        }
    }
    QString selected() const {
        const auto* edit = qobject_cast<const QLineEdit*>(QApplication::focusWidget());
        return edit != nullptr ? edit->selectedText() : QString();
    }
};

// The Tab ring as the layout table gives it: every control that takes the focus, by tab index;
// Compute only while it is enabled.
QStringList ringFromTheTable(bool computeEnabled) {
    std::vector<const layout::Control*> stops;
    for (const layout::Control& c : layout::kControls) {
        if (layout::TakesFocus(c.access) && (computeEnabled || c.name != "Command1")) {
            stops.push_back(&c);
        }
    }
    std::sort(stops.begin(), stops.end(),
              [](const layout::Control* a, const layout::Control* b) { return a->tab < b->tab; });
    QStringList ring;
    for (const layout::Control* c : stops) {
        ring << qs(c->name);
    }
    return ring;
}

// The rows of the README's keyboard table: each row's keys, as "Shift+Tab", "Ctrl+C".
QStringList documentedKeys(QString* problem) {
    QFile readme(QStringLiteral(KORVANE_README));
    if (!readme.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *problem = QStringLiteral("cannot read ") + readme.fileName();
        return {};
    }
    const QStringList lines = QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'));
    const qsizetype header = lines.indexOf(QStringLiteral("| Key | What it does |"));
    if (header < 0) {
        *problem = QStringLiteral("no keyboard table (| Key | What it does |) in the README");
        return {};
    }
    QStringList keys;
    for (qsizetype i = header + 2; i < lines.size() && lines[i].startsWith(QLatin1Char('|')); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('|'));
        if (cells.size() < 3) {
            continue;
        }
        for (const QString& key : cells[1].split(QLatin1Char(','))) {
            keys << key.trimmed();
        }
    }
    return keys;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp));
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
                 "real keys need an X server: run on_xvfb.sh");
    }

    // The worked example from the first key to the copied results: Tab from Location through the
    // boxes in the ring's order, the inputs typed, Compute pressed by Space on it or by Enter in
    // T'p, each result reached by Tab with its text selected and copied by Ctrl+C.
    void workedExampleByKeysAlone_data() {
        QTest::addColumn<bool>("space");
        QTest::newRow("Space on Compute") << true;
        QTest::newRow("Enter in T'p") << false;
    }

    void workedExampleByKeysAlone() {
        QFETCH(bool, space);
        Shown w;
        QVERIFY(w.show());
        QCOMPARE(focusName(), QStringLiteral("txtLocation"));
        w.type(QStringLiteral("Main St. crossing"));
        w.key(Qt::Key_Tab);
        w.type(QStringLiteral("north"));
        const std::pair<const char*, const char*> inputs[] = {
            {"txtLength", "65"},   {"txtAccel", "0.5"},  {"txtGrade", "0"},
            {"txtEntryPos", "11"}, {"txtExitPos", "77"}, {"txtSpd", "22"}};
        for (const auto& [box, text] : inputs) {
            w.key(Qt::Key_Tab);
            QCOMPARE(focusName(), QString::fromLatin1(box));
            w.type(QString::fromLatin1(text));
            QCOMPARE(w.text(box), QString::fromLatin1(text));
        }
        w.key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("txtExitPass"));
        if (space) {
            w.key(Qt::Key_Tab);
            QCOMPARE(focusName(), QStringLiteral("Command1"));
            w.key(Qt::Key_Space);
            w.key(Qt::Key_Backtab);
        } else {
            w.key(Qt::Key_Return);
            w.key(Qt::Key_Tab);
            w.key(Qt::Key_Backtab);
        }
        QCOMPARE(w.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(focusName(), QStringLiteral("txtExitPass"));
        QCOMPARE(w.selected(), QStringLiteral("23.6"));
        w.key(Qt::Key_C, false, true);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("23.6"));
        // On round to Tp: Compute, then Tp.
        w.key(Qt::Key_Tab);
        w.key(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("txtEntryPass"));
        w.key(Qt::Key_C, false, true);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("16.5"));
        QCOMPARE(w.text("txtLocation"), QStringLiteral("Main St. crossing"));
        QCOMPARE(w.text("txtDirection"), QStringLiteral("north"));
        QVERIFY(w.input.seen().isEmpty());
        QCOMPARE(w.window.beepCount(), 0);
    }

    // Leaving a box that holds a value out of its range by Tab or Shift+Tab shows the message;
    // Enter or Escape closes it, and the focus is where the key sent it, from where the next
    // Tab goes on.
    void rangeErrorClosedByKeys_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("next");
        const QString speed = QStringLiteral("Entered Value of 50 is outside of the range 5 to 35");
        const QString exit =
            QStringLiteral("Entered Value of 600 is outside of the range 20 to 500");
        // clang-format off
        QTest::newRow("Enter, after Tab") << int(Qt::Key_Return) << false << "txtSpd" << "50" << speed << "txtExitPass" << "txtEntryPass";
        QTest::newRow("Escape, after Tab") << int(Qt::Key_Escape) << false << "txtSpd" << "50" << speed << "txtExitPass" << "txtEntryPass";
        QTest::newRow("Enter, after Shift+Tab") << int(Qt::Key_Return) << true << "txtExitPos" << "600" << exit << "txtEntryPos" << "txtExitPos";
        QTest::newRow("Escape, after Shift+Tab") << int(Qt::Key_Escape) << true << "txtExitPos" << "600" << exit << "txtEntryPos" << "txtExitPos";
        // clang-format on
    }

    void rangeErrorClosedByKeys() {
        QFETCH(int, answer);
        QFETCH(bool, backwards);
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, next);
        Shown w;
        QVERIFY(w.show());
        w.example();
        w.window.SetText(box.toStdString(), value.toStdString());
        w.focus(box.toLatin1().constData());
        w.input.answerBy(static_cast<Qt::Key>(answer));
        w.key(backwards ? Qt::Key_Backtab : Qt::Key_Tab);
        QCOMPARE(w.input.seen().size(), 1);
        QCOMPARE(w.input.seen().front().text, message);
        QVERIFY2(QApplication::activeModalWidget() == nullptr, "the message is still open");
        QVERIFY(w.input.waitActive());
        QCOMPARE(focusName(), focus);
        QVERIFY(!w.computeEnabled());
        // The key that closed the message did nothing else: Enter computed nothing.
        QCOMPARE(w.text("txtEntryPass"), QStringLiteral(" "));
        w.key(Qt::Key_Tab);
        QCOMPARE(focusName(), next);
        QCOMPARE(w.input.seen().size(), 1);
    }

    // The Tab ring against the layout table, forwards all the way round and back, as the window
    // first shows, and after a message closed by Enter or by Escape: every stop of the table,
    // in its order, and back where it started, so that no stop keeps the focus.
    void ringAgainstTheTable_data() {
        QTest::addColumn<int>("closedBy");
        QTest::addColumn<bool>("computeEnabled");
        QTest::newRow("at start-up") << int(Qt::Key_unknown) << false;
        QTest::newRow("at start-up, Compute available") << int(Qt::Key_unknown) << true;
        QTest::newRow("after a message closed by Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("after a message closed by Escape") << int(Qt::Key_Escape) << false;
    }

    void ringAgainstTheTable() {
        QFETCH(int, closedBy);
        QFETCH(bool, computeEnabled);
        Shown w;
        QVERIFY(w.show());
        if (computeEnabled) {
            w.example();
        }
        QString start = QStringLiteral("txtLocation");
        if (closedBy != Qt::Key_unknown) {
            // txtGrade holds 9 and is left by Tab: the message, then the focus in txtEntryPos.
            w.window.SetText("txtGrade", "9");
            w.focus("txtGrade");
            w.input.answerBy(static_cast<Qt::Key>(closedBy));
            w.key(Qt::Key_Tab);
            QCOMPARE(w.input.seen().size(), 1);
            QVERIFY(w.input.waitActive());
            start = QStringLiteral("txtEntryPos");
            w.window.SetText("txtGrade", "0"); // so that leaving it again shows nothing
        }
        QCOMPARE(focusName(), start);
        QCOMPARE(w.computeEnabled(), computeEnabled);
        const QStringList ring = ringFromTheTable(computeEnabled);
        const qsizetype at = ring.indexOf(start);
        QVERIFY(at >= 0);
        QStringList expected;
        for (qsizetype i = 1; i <= ring.size(); ++i) {
            expected << ring[(at + i) % ring.size()];
        }
        QStringList forward;
        for (qsizetype i = 0; i < ring.size(); ++i) {
            w.key(Qt::Key_Tab);
            forward << focusName();
        }
        QCOMPARE(forward, expected);
        QStringList backward;
        QStringList expectedBack;
        for (qsizetype i = 1; i <= ring.size(); ++i) {
            expectedBack << ring[(at - i + 2 * ring.size()) % ring.size()];
        }
        for (qsizetype i = 0; i < ring.size(); ++i) {
            w.key(Qt::Key_Backtab);
            backward << focusName();
        }
        QCOMPARE(backward, expectedBack);
        QCOMPARE(w.input.seen().size(), closedBy != Qt::Key_unknown ? 1 : 0);
    }

    // Typing into a passage-time box changes nothing: no character, no deletion, no paste.
    void typingIntoAPassageTimeBoxChangesNothing_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("Tp") << "txtEntryPass";
        QTest::newRow("T'p") << "txtExitPass";
    }

    void typingIntoAPassageTimeBoxChangesNothing() {
        QFETCH(QString, box);
        Shown w;
        QVERIFY(w.show());
        w.example();
        w.focus("txtSpd");
        w.key(Qt::Key_Return);
        QCOMPARE(w.text("txtExitPass"), QStringLiteral("23.6"));
        QApplication::clipboard()->setText(QStringLiteral("99"));
        w.focus(box.toLatin1().constData());
        const QString before = w.text(box.toLatin1().constData());
        w.type(QStringLiteral("7a.-"));
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Space}) {
            w.key(key);
        }
        w.key(Qt::Key_Home);
        w.key(Qt::Key_Delete);
        w.key(Qt::Key_End, true);
        w.key(Qt::Key_V, false, true);
        w.key(Qt::Key_X, false, true);
        QCOMPARE(w.text(box.toLatin1().constData()), before);
        QCOMPARE(w.text("txtEntryPass"), QStringLiteral("16.5"));
        QCOMPARE(w.text("txtExitPass"), QStringLiteral("23.6"));
        QVERIFY(w.input.seen().isEmpty());
    }

    // Every key of the README's keyboard table does what the table says, and every key the
    // window takes for itself (Tab, Shift+Tab, Enter, Escape) is in the table.
    void documentedKeysDoWhatTheReadmeSays() {
        QString problem;
        const QStringList keys = documentedKeys(&problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (const char* own : {"Tab", "Shift+Tab", "Enter", "Escape"}) {
            QVERIFY2(keys.contains(QLatin1String(own)),
                     qPrintable(QStringLiteral("the README does not document %1").arg(own)));
        }
        const std::map<QString, std::function<QString()>> checks = keyChecks();
        for (const QString& key : keys) {
            const auto check = checks.find(key);
            QVERIFY2(check != checks.end(),
                     qPrintable(QStringLiteral("the README documents %1, which no check here "
                                               "shows")
                                    .arg(key)));
            const QString failed = check->second();
            QVERIFY2(failed.isEmpty(), qPrintable(key + QStringLiteral(": ") + failed));
        }
        qInfo("%d documented keys checked", static_cast<int>(keys.size()));
    }

private:
    // One check per documented key, on a fresh window: empty when the key does what the README
    // says, otherwise what it did.
    static std::map<QString, std::function<QString()>> keyChecks() {
        std::map<QString, std::function<QString()>> checks;
        // A free-text box holding "abc", the caret at `at`, then the key.
        const auto inLocation = [](int at, Qt::Key key, bool shift, const QString& text, int caret,
                                   const QString& selected) {
            return [=]() -> QString {
                Shown w;
                if (!w.show()) {
                    return QStringLiteral("the window did not show");
                }
                w.window.SetText("txtLocation", "abc");
                w.focus("txtLocation");
                w.box("txtLocation")->setCursorPosition(at);
                w.key(key, shift);
                const QLineEdit* box = w.box("txtLocation");
                if (box->text() != text || box->cursorPosition() != caret ||
                    box->selectedText() != selected) {
                    return QStringLiteral("text \"%1\", caret %2, selected \"%3\"")
                        .arg(box->text())
                        .arg(box->cursorPosition())
                        .arg(box->selectedText());
                }
                return {};
            };
        };
        checks[QStringLiteral("Left")] = inLocation(3, Qt::Key_Left, false, "abc", 2, "");
        checks[QStringLiteral("Right")] = inLocation(0, Qt::Key_Right, false, "abc", 1, "");
        checks[QStringLiteral("Home")] = inLocation(2, Qt::Key_Home, false, "abc", 0, "");
        checks[QStringLiteral("End")] = inLocation(1, Qt::Key_End, false, "abc", 3, "");
        checks[QStringLiteral("Shift+Left")] = inLocation(3, Qt::Key_Left, true, "abc", 2, "c");
        checks[QStringLiteral("Shift+Right")] = inLocation(0, Qt::Key_Right, true, "abc", 1, "a");
        checks[QStringLiteral("Shift+Home")] = inLocation(2, Qt::Key_Home, true, "abc", 0, "ab");
        checks[QStringLiteral("Shift+End")] = inLocation(1, Qt::Key_End, true, "abc", 3, "bc");
        checks[QStringLiteral("Backspace")] = inLocation(3, Qt::Key_Backspace, false, "ab", 2, "");
        checks[QStringLiteral("Delete")] = inLocation(0, Qt::Key_Delete, false, "bc", 0, "");

        // Tab and Shift+Tab between txtSpd and T'p, the box reached selected.
        const auto tab = [](bool backwards) {
            return [=]() -> QString {
                Shown w;
                if (!w.show()) {
                    return QStringLiteral("the window did not show");
                }
                w.example();
                w.focus(backwards ? "txtExitPass" : "txtSpd");
                w.key(backwards ? Qt::Key_Backtab : Qt::Key_Tab);
                const QString to = backwards ? "txtSpd" : "txtExitPass";
                const QString selected = backwards ? "22" : " ";
                if (focusName() != to || w.selected() != selected) {
                    return QStringLiteral("the focus went to %1, selecting \"%2\"")
                        .arg(focusName(), w.selected());
                }
                return {};
            };
        };
        checks[QStringLiteral("Tab")] = tab(false);
        checks[QStringLiteral("Shift+Tab")] = tab(true);

        // Enter computes from a box, without its check, and closes a message; Escape closes a
        // message and does nothing else; Space presses Compute.
        const auto computes = [](const char* from, Qt::Key key) {
            return [=]() -> QString {
                Shown w;
                if (!w.show()) {
                    return QStringLiteral("the window did not show");
                }
                w.example();
                w.window.SetText("txtSpd", "-22"); // out of range, and not checked by Enter
                w.focus(from);
                w.key(key);
                if (w.text("txtEntryPass") != QStringLiteral("15.") || !w.input.seen().isEmpty()) {
                    return QStringLiteral("Tp \"%1\", %2 messages")
                        .arg(w.text("txtEntryPass"))
                        .arg(w.input.seen().size());
                }
                return {};
            };
        };
        const auto closesMessage = [](Qt::Key key) -> QString {
            Shown w;
            if (!w.show()) {
                return QStringLiteral("the window did not show");
            }
            w.window.SetText("txtSpd", "50");
            w.focus("txtSpd");
            w.input.answerBy(key);
            w.key(Qt::Key_Tab);
            if (w.input.seen().size() != 1 || QApplication::activeModalWidget() != nullptr) {
                return QStringLiteral("the message did not close");
            }
            return {};
        };
        checks[QStringLiteral("Enter")] = [=]() {
            const QString computed = computes("txtLocation", Qt::Key_Return)();
            return computed.isEmpty() ? closesMessage(Qt::Key_Return) : computed;
        };
        checks[QStringLiteral("Space")] = computes("Command1", Qt::Key_Space);
        checks[QStringLiteral("Escape")] = [=]() -> QString {
            const QString closed = closesMessage(Qt::Key_Escape);
            if (!closed.isEmpty()) {
                return closed;
            }
            Shown w;
            if (!w.show()) {
                return QStringLiteral("the window did not show");
            }
            w.example();
            w.focus("txtSpd");
            w.key(Qt::Key_Escape);
            if (focusName() != QStringLiteral("txtSpd") || w.text("txtSpd") != "22" ||
                w.text("txtEntryPass") != " ") {
                return QStringLiteral("Escape in the window did something");
            }
            return {};
        };

        // Ctrl+C copies the selection of a passage-time box, the grade box and a free-text box;
        // Ctrl+V pastes into the grade and free-text boxes and is refused, with a beep, in the
        // filtered numeric boxes.
        checks[QStringLiteral("Ctrl+C")] = []() -> QString {
            const std::pair<const char*, const char*> rows[] = {{"txtEntryPass", "16.5"},
                                                                {"txtExitPass", "23.6"},
                                                                {"txtGrade", "0"},
                                                                {"txtLocation", "abc"}};
            for (const auto& [box, text] : rows) {
                Shown w;
                if (!w.show()) {
                    return QStringLiteral("the window did not show");
                }
                w.example();
                w.window.SetText("txtLocation", "abc");
                w.focus("txtSpd");
                w.key(Qt::Key_Return);
                QApplication::clipboard()->setText(QStringLiteral("-"));
                w.focus(box);
                w.box(box)->selectAll();
                w.key(Qt::Key_C, false, true);
                if (QApplication::clipboard()->text() != QLatin1String(text)) {
                    return QStringLiteral("%1: copied \"%2\"")
                        .arg(box, QApplication::clipboard()->text());
                }
            }
            return {};
        };
        checks[QStringLiteral("Ctrl+V")] = []() -> QString {
            const std::tuple<const char*, const char*, int> rows[] = {
                {"txtGrade", "12", 0}, {"txtLocation", "12", 0}, {"txtSpd", "", 1}};
            for (const auto& [box, shown, beeps] : rows) {
                Shown w;
                if (!w.show()) {
                    return QStringLiteral("the window did not show");
                }
                w.window.SetText(box, "");
                QApplication::clipboard()->setText(QStringLiteral("12"));
                w.focus(box);
                w.key(Qt::Key_V, false, true);
                if (w.text(box) != QLatin1String(shown) || w.window.beepCount() != beeps) {
                    return QStringLiteral("%1: \"%2\", %3 beeps")
                        .arg(box, w.text(box))
                        .arg(w.window.beepCount());
                }
            }
            return {};
        };
        return checks;
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
