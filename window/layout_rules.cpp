// The rules of the window that follow from the layout table alone, the same for every toolkit:
// the Tab ring, the fonts, what a screen reader is told and which captions label which box,
// readable text colours and what a desktop's theme asks of them.

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "window/layout.h"

namespace korvane::layout {

const Control* FindById(int id) {
    const int order = id - 1000;
    if (order < 1 || order > static_cast<int>(kControls.size())) {
        return nullptr;
    }
    const Control& control = kControls[static_cast<std::size_t>(order - 1)];
    return control.order == order ? &control : nullptr;
}

const std::vector<const Control*>& TabRing() {
    static const std::vector<const Control*> ring = [] {
        std::vector<const Control*> controls;
        for (const Control& c : kControls) {
            if (TakesFocus(c.access)) {
                controls.push_back(&c);
            }
        }
        std::sort(controls.begin(), controls.end(),
                  [](const Control* a, const Control* b) { return a->tab < b->tab; });
        return controls;
    }();
    return ring;
}

const Control& FirstFocus() {
    static const Control* const first = [] {
        const std::vector<const Control*>& ring = TabRing();
        const auto typed = std::find_if(ring.begin(), ring.end(), [](const Control* c) {
            return c->access == Access::Tab && IsTextBox(c->kind);
        });
        return typed != ring.end() ? *typed : ring.front();
    }();
    return *first;
}

std::string_view NextInTabRing(std::string_view from, bool backwards, const IsEnabled& enabled) {
    const std::vector<const Control*>& ring = TabRing();
    const Control* at = Find(from);
    // From a control without a tab index the ring starts again at its first (or last) stop.
    const int tab = at != nullptr && at->tab >= 0 ? at->tab : (backwards ? INT_MAX : INT_MIN);
    const auto usable = [&enabled](const Control* c) { return enabled(c->name); };
    const Control* found = nullptr;
    if (!backwards) {
        const auto next = std::find_if(ring.begin(), ring.end(),
                                       [&](const Control* c) { return c->tab > tab && usable(c); });
        const auto first =
            next != ring.end() ? next : std::find_if(ring.begin(), ring.end(), usable);
        found = first != ring.end() ? *first : nullptr;
    } else {
        const auto before = std::find_if(ring.rbegin(), ring.rend(), [&](const Control* c) {
            return c->tab < tab && usable(c);
        });
        const auto last =
            before != ring.rend() ? before : std::find_if(ring.rbegin(), ring.rend(), usable);
        found = last != ring.rend() ? *last : nullptr;
    }
    return found != nullptr ? found->name : std::string_view();
}

const FontFace& FontOf(const Control& control) {
    return control.font == Font::Description ? kDescriptionFont : kDefaultFont;
}

int FontPixels(const FontFace& font, int dpi) {
    return static_cast<int>(std::lround(font.points * dpi / 72.0));
}

namespace {

Role SpokenRole(const Control& control) {
    switch (control.kind) {
    case Kind::TextBox:
    case Kind::FreeText:
    case Kind::ResultBox:
        return Role::EditableText;
    case Kind::Label:
        return Role::StaticText;
    case Kind::Button:
        return Role::PushButton;
    case Kind::Frame:
        return Role::Grouping;
    case Kind::PictureBox:
    case Kind::Image:
        return Role::Graphic;
    case Kind::Line:
        break;
    }
    return Role::None;
}

std::string SpokenName(const Control& control) {
    switch (control.kind) {
    case Kind::TextBox:
    case Kind::FreeText:
    case Kind::ResultBox: {
        const Control* caption = Find(control.labelledBy);
        std::string name(caption != nullptr ? caption->text : std::string_view());
        if (const Control* unit = Find(control.unitLabel)) {
            name.append(" (").append(unit->text).append(")");
        }
        return name;
    }
    case Kind::Frame: {
        const std::string_view text = control.text;
        const auto first = text.find_first_not_of(' ');
        return first == std::string_view::npos
                   ? std::string()
                   : std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
    }
    case Kind::PictureBox:
    case Kind::Image:
        return std::string(control.spokenName);
    case Kind::Button:
    case Kind::Label:
        return std::string(control.text);
    case Kind::Line:
        break;
    }
    return {};
}

// The relative luminance of a colour on the sRGB scale, 0 for black to 1 for white.
double Luminance(Rgb colour) {
    const auto linear = [](std::uint8_t channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

// The letters and digits of a name, in lower case: "High Contrast:dark" is "highcontrastdark".
std::string Folded(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (const char ch : name) {
        if (ch >= 'A' && ch <= 'Z') {
            folded.push_back(static_cast<char>(ch - 'A' + 'a'));
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')) {
            folded.push_back(ch);
        }
    }
    return folded;
}

} // namespace

double ContrastRatio(Rgb a, Rgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<const Control*> LabelsOf(const Control& box) {
    std::vector<const Control*> labels;
    if (!IsTextBox(box.kind)) {
        return labels;
    }
    for (const std::string_view name : {box.labelledBy, box.unitLabel}) {
        if (const Control* caption = Find(name)) {
            labels.push_back(caption);
        }
    }
    return labels;
}

std::vector<const Control*> LabelledBy(const Control& caption) {
    std::vector<const Control*> boxes;
    if (caption.kind != Kind::Label) {
        return boxes;
    }
    for (const Control& c : kControls) {
        const std::vector<const Control*> labels = LabelsOf(c);
        if (std::find(labels.begin(), labels.end(), &caption) != labels.end()) {
            boxes.push_back(&c);
        }
    }
    return boxes;
}

ContrastAsked ContrastOfTheme(std::string_view theme) {
    const std::string folded = Folded(theme);
    const auto has = [&folded](std::string_view part) {
        return folded.find(part) != std::string::npos;
    };
    if (!has("highcontrast") && !has("contrasthigh")) {
        return ContrastAsked::Normal;
    }
    return has("inverse") || has("dark") ? ContrastAsked::HighInverse : ContrastAsked::High;
}

bool HighContrastPair(Rgb text, Rgb back) {
    return ContrastRatio(text, back) >= 7.0;
}

Spoken SpokenOf(const Control& control) {
    Spoken spoken;
    spoken.role = SpokenRole(control);
    if (spoken.role == Role::None) {
        return spoken;
    }
    spoken.name = SpokenName(control);
    spoken.description = std::string(control.advisory);
    spoken.isDefault = control.kind == Kind::Button;
    spoken.readOnly = control.access == Access::ReadOnly;
    spoken.unavailable = control.access == Access::Disabled;
    return spoken;
}

std::string_view RoleName(Role role) {
    switch (role) {
    case Role::EditableText:
        return "editable text";
    case Role::StaticText:
        return "static text";
    case Role::PushButton:
        return "push button";
    case Role::Grouping:
        return "grouping";
    case Role::Graphic:
        return "graphic";
    case Role::None:
        break;
    }
    return "none";
}

Rgb ReadableOn(Rgb back, Rgb preferred) {
    if (ContrastRatio(back, preferred) >= 4.5) {
        return preferred;
    }
    constexpr Rgb black{0, 0, 0};
    constexpr Rgb white{255, 255, 255};
    return ContrastRatio(back, black) >= ContrastRatio(back, white) ? black : white;
}

} // namespace korvane::layout
