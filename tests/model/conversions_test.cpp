#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "model/conversions.h"

namespace korvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ReadNumber ----------------------------------------------------------------------------------

struct ReadCase {
    const char* text;
    double value;
};

const ReadCase kReadCases[] = {
    // The documented table.
    {"22", 22.0},
    {" 0", 0.0},
    {"", 0.0},
    {" ", 0.0},
    {"-", 0.0},
    {".", 0.0},
    {".5", 0.5},
    {"-.5", -0.5},
    {"1.2.3", 1.2},
    {"12-3", 12.0},
    {"1 0", 10.0},
    {"--5", 0.0},
    // Blanks, tabs and line feeds vanish wherever they stand; other control characters stop.
    {" 1 2", 12.0},
    {"1\t2\n3", 123.0},
    {"1\r2", 1.0},
    {"- 5", -5.0},
    {"1E 2", 100.0},
    {"1 e - 2", 0.01},
    // Signs.
    {"+5", 5.0},
    {"+-5", 0.0},
    {"+", 0.0},
    // Exponents: E in either case, a sign, at least one digit.
    {"1e1", 10.0},
    {"2.5E+3", 2500.0},
    {"25e-1", 2.5},
    {"1e", 1.0},
    {"1e+", 1.0},
    {"1E-", 1.0},
    {"1ex", 1.0},
    {"e5", 0.0},
    {".e5", 0.0},
    {"5.e1", 50.0},
    // Letters other than E end the number; no radix prefixes.
    {"5%", 5.0},
    {"&H1F", 0.0},
    {"&O17", 0.0},
    {"0x1F", 0.0},
    {"12abc", 12.0},
    {"1,5", 1.0},
    // Beyond the double range.
    {"1e999", kInf},
    {"-1e999", -kInf},
    {"1e-999", 0.0},
    {"-1e-999", 0.0},
    {"1e99999999999999999999999999", kInf},
    {"1e-99999999999999999999999999", 0.0},
    {"0e99999999999999999999", 0.0},
    // Correct rounding at the edges of the double range.
    {"1.7976931348623157e308", DBL_MAX},
    {"1.7976931348623159e308", kInf},
    {"2.2250738585072014e-308", DBL_MIN},
    {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
    {"2e-324", 0.0},
    {"3e-324", std::numeric_limits<double>::denorm_min()},
    {"0.1", 0.1},
    {"0.000000000000000000000000000001e30", 1.0},
    {"123456789012345678901234567890", 1.2345678901234568e29},
    {"00000000000000000000000000000000000000000000000000000000000000000000012", 12.0},
};

TEST(ReadNumberTest, ReadsTheTable) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(ReadNumber(c.text), c.value);
    }
}

TEST(ReadNumberTest, KeepsTheSignOfZero) {
    EXPECT_TRUE(std::signbit(ReadNumber("-0")));
    EXPECT_TRUE(std::signbit(ReadNumber("-1e-999")));
    EXPECT_FALSE(std::signbit(ReadNumber("0")));
}

TEST(ReadNumberTest, RoundsLongDigitStringsCorrectly) {
    // 1 + 2^-53 is the exact midpoint between 1 and the next double; the digits after the 800th
    // decide that it rounds up.
    std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(ReadNumber(halfway), 1.0); // an exact tie rounds to even
    std::string above = halfway + std::string(2000, '0') + "1";
    EXPECT_EQ(ReadNumber(above), std::nextafter(1.0, 2.0));
}

// NumberText ----------------------------------------------------------------------------------

struct NumberCase {
    double value;
    Precision precision;
    const char* text;
};

const NumberCase kNumberCases[] = {
    {16.47757911682129, Precision::Single, " 16.47758"},
    {1.0 / 3.0, Precision::Double, " .333333333333333"},
    {static_cast<double>(29.949995F), Precision::Single, " 29.95"},
    {0.5, Precision::Double, " .5"},
    {-0.25, Precision::Double, "-.25"},
    {0.0, Precision::Double, " 0"},
    {-0.0, Precision::Double, " 0"},
    {0.0, Precision::Single, " 0"},
    {10.0, Precision::Double, " 10"},
    {100.0, Precision::Single, " 100"},
    {0.178, Precision::Double, " .178"},
    {-0.144, Precision::Double, "-.144"},
    {0.1 + 0.2, Precision::Double, " .3"},
    {1234567.0, Precision::Single, " 1234567"},
    {9999999.0, Precision::Single, " 9999999"},
    {static_cast<double>(123456789.0F), Precision::Single, " 1.234568E+08"},
    {10000000.0, Precision::Single, " 1E+07"},
    {99999996.0, Precision::Single, " 1E+08"},
    {999999999999999.0, Precision::Double, " 999999999999999"},
    {1e15, Precision::Double, " 1E+15"},
    {9999999999999999.0, Precision::Double, " 1E+16"},
    {0.0001, Precision::Double, " .0001"},
    {0.00015, Precision::Double, " .00015"},
    {0.00009999, Precision::Double, " 9.999E-05"},
    {0.000099999999999999999, Precision::Double, " .0001"},
    {1e-5, Precision::Double, " 1E-05"},
    {-2.5e20, Precision::Double, "-2.5E+20"},
    // 15 significant digits of 1.7976931348623157E+308.
    {DBL_MAX, Precision::Double, " 1.79769313486232E+308"},
    {-std::numeric_limits<double>::denorm_min(), Precision::Double, "-4.94065645841247E-324"},
    {static_cast<double>(FLT_MAX), Precision::Single, " 3.402823E+38"},
    {kInf, Precision::Double, " Infinity"},
    {-kInf, Precision::Single, "-Infinity"},
    {kNaN, Precision::Double, " NaN"},
};

TEST(NumberTextTest, WritesTheTable) {
    for (const NumberCase& c : kNumberCases) {
        SCOPED_TRACE(std::string("expected \"") + c.text + "\"");
        EXPECT_EQ(NumberText(c.value, c.precision), c.text);
    }
}

// PatternText ---------------------------------------------------------------------------------

struct PatternCase {
    const char* text;
    const char* pattern;
    const char* result;
};

const PatternCase kPatternCases[] = {
    // The documented table.
    {" 0", "##.##", "."},
    {" .5", "##.##", ".5"},
    {" 10", "##.##", "10."},
    {"-.144", "##.##", "-.14"},
    {" .125", "##.##", ".13"},
    {" 123.456", "##.##", "123.46"},
    {" 16.47758", "###.#", "16.5"},
    {" 8.972937", "###.#", "9."},
    {" 12.25", "###.#", "12.3"},
    {" 1234.56", "###.#", "1234.6"},
    {" 0", "###.#", "."},
    // Rounding on the decimal digits, with carries.
    {" 29.95", "###.#", "30."},
    {" 30.45", "###.#", "30.5"},
    {"9.999", "###.#", "10."},
    {" 99.996", "##.##", "100."},
    {" .995", "##.##", "1."},
    {" .994999", "##.##", ".99"},
    {" 2.11", "##.##", "2.11"},
    // A negative number rounding to zero keeps its sign; negative zero is not negative.
    {"-.001", "##.##", "-."},
    {"-.005", "##.##", "-.01"},
    {"-0", "##.##", "."},
    {"-0.000", "###.#", "."},
    // The exponent form moves the point.
    {" 1E-05", "##.##", "."},
    {" 5E-03", "##.##", ".01"},
    {" 1.234568E+08", "###.#", "123456800."},
    {"-2.5E+20", "##.##", "-250000000000000000000."},
    {" 1.5e1", "###.#", "15."},
    {" 1E-999999999999999999999", "##.##", "."},
    {" 9.96E-01", "##.##", "1."},
    // A pattern without a point gives no point and no decimals.
    {" 12.5", "###", "13"},
    {" .4", "###", ""},
    {"-.9", "###", "-1"},
    // Texts without a number come back unchanged.
    {" Infinity", "###.#", " Infinity"},
    {"-Infinity", "###.#", "-Infinity"},
    {" NaN", "##.##", " NaN"},
    {"", "##.##", ""},
    {"abc", "##.##", "abc"},
    {" -", "##.##", " -"},
    // An integer part of more than 400 digits is left alone.
    {" 1E+401", "##.##", " 1E+401"},
};

TEST(PatternTextTest, FormatsTheTable) {
    for (const PatternCase& c : kPatternCases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\" under \"" + c.pattern + "\"");
        EXPECT_EQ(PatternText(c.text, c.pattern), c.result);
    }
}

TEST(PatternTextTest, KeepsFourHundredIntegerDigits) {
    const std::string result = PatternText(" 1E+399", "##.##");
    EXPECT_EQ(result, "1" + std::string(399, '0') + ".");
}

struct ChainCase {
    double value;
    Precision precision;
    const char* pattern;
    const char* result;
};

const ChainCase kChainCases[] = {
    {0.178, Precision::Double, "##.##", ".18"},
    {-0.144, Precision::Double, "##.##", "-.14"},
    {10.0, Precision::Double, "##.##", "10."},
    {2.11, Precision::Double, "##.##", "2.11"},
    {static_cast<double>(29.949995F), Precision::Single, "###.#", "30."},
    {static_cast<double>(16.47757911682129F), Precision::Single, "###.#", "16.5"},
    {1e-5, Precision::Double, "##.##", "."},
    {-1e-5, Precision::Double, "##.##", "-."},
};

TEST(PatternTextTest, FormatsNumberTexts) {
    for (const ChainCase& c : kChainCases) {
        SCOPED_TRACE(std::string("expected \"") + c.result + "\"");
        EXPECT_EQ(PatternText(NumberText(c.value, c.precision), c.pattern), c.result);
    }
}

// Store conversions ---------------------------------------------------------------------------

struct Int16Case {
    double value;
    std::optional<std::int16_t> stored;
};

const Int16Case kInt16Cases[] = {
    {0.5, 0},
    {1.5, 2},
    {2.5, 2},
    {3.5, 4},
    {-0.5, 0},
    {-1.5, -2},
    {-2.5, -2},
    {64.5, 64},
    {65.5, 66},
    {0.4, 0},
    {0.6, 1},
    {-0.6, -1},
    {0.49999999999999994, 0},
    {32.34, 32},
    {2.94, 3},
    {32767.4, 32767},
    {32767.5, std::nullopt},
    {32768.0, std::nullopt},
    {-32768.5, -32768},
    {-32768.6, std::nullopt},
    {-32769.0, std::nullopt},
    {1e300, std::nullopt},
    {kInf, std::nullopt},
    {-kInf, std::nullopt},
    {kNaN, std::nullopt},
};

TEST(StoreInt16Test, RoundsToNearestEven) {
    for (const Int16Case& c : kInt16Cases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        EXPECT_EQ(StoreInt16(c.value), c.stored);
    }
}

struct SingleCase {
    double value;
    float stored;
};

const SingleCase kSingleCases[] = {
    {16.47757911682129, 16.477579F},
    {0.1, 0.1F},
    {1.0 + 0x1p-24, 1.0F},                      // tie: to the even neighbour below
    {1.0 + 3 * 0x1p-24, 1.0F + 0x1p-22F},       // tie: to the even neighbour above
    {1.0 + 0x1p-24 + 0x1p-40, 1.0F + 0x1p-23F}, // just above the tie
    {static_cast<double>(FLT_MAX), FLT_MAX},
    {std::nextafter((2.0 - 0x1p-24) * 0x1p127, 0.0), FLT_MAX},
    {-std::nextafter((2.0 - 0x1p-24) * 0x1p127, 0.0), -FLT_MAX},
    {(2.0 - 0x1p-24) * 0x1p127, std::numeric_limits<float>::infinity()},
    {1e39, std::numeric_limits<float>::infinity()},
    {-1e39, -std::numeric_limits<float>::infinity()},
    {DBL_MAX, std::numeric_limits<float>::infinity()},
    {kInf, std::numeric_limits<float>::infinity()},
    {-kInf, -std::numeric_limits<float>::infinity()},
    {1e-46, 0.0F},
    {1e-45, std::numeric_limits<float>::denorm_min()},
};

TEST(StoreSingleTest, RoundsToNearestFloat) {
    for (const SingleCase& c : kSingleCases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        EXPECT_EQ(StoreSingle(c.value), c.stored);
    }
    EXPECT_TRUE(std::isnan(StoreSingle(kNaN)));
}

} // namespace
} // namespace korvane
