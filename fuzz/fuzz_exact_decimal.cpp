// The exact decimal conversions against the standard library's. Input layout: one byte of
// precision (taken modulo 18), 8 bytes of a double (the machine's byte order; missing bytes are
// zero), then a text. The double is written at that precision and at 6 and 14 by both, and the
// text and both written texts are read by both; results, errors and characters read must agree.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>

#include "fuzz_support.h"
#include "model/exact_decimal.h"

namespace {

void CheckParse(std::string_view text) {
    double ours = 42.0;
    double standard = 42.0;
    const char* end = text.data() + text.size();
    const auto a = korvane::exact_decimal::ParseDouble(text.data(), end, ours);
    const auto b = std::from_chars(text.data(), end, standard, std::chars_format::general);
    // "inf" and "nan" are the standard library's alone.
    if (b.ec == std::errc() && !std::isfinite(standard)) {
        return;
    }
    KORVANE_FUZZ_CHECK(a.ec == b.ec && a.ptr == b.ptr);
    KORVANE_FUZZ_CHECK(std::memcmp(&ours, &standard, sizeof ours) == 0);
}

void CheckFormat(double value, int precision) {
    char ours[64];
    char standard[64];
    const auto a =
        korvane::exact_decimal::FormatScientific(ours, ours + sizeof ours, value, precision);
    const auto b = std::to_chars(standard, standard + sizeof standard, value,
                                 std::chars_format::scientific, precision);
    KORVANE_FUZZ_CHECK(a.ec == std::errc() && b.ec == std::errc());
    const std::string_view written(ours, static_cast<std::size_t>(a.ptr - ours));
    KORVANE_FUZZ_CHECK(written ==
                       std::string_view(standard, static_cast<std::size_t>(b.ptr - standard)));
    CheckParse(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[9] = {};
    std::memcpy(head, data, size < sizeof head ? size : sizeof head);
    double value = 0.0;
    std::memcpy(&value, head + 1, sizeof value);
    for (const int precision : {head[0] % 18, 6, 14}) {
        CheckFormat(value, precision);
    }
    if (size > sizeof head) {
        CheckParse(std::string_view(reinterpret_cast<const char*>(data + sizeof head),
                                    size - sizeof head));
    }
    return 0;
}
