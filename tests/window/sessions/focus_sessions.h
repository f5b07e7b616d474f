#pragma once

// User sessions around "Range Error" messages, one user action a step, with the control that
// has the focus after each step and the message the step brings. Both windows play the same
// table with real input (the Qt window on a real X server, the Win32 window through SendInput),
// so the two must agree step by step.
//
// Actions: Type clicks into the box, empties it and types the text; Keys clicks into the box
// and types the text after what is there; Click clicks the control (a disabled Compute takes no
// click); Key presses a key wherever the focus is. Every message is answered with OK as soon as
// it shows. Chars types the text wherever the focus is.

#include <string_view>
#include <vector>

namespace korvane::sessions {

enum class Act { Type, Keys, Click, Key, Chars };
enum class Key { NoKey, Tab, BackTab, Enter, Escape, Backspace, Space };

struct Step {
    Act act;
    std::string_view control; // Type, Keys, Click
    std::string_view text;    // Type, Keys: UTF-8
    Key key;                  // Key
    std::string_view focus;   // the control that has the focus afterwards
    std::string_view message; // the message the step brings, or empty
};

struct Session {
    std::string_view name;
    std::vector<Step> steps;
};

inline Step Type(std::string_view box, std::string_view text, std::string_view focus,
                 std::string_view message = {}) {
    return {Act::Type, box, text, Key::NoKey, focus, message};
}
inline Step Keys(std::string_view box, std::string_view text, std::string_view focus,
                 std::string_view message = {}) {
    return {Act::Keys, box, text, Key::NoKey, focus, message};
}
inline Step Click(std::string_view control, std::string_view focus, std::string_view message = {}) {
    return {Act::Click, control, {}, Key::NoKey, focus, message};
}
inline Step Chars(std::string_view text, std::string_view focus, std::string_view message = {}) {
    return {Act::Chars, {}, text, Key::NoKey, focus, message};
}
inline Step Press(Key key, std::string_view focus, std::string_view message = {}) {
    return {Act::Key, {}, {}, key, focus, message};
}

inline constexpr std::string_view kSpeed0 = "Entered Value of 0 is outside of the range 5 to 35";
inline constexpr std::string_view kSpeed50 = "Entered Value of 50 is outside of the range 5 to 35";

inline const std::vector<Session>& FocusSessions() {
    static const std::vector<Session> sessions = {
        {"messages in a row, then Tab and Shift+Tab from where the focus was sent",
         {
             Press(Key::Enter, "txtLocation"),
             Type("txtLength", "10", "txtLength"),
             Type("txtExitPos", "20", "txtExitPos"),
             Press(Key::Tab, "txtSpd"),
             Press(Key::Tab, "txtExitPass"),
             Type("txtGrade", "2", "txtGrade"),
             Type("txtExitPos", "-3", "txtExitPos"),
             Type("txtLength", "--1", "txtLength",
                  "Entered Value of-3 is outside of the range 20 to 500"),
             Type("txtEntryPos", "2", "txtEntryPos",
                  "Entered Value of 0 is outside of the range 10 to 120)  ft"),
             Type("txtExitPos", "380", "txtExitPos"),
             Press(Key::Enter, "txtExitPos"),
             Press(Key::BackTab, "txtEntryPos"),
             Type("txtLocation", "x", "txtLocation"),
             Keys("txtLocation", "L\xC3\xB8kken \xC3\xB8", "txtLocation"),
             Press(Key::Backspace, "txtLocation"),
             Press(Key::Tab, "txtDirection"),
             Click("Command1", "txtDirection"),
             Click("txtSpd", "txtSpd"),
             Keys("txtEntryPos", "7.5", "txtEntryPos"),
             Click("Command1", "txtEntryPos"),
             Press(Key::Enter, "txtEntryPos"),
             Type("txtSpd", "0", "txtSpd"),
             Press(Key::BackTab, "txtExitPos", kSpeed0),
             Press(Key::Enter, "txtExitPos"),
             Press(Key::Tab, "txtSpd"),
             Press(Key::BackTab, "txtExitPos", kSpeed0),
         }},
        {"Tab after a message selects the box it reaches, and typing replaces its text",
         {
             Type("txtSpd", "50", "txtSpd"),
             Press(Key::Tab, "txtExitPass", kSpeed50),
             Press(Key::BackTab, "txtSpd"),
             Type("txtSpd", "22", "txtSpd"),
             Press(Key::BackTab, "txtExitPos"),
             Keys("txtExitPos", "77", "txtExitPos"),
             Press(Key::Tab, "txtSpd"),
             Keys("txtSpd", "0", "txtSpd"),
             Press(Key::Tab, "txtExitPass", "Entered Value of 220 is outside of the range 5 to 35"),
             Press(Key::BackTab, "txtSpd"),
             Chars("3", "txtSpd"),
             Press(Key::BackTab, "txtExitPos",
                   "Entered Value of 3 is outside of the range 5 to 35"),
             Press(Key::Tab, "txtSpd"),
             Chars("30", "txtSpd"),
             Press(Key::Tab, "txtExitPass"),
             // The focus reaches a box while a message is open: its text is selected all the same.
             Type("txtExitPos", "600", "txtExitPos"),
             Press(Key::Tab, "txtSpd", "Entered Value of 600 is outside of the range 20 to 500"),
             Chars("4", "txtSpd"),
             Press(Key::BackTab, "txtExitPos",
                   "Entered Value of 4 is outside of the range 5 to 35"),
         }},
        {"a click after a message; Enter computes once a change has enabled Compute again",
         {
             Type("txtSpd", "22", "txtSpd"),
             Type("txtAccel", "0.5", "txtAccel"),
             Type("txtLength", "65", "txtLength"),
             Type("txtEntryPos", "11", "txtEntryPos"),
             Type("txtExitPos", "77", "txtExitPos"),
             Type("txtGrade", "9", "txtGrade"),
             Click("txtAccel", "txtAccel", "Entered Value of 9 is outside of the range -5  to  5"),
             Press(Key::Enter, "txtAccel"),
             Click("Command1", "txtAccel"),
             Type("txtGrade", "0", "txtGrade"),
             Press(Key::Enter, "txtGrade"),
             Click("txtSpd", "txtSpd"),
             Press(Key::Tab, "txtExitPass"),
             Press(Key::Tab, "Command1"),
             Press(Key::Tab, "txtEntryPass"),
             Press(Key::Tab, "txtLocation"),
             Press(Key::BackTab, "txtEntryPass"),
             Press(Key::BackTab, "Command1"),
         }},
        {"a click on Compute checks the box it leaves; the disabled Compute hands the focus on to "
         "the next stop, the read-only Tp",
         {
             Type("txtSpd", "22", "txtSpd"),
             Type("txtAccel", "0.5", "txtAccel"),
             Type("txtLength", "65", "txtLength"),
             Type("txtEntryPos", "11", "txtEntryPos"),
             Type("txtExitPos", "77", "txtExitPos"),
             Type("txtSpd", "50", "txtSpd"),
             Click("Command1", "txtEntryPass", kSpeed50),
             Press(Key::BackTab, "txtExitPass"),
             Press(Key::BackTab, "txtSpd"),
             Press(Key::BackTab, "txtExitPos", kSpeed50),
             Press(Key::Escape, "txtExitPos"),
             Click("txtExitPass", "txtExitPass"),
             Press(Key::Tab, "txtEntryPass"),
             Press(Key::Tab, "txtLocation"),
         }},
    };
    return sessions;
}

} // namespace korvane::sessions
