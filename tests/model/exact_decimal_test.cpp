#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "model/exact_decimal.h"

// The exact conversions that stand in for <charconv>'s floating-point ones where a C++ library
// lacks them: literal tables that run everywhere (in the WebAssembly build too, where these
// conversions are the ones in use), and sweeps over millions of values against the standard
// library wherever it has both conversions.
namespace korvane::exact_decimal {
namespace {

constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string Format(double value, int precision) {
    char buffer[64];
    const auto result = FormatScientific(buffer, buffer + sizeof buffer, value, precision);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "error";
}

// ParseDouble --------------------------------------------------------------------------------

struct ParseCase {
    std::string text;
    std::errc ec;
    std::size_t read; // characters taken
    double value;     // when ec is success
};

const ParseCase kParseCases[] = {
    {"0", std::errc(), 1, 0.0},
    {"-0", std::errc(), 2, -0.0},
    {"1", std::errc(), 1, 1.0},
    {"-2.5", std::errc(), 4, -2.5},
    {".5", std::errc(), 2, 0.5},
    {"5.", std::errc(), 2, 5.0},
    {"0.1", std::errc(), 3, 0.1},
    {"1.5e3", std::errc(), 5, 1500.0},
    {"1.5E+3", std::errc(), 6, 1500.0},
    {"25e-1", std::errc(), 5, 2.5},
    {"0.000000000000000000000000000001e30", std::errc(), 35, 1.0},
    {"123456789012345678901234567890", std::errc(), 30, 1.2345678901234568e29},
    {"000000000000000000000000000000000000012", std::errc(), 39, 12.0},
    // An exponent without a digit is not read; what stops the number is left.
    {"1e", std::errc(), 1, 1.0},
    {"1e+", std::errc(), 1, 1.0},
    {"1E-x", std::errc(), 1, 1.0},
    {"12abc", std::errc(), 2, 12.0},
    {"1.2.3", std::errc(), 3, 1.2},
    {"1,5", std::errc(), 1, 1.0},
    {"0e99999999999999999999", std::errc(), 22, 0.0},
    // No number.
    {"", std::errc::invalid_argument, 0, 0.0},
    {".", std::errc::invalid_argument, 0, 0.0},
    {"-", std::errc::invalid_argument, 0, 0.0},
    {"+1", std::errc::invalid_argument, 0, 0.0},
    {"e5", std::errc::invalid_argument, 0, 0.0},
    {" 1", std::errc::invalid_argument, 0, 0.0},
    {"-.e1", std::errc::invalid_argument, 0, 0.0},
    // The edges of the range, each side of each halfway point.
    {"1.7976931348623157e308", std::errc(), 22, DBL_MAX},
    {"1.7976931348623158e308", std::errc(), 22, DBL_MAX},
    {"1.7976931348623159e308", std::errc::result_out_of_range, 22, 0.0},
    {"1e309", std::errc::result_out_of_range, 5, 0.0},
    {"-1e99999999999999999999", std::errc::result_out_of_range, 23, 0.0},
    {"2.2250738585072014e-308", std::errc(), 23, DBL_MIN},
    {"2.2250738585072011e-308", std::errc(), 23, DBL_MIN - kDenormMin},
    {"4.9406564584124654e-324", std::errc(), 23, kDenormMin},
    {"2.4703282292062328e-324", std::errc(), 23, kDenormMin},
    {"2.4703282292062327e-324", std::errc::result_out_of_range, 23, 0.0},
    {"7.4109846876186982e-324", std::errc(), 23, 2 * kDenormMin}, // 1.5 x min: tie to even
    {"1e-400", std::errc::result_out_of_range, 6, 0.0},
    {"1e-99999999999999999999", std::errc::result_out_of_range, 23, 0.0},
    // Ties between neighbours of 2^53 (2 apart there) go to the even one.
    {"9007199254740993", std::errc(), 16, 9007199254740992.0},
    {"9007199254740995", std::errc(), 16, 9007199254740996.0},
    {"9007199254740993.00000000000000000000001", std::errc(), 40, 9007199254740994.0},
    {"1.00000000000000011102230246251565404236316680908203125", std::errc(), 55, 1.0},
    {"1.00000000000000011102230246251565404236316680908203126", std::errc(), 55,
     1.0000000000000002},
    // Past 800 significant digits only whether a digit is nonzero counts.
    {"1.00000000000000011102230246251565404236316680908203125" + std::string(2000, '0') + "1",
     std::errc(), 2056, 1.0000000000000002},
    {"1.00000000000000011102230246251565404236316680908203125" + std::string(2000, '0'),
     std::errc(), 2055, 1.0},
    {std::string(1000, '9') + "e-1000", std::errc(), 1006, 1.0},
};

TEST(ExactDecimalTest, ParsesTheTable) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE("text \"" + c.text.substr(0, 80) + "\"");
        double value = 42.0;
        const auto result = ParseDouble(c.text.data(), c.text.data() + c.text.size(), value);
        EXPECT_EQ(result.ec, c.ec);
        EXPECT_EQ(static_cast<std::size_t>(result.ptr - c.text.data()), c.read);
        if (c.ec == std::errc()) {
            EXPECT_EQ(Bits(value), Bits(c.value)) << value << " for " << c.value;
        } else {
            EXPECT_EQ(value, 42.0); // left alone
        }
    }
}

// FormatScientific ---------------------------------------------------------------------------

struct FormatCase {
    double value;
    int precision;
    const char* text;
};

const FormatCase kFormatCases[] = {
    {0.0, 6, "0.000000e+00"},
    {-0.0, 0, "-0e+00"},
    {1.0, 0, "1e+00"},
    {1.5, 6, "1.500000e+00"},
    {-0.25, 14, "-2.50000000000000e-01"},
    {16.47757911682129, 6, "1.647758e+01"},
    {1.0 / 3.0, 14, "3.33333333333333e-01"},
    {123456792.0, 6, "1.234568e+08"},
    {1e-5, 14, "1.00000000000000e-05"},
    {1e100, 0, "1e+100"},
    {1e-100, 3, "1.000e-100"},
    {0.1, 17, "1.00000000000000006e-01"},
    {DBL_MAX, 14, "1.79769313486232e+308"},
    {DBL_MAX, 17, "1.79769313486231571e+308"},
    {DBL_MIN, 16, "2.2250738585072014e-308"},
    {kDenormMin, 6, "4.940656e-324"},
    {kDenormMin, 0, "5e-324"},
    // Exact ties go to the even digit; a carry moves the exponent.
    {2.5, 0, "2e+00"},
    {3.5, 0, "4e+00"},
    {1.125, 2, "1.12e+00"},
    {1.375, 2, "1.38e+00"},
    {9.5, 0, "1e+01"},
    {99.5, 1, "1.0e+02"},
    {999999.5, 5, "1.00000e+06"},
    {9999999.0, 6, "9.999999e+06"},
    {99999996.0, 6, "1.000000e+08"},
    {kInf, 6, "inf"},
    {-kInf, 14, "-inf"},
    {std::numeric_limits<double>::quiet_NaN(), 6, "nan"},
    {-std::numeric_limits<double>::quiet_NaN(), 6, "-nan"},
    {1.5, 18, "error"},
    {1.5, -1, "error"},
};

TEST(ExactDecimalTest, FormatsTheTable) {
    for (const FormatCase& c : kFormatCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Format(c.value, c.precision), c.text);
    }
}

TEST(ExactDecimalTest, SaysWhenTheTextDoesNotFit) {
    char buffer[12] = {};
    const auto tooSmall = FormatScientific(buffer, buffer + 11, -1.5, 6); // needs 13
    EXPECT_EQ(tooSmall.ec, std::errc::value_too_large);
    EXPECT_EQ(tooSmall.ptr, buffer + 11);
    const auto fits = FormatScientific(buffer, buffer + 12, 1.5, 6);
    EXPECT_EQ(fits.ec, std::errc());
    EXPECT_EQ(std::string(buffer, fits.ptr), "1.500000e+00");
}

// Against the standard library ---------------------------------------------------------------

#if defined(__cpp_lib_to_chars)

double FromBits(std::uint64_t bits) {
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Compares both conversions with the standard library's for one text, and on a mismatch says
// what each gave.
testing::AssertionResult ParsesAsStandard(const std::string& text) {
    double ours = 42.0;
    double standard = 42.0;
    const char* end = text.data() + text.size();
    const auto a = ParseDouble(text.data(), end, ours);
    const auto b = std::from_chars(text.data(), end, standard, std::chars_format::general);
    if (a.ec == b.ec && a.ptr == b.ptr && Bits(ours) == Bits(standard)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "\"" << text.substr(0, 100) << "\": ours " << ours << " (" << a.ptr - text.data()
           << " read, " << static_cast<int>(a.ec) << "), standard " << standard << " ("
           << b.ptr - text.data() << " read, " << static_cast<int>(b.ec) << ")";
}

testing::AssertionResult FormatsAsStandard(double value, int precision) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value,
                                 std::chars_format::scientific, precision);
    const std::string standard(buffer, r.ptr);
    const std::string ours = Format(value, precision);
    if (ours == standard) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << std::hexfloat << value << " at precision " << precision
                                       << ": ours " << ours << ", standard " << standard;
}

// The literal tables above say what the standard library says.
TEST(ExactDecimalSweep, TablesAsTheStandardLibrary) {
    for (const ParseCase& c : kParseCases) {
        EXPECT_TRUE(ParsesAsStandard(c.text));
    }
    for (const FormatCase& c : kFormatCases) {
        if (c.precision >= 0 && c.precision <= 17) {
            EXPECT_TRUE(FormatsAsStandard(c.value, c.precision));
        }
    }
}

// Random doubles of every exponent, subnormals and both signs included: each written at the
// precisions that conversions.cpp uses (6 and 14) and at one of every other, and the text
// written at 16 (17 digits, the round trip) read back.
TEST(ExactDecimalSweep, RandomDoublesAsTheStandardLibrary) {
    std::mt19937_64 random(20240525);
    int failures = 0;
    for (int i = 0; i < 250000 && failures < 10; ++i) {
        double value = FromBits(random());
        if (i % 8 == 0) {
            value = FromBits(random() & 0x800FFFFFFFFFFFFFULL); // subnormal
        }
        if (!std::isfinite(value)) {
            continue;
        }
        for (const int precision : {6, 14, i % 18}) {
            const auto ok = FormatsAsStandard(value, precision);
            failures += ok ? 0 : 1;
            EXPECT_TRUE(ok);
        }
        const auto ok = ParsesAsStandard(Format(value, 16));
        failures += ok ? 0 : 1;
        EXPECT_TRUE(ok);
    }
}

// Random decimal texts as ReadNumber hands them on and beyond: 1 to 40 digits with the point
// anywhere, leading zeros, exponents across and past the double range, an exponent missing its
// digits, trailing junk.
TEST(ExactDecimalSweep, RandomTextsAsTheStandardLibrary) {
    std::mt19937_64 random(7);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int failures = 0;
    for (int i = 0; i < 1000000 && failures < 10; ++i) {
        std::string text = pick(0, 3) == 0 ? "-" : "";
        const int count = pick(1, 40);
        const int point = pick(-1, count);
        for (int d = 0; d < count; ++d) {
            if (d == point) {
                text.push_back('.');
            }
            text.push_back(static_cast<char>('0' + (pick(0, 4) == 0 ? 0 : pick(0, 9))));
        }
        switch (pick(0, 5)) {
        case 0:
            break;
        case 1:
            text += "e" + std::to_string(pick(-30, 30));
            break;
        case 2:
            text += (pick(0, 1) != 0 ? "E+" : "e-") + std::to_string(pick(0, 400));
            break;
        case 3:
            text += "e" + std::to_string(pick(-400, 400) - count);
            break;
        case 4:
            text += pick(0, 1) != 0 ? "e+" : "e";
            break;
        default:
            text += "e3x";
            break;
        }
        const auto ok = ParsesAsStandard(text);
        failures += ok ? 0 : 1;
        EXPECT_TRUE(ok);
    }
}

// The exact midpoints between neighbouring doubles, written out in full (up to 767 digits, from
// x86's 64-bit long double, which holds them), and the same midpoints a unit of their last
// digit below and above: the hardest texts to round.
TEST(ExactDecimalSweep, HalfwayPointsAsTheStandardLibrary) {
    if (std::numeric_limits<long double>::digits < 64) {
        GTEST_SKIP() << "this long double cannot hold the midpoint of two doubles";
    }
    std::mt19937_64 random(99);
    int failures = 0;
    for (int i = 0; i < 20000 && failures < 10; ++i) {
        double low = FromBits(random() & 0x7FFFFFFFFFFFFFFFULL);
        if (i % 4 == 0) {
            low = FromBits(random() & 0x000FFFFFFFFFFFFFULL);
        }
        if (!std::isfinite(low) || low == DBL_MAX) {
            continue;
        }
        const long double mid = (static_cast<long double>(low) + std::nextafter(low, kInf)) / 2.0L;
        char buffer[1000];
        const auto r =
            std::to_chars(buffer, buffer + sizeof buffer, mid, std::chars_format::scientific, 800);
        ASSERT_EQ(r.ec, std::errc());
        std::string text(buffer, r.ptr);
        const std::size_t e = text.find('e');
        std::string digits = text.substr(0, e);
        const std::string exponent = text.substr(e);
        while (digits.back() == '0') {
            digits.pop_back();
        }
        if (digits.back() == '.') {
            digits.pop_back();
        }
        std::string below = digits;
        --below.back(); // the last digit is not a zero
        for (const std::string& t :
             {digits + exponent, digits + "1" + exponent, below + exponent}) {
            const auto ok = ParsesAsStandard(t);
            failures += ok ? 0 : 1;
            EXPECT_TRUE(ok);
        }
    }
}

#else

TEST(ExactDecimalSweep, AgainstTheStandardLibrary) {
    GTEST_SKIP() << "this C++ library has no floating-point std::from_chars and std::to_chars to "
                    "compare with; the byte-identity test compares this build with a native one";
}

#endif

} // namespace
} // namespace korvane::exact_decimal
