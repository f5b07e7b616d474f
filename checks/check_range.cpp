#include "checks/check_range.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "model/conversions.h"

namespace korvane {

namespace {

constexpr std::string_view kRangeErrorTitle = "Range Error";
constexpr std::string_view kMessageLead = "Entered Value of";
constexpr std::string_view kMessageMiddle = " is outside of the range ";

// True when the text holds nothing but blanks (the space character; tabs count as text).
bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

// The range is read out of the advisory text anew on every call. Positions in the text are
// std::size_t, so a text of any length is read like the window's short ones.
void CheckRange(CalculatorState& state, WindowOps& window, std::string& ValString,
                std::string& RangeString) {
    state.RangeOk = true;

    // A blank field is not checked.
    if (IsBlank(ValString)) {
        return;
    }
    const float value = StoreSingle(ReadNumber(ValString));

    // The range stands between the first "(" and the last ")" of the advisory text.
    const std::size_t open = RangeString.find('(');
    const std::size_t close = RangeString.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close <= open + 1) {
        return; // no range to read: no check
    }
    const std::string_view inner = std::string_view(RangeString).substr(open + 1, close - open - 1);

    // Low bound before the first "to", high bound after it.
    const std::size_t at = inner.find("to");
    if (at == std::string_view::npos) {
        return; // no "to" between the parentheses: no check
    }
    const float low = StoreSingle(ReadNumber(inner.substr(0, at)));
    const float high = StoreSingle(ReadNumber(inner.substr(at + 2)));

    // The advisory text is only narrowed when its range could be read.
    RangeString = std::string(inner);

    if (value < low || value > high) {
        state.RangeOk = false;
        // The sign column of the number supplies the blank after "of".
        std::string message(kMessageLead);
        message += NumberText(static_cast<double>(value), Precision::Single);
        message += kMessageMiddle;
        message += RangeString;
        state.RangeMessage = std::move(message);
        window.ShowMessage(state.RangeMessage, kRangeErrorTitle);
    }
}

} // namespace korvane
