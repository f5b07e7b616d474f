#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the fuzz targets: the property check that stops the run on a violation,
// the splitting of the fuzzer's bytes into texts, and the window's numeric boxes.
namespace korvane::fuzz {

// A violated property prints where it failed and aborts, which libFuzzer reports as a crash
// and keeps the input that caused it.
#define KORVANE_FUZZ_CHECK(cond)                                                                   \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "property violated: %s (%s:%d)\n", #cond, __FILE__, __LINE__);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Splits the bytes at every NUL into at most `count` texts; missing texts are empty, and the
// last one takes the rest of the input, NULs included.
inline std::vector<std::string> SplitTexts(const std::uint8_t* data, std::size_t size,
                                           std::size_t count) {
    std::vector<std::string> texts(count);
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    std::size_t begin = 0;
    for (std::size_t i = 0; i < count && begin <= all.size(); ++i) {
        const std::size_t end = i + 1 == count ? std::string_view::npos : all.find('\0', begin);
        if (end == std::string_view::npos) {
            texts[i] = std::string(all.substr(begin));
            break;
        }
        texts[i] = std::string(all.substr(begin, end - begin));
        begin = end + 1;
    }
    return texts;
}

// True for a text in the form PatternText writes: an optional "-", an integer part without a
// leading zero (possibly empty), and, when the pattern has a point, "." followed by at most
// `decimals` digits without a trailing zero.
inline bool IsPatternForm(std::string_view text, bool point, std::size_t decimals) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    const std::size_t intBegin = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
    }
    if (pos > intBegin && text[intBegin] == '0') {
        return false;
    }
    if (!point) {
        return pos == text.size() && pos > intBegin;
    }
    if (pos >= text.size() || text[pos] != '.') {
        return false;
    }
    ++pos;
    const std::size_t fracBegin = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
    }
    const std::size_t fracCount = pos - fracBegin;
    return pos == text.size() && fracCount <= decimals && (fracCount == 0 || text[pos - 1] != '0');
}

// The six numeric boxes, in a fixed order; their advisory texts come from the window's layout.
inline constexpr std::string_view kNumericBoxes[] = {"txtSpd",    "txtAccel",    "txtGrade",
                                                     "txtLength", "txtEntryPos", "txtExitPos"};

} // namespace korvane::fuzz
