#include "checks/num_only.h"

#include <cstdint>
#include <limits>
#include <set>

#include <gtest/gtest.h>

#include "fake_window.h"

namespace korvane {
namespace {

using fake::FakeWindow;

// The codes a numeric box takes: the ten digits, "-", "." and backspace.
const std::set<int> kPassingCodes = {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 45, 46, 8};

struct KeyResult {
    std::int16_t key;
    int beeps;
};

KeyResult Press(std::int16_t code) {
    FakeWindow window;
    std::int16_t key = code;
    NumOnly(window, key);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(window.texts.empty());
    EXPECT_TRUE(window.enabled.empty());
    return {key, window.beeps};
}

TEST(NumOnlyTest, EveryCharacterCodeIsEitherPassedSilentlyOrDiscardedWithOneBeep) {
    int passed = 0;
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code) {
        const auto key = static_cast<std::int16_t>(code);
        const KeyResult result = Press(key);
        if (kPassingCodes.count(code) != 0) {
            ++passed;
            EXPECT_EQ(result.key, key) << "code " << code;
            EXPECT_EQ(result.beeps, 0) << "code " << code;
        } else {
            EXPECT_EQ(result.key, 0) << "code " << code;
            EXPECT_EQ(result.beeps, 1) << "code " << code;
        }
    }
    EXPECT_EQ(passed, 13);
}

TEST(NumOnlyTest, CharactersOutsideTheAcceptedSetAreDiscardedWithOneBeep) {
    struct Row {
        const char* what;
        std::int16_t code;
    };
    const Row rows[] = {
        {"letter e", 'e'},
        {"letter E", 'E'},
        {"plus", '+'},
        {"comma", ','},
        {"blank", ' '},
        {"code 0 itself", 0},
        {"tab", 9},
        {"carriage return", 13},
        {"escape", 27},
        {"delete character", 127},
        {"slash, just below the digits", '/'},
        {"colon, just above the digits", ':'},
        {"digit zero plus 256", 0x0130},
        {"minus plus 256", 0x012D},
        {"backspace plus 256", 0x0108},
        {"Arabic-Indic digit zero", 0x0660},
        {"fullwidth digit zero (0xFF10)", static_cast<std::int16_t>(-240)},
        {"code 0xFFFF", -1},
        {"code 0x8000", std::numeric_limits<std::int16_t>::min()},
        {"code 0x7FFF", std::numeric_limits<std::int16_t>::max()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const KeyResult result = Press(row.code);
        EXPECT_EQ(result.key, 0);
        EXPECT_EQ(result.beeps, 1);
    }
}

TEST(NumOnlyTest, DigitsMinusPointAndBackspacePassAtAnyPositionAndAnyNumberOfTimes) {
    // "1-2..3" and then backspace, typed key by key into one box.
    FakeWindow window;
    for (const char typed : {'1', '-', '2', '.', '.', '3', '-', '\b', '0', '9'}) {
        SCOPED_TRACE(std::string(1, typed));
        std::int16_t key = typed;
        NumOnly(window, key);
        EXPECT_EQ(key, typed);
    }
    EXPECT_EQ(window.beeps, 0);
}

} // namespace
} // namespace korvane
