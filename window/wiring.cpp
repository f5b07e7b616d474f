#include "window/wiring.h"

#include <algorithm>
#include <array>
#include <string>

#include "checks/check_range.h"
#include "checks/num_only.h"
#include "model/compu_check.h"
#include "model/control_names.h"
#include "model/passage_times.h"

namespace korvane {

namespace {

// The events each numeric box handles: a Change runs the readiness pass, a typed character
// goes through the keystroke filter, leaving the box checks its range. The grade box takes
// every character; the free-text and result boxes handle nothing.
struct Binding {
    std::string_view box;
    bool readiness;
    bool keyFilter;
    bool rangeCheck;
};

constexpr std::array kBindings{
    Binding{ctl::txtSpd, true, true, true},      Binding{ctl::txtAccel, true, true, true},
    Binding{ctl::txtGrade, true, false, true},   Binding{ctl::txtLength, true, true, true},
    Binding{ctl::txtEntryPos, true, true, true}, Binding{ctl::txtExitPos, true, true, true},
};

const Binding* BindingOf(std::string_view control) {
    const auto it = std::find_if(kBindings.begin(), kBindings.end(),
                                 [control](const Binding& b) { return b.box == control; });
    return it == kBindings.end() ? nullptr : &*it;
}

} // namespace

Wiring::Wiring(WindowOps& window) : window_(window), focused_(layout::FirstFocus().name) {}

void Wiring::Form_Load() {
    window_.SetText(ctl::txtSpd, " ");
    window_.SetText(ctl::txtGrade, " ");
    window_.SetText(ctl::txtLength, " ");
    window_.SetText(ctl::txtEntryPos, " ");
    window_.SetText(ctl::txtEntryPass, " ");
    window_.SetText(ctl::txtExitPos, " ");
    window_.SetText(ctl::txtExitPass, " ");
    window_.SetText(ctl::txtAccel, " ");
    CompuCheck(state_, window_);
}

void Wiring::Change(std::string_view control) {
    const Binding* binding = BindingOf(control);
    if (binding != nullptr && binding->readiness) {
        CompuCheck(state_, window_);
    }
}

void Wiring::KeyPress(std::string_view control, std::int16_t& KeyAscii) {
    if (FiltersKeys(control)) {
        NumOnly(window_, KeyAscii);
    }
}

std::u16string Wiring::Typed(std::string_view control, std::u16string_view units) {
    std::u16string enters;
    enters.reserve(units.size());
    for (const char16_t unit : units) {
        auto KeyAscii = static_cast<std::int16_t>(unit);
        KeyPress(control, KeyAscii);
        if (KeyAscii != 0) {
            enters.push_back(static_cast<char16_t>(KeyAscii));
        }
    }
    return enters;
}

bool Wiring::FiltersKeys(std::string_view control) {
    const Binding* binding = BindingOf(control);
    return binding != nullptr && binding->keyFilter;
}

void Wiring::LostFocus(std::string_view control) {
    const Binding* binding = BindingOf(control);
    if (binding == nullptr || !binding->rangeCheck) {
        return;
    }
    // The check works on copies: neither the box's text nor its advisory text changes. While it
    // runs, and so while its message is shown, the box is the one being checked.
    std::string ValString = window_.Text(control);
    std::string RangeString = window_.AdvisoryText(control);
    const std::string_view outer = checking_;
    checking_ = binding->box;
    CheckRange(state_, window_, ValString, RangeString);
    checking_ = outer;
    // A failed check disables Compute; a passing one never enables it.
    if (!state_.RangeOk) {
        window_.SetEnabled(ctl::Command1, false);
    }
}

std::string Wiring::MessageDescription() const {
    const layout::Control* box = layout::Find(checking_);
    return box != nullptr ? layout::SpokenOf(*box).name : std::string();
}

void Wiring::Command1_Click() {
    ComputePassageTimes(state_, window_);
}

void Wiring::FocusMoved(std::string_view to) {
    const layout::Control* arrived = layout::Find(to);
    if (arrived == nullptr || !layout::TakesFocus(arrived->access) || arrived->name == focused_) {
        return; // away from the window's controls, or no move at all
    }
    const std::string_view left = focused_;
    // The focus is where the user sent it before the box left checks its range, so that a
    // message box opened by the check hands it back there.
    focused_ = arrived->name;
    LostFocus(left);
}

std::string_view Wiring::FocusOnReturn(const layout::IsEnabled& enabled) const {
    if (enabled(focused_)) {
        return focused_;
    }
    return layout::NextInTabRing(focused_, false, enabled);
}

FocusMove Wiring::Key(WindowKey key, const layout::IsEnabled& enabled) {
    switch (key) {
    case WindowKey::Tab:
    case WindowKey::BackTab: {
        const std::string_view to =
            layout::NextInTabRing(focused_, key == WindowKey::BackTab, enabled);
        const layout::Control* control = layout::Find(to);
        return {to, control != nullptr && layout::IsTextBox(control->kind)};
    }
    case WindowKey::Enter:
        if (enabled(ctl::Command1)) {
            Command1_Click();
        }
        break;
    case WindowKey::Escape:
        break;
    }
    return {};
}

} // namespace korvane
