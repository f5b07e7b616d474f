#include "window/layout.h"

#include <algorithm>

namespace korvane::layout {

namespace {

// The description at the top of the window, one text that the label wraps. Its spelling
// ("forseeable", no blank after the first full stop) is the window's own and kept as it is.
constexpr std::string_view kDescription =
    "Computes the passage times for a vehicle through a highway-railroad grade crossing under "
    "the forseeable worst-case scenario.The worst-case scenario involves a heavy truck starting "
    "from a stopped position at the stop line at the instant the warning signals are activated.";

} // namespace

// The advisory texts of the six numeric boxes are also where the range check reads each box's
// permitted range, so every blank counts. They are kept verbatim, the unmatched ")" of the
// length text included: the range check reads its bounds correctly all the same.
//
// The boxes' texts at creation ("22", "0.5", " 0", "11", "77", and "0" in the effective
// acceleration) are the layout's, not a worked example: Form_Load blanks the input boxes, and
// its readiness pass rewrites the effective acceleration, before the window first shows.
//
// Columns: Order, name, kind, container, place (left, top, width, height; empty for a line), end
// points of a line (X1, Y1, X2, Y2; empty for anything else), tab index, text, alignment,
// advisory text, picture, back colour, font, access, caption beside it, unit, spoken name.
// clang-format off
const std::array<Control, kControlCount> kControls{{
    {1, "txtDirection", Kind::FreeText, In::Window, {960, 2520, 975, 285}, {}, 2, "", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::Tab, "Label16", "", ""},
    {2, "txtLocation", Kind::FreeText, In::Window, {960, 2040, 2415, 285}, {}, 1, "", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::Tab, "Label15", "", ""},
    {3, "txtEffAccel", Kind::ResultBox, In::Window, {2160, 4680, 495, 285}, {}, 20, "0", Align::Right, "", Picture::None, Back::Face, Font::Default, Access::Disabled, "Label9", "", ""},
    {4, "txtSpd", Kind::TextBox, In::Window, {5040, 3600, 735, 285}, {}, 8, "22", Align::Right, "Vehicle will try to accelerate to this speed (5 to 35) mph", Picture::None, Back::Face, Font::Default, Access::Tab, "Label8", "Label14", ""},
    {5, "txtGrade", Kind::TextBox, In::Window, {2160, 4200, 495, 285}, {}, 5, " 0", Align::Right, "Percent grade (-5  to  5)%", Picture::None, Back::Face, Font::Default, Access::Tab, "Label7", "", ""},
    {6, "txtExitPass", Kind::ResultBox, In::Window, {6600, 5640, 735, 285}, {}, 9, " ", Align::Right, "", Picture::None, Back::Face, Font::Default, Access::ReadOnly, "Label13", "", ""},
    {7, "txtEntryPass", Kind::ResultBox, In::Window, {4560, 5640, 735, 285}, {}, 0, " ", Align::Right, "", Picture::None, Back::Face, Font::Default, Access::ReadOnly, "Label12", "", ""},
    {8, "txtAccel", Kind::TextBox, In::Window, {1680, 3720, 495, 285}, {}, 4, "0.5", Align::Right, "Maximum acceleration on level grade  (0.25 to 10)  f/s/s ", Picture::None, Back::Face, Font::Default, Access::Tab, "Label5", "", ""},
    {9, "txtLength", Kind::TextBox, In::Window, {2520, 3240, 1215, 285}, {}, 3, " ", Align::Centre, "Design vehicle length (10 to 120)  ft)", Picture::None, Back::Face, Font::Default, Access::Tab, "Label4", "", ""},
    {10, "txtExitPos", Kind::TextBox, In::Window, {3960, 4800, 2655, 285}, {}, 7, "77", Align::Centre, "Stop line to exit gate distance (20 to 500) ft.", Picture::None, Back::Face, Font::Default, Access::Tab, "Label3", "", ""},
    {11, "txtEntryPos", Kind::TextBox, In::Window, {3960, 4440, 615, 285}, {}, 6, "11", Align::Centre, "Stop line to entrance gate distance (2 to 40) ft.", Picture::None, Back::Face, Font::Default, Access::Tab, "Label2", "", ""},
    {12, "Picture3", Kind::PictureBox, In::Window, {2520, 3600, 1335, 495}, {}, 22, "", Align::None, "", Picture::Truck, Back::Menu, Font::Default, Access::None, "", "", "Design vehicle: truck at the stop line"},
    {13, "Picture1", Kind::PictureBox, In::Window, {4080, 1920, 855, 1095}, {}, 19, "", Align::None, "", Picture::Signal, Back::Face, Font::Default, Access::None, "", "", "Entrance gate crossing signal"},
    {14, "Picture2", Kind::PictureBox, In::Window, {6000, 1920, 855, 1095}, {}, 18, "", Align::None, "", Picture::Signal, Back::Face, Font::Default, Access::None, "", "", "Exit gate crossing signal"},
    {15, "Frame1", Kind::Frame, In::Window, {1320, 5280, 6615, 1095}, {}, 11, " Results ", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {16, "Command1", Kind::Button, In::Frame1, {4080, 240, 1095, 495}, {}, 29, "Compute", Align::None, "", Picture::None, Back::Face, Font::Default, Access::Tab, "", "", ""},
    {17, "Label13", Kind::Label, In::Frame1, {5400, 720, 495, 255}, {}, 28, "T'p", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {18, "Label12", Kind::Label, In::Frame1, {3360, 720, 375, 255}, {}, 27, "Tp", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {19, "Label6", Kind::Label, In::Frame1, {720, 240, 2295, 495}, {}, 10, "Passage times for the rear end of the vehicle to clear the gates", Align::Right, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {20, "Line7", Kind::Line, In::Frame1, {}, {5280, 360, 5280, 120}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {21, "Line5", Kind::Line, In::Frame1, {}, {3240, 240, 3240, 120}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {22, "Label16", Kind::Label, In::Window, {120, 2550, 735, 255}, {}, 32, "Direction", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {23, "Label15", Kind::Label, In::Window, {120, 2070, 855, 255}, {}, 31, "Location", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {24, "Label14", Kind::Label, In::Window, {5880, 3630, 495, 255}, {}, 30, "mph", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {25, "Line22", Kind::Line, In::Window, {}, {5160, 2400, 5640, 2400}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {26, "Line21", Kind::Line, In::Window, {}, {5160, 2520, 5640, 2520}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {27, "Line20", Kind::Line, In::Window, {}, {5160, 2640, 5640, 2640}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {28, "Line19", Kind::Line, In::Window, {}, {5160, 2760, 5640, 2760}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {29, "Line18", Kind::Line, In::Window, {}, {5160, 2880, 5640, 2880}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {30, "Line17", Kind::Line, In::Window, {}, {5160, 3000, 5640, 3000}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {31, "Line16", Kind::Line, In::Window, {}, {5160, 3120, 5640, 3120}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {32, "Line15", Kind::Line, In::Window, {}, {5160, 3240, 5640, 3240}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {33, "Line14", Kind::Line, In::Window, {}, {5160, 3960, 5640, 3960}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {34, "Line13", Kind::Line, In::Window, {}, {5160, 4080, 5640, 4080}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {35, "Line12", Kind::Line, In::Window, {}, {5160, 4200, 5640, 4200}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {36, "Line11", Kind::Line, In::Window, {}, {5160, 4320, 5640, 4320}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {37, "Image1", Kind::Image, In::Window, {5160, 1680, 495, 705}, {}, -1, "", Align::None, "", Picture::Locomotive, Back::Face, Font::Default, Access::None, "", "", "Locomotive on the track"},
    {38, "Line8", Kind::Line, In::Window, {}, {3240, 4080, 960, 4080}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {39, "Label1", Kind::Label, In::Window, {3480, 1440, 495, 375}, {}, 17, "Stop Line", Align::Right, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {40, "Label11", Kind::Label, In::Window, {6120, 1440, 615, 375}, {}, 15, "Exit Gate", Align::Centre, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {41, "Label10", Kind::Label, In::Window, {3960, 1440, 975, 375}, {}, 16, "Entrance Gate", Align::Centre, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {42, "Label9", Kind::Label, In::Window, {480, 4680, 1575, 255}, {}, 26, "Effective Acceleration", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {43, "Label8", Kind::Label, In::Window, {4680, 3360, 1815, 375}, {}, 14, "Max Veh Crossing Speed", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {44, "Label7", Kind::Label, In::Window, {2760, 4230, 735, 255}, {}, 25, "Grade %", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {45, "Line4", Kind::Line, In::Window, {}, {1560, 4440, 3240, 4080}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {46, "Label5", Kind::Label, In::Window, {480, 3600, 975, 495}, {}, 24, "Max Level Acceleration", Align::Centre, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {47, "Label4", Kind::Label, In::Window, {2520, 3000, 1215, 285}, {}, 23, "Vehicle Length", Align::Centre, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {48, "Label3", Kind::Label, In::Window, {6720, 4830, 1815, 255}, {}, 13, "Exit Gate Position", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {49, "Label2", Kind::Label, In::Window, {4680, 4470, 1695, 255}, {}, 12, "Entrance Gate Position", Align::Left, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {50, "Line3", Kind::Line, In::Window, {}, {3960, 1920, 3960, 5160}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {51, "Line2", Kind::Line, In::Window, {}, {6600, 2880, 6600, 5760}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {52, "Line1", Kind::Line, In::Window, {}, {4560, 2880, 4560, 5760}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {53, "frmMainLabel", Kind::Label, In::Window, {360, 120, 7575, 1215}, {}, 21, kDescription, Align::Centre, "", Picture::None, Back::Face, Font::Description, Access::None, "", "", ""},
    {54, "Line10", Kind::Line, In::Window, {}, {5520, 2400, 5520, 4320}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
    {55, "Line9", Kind::Line, In::Window, {}, {5280, 2400, 5280, 4320}, -1, "", Align::None, "", Picture::None, Back::Face, Font::Default, Access::None, "", "", ""},
}};
// clang-format on

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
