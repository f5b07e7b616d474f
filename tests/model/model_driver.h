#pragma once

#include <string>

#include "fake_window.h"
#include "model/calculator_state.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace korvane::fake {

// The six numeric inputs as typed: speed / level acceleration / grade / length / entrance
// distance / exit distance.
struct Typed {
    const char* speed;
    const char* accel;
    const char* grade;
    const char* length;
    const char* entrance;
    const char* exit;
};

// The first worked case: 22 mph, 0.5 ft/s/s, level, 65 ft vehicle, gates at 11 and 77 ft.
inline constexpr Typed kFirstCase{"22", "0.5", "0", "65", "11", "77"};

// What the window shows after a readiness pass (and a press of Compute when it is enabled).
struct Shown {
    std::string effAccel;
    std::string entryPass;
    std::string exitPass;
    bool computeEnabled = false;
};

// A window with its state, driven as the user drives it: the texts are typed into the boxes,
// a readiness pass runs, and Compute is pressed when it is enabled.
class ModelDriver {
public:
    void Type(const Typed& in) {
        window.texts[std::string(ctl::txtSpd)] = in.speed;
        window.texts[std::string(ctl::txtAccel)] = in.accel;
        window.texts[std::string(ctl::txtGrade)] = in.grade;
        window.texts[std::string(ctl::txtLength)] = in.length;
        window.texts[std::string(ctl::txtEntryPos)] = in.entrance;
        window.texts[std::string(ctl::txtExitPos)] = in.exit;
        CompuCheck(state, window);
    }

    // Presses Compute; a disabled button delivers no click.
    void PressCompute() {
        if (window.IsEnabled(ctl::Command1)) {
            ComputePassageTimes(state, window);
        }
    }

    Shown Show() const {
        return {window.Text(ctl::txtEffAccel), window.Text(ctl::txtEntryPass),
                window.Text(ctl::txtExitPass), window.IsEnabled(ctl::Command1)};
    }

    CalculatorState state;
    FakeWindow window;
};

} // namespace korvane::fake
