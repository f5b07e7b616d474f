#include "checks/check_range.h"

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "fake_window.h"
#include "model/calculator_state.h"
#include "window/layout.h"

namespace korvane {
namespace {

using fake::FakeWindow;

constexpr std::string_view kTitle = "Range Error";
constexpr std::string_view kUntouched = "(message of an earlier check)";

// The advisory text of a box, as the window's layout gives it.
std::string AdvisoryOf(std::string_view box) {
    const std::string_view text = layout::AdvisoryOf(box);
    EXPECT_FALSE(text.empty()) << "no advisory text for " << box;
    return std::string(text);
}

// One range check as the leave-field handler makes it: on copies of the box's text and advisory
// text. The state starts with RangeOk false and a marker in RangeMessage, so that a check that
// leaves them alone is seen.
struct Checked {
    CalculatorState state;
    FakeWindow window;
    std::string rangeString; // the advisory copy after the call
};

void Check(Checked& run, const std::string& typed, const std::string& advisory) {
    std::string valString = typed;
    run.rangeString = advisory;
    CheckRange(run.state, run.window, valString, run.rangeString);
    EXPECT_EQ(valString, typed) << "the caller's text was changed";
}

Checked CheckFresh(const std::string& typed, const std::string& advisory) {
    Checked run;
    run.state.RangeOk = false;
    run.state.RangeMessage = std::string(kUntouched);
    Check(run, typed, advisory);
    return run;
}

void ExpectNoMessage(const Checked& run) {
    EXPECT_TRUE(run.state.RangeOk);
    EXPECT_TRUE(run.window.messages.empty());
    EXPECT_EQ(run.state.RangeMessage, kUntouched);
    EXPECT_EQ(run.window.beeps, 0);
    EXPECT_TRUE(run.window.enabled.empty());
}

void ExpectOneMessage(const Checked& run, std::string_view text) {
    EXPECT_FALSE(run.state.RangeOk);
    ASSERT_EQ(run.window.messages.size(), 1U);
    EXPECT_EQ(run.window.messages[0].text, text);
    EXPECT_EQ(run.window.messages[0].title, kTitle);
    EXPECT_EQ(run.state.RangeMessage, text);
    EXPECT_EQ(run.window.beeps, 0);
    EXPECT_TRUE(run.window.enabled.empty());
}

// --- Values outside the range ---------------------------------------------------------------

struct FailRow {
    std::string_view box;
    std::string typed;
    std::string_view message;
    std::string_view inner; // the narrowed advisory copy
};

const std::string kFortyNines(40, '9');

const FailRow kFailRows[] = {
    {"txtSpd", "50", "Entered Value of 50 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "35.1", "Entered Value of 35.1 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "4.5", "Entered Value of 4.5 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "-7", "Entered Value of-7 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "35.000002", "Entered Value of 35 is outside of the range 5 to 35", "5 to 35"},
    {"txtAccel", "12.75", "Entered Value of 12.75 is outside of the range 0.25 to 10",
     "0.25 to 10"},
    {"txtAccel", "0.2", "Entered Value of .2 is outside of the range 0.25 to 10", "0.25 to 10"},
    {"txtGrade", "-7.5", "Entered Value of-7.5 is outside of the range -5  to  5", "-5  to  5"},
    {"txtGrade", "6", "Entered Value of 6 is outside of the range -5  to  5", "-5  to  5"},
    {"txtLength", "150", "Entered Value of 150 is outside of the range 10 to 120)  ft",
     "10 to 120)  ft"},
    {"txtEntryPos", "-", "Entered Value of 0 is outside of the range 2 to 40", "2 to 40"},
    {"txtExitPos", "600", "Entered Value of 600 is outside of the range 20 to 500", "20 to 500"},
    // Further failures.
    {"txtEntryPos", ".", "Entered Value of 0 is outside of the range 2 to 40", "2 to 40"},
    {"txtGrade", "1 2", "Entered Value of 12 is outside of the range -5  to  5", "-5  to  5"},
    {"txtSpd", " 50 ", "Entered Value of 50 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "1-2..3", "Entered Value of 1 is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "\t", "Entered Value of 0 is outside of the range 5 to 35", "5 to 35"},
    {"txtLength", "9", "Entered Value of 9 is outside of the range 10 to 120)  ft",
     "10 to 120)  ft"},
    {"txtLength", "121", "Entered Value of 121 is outside of the range 10 to 120)  ft",
     "10 to 120)  ft"},
    {"txtAccel", "0.2499999", "Entered Value of .2499999 is outside of the range 0.25 to 10",
     "0.25 to 10"},
    // Seven digits are written out; more go to the exponent form.
    {"txtExitPos", "1234567", "Entered Value of 1234567 is outside of the range 20 to 500",
     "20 to 500"},
    {"txtExitPos", "123456789", "Entered Value of 1.234568E+08 is outside of the range 20 to 500",
     "20 to 500"},
    // Beyond the single-precision range the value is infinite.
    {"txtSpd", kFortyNines, "Entered Value of Infinity is outside of the range 5 to 35", "5 to 35"},
    {"txtSpd", "-" + kFortyNines, "Entered Value of-Infinity is outside of the range 5 to 35",
     "5 to 35"},
    {"txtGrade", "1e999", "Entered Value of Infinity is outside of the range -5  to  5",
     "-5  to  5"},
    {"txtGrade", "-1e999", "Entered Value of-Infinity is outside of the range -5  to  5",
     "-5  to  5"},
    {"txtExitPos", std::string(100000, '7'),
     "Entered Value of Infinity is outside of the range 20 to 500", "20 to 500"},
};

TEST(CheckRangeTest, ValueOutsideTheRangeShowsOneRangeErrorMessage) {
    for (const FailRow& row : kFailRows) {
        SCOPED_TRACE(std::string(row.box) + " with \"" + row.typed.substr(0, 50) + "\"");
        const Checked run = CheckFresh(row.typed, AdvisoryOf(row.box));
        ExpectOneMessage(run, row.message);
        EXPECT_EQ(run.rangeString, row.inner);
    }
}

// --- Values that pass, and blank fields -----------------------------------------------------

struct PassRow {
    std::string_view box;
    std::string typed;
};

const PassRow kPassRows[] = {
    {"txtSpd", "5"},         {"txtSpd", "35"},
    {"txtSpd", "22"},        {"txtSpd", "35.000001"},
    {"txtSpd", "4.9999999"}, {"txtSpd", "005"},
    {"txtGrade", "-5"},      {"txtGrade", "5"},
    {"txtGrade", "0"},       {"txtGrade", "abc"},
    {"txtGrade", "2x"},      {"txtGrade", "-"},
    {"txtGrade", "."},       {"txtGrade", "5%"},
    {"txtGrade", "-4.99"},   {"txtAccel", "0.25"},
    {"txtAccel", "10"},      {"txtAccel", ".5"},
    {"txtLength", "10"},     {"txtLength", "120"},
    {"txtLength", "65"},     {"txtEntryPos", "2"},
    {"txtEntryPos", "40"},   {"txtEntryPos", "11"},
    {"txtExitPos", "20"},    {"txtExitPos", "500"},
    {"txtExitPos", "77"},    {"txtExitPos", "500.00001"},
    {"txtSpd", "1e1"},
};

TEST(CheckRangeTest, ValueWithinTheRangeOrOnABoundPassesWithoutMessage) {
    for (const PassRow& row : kPassRows) {
        SCOPED_TRACE(std::string(row.box) + " with \"" + row.typed + "\"");
        const Checked run = CheckFresh(row.typed, AdvisoryOf(row.box));
        ExpectNoMessage(run);
    }
}

TEST(CheckRangeTest, BlankOrSpaceOnlyFieldIsNotChecked) {
    // Every one of these boxes would fail a value of 0, so only a skipped check passes them.
    for (const std::string_view box :
         {"txtSpd", "txtAccel", "txtLength", "txtEntryPos", "txtExitPos", "txtGrade"}) {
        for (const std::string& typed :
             std::vector<std::string>{"", " ", "   ", std::string(40000, ' ')}) {
            SCOPED_TRACE(std::string(box) + " with " + std::to_string(typed.size()) + " blanks");
            const Checked run = CheckFresh(typed, AdvisoryOf(box));
            ExpectNoMessage(run);
            EXPECT_EQ(run.rangeString, AdvisoryOf(box)) << "advisory copy narrowed unchecked";
        }
    }
}

TEST(CheckRangeTest, PassAfterFailureSetsRangeOkButKeepsTheOldMessage) {
    Checked run = CheckFresh("50", AdvisoryOf("txtSpd"));
    ASSERT_FALSE(run.state.RangeOk);
    const std::string failure = "Entered Value of 50 is outside of the range 5 to 35";
    ASSERT_EQ(run.state.RangeMessage, failure);

    for (const std::string typed : {"2", "", " ", "-3"}) {
        SCOPED_TRACE("then \"" + typed + "\" in txtGrade");
        run.state.RangeOk = false;
        Check(run, typed, AdvisoryOf("txtGrade"));
        EXPECT_TRUE(run.state.RangeOk);
        EXPECT_EQ(run.state.RangeMessage, failure);
        EXPECT_EQ(run.window.messages.size(), 1U);
    }

    // The next failure replaces the message.
    Check(run, "600", AdvisoryOf("txtExitPos"));
    EXPECT_FALSE(run.state.RangeOk);
    EXPECT_EQ(run.state.RangeMessage, "Entered Value of 600 is outside of the range 20 to 500");
    EXPECT_EQ(run.window.messages.size(), 2U);
}

// --- Advisory texts other than the window's --------------------------------------------------

TEST(CheckRangeTest, AdvisoryTextWithoutReadableRangeMakesNoCheck) {
    const std::string_view unreadable[] = {
        "",
        "Vehicle speed 5 to 35 mph",
        "Vehicle speed (5 to 35 mph",
        "Vehicle speed 5 to 35) mph",
        "Vehicle speed )5 to 35( mph",
        ")(",
        "()",
        "to ()",
        "((((",
        "))))",
        "(5 - 35)",
        "(5 TO 35)",
        "(5 t o 35)",
        "(5 t) to 35",
    };
    for (const std::string_view advisory : unreadable) {
        for (const std::string typed : {"1000", "-1000", "x"}) {
            SCOPED_TRACE("\"" + typed + "\" against \"" + std::string(advisory) + "\"");
            const Checked run = CheckFresh(typed, std::string(advisory));
            ExpectNoMessage(run);
            EXPECT_EQ(run.rangeString, advisory) << "advisory copy narrowed unchecked";
        }
    }
}

TEST(CheckRangeTest, RangeIsReadFromFirstOpenToLastCloseAndAroundTheFirstTo) {
    struct Row {
        std::string advisory;
        std::string typed;
        std::string message; // empty: passes
    };
    const std::string padding(40000, 'x'); // puts the parentheses past position 32 767
    const Row rows[] = {
        {"(1 to 2 to 3)", "2.5", "Entered Value of 2.5 is outside of the range 1 to 2 to 3"},
        {"(1 to 2 to 3)", "2", ""},
        {"((1 to 5))", "-1", "Entered Value of-1 is outside of the range (1 to 5)"},
        {"((1 to 5))", "0", ""}, // the low bound "(1" reads as 0
        {"(a) speed (5 to 35) mph", "40",
         "Entered Value of 40 is outside of the range a) speed (5 to 35"},
        {"speed to (tomato)", "0", ""}, // both bounds read as 0
        {"speed to (tomato)", "1", "Entered Value of 1 is outside of the range tomato"},
        {"(to 35)", "-1", "Entered Value of-1 is outside of the range to 35"},
        {"(5 to)", "6", "Entered Value of 6 is outside of the range 5 to"},
        {"(10 to 5)", "7", "Entered Value of 7 is outside of the range 10 to 5"},
        {"(1e2 to 1e3)", "999", ""},
        {"(1e2 to 1e3)", "99", "Entered Value of 99 is outside of the range 1e2 to 1e3"},
        {"(-1e999 to 1e999)", "-" + kFortyNines, ""},
        {padding + "(1 to 2)" + padding, "3", "Entered Value of 3 is outside of the range 1 to 2"},
        {padding + "(1 to 2)" + padding, "1.5", ""},
        {"(" + padding + " to 2)", "1", ""}, // the low bound "xxx..." reads as 0
        {"(" + padding + " to 2)", "-1",
         "Entered Value of-1 is outside of the range " + padding + " to 2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("\"" + row.typed.substr(0, 50) + "\" against \"" + row.advisory.substr(0, 60) +
                     "\"");
        const Checked run = CheckFresh(row.typed, row.advisory);
        if (row.message.empty()) {
            ExpectNoMessage(run);
        } else {
            ExpectOneMessage(run, row.message);
        }
    }
}

// --- Texts of any shape ----------------------------------------------------------------------

// Whatever the texts, the check shows at most one message, and RangeOk is false exactly when it
// shows one; the message quotes the narrowed advisory copy, which is a part of the advisory text.
void ExpectConsistent(const std::string& typed, const std::string& advisory) {
    const Checked run = CheckFresh(typed, advisory);
    ASSERT_LE(run.window.messages.size(), 1U);
    EXPECT_EQ(run.state.RangeOk, run.window.messages.empty());
    EXPECT_EQ(run.window.beeps, 0);
    if (run.window.messages.empty()) {
        EXPECT_EQ(run.state.RangeMessage, kUntouched);
        return;
    }
    const std::string& text = run.window.messages[0].text;
    EXPECT_EQ(run.window.messages[0].title, kTitle);
    EXPECT_EQ(run.state.RangeMessage, text);
    EXPECT_EQ(text.rfind("Entered Value of", 0), 0U);
    const std::string tail = " is outside of the range " + run.rangeString;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(advisory.find("(" + run.rangeString + ")"), std::string::npos);
    EXPECT_NE(run.rangeString.find("to"), std::string::npos);
}

TEST(CheckRangeTest, TextsOfAnyShapeAndLengthAreHandledConsistently) {
    std::mt19937 random(20240611U);
    const std::string_view pieces[] = {"(", ")", "to", "t", "o",  " ",    "-",  ".", "e", "E",
                                       "0", "1", "5",  "9", "35", "1e40", "\t", "%", "ft"};
    auto randomPieces = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += pieces[random() % std::size(pieces)];
        }
        return text;
    };
    auto randomBytes = [&](std::size_t count) {
        std::string text(count, '\0');
        for (char& c : text) {
            c = static_cast<char>(random() & 0xFFU);
        }
        return text;
    };

    std::vector<std::string> advisories = {
        "",
        "((((",
        ")(",
        "(((5 to 35",
        "5 to 35)))",
        "(to)(to)(to)",
        "(5 to 35 to 40 to 45)",
        std::string(100000, '('),
        std::string(100000, ')'),
        "(" + std::string(100000, 't') + ")",
        "(" + std::string(99998, ' ') + "to" + ")",
        randomBytes(100000),
    };
    for (const layout::Control& control : layout::kControls) {
        if (!control.advisory.empty()) {
            advisories.emplace_back(control.advisory);
        }
    }
    std::vector<std::string> values = {
        "",
        " ",
        "-",
        ".",
        "0",
        "22",
        "-7",
        "1e999",
        "-1e999",
        "((((",
        ")(",
        std::string(100000, '9'),
        "1-2..3",
        randomBytes(100000),
        std::string(100000, '-'),
    };
    for (int i = 0; i < 300; ++i) {
        advisories.push_back(randomPieces(random() % 20));
        advisories.push_back(randomBytes(random() % 40));
        values.push_back(randomPieces(random() % 8));
        values.push_back(randomBytes(random() % 12));
    }

    for (std::size_t a = 0; a < advisories.size(); ++a) {
        for (std::size_t v = 0; v < values.size(); v += 1 + a % 7) {
            SCOPED_TRACE("advisory " + std::to_string(a) + ", value " + std::to_string(v));
            ExpectConsistent(values[v], advisories[a]);
        }
    }
}

} // namespace
} // namespace korvane
