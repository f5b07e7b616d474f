#pragma once

#include <windows.h>

// The window classes of the program and the messages it posts to itself.
namespace korvane::win32 {

inline constexpr wchar_t kWindowClass[] = L"Korvane";
inline constexpr wchar_t kPictureClass[] = L"KorvanePicture";

// Posted when a control of the window has taken the focus; wParam holds its Order. The wiring
// then decides whether a box was left. Posted rather than run at once: no window may be shown
// while the focus is changing, and a posted message still comes before the next key or click
// is taken.
inline constexpr UINT kFocusMoved = WM_APP + 1;

// Posted once the window has first been drawn: the pictures are decoded and drawn then.
inline constexpr UINT kLoadPictures = WM_APP + 2;

} // namespace korvane::win32
