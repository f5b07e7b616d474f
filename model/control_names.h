#pragma once

#include <string_view>

// Control names of the window, shared by the model, the checks and the Qt window.
namespace korvane::ctl {

inline constexpr std::string_view txtSpd = "txtSpd";
inline constexpr std::string_view txtAccel = "txtAccel";
inline constexpr std::string_view txtGrade = "txtGrade";
inline constexpr std::string_view txtLength = "txtLength";
inline constexpr std::string_view txtEntryPos = "txtEntryPos";
inline constexpr std::string_view txtExitPos = "txtExitPos";
inline constexpr std::string_view txtEffAccel = "txtEffAccel";
inline constexpr std::string_view txtEntryPass = "txtEntryPass";
inline constexpr std::string_view txtExitPass = "txtExitPass";
inline constexpr std::string_view txtLocation = "txtLocation";
inline constexpr std::string_view txtDirection = "txtDirection";
inline constexpr std::string_view Command1 = "Command1";

} // namespace korvane::ctl
