#include "window/win32/pictures.h"

#include <wincodec.h>

#include <cstring>

#include "window/win32/resource.h"

namespace korvane::win32 {

namespace {

// The decoder for the picture's format, known by its first bytes: a GIF or else a JPEG. Made
// directly rather than found by the factory, which would read every decoder's patterns from the
// registry for each picture.
const CLSID& DecoderFor(const void* data, DWORD size) {
    return size >= 3 && std::memcmp(data, "GIF", 3) == 0 ? CLSID_WICGifDecoder
                                                         : CLSID_WICJpegDecoder;
}

Picture Decode(IWICImagingFactory* factory, const void* data, DWORD size) {
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (factory == nullptr || FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) ||
        FAILED(CoCreateInstance(DecoderFor(data, size), nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICBitmapDecoder, reinterpret_cast<void**>(decoder.Out()))) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
        width == 0 || height == 0 || width > 0x4000 || height > 0x4000 ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return {};
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down, as WIC delivers rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return {};
    }
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return {};
    }
    return {bitmap, static_cast<int>(width), static_cast<int>(height)};
}

} // namespace

void Picture::Draw(HDC dc, const RECT& target) const {
    if (Empty()) {
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap_.Get());
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width == width_ && height == height_) {
        BitBlt(dc, target.left, target.top, width, height, source, 0, 0, SRCCOPY);
    } else {
        // Halftone averages the source pixels that fall on each target pixel.
        const int mode = SetStretchBltMode(dc, HALFTONE);
        POINT origin{};
        SetBrushOrgEx(dc, 0, 0, &origin);
        StretchBlt(dc, target.left, target.top, width, height, source, 0, 0, width_, height_,
                   SRCCOPY);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        SetStretchBltMode(dc, mode);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

PictureDecoder::PictureDecoder() {
    com_.Start();
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory_)))) {
        factory_ = nullptr;
    }
}

PictureDecoder::~PictureDecoder() {
    if (factory_ != nullptr) {
        factory_->Release();
    }
}

Picture PictureDecoder::Load(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (data == nullptr || size == 0) {
        return {};
    }
    return Decode(factory_, data, size);
}

bool Pictures::Load(HMODULE module) {
    if (loaded_) {
        return false;
    }
    loaded_ = true;
    struct Resource {
        layout::Picture picture;
        int id;
    };
    constexpr Resource resources[] = {{layout::Picture::Signal, KORVANE_IDR_SIGNAL},
                                      {layout::Picture::Truck, KORVANE_IDR_TRUCK},
                                      {layout::Picture::Locomotive, KORVANE_IDR_LOCOMOTIVE}};
    PictureDecoder decoder;
    for (const Resource& resource : resources) {
        pictures_[static_cast<std::size_t>(resource.picture)] = decoder.Load(module, resource.id);
    }
    return true;
}

} // namespace korvane::win32
