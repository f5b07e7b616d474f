#include "window/win32/colours.h"

namespace korvane::win32 {

namespace {

COLORREF ToColorRef(layout::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

layout::Rgb ToRgb(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

} // namespace

Colours::Colours() : resultBack_(CreateSolidBrush(ToColorRef(layout::kResultBack))) {
    Read();
}

// The result text is the scheme's window-text colour where it is readable on the fixed cyan,
// black or white where it is not (the white text of a dark scheme).
void Colours::Read() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    highContrast_ =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    resultText_ =
        ToColorRef(layout::ReadableOn(layout::kResultBack, ToRgb(GetSysColor(COLOR_WINDOWTEXT))));
}

// The result boxes are light cyan, also while read-only or disabled.
HBRUSH Colours::ResultBox(HDC dc) const {
    if (highContrast_) {
        return nullptr;
    }
    SetBkColor(dc, ToColorRef(layout::kResultBack));
    SetTextColor(dc, resultText_);
    return resultBack_.Get();
}

} // namespace korvane::win32
