#pragma once

#include <cstdint>
#include <string_view>

#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/layout.h"

namespace korvane {

// The keys the window takes itself, whichever control has the focus.
enum class WindowKey { Tab, BackTab, Enter, Escape };

// The event handlers of the window, free of any toolkit. A toolkit adapter forwards every
// native event of every box to them by control name; which boxes handle which event is a
// table in wiring.cpp, so a box without a handler for an event simply ignores it. The
// handlers compute nothing themselves: each calls one operation of the model or the checks.
//
// The wiring owns the window's CalculatorState and reaches the window only through WindowOps.
class Wiring {
public:
    explicit Wiring(WindowOps& window) : window_(window) {}

    // Runs once when the window has been created and before it is first shown: blanks eight
    // boxes, then runs the readiness pass.
    void Form_Load();

    // The text of a box has changed, by typing or by assignment.
    void Change(std::string_view control);
    // A character typed into a box, before the box takes it; a KeyAscii left at 0 discards it.
    void KeyPress(std::string_view control, std::int16_t& KeyAscii);
    // The focus has left a box for another control of the window.
    void LostFocus(std::string_view control);
    // Compute was clicked (or Enter pressed while it is enabled).
    void Command1_Click();

    // A key the window takes before the control with the focus sees it. Tab and Shift+Tab move
    // the focus along the tab ring; Enter presses Compute while it is enabled, and moves no
    // focus, so the focused box's range check does not run first; Escape does nothing. Returns
    // the control that is to take the focus, or an empty name when the focus stays.
    std::string_view Key(WindowKey key, std::string_view focused, const layout::IsEnabled& enabled);

    // Whether the box's typed characters go through KeyPress at all; an adapter may use it to
    // leave other boxes alone.
    static bool FiltersKeys(std::string_view control);

    const CalculatorState& State() const { return state_; }

private:
    WindowOps& window_;
    CalculatorState state_{};
};

} // namespace korvane
