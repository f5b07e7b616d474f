#pragma once

#include <windows.h>

#include <array>

#include "window/layout.h"
#include "window/win32/com.h"
#include "window/win32/gdi.h"

struct IWICImagingFactory;

namespace korvane::win32 {

// A picture decoded from one of the program's resources, held as a 32-bit top-down DIB.
class Picture {
public:
    Picture() = default;
    Picture(HBITMAP bitmap, int width, int height)
        : bitmap_(bitmap), width_(width), height_(height) {}

    bool Empty() const { return bitmap_.Get() == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Draws the whole picture into the rectangle, smoothly scaled when its size differs.
    void Draw(HDC dc, const RECT& target) const;

private:
    Gdi<HBITMAP> bitmap_;
    int width_ = 0;
    int height_ = 0;
};

// Decodes pictures from the program's resources with the Windows Imaging Component that every
// Windows since XP SP3 has. COM is initialised while the decoder lives, and only then.
class PictureDecoder {
public:
    PictureDecoder();
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // The RCDATA resource of that id (a JPEG or a GIF) decoded; an empty picture when the
    // resource is missing or cannot be decoded.
    Picture Load(HMODULE module, int id);

private:
    ComApartment com_;
    IWICImagingFactory* factory_ = nullptr;
};

// The pictures of the layout, each empty until they are loaded.
class Pictures {
public:
    // Decodes every picture from the module's resources; true the first time, false once they
    // have been loaded already.
    bool Load(HMODULE module);
    const Picture& Of(layout::Picture picture) const {
        return pictures_[static_cast<std::size_t>(picture)];
    }

private:
    // By layout::Picture; the one of Picture::None stays empty.
    std::array<Picture, 4> pictures_;
    bool loaded_ = false;
};

} // namespace korvane::win32
