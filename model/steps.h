#pragma once

#include <cstdint>
#include <optional>

#include "model/calculator_state.h"

// The step numbers of the stepping computation, derived from the stored inputs. The readiness
// pass uses them to refuse inputs the tables cannot hold; the computation steps by them.
namespace korvane::steps {

// The crossing speed in ft/s: CrossingSpeed x 1.47 in double precision, stored as a 16-bit
// integer. Empty when it does not fit.
std::optional<std::int16_t> MaxSpeedFps(std::int16_t crossingSpeed);

// The step at which the rear of the vehicle has passed a gate: the length, taken as a single,
// plus the gate distance in double precision, stored as a 16-bit integer. Empty when it does
// not fit.
std::optional<std::int16_t> GateStep(std::int16_t vehicleLength, float gateDistance);

struct Derived {
    std::int16_t MaxSpeedFps = 0;
    std::int16_t LastStep = 0;     // the exit gate's step
    std::int16_t EntranceStep = 0; // the entrance gate's step
};

// All three for the state's inputs; empty when one of them does not fit its 16-bit field or
// the last step lies beyond the last table entry.
std::optional<Derived> Derive(const CalculatorState& state);

} // namespace korvane::steps
