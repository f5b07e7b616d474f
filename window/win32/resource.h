#pragma once

// Resource identifiers of the program, shared by korvane.rc and the window.
#define KORVANE_IDI_ICON 1
#define KORVANE_IDR_SIGNAL 101
#define KORVANE_IDR_TRUCK 102
#define KORVANE_IDR_LOCOMOTIVE 103
