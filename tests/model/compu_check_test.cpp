#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "model_driver.h"

namespace korvane {
namespace {

using fake::kFirstCase;
using fake::ModelDriver;
using fake::Typed;

struct ReadinessCase {
    const char* name;
    Typed typed;
    const char* effAccel;
    bool enabled;
};

// The first case with one input replaced.
Typed WithSpeed(const char* t) {
    return {t, "0.5", "0", "65", "11", "77"};
}
Typed WithAccel(const char* t) {
    return {"22", t, "0", "65", "11", "77"};
}
Typed WithGrade(const char* t) {
    return {"22", "0.5", t, "65", "11", "77"};
}
Typed WithLength(const char* t) {
    return {"22", "0.5", "0", t, "11", "77"};
}
Typed WithEntrance(const char* t) {
    return {"22", "0.5", "0", "65", t, "77"};
}
Typed WithExit(const char* t) {
    return {"22", "0.5", "0", "65", "11", t};
}

const ReadinessCase kReadinessCases[] = {
    {"all blank", {" ", " ", " ", " ", " ", " "}, ".", false},
    {"first case", kFirstCase, ".5", true},
    {"grade blank-zero", WithGrade(" 0"), ".5", true},
    {"grade 1", WithGrade("1"), ".18", true},
    {"grade 0.5", WithGrade("0.5"), ".34", true},
    {"grade -5", WithGrade("-5"), "2.11", true},
    {"grade 1.2.3", WithGrade("1.2.3"), ".11", true},
    {"grade 5%", WithGrade("5%"), "-1.11", false}, // 5 percent: 0.5 - 1.61
    {"accel 10", WithAccel("10"), "10.", true},
    {"accel 1 0", WithAccel("1 0"), "10.", true},
    {"accel 1", WithAccel("1"), "1.", true},
    {"accel 0.125", WithAccel("0.125"), ".13", true},
    {"steep upgrade", {"22", "0.5", "2", "65", "11", "77"}, "-.14", false},
    {"steeper upgrade", {"22", "0.25", "5", "65", "11", "77"}, "-1.36", false},
    {"accel -", WithAccel("-"), ".", false},
    {"accel 0 on a downgrade", {"22", "0", "-1", "65", "11", "77"}, ".32", true},
    {"effective just below zero", {"22", "0.01", "0.04", "65", "11", "77"}, "-.", false},
    {"speed 0.5", WithSpeed("0.5"), ".5", false},
    {"speed 0.6", WithSpeed("0.6"), ".5", true},
    {"speed 1.5", WithSpeed("1.5"), ".5", true},
    {"speed -22", WithSpeed("-22"), ".5", true},
    {"length 0.4", WithLength("0.4"), ".5", false},
    {"length -0.5", WithLength("-0.5"), ".5", false},
    {"length 64.5", WithLength("64.5"), ".5", true},
    {"length 65.5", WithLength("65.5"), ".5", true},
    {"entrance 0.4", WithEntrance("0.4"), ".5", true},
    {"entrance 0", WithEntrance("0"), ".5", false},
    {"entrance -0", WithEntrance("-0"), ".5", false},
    {"entrance .", WithEntrance("."), ".5", false},
    {"entrance -", WithEntrance("-"), ".5", false},
    {"entrance beyond exit", WithEntrance("400"), ".5", true},
    {"exit 0.4", WithExit("0.4"), ".5", true},
    {"exit 0", WithExit("0"), ".5", false},
    {"exit -0", WithExit("-0"), ".5", false},
    {"exit .", WithExit("."), ".5", false},
    {"exit -", WithExit("-"), ".5", false},
    // The limits of the tables and the fields.
    {"exit 435: last step 500", WithExit("435"), ".5", true},
    {"exit 436: last step 501", WithExit("436"), ".5", false},
    {"exit 434.5: last step 500 (tie to even)", WithExit("434.5"), ".5", true},
    {"exit 435.5: last step 500 (tie to even)", WithExit("435.5"), ".5", true},
    {"exit 435.6: last step 501", WithExit("435.6"), ".5", false},
    {"length 40000", WithLength("40000"), ".5", false},
    {"length -40000", WithLength("-40000"), ".5", false},
    {"length 32767 with far negative gates",
     {"22", "0.5", "0", "32767", "-32000", "-32767"},
     ".5",
     true},
    {"length 32767: entrance step beyond 16 bits",
     {"22", "0.5", "0", "32767", "11", "-32767"},
     ".5",
     false},
    {"speed 40000", WithSpeed("40000"), ".5", false},
    {"speed 22300: ft/s beyond 16 bits", WithSpeed("22300"), ".5", false},
    {"speed 22290: ft/s within 16 bits", WithSpeed("22290"), ".5", true},
    {"entrance 1e9: step beyond 16 bits", WithEntrance("1e9"), ".5", false},
    {"exit -1e9: step beyond 16 bits", WithExit("-1e9"), ".5", false},
    {"grade 1e999", WithGrade("1e999"), " ", false},
    {"grade -1e999", WithGrade("-1e999"), " ", false},
    {"grade 1e39 beyond single", WithGrade("1e39"), " ", false},
    {"accel 1e39 beyond single", WithAccel("1e39"), " ", false},
    {"accel and grade infinite", {"22", "1e999", "1e999", "65", "11", "77"}, " ", false},
    {"entrance 1e39 beyond single", WithEntrance("1e39"), ".5", false},
    {"exit -1e39 beyond single", WithExit("-1e39"), ".5", false},
    {"accel 3e38 is large but finite", WithAccel("3e38"),
     "300000000549776000000000000000000000000.", true},
    {"grade 1e-999 is level", WithGrade("1e-999"), ".5", true},
};

TEST(CompuCheckTest, ShowsEffectiveAccelerationAndReadiness) {
    for (const ReadinessCase& c : kReadinessCases) {
        SCOPED_TRACE(c.name);
        ModelDriver d;
        d.window.texts[std::string(ctl::txtEntryPass)] = "16.5";
        d.window.texts[std::string(ctl::txtExitPass)] = "23.6";
        d.Type(c.typed);
        const auto shown = d.Show();
        EXPECT_EQ(shown.effAccel, c.effAccel);
        EXPECT_EQ(shown.computeEnabled, c.enabled);
        EXPECT_EQ(d.state.InputsInvalid, !c.enabled);
        EXPECT_EQ(shown.entryPass, " ");
        EXPECT_EQ(shown.exitPass, " ");
        EXPECT_EQ(d.state.EntryClearTime, 0.0F);
        EXPECT_EQ(d.state.ExitClearTime, 0.0F);
    }
}

struct StoredCase {
    Typed typed;
    std::int16_t length;
    std::int16_t speed;
    float entrance;
    float exit;
    float grade;
    float accel;
    double effective;
};

const StoredCase kStoredCases[] = {
    {kFirstCase, 65, 22, 11.0F, 77.0F, 0.0F, 0.5F, 0.5},
    {{"1.5", "0.5", "1", "64.5", "0.4", "-0"},
     64,
     2,
     0.4F,
     -0.0F,
     1.0F,
     0.5F,
     static_cast<double>(0.5F) - static_cast<double>(1.0F) * 0.322},
    {{"-22", "1 0", "1.2.3", "65.5", "11.5", "77"},
     66,
     -22,
     11.5F,
     77.0F,
     1.2F,
     10.0F,
     10.0 - static_cast<double>(1.2F) * 0.322},
    // Lengths and speeds the fields cannot hold are stored as 0.
    {{"40000", "0.5", "0", "-32769", "11", "77"}, 0, 0, 11.0F, 77.0F, 0.0F, 0.5F, 0.5},
    {{"-32768.5", "0.5", "0", "32767.4", "11", "77"}, 32767, -32768, 11.0F, 77.0F, 0.0F, 0.5F, 0.5},
};

TEST(CompuCheckTest, StoresTheInputs) {
    for (const StoredCase& c : kStoredCases) {
        SCOPED_TRACE(std::string("length text ") + c.typed.length);
        ModelDriver d;
        d.Type(c.typed);
        EXPECT_EQ(d.state.VehicleLength, c.length);
        EXPECT_EQ(d.state.CrossingSpeed, c.speed);
        EXPECT_EQ(d.state.EntryGateDistance, c.entrance);
        EXPECT_EQ(d.state.ExitGateDistance, c.exit);
        EXPECT_EQ(d.state.GradePercent, c.grade);
        EXPECT_EQ(d.state.LevelAccel, c.accel);
        EXPECT_EQ(d.state.AccelAt[0], c.effective);
    }
}

TEST(CompuCheckTest, EveryPassClearsTheResults) {
    const Typed edits[] = {WithGrade("1"), WithLength("0"), WithExit("436"), WithGrade("1e999")};
    for (const Typed& edit : edits) {
        SCOPED_TRACE(std::string("edit to length ") + edit.length + ", grade " + edit.grade);
        ModelDriver d;
        d.Type(kFirstCase);
        d.PressCompute();
        ASSERT_EQ(d.Show().entryPass, "16.5");
        ASSERT_NE(d.state.ExitClearTime, 0.0F);
        d.Type(edit);
        EXPECT_EQ(d.Show().entryPass, " ");
        EXPECT_EQ(d.Show().exitPass, " ");
        EXPECT_EQ(d.state.EntryClearTime, 0.0F);
        EXPECT_EQ(d.state.ExitClearTime, 0.0F);
    }
}

TEST(CompuCheckTest, ReadsOnlyTheSixInputs) {
    ModelDriver d;
    d.window.texts[std::string(ctl::txtLocation)] = "Main St";
    d.window.texts[std::string(ctl::txtDirection)] = "north";
    d.Type(kFirstCase);
    EXPECT_EQ(d.window.Text(ctl::txtLocation), "Main St");
    EXPECT_EQ(d.window.Text(ctl::txtDirection), "north");
    EXPECT_EQ(d.window.writes.count(std::string(ctl::txtSpd)), 0U);
    EXPECT_TRUE(d.window.messages.empty());
    EXPECT_EQ(d.window.beeps, 0);
}

} // namespace
} // namespace korvane
