#pragma once

#include "calculator_state.h"
#include "window_ops.h"

namespace korvane {

// The readiness pass: reads the six numeric inputs into the state, shows the effective
// acceleration, blanks both passage times and enables Compute exactly when the inputs are
// usable by the stepping computation.
void CompuCheck(CalculatorState& state, WindowOps& window);

} // namespace korvane
