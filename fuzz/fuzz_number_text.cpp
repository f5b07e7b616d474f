// NumberText and PatternText. Input layout: 8 bytes of a double, 4 bytes of a float (both in
// the machine's byte order; missing bytes are zero), then a number text, a NUL and a pattern.
// The double and the float go through NumberText (double and single precision) and then
// PatternText with "##.##" and "###.#"; NaN, infinities, subnormals and zeros of both signs
// all come from the bytes. The text and the pattern go through PatternText as they are.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "model/conversions.h"

namespace {

using korvane::fuzz::IsPatternForm;

constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();

// Checks a NumberText result: its sign column, its length, and that it reads back as the value
// to within the rounding to `digits` significant digits.
void CheckNumberText(double value, korvane::Precision precision) {
    const std::string text = korvane::NumberText(value, precision);
    KORVANE_FUZZ_CHECK(!text.empty() && (text[0] == ' ' || text[0] == '-'));
    KORVANE_FUZZ_CHECK(text.size() <= 24);
    if (std::isnan(value)) {
        KORVANE_FUZZ_CHECK(text == " NaN");
    } else if (std::isinf(value)) {
        KORVANE_FUZZ_CHECK(text == (value > 0 ? " Infinity" : "-Infinity"));
    } else {
        KORVANE_FUZZ_CHECK((text[0] == '-') == (value < 0));
        // No zero before the point for magnitudes below 1.
        KORVANE_FUZZ_CHECK(text.compare(1, 2, "0.") != 0);
        const double back = korvane::ReadNumber(text);
        // 15 (7) significant digits are within 5E-15 (5E-7) of the value relative to it; the
        // reading back adds at most half a unit in the last place.
        const double relative = precision == korvane::Precision::Double ? 5.0e-15 : 5.0e-7;
        const double bound = (relative + 2.3e-16) * std::fabs(value) + kDenormMin;
        // Next to the largest double the rounded text lies beyond it and reads back as an
        // infinity.
        if (std::isinf(back)) {
            KORVANE_FUZZ_CHECK(std::fabs(value) >=
                               std::numeric_limits<double>::max() * (1 - 1e-14));
        } else {
            KORVANE_FUZZ_CHECK(std::fabs(back - value) <= bound);
        }
    }

    for (const std::string_view pattern : {std::string_view("##.##"), std::string_view("###.#")}) {
        const std::string shown = korvane::PatternText(text, pattern);
        const std::size_t decimals = pattern == "##.##" ? 2 : 1;
        if (!std::isfinite(value)) {
            KORVANE_FUZZ_CHECK(shown == text); // holds no number: unchanged
            continue;
        }
        KORVANE_FUZZ_CHECK(IsPatternForm(shown, true, decimals));
        KORVANE_FUZZ_CHECK(shown.size() <= 2 + 310 + decimals);
        // Rounded to the pattern's decimals: at most half of its last place away from the text.
        const double number = korvane::ReadNumber(text);
        const double rounded = korvane::ReadNumber(shown);
        const double half = decimals == 2 ? 0.005 : 0.05;
        const double bound = half * (1 + 1e-12) + 4.5e-16 * std::fmax(std::fabs(number), 1.0);
        if (std::isinf(number)) {
            KORVANE_FUZZ_CHECK(rounded == number);
        } else {
            KORVANE_FUZZ_CHECK(std::fabs(rounded - number) <= bound);
        }
    }
}

// PatternText over any text and pattern: either the text unchanged, or a result in the pattern
// form with no more decimals than the pattern has places after its point.
void CheckAnyPattern(const std::string& text, const std::string& pattern) {
    const std::string shown = korvane::PatternText(text, pattern);
    const std::size_t point = pattern.find('.');
    std::size_t decimals = 0;
    if (point != std::string::npos) {
        for (std::size_t i = point + 1; i < pattern.size(); ++i) {
            decimals += pattern[i] == '#' ? 1 : 0;
        }
    }
    if (shown == text) {
        return;
    }
    KORVANE_FUZZ_CHECK(IsPatternForm(shown, point != std::string::npos, decimals) ||
                       (point == std::string::npos && (shown.empty() || shown == "-")));
    KORVANE_FUZZ_CHECK(shown.size() <= 4 + 401 + decimals);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[12] = {};
    std::memcpy(head, data, size < sizeof head ? size : sizeof head);
    double asDouble = 0.0;
    float asFloat = 0.0F;
    std::memcpy(&asDouble, head, sizeof asDouble);
    std::memcpy(&asFloat, head + sizeof asDouble, sizeof asFloat);

    CheckNumberText(asDouble, korvane::Precision::Double);
    CheckNumberText(static_cast<double>(asFloat), korvane::Precision::Single);

    if (size > sizeof head) {
        const std::vector<std::string> texts =
            korvane::fuzz::SplitTexts(data + sizeof head, size - sizeof head, 2);
        CheckAnyPattern(texts[0], texts[1]);
        CheckAnyPattern(texts[0], "##.##");
        CheckAnyPattern(texts[0], "###.#");
    }
    return 0;
}
