#include "page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "dom.h"
#include "pictures.h"
#include "window/layout.h"

namespace korvane::web {

namespace {

using layout::Access;
using layout::Control;
using layout::Kind;

// Faces a browser is likely to have in place of the window's own font.
constexpr std::string_view kFallbackFaces = "\"Microsoft Sans Serif\", \"Liberation Sans\", "
                                            "Arial, sans-serif";

std::string Px(int twips) {
    return std::to_string(layout::Pixels(twips)) + "px";
}

std::string CssColour(layout::Rgb rgb) {
    return "rgb(" + std::to_string(rgb.red) + ", " + std::to_string(rgb.green) + ", " +
           std::to_string(rgb.blue) + ")";
}

// The element each kind of control is made as, and the class that korvane.css gives it its look
// by.
struct Element {
    Kind kind;
    std::string_view tag;
    std::string_view look;
};

constexpr std::array kElements{
    Element{Kind::TextBox, "input", "box"},
    Element{Kind::FreeText, "input", "box"},
    Element{Kind::ResultBox, "input", "box result"},
    Element{Kind::Label, "div", "label"},
    Element{Kind::PictureBox, "img", "picture"},
    Element{Kind::Frame, "div", "frame"},
    Element{Kind::Button, "button", "button"},
    Element{Kind::Image, "img", "image"},
    Element{Kind::Line, "svg", "line"},
};

const Element& ElementOf(Kind kind) {
    return *std::find_if(kElements.begin(), kElements.end(),
                         [kind](const Element& e) { return e.kind == kind; });
}

std::string_view AlignOf(layout::Align align) {
    switch (align) {
    case layout::Align::Right:
        return "right";
    case layout::Align::Centre:
        return "center";
    case layout::Align::Left:
    case layout::Align::None:
        break;
    }
    return "left";
}

void SetFont(std::string_view id, const layout::FontFace& face) {
    dom::SetStyle(id, "font-family",
                  "\"" + std::string(face.face) + "\", " + std::string(kFallbackFaces));
    dom::SetStyle(id, "font-size",
                  std::to_string(layout::FontPixels(face, layout::kLayoutDpi)) + "px");
    dom::SetStyle(id, "font-weight", std::to_string(face.weight));
}

void Place(std::string_view id, const layout::Place& place) {
    dom::SetStyle(id, "left", Px(place.left));
    dom::SetStyle(id, "top", Px(place.top));
    dom::SetStyle(id, "width", Px(place.width));
    dom::SetStyle(id, "height", Px(place.height));
}

// A line from (X1, Y1) to (X2, Y2): an SVG of its bounding box, one pixel wider and higher,
// with the stroke through the pixel centres.
void MakeLine(const Control& c) {
    const int x1 = layout::Pixels(c.ends.x1);
    const int y1 = layout::Pixels(c.ends.y1);
    const int x2 = layout::Pixels(c.ends.x2);
    const int y2 = layout::Pixels(c.ends.y2);
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    dom::SetStyle(c.name, "left", std::to_string(left) + "px");
    dom::SetStyle(c.name, "top", std::to_string(top) + "px");
    dom::SetStyle(c.name, "width", std::to_string(std::abs(x2 - x1) + 1) + "px");
    dom::SetStyle(c.name, "height", std::to_string(std::abs(y2 - y1) + 1) + "px");
    dom::SetAttribute(c.name, "aria-hidden", "true");
    const std::string stroke = std::string(c.name) + "-stroke";
    dom::Create("line", stroke, c.name);
    auto at = [](int v, int origin) { return std::to_string(v - origin) + ".5"; };
    dom::SetAttribute(stroke, "x1", at(x1, left));
    dom::SetAttribute(stroke, "y1", at(y1, top));
    dom::SetAttribute(stroke, "x2", at(x2, left));
    dom::SetAttribute(stroke, "y2", at(y2, top));
}

void MakeBox(const Control& c) {
    dom::SetAttribute(c.name, "type", "text");
    dom::SetAttribute(c.name, "autocomplete", "off");
    dom::SetAttribute(c.name, "spellcheck", "false");
    dom::SetText(c.name, c.text);
    dom::SetStyle(c.name, "text-align", AlignOf(c.align));
    if (c.kind == Kind::ResultBox) {
        dom::SetStyle(c.name, "background-color", CssColour(layout::kResultBack));
    }
    if (c.access == Access::ReadOnly) {
        dom::SetAttribute(c.name, "readonly", "");
    } else if (c.access == Access::Disabled) {
        dom::SetDisabled(c.name, true);
    }
}

// A control that takes the focus when clicked but is no stop of the Tab ring is none of the
// browser's own sequential navigation either.
void KeepOutOfTabbing(const Control& c) {
    const std::vector<const Control*>& ring = layout::TabRing();
    if (layout::TakesFocus(c.access) && std::find(ring.begin(), ring.end(), &c) == ring.end()) {
        dom::SetAttribute(c.name, "tabindex", "-1");
    }
}

// The advisory text: the tool tip, and with it the accessible description, which a browser
// takes from the title of an element named otherwise.
void Describe(const Control& c) {
    if (!c.advisory.empty()) {
        dom::SetAttribute(c.name, "title", c.advisory);
    }
}

void MakeControl(const Control& c) {
    const std::string_view parent = c.in == layout::In::Frame1 ? "Frame1" : layout::kWindowName;
    const Element& element = ElementOf(c.kind);
    dom::Create(element.tag, c.name, parent);
    dom::SetAttribute(c.name, "class", element.look);
    // Windowed controls lie above what their container draws, the lower Order on top.
    const int stacking = (layout::IsWindowed(c.kind) ? 200 : 100) - c.order;
    dom::SetStyle(c.name, "z-index", std::to_string(stacking));
    if (c.kind == Kind::Line) {
        MakeLine(c);
        return;
    }
    Place(c.name, c.place);
    const layout::Spoken spoken = layout::SpokenOf(c);
    switch (c.kind) {
    case Kind::TextBox:
    case Kind::FreeText:
    case Kind::ResultBox:
        MakeBox(c);
        dom::SetAttribute(c.name, "aria-label", spoken.name);
        break;
    case Kind::Label:
        dom::SetText(c.name, c.text);
        dom::SetStyle(c.name, "text-align", AlignOf(c.align));
        if (c.font != layout::Font::Default) {
            SetFont(c.name, layout::FontOf(c));
        } else {
            dom::SetAttribute(c.name, "class", "label caption-font");
        }
        break;
    case Kind::Frame: {
        dom::SetAttribute(c.name, "role", "group");
        dom::SetAttribute(c.name, "aria-label", spoken.name);
        const std::string caption = std::string(c.name) + "-caption";
        dom::Create("span", caption, c.name);
        dom::SetAttribute(caption, "class", "caption");
        dom::SetAttribute(caption, "aria-hidden", "true");
        dom::SetText(caption, c.text);
        break;
    }
    case Kind::Button:
        dom::SetAttribute(c.name, "type", "button");
        dom::SetText(c.name, c.text);
        if (spoken.isDefault) {
            // The default button: Enter presses it wherever the focus is.
            dom::SetAttribute(c.name, "aria-keyshortcuts", "Enter");
        }
        break;
    case Kind::PictureBox:
    case Kind::Image: {
        dom::SetAttribute(c.name, "alt", spoken.name);
        if (c.kind == Kind::PictureBox) {
            dom::SetStyle(c.name, "background-color",
                          c.back == layout::Back::Menu ? "Menu" : "ButtonFace");
        }
        const PictureBytes picture = BytesOf(c.picture);
        dom::ShowPicture(c.name, picture.bytes, picture.size, picture.type);
        break;
    }
    case Kind::Line:
        break;
    }
    KeepOutOfTabbing(c);
    Describe(c);
}

// Page order, which is the order a screen reader reads in and Tab follows: by tab index, the
// window's own controls first, then the frame's; lines, which have none, last.
std::vector<const Control*> PageOrder() {
    std::vector<const Control*> order;
    order.reserve(layout::kControls.size());
    for (const Control& c : layout::kControls) {
        order.push_back(&c);
    }
    auto key = [](const Control* c) {
        return std::tuple(c->in == layout::In::Frame1, c->tab < 0, c->tab, c->order);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&key](const Control* a, const Control* b) { return key(a) < key(b); });
    return order;
}

// The window's message, closed: a modal <dialog> named by its title and described by its text,
// with one OK button that closes it (message.js opens it).
void MakeMessage() {
    dom::Create("dialog", "message", "");
    dom::SetAttribute("message", "aria-labelledby", "message-title");
    dom::SetAttribute("message", "aria-describedby", "message-text");
    SetFont("message", layout::kDefaultFont);
    dom::Create("form", "message-form", "message");
    dom::SetAttribute("message-form", "method", "dialog");
    dom::Create("h2", "message-title", "message-form");
    dom::Create("p", "message-text", "message-form");
    dom::Create("button", "message-ok", "message-form");
    dom::SetText("message-ok", "OK");
}

} // namespace

void BuildPage() {
    dom::SetTitle(layout::kCaption);
    dom::Create("main", layout::kWindowName, "");
    dom::SetAttribute(layout::kWindowName, "class", "window");
    dom::SetAttribute(layout::kWindowName, "aria-label", layout::kCaption);
    dom::SetStyle(layout::kWindowName, "width", Px(layout::kClientWidth));
    dom::SetStyle(layout::kWindowName, "height", Px(layout::kClientHeight));
    SetFont(layout::kWindowName, layout::kDefaultFont);
    // The page's heading, which a screen reader finds the window by, as a desktop's finds it by
    // its title bar.
    const std::string heading = std::string(layout::kWindowName) + "-heading";
    dom::Create("h1", heading, layout::kWindowName);
    dom::SetAttribute(heading, "class", "heading");
    dom::SetText(heading, layout::kCaption);
    for (const Control* c : PageOrder()) {
        MakeControl(*c);
    }
    MakeMessage();
}

} // namespace korvane::web
