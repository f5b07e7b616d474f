#pragma once

// JSON for the page's browser tests, which tables of the program print for node to read: one
// value a line.

#include <cstdio>
#include <string>
#include <string_view>

namespace korvane::json {

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
inline std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr std::string_view kHex = "0123456789abcdef";
            out += "\\u00";
            out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
            out.push_back(kHex[static_cast<unsigned char>(c) & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

inline std::string_view Bool(bool value) {
    return value ? "true" : "false";
}

inline void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace korvane::json
