#include "model/passage_times.h"

#include <cmath>
#include <optional>

#include "model/control_names.h"
#include "model/conversions.h"
#include "model/steps.h"

namespace korvane {

namespace {

void ShowTime(WindowOps& window, std::string_view control, float seconds) {
    window.SetText(
        control, PatternText(NumberText(static_cast<double>(seconds), Precision::Single), "###.#"));
}

} // namespace

void ComputePassageTimes(CalculatorState& state, WindowOps& window) {
    // Inputs beyond the tables or the 16-bit fields give no result; the readiness pass keeps
    // Compute disabled for them, so this only guards direct calls.
    const std::optional<steps::Derived> derived = steps::Derive(state);
    if (!derived) {
        return;
    }

    state.TimeAt[0] = 0;
    state.SpeedAt[0] = 1;
    state.MaxSpeedFps = derived->MaxSpeedFps;
    const double maxSpeed = state.MaxSpeedFps;
    const int lastStep = derived->LastStep;

    for (state.StepIndex = 1; state.StepIndex <= lastStep; ++state.StepIndex) {
        const int i = state.StepIndex;
        state.TimeAt[i] = state.TimeAt[i - 1] + 1.0 / state.SpeedAt[i - 1];
        state.AccelAt[i] = state.AccelAt[0] * (1.0 - state.SpeedAt[i - 1] / maxSpeed);
        state.SpeedAt[i] =
            state.SpeedAt[i - 1] + state.AccelAt[i] * (state.TimeAt[i] - state.TimeAt[i - 1]);
        // A vehicle that stops, or a speed that is no longer a number, gives no passage time:
        // the next step would divide by it.
        if (state.SpeedAt[i] == 0.0 || !std::isfinite(state.SpeedAt[i])) {
            return;
        }
        // Both gate steps were worked out once, before the loop; the exit gate's is the last.
        if (i == derived->EntranceStep) {
            state.EntryClearTime = StoreSingle(state.TimeAt[i]);
        }
        if (i == derived->LastStep) {
            state.ExitClearTime = StoreSingle(state.TimeAt[i]);
        }
    }

    ShowTime(window, ctl::txtEntryPass, state.EntryClearTime);
    ShowTime(window, ctl::txtExitPass, state.ExitClearTime);
}

} // namespace korvane
