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

// Appends what Windows makes of one piece: `convert(piece, out, size)` writes at most size code
// units to out and returns how many it wrote, or with no out how many it would.
template <typename Out, typename In, typename Convert>
void AppendConverted(Out& out, In piece, Convert convert) {
    const int size = convert(piece, nullptr, 0);
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(size));
    convert(piece, out.data() + at, size);
}

// Converts a text piece by piece: Windows converts the pieces that `pieceEnd` (the end of the
// piece that starts at a place) finds; where no piece starts, `writeForm` writes the form of
// one code point itself and says how many code units it took.
template <typename Out, typename In, typename PieceEnd, typename Convert, typename WriteForm>
Out InPieces(In text, PieceEnd pieceEnd, Convert convert, WriteForm writeForm) {
    Out out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t end = pieceEnd(text, i);
        if (end > i) {
            AppendConverted(out, text.substr(i, end - i), convert);
            i = end;
        } else {
            i += writeForm(out, text, i);
        }
    }
    return out;
}

// Well-formed UTF-16 to UTF-8, at most kConversionPiece units.
int ToUtf8(std::wstring_view piece, char* out, int size) {
    return WideCharToMultiByte(CP_UTF8, 0, piece.data(), static_cast<int>(piece.size()), out, size,
                               nullptr, nullptr);
}

// UTF-8 without the surrogate form to UTF-16, at most kConversionPiece bytes; malformed bytes
// become U+FFFD.
int ToUtf16(std::string_view piece, wchar_t* out, int size) {
    return MultiByteToWideChar(CP_UTF8, 0, piece.data(), static_cast<int>(piece.size()), out, size);
}

// The end of the piece of well-formed UTF-16 that starts at i: before the first lone surrogate,
// and at most kConversionPiece units on, a pair never split.
std::size_t WellFormedEnd(std::wstring_view text, std::size_t i) {
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
    return end;
}

// The end of the piece of UTF-8 that starts at i: before the first surrogate form, and at most
// kConversionPiece bytes on; a piece cut at its size limit ends before the lead byte of a
// character it would split.
std::size_t WithoutSurrogatesEnd(std::string_view text, std::size_t i) {
    std::size_t end = i;
    while (end < text.size() && end - i < kConversionPiece && !IsSurrogateForm(text, end)) {
        ++end;
    }
    if (end < text.size() && end - i == kConversionPiece) {
        std::size_t lead = end;
        while (lead > i && end - lead < 3 && IsContinuation(text[lead])) {
            --lead;
        }
        if (lead > i && !IsContinuation(text[lead])) {
            end = lead;
        }
    }
    return end;
}

} // namespace

// Windows' own conversion would turn a lone surrogate into U+FFFD, so the text goes to it in
// pieces between lone surrogates, which are written here.
std::string Narrow(std::wstring_view text) {
    return InPieces<std::string>(
        text, WellFormedEnd, ToUtf8, [](std::string& out, std::wstring_view in, std::size_t at) {
            const auto unit = static_cast<unsigned>(in[at]); // a lone surrogate
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
            return std::size_t{1};
        });
}

std::wstring Widen(std::string_view text) {
    return InPieces<std::wstring>(text, WithoutSurrogatesEnd, ToUtf16,
                                  [](std::wstring& out, std::string_view in, std::size_t at) {
                                      const auto second = static_cast<unsigned char>(in[at + 1]);
                                      const auto third = static_cast<unsigned char>(in[at + 2]);
                                      out += static_cast<wchar_t>(0xD000 | ((second & 0x3F) << 6) |
                                                                  (third & 0x3F));
                                      return std::size_t{3};
                                  });
}

} // namespace korvane::win32
