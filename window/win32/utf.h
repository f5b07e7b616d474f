#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text crosses between the model (UTF-8) and Windows (UTF-16) here, and nowhere else.
namespace korvane::win32 {

// Both conversions hand Windows at most this many code units at a time, so that texts longer
// than an int can count convert as well; a character is never split between two pieces.
inline constexpr std::size_t kConversionPiece = std::size_t{1} << 16;

// UTF-16 to UTF-8. A surrogate without its partner, which an edit box holds when one half of
// a pair was typed or pasted alone, becomes the three-byte form of its code point (as in
// "WTF-8"), so that Widen(Narrow(text)) == text for every UTF-16 text: nothing typed is lost.
std::string Narrow(std::wstring_view text);

// UTF-8 to UTF-16. The three-byte form of a surrogate code point that Narrow writes turns back
// into that surrogate; every other malformed byte sequence becomes U+FFFD.
std::wstring Widen(std::string_view text);

} // namespace korvane::win32
