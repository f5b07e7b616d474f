#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/conversions.h"

namespace korvane {
namespace {

std::string WithoutBlanks(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

std::string RandomBytes(std::mt19937& rng, std::size_t length) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text(length, '\0');
    for (char& c : text) {
        c = static_cast<char>(byte(rng));
    }
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits from pos on; returns how many.
std::size_t SkipDigits(const std::string& s, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < s.size() && IsDigit(s[pos])) {
        ++pos;
    }
    return pos - start;
}

// The shape of a pattern's result: an optional "-", digits, then (with a point in the pattern)
// one "." and digits.
bool IsPatternShape(const std::string& s, bool withPoint) {
    std::size_t pos = (!s.empty() && s[0] == '-') ? 1 : 0;
    SkipDigits(s, pos);
    if (withPoint) {
        if (pos >= s.size() || s[pos] != '.') {
            return false;
        }
        ++pos;
        SkipDigits(s, pos);
    }
    return pos == s.size();
}

// The shape of a finite NumberText: a sign column, then digits with an optional fraction,
// or a bare fraction, or a one-digit mantissa with "E", a sign and two or three digits.
bool IsNumberShape(const std::string& s) {
    if (s.size() < 2 || (s[0] != ' ' && s[0] != '-')) {
        return false;
    }
    std::size_t pos = 1;
    const std::size_t intDigits = SkipDigits(s, pos);
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        if (SkipDigits(s, pos) == 0) {
            return false;
        }
    }
    if (pos < s.size() && s[pos] == 'E') {
        if (intDigits != 1 || pos + 1 >= s.size() || (s[pos + 1] != '+' && s[pos + 1] != '-')) {
            return false;
        }
        pos += 2;
        const std::size_t expDigits = SkipDigits(s, pos);
        if (expDigits < 2 || expDigits > 3) {
            return false;
        }
    }
    return pos == s.size();
}

TEST(ReadNumberRobustness, EverySingleByte) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        const std::string text(1, static_cast<char>(b));
        const double expected = (b >= '0' && b <= '9') ? b - '0' : 0.0;
        EXPECT_EQ(ReadNumber(text), expected);
    }
}

TEST(ReadNumberRobustness, RandomBytesIgnoringBlanks) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> length(0, 40);
    // Texts mostly made of the characters a number is made of, so that many of them read as one.
    const std::string alphabet = "0123456789+-.eE \t\nx&H";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int n = 0; n < 4000; ++n) {
        std::string text = n % 2 == 0 ? RandomBytes(rng, length(rng)) : std::string();
        if (n % 2 == 1) {
            for (std::size_t i = length(rng); i > 0; --i) {
                text.push_back(alphabet[pick(rng)]);
            }
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        const double value = ReadNumber(text);
        EXPECT_FALSE(std::isnan(value));
        EXPECT_EQ(ReadNumber(WithoutBlanks(text)), value);
    }
}

TEST(ReadNumberRobustness, HundredThousandCharacters) {
    constexpr std::size_t kLong = 100000;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ReadNumber(std::string(kLong, '9')), kInf);
    EXPECT_EQ(ReadNumber("-" + std::string(kLong, '9')), -kInf);
    EXPECT_EQ(ReadNumber(std::string(kLong, '0') + "7"), 7.0);
    EXPECT_EQ(ReadNumber("." + std::string(kLong, '0') + "5"), 0.0);
    // 100 000 ones scaled back to ten integer digits.
    EXPECT_EQ(ReadNumber(std::string(kLong, '1') + "e-99990"),
              ReadNumber("1111111111.11111111111"));
    EXPECT_EQ(ReadNumber("1e" + std::string(kLong, '9')), kInf);
    EXPECT_EQ(ReadNumber("1e-" + std::string(kLong, '9')), 0.0);
    EXPECT_EQ(ReadNumber("1e" + std::string(kLong, '0') + "1"), 10.0);
    EXPECT_EQ(ReadNumber(std::string(kLong, 'e')), 0.0);
    EXPECT_EQ(ReadNumber(std::string(kLong, ' ') + "42"), 42.0);
    std::mt19937 rng(7);
    EXPECT_FALSE(std::isnan(ReadNumber(RandomBytes(rng, kLong))));
}

std::vector<double> SpecialDoubles() {
    std::vector<double> values = {
        0.0,
        -0.0,
        std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min(),
        DBL_MIN,
        DBL_MAX,
        -DBL_MAX,
        static_cast<double>(FLT_MAX),
        static_cast<double>(FLT_MIN),
        static_cast<double>(std::numeric_limits<float>::denorm_min()),
        0.005,
        -0.005,
        0.05,
        0.95,
        9.95,
        99.95,
        999999.95,
        1e-4,
        9.99999999999999e-5,
        1e15,
        1e7,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
    };
    std::mt19937_64 rng(424242);
    for (int n = 0; n < 3000; ++n) {
        // memcpy rather than std::bit_cast, which emscripten's C++ library lacks.
        const std::uint64_t bits = rng();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
    }
    return values;
}

TEST(NumberTextRobustness, TextsHaveTheirShape) {
    for (double value : SpecialDoubles()) {
        for (Precision precision : {Precision::Double, Precision::Single}) {
            const double stored =
                precision == Precision::Single ? static_cast<double>(StoreSingle(value)) : value;
            const std::string text = NumberText(stored, precision);
            SCOPED_TRACE(text);
            ASSERT_FALSE(text.empty());
            const std::string twoPlaces = PatternText(text, "##.##");
            const std::string onePlace = PatternText(text, "###.#");
            const std::string noPlace = PatternText(text, "###");
            if (!std::isfinite(stored)) {
                EXPECT_EQ(twoPlaces, text);
                continue;
            }
            EXPECT_TRUE(IsNumberShape(text));
            EXPECT_TRUE(IsPatternShape(twoPlaces, true)) << twoPlaces;
            EXPECT_TRUE(IsPatternShape(onePlace, true)) << onePlace;
            EXPECT_TRUE(IsPatternShape(noPlace, false)) << noPlace;
            // Written with 15 significant digits, a normal double reads back within half a unit
            // of the 15th digit.
            if (precision == Precision::Double && std::isnormal(stored)) {
                // Near DBL_MAX the rounded text lies beyond the double range and reads as
                // infinity.
                const double back = ReadNumber(text);
                if (std::isinf(back)) {
                    EXPECT_GT(std::fabs(stored), 1.797693134862315e308);
                } else {
                    EXPECT_LE(std::fabs(back - stored), std::fabs(stored) * 5e-15);
                }
            }
        }
    }
}

TEST(PatternTextRobustness, LongAndOddTexts) {
    constexpr std::size_t kLong = 100000;
    EXPECT_EQ(PatternText(std::string(kLong, '9'), "##.##"), std::string(kLong, '9'));
    EXPECT_EQ(PatternText("." + std::string(kLong, '9'), "##.##"), "1.");
    EXPECT_EQ(PatternText(" 1E-" + std::string(kLong, '9'), "##.##"), ".");
    EXPECT_EQ(PatternText(" 1E+" + std::string(kLong, '9'), "##.##"),
              " 1E+" + std::string(kLong, '9'));
    EXPECT_EQ(PatternText(" 1.5", "#." + std::string(kLong, '#')), "1.5");
    EXPECT_EQ(PatternText(" 2", std::string(kLong, '.')), "2.");
    std::mt19937 rng(99);
    const std::string alphabet = "0123456789-.eE #";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (std::size_t n = 0; n < 4000; ++n) {
        std::string text = RandomBytes(rng, n % 50);
        std::string pattern = RandomBytes(rng, n % 7);
        if (n % 2 == 1) {
            for (char& c : text) {
                c = alphabet[pick(rng)];
            }
            for (char& c : pattern) {
                c = alphabet[pick(rng)];
            }
        }
        SCOPED_TRACE(::testing::PrintToString(text) + " under " +
                     ::testing::PrintToString(pattern));
        const std::string result = PatternText(text, pattern);
        // Either a number laid out under the pattern, or the text back when it holds none.
        const bool hasPoint = pattern.find('.') != std::string::npos;
        EXPECT_TRUE(result == text || IsPatternShape(result, hasPoint)) << result;
    }
}

} // namespace
} // namespace korvane
