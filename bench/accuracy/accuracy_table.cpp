// Prints the table of docs/accuracy.md: how far the program's stepped times lie from the exact
// solution of its vehicle model, for representative speeds, accelerations and distances.
// Regenerate with
//     cmake --build build --target korvane_accuracy_table &&
//     build/bench/korvane_accuracy_table
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "closed_form.h"
#include "fake_window.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace {

using namespace korvane;

std::string Fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

void Print(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int main() {
    Print("| Speed (mph) | vmax (ft/s) | Accel. (ft/s/s) | Distance (ft) | Stepped (s) | "
          "Exact (s) | Difference (s) | Relative |");
    Print("|---:|---:|---:|---:|---:|---:|---:|---:|");
    double worstAbs = 0.0;
    double worstRel = 0.0;
    for (const int mph : {5, 20, 35}) {
        for (const char* accel : {"0.25", "1", "10"}) {
            // The last step at 500 ft: length 120 and exit 380.
            CalculatorState state;
            fake::FakeWindow window;
            window.texts[std::string(ctl::txtSpd)] = std::to_string(mph);
            window.texts[std::string(ctl::txtAccel)] = accel;
            window.texts[std::string(ctl::txtGrade)] = "0";
            window.texts[std::string(ctl::txtLength)] = "120";
            window.texts[std::string(ctl::txtEntryPos)] = "40";
            window.texts[std::string(ctl::txtExitPos)] = "380";
            CompuCheck(state, window);
            ComputePassageTimes(state, window);
            const accuracy::ClosedForm exact(state.MaxSpeedFps, state.AccelAt[0]);
            for (const int d : {100, 300, 500}) {
                const double stepped = state.TimeAt[d];
                const double difference = stepped - exact.Time(d);
                const double relative = difference / exact.Time(d);
                worstAbs = std::fmax(worstAbs, std::fabs(difference));
                worstRel = std::fmax(worstRel, std::fabs(relative));
                Print("| " + std::to_string(mph) + " | " + std::to_string(state.MaxSpeedFps) +
                      " | " + accel + " | " + std::to_string(d) + " | " + Fixed(stepped, 3) +
                      " | " + Fixed(exact.Time(d), 3) + " | " + Fixed(difference, 3) + " | " +
                      Fixed(100.0 * relative, 2) + " % |");
            }
        }
    }
    Print("");
    Print("Largest difference in the table: " + Fixed(worstAbs, 3) +
          " s; largest relative: " + Fixed(100.0 * worstRel, 2) + " %.");
    return 0;
}
