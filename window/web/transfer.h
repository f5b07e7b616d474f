#pragma once

#include <cstddef>
#include <string>

// Texts the page's script hands to the C++ side: the script copies as much of a text as a
// buffer holds and answers the text's whole length, so a text of any length arrives whole.
namespace korvane::web {

// Calls `fill(buffer, capacity)`, which copies the text into the buffer as far as it goes and
// returns its length, once or, for a text longer than a first guess, twice.
template <class Text, class Fill> Text Fetched(Fill fill) {
    Text text(32, typename Text::value_type{});
    const std::size_t length = fill(text.data(), text.size());
    if (length > text.size()) {
        text.resize(length);
        fill(text.data(), length);
    }
    text.resize(length);
    return text;
}

} // namespace korvane::web
