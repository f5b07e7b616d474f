// The window as a screen reader reads it: korvane.exe runs as a program of its own, and this one
// reads it from outside through Microsoft Active Accessibility (oleacc), as NVDA and JAWS do,
// and checks names, roles, descriptions and states against the layout table.

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>
#include <psapi.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "model/control_names.h"
#include "window/layout.h"
#include "window/win32/msaa_object.h"
#include "window/win32/utf.h"

namespace korvane::win32 {
namespace {

// MSAA's roles for what the layout says a control is.
long ExpectedRole(layout::Role role) {
    switch (role) {
    case layout::Role::EditableText:
        return 42; // ROLE_SYSTEM_TEXT
    case layout::Role::StaticText:
        return 41; // ROLE_SYSTEM_STATICTEXT
    case layout::Role::PushButton:
        return 43; // ROLE_SYSTEM_PUSHBUTTON
    case layout::Role::Grouping:
        return 20; // ROLE_SYSTEM_GROUPING
    case layout::Role::Graphic:
        return 40; // ROLE_SYSTEM_GRAPHIC
    case layout::Role::None:
        break;
    }
    return 0;
}

VARIANT Child(long id) {
    VARIANT v{};
    V_VT(&v) = VT_I4;
    V_I4(&v) = id;
    return v;
}

std::string TakeText(HRESULT hr, BSTR text) {
    std::string result = SUCCEEDED(hr) && text != nullptr ? Narrow(text) : std::string();
    SysFreeString(text);
    return result;
}

// What a screen reader reads of one object, or of one of its simple children.
struct Read {
    std::string name;
    std::string description;
    std::string help;
    std::string value;
    long role = 0;
    long state = 0;
};

Read ReadObject(IAccessible* object, long id = CHILDID_SELF) {
    Read read;
    BSTR text = nullptr;
    HRESULT hr = object->get_accName(Child(id), &text);
    read.name = TakeText(hr, text);
    text = nullptr;
    hr = object->get_accDescription(Child(id), &text);
    read.description = TakeText(hr, text);
    text = nullptr;
    hr = object->get_accHelp(Child(id), &text);
    read.help = TakeText(hr, text);
    text = nullptr;
    hr = object->get_accValue(Child(id), &text);
    read.value = TakeText(hr, text);
    VARIANT v{};
    if (SUCCEEDED(object->get_accRole(Child(id), &v)) && V_VT(&v) == VT_I4) {
        read.role = V_I4(&v);
    }
    VariantClear(&v);
    if (SUCCEEDED(object->get_accState(Child(id), &v)) && V_VT(&v) == VT_I4) {
        read.state = V_I4(&v);
    }
    VariantClear(&v);
    return read;
}

class ScreenReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        std::wstring path(MAX_PATH, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
        path = path.substr(0, path.find_last_of(L"\\/") + 1) + Widen(KORVANE_EXE_FROM_TEST);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_) == FALSE) {
            return;
        }
        WaitForInputIdle(process_.hProcess, 10000);
        for (int i = 0; i < 200 && window_ == nullptr; ++i) {
            HWND found = FindWindowW(L"Korvane", L"KORVANE");
            DWORD pid = 0;
            GetWindowThreadProcessId(found, &pid);
            window_ = pid == process_.dwProcessId ? found : nullptr;
            Sleep(50);
        }
    }

    static void TearDownTestSuite() {
        if (window_ != nullptr) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        if (process_.hProcess != nullptr) {
            WaitForSingleObject(process_.hProcess, 20000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CoUninitialize();
    }

    void SetUp() override { ASSERT_NE(window_, nullptr) << "korvane.exe showed no window"; }

    // The object of a window's client area, as a screen reader asks for it.
    static IAccessible* ClientOf(HWND hwnd) {
        IAccessible* object = nullptr;
        AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                   reinterpret_cast<void**>(&object));
        return object;
    }

    static HWND ControlWindow(const layout::Control& c) {
        const HWND frame = GetDlgItem(window_, layout::ControlId(*layout::Find("Frame1")));
        return GetDlgItem(c.in == layout::In::Frame1 ? frame : window_, layout::ControlId(c));
    }

    // Puts a text into a box from outside, as a screen reader's user may.
    static void Put(std::string_view box, const wchar_t* text) {
        SendMessageW(ControlWindow(*layout::Find(box)), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text));
    }

    // The worked example's inputs.
    static constexpr std::pair<std::string_view, const wchar_t*> kExample[] = {
        {ctl::txtSpd, L"22"},    {ctl::txtAccel, L"0.5"},   {ctl::txtGrade, L"0"},
        {ctl::txtLength, L"65"}, {ctl::txtEntryPos, L"11"}, {ctl::txtExitPos, L"77"}};

    // The drawn children of a window's object, in the order the object lists them.
    static std::vector<Read> DrawnChildren(HWND hwnd, int& windows) {
        IAccessible* object = ClientOf(hwnd);
        std::vector<Read> drawn;
        windows = 0;
        if (object == nullptr) {
            return drawn;
        }
        long count = 0;
        object->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        long got = 0;
        AccessibleChildren(object, 0, count, children.data(), &got);
        for (long i = 0; i < got; ++i) {
            VARIANT& child = children[static_cast<std::size_t>(i)];
            if (V_VT(&child) == VT_I4) {
                drawn.push_back(ReadObject(object, V_I4(&child)));
            } else if (V_VT(&child) == VT_DISPATCH) {
                ++windows;
            }
            VariantClear(&child);
        }
        object->Release();
        return drawn;
    }

    static inline PROCESS_INFORMATION process_{};
    static inline HWND window_ = nullptr;
};

// Every windowed control: named and described as the layout says, in its role, with its value
// and state as the system knows them.
TEST_F(ScreenReaderTest, EveryControlIsNamedDescribedAndInItsRole) {
    int controls = 0;
    for (const layout::Control& c : layout::kControls) {
        if (!layout::IsWindowed(c.kind)) {
            continue;
        }
        ++controls;
        SCOPED_TRACE(std::string(c.name));
        IAccessible* object = ClientOf(ControlWindow(c));
        ASSERT_NE(object, nullptr);
        const Read read = ReadObject(object);
        object->Release();
        const layout::Spoken spoken = layout::SpokenOf(c);
        EXPECT_EQ(read.name, spoken.name);
        EXPECT_EQ(read.role, ExpectedRole(spoken.role));
        if (!spoken.description.empty()) {
            EXPECT_EQ(read.description, spoken.description);
            // Narrator reads the help (UI Automation's HelpText), not the description.
            EXPECT_EQ(read.help, spoken.description);
        }
        EXPECT_EQ((read.state & STATE_SYSTEM_DEFAULT) != 0, spoken.isDefault);
        EXPECT_EQ((read.state & STATE_SYSTEM_READONLY) != 0, spoken.readOnly);
        // Compute is disabled at start-up as well, until the inputs are ready.
        EXPECT_EQ((read.state & STATE_SYSTEM_UNAVAILABLE) != 0,
                  spoken.unavailable || c.name == ctl::Command1);
        // What the system says stays: the boxes' texts, the disabled and read-only boxes, and
        // Compute, disabled at start-up and the default button.
        if (c.name == ctl::txtEffAccel) {
            EXPECT_EQ(read.value, ".");
            EXPECT_TRUE(read.state & STATE_SYSTEM_UNAVAILABLE);
        } else if (c.name == ctl::txtSpd || c.name == ctl::txtEntryPass) {
            EXPECT_EQ(read.value, " ");
        } else if (c.name == ctl::Command1) {
            EXPECT_TRUE(read.state & STATE_SYSTEM_UNAVAILABLE);
            EXPECT_TRUE(read.state & STATE_SYSTEM_DEFAULT);
        }
    }
    EXPECT_EQ(controls, 16);
}

// The states a screen reader gets, from the layout (the default button, the read-only passage
// times, the effective acceleration disabled for good) and from the window (Compute disabled
// until the inputs are ready): before any input, and once the worked example has been typed
// in from outside, as a screen reader's user may do.
TEST_F(ScreenReaderTest, StatesOfTheControls) {
    struct Row {
        bool ready; // the worked example in the boxes
        std::string_view control;
        bool isDefault, readOnly, unavailable;
    };
    // clang-format off
    const Row rows[] = {
        {false, ctl::Command1, true, false, true},
        {false, ctl::txtEntryPass, false, true, false},
        {false, ctl::txtExitPass, false, true, false},
        {false, ctl::txtEffAccel, false, false, true},
        {false, ctl::txtSpd, false, false, false},
        {false, ctl::txtLocation, false, false, false},
        {true, ctl::Command1, true, false, false},
        {true, ctl::txtEntryPass, false, true, false},
        {true, ctl::txtEffAccel, false, false, true},
        {true, ctl::txtSpd, false, false, false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.control) + (row.ready ? ", ready" : ", at start"));
        for (const auto& [box, text] : kExample) {
            Put(box, row.ready ? text : L" ");
        }
        IAccessible* object = ClientOf(ControlWindow(*layout::Find(row.control)));
        ASSERT_NE(object, nullptr);
        const Read read = ReadObject(object);
        object->Release();
        EXPECT_EQ((read.state & STATE_SYSTEM_DEFAULT) != 0, row.isDefault);
        EXPECT_EQ((read.state & STATE_SYSTEM_READONLY) != 0, row.readOnly);
        EXPECT_EQ((read.state & STATE_SYSTEM_UNAVAILABLE) != 0, row.unavailable);
        // The layout says the same of what does not change.
        const layout::Spoken spoken = layout::SpokenOf(*layout::Find(row.control));
        EXPECT_EQ(spoken.isDefault, row.isDefault);
        EXPECT_EQ(spoken.readOnly, row.readOnly);
        if (row.control != ctl::Command1) {
            EXPECT_EQ(spoken.unavailable, row.unavailable);
        }
    }
    for (const auto& [box, text] : kExample) {
        Put(box, L" ");
    }
}

// What a screen reader's user does through MSAA: Compute's default action, read and done, computes
// as a click does once the worked example is in the boxes.
TEST_F(ScreenReaderTest, ComputeIsPressedThroughItsDefaultAction) {
    const auto text = [](std::string_view box) {
        wchar_t buffer[64] = {};
        // From another program, only WM_GETTEXT reads an edit control's text.
        SendMessageW(ControlWindow(*layout::Find(box)), WM_GETTEXT, 64,
                     reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    for (const auto& [box, value] : kExample) {
        Put(box, value);
    }
    IAccessible* compute = ClientOf(ControlWindow(*layout::Find(ctl::Command1)));
    ASSERT_NE(compute, nullptr);
    BSTR action = nullptr;
    const HRESULT hr = compute->get_accDefaultAction(Child(CHILDID_SELF), &action);
    EXPECT_EQ(TakeText(hr, action), "Press");
    EXPECT_EQ(compute->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
    compute->Release();
    for (int i = 0; i < 100 && text(ctl::txtEntryPass) == L" "; ++i) {
        Sleep(20);
    }
    EXPECT_EQ(text(ctl::txtEntryPass), L"16.5");
    EXPECT_EQ(text(ctl::txtExitPass), L"23.6");
    for (const auto& [box, value] : kExample) {
        Put(box, L" ");
    }
}

// The captions and the locomotive that the window and the frame draw are their children.
TEST_F(ScreenReaderTest, DrawnCaptionsAndTheLocomotiveAreChildren) {
    for (const auto container : {layout::In::Window, layout::In::Frame1}) {
        const bool frame = container == layout::In::Frame1;
        SCOPED_TRACE(frame ? "Frame1" : "window");
        int windows = 0;
        const std::vector<Read> drawn =
            DrawnChildren(frame ? ControlWindow(*layout::Find("Frame1")) : window_, windows);
        EXPECT_EQ(windows, frame ? 1 : 15);
        std::vector<const layout::Control*> expected;
        for (const layout::Control& c : layout::kControls) {
            if (c.in == container && !layout::IsWindowed(c.kind) && c.kind != layout::Kind::Line) {
                expected.push_back(&c);
            }
        }
        ASSERT_EQ(drawn.size(), expected.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const layout::Spoken spoken = layout::SpokenOf(*expected[i]);
            EXPECT_EQ(drawn[i].name, spoken.name);
            EXPECT_EQ(drawn[i].role, ExpectedRole(spoken.role));
        }
    }
}

// The locomotive stands where the window draws it, and the screen reader finds it there.
TEST_F(ScreenReaderTest, TheLocomotiveIsFoundAtItsPlace) {
    IAccessible* object = ClientOf(window_);
    ASSERT_NE(object, nullptr);
    const layout::Control& image = *layout::Find("Image1");
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const layout::Place& place = image.place;
    POINT corner{MulDiv(place.left, dpi, 1440), MulDiv(place.top, dpi, 1440)};
    ClientToScreen(window_, &corner);
    VARIANT hit{};
    ASSERT_EQ(object->accHitTest(corner.x + 5, corner.y + 5, &hit), S_OK);
    ASSERT_EQ(V_VT(&hit), VT_I4);
    EXPECT_EQ(ReadObject(object, V_I4(&hit)).name, "Locomotive on the track");
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, hit), S_OK);
    EXPECT_EQ(left, corner.x);
    EXPECT_EQ(top, corner.y);
    EXPECT_EQ(width, MulDiv(place.left + place.width, dpi, 1440) - MulDiv(place.left, dpi, 1440));
    object->Release();
}

// The program's commit charge (what Windows calls its private bytes, and Wine reports as its
// page-file usage) and the number of handles it holds.
struct Footprint {
    long long bytes = 0;
    long handles = 0;
};

Footprint FootprintOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    DWORD handles = 0;
    if (GetProcessMemoryInfo(process, &memory, sizeof(memory)) == FALSE ||
        GetProcessHandleCount(process, &handles) == FALSE) {
        return {-1, -1};
    }
    return {static_cast<long long>(memory.PagefileUsage), static_cast<long>(handles)};
}

// A screen reader asks for the window's object again and again while it runs (on every focus
// change and every read), and each object the window hands out must go when the screen reader
// releases it. Wine's own marshalling keeps about 2 KiB of every request in the program (2.07
// KiB measured over 1 000 requests, the same when the window hands out the system's object
// unchanged); a window that kept its object as well grew by 4.3 KiB or more per request.
TEST_F(ScreenReaderTest, ReadingTheWindowOverAndOverHoldsNoMemoryNorHandles) {
    constexpr int kRequests = 1000;
    constexpr long long kBytesPerRequest = 3 * 1024;
    constexpr long kHandles = 8;
    const auto request = [] {
        IAccessible* object = ClientOf(window_);
        ASSERT_NE(object, nullptr);
        object->Release();
    };
    // The first requests load oleacc, set up COM in the program and fill Wine's caches.
    for (int i = 0; i < 500; ++i) {
        request();
    }
    const Footprint before = FootprintOf(process_.hProcess);
    ASSERT_GE(before.bytes, 0);
    for (int i = 0; i < kRequests; ++i) {
        request();
    }
    const Footprint after = FootprintOf(process_.hProcess);
    const long long grown = after.bytes - before.bytes;
    const long handles = after.handles - before.handles;
    RecordProperty("bytes_grown", std::to_string(grown));
    RecordProperty("handles_grown", std::to_string(handles));
    EXPECT_LE(grown, kRequests * kBytesPerRequest)
        << "the program grew by " << grown / kRequests << " bytes per request";
    EXPECT_LE(handles, kHandles) << "the program holds " << handles << " more handles";
}

} // namespace
} // namespace korvane::win32
