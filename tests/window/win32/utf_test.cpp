// The UTF-8 / UTF-16 conversions between the model and Windows: every text an edit box can
// hold, lone surrogates included, comes back unchanged.

#include "window/win32/utf.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace korvane::win32 {
namespace {

struct Pair {
    std::wstring_view wide;
    std::string_view utf8;
};

// Both directions; the last rows are what an edit holds after one half of a pair was typed.
constexpr Pair kPairs[] = {
    {L"", ""},
    {L" 22.5", " 22.5"},
    {L"Gr\u00FC\u00DFe \u20AC", "Gr\xC3\xBC\xC3\x9F"
                                "e \xE2\x82\xAC"},
    {L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
    {L"a\xD83D", "a\xED\xA0\xBD"},
    {L"\xDE00"
     L"b",
     "\xED\xB8\x80"
     "b"},
    {L"\xDE00\xD83D", "\xED\xB8\x80\xED\xA0\xBD"},
    {L"\xD83D\xD83D\xDE00", "\xED\xA0\xBD\xF0\x9F\x98\x80"},
    {L"\xDBFF", "\xED\xAF\xBF"},
};

TEST(Utf, ConvertsBothWays) {
    for (const Pair& p : kPairs) {
        EXPECT_EQ(Narrow(p.wide), p.utf8);
        EXPECT_EQ(Widen(p.utf8), p.wide);
    }
}

// Bytes that are not UTF-8 become U+FFFD and never a surrogate or a NUL.
TEST(Utf, MalformedBytesBecomeReplacementCharacters) {
    constexpr std::string_view kMalformed[] = {"\xFF", "a\xC3", "\xC0\x80", "\xED\xA0", "\x80\x80"};
    for (const std::string_view bytes : kMalformed) {
        const std::wstring wide = Widen(bytes);
        EXPECT_NE(wide.find(L'\xFFFD'), std::wstring::npos) << testing::PrintToString(bytes);
        for (const wchar_t unit : wide) {
            EXPECT_FALSE(unit == 0 || (unit >= 0xD800 && unit <= 0xDFFF));
        }
    }
}

// Long texts go to Windows in pieces; no character may be cut at a piece's end, whatever falls
// there: a three-byte character, a pair, a lone surrogate.
TEST(Utf, LongTextsRoundTripAcrossPieceEnds) {
    for (std::size_t shift = 0; shift < 4; ++shift) {
        std::wstring wide(kConversionPiece - shift, L'a');
        std::string utf8(kConversionPiece - shift, 'a');
        while (wide.size() < 3 * kConversionPiece) {
            wide += L"\u20AC\xD83D\xDE00\xD800";
            utf8 += "\xE2\x82\xAC\xF0\x9F\x98\x80\xED\xA0\x80";
        }
        EXPECT_EQ(Narrow(wide), utf8);
        EXPECT_EQ(Widen(utf8), wide);
    }
}

} // namespace
} // namespace korvane::win32
