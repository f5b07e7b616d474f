#include "window/win32/utf.h"

#include <windows.h>

namespace korvane::win32 {

namespace {

bool IsHigh(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Three bytes ED A0..BF 80..BF: a surrogate code point in the form Narrow writes it. Valid
// UTF-8 never holds them (after ED its second byte is below A0).
bool IsSurrogateForm(std::string_view text, std::size_t at) {
    return at + 2 < text.size() && static_cast<unsigned char>(text[at]) == 0xED &&
           (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0xA0 &&
           (static_cast<unsigned char>(text[at + 2]) & 0xC0) == 0x80;
}

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Well-formed UTF-16 (no lone surrogate), at most kConversionPiece units.
void AppendNarrow(std::string& out, std::wstring_view piece) {
    const int units = static_cast<int>(piece.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, piece.data(), units, nullptr, 0, nullptr, nullptr);
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, piece.data(), units, out.data() + at, bytes, nullptr, nullptr);
}

// UTF-8 without the surrogate form, at most kConversionPiece bytes; malformed bytes become
// U+FFFD.
void AppendWide(std::wstring& out, std::string_view piece) {
    const int bytes = static_cast<int>(piece.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, piece.data(), bytes, nullptr, 0);
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(units));
    MultiByteToWideChar(CP_UTF8, 0, piece.data(), bytes, out.data() + at, units);
}

} // namespace

// Windows' own conversion would turn a lone surrogate into U+FFFD, so the text goes to it in
// pieces between lone surrogates, which are written here.
std::string Narrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i;
        while (end < text.size() && end - i < kConversionPiece) {
            const wchar_t unit = text[end];
            if (IsHigh(unit) && end + 1 < text.size() && IsLow(text[end + 1])) {
                if (end + 2 - i > kConversionPiece) {
                    break; // the pair starts the next piece
                }
                end += 2;
            } else if (IsHigh(unit) || IsLow(unit)) {
                break;
            } else {
                ++end;
            }
        }
        if (end > i) {
            AppendNarrow(out, text.substr(i, end - i));
            i = end;
            continue;
        }
        const auto unit = static_cast<unsigned>(text[i]); // a lone surrogate
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
        ++i;
    }
    return out;
}

std::wstring Widen(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = i;
        while (end < text.size() && end - i < kConversionPiece && !IsSurrogateForm(text, end)) {
            ++end;
        }
        // A piece cut at its size limit ends before the lead byte of a character it would split.
        if (end < text.size() && end - i == kConversionPiece) {
            std::size_t lead = end;
            while (lead > i && end - lead < 3 && IsContinuation(text[lead])) {
                --lead;
            }
            if (lead > i && !IsContinuation(text[lead])) {
                end = lead;
            }
        }
        if (end > i) {
            AppendWide(out, text.substr(i, end - i));
            i = end;
            continue;
        }
        const auto second = static_cast<unsigned char>(text[i + 1]);
        const auto third = static_cast<unsigned char>(text[i + 2]);
        out += static_cast<wchar_t>(0xD000 | ((second & 0x3F) << 6) | (third & 0x3F));
        i += 3;
    }
    return out;
}

} // namespace korvane::win32
