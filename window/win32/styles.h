#pragma once

#include <windows.h>

#include "window/layout.h"

// How the layout's alignment becomes the style of an edit and the flags of text the window
// draws itself, the same for both.
namespace korvane::win32 {

struct Alignment {
    DWORD edit; // ES_...
    UINT drawn; // DT_...
};

constexpr Alignment AlignmentOf(layout::Align align) {
    return align == layout::Align::Right    ? Alignment{ES_RIGHT, DT_RIGHT}
           : align == layout::Align::Centre ? Alignment{ES_CENTER, DT_CENTER}
                                            : Alignment{ES_LEFT, DT_LEFT};
}

} // namespace korvane::win32
