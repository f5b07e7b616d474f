#include "model/steps.h"

#include "model/conversions.h"

namespace korvane::steps {

std::optional<std::int16_t> MaxSpeedFps(std::int16_t crossingSpeed) {
    return StoreInt16(static_cast<double>(crossingSpeed) * 1.47);
}

std::optional<std::int16_t> GateStep(std::int16_t vehicleLength, float gateDistance) {
    const float length = static_cast<float>(vehicleLength);
    return StoreInt16(static_cast<double>(length) + static_cast<double>(gateDistance));
}

std::optional<Derived> Derive(const CalculatorState& state) {
    const auto maxSpeed = MaxSpeedFps(state.CrossingSpeed);
    const auto last = GateStep(state.VehicleLength, state.ExitGateDistance);
    const auto entrance = GateStep(state.VehicleLength, state.EntryGateDistance);
    if (!maxSpeed || !last || !entrance || *last > StepTable::kLastIndex) {
        return std::nullopt;
    }
    return Derived{*maxSpeed, *last, *entrance};
}

} // namespace korvane::steps
