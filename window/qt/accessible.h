#pragma once

namespace korvane {

// Tells Qt how to present the window to assistive technology: the window as a frame, the
// Results frame as a group, the four pictures as images named for what they show, and the
// lines left out, since they are drawing only. Labels, boxes and the button keep Qt's own
// presentation. Takes effect once, however often it is called.
void InstallAccessibility();

} // namespace korvane
