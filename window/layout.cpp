#include "window/layout.h"

#include <algorithm>

namespace korvane::layout {

// The advisory texts of the six numeric boxes are also where the range check reads each box's
// permitted range, so every blank counts. They are kept verbatim, the unmatched ")" of the
// length text included: the range check reads its bounds correctly all the same.
//
// The boxes' texts at creation ("22", "0.5", " 0", "11", "77", and "0" in the effective
// acceleration) are the layout's, not a worked example: Form_Load blanks the input boxes, and
// its readiness pass rewrites the effective acceleration, before the window first shows.
//
// The table itself is window/layout.tsv, which the build turns into the rows included here
// (cmake/layout_table.cmake). The description of frmMainLabel there is the window's own text,
// its spelling ("forseeable", no blank after the first full stop) included.
const std::array<Control, kControlCount> kControls{{
#include "layout_table.inc"
}};

const Control* Find(std::string_view name) {
    const auto it = std::find_if(kControls.begin(), kControls.end(),
                                 [name](const Control& c) { return c.name == name; });
    return it == kControls.end() ? nullptr : &*it;
}

std::string_view AdvisoryOf(std::string_view name) {
    const Control* control = Find(name);
    return control != nullptr ? control->advisory : std::string_view();
}

} // namespace korvane::layout
