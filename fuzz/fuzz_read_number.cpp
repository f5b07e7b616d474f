// ReadNumber over arbitrary bytes, checked against a reference reading: the text with its
// blanks, tabs and line feeds removed, cut to its longest leading number and read by
// std::from_chars. Also checks the two store conversions on every value read.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz_support.h"
#include "model/conversions.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading number of a text without blanks, in the form std::from_chars reads (no "+"),
// with its sign apart. Empty when the text starts with no digit.
struct Leading {
    bool negative = false;
    std::string number;
};

Leading LeadingNumber(std::string_view text) {
    Leading out;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        out.negative = text[pos] == '-';
        ++pos;
    }
    bool anyDigit = false;
    const std::size_t begin = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
        anyDigit = true;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return out;
    }
    std::size_t end = pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t p = pos + 1;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
            ++p;
        }
        const std::size_t expDigits = p;
        while (p < text.size() && IsDigit(text[p])) {
            ++p;
        }
        if (p > expDigits) {
            end = p;
        }
    }
    out.number = std::string(text.substr(begin, end - begin));
    return out;
}

bool SameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = korvane::ReadNumber(text);
    KORVANE_FUZZ_CHECK(!std::isnan(value));

    // Blanks anywhere do not count.
    std::string cleaned;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            cleaned.push_back(c);
        }
    }
    KORVANE_FUZZ_CHECK(SameDouble(korvane::ReadNumber(cleaned), value));
    KORVANE_FUZZ_CHECK(SameDouble(korvane::ReadNumber(" \t" + std::string(text) + "\n"), value));

    // The reference reading.
    const Leading leading = LeadingNumber(cleaned);
    if (leading.number.empty()) {
        KORVANE_FUZZ_CHECK(value == 0.0);
    } else {
        double magnitude = 0.0;
        const char* first = leading.number.data();
        const char* last = first + leading.number.size();
        const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
        KORVANE_FUZZ_CHECK(result.ptr == last || result.ec == std::errc::result_out_of_range);
        if (result.ec == std::errc()) {
            KORVANE_FUZZ_CHECK(SameDouble(value, leading.negative ? -magnitude : magnitude));
        } else {
            // Beyond the double range: an infinity or a zero of the text's sign.
            KORVANE_FUZZ_CHECK(std::isinf(value) || value == 0.0);
            KORVANE_FUZZ_CHECK(std::signbit(value) == leading.negative);
        }
    }

    // Storing into a single: the nearest float (the cast is defined inside the float range).
    const float single = korvane::StoreSingle(value);
    if (std::isinf(value) || std::fabs(value) <= static_cast<double>(FLT_MAX)) {
        KORVANE_FUZZ_CHECK(single == static_cast<float>(value) &&
                           std::signbit(single) == std::signbit(value));
    } else {
        KORVANE_FUZZ_CHECK(std::fabs(single) == FLT_MAX || std::isinf(single));
        KORVANE_FUZZ_CHECK(std::signbit(single) == std::signbit(value));
    }

    // Storing into a 16-bit integer: nearest, ties to even, empty outside its range.
    const std::optional<std::int16_t> int16 = korvane::StoreInt16(value);
    if (std::isfinite(value) && std::fabs(value) < 1e6) {
        const double nearest = std::nearbyint(value); // the default mode rounds ties to even
        if (nearest >= -32768.0 && nearest <= 32767.0) {
            KORVANE_FUZZ_CHECK(int16.has_value() && *int16 == static_cast<std::int16_t>(nearest));
        } else {
            KORVANE_FUZZ_CHECK(!int16.has_value());
        }
    } else {
        KORVANE_FUZZ_CHECK(!int16.has_value());
    }
    return 0;
}
