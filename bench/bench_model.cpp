#include <benchmark/benchmark.h>

#include <string>

#include "fake_window.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace {

using korvane::CalculatorState;
using korvane::fake::FakeWindow;
namespace ctl = korvane::ctl;

void Type(FakeWindow& window, const char* speed, const char* accel, const char* grade,
          const char* length, const char* entrance, const char* exit) {
    window.SetText(ctl::txtSpd, speed);
    window.SetText(ctl::txtAccel, accel);
    window.SetText(ctl::txtGrade, grade);
    window.SetText(ctl::txtLength, length);
    window.SetText(ctl::txtEntryPos, entrance);
    window.SetText(ctl::txtExitPos, exit);
}

// One readiness pass over the first worked case (22 / 0.5 / 0 / 65 / 11 / 77).
void BM_CompuCheck(benchmark::State& bench) {
    CalculatorState state;
    FakeWindow window;
    Type(window, "22", "0.5", "0", "65", "11", "77");
    for (auto _ : bench) {
        korvane::CompuCheck(state, window);
        benchmark::DoNotOptimize(state.AccelAt[0]);
    }
}
BENCHMARK(BM_CompuCheck);

// One press of Compute at the table limit: 35 / 10 / 0 / 120 / 40 / 380 runs 500 steps.
void BM_ComputePassageTimes(benchmark::State& bench) {
    CalculatorState state;
    FakeWindow window;
    Type(window, "35", "10", "0", "120", "40", "380");
    korvane::CompuCheck(state, window);
    if (!window.IsEnabled(ctl::Command1)) {
        bench.SkipWithError("the 500-step inputs are not ready");
        return;
    }
    for (auto _ : bench) {
        korvane::ComputePassageTimes(state, window);
        benchmark::DoNotOptimize(state.ExitClearTime);
    }
    bench.counters["steps"] = benchmark::Counter(500.0 * static_cast<double>(bench.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ComputePassageTimes);

} // namespace

BENCHMARK_MAIN();
