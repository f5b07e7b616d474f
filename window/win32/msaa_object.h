#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The object a window of the program hands to screen readers. They read a program through
// Microsoft Active Accessibility (MSAA, oleacc.dll), asking each window for the object of its
// client area with WM_GETOBJECT. Each window of Korvane answers with the system's own object for
// it, which knows the window's text, caret, state and place, with a presentation laid over it of
// only what the system cannot know: the name a box is read by (the caption the window draws
// beside it), its advisory text as description and as help, the role of a picture, the frame and
// the button, and the captions and the locomotive the window draws itself, as children. What each
// window presents is decided in accessibility.cpp.
namespace korvane::win32 {

// IAccessible's interface id. mingw-w64's oleacc library has a symbol of that name that is not
// the GUID itself, so the program spells it out.
inline constexpr IID kIAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Something the window draws itself (a caption, the locomotive), presented as a child of the
// object of the window that draws it.
struct DrawnChild {
    std::wstring name;
    long role;
    RECT rect; // in the client coordinates of the window that draws it
};

// What a screen reader is told of one window of the program beyond what the system says.
struct Presentation {
    std::wstring name;        // empty: the system's
    std::wstring description; // empty: the system's
    std::wstring help;        // empty: the system's; UI Automation's HelpText comes from here
    long role = 0;            // an MSAA role (ROLE_SYSTEM_...); 0: the system's
    bool isDefault = false;   // the default push button, which Enter presses
    // What a screen reader's default action does, named ("Press"): the window's own click.
    // Empty: the system's.
    std::wstring defaultAction;
    std::vector<DrawnChild> drawn;
};

// The answer to WM_GETOBJECT: for the client area (OBJID_CLIENT), the system's object for the
// window with the presentation laid over it. 0 for any other object, and when the system's
// accessibility library is missing; the window procedure then passes the message on.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, Presentation presentation);

} // namespace korvane::win32
