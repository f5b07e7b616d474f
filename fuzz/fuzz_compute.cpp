// The readiness pass and the stepping computation through the in-memory window. Input layout:
// the six numeric input texts (speed, level acceleration, grade, length, entrance distance,
// exit distance), separated by NULs. CompuCheck runs on them; when it enables Compute,
// ComputePassageTimes runs twice.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fake_window.h"
#include "fuzz_support.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/conversions.h"
#include "model/passage_times.h"

namespace {

namespace ctl = korvane::ctl;
using korvane::fuzz::IsPatternForm;

constexpr std::string_view kInputs[] = {ctl::txtSpd,    ctl::txtAccel,    ctl::txtGrade,
                                        ctl::txtLength, ctl::txtEntryPos, ctl::txtExitPos};

// A passage time as the window shows it: the pattern form with one decimal, short.
bool IsTimeText(std::string_view text) {
    return text.size() <= 12 && IsPatternForm(text, true, 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> texts = korvane::fuzz::SplitTexts(data, size, 6);

    korvane::CalculatorState state;
    korvane::fake::FakeWindow window;
    for (std::size_t i = 0; i < 6; ++i) {
        window.texts[std::string(kInputs[i])] = texts[i];
    }
    window.texts[std::string(ctl::txtEntryPass)] = "12.3";
    window.texts[std::string(ctl::txtExitPass)] = "45.6";
    // Neither operation may write a box that has a Change handler.
    for (const std::string_view box : kInputs) {
        window.onChange[std::string(box)] = [] {
            KORVANE_FUZZ_CHECK(false && "input box written");
        };
    }

    korvane::CompuCheck(state, window);
    KORVANE_FUZZ_CHECK(window.Text(ctl::txtEntryPass) == " ");
    KORVANE_FUZZ_CHECK(window.Text(ctl::txtExitPass) == " ");
    KORVANE_FUZZ_CHECK(state.EntryClearTime == 0.0F && state.ExitClearTime == 0.0F);
    KORVANE_FUZZ_CHECK(window.enabled.count(std::string(ctl::Command1)) == 1);
    KORVANE_FUZZ_CHECK(window.messages.empty() && window.beeps == 0);

    // The effective acceleration: the pattern form with two decimals (a number of at most 39
    // integer digits, as the level acceleration is a single), or a blank when it is no number.
    const std::string effective = window.Text(ctl::txtEffAccel);
    KORVANE_FUZZ_CHECK(effective.size() <= 44);
    KORVANE_FUZZ_CHECK(IsPatternForm(effective, true, 2) || effective == " ");
    if (std::isfinite(state.AccelAt[0])) {
        const double shown = korvane::ReadNumber(effective);
        KORVANE_FUZZ_CHECK(std::fabs(shown - state.AccelAt[0]) <=
                           0.005 * (1 + 1e-12) + 1e-14 * std::fabs(state.AccelAt[0]));
    }

    const bool ready = window.IsEnabled(ctl::Command1);
    KORVANE_FUZZ_CHECK(ready == !state.InputsInvalid);
    if (!ready) {
        return 0;
    }
    KORVANE_FUZZ_CHECK(state.AccelAt[0] > 0.0 && state.CrossingSpeed != 0 &&
                       state.VehicleLength != 0 && state.EntryGateDistance != 0.0F &&
                       state.ExitGateDistance != 0.0F);

    korvane::ComputePassageTimes(state, window);
    const std::string entry = window.Text(ctl::txtEntryPass);
    const std::string exit = window.Text(ctl::txtExitPass);
    // Either both times are shown, or (inputs for which no result is defined) neither box is
    // touched.
    KORVANE_FUZZ_CHECK((IsTimeText(entry) && IsTimeText(exit)) || (entry == " " && exit == " "));
    KORVANE_FUZZ_CHECK(state.StepIndex >= 1 && state.StepIndex <= 501);

    // Pressing Compute again shows the same texts.
    korvane::ComputePassageTimes(state, window);
    KORVANE_FUZZ_CHECK(window.Text(ctl::txtEntryPass) == entry);
    KORVANE_FUZZ_CHECK(window.Text(ctl::txtExitPass) == exit);
    KORVANE_FUZZ_CHECK(window.messages.empty() && window.beeps == 0);
    return 0;
}
