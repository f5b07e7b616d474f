#pragma once

namespace korvane::qt {

// Tells Qt how to present the window to assistive technology: every control in the role the
// window's rules give it (layout::SpokenOf), found by its control name, each box labelled by its
// captions and each caption the label of its box (layout::LabelsOf, LabelledBy); the window as
// a frame; the lines left out, since they are drawing only. Takes effect once, however often it is
// called. The widgets must carry their control names from the moment they are made.
void InstallAccessibility();

} // namespace korvane::qt
