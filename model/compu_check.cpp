#include "model/compu_check.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "model/control_names.h"
#include "model/conversions.h"
#include "model/steps.h"

namespace korvane {

namespace {

float ReadSingle(const WindowOps& window, std::string_view control) {
    return StoreSingle(ReadNumber(window.Text(control)));
}

// Reads a box into a 16-bit field; a value that does not fit stores 0 and returns false.
bool ReadInt16(const WindowOps& window, std::string_view control, std::int16_t& field) {
    const std::optional<std::int16_t> stored = StoreInt16(ReadNumber(window.Text(control)));
    field = stored.value_or(0);
    return stored.has_value();
}

} // namespace

void CompuCheck(CalculatorState& state, WindowOps& window) {
    state.EntryClearTime = 0.0F;
    state.ExitClearTime = 0.0F;
    window.SetText(ctl::txtEntryPass, " ");
    window.SetText(ctl::txtExitPass, " ");
    state.InputsInvalid = false;

    state.GradePercent = ReadSingle(window, ctl::txtGrade);
    state.LevelAccel = ReadSingle(window, ctl::txtAccel);
    const double gradeLoss = static_cast<double>(state.GradePercent) * 0.322;
    state.AccelAt[0] = static_cast<double>(state.LevelAccel) - gradeLoss;
    const double effective = state.AccelAt[0];
    window.SetText(ctl::txtEffAccel,
                   std::isfinite(effective)
                       ? PatternText(NumberText(effective, Precision::Double), "##.##")
                       : std::string(" "));

    state.EntryGateDistance = ReadSingle(window, ctl::txtEntryPos);
    state.ExitGateDistance = ReadSingle(window, ctl::txtExitPos);
    const bool lengthFits = ReadInt16(window, ctl::txtLength, state.VehicleLength);
    const bool speedFits = ReadInt16(window, ctl::txtSpd, state.CrossingSpeed);

    if (effective <= 0.0) {
        state.InputsInvalid = true;
    }
    if (state.EntryGateDistance == 0.0F) {
        state.InputsInvalid = true;
    }
    if (state.VehicleLength == 0) {
        state.InputsInvalid = true;
    }
    if (state.ExitGateDistance == 0.0F) {
        state.InputsInvalid = true;
    }
    if (state.CrossingSpeed == 0) {
        state.InputsInvalid = true;
    }

    // Inputs the data model cannot hold, or that would step beyond the tables, are not ready
    // either.
    const bool singlesFinite = std::isfinite(state.GradePercent) &&
                               std::isfinite(state.LevelAccel) &&
                               std::isfinite(state.EntryGateDistance) &&
                               std::isfinite(state.ExitGateDistance) && std::isfinite(effective);
    if (!lengthFits || !speedFits || !singlesFinite) {
        state.InputsInvalid = true;
    }
    if (!state.InputsInvalid && !steps::Derive(state)) {
        state.InputsInvalid = true;
    }

    window.SetEnabled(ctl::Command1, !state.InputsInvalid);
}

} // namespace korvane
