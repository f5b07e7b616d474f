#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "model/conversions.h"
#include "model_driver.h"

namespace korvane {
namespace {

using fake::kFirstCase;
using fake::ModelDriver;
using fake::Typed;

constexpr int kNotGiven = std::numeric_limits<int>::min();

struct ComputeCase {
    const char* name;
    Typed typed;
    const char* entryPass; // nullptr: not stated for this case
    const char* exitPass;
    int maxSpeedFps = kNotGiven;
    int lastStep = kNotGiven;
    int entranceStep = kNotGiven;
};

const ComputeCase kComputeCases[] = {
    {"first case", kFirstCase, "16.5", "23.6", 32, 142, 76},
    {"grade 1", {"22", "0.5", "1", "65", "11", "77"}, "25.1", "36.3"},
    {"grade -5", {"22", "0.5", "-5", "65", "11", "77"}, "9.", "12.9"},
    {"entrance beyond exit", {"22", "0.5", "0", "65", "40", "20"}, ".", "17.6", 32, 85, 105},
    {"last step exactly 500", {"22", "0.5", "0", "65", "11", "435"}, "16.5", "48.7", 32, 500, 76},
    {"speed 1.5", {"1.5", "0.5", "0", "65", "11", "77"}, "29.3", "51.3", 3},
    {"500 steps at 35 mph", {"35", "10", "0", "120", "40", "380"}, "6.9", "14.5", 51, 500, 160},
    {"short vehicle", {"5", "0.25", "0", "10", "2", "20"}, "7.2", "13.6", 7, 30, 12},
    {"negative exit: no step", {"5", "0.25", "0", "10", "2", "-20"}, ".", ".", 7, -10, 12},
    {"negative entrance", {"5", "0.25", "0", "10", "-20", "20"}, ".", "13.6", 7, 30, -10},
    {"negative length", {"22", "0.5", "0", "-65", "11", "77"}, ".", "5.5", 32, 12, -54},
    {"negative speed", {"-22", "0.5", "0", "65", "11", "77"}, "15.", "20.7", -32, 142, 76},
    {"length 64.5 stored as 64",
     {"22", "0.5", "0", "64.5", "11", "77"},
     "16.4",
     "23.5",
     32,
     141,
     75},
    {"length 65.5 stored as 66",
     {"22", "0.5", "0", "65.5", "11", "77"},
     "16.6",
     "23.7",
     32,
     143,
     77},
    {"entrance 11.5: step 76", {"22", "0.5", "0", "65", "11.5", "77"}, "16.5", "23.6", 32, 142, 76},
    {"entrance 12.5: step 78", {"22", "0.5", "0", "65", "12.5", "77"}, "16.7", "23.6", 32, 142, 78},
    // 64 + 2.50000024 (the nearest float) is 66.50000024 in double precision but 66.5 in
    // single, which would round to the even step 66 and show 15.2.
    {"length and entrance summed in double: step 67",
     {"22", "0.5", "0", "64", "2.5000002", "77"},
     "15.3",
     "23.5",
     32,
     141,
     67},
    {"entrance equals exit", {"22", "0.5", "0", "65", "77", "77"}, "23.6", "23.6", 32, 142, 142},
    {"two-step rounding to 30.", {"8", "5", "0", "10", "11", "323"}, nullptr, "30.", 12, 333, 21},
    {"two-step rounding to 30.5", {"8", "5", "0", "10", "11", "329"}, nullptr, "30.5", 12, 339, 21},
};

TEST(ComputePassageTimesTest, ShowsThePassageTimes) {
    for (const ComputeCase& c : kComputeCases) {
        SCOPED_TRACE(c.name);
        ModelDriver d;
        d.Type(c.typed);
        ASSERT_TRUE(d.Show().computeEnabled);
        d.PressCompute();
        if (c.entryPass != nullptr) {
            EXPECT_EQ(d.Show().entryPass, c.entryPass);
        }
        EXPECT_EQ(d.Show().exitPass, c.exitPass);
        if (c.maxSpeedFps != kNotGiven) {
            EXPECT_EQ(d.state.MaxSpeedFps, c.maxSpeedFps);
        }
        if (c.lastStep != kNotGiven) {
            // The loop ends when the counter passes the last step; no step runs below 1.
            EXPECT_EQ(d.state.StepIndex, std::max(c.lastStep, 0) + 1);
            if (c.lastStep >= 1) {
                EXPECT_EQ(d.state.ExitClearTime, StoreSingle(d.state.TimeAt[c.lastStep]));
            }
        }
        if (c.entranceStep != kNotGiven && c.lastStep != kNotGiven) {
            if (c.entranceStep >= 1 && c.entranceStep <= c.lastStep) {
                EXPECT_EQ(d.state.EntryClearTime, StoreSingle(d.state.TimeAt[c.entranceStep]));
            } else {
                EXPECT_EQ(d.state.EntryClearTime, 0.0F);
            }
        }
    }
}

TEST(ComputePassageTimesTest, ClearTimesAndTheirTexts) {
    struct Row {
        Typed typed;
        std::optional<float> entry;
        std::optional<float> exit;
        const char* exitNumberText;
    };
    const Row rows[] = {
        // The nearest floats to TimeAt[76] and TimeAt[142]; shown as " 16.47758" and " 23.56545".
        {kFirstCase, 16.47757928444398F, 23.565452764061927F, " 23.56545"},
        {{"8", "5", "0", "10", "11", "323"}, std::nullopt, 29.949995F, " 29.95"},
        {{"8", "5", "0", "10", "11", "329"}, std::nullopt, std::nullopt, " 30.45"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("exit ") + r.typed.exit);
        ModelDriver d;
        d.Type(r.typed);
        d.PressCompute();
        if (r.entry) {
            EXPECT_EQ(d.state.EntryClearTime, *r.entry);
        }
        if (r.exit) {
            EXPECT_EQ(d.state.ExitClearTime, *r.exit);
        }
        EXPECT_EQ(NumberText(static_cast<double>(d.state.ExitClearTime), Precision::Single),
                  r.exitNumberText);
    }
    ModelDriver d;
    d.Type(kFirstCase);
    d.PressCompute();
    EXPECT_EQ(NumberText(static_cast<double>(d.state.EntryClearTime), Precision::Single),
              " 16.47758");
}

TEST(ComputePassageTimesTest, StepTablesBitForBit) {
    ModelDriver d;
    d.Type(kFirstCase);
    d.PressCompute();
    const CalculatorState& s = d.state;

    struct Entry {
        int i;
        double time;
        double accel;
        double speed;
    };
    const Entry first[] = {
        {0, 0.0, 0.5, 1.0},
        {1, 1.0, 0.484375, 1.484375},
        {2, 1.6736842105263157, 0.476806640625, 1.8055921052631578},
        {3, 2.2275191531388137, 0.47178762335526314, 2.066884576569407},
    };
    for (const Entry& e : first) {
        SCOPED_TRACE("entry " + std::to_string(e.i));
        EXPECT_EQ(s.TimeAt[e.i], e.time);
        EXPECT_EQ(s.AccelAt[e.i], e.accel);
        EXPECT_EQ(s.SpeedAt[e.i], e.speed);
    }
    EXPECT_EQ(s.TimeAt[76], 16.47757928444398);
    EXPECT_EQ(s.SpeedAt[76], 8.05128964222199);
    EXPECT_EQ(s.TimeAt[142], 23.565452764061927);
    EXPECT_EQ(s.SpeedAt[142], 10.563976382030964);
}

TEST(ComputePassageTimesTest, PressingTwiceShowsTheSame) {
    ModelDriver d;
    d.Type(kFirstCase);
    d.PressCompute();
    const auto once = d.Show();
    const double time142 = d.state.TimeAt[142];
    d.PressCompute();
    EXPECT_EQ(d.Show().entryPass, once.entryPass);
    EXPECT_EQ(d.Show().exitPass, once.exitPass);
    EXPECT_EQ(d.state.TimeAt[142], time142);
}

// A state as a readiness pass would leave it for the first case, with both result boxes blank.
ModelDriver ReadyFirstCase() {
    ModelDriver d;
    d.Type(kFirstCase);
    return d;
}

struct RejectedCase {
    const char* name;
    std::int16_t speed;
    std::int16_t length;
    float entrance;
    float exit;
};

// Runs called directly with inputs the readiness pass refuses: nothing is written.
const RejectedCase kRejectedCases[] = {
    {"last step 501", 22, 65, 11.0F, 436.0F},
    {"last step beyond 16 bits", 22, 32767, 11.0F, 1.0F},
    {"entrance step beyond 16 bits", 22, 65, 1e6F, 77.0F},
    {"entrance step infinite", 22, 65, std::numeric_limits<float>::infinity(), 77.0F},
    {"exit distance not a number", 22, 65, 11.0F, std::numeric_limits<float>::quiet_NaN()},
    {"ft/s beyond 16 bits", 30000, 65, 11.0F, 77.0F},
};

TEST(ComputePassageTimesTest, RefusesStateBeyondTheTables) {
    for (const RejectedCase& c : kRejectedCases) {
        SCOPED_TRACE(c.name);
        ModelDriver d = ReadyFirstCase();
        d.state.CrossingSpeed = c.speed;
        d.state.VehicleLength = c.length;
        d.state.EntryGateDistance = c.entrance;
        d.state.ExitGateDistance = c.exit;
        d.state.SpeedAt[0] = 7.0;
        d.state.TimeAt[StepTable::kLastIndex] = 9.0;
        const auto writesBefore = d.window.writes;
        ComputePassageTimes(d.state, d.window);
        EXPECT_EQ(d.window.writes, writesBefore);
        EXPECT_EQ(d.Show().entryPass, " ");
        EXPECT_EQ(d.Show().exitPass, " ");
        EXPECT_EQ(d.state.SpeedAt[0], 7.0);
        EXPECT_EQ(d.state.TimeAt[StepTable::kLastIndex], 9.0);
        EXPECT_EQ(d.state.MaxSpeedFps, 0);
        EXPECT_EQ(d.state.EntryClearTime, 0.0F);
        EXPECT_EQ(d.state.ExitClearTime, 0.0F);
    }
}

struct StoppingCase {
    const char* name;
    std::int16_t speed;
    double effective;
    int stopStep;
    bool stopsAtZero;
};

// Speeds that reach exactly 0 or stop being finite end the run without a result. With -1 mph
// (-1 ft/s) the first step's acceleration is twice the effective one.
const StoppingCase kStoppingCases[] = {
    {"speed exactly 0", -1, -0.5, 1, true},
    {"speed infinite", -1, 1e308, 1, false},
    {"effective acceleration not a number", 22, std::numeric_limits<double>::quiet_NaN(), 1, false},
    {"no crossing speed", 0, 0.5, 1, false},
};

TEST(ComputePassageTimesTest, EndsWhenTheSpeedStopsOrRunsAway) {
    for (const StoppingCase& c : kStoppingCases) {
        SCOPED_TRACE(c.name);
        ModelDriver d = ReadyFirstCase();
        d.state.CrossingSpeed = c.speed;
        d.state.VehicleLength = 1;
        d.state.EntryGateDistance = 0.0F; // the entrance step is 1, where the run ends
        d.state.AccelAt[0] = c.effective;
        const auto writesBefore = d.window.writes;
        ComputePassageTimes(d.state, d.window);
        const double speed = d.state.SpeedAt[c.stopStep];
        if (c.stopsAtZero) {
            EXPECT_EQ(speed, 0.0);
        } else {
            EXPECT_FALSE(std::isfinite(speed));
        }
        EXPECT_EQ(d.state.StepIndex, c.stopStep);
        EXPECT_EQ(d.state.EntryClearTime, 0.0F);
        EXPECT_EQ(d.window.writes, writesBefore);
        EXPECT_EQ(d.Show().entryPass, " ");
        EXPECT_EQ(d.Show().exitPass, " ");
    }
}

} // namespace
} // namespace korvane
