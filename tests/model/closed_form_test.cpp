// An independent check of the stepping: the program's foot-by-foot times against the exact
// solution of the same vehicle model; and that model's solution from a standstill (at the end).
//
// The model: the acceleration falls off linearly with speed, a(v) = a0 (1 - v / vmax), from the
// effective acceleration a0 at standstill to zero at vmax (the crossing speed in ft/s as the
// program rounds it, MaxSpeedFps), starting at v0 = 1 ft/s. Its exact solution is
//     v(t) = vmax - (vmax - v0) e^(-a0 t / vmax)
//     x(t) = vmax t - (vmax - v0) (vmax / a0) (1 - e^(-a0 t / vmax))
// and the time T(d) at which the front has advanced d ft is found by bisection on x(t) = d.
//
// The stepping is Euler's method in distance with a step of one foot: each step takes the
// speed at its start for the whole foot (time += 1 / v) and the acceleration at that speed.
// Its error is of first order in the step and is largest over the first feet, where the speed
// changes most within one foot; it is not small (up to about 0.64 s with 10 ft/s/s, see
// docs/accuracy.md), so a plain "close enough" tolerance would either be loose or arbitrary.
// Instead the test asserts bounds that follow from the scheme:
//
// 1. Speed. Within a foot the true speed only grows, and the step uses the largest
//    acceleration of that foot (the one at its start), so the stepped speed never falls
//    behind the exact speed at the same distance: SpeedAt[i] >= v(T(i)).
// 2. Time, from above. With 1, TimeAt[d] = sum over i < d of 1 / SpeedAt[i] is at most
//    L(d) = sum over i < d of 1 / v(T(i)), the left sum of the exact slowness over the same
//    one-foot steps. L(d) - T(d) is the step error of a left sum of a falling function, at
//    most 1/v0 - 1/v(T(d)) < 1 s, and it shrinks with the step.
// 3. Time, from below. The stepping never arrives earlier than the exact vehicle: TimeAt[d] >=
//    T(d). This is measured over the whole grid rather than derived: where the error has died
//    out (slow crossing speeds far from the stop line) the two agree to about 1E-14 s.
//
// Both time bounds allow 1E-9 s for the rounding of 500 double additions and of the bisection.
// A wrong stepping fails them: a time step taken with the speed at the step's end falls below
// T(d); an acceleration that does not fall off with speed, or falls off towards the crossing
// speed in mph instead of ft/s, or that ignores the grade, moves the speeds and times by far more
// than the gap between T(d) and L(d); a speed update that skips the acceleration falls behind
// v(T(i)). The exact texts and table entries of single cases are the business of the
// passage-time tests; this test checks the model behind them over the whole advisory range.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "closed_form.h"
#include "fake_window.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace korvane {
namespace {

constexpr double kRounding = 1e-9; // s

using accuracy::ClosedForm;

struct Stepped {
    CalculatorState state;
    fake::FakeWindow window;
};

// Types the inputs, runs the readiness pass and presses Compute.
void Compute(Stepped& run, int mph, const std::string& accel, const std::string& grade, int length,
             int entrance, int exit) {
    run.window.texts[std::string(ctl::txtSpd)] = std::to_string(mph);
    run.window.texts[std::string(ctl::txtAccel)] = accel;
    run.window.texts[std::string(ctl::txtGrade)] = grade;
    run.window.texts[std::string(ctl::txtLength)] = std::to_string(length);
    run.window.texts[std::string(ctl::txtEntryPos)] = std::to_string(entrance);
    run.window.texts[std::string(ctl::txtExitPos)] = std::to_string(exit);
    CompuCheck(run.state, run.window);
    ASSERT_TRUE(run.window.IsEnabled(ctl::Command1));
    ComputePassageTimes(run.state, run.window);
}

void ExpectWithinBounds(const Stepped& run, const ClosedForm& exact, int lastStep) {
    for (int d = 1; d <= lastStep; ++d) {
        const double time = run.state.TimeAt[d];
        ASSERT_GE(run.state.SpeedAt[d], exact.Speed(d) * (1 - 1e-12)) << "speed at " << d << " ft";
        ASSERT_GE(time, exact.Time(d) - kRounding) << "time at " << d << " ft";
        ASSERT_LE(time, exact.LeftSum(d) + kRounding) << "time at " << d << " ft";
    }
}

// Level and graded approaches: level acceleration / grade, all inside the advisory ranges and
// with a positive effective acceleration.
struct Approach {
    const char* accel;
    const char* grade;
};
constexpr Approach kApproaches[] = {
    {"0.25", "0"}, {"0.5", "0"}, {"0.75", "0"}, {"1", "0"},     {"1.5", "0"}, {"2", "0"},
    {"3", "0"},    {"5", "0"},   {"7.5", "0"},  {"10", "0"},    {"0.5", "1"}, {"1", "-5"},
    {"2", "5"},    {"10", "-5"}, {"10", "5"},   {"0.3", "0.1"},
};

constexpr int kLengths[] = {10, 37, 65, 120};
constexpr int kEntrances[] = {2, 11, 25, 40};
constexpr int kExits[] = {20, 77, 200, 380, 490, 500};

class ClosedFormTest : public ::testing::TestWithParam<int> {};

// For one crossing speed: every approach, every length and gate pair whose last step fits
// the tables, every table entry up to the last step.
TEST_P(ClosedFormTest, SteppedTimesLieBetweenExactTimeAndItsLeftSum) {
    const int mph = GetParam();
    for (const Approach& approach : kApproaches) {
        SCOPED_TRACE(std::string("accel ") + approach.accel + ", grade " + approach.grade);
        // The whole table once, with the last step at 500.
        Stepped full;
        Compute(full, mph, approach.accel, approach.grade, 120, 40, 380);
        const double a0 = full.state.AccelAt[0];
        ASSERT_GT(a0, 0.0);
        const ClosedForm exact(full.state.MaxSpeedFps, a0);
        ExpectWithinBounds(full, exact, 500);

        for (const int length : kLengths) {
            for (const int entrance : kEntrances) {
                for (const int exit : kExits) {
                    // The last step must fit the tables, and the entrance come before it.
                    if (length + exit > StepTable::kLastIndex || entrance > exit) {
                        continue;
                    }
                    SCOPED_TRACE("length " + std::to_string(length) + ", gates " +
                                 std::to_string(entrance) + " / " + std::to_string(exit));
                    Stepped run;
                    Compute(run, mph, approach.accel, approach.grade, length, entrance, exit);
                    const int entryStep = length + entrance;
                    const int lastStep = length + exit;
                    ASSERT_EQ(run.state.AccelAt[0], a0);
                    ExpectWithinBounds(run, exact, lastStep);
                    // The shown clear times are those table entries.
                    EXPECT_GE(run.state.EntryClearTime, exact.Time(entryStep) - 1e-5);
                    EXPECT_LE(run.state.EntryClearTime, exact.LeftSum(entryStep) + 1e-5);
                    EXPECT_GE(run.state.ExitClearTime, exact.Time(lastStep) - 1e-5);
                    EXPECT_LE(run.state.ExitClearTime, exact.LeftSum(lastStep) + 1e-5);
                }
            }
        }
    }
}

// 5 to 35 mph, the advisory range of the speed box.
INSTANTIATE_TEST_SUITE_P(Speeds, ClosedFormTest, ::testing::Range(5, 36));

// The same law from a standstill, against which docs/accuracy.md measures the start from
// 1 ft/s. The stepping cannot start at 0 ft/s (its first step would take 1 / 0 s), so the
// solution from a standstill is checked where it must agree with the one from 1 ft/s: it reaches
// 1 ft/s after t1, x1 ft past the stop line, and from then on moves as the vehicle from 1 ft/s,
// so T_rest(X) = t1 + T_1(X - x1), which also puts T_rest(X) - t1 at or before the stepped time
// at X. Each row's time was worked out separately in 40-digit arithmetic (bisection on
// x(t) = X), for the crossing speed in ft/s and the acceleration as the program holds them.
struct StandstillRow {
    int mph;
    const char* accel;
    int distance; // ft
    double time;  // s, from a standstill
};
constexpr StandstillRow kStandstill[] = {
    {22, "0.5", 2, 2.849},     {22, "0.5", 76, 18.265}, {22, "0.5", 142, 25.408},
    {22, "1", 142, 18.471},    {22, "3.8", 76, 7.226},  {5, "0.25", 100, 33.960},
    {35, "0.25", 300, 51.032}, {35, "10", 500, 14.613},
};

TEST(StandstillTest, ReachesOneFootPerSecondAndThenMovesAsTheVehicleFromIt) {
    for (const StandstillRow& row : kStandstill) {
        SCOPED_TRACE(std::to_string(row.mph) + " mph, accel " + row.accel + ", " +
                     std::to_string(row.distance) + " ft");
        Stepped run;
        Compute(run, row.mph, row.accel, "0", 120, 40, 380);
        const double vmax = run.state.MaxSpeedFps;
        const double a0 = run.state.AccelAt[0];
        const accuracy::Motion rest(vmax, a0, 0.0);
        const accuracy::Motion fromStopLine(vmax, a0, accuracy::kStopLineSpeed);
        const accuracy::StopLineSpeedFromRest start = accuracy::ReachStopLineSpeed(vmax, a0);

        EXPECT_NEAR(rest.SpeedAtTime(start.time), accuracy::kStopLineSpeed, 1e-12);
        EXPECT_NEAR(rest.DistanceAtTime(start.time), start.distance, 1e-9);
        const double time = rest.TimeAtDistance(row.distance);
        EXPECT_NEAR(time, start.time + fromStopLine.TimeAtDistance(row.distance - start.distance),
                    1e-9);
        EXPECT_LE(time - start.time, run.state.TimeAt[row.distance] + kRounding);
        EXPECT_NEAR(time, row.time, 0.01);
    }
}

} // namespace
} // namespace korvane
