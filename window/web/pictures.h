#pragma once

#include <cstddef>
#include <string_view>

#include "window/layout.h"

// The window's pictures, built into the page as bytes (window/images).
namespace korvane::web {

struct PictureBytes {
    const unsigned char* bytes;
    std::size_t size;
    std::string_view type; // the image's MIME type
};

// The bytes of a picture of the layout; none for Picture::None.
PictureBytes BytesOf(layout::Picture picture);

} // namespace korvane::web
