// Prints the window's layout table for the accessibility-tree test, which is a Python program:
// one line for the window (its caption), then one line per control with the fields a screen
// reader's view is made from. Fields are separated by tabs; no layout text holds a tab or a
// line break.

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "window/layout.h"

namespace {

using korvane::layout::Kind;

std::string_view kindName(Kind kind) {
    switch (kind) {
    case Kind::TextBox:
        return "text box";
    case Kind::FreeText:
        return "free text";
    case Kind::ResultBox:
        return "result box";
    case Kind::Label:
        return "label";
    case Kind::PictureBox:
        return "picture box";
    case Kind::Frame:
        return "frame";
    case Kind::Button:
        return "button";
    case Kind::Image:
        return "image";
    case Kind::Line:
        return "line";
    }
    return "?";
}

void print(std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (const std::string_view field : fields) {
        std::printf("%s%.*s", first ? "" : "\t", static_cast<int>(field.size()), field.data());
        first = false;
    }
    std::printf("\n");
}

} // namespace

int main() {
    namespace layout = korvane::layout;
    print({"window", layout::kCaption});
    for (const layout::Control& c : layout::kControls) {
        const std::string_view in = c.in == layout::In::Frame1 ? "Frame1" : layout::kWindowName;
        print({"control", c.name, kindName(c.kind), in, c.text, c.advisory, c.labelledBy,
               c.unitLabel, c.spokenName});
    }
    return 0;
}
