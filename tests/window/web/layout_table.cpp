// Prints the layout table as JSON for the page's browser tests, which compare every element of
// the page with it: first the window, then one object per control or line, with what a screen
// reader is to be told of it, then the Tab ring; one a line.

#include <cstdio>
#include <string>
#include <string_view>

#include "json.h"
#include "window/layout.h"

namespace {

namespace layout = korvane::layout;
using korvane::json::Bool;
using korvane::json::PrintLine;
using korvane::json::Quoted;

std::string_view KindName(layout::Kind kind) {
    switch (kind) {
    case layout::Kind::TextBox:
        return "text box";
    case layout::Kind::FreeText:
        return "free text";
    case layout::Kind::ResultBox:
        return "result box";
    case layout::Kind::Label:
        return "label";
    case layout::Kind::PictureBox:
        return "picture box";
    case layout::Kind::Frame:
        return "frame";
    case layout::Kind::Button:
        return "button";
    case layout::Kind::Image:
        return "image";
    case layout::Kind::Line:
        return "line";
    }
    return "?";
}

} // namespace

int main() {
    PrintLine("{\"window\": " + Quoted(layout::kWindowName) + ", \"caption\": " +
              Quoted(layout::kCaption) + ", \"width\": " + std::to_string(layout::kClientWidth) +
              ", \"height\": " + std::to_string(layout::kClientHeight) +
              ", \"twipsPerPixel\": " + std::to_string(layout::kTwipsPerPixel) + "}");
    for (const layout::Control& c : layout::kControls) {
        const std::string_view in = c.in == layout::In::Frame1 ? "Frame1" : layout::kWindowName;
        // A control's place, or a line's two end points.
        const std::string where = c.kind == layout::Kind::Line
                                      ? "\"x1\": " + std::to_string(c.ends.x1) +
                                            ", \"y1\": " + std::to_string(c.ends.y1) +
                                            ", \"x2\": " + std::to_string(c.ends.x2) +
                                            ", \"y2\": " + std::to_string(c.ends.y2)
                                      : "\"left\": " + std::to_string(c.place.left) +
                                            ", \"top\": " + std::to_string(c.place.top) +
                                            ", \"width\": " + std::to_string(c.place.width) +
                                            ", \"height\": " + std::to_string(c.place.height);
        // What a screen reader is to be told of it.
        const layout::Spoken spoken = layout::SpokenOf(c);
        const std::string said =
            "\"role\": " + Quoted(layout::RoleName(spoken.role)) +
            ", \"spokenName\": " + Quoted(spoken.name) +
            ", \"description\": " + Quoted(spoken.description) +
            ", \"isDefault\": " + std::string(Bool(spoken.isDefault)) +
            ", \"readOnly\": " + std::string(Bool(spoken.readOnly)) +
            ", \"unavailable\": " + std::string(Bool(spoken.unavailable)) +
            ", \"takesFocus\": " + std::string(Bool(layout::TakesFocus(c.access)));
        PrintLine("{\"name\": " + Quoted(c.name) + ", \"kind\": " + Quoted(KindName(c.kind)) +
                  ", \"in\": " + Quoted(in) + ", " + where + ", \"text\": " + Quoted(c.text) +
                  ", \"advisory\": " + Quoted(c.advisory) + ", " + said + "}");
    }
    // Last, the stops of the Tab ring in their order.
    std::string ring;
    for (const layout::Control* c : layout::TabRing()) {
        ring += (ring.empty() ? "" : ", ") + Quoted(c->name);
    }
    PrintLine("{\"tabRing\": [" + ring + "]}");
    return 0;
}
