#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/layout.h"

namespace korvane {

// The keys the window takes itself, whichever control has the focus.
enum class WindowKey { Tab, BackTab, Enter, Escape };

// Where a key sends the focus: the control to move it to (empty: it stays), and whether that
// box's whole text is to be selected on arrival, as a box reached by Tab has it.
struct FocusMove {
    std::string_view to;
    bool selectText = false;
};

// The event handlers of the window, free of any toolkit. A toolkit adapter forwards every
// native event of every box to them by control name; which boxes handle which event is a
// table in wiring.cpp, so a box without a handler for an event simply ignores it. The
// handlers compute nothing themselves: each calls one operation of the model or the checks.
//
// The wiring owns the window's CalculatorState and reaches the window only through WindowOps.
class Wiring {
public:
    explicit Wiring(WindowOps& window);

    // Runs once when the window has been created and before it is first shown: blanks eight
    // boxes, then runs the readiness pass.
    void Form_Load();

    // The text of a box has changed, by typing or by assignment.
    void Change(std::string_view control);
    // A character typed into a box, before the box takes it; a KeyAscii left at 0 discards it.
    void KeyPress(std::string_view control, std::int16_t& KeyAscii);

    // Characters typed into a box, by any path: a key, a control character (Ctrl+V types one),
    // the text an input method composes, all committed at once. They come as the UTF-16 code
    // units the box would receive, a character beyond 16 bits as its two surrogates, and each
    // goes through the box's KeyPress in turn. Returns those that enter the box, in order; a
    // refused one is dropped, with its beep. A box without a filter takes them all.
    std::u16string Typed(std::string_view control, std::u16string_view units);
    // The focus has left a box for another control of the window: its range check.
    void LostFocus(std::string_view control);
    // Compute was clicked (or Enter pressed while it is enabled).
    void Command1_Click();

    // The focus has moved. `to` is the control of this window that has it now, or empty when it
    // went anywhere else: to a message box, another program or the desktop, or nowhere as the
    // window closes. Only a move from one control of this window to another leaves a box, and
    // then the box left runs its LostFocus; a move away from the window and back to the same
    // control leaves nothing. An adapter reports every move it sees or makes, as often as it
    // likes: a move to the control that already has the focus does nothing.
    void FocusMoved(std::string_view to);

    // The control of this window that has the focus, as last reported; while a message box or
    // another program has it, the control it came from. Before any report, the control where
    // the window first shows the focus (layout::FirstFocus, txtLocation).
    std::string_view Focused() const { return focused_; }

    // Where the focus goes when the window takes it back (a message box closed, the window
    // active again): the control that had it, or, when that one cannot take it now (Compute
    // disabled meanwhile), the next one of the Tab ring that can.
    std::string_view FocusOnReturn(const layout::IsEnabled& enabled) const;

    // A key the window takes before the control with the focus sees it, acting from the control
    // the wiring knows has the focus, whether or not the window system has made the window
    // active yet. Tab and Shift+Tab move the focus along the tab ring (the passage-time boxes
    // included, which are read-only), and select the whole text of the box they reach, ready to
    // be copied or typed over; with no control focused they go to the first or the last stop. Enter
    // presses Compute while it is enabled, and moves no focus, so the focused box's range check
    // does not run first; Escape does nothing. No other key moves the focus: the arrow keys move
    // the caret in a box and do nothing on Compute.
    FocusMove Key(WindowKey key, const layout::IsEnabled& enabled);

    // Whether the box's typed characters go through KeyPress at all; an adapter may use it to
    // leave other boxes alone.
    static bool FiltersKeys(std::string_view control);

    // The box whose range check is running, and so whose "Range Error" message is being shown;
    // empty at any other time.
    std::string_view CheckedBox() const { return checking_; }
    // What the message being shown is about, for a screen reader to say with it (its
    // description; the message's own text stays as it is): the spoken name of the box being
    // checked, "Max Veh Crossing Speed (mph)". Empty when no range check is running.
    std::string MessageDescription() const;

    const CalculatorState& State() const { return state_; }

private:
    WindowOps& window_;
    CalculatorState state_{};
    std::string_view focused_;
    std::string_view checking_;
};

} // namespace korvane
