#pragma once

#include <windows.h>

struct IWICImagingFactory;

namespace korvane::win32 {

// A picture decoded from one of the program's resources, held as a 32-bit top-down DIB.
class Picture {
public:
    Picture() = default;
    Picture(HBITMAP bitmap, int width, int height)
        : bitmap_(bitmap), width_(width), height_(height) {}
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool Empty() const { return bitmap_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Draws the whole picture into the rectangle, smoothly scaled when its size differs.
    void Draw(HDC dc, const RECT& target) const;

private:
    HBITMAP bitmap_ = nullptr;
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
    HRESULT com_;
    IWICImagingFactory* factory_ = nullptr;
};

} // namespace korvane::win32
