// The layout table both adapters build from, and the rules of the window that follow from it
// alone: the Tab ring, what a screen reader is told and which captions label which box, fonts in
// pixels, readable text colours and what a desktop's theme name asks of them.

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "model/control_names.h"
#include "window/layout.h"

namespace korvane {
namespace {

// The table both adapters build from: what would silently break a window if mistyped.
TEST(LayoutTableTest, OrdersNamesTabIndexesAndCaptionsAreConsistent) {
    std::set<std::string_view> names;
    std::vector<int> tabs;
    int order = 0;
    for (const layout::Control& c : layout::kControls) {
        EXPECT_EQ(c.order, ++order) << c.name;
        EXPECT_TRUE(names.insert(c.name).second) << "two controls named " << c.name;
        if (c.tab >= 0) {
            tabs.push_back(c.tab);
        }
        for (const std::string_view label : {c.labelledBy, c.unitLabel}) {
            if (!label.empty()) {
                const layout::Control* caption = layout::Find(label);
                ASSERT_NE(caption, nullptr) << c.name << " is labelled by " << label;
                EXPECT_EQ(caption->kind, layout::Kind::Label) << label;
            }
        }
        EXPECT_EQ(!c.advisory.empty(), c.kind == layout::Kind::TextBox) << c.name;
        EXPECT_EQ(layout::Find(c.name), &c);
    }
    // The tab indexes run from 0 to 32, each used once.
    std::sort(tabs.begin(), tabs.end());
    ASSERT_EQ(tabs.size(), 33U);
    for (int i = 0; i < 33; ++i) {
        EXPECT_EQ(tabs[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(layout::Find("NoSuchControl"), nullptr);
    EXPECT_EQ(layout::AdvisoryOf("txtLocation"), "");
}

// What a screen reader is told of each control, and how the boxes take the focus: the same on
// every platform, as the window shows it. States: D default button, R read-only, U unavailable.
TEST(LayoutTableTest, WhatAScreenReaderIsToldAndHowControlsTakeTheFocus) {
    using layout::Access;
    using layout::Role;
    struct Row {
        std::string_view control;
        Role role;
        std::string_view name;
        std::string_view description;
        std::string_view states;
        Access access;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtSpd, Role::EditableText, "Max Veh Crossing Speed (mph)", "Vehicle will try to accelerate to this speed (5 to 35) mph", "", Access::Tab},
        {ctl::txtAccel, Role::EditableText, "Max Level Acceleration", "Maximum acceleration on level grade  (0.25 to 10)  f/s/s ", "", Access::Tab},
        {ctl::txtGrade, Role::EditableText, "Grade %", "Percent grade (-5  to  5)%", "", Access::Tab},
        {ctl::txtLength, Role::EditableText, "Vehicle Length", "Design vehicle length (10 to 120)  ft)", "", Access::Tab},
        {ctl::txtEntryPos, Role::EditableText, "Entrance Gate Position", "Stop line to entrance gate distance (2 to 40) ft.", "", Access::Tab},
        {ctl::txtExitPos, Role::EditableText, "Exit Gate Position", "Stop line to exit gate distance (20 to 500) ft.", "", Access::Tab},
        {ctl::txtLocation, Role::EditableText, "Location", "", "", Access::Tab},
        {ctl::txtDirection, Role::EditableText, "Direction", "", "", Access::Tab},
        {ctl::txtEffAccel, Role::EditableText, "Effective Acceleration", "", "U", Access::Disabled},
        {ctl::txtEntryPass, Role::EditableText, "Tp", "", "R", Access::ReadOnly},
        {ctl::txtExitPass, Role::EditableText, "T'p", "", "R", Access::ReadOnly},
        {"Picture1", Role::Graphic, "Entrance gate crossing signal", "", "", Access::None},
        {"Picture2", Role::Graphic, "Exit gate crossing signal", "", "", Access::None},
        {"Picture3", Role::Graphic, "Design vehicle: truck at the stop line", "", "", Access::None},
        {"Image1", Role::Graphic, "Locomotive on the track", "", "", Access::None},
        {"Frame1", Role::Grouping, "Results", "", "", Access::None},
        {ctl::Command1, Role::PushButton, "Compute", "", "D", Access::Tab},
        {"Label8", Role::StaticText, "Max Veh Crossing Speed", "", "", Access::None},
        {"frmMainLabel", Role::StaticText, std::string_view(layout::Find("frmMainLabel")->text), "", "", Access::None},
        {"Line9", Role::None, "", "", "", Access::None},
    };
    // clang-format on
    for (const Row& row : rows) {
        const layout::Control* c = layout::Find(row.control);
        ASSERT_NE(c, nullptr) << row.control;
        const layout::Spoken spoken = layout::SpokenOf(*c);
        EXPECT_EQ(spoken.role, row.role) << row.control;
        EXPECT_EQ(spoken.name, row.name) << row.control;
        EXPECT_EQ(spoken.description, row.description) << row.control;
        std::string states;
        states += spoken.isDefault ? "D" : "";
        states += spoken.readOnly ? "R" : "";
        states += spoken.unavailable ? "U" : "";
        EXPECT_EQ(states, row.states) << row.control;
        EXPECT_EQ(c->access, row.access) << row.control;
    }
    // Every control the table holds is presented, but the lines.
    for (const layout::Control& c : layout::kControls) {
        EXPECT_EQ(layout::SpokenOf(c).role == Role::None, c.kind == layout::Kind::Line) << c.name;
    }
    EXPECT_EQ(layout::FindById(1016), layout::Find(ctl::Command1));
    EXPECT_EQ(layout::FindById(1000), nullptr);
    EXPECT_EQ(layout::FindById(1056), nullptr);
}

// The Tab ring: every control that takes the focus, by tab index, the two read-only
// passage-time boxes included; the window first shows the focus in the first box of the ring
// that takes typed input.
TEST(LayoutTableTest, TheTabRingByTabIndexAndWhereTheFocusFirstShows) {
    using layout::Access;
    struct Row {
        std::string_view control;
        int tab;
        Access access;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtEntryPass, 0, Access::ReadOnly}, {ctl::txtLocation, 1, Access::Tab},
        {ctl::txtDirection, 2, Access::Tab},      {ctl::txtLength, 3, Access::Tab},
        {ctl::txtAccel, 4, Access::Tab},          {ctl::txtGrade, 5, Access::Tab},
        {ctl::txtEntryPos, 6, Access::Tab},       {ctl::txtExitPos, 7, Access::Tab},
        {ctl::txtSpd, 8, Access::Tab},            {ctl::txtExitPass, 9, Access::ReadOnly},
        {ctl::Command1, 29, Access::Tab},
    };
    // clang-format on
    const std::vector<const layout::Control*>& ring = layout::TabRing();
    ASSERT_EQ(ring.size(), std::size(rows));
    for (std::size_t i = 0; i < ring.size(); ++i) {
        EXPECT_EQ(ring[i]->name, rows[i].control) << "stop " << i;
        EXPECT_EQ(ring[i]->tab, rows[i].tab) << rows[i].control;
        EXPECT_EQ(ring[i]->access, rows[i].access) << rows[i].control;
    }
    EXPECT_EQ(layout::FirstFocus().name, ctl::txtLocation);
}

// Tab and Shift+Tab from no control of the ring at all (a name outside it, or none) go to its
// first or its last stop that can take the focus, as the system's own dialogs do.
TEST(LayoutTableTest, TabFromNoControlGoesToTheFirstOrLastStop) {
    struct Row {
        std::string_view from;
        bool backwards;
        bool computeEnabled;
        std::string_view to;
    };
    const Row rows[] = {
        {"", false, false, "txtEntryPass"},
        {"", true, false, "txtExitPass"},
        {"", true, true, "Command1"},
        {"NoSuchControl", true, false, "txtExitPass"},
    };
    for (const Row& row : rows) {
        const std::string_view to =
            layout::NextInTabRing(row.from, row.backwards, [&](std::string_view c) {
                return c != "Command1" || row.computeEnabled;
            });
        EXPECT_EQ(to, row.to) << "from \"" << row.from << "\"";
    }
}

// Which captions label which box, both ways: a screen reader relates each box to the caption
// beside it and to its unit caption, and each of those captions to its box.
TEST(LayoutTableTest, CaptionsLabelTheirBoxesBothWays) {
    struct Row {
        std::string_view box;
        std::vector<std::string_view> labels;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtSpd, {"Label8", "Label14"}},    {ctl::txtAccel, {"Label5"}},
        {ctl::txtGrade, {"Label7"}},             {ctl::txtLength, {"Label4"}},
        {ctl::txtEntryPos, {"Label2"}},          {ctl::txtExitPos, {"Label3"}},
        {ctl::txtLocation, {"Label15"}},         {ctl::txtDirection, {"Label16"}},
        {ctl::txtEffAccel, {"Label9"}},          {ctl::txtEntryPass, {"Label12"}},
        {ctl::txtExitPass, {"Label13"}},
    };
    // clang-format on
    std::set<std::string_view> labelling;
    for (const Row& row : rows) {
        const layout::Control* box = layout::Find(row.box);
        ASSERT_NE(box, nullptr) << row.box;
        std::vector<std::string_view> labels;
        for (const layout::Control* caption : layout::LabelsOf(*box)) {
            labels.push_back(caption->name);
            labelling.insert(caption->name);
            const std::vector<const layout::Control*> boxes = layout::LabelledBy(*caption);
            EXPECT_EQ(boxes, std::vector<const layout::Control*>{box}) << caption->name;
        }
        EXPECT_EQ(labels, row.labels) << row.box;
    }
    // Every box is in the table above; no other control is labelled, and the captions that
    // label no box (the description, the plan's own captions) relate to nothing.
    for (const layout::Control& c : layout::kControls) {
        const bool box = layout::IsTextBox(c.kind);
        EXPECT_EQ(box, std::any_of(std::begin(rows), std::end(rows),
                                   [&](const Row& row) { return row.box == c.name; }))
            << c.name;
        if (!box) {
            EXPECT_TRUE(layout::LabelsOf(c).empty()) << c.name;
        }
        if (c.kind == layout::Kind::Label && labelling.count(c.name) == 0) {
            EXPECT_TRUE(layout::LabelledBy(c).empty()) << c.name;
        }
        if (c.kind != layout::Kind::Label) {
            EXPECT_TRUE(layout::LabelledBy(c).empty()) << c.name;
        }
    }
    EXPECT_EQ(labelling.size(), 12U);
}

// Font heights in whole pixels, rounded to the nearest: truncating would make the 8-point face
// 10 pixels at 96 dpi. Only the description is bold.
TEST(LayoutTableTest, FontsInPixels) {
    struct Row {
        std::string_view control;
        int dpi;
        int pixels;
        int weight;
    };
    const Row rows[] = {
        {"Label1", 96, 11, 400},     {"frmMainLabel", 96, 13, 700},
        {"Label1", 120, 13, 400},    {"frmMainLabel", 120, 16, 700},
        {"Label1", 144, 16, 400},    {"frmMainLabel", 144, 20, 700},
        {ctl::txtSpd, 192, 21, 400}, {"frmMainLabel", 192, 26, 700},
    };
    for (const Row& row : rows) {
        const layout::FontFace& font = layout::FontOf(*layout::Find(row.control));
        EXPECT_EQ(layout::FontPixels(font, row.dpi), row.pixels) << row.control << " " << row.dpi;
        EXPECT_EQ(font.weight, row.weight) << row.control;
        EXPECT_EQ(font.face, "MS Sans Serif");
    }
}

// Text on the result boxes' light cyan keeps the scheme's text colour while it is readable
// there, and turns black when it is not (white, or a light grey, of a dark scheme).
TEST(LayoutTableTest, TextReadableOnTheResultBoxes) {
    struct Row {
        layout::Rgb preferred;
        layout::Rgb shown;
    };
    const Row rows[] = {
        {{0, 0, 0}, {0, 0, 0}},
        {{255, 255, 255}, {0, 0, 0}},
        {{200, 200, 200}, {0, 0, 0}},
        {{0, 0, 128}, {0, 0, 128}},
        {{128, 0, 0}, {128, 0, 0}},
        {{0, 200, 0}, {0, 0, 0}},
        // About 4:1 on the cyan: not readable enough, black instead; about 5.2:1 stays.
        {{118, 118, 118}, {0, 0, 0}},
        {{100, 100, 100}, {100, 100, 100}},
    };
    for (const Row& row : rows) {
        const layout::Rgb shown = layout::ReadableOn(layout::kResultBack, row.preferred);
        EXPECT_TRUE(shown == row.shown) << int(row.preferred.red) << "," << int(row.preferred.green)
                                        << "," << int(row.preferred.blue);
    }
}

// The theme names by which a desktop asks for high contrast: GNOME's and MATE's high-contrast
// themes, GTK_THEME's name:variant form, in any case and spelling of blanks; dark or inverse
// forms ask for light text on a dark background. A dark theme that is not a high-contrast one,
// and a low-contrast one, ask for nothing.
TEST(LayoutTableTest, ThemeNamesThatAskForHighContrast) {
    using layout::ContrastAsked;
    struct Row {
        std::string_view theme;
        ContrastAsked asked;
    };
    // clang-format off
    const Row rows[] = {
        {"HighContrast", ContrastAsked::High},
        {"HighContrastInverse", ContrastAsked::HighInverse},
        {"HighContrast:dark", ContrastAsked::HighInverse},
        {"ContrastHigh", ContrastAsked::High},
        {"ContrastHighInverse", ContrastAsked::HighInverse},
        {"ContrastHighLargePrint", ContrastAsked::High},
        {"Breeze High Contrast", ContrastAsked::High},
        {"high-contrast", ContrastAsked::High},
        {"HIGHCONTRAST", ContrastAsked::High},
        {"Adwaita", ContrastAsked::Normal},
        {"Adwaita-dark", ContrastAsked::Normal},
        {"LowContrast", ContrastAsked::Normal},
        {"Contrast", ContrastAsked::Normal},
        {"", ContrastAsked::Normal},
        {std::string_view("High\0Contrast", 13), ContrastAsked::High},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(layout::ContrastOfTheme(row.theme), row.asked) << row.theme;
    }
    const std::string longName(100000, 'x');
    EXPECT_EQ(layout::ContrastOfTheme(longName + "HighContrast"), ContrastAsked::High);
}

// Contrast ratios as WCAG computes them, and the 7:1 a high-contrast scheme keeps.
TEST(LayoutTableTest, ContrastRatios) {
    struct Row {
        layout::Rgb a, b;
        double ratio;
        bool high;
    };
    const Row rows[] = {
        {{0, 0, 0}, {255, 255, 255}, 21.0, true},
        {{255, 255, 255}, {0, 0, 0}, 21.0, true},
        {{240, 240, 240}, {240, 240, 240}, 1.0, false},
        {{0, 0, 0}, {240, 240, 240}, 18.43, true},
        {{109, 109, 109}, {240, 240, 240}, 4.54, false},
        {{89, 89, 89}, {255, 255, 255}, 7.0, true},
        {{0, 0, 0}, layout::kResultBack, 18.99, true},
        {{90, 90, 90}, {255, 255, 255}, 6.9, false},
    };
    for (const Row& row : rows) {
        EXPECT_NEAR(layout::ContrastRatio(row.a, row.b), row.ratio, 0.05);
        EXPECT_EQ(layout::HighContrastPair(row.a, row.b), row.high);
    }
}

} // namespace
} // namespace korvane
