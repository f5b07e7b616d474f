// The window's event wiring on the in-memory window: which box runs which operation on each of
// its events, start-up, the two writers of Compute's enabled state, typed text, leaving a box
// and where the focus goes, and the keys the window takes itself.

#include "window/wiring.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "fake_window.h"
#include "model/control_names.h"
#include "window/layout.h"

namespace korvane {
namespace {

using fake::FakeWindow;

// The in-memory window as an adapter would build it: every box from the layout table with its
// creation text and advisory text, every Change forwarded to the wiring.
struct Window {
    FakeWindow window;
    Wiring wiring{window};

    Window() {
        for (const layout::Control& c : layout::kControls) {
            if (!layout::IsTextBox(c.kind)) {
                continue;
            }
            const std::string name(c.name);
            window.texts[name] = std::string(c.text);
            window.advisory[name] = std::string(c.advisory);
            window.onChange[name] = [this, name] { wiring.Change(name); };
        }
        wiring.Form_Load();
    }

    // Puts texts into the boxes without raising Change, as if typed while nothing listened.
    void Put(std::string_view box, std::string_view text) {
        window.texts[std::string(box)] = std::string(text);
    }

    void PutExample() {
        Put(ctl::txtSpd, "22");
        Put(ctl::txtAccel, "0.5");
        Put(ctl::txtGrade, "0");
        Put(ctl::txtLength, "65");
        Put(ctl::txtEntryPos, "11");
        Put(ctl::txtExitPos, "77");
    }

    bool ComputeEnabled() const { return window.IsEnabled(ctl::Command1); }
};

// One row per numeric box: the value the worked example gives it, whether it filters typed
// keys, a typed value outside its range with the message that value brings, and what a screen
// reader is told the message is about (its description).
struct BoxRow {
    std::string_view box;
    std::string_view example;
    bool filtersKeys;
    std::string_view outOfRange;
    std::string_view message;
    std::string_view about;
};

// clang-format off
const BoxRow kBoxes[] = {
    {ctl::txtSpd, "22", true, "50", "Entered Value of 50 is outside of the range 5 to 35", "Max Veh Crossing Speed (mph)"},
    {ctl::txtAccel, "0.5", true, "12.75", "Entered Value of 12.75 is outside of the range 0.25 to 10", "Max Level Acceleration"},
    {ctl::txtGrade, "0", false, "6", "Entered Value of 6 is outside of the range -5  to  5", "Grade %"},
    {ctl::txtLength, "65", true, "150", "Entered Value of 150 is outside of the range 10 to 120)  ft", "Vehicle Length"},
    {ctl::txtEntryPos, "11", true, "-", "Entered Value of 0 is outside of the range 2 to 40", "Entrance Gate Position"},
    {ctl::txtExitPos, "77", true, "600", "Entered Value of 600 is outside of the range 20 to 500", "Exit Gate Position"},
};
// clang-format on

TEST(WiringTest, EachNumericBoxRunsItsOwnChangeKeyPressAndLostFocusHandlers) {
    for (const BoxRow& row : kBoxes) {
        SCOPED_TRACE(std::string(row.box));

        // Change: the readiness pass runs when this box's text changes.
        Window w;
        w.PutExample();
        w.Put(row.box, " ");
        ASSERT_FALSE(w.ComputeEnabled());
        w.window.SetText(row.box, row.example);
        EXPECT_TRUE(w.ComputeEnabled());
        EXPECT_EQ(w.window.Text(ctl::txtEffAccel), ".5");

        // KeyPress: a letter is refused with one beep by the filtered boxes only.
        std::int16_t KeyAscii = 'e';
        w.wiring.KeyPress(row.box, KeyAscii);
        EXPECT_EQ(KeyAscii, row.filtersKeys ? 0 : 'e');
        EXPECT_EQ(w.window.beeps, row.filtersKeys ? 1 : 0);
        KeyAscii = '7';
        w.wiring.KeyPress(row.box, KeyAscii);
        EXPECT_EQ(KeyAscii, '7');
        EXPECT_EQ(Wiring::FiltersKeys(row.box), row.filtersKeys);

        // LostFocus: the range of this box's own advisory text is checked, Compute disabled.
        w.window.SetText(row.box, row.outOfRange);
        ASSERT_EQ(w.window.messages.size(), 0U);
        w.wiring.LostFocus(row.box);
        ASSERT_EQ(w.window.messages.size(), 1U);
        EXPECT_EQ(w.window.messages[0].text, row.message);
        EXPECT_EQ(w.window.messages[0].title, "Range Error");
        EXPECT_FALSE(w.ComputeEnabled());
        EXPECT_EQ(w.window.Text(row.box), row.outOfRange) << "the box's text was changed";
        EXPECT_EQ(w.window.AdvisoryText(row.box), layout::AdvisoryOf(row.box));
    }
}

// While a range check shows its message, the wiring names the box it is about, so that the
// window can describe the message to a screen reader by the box's spoken name; the message's
// text is the check's own. The box is left for another one, as the adapters report it.
TEST(WiringTest, ARangeErrorIsDescribedByTheBoxItIsAbout) {
    for (const BoxRow& row : kBoxes) {
        SCOPED_TRACE(std::string(row.box));
        Window w;
        w.PutExample();
        w.window.SetText(row.box, row.outOfRange);
        std::string checked = "<no message>";
        std::string about;
        w.window.onMessage = [&] {
            checked = std::string(w.wiring.CheckedBox());
            about = w.wiring.MessageDescription();
        };
        w.wiring.FocusMoved(row.box);
        EXPECT_EQ(w.wiring.CheckedBox(), "");
        const std::string_view other = row.box == ctl::txtSpd ? ctl::txtLength : ctl::txtSpd;
        w.wiring.FocusMoved(other);
        ASSERT_EQ(w.window.messages.size(), 1U);
        EXPECT_EQ(w.window.messages[0].text, row.message);
        EXPECT_EQ(checked, row.box);
        EXPECT_EQ(about, row.about);
        EXPECT_EQ(w.wiring.CheckedBox(), "");
        EXPECT_EQ(w.wiring.MessageDescription(), "");

        // A check that passes shows nothing and leaves nothing named.
        w.window.SetText(row.box, row.example);
        w.wiring.FocusMoved(row.box);
        w.wiring.FocusMoved(other);
        EXPECT_EQ(w.window.messages.size(), 1U);
        EXPECT_EQ(w.wiring.CheckedBox(), "");
    }
}

// The free-text and result boxes handle none of the three events.
TEST(WiringTest, BoxesWithoutHandlersChangeNothing) {
    for (const std::string_view box : {ctl::txtLocation, ctl::txtDirection, ctl::txtEffAccel,
                                       ctl::txtEntryPass, ctl::txtExitPass}) {
        SCOPED_TRACE(std::string(box));
        Window w;
        w.PutExample();
        w.window.SetText(box, "50");
        EXPECT_FALSE(w.ComputeEnabled()) << "a Change ran the readiness pass";
        std::int16_t KeyAscii = 'x';
        w.wiring.KeyPress(box, KeyAscii);
        EXPECT_EQ(KeyAscii, 'x');
        EXPECT_EQ(w.window.beeps, 0);
        w.wiring.LostFocus(box);
        EXPECT_TRUE(w.window.messages.empty());
    }
}

TEST(WiringTest, StartUpBlanksTheBoxesWhateverTheirCreationTexts) {
    Window w;
    for (const std::string_view box :
         {ctl::txtSpd, ctl::txtAccel, ctl::txtGrade, ctl::txtLength, ctl::txtEntryPos,
          ctl::txtExitPos, ctl::txtEntryPass, ctl::txtExitPass}) {
        EXPECT_EQ(w.window.Text(box), " ") << box;
    }
    EXPECT_EQ(w.window.Text(ctl::txtEffAccel), ".");
    EXPECT_FALSE(w.ComputeEnabled());
    EXPECT_TRUE(w.window.messages.empty());
    EXPECT_EQ(w.window.beeps, 0);
}

// Compute's enabled state: the readiness pass sets it either way, a failed range check only
// disables it, and whichever ran last decides.
TEST(WiringTest, ComputeFollowsWhicheverOfItsTwoWritersRanLast) {
    Window w;
    w.PutExample();
    w.window.SetText(ctl::txtSpd, "50");
    ASSERT_TRUE(w.ComputeEnabled());
    w.wiring.LostFocus(ctl::txtSpd);
    EXPECT_FALSE(w.ComputeEnabled());

    // An in-range box left afterwards does not enable it again.
    w.wiring.LostFocus(ctl::txtLength);
    EXPECT_FALSE(w.ComputeEnabled());
    EXPECT_EQ(w.window.messages.size(), 1U);

    // Any change of a numeric box does, while the readiness rules pass, with 50 still there.
    w.window.SetText(ctl::txtExitPos, "78");
    EXPECT_TRUE(w.ComputeEnabled());
}

TEST(WiringTest, ComputeWritesBothPassageTimesAndTheNextEditBlanksThem) {
    Window w;
    w.PutExample();
    w.window.SetText(ctl::txtExitPos, "77 ");
    ASSERT_TRUE(w.ComputeEnabled());
    w.wiring.Command1_Click();
    EXPECT_EQ(w.window.Text(ctl::txtEntryPass), "16.5");
    EXPECT_EQ(w.window.Text(ctl::txtExitPass), "23.6");
    w.wiring.Command1_Click();
    EXPECT_EQ(w.window.Text(ctl::txtEntryPass), "16.5");
    w.window.SetText(ctl::txtGrade, "1");
    EXPECT_EQ(w.window.Text(ctl::txtEntryPass), " ");
    EXPECT_EQ(w.window.Text(ctl::txtExitPass), " ");
}

// Tab and Shift+Tab run through the Tab ring by tab index (Tp, the input boxes, T'p, Compute),
// skipping Compute while it is disabled, from the control the wiring knows has the focus, and
// select the text of the box they reach; Enter computes only while Compute is enabled and moves
// no focus; Escape does nothing.
TEST(WiringTest, KeysTheWindowTakesItself) {
    struct Row {
        WindowKey key;
        std::string_view focused; // empty: no move reported since start-up
        bool computeEnabled;
        std::string_view focusTo; // empty: the focus stays
        bool selectText;
        bool computes;
    };
    // clang-format off
    const Row rows[] = {
        {WindowKey::Tab, ctl::txtLocation, false, ctl::txtDirection, true, false},
        {WindowKey::Tab, ctl::txtDirection, false, ctl::txtLength, true, false},
        {WindowKey::Tab, ctl::txtLength, false, ctl::txtAccel, true, false},
        {WindowKey::Tab, ctl::txtAccel, false, ctl::txtGrade, true, false},
        {WindowKey::Tab, ctl::txtGrade, false, ctl::txtEntryPos, true, false},
        {WindowKey::Tab, ctl::txtEntryPos, false, ctl::txtExitPos, true, false},
        {WindowKey::Tab, ctl::txtExitPos, false, ctl::txtSpd, true, false},
        {WindowKey::Tab, ctl::txtSpd, false, ctl::txtExitPass, true, false},
        {WindowKey::Tab, ctl::txtSpd, true, ctl::txtExitPass, true, false},
        {WindowKey::Tab, ctl::txtExitPass, false, ctl::txtEntryPass, true, false},
        {WindowKey::Tab, ctl::txtExitPass, true, ctl::Command1, false, false},
        {WindowKey::Tab, ctl::Command1, true, ctl::txtEntryPass, true, false},
        // A disabled Compute that still has the focus hands it on, forwards.
        {WindowKey::Tab, ctl::Command1, false, ctl::txtEntryPass, true, false},
        {WindowKey::Tab, ctl::txtEntryPass, false, ctl::txtLocation, true, false},
        {WindowKey::Tab, ctl::txtEntryPass, true, ctl::txtLocation, true, false},
        {WindowKey::BackTab, ctl::txtLocation, false, ctl::txtEntryPass, true, false},
        {WindowKey::BackTab, ctl::txtLocation, true, ctl::txtEntryPass, true, false},
        {WindowKey::BackTab, ctl::txtEntryPass, false, ctl::txtExitPass, true, false},
        {WindowKey::BackTab, ctl::txtEntryPass, true, ctl::Command1, false, false},
        {WindowKey::BackTab, ctl::Command1, true, ctl::txtExitPass, true, false},
        {WindowKey::BackTab, ctl::txtExitPass, true, ctl::txtSpd, true, false},
        {WindowKey::BackTab, ctl::txtSpd, false, ctl::txtExitPos, true, false},
        {WindowKey::BackTab, ctl::txtLength, true, ctl::txtDirection, true, false},
        // Before any move the focus is where the window first shows it, in txtLocation.
        {WindowKey::Tab, "", false, ctl::txtDirection, true, false},
        {WindowKey::BackTab, "", true, ctl::txtEntryPass, true, false},
        {WindowKey::Enter, ctl::txtSpd, true, "", false, true},
        {WindowKey::Enter, ctl::txtSpd, false, "", false, false},
        {WindowKey::Enter, ctl::txtLocation, true, "", false, true},
        {WindowKey::Enter, ctl::txtExitPass, true, "", false, true},
        {WindowKey::Escape, ctl::txtSpd, true, "", false, false},
        {WindowKey::Escape, ctl::txtEntryPass, true, "", false, false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.focused) + (row.computeEnabled ? ", Compute enabled" : ""));
        Window w;
        w.PutExample();
        w.window.SetText(ctl::txtExitPos, "77 ");
        w.window.SetEnabled(ctl::Command1, row.computeEnabled);
        if (!row.focused.empty()) {
            w.wiring.FocusMoved(row.focused);
        }
        const FocusMove move = w.wiring.Key(
            row.key, [&](std::string_view c) { return c != ctl::Command1 || w.ComputeEnabled(); });
        EXPECT_EQ(move.to, row.focusTo);
        EXPECT_EQ(move.selectText, row.selectText);
        EXPECT_EQ(w.window.Text(ctl::txtEntryPass) == "16.5", row.computes);
        EXPECT_TRUE(w.window.messages.empty()) << "a key ran a range check";
    }
}

// A box is left only when the focus goes from it to another control of this window; only then
// does its range check run. The adapter reports where the focus went: a control of the window by
// name, anything else (a message box, another program, the desktop, nothing as the window
// closes) as an empty name.
TEST(WiringTest, LeavingABox) {
    struct Row {
        const char* what;
        std::vector<std::string_view> moves; // from txtLocation, with txtSpd holding 50
        std::size_t messages;
        std::string_view focused;
    };
    const std::string_view outside;
    // clang-format off
    const Row rows[] = {
        {"to another box", {ctl::txtSpd, ctl::txtExitPos}, 1, ctl::txtExitPos},
        {"to the button", {ctl::txtSpd, ctl::Command1}, 1, ctl::Command1},
        {"to a result box, clicked into", {ctl::txtSpd, ctl::txtExitPass}, 1, ctl::txtExitPass},
        {"to the message box, another program or the desktop", {ctl::txtSpd, outside}, 0, ctl::txtSpd},
        {"away and back to the same box", {ctl::txtSpd, outside, ctl::txtSpd}, 0, ctl::txtSpd},
        {"away, then to another box", {ctl::txtSpd, outside, ctl::txtGrade}, 1, ctl::txtGrade},
        {"the same box again", {ctl::txtSpd, ctl::txtSpd, ctl::txtSpd}, 0, ctl::txtSpd},
        {"window closing: the focus goes nowhere", {ctl::txtSpd, outside}, 0, ctl::txtSpd},
        {"a name that is no control of the window", {ctl::txtSpd, "Label8", "Nothing"}, 0, ctl::txtSpd},
        {"to txtSpd and on twice", {ctl::txtSpd, ctl::txtAccel, ctl::txtSpd, ctl::txtGrade}, 2, ctl::txtGrade},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Window w;
        w.PutExample();
        w.window.SetText(ctl::txtSpd, "50");
        ASSERT_EQ(w.wiring.Focused(), ctl::txtLocation);
        for (const std::string_view to : row.moves) {
            w.wiring.FocusMoved(to);
        }
        EXPECT_EQ(w.window.messages.size(), row.messages);
        EXPECT_EQ(w.ComputeEnabled(), row.messages == 0);
        EXPECT_EQ(w.wiring.Focused(), row.focused);
    }
}

// The focus a message box or the background hands back: to the control the user sent it to, the
// check of the box left having already run, unless that control cannot take it now.
TEST(WiringTest, FocusReturnsWhereTheUserSentIt) {
    Window w;
    w.PutExample();
    w.window.SetText(ctl::txtSpd, "50");
    const auto enabled = [&](std::string_view c) {
        return c != ctl::Command1 || w.ComputeEnabled();
    };
    w.wiring.FocusMoved(ctl::txtSpd);
    // Shift+Tab to txtExitPos: the check of txtSpd shows its message while the focus is already
    // where it is going, so that it comes back there.
    w.window.onMessage = [&] { EXPECT_EQ(w.wiring.Focused(), ctl::txtExitPos); };
    const FocusMove move = w.wiring.Key(WindowKey::BackTab, enabled);
    ASSERT_EQ(move.to, ctl::txtExitPos);
    w.wiring.FocusMoved(move.to);
    ASSERT_EQ(w.window.messages.size(), 1U);
    EXPECT_EQ(w.wiring.FocusOnReturn(enabled), ctl::txtExitPos);
    // The next Tab acts from there: into txtSpd, and Shift+Tab leaves it again with a message.
    EXPECT_EQ(w.wiring.Key(WindowKey::Tab, enabled).to, ctl::txtSpd);
    w.wiring.FocusMoved(ctl::txtSpd);
    w.wiring.FocusMoved(w.wiring.Key(WindowKey::BackTab, enabled).to);
    EXPECT_EQ(w.window.messages.size(), 2U);

    // Compute, focused and then disabled while the window was in the background, hands the focus
    // on to the next control that can take it.
    w.window.SetText(ctl::txtSpd, "22");
    ASSERT_TRUE(w.ComputeEnabled());
    w.wiring.FocusMoved(ctl::Command1);
    w.window.SetEnabled(ctl::Command1, false);
    EXPECT_EQ(w.wiring.FocusOnReturn(enabled), ctl::txtEntryPass);
    w.window.SetEnabled(ctl::Command1, true);
    EXPECT_EQ(w.wiring.FocusOnReturn(enabled), ctl::Command1);
}

// Typed text, by whatever path it comes (a key, a control character, an input method's whole
// composition, a character beyond 16 bits as its surrogates): each character goes through the
// box's filter in turn; the accepted ones enter in order, each refused one beeps and is dropped.
TEST(WiringTest, TypedText) {
    struct Row {
        std::string_view box;
        std::u16string_view typed;
        std::u16string_view enters;
        int beeps;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtSpd, u"7", u"7", 0},
        {ctl::txtSpd, u"1a", u"1", 1},                 // composed at once: "1" and one beep
        {ctl::txtSpd, u"a1b2", u"12", 2},
        {ctl::txtSpd, u"\x16", u"", 1},                // Ctrl+V types a control character
        {ctl::txtSpd, u"\b", u"\b", 0},                // Backspace passes
        {ctl::txtAccel, u"0.5-", u"0.5-", 0},
        {ctl::txtLength, u"\U0001F600", u"", 2},       // one character, two surrogates
        {ctl::txtEntryPos, u"\uFF11\uFF12", u"", 2},  // full-width digits are not digits here
        {ctl::txtExitPos, u"1 2", u"12", 1},
        {ctl::txtGrade, u"1a", u"1a", 0},               // the grade box has no filter
        {ctl::txtLocation, u"L\u00F8kken \U0001F600", u"L\u00F8kken \U0001F600", 0},
        {ctl::txtDirection, u"\x16", u"\x16", 0},
        {ctl::txtSpd, u"", u"", 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.box) + ", typed unit count " +
                     std::to_string(row.typed.size()));
        Window w;
        EXPECT_TRUE(w.wiring.Typed(row.box, row.typed) == row.enters);
        EXPECT_EQ(w.window.beeps, row.beeps);
    }
}

} // namespace
} // namespace korvane
