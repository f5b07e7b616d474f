#pragma once

#include <cstdint>

#include "model/window_ops.h"

namespace korvane {

// The keystroke filter of the numeric boxes: digits, "-", "." and backspace (code 8) pass
// unchanged; every other character code is set to 0, which discards it, with one beep.
void NumOnly(WindowOps& window, std::int16_t& KeyAscii);

} // namespace korvane
