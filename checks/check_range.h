#pragma once

#include <string>

#include "model/calculator_state.h"
#include "model/window_ops.h"

namespace korvane {

// Checks a box's value against the range written between the parentheses of its advisory
// text. Sets RangeOk; on a violation sets RangeMessage and shows it in the modal "Range Error"
// message, returning once it is dismissed. Both texts are the caller's copies; RangeString is
// narrowed to the inner range text.
void CheckRange(CalculatorState& state, WindowOps& window, std::string& ValString,
                std::string& RangeString);

} // namespace korvane
