#pragma once

// Conversions between the layout table's terms and Qt's, shared by the files of the Qt window.

#include <QColor>
#include <QRect>
#include <QString>

#include <string_view>

#include "window/layout.h"

namespace korvane::qt {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Twips to pixels at the 96 dpi the window is laid out for.
constexpr int px(int twips) {
    return layout::Pixels(twips);
}

inline QRect rectOf(const layout::Place& place) {
    return {px(place.left), px(place.top), px(place.width), px(place.height)};
}

inline QColor toQt(layout::Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

} // namespace korvane::qt
