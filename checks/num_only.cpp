#include "checks/num_only.h"

#include <cstdint>
#include <string_view>

namespace korvane {

namespace {

// The characters a numeric box takes from the keyboard; backspace (code 8) ends the list. The
// list has always named "0" at both ends of the digits; the second one changes nothing.
constexpr std::u16string_view kAccepted = u"01234567890-.\b";

} // namespace

void NumOnly(WindowOps& window, std::int16_t& KeyAscii) {
    // The code is a 16-bit character code; codes above 32767 arrive as negative numbers.
    const auto character = static_cast<char16_t>(static_cast<std::uint16_t>(KeyAscii));
    if (kAccepted.find(character) == std::u16string_view::npos) {
        KeyAscii = 0;
        window.Beep();
    }
}

} // namespace korvane
