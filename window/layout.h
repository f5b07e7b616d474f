#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The window as it is created: every control and line with its kind, container, Order, place,
// tab index, text, alignment, advisory text and picture. Both toolkit adapters build their
// window from this one table; nothing here depends on a toolkit.
namespace korvane::layout {

// Places and sizes are in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;
// The dots per inch at which a pixel is 15 twips, which a window laid out in pixels assumes.
inline constexpr int kLayoutDpi = 1440 / kTwipsPerPixel;

inline constexpr std::string_view kWindowName = "Korvane";
inline constexpr std::string_view kCaption = "KORVANE";
inline constexpr int kClientWidth = 8445;
inline constexpr int kClientHeight = 6870;

enum class Kind {
    TextBox,    // a numeric input box
    FreeText,   // a free-text input box (location, direction)
    ResultBox,  // a result box: light cyan, no advisory text, no handlers
    Label,      // a caption drawn by its container
    PictureBox, // a picture at its own size, top-left
    Frame,      // a group border with a caption; a container
    Button,     // a push button
    Image,      // a picture scaled to fill, drawn by its container
    Line,       // a one-pixel line drawn by its container
};

enum class In { Window, Frame1 };
enum class Align { None, Left, Right, Centre };
enum class Picture { None, Signal, Truck, Locomotive };
enum class Back { Face, Menu };
enum class Font { Default, Description };

// How the user reaches a control with the keyboard and the mouse.
enum class Access {
    None,     // never takes the focus: labels, lines, the image, the frame, the picture boxes
    Tab,      // in the Tab ring, and takes the focus when clicked: the input boxes and Compute
    ReadOnly, // in the Tab ring too, and takes the focus when clicked: the passage-time boxes,
              // whose text can be read, selected and copied, not edited
    Disabled, // disabled for good: takes no focus, and its text shows greyed
};

// Whether a control can hold the focus at all; every control that can is a stop of the Tab ring.
constexpr bool TakesFocus(Access access) {
    return access == Access::Tab || access == Access::ReadOnly;
}

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// The back colour of the three result boxes.
inline constexpr Rgb kResultBack{192, 255, 255};

// The window's default font, which every caption and box uses, and the description's own.
struct FontFace {
    std::string_view face;
    double points;
    int weight;
};
inline constexpr FontFace kDefaultFont{"MS Sans Serif", 8.0, 400};
inline constexpr FontFace kDescriptionFont{"MS Sans Serif", 9.75, 700};

// Where a control stands in its container: its top-left corner and its size, in twips.
struct Place {
    int left, top, width, height;
};

// A line's two end points in its container, in twips.
struct Ends {
    int x1, y1, x2, y2;
};

// One control or line. Order decides which of two overlapping items of the same group lies on
// top: the lower number. A line has end points and no place; everything else a place.
struct Control {
    int order;
    std::string_view name;
    Kind kind;
    In in;
    Place place;
    Ends ends;
    int tab;               // -1: the control has no tab index
    std::string_view text; // a box's text at creation, or a caption
    Align align;
    std::string_view advisory; // the tool tip; for the numeric boxes it holds the range
    Picture picture;
    Back back;
    Font font;
    Access access;
    // The captions a screen reader names a box by: the label beside it, and a unit label.
    std::string_view labelledBy;
    std::string_view unitLabel;
    // What a screen reader calls a picture, which has no caption: what the picture shows.
    std::string_view spokenName;
};

inline constexpr std::size_t kControlCount = 55;
extern const std::array<Control, kControlCount> kControls;

// The control of that name, or nullptr.
const Control* Find(std::string_view name);

// The advisory text of a control; empty when it has none.
std::string_view AdvisoryOf(std::string_view name);

// Labels, lines and the image are drawn by their container; everything else is a windowed
// control of its own.
constexpr bool IsWindowed(Kind kind) {
    return kind != Kind::Label && kind != Kind::Line && kind != Kind::Image;
}

constexpr bool IsTextBox(Kind kind) {
    return kind == Kind::TextBox || kind == Kind::FreeText || kind == Kind::ResultBox;
}

// The control with that control ID, or nullptr.
const Control* FindById(int id);

// Windowed controls carry the control ID 1000 + Order, by which automation finds them.
constexpr int ControlId(const Control& control) {
    return 1000 + control.order;
}

// The whole-pixel size of a length in twips at 96 dpi.
constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// ---- Rules of the window that both toolkits follow -----------------------------------------

// The controls Tab visits, by their tab indexes: the input boxes, the two passage-time boxes
// (read-only, at tab indexes 0 and 9) and Compute.
const std::vector<const Control*>& TabRing();

// Where the window first shows the focus: the first stop of the Tab ring that takes typed input
// (txtLocation; the passage-time box before it is read-only).
const Control& FirstFocus();

// Whether a control can take the focus now (Compute is disabled at times).
using IsEnabled = std::function<bool(std::string_view control)>;

// The control Tab (or Shift+Tab, backwards) moves the focus to from the control `from`, skipping
// those that are disabled; from a control outside the ring, the next by tab index. Empty when
// no control of the ring can take the focus.
std::string_view NextInTabRing(std::string_view from, bool backwards, const IsEnabled& enabled);

// The font a caption or box is drawn in.
const FontFace& FontOf(const Control& control);

// The height in whole pixels of a font at that many dots per inch, rounded to the nearest
// pixel: 8 points make 11 pixels at 96 dpi and 16 at 144, 9.75 points 13 and 20.
int FontPixels(const FontFace& font, int dpi);

// What a screen reader is told a control is.
enum class Role { None, EditableText, StaticText, PushButton, Grouping, Graphic };

// What a screen reader is told of a control, the same on every platform; each adapter puts it
// into its platform's terms and takes nothing of it from anywhere else.
struct Spoken {
    // None for the lines, which are drawing only and not presented at all.
    Role role = Role::None;
    // A box by the caption beside it and its unit ("Max Veh Crossing Speed (mph)"), a picture by
    // what it shows, the frame by its caption without the blanks that keep it off the border
    // ("Results"), the button and a label by their captions.
    std::string name;
    // The advisory text: for a numeric box, its range.
    std::string description;
    // Compute: Enter presses it wherever the focus is.
    bool isDefault = false;
    // A passage-time box: its text can be read, selected and copied, not edited.
    bool readOnly = false;
    // The effective acceleration: disabled for good.
    bool unavailable = false;
};
Spoken SpokenOf(const Control& control);

// The name a role goes by in the layout rows that tests read ("editable text", ...).
std::string_view RoleName(Role role);

// The captions that label a box, as a screen reader is to relate them: the caption beside it,
// then its unit caption (txtSpd: Label8 and Label14). Empty for anything but a box.
std::vector<const Control*> LabelsOf(const Control& box);

// The boxes a caption labels, the other way round (Label14: txtSpd). Empty for a caption that
// labels no box, and for anything but a caption.
std::vector<const Control*> LabelledBy(const Control& caption);

// How far two colours stand apart: the contrast ratio of their relative luminances, from 1 (the
// same) to 21 (black and white).
double ContrastRatio(Rgb a, Rgb b);

// A colour for text on the background `back`: `preferred`, the scheme's own text colour, while
// it stands out clearly enough from the background (a contrast ratio of 4.5 or more), otherwise
// black or white, whichever stands out more.
Rgb ReadableOn(Rgb back, Rgb preferred);

// What a desktop asks of the window's colours through the name of its theme: GNOME's, MATE's
// and the other GTK desktops' high-contrast themes ("HighContrast", "HighContrastInverse",
// "ContrastHighInverse", GTK_THEME's "HighContrast:dark") ask for high contrast, their inverse
// and dark forms for light text on a dark background; any other theme for the window's own
// colours. Case, blanks and punctuation do not count.
enum class ContrastAsked { Normal, High, HighInverse };
ContrastAsked ContrastOfTheme(std::string_view theme);

// Whether a text colour stands out from its background as a high-contrast scheme has it: a
// contrast ratio of 7 or more.
bool HighContrastPair(Rgb text, Rgb back);

} // namespace korvane::layout
