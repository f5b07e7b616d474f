// CheckRange through the in-memory window. Input layout: one byte choosing the advisory text
// (0 to 5: one of the window's six, read with the box's own range; otherwise the second text of
// the input), then the value text, a NUL and the advisory text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checks/check_range.h"
#include "fake_window.h"
#include "fuzz_support.h"
#include "model/calculator_state.h"
#include "model/conversions.h"
#include "window/layout.h"

namespace {

constexpr std::string_view kEarlier = "(an earlier message)";

// The window's ranges, as its advisory texts state them, in the order of kNumericBoxes.
struct Range {
    float low;
    float high;
};
constexpr Range kRanges[] = {{5.0F, 35.0F},   {0.25F, 10.0F}, {-5.0F, 5.0F},
                             {10.0F, 120.0F}, {2.0F, 40.0F},  {20.0F, 500.0F}};

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t choice = data[0];
    std::vector<std::string> texts = korvane::fuzz::SplitTexts(data + 1, size - 1, 2);
    const bool windowText = choice < 6;
    if (windowText) {
        texts[1] = std::string(korvane::layout::AdvisoryOf(korvane::fuzz::kNumericBoxes[choice]));
    }
    const std::string typed = texts[0];
    const std::string advisory = texts[1];

    korvane::CalculatorState state;
    state.RangeOk = false;
    state.RangeMessage = std::string(kEarlier);
    korvane::fake::FakeWindow window;
    std::string valString = typed;
    std::string rangeString = advisory;
    korvane::CheckRange(state, window, valString, rangeString);

    // The flag is false exactly when one message was shown, and that message is the state's.
    KORVANE_FUZZ_CHECK(state.RangeOk == window.messages.empty());
    KORVANE_FUZZ_CHECK(window.messages.size() <= 1);
    KORVANE_FUZZ_CHECK(window.beeps == 0 && window.enabled.empty() && window.texts.empty());
    KORVANE_FUZZ_CHECK(valString == typed);
    // The advisory copy is either left alone or narrowed to a part of itself.
    KORVANE_FUZZ_CHECK(advisory.find(rangeString) != std::string::npos);
    if (state.RangeOk) {
        KORVANE_FUZZ_CHECK(state.RangeMessage == kEarlier);
    } else {
        const auto& message = window.messages.front();
        KORVANE_FUZZ_CHECK(message.title == "Range Error");
        KORVANE_FUZZ_CHECK(message.text == state.RangeMessage);
        const std::string lead = "Entered Value of";
        const std::string middle = " is outside of the range ";
        KORVANE_FUZZ_CHECK(message.text.compare(0, lead.size(), lead) == 0);
        const std::string tail = middle + rangeString;
        KORVANE_FUZZ_CHECK(
            message.text.size() >= lead.size() + tail.size() &&
            message.text.compare(message.text.size() - tail.size(), tail.size(), tail) == 0);
        // Between them stands the value as a single-precision number text.
        const std::size_t valueLength = message.text.size() - lead.size() - tail.size();
        KORVANE_FUZZ_CHECK(valueLength >= 2 && valueLength <= 24);
        KORVANE_FUZZ_CHECK(message.text[lead.size()] == ' ' || message.text[lead.size()] == '-');
    }

    // With one of the window's own advisory texts the outcome is known: a blank field passes,
    // anything else is compared as its single-precision reading.
    if (windowText) {
        const Range range = kRanges[choice];
        const float value = korvane::StoreSingle(korvane::ReadNumber(typed));
        const bool fails = !IsBlank(typed) && (value < range.low || value > range.high);
        KORVANE_FUZZ_CHECK(state.RangeOk == !fails);
    }
    return 0;
}
