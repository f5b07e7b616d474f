// Long random sequences of user events on the real window: characters typed into whatever box has
// the focus, editing keys, Tab and Shift+Tab, clicks on boxes and on Compute, Enter and pastes,
// with every "Range Error" message answered. On a real X server (on_xvfb.sh) the events are real
// keys and clicks, given as fast as the window takes them in, without waiting for the window to
// be active again after a message; on the offscreen platform they go to the window as a window
// system delivers them, and after each message another window keeps the activation until the
// next click (drivers.h). After every event the window must agree with the model run on its own
// texts:
// - a change of a numeric input blanks both passage times;
// - Compute is enabled exactly when a readiness pass over the six texts on screen enables it,
//   unless a range check has failed since the last change, when it is disabled;
// - the effective acceleration is the one a readiness pass over those texts shows, and the
//   passage times are blank or those a computation over those texts shows;
// - a click on an enabled Compute that brings no message shows those passage times;
// - exactly one control of the window has the focus, the one the Tab ring or the click sent it
//   to (a Compute disabled by the check of the box left hands it on), and while the window is
//   active it is the application's focus too.
// A failure names its seed and the shortest event list found that still fails. The environment
// variable KORVANE_RANDOM_SEEDS=N plays N seeds more (1 to N) than the three fixed ones.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "drivers.h"
#include "fake_window.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"
#include "qt_window.h"

namespace {

namespace ctl = korvane::ctl;

constexpr int kEventsPerSeed = 3000;
constexpr std::uint32_t kSeeds[] = {1, 20240611, 77};

const std::array<const char*, 6> kInputs = {"txtSpd",    "txtAccel",    "txtGrade",
                                            "txtLength", "txtEntryPos", "txtExitPos"};
// Every box the pointer can click, the result boxes and free-text boxes included.
const std::array<const char*, 11> kBoxes = {
    "txtSpd",      "txtAccel",     "txtGrade",    "txtLength",   "txtEntryPos", "txtExitPos",
    "txtEffAccel", "txtEntryPass", "txtExitPass", "txtLocation", "txtDirection"};
constexpr int kEffAccel = 6; // disabled: a click on it moves no focus
// What a paste can bring.
const std::array<const char*, 8> kClips = {
    "12", "-3.5", "1e3", "abc", " 7 ", "0.25", "99999999999999999999999", "5\t5"};
// Values typed over a whole box: inside and outside the advisory ranges.
const std::array<const char*, 14> kPlausible = {"22", "0.5", "65",  "11", "77",  "5",  "35",
                                                "10", "2",   "120", "40", "500", "50", "-1"};
// Characters typed: digits weigh most, then what the numbers are made of, then the rest.
const char kTyped[] = "0123456789012345678901234567890123456789--..eE ab+,x%";

enum class Kind {
    Type,    // a printable character into the focused widget
    Control, // Control with a letter (Ctrl+V pastes where the box takes it)
    Backspace,
    Delete,
    Left,
    Home,
    End,
    SelectToEnd, // Shift+End
    Tab,
    BackTab,
    Click,   // a box
    Compute, // a click on Compute
    Enter,
    Clipboard, // the clipboard changes (another program copied something)
};

struct Event {
    Kind kind = Kind::Type;
    char ch = 0;   // Type: the character; Control: the letter
    int index = 0; // Click: the box; Clipboard: the text
};

std::vector<Event> Generate(std::uint32_t seed, int count) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::vector<Event> events;
    events.reserve(static_cast<std::size_t>(count) + 8);
    while (static_cast<int>(events.size()) < count) {
        Event e;
        const int roll = pick(100);
        if (roll < 25) {
            // The user selects what a box holds and types a plausible value over it, so that
            // ready inputs and computed times come up often.
            events.push_back({Kind::Click, 0, pick(6)});
            events.push_back({Kind::Home, 0, 0});
            events.push_back({Kind::SelectToEnd, 0, 0});
            for (const char* c = kPlausible[static_cast<std::size_t>(
                     pick(static_cast<int>(kPlausible.size())))];
                 *c != '\0'; ++c) {
                events.push_back({Kind::Type, *c, 0});
            }
            continue;
        }
        if (roll < 45) {
            e.kind = Kind::Type;
            e.ch = kTyped[pick(static_cast<int>(sizeof kTyped) - 1)];
        } else if (roll < 49) {
            e.kind = Kind::Control;
            e.ch = "VAZXCH"[pick(6)];
        } else if (roll < 56) {
            e.kind = Kind::Backspace;
        } else if (roll < 59) {
            e.kind = Kind::Delete;
        } else if (roll < 61) {
            e.kind = Kind::Left;
        } else if (roll < 62) {
            e.kind = Kind::Home;
        } else if (roll < 63) {
            e.kind = Kind::End;
        } else if (roll < 71) {
            e.kind = Kind::Tab;
        } else if (roll < 74) {
            e.kind = Kind::BackTab;
        } else if (roll < 88) {
            e.kind = Kind::Click;
            // Mostly the six inputs.
            e.index = pick(3) == 0 ? pick(static_cast<int>(kBoxes.size())) : pick(6);
        } else if (roll < 95) {
            e.kind = Kind::Compute;
        } else if (roll < 99) {
            e.kind = Kind::Enter;
        } else {
            e.kind = Kind::Clipboard;
            e.index = pick(static_cast<int>(kClips.size()));
        }
        events.push_back(e);
    }
    events.resize(static_cast<std::size_t>(count));
    return events;
}

std::string Describe(const Event& e) {
    switch (e.kind) {
    case Kind::Type:
        return std::string("type '") + e.ch + "'";
    case Kind::Control:
        return std::string("Ctrl+") + e.ch;
    case Kind::Backspace:
        return "Backspace";
    case Kind::Delete:
        return "Delete";
    case Kind::Left:
        return "Left";
    case Kind::Home:
        return "Home";
    case Kind::End:
        return "End";
    case Kind::SelectToEnd:
        return "Shift+End";
    case Kind::Tab:
        return "Tab";
    case Kind::BackTab:
        return "Shift+Tab";
    case Kind::Click:
        return std::string("click ") + kBoxes[static_cast<std::size_t>(e.index)];
    case Kind::Compute:
        return "click Command1";
    case Kind::Enter:
        return "Enter";
    case Kind::Clipboard:
        return std::string("clipboard \"") + kClips[static_cast<std::size_t>(e.index)] + "\"";
    }
    return "?";
}

void Apply(korvane::drive::Driver& driver, korvane::qt::QtWindow& window, const Event& e) {
    switch (e.kind) {
    case Kind::Type:
        driver.type(QString(QLatin1Char(e.ch)));
        break;
    case Kind::Control:
        driver.key(static_cast<Qt::Key>(Qt::Key_A + (e.ch - 'A')), Qt::ControlModifier);
        break;
    case Kind::Backspace:
        driver.key(Qt::Key_Backspace);
        break;
    case Kind::Delete:
        driver.key(Qt::Key_Delete);
        break;
    case Kind::Left:
        driver.key(Qt::Key_Left);
        break;
    case Kind::Home:
        driver.key(Qt::Key_Home);
        break;
    case Kind::End:
        driver.key(Qt::Key_End);
        break;
    case Kind::SelectToEnd:
        driver.key(Qt::Key_End, Qt::ShiftModifier);
        break;
    case Kind::Tab:
        driver.key(Qt::Key_Tab);
        break;
    case Kind::BackTab:
        driver.key(Qt::Key_Backtab);
        break;
    case Kind::Click:
        driver.click(window.findChild<QWidget*>(kBoxes[static_cast<std::size_t>(e.index)]));
        break;
    case Kind::Compute:
        driver.click(window.findChild<QWidget*>("Command1"));
        break;
    case Kind::Enter:
        driver.key(Qt::Key_Return);
        break;
    case Kind::Clipboard:
        QApplication::clipboard()->setText(
            QString::fromLatin1(kClips[static_cast<std::size_t>(e.index)]));
        break;
    }
    driver.settle();
}

// The Tab ring as the window shows it, written out here: by tab index, the read-only
// passage-time boxes (0 and 9) among the input boxes, then Compute.
const std::array<const char*, 11> kStops = {
    "txtEntryPass", "txtLocation", "txtDirection", "txtLength",   "txtAccel", "txtGrade",
    "txtEntryPos",  "txtExitPos",  "txtSpd",       "txtExitPass", "Command1"};

// Where Tab (or Shift+Tab) takes the focus from `from`.
std::string NextStop(const std::string& from, bool backwards, bool computeEnabled) {
    const auto at = std::find(kStops.begin(), kStops.end(), from);
    const int n = static_cast<int>(kStops.size());
    int i = static_cast<int>(at - kStops.begin());
    for (int step = 0; step < n; ++step) {
        i = (i + (backwards ? n - 1 : 1)) % n;
        const std::string stop = kStops[static_cast<std::size_t>(i)];
        if (computeEnabled || stop != "Command1") {
            return stop;
        }
    }
    return from;
}

// What the model shows for the six texts on screen: a readiness pass, and a computation when
// it enables Compute.
struct Expected {
    std::string effAccel;
    bool ready = false;
    std::string entryPass = " ";
    std::string exitPass = " ";
};

Expected Model(const std::array<std::string, 6>& texts) {
    korvane::CalculatorState state;
    korvane::fake::FakeWindow fake;
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        fake.texts[kInputs[i]] = texts[i];
    }
    korvane::CompuCheck(state, fake);
    Expected out;
    out.effAccel = fake.Text(ctl::txtEffAccel);
    out.ready = fake.IsEnabled(ctl::Command1);
    if (out.ready) {
        korvane::ComputePassageTimes(state, fake);
        out.entryPass = fake.Text(ctl::txtEntryPass);
        out.exitPass = fake.Text(ctl::txtExitPass);
    }
    return out;
}

// What the test reads of the window.
struct View {
    korvane::qt::QtWindow& window;
    korvane::drive::Driver& driver;
    QLineEdit* box(const char* name) const { return window.findChild<QLineEdit*>(name); }
    QPushButton* compute() const { return window.findChild<QPushButton*>("Command1"); }
    QString text(const char* name) const { return box(name)->text(); }
    qsizetype messages() const { return driver.messages().size(); }
};

std::array<std::string, 6> InputTexts(const View& h) {
    std::array<std::string, 6> texts;
    for (std::size_t i = 0; i < kInputs.size(); ++i) {
        texts[i] = h.text(kInputs[i]).toStdString();
    }
    return texts;
}

// What a run went through, so that a run whose events reach nothing is seen.
struct Seen {
    int changes = 0;  // events that changed a numeric input
    int messages = 0; // "Range Error" messages
    int ready = 0;    // events after which the texts on view were ready
    int results = 0;  // events after which passage times were on view
};

// Plays the events on a fresh window. Returns the index of the first event after which an
// invariant fails (and why), or -1.
int Play(const std::vector<Event>& events, std::string& why, Seen* seen = nullptr) {
    QApplication::clipboard()->setText(QStringLiteral("42"));
    korvane::qt::QtWindow window;
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        why = "the window did not become active";
        return 0;
    }
    const std::unique_ptr<korvane::drive::Driver> driver = korvane::drive::DriverFor(window);
    if (driver == nullptr) {
        why = "no XTEST extension on this X server";
        return 0;
    }
    const View h{window, *driver};
    std::string focus = "txtLocation"; // where the focus is to be
    // A Change of a numeric box is what its text-changed signal reports: an edit that puts
    // back the same text (a selected "5" typed over with "5") is a change too.
    int changes = 0;
    for (const char* name : kInputs) {
        QObject::connect(h.box(name), &QLineEdit::textChanged, [&changes] { ++changes; });
    }
    bool rangeFailed = false; // since the last change of a numeric input
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        const std::array<std::string, 6> before = InputTexts(h);
        const bool enabledBefore = h.compute()->isEnabled();
        const std::string entryBefore = h.text("txtEntryPass").toStdString();
        const std::string exitBefore = h.text("txtExitPass").toStdString();
        const qsizetype messagesBefore = h.messages();
        const int changesBefore = changes;
        // Enter presses Compute, and so does a blank typed while the button has the focus.
        const bool pressesCompute = e.kind == Kind::Compute || e.kind == Kind::Enter ||
                                    (e.kind == Kind::Type && e.ch == ' ' && focus == "Command1");

        Apply(*driver, window, e);

        const std::array<std::string, 6> after = InputTexts(h);
        const bool changed = changes != changesBefore;
        if (after != before && !changed) {
            why = "the text of a numeric box changed without a Change";
            return static_cast<int>(i);
        }
        const bool message = h.messages() > messagesBefore;
        if (changed) {
            rangeFailed = false;
        }
        if (message) {
            rangeFailed = true;
        }
        const Expected expected = Model(after);
        if (seen != nullptr) {
            seen->changes += changed ? 1 : 0;
            seen->messages += message ? 1 : 0;
            seen->ready += expected.ready ? 1 : 0;
            seen->results += h.text("txtExitPass") != QStringLiteral(" ") ? 1 : 0;
        }
        const std::string entry = h.text("txtEntryPass").toStdString();
        const std::string exit = h.text("txtExitPass").toStdString();
        const bool enabled = h.compute()->isEnabled();
        auto fail = [&](const std::string& what) {
            why = what + " (entry \"" + entry + "\", exit \"" + exit + "\", Compute " +
                  (enabled ? "enabled" : "disabled") + ", inputs";
            for (const std::string& t : after) {
                why += " \"" + t + "\"";
            }
            why += ")";
            return static_cast<int>(i);
        };

        if (changed && (entry != " " || exit != " ")) {
            return fail("a changed input left passage times on view");
        }
        if (enabled != (expected.ready && !rangeFailed)) {
            return fail(std::string("Compute is ") + (enabled ? "enabled" : "disabled") +
                        ", the readiness pass says " + (expected.ready ? "ready" : "not ready") +
                        (rangeFailed ? " and a range check failed" : ""));
        }
        if (h.text("txtEffAccel").toStdString() != expected.effAccel) {
            return fail("effective acceleration \"" + h.text("txtEffAccel").toStdString() +
                        "\", expected \"" + expected.effAccel + "\"");
        }
        const bool blank = entry == " " && exit == " ";
        if (!blank && (entry != expected.entryPass || exit != expected.exitPass)) {
            return fail("passage times differ from a computation over the texts on view, \"" +
                        expected.entryPass + "\" and \"" + expected.exitPass + "\"");
        }
        if (e.kind == Kind::Compute && enabledBefore && !message &&
            (entry != expected.entryPass || exit != expected.exitPass)) {
            return fail("a click on an enabled Compute did not show the computed times");
        }
        if (!changed && !message && !pressesCompute &&
            (entry != entryBefore || exit != exitBefore)) {
            return fail("the passage times changed without an edit or a press of Compute");
        }

        // Where the focus is to be now.
        if (e.kind == Kind::Click && e.index != kEffAccel) {
            focus = kBoxes[static_cast<std::size_t>(e.index)];
        } else if (e.kind == Kind::Compute && enabledBefore) {
            focus = "Command1";
        } else if (e.kind == Kind::Tab || e.kind == Kind::BackTab) {
            focus = NextStop(focus, e.kind == Kind::BackTab, enabledBefore);
        }
        if (focus == "Command1" && !enabled) {
            focus = NextStop(focus, false, false); // a disabled Compute hands the focus on
        }
        const QWidget* focused = window.focusWidget();
        const std::string focusedName =
            focused != nullptr ? focused->objectName().toStdString() : "<none>";
        if (focusedName != focus) {
            return fail("the focus is on " + focusedName + ", not on " + focus);
        }
        if (window.isActiveWindow()) {
            int holding = 0;
            for (const QWidget* control : window.findChildren<QWidget*>()) {
                holding += control->hasFocus() ? 1 : 0;
            }
            if (QApplication::focusWidget() != focused || holding != 1) {
                return fail("the window is active, but " + std::to_string(holding) +
                            " controls have the focus");
            }
        }
    }
    return -1;
}

// Shortens a failing event list: drops chunks, halving their size, as long as the list still
// fails; stops after a time limit.
std::vector<Event> Shrink(std::vector<Event> events) {
    QElapsedTimer clock;
    clock.start();
    std::string why;
    for (std::size_t chunk = events.size() / 2; chunk >= 1; chunk /= 2) {
        for (std::size_t start = 0; start < events.size() && clock.elapsed() < 120000;) {
            const auto keepTo = static_cast<std::ptrdiff_t>(start);
            const auto resumeAt =
                static_cast<std::ptrdiff_t>(std::min(events.size(), start + chunk));
            std::vector<Event> shorter(events.begin(), events.begin() + keepTo);
            shorter.insert(shorter.end(), events.begin() + resumeAt, events.end());
            const int failedAt = Play(shorter, why);
            if (failedAt >= 0) {
                shorter.resize(static_cast<std::size_t>(failedAt) + 1);
                events = shorter;
            } else {
                start += chunk;
            }
        }
    }
    return events;
}

} // namespace

class RandomEventsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    void windowAgreesWithTheModelAfterEveryEvent_data() {
        QTest::addColumn<std::uint32_t>("seed");
        std::vector<std::uint32_t> seeds(std::begin(kSeeds), std::end(kSeeds));
        for (int n = 1; n <= qEnvironmentVariableIntValue("KORVANE_RANDOM_SEEDS"); ++n) {
            seeds.push_back(static_cast<std::uint32_t>(n));
        }
        for (const std::uint32_t seed : seeds) {
            QTest::newRow(("seed " + std::to_string(seed)).c_str()) << seed;
        }
    }

    void windowAgreesWithTheModelAfterEveryEvent() {
        QFETCH(std::uint32_t, seed);
        QElapsedTimer clock;
        clock.start();
        std::vector<Event> events = Generate(seed, kEventsPerSeed);
        std::string why;
        Seen seen;
        const int failedAt = Play(events, why, &seen);
        qInfo("seed %u: %d events in %lld ms: %d changes, %d range messages, %d ready, %d with "
              "results",
              seed, kEventsPerSeed, static_cast<long long>(clock.elapsed()), seen.changes,
              seen.messages, seen.ready, seen.results);
        if (failedAt < 0) {
            // The events must have reached every part of the wiring.
            QVERIFY(seen.changes > 100);
            QVERIFY(seen.messages > 10);
            QVERIFY(seen.ready > 10);
            QVERIFY(seen.results > 10);
            return;
        }
        events.resize(static_cast<std::size_t>(failedAt) + 1);
        const std::vector<Event> shortest = Shrink(events);
        std::string shortWhy;
        Play(shortest, shortWhy);
        std::string report = "seed " + std::to_string(seed) + ", event " +
                             std::to_string(failedAt) + ": " + why + "\nshortest failing list (" +
                             std::to_string(shortest.size()) + " events): " + shortWhy + "\n";
        for (const Event& e : shortest) {
            report += "  " + Describe(e) + "\n";
        }
        QFAIL(report.c_str());
    }
};

QTEST_MAIN(RandomEventsTest)
#include "random_events_test.moc"
