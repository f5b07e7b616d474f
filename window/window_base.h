#pragma once

#include <string>
#include <string_view>

#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/layout.h"
#include "window/wiring.h"

namespace korvane {

// What the window of every toolkit holds besides its native controls: the wiring, which owns the
// calculator state and decides every rule of the window, and the advisory texts, which come from
// the layout table. An adapter derives from it, supplies the other window operations over its
// native controls, and forwards every native event to wiring_.
class WindowBase : public WindowOps {
public:
    std::string AdvisoryText(std::string_view control) const final {
        return std::string(layout::AdvisoryOf(control));
    }

    const CalculatorState& State() const { return wiring_.State(); }

protected:
    WindowBase() = default;

    Wiring wiring_{*this};
};

} // namespace korvane
