#pragma once

#include "calculator_state.h"
#include "window_ops.h"

namespace korvane {

// Steps the vehicle forward foot by foot from the stop line, from the state the last readiness
// pass left, and writes the two passage times into txtEntryPass and txtExitPass.
void ComputePassageTimes(CalculatorState& state, WindowOps& window);

} // namespace korvane
