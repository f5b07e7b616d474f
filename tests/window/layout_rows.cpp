// Prints the window's layout table for the accessibility tests, which are Python programs: one
// line for the window (its caption and size in twips), then one line per control with what the
// window's rules tell a screen reader of it (role, name, description, states), its tab index,
// its place in its container in twips and the captions that label it. Fields are separated by
// tabs, names within a field by blanks; no layout text holds a tab or a line break.

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    print({"window", layout::kCaption, std::to_string(layout::kClientWidth),
           std::to_string(layout::kClientHeight)});
    for (const layout::Control& c : layout::kControls) {
        const std::string_view in = c.in == layout::In::Frame1 ? "Frame1" : layout::kWindowName;
        const layout::Spoken spoken = layout::SpokenOf(c);
        std::string states;
        for (const auto& [on, state] :
             {std::pair{spoken.isDefault, "default"}, std::pair{spoken.readOnly, "read-only"},
              std::pair{spoken.unavailable, "unavailable"}}) {
            if (on) {
                states += states.empty() ? state : std::string(" ") + state;
            }
        }
        std::string labels;
        for (const layout::Control* caption : layout::LabelsOf(c)) {
            labels += labels.empty() ? "" : " ";
            labels += caption->name;
        }
        const std::vector<std::string> numbers = {
            std::to_string(c.tab), std::to_string(c.place.left), std::to_string(c.place.top),
            std::to_string(c.place.width), std::to_string(c.place.height)};
        print({"control", c.name, kindName(c.kind), in, layout::RoleName(spoken.role), spoken.name,
               spoken.description, states, numbers[0], numbers[1], numbers[2], numbers[3],
               numbers[4], labels});
    }
    return 0;
}
