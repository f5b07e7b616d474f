#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace korvane {

// One table of the stepping computation: entries 0 to 500. Entry 0 of the time and speed
// tables is written as the integers 0 and 1, which take part in the arithmetic as their exact
// doubles, so every entry is held as a double.
struct StepTable {
    static constexpr int kLastIndex = 500;
    static constexpr int kSize = kLastIndex + 1;

    std::array<double, kSize> Entry{};

    double& operator[](int i) { return Entry.at(static_cast<std::size_t>(i)); }
    double operator[](int i) const { return Entry.at(static_cast<std::size_t>(i)); }
};

// The window's one state record. Created zeroed with the window and kept as long as it lives.
struct CalculatorState {
    StepTable SpeedAt;              // ft/s, speed after step i
    StepTable AccelAt;              // ft/s/s; entry 0 is the effective acceleration
    StepTable TimeAt;               // s, time when the front has advanced i ft
    std::int16_t MaxSpeedFps = 0;   // ft/s, the crossing speed in feet per second
    std::int16_t CrossingSpeed = 0; // mph
    std::int16_t StepIndex = 0;     // counter of the stepping loop
    std::int16_t VehicleLength = 0; // ft
    float EntryClearTime = 0.0F;    // s, rear of the vehicle past the entrance gate
    float ExitClearTime = 0.0F;     // s, rear of the vehicle past the exit gate
    bool InputsInvalid = false;     // a readiness rule failed in the last readiness pass
    bool RangeOk = false;           // the last range check found no violation
    float GradePercent = 0.0F;      // percent; positive grades lower the acceleration
    float LevelAccel = 0.0F;        // ft/s/s on level grade
    float EntryGateDistance = 0.0F; // ft, stop line to entrance gate
    float ExitGateDistance = 0.0F;  // ft, stop line to exit gate
    std::string RangeMessage;       // text of the last failed range check
};

} // namespace korvane
