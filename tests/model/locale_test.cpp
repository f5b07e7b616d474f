#include <clocale>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "model/conversions.h"
#include "model_driver.h"

namespace korvane {
namespace {

using fake::kFirstCase;
using fake::ModelDriver;
using fake::Typed;

#ifdef _WIN32
// Windows names its locales language_country.codepage, and every Windows has this one.
constexpr const char* kGermanName = "German_Germany.1252";

// MinGW's C++ library knows no named locale but "C", so the C++ side of the German locale is
// the classic locale with German punctuation of numbers.
class GermanPunctuation : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

std::locale GermanCppLocale() {
    return std::locale(std::locale::classic(), new GermanPunctuation);
}
#else
constexpr const char* kGermanName = "de_DE.UTF-8";

// Throws std::runtime_error when the locale is not installed.
std::locale GermanCppLocale() {
    return std::locale(kGermanName);
}
#endif

// Runs each test under a German locale, whose decimal separator is a comma, in both the C and
// the C++ library, and restores the previous locales afterwards.
class CommaLocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedC_ = std::setlocale(LC_ALL, nullptr);
#ifdef __EMSCRIPTEN__
        // musl accepts the German locale's name, but its decimal point stays ".".
        GTEST_SKIP() << "the browser's C library (musl) has no comma-decimal locale";
#endif
        std::locale german;
        try {
            german = GermanCppLocale();
        } catch (const std::runtime_error&) {
            Missing();
            return;
        }
        if (std::setlocale(LC_ALL, kGermanName) == nullptr) {
            Missing();
            return;
        }
        savedCpp_ = std::locale::global(german);
        switched_ = true;
        ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
        ASSERT_EQ(std::use_facet<std::numpunct<char>>(std::locale()).decimal_point(), ',');
    }

    void TearDown() override {
        if (switched_) {
            std::locale::global(savedCpp_);
        }
        std::setlocale(LC_ALL, savedC_.c_str());
    }

private:
    static void Missing() {
#ifdef _WIN32
        FAIL() << "the locale " << kGermanName << " is missing";
#else
        if (std::getenv("CI") != nullptr) {
            FAIL() << "the locale de_DE.UTF-8 is missing; scripts/setup.sh generates it";
        }
        GTEST_SKIP() << "the locale de_DE.UTF-8 is missing; run scripts/setup.sh to generate it";
#endif
    }

    std::string savedC_;
    std::locale savedCpp_;
    bool switched_ = false;
};

TEST_F(CommaLocaleTest, ConversionsKeepThePoint) {
    struct Read {
        const char* text;
        double value;
    };
    const Read reads[] = {{".5", 0.5},  {"-.5", -0.5},      {"1.2.3", 1.2},
                          {"1,5", 1.0}, {"2.5E+3", 2500.0}, {"1 0", 10.0}};
    for (const Read& r : reads) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(ReadNumber(r.text), r.value);
    }

    struct Write {
        double value;
        Precision precision;
        const char* text;
    };
    const Write writes[] = {
        {16.47757911682129, Precision::Single, " 16.47758"},
        {1.0 / 3.0, Precision::Double, " .333333333333333"},
        {-0.25, Precision::Double, "-.25"},
        {1e-5, Precision::Double, " 1E-05"},
        {static_cast<double>(123456789.0F), Precision::Single, " 1.234568E+08"},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.text);
        EXPECT_EQ(NumberText(w.value, w.precision), w.text);
    }

    EXPECT_EQ(PatternText(" 123.456", "##.##"), "123.46");
    EXPECT_EQ(PatternText(" 29.95", "###.#"), "30.");
    EXPECT_EQ(PatternText("-.144", "##.##"), "-.14");
}

TEST_F(CommaLocaleTest, FullComputation) {
    struct Row {
        Typed typed;
        const char* effAccel;
        const char* entryPass;
        const char* exitPass;
    };
    const Row rows[] = {
        {kFirstCase, ".5", "16.5", "23.6"},
        {{"22", "0.5", "1", "65", "11", "77"}, ".18", "25.1", "36.3"},
        {{"22", "0.5", "-5", "65", "11", "77"}, "2.11", "9.", "12.9"},
        {{"1.5", "0.5", "0", "65", "11", "77"}, ".5", "29.3", "51.3"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("grade ") + r.typed.grade + ", speed " + r.typed.speed);
        ModelDriver d;
        d.Type(r.typed);
        d.PressCompute();
        EXPECT_EQ(d.Show().effAccel, r.effAccel);
        EXPECT_EQ(d.Show().entryPass, r.entryPass);
        EXPECT_EQ(d.Show().exitPass, r.exitPass);
    }
}

} // namespace
} // namespace korvane
