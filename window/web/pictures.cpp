#include "pictures.h"

#include "picture_bytes.h" // made by embed.cmake

namespace korvane::web {

PictureBytes BytesOf(layout::Picture picture) {
    switch (picture) {
    case layout::Picture::Signal:
        return {embedded::kSignal, sizeof embedded::kSignal, "image/jpeg"};
    case layout::Picture::Truck:
        return {embedded::kTruck, sizeof embedded::kTruck, "image/gif"};
    case layout::Picture::Locomotive:
        return {embedded::kLocomotive, sizeof embedded::kLocomotive, "image/gif"};
    case layout::Picture::None:
        break;
    }
    return {nullptr, 0, {}};
}

} // namespace korvane::web
