#pragma once

#include <windows.h>

#include "window/layout.h"
#include "window/win32/gdi.h"

namespace korvane::win32 {

// The window's two fonts at one number of dots per inch: the default font of every caption and
// box, and the description's own. Made anew when the dots per inch change.
class Fonts {
public:
    Fonts() = default;
    explicit Fonts(UINT dpi);

    // The font a caption or box is drawn in.
    HFONT For(const layout::Control& control) const;
    HFONT Default() const { return default_.Get(); }

private:
    Gdi<HFONT> default_;
    Gdi<HFONT> description_;
};

} // namespace korvane::win32
