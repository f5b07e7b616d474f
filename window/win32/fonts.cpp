#include "window/win32/fonts.h"

#include "window/win32/utf.h"

namespace korvane::win32 {

namespace {

// A font of the layout at that dpi, its height rounded to the nearest pixel.
HFONT MakeFont(const layout::FontFace& font, UINT dpi, BYTE charset) {
    // A negative height asks for the height of the characters themselves, as points measure.
    const int height = -layout::FontPixels(font, static_cast<int>(dpi));
    return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, Widen(font.face).c_str());
}

} // namespace

Fonts::Fonts(UINT dpi)
    : default_(MakeFont(layout::kDefaultFont, dpi, DEFAULT_CHARSET)),
      description_(MakeFont(layout::kDescriptionFont, dpi, ANSI_CHARSET)) {}

HFONT Fonts::For(const layout::Control& control) const {
    return &layout::FontOf(control) == &layout::kDescriptionFont ? description_.Get()
                                                                 : default_.Get();
}

} // namespace korvane::win32
