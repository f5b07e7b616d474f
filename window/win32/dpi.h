#pragma once

#include <windows.h>

#include "window/layout.h"

// Dots per inch: the window scales every place, size and font of the layout to the dots per
// inch of the monitor it stands on.
namespace korvane::win32 {

// The style of the main window, which its outer size depends on.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// The system's dots per inch, and those of the monitor a window stands on (the system's before
// Windows 10 1607).
UINT SystemDpi();
UINT WindowDpi(HWND hwnd);

// The outer size of the main window whose client area is the layout's at that dpi.
SIZE WindowSize(UINT dpi);

// A length in twips in pixels at that dpi.
int Scale(int twips, UINT dpi);

// Where a control stands in its container at that dpi, each edge scaled on its own so that
// controls that meet in twips meet on screen; for a line, its two end points, from the first to
// the second.
RECT Scaled(const layout::Control& control, UINT dpi);

} // namespace korvane::win32
