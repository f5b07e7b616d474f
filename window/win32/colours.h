#pragma once

#include <windows.h>

#include "window/layout.h"
#include "window/win32/gdi.h"

namespace korvane::win32 {

// The colours of what the window draws and of the result boxes, from the system's colour
// scheme: captions in the text colour of the face they are drawn on, lines in the window-text
// colour, the result boxes light cyan with the window-text colour where it is readable there.
class Colours {
public:
    Colours();

    // Reads the scheme again: high contrast switched on or off, or other colours.
    void Read();

    // For WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC of a result box: its colours set into the
    // device context, and the brush of its background; nullptr with high contrast on, when
    // every box keeps the system's colours, as Windows asks of every program.
    HBRUSH ResultBox(HDC dc) const;

    static COLORREF Caption() { return GetSysColor(COLOR_BTNTEXT); }
    static COLORREF Line() { return GetSysColor(COLOR_WINDOWTEXT); }
    static HBRUSH Face() { return GetSysColorBrush(COLOR_BTNFACE); }
    // The background of a picture box.
    static HBRUSH Back(layout::Back back) {
        return GetSysColorBrush(back == layout::Back::Menu ? COLOR_MENU : COLOR_BTNFACE);
    }

private:
    Gdi<HBRUSH> resultBack_;
    bool highContrast_ = false;
    COLORREF resultText_ = 0;
};

} // namespace korvane::win32
