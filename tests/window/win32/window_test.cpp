// The Windows window, shown for real and driven in-process: keys and clicks go in through
// SendInput as the keyboard and the mouse deliver them and come out of the window's own
// message loop; a "Range Error" message box is read and answered from a timer that fires
// inside its modal loop.

#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <imm.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "model/control_names.h"
#include "sessions/focus_sessions.h"
#include "window/layout.h"
#include "window/win32/msaa_object.h"
#include "window/win32/utf.h"

namespace korvane::win32 {
namespace {

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// What one message box showed.
struct Shown {
    std::wstring title;
    std::wstring text;
    std::vector<std::wstring> buttons;
    bool icon = false;
    // What a screen reader reads of it through MSAA: its name and its description.
    std::wstring spokenName;
    std::wstring spokenDescription;
};

// A message box's name and description as a screen reader asks for them.
void ReadAloud(HWND box, Shown& shown) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(box, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return;
    }
    VARIANT self{};
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text)) && text != nullptr) {
        shown.spokenName = text;
    }
    SysFreeString(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accDescription(self, &text)) && text != nullptr) {
        shown.spokenDescription = text;
    }
    SysFreeString(text);
    object->Release();
}

// While it lives, every message box of this thread is read and closed: with its OK button, or
// by the key given, pressed as the keyboard delivers it.
class MessageBoxes {
public:
    explicit MessageBoxes(WORD answerKey = 0)
        : answerKey_(answerKey), timer_(SetTimer(nullptr, 0, 10, Tick)) {
        current_ = this;
    }
    ~MessageBoxes() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    const std::vector<Shown>& Seen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), Found, 0);
    }

    static BOOL CALLBACK Found(HWND box, LPARAM) {
        wchar_t cls[16] = {};
        GetClassNameW(box, cls, 16);
        if (current_ == nullptr || std::wstring_view(cls) != L"#32770" || !IsWindowVisible(box) ||
            !current_->answered_.insert(box).second) {
            return TRUE;
        }
        Shown shown;
        shown.title = WindowText(box);
        shown.text = WindowText(GetDlgItem(box, 0xFFFF)); // a message box's text
        EnumChildWindows(box, Child, reinterpret_cast<LPARAM>(&shown));
        ReadAloud(box, shown);
        current_->seen_.push_back(shown);
        if (current_->answerKey_ != 0) {
            INPUT input[2] = {};
            for (INPUT& i : input) {
                i.type = INPUT_KEYBOARD;
                i.ki.wVk = current_->answerKey_;
            }
            input[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, input, sizeof(INPUT));
            return TRUE;
        }
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return TRUE;
    }

    static BOOL CALLBACK Child(HWND child, LPARAM param) {
        auto& shown = *reinterpret_cast<Shown*>(param);
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!IsWindowVisible(child)) {
            return TRUE;
        }
        if (std::wstring_view(cls) == L"Button") {
            shown.buttons.push_back(WindowText(child));
        } else if (std::wstring_view(cls) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
                   SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            shown.icon = true;
        }
        return TRUE;
    }

    static inline MessageBoxes* current_ = nullptr;
    WORD answerKey_;
    UINT_PTR timer_;
    std::vector<Shown> seen_;
    std::set<HWND> answered_;
};

// The slot of this program's import table through which it calls an imported function.
void** ImportSlot(const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

// While it lives, this program's calls of one imported function go to a replacement: how the
// tests see what the window asks of Windows, and answer what Wine cannot be made to say.
class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement)
        : slot_(ImportSlot(dll, function)) {
        if (slot_ != nullptr) {
            original_ = Swap(replacement);
        }
    }
    ~ImportHook() {
        if (slot_ != nullptr) {
            Swap(original_);
        }
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Hooked() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    void* Swap(void* function) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection);
        void* previous = *slot_;
        *slot_ = function;
        VirtualProtect(slot_, sizeof(void*), protection, &protection);
        return previous;
    }

    void** slot_;
    void* original_ = nullptr;
};

// Counts the beeps the window asks Windows for, which sound nothing while it lives.
class Beeps {
public:
    Beeps() { Reset(); }
    bool Hooked() const { return hook_.Hooked(); }
    void Reset() {
        count_ = 0;
        defaultSound_ = true;
    }
    // How many beeps, and whether each was the default beep.
    int Count() const { return count_; }
    bool AllDefault() const { return defaultSound_; }

private:
    static BOOL WINAPI Counted(UINT type) {
        ++count_;
        defaultSound_ = defaultSound_ && type == MB_OK;
        return TRUE;
    }

    static inline int count_ = 0;
    static inline bool defaultSound_ = true;
    ImportHook hook_{"user32.dll", "MessageBeep", reinterpret_cast<void*>(&Counted)};
};

// Counts the window's requests to give the focus to a disabled control, which Windows grants
// (the keys then go nowhere) and Wine refuses, while this lives.
class FocusOnDisabled {
public:
    FocusOnDisabled() {
        count_ = 0;
        original_ = reinterpret_cast<Function>(hook_.Original());
    }
    bool Hooked() const { return hook_.Hooked(); }
    int Count() const { return count_; }

private:
    using Function = HWND(WINAPI*)(HWND);
    static HWND WINAPI Asked(HWND hwnd) {
        if (hwnd != nullptr && IsWindowEnabled(hwnd) == FALSE) {
            ++count_;
        }
        return original_(hwnd);
    }

    static inline int count_ = 0;
    static inline Function original_ = nullptr;
    ImportHook hook_{"user32.dll", "SetFocus", reinterpret_cast<void*>(&Asked)};
};

// Windows' high contrast, which Wine neither has nor lets a program switch on, as the window
// reads it while this lives.
class HighContrast {
public:
    explicit HighContrast(bool on) {
        on_ = on;
        original_ = reinterpret_cast<Function>(hook_.Original());
    }
    bool Hooked() const { return hook_.Hooked(); }

private:
    using Function = BOOL(WINAPI*)(UINT, UINT, void*, UINT);
    static BOOL WINAPI Answer(UINT action, UINT size, void* value, UINT flags) {
        if (action == SPI_GETHIGHCONTRAST && value != nullptr) {
            auto* contrast = static_cast<HIGHCONTRASTW*>(value);
            contrast->dwFlags = on_ ? HCF_HIGHCONTRASTON : 0;
            contrast->lpszDefaultScheme = nullptr;
            return TRUE;
        }
        return original_(action, size, value, flags);
    }

    static inline bool on_ = false;
    static inline Function original_ = nullptr;
    ImportHook hook_{"user32.dll", "SystemParametersInfoW", reinterpret_cast<void*>(&Answer)};
};

// Another program's window: a top-level window with a thread of its own, which a test makes
// the foreground window as a user switches to another program.
class OtherProgram {
public:
    OtherProgram() : thread_([this] { Run(); }) {
        for (int i = 0; i < 1000 && window_.load() == nullptr; ++i) {
            Sleep(1);
        }
    }
    ~OtherProgram() {
        PostThreadMessageW(threadId_.load(), WM_QUIT, 0, 0);
        thread_.join();
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    HWND Window() const { return window_.load(); }

private:
    void Run() {
        // Shown without taking the foreground: the test switches to it when it means to.
        HWND hwnd = CreateWindowExW(0, L"STATIC", L"OTHER", WS_OVERLAPPEDWINDOW, 40, 40, 240, 120,
                                    nullptr, nullptr, nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for WM_QUIT
        threadId_ = GetCurrentThreadId();
        window_ = hwnd;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DestroyWindow(hwnd);
    }

    std::atomic<HWND> window_{nullptr};
    std::atomic<DWORD> threadId_{0};
    std::thread thread_;
};

// The back colour of the result boxes.
constexpr COLORREF kCyan =
    RGB(layout::kResultBack.red, layout::kResultBack.green, layout::kResultBack.blue);

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<Win32Window>(GetModuleHandleW(nullptr));
        window->Show(SW_SHOWNORMAL);
        SetForegroundWindow(window->Handle());
        Pump();
        ASSERT_TRUE(beeps.Hooked());
        beeps.Reset();
    }

    void TearDown() override {
        window.reset();
        Pump();
    }

    // Runs the window's message loop until nothing is left to do.
    void Pump() {
        for (int idle = 0; idle < 3; ++idle) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                idle = 0;
                if (!window || !window->PreTranslate(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            Sleep(1);
        }
    }

    HWND Box(std::string_view name) const { return window->ControlWindow(name); }
    std::string Text(std::string_view name) const { return window->Text(name); }
    bool ComputeEnabled() const { return IsWindowEnabled(Box(ctl::Command1)) != FALSE; }

    void Press(WORD key, bool shift = false) {
        if (shift) {
            SendKey(VK_SHIFT, false);
        }
        SendKey(key, false);
        SendKey(key, true);
        if (shift) {
            SendKey(VK_SHIFT, true);
        }
        Pump();
    }

    // Types the text one UTF-16 unit at a time, as a keyboard or an input method delivers it.
    void Type(std::wstring_view text) {
        for (const wchar_t unit : text) {
            INPUT input[2] = {};
            for (INPUT& i : input) {
                i.type = INPUT_KEYBOARD;
                i.ki.wScan = unit;
                i.ki.dwFlags = KEYEVENTF_UNICODE;
            }
            input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
            SendInput(2, input, sizeof(INPUT));
            Pump();
        }
    }

    // Commits the text as an input method does, all at once: the system's input method of the
    // box composes it and completes the composition, and the box gets WM_IME_STARTCOMPOSITION,
    // WM_IME_COMPOSITION with the result, WM_IME_ENDCOMPOSITION, and the result's characters.
    void Commit(HWND box, std::wstring_view text) {
        HIMC context = ImmGetContext(box);
        ASSERT_NE(context, nullptr);
        ImmSetOpenStatus(context, TRUE);
        ASSERT_TRUE(ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text.data()),
                                             static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                             nullptr, 0));
        ASSERT_TRUE(ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(box, context);
        Pump();
    }

    void Mouse(HWND target, DWORD buttons) {
        RECT rect;
        GetWindowRect(target, &rect);
        const int x = (rect.left + rect.right) / 2;
        const int y = (rect.top + rect.bottom) / 2;
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
        SendInput(1, &input, sizeof(input));
    }

    void Click(HWND target) {
        Mouse(target, MOUSEEVENTF_LEFTDOWN);
        Mouse(target, MOUSEEVENTF_LEFTUP);
        Pump();
    }

    // Makes the window the foreground window, as a user switching to it does, and waits until
    // the switch has reached this window.
    void Activate(HWND target) {
        SetForegroundWindow(target);
        for (int i = 0; i < 200 && GetForegroundWindow() != target; ++i) {
            Pump();
        }
        Pump();
        ASSERT_EQ(GetForegroundWindow(), target);
    }

    // The worked example, put into the boxes through the window operations.
    void PutExample(std::string_view speed = "22") {
        window->SetText(ctl::txtSpd, speed);
        window->SetText(ctl::txtAccel, "0.5");
        window->SetText(ctl::txtGrade, "0");
        window->SetText(ctl::txtLength, "65");
        window->SetText(ctl::txtEntryPos, "11");
        window->SetText(ctl::txtExitPos, "77");
    }

    bool Computed() const { return Text(ctl::txtEntryPass) != " "; }

    // The text on the clipboard.
    static std::wstring Clipboard() {
        std::wstring text;
        if (OpenClipboard(nullptr) == FALSE) {
            return text;
        }
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = units;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }

    COLORREF Pixel(int twipsX, int twipsY) const {
        HDC dc = GetDC(window->Handle());
        const COLORREF colour = GetPixel(dc, MulDiv(twipsX, static_cast<int>(window->Dpi()), 1440),
                                         MulDiv(twipsY, static_cast<int>(window->Dpi()), 1440));
        ReleaseDC(window->Handle(), dc);
        return colour;
    }

    std::unique_ptr<Win32Window> window;
    Beeps beeps;
};

TEST_F(Win32WindowTest, StartsBlankWithComputeDisabledAndFocusInLocation) {
    for (const std::string_view box :
         {ctl::txtSpd, ctl::txtAccel, ctl::txtGrade, ctl::txtLength, ctl::txtEntryPos,
          ctl::txtExitPos, ctl::txtEntryPass, ctl::txtExitPass}) {
        EXPECT_EQ(Text(box), " ") << box;
    }
    EXPECT_EQ(Text(ctl::txtEffAccel), ".");
    EXPECT_FALSE(ComputeEnabled());
    EXPECT_EQ(GetFocus(), Box(ctl::txtLocation));
    EXPECT_FALSE(IsWindowEnabled(Box(ctl::txtEffAccel)));
    EXPECT_TRUE(GetWindowLongW(Box(ctl::txtEntryPass), GWL_STYLE) & ES_READONLY);
    // Compute is drawn as the default button, which Enter presses.
    EXPECT_EQ(GetWindowLongW(Box(ctl::Command1), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    RECT client;
    GetClientRect(window->Handle(), &client);
    const int dpi = static_cast<int>(window->Dpi());
    EXPECT_EQ(client.right, MulDiv(layout::kClientWidth, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(layout::kClientHeight, dpi, 1440));
}

// Automation finds every windowed control by the ID 1000 + its Order, under its container.
TEST_F(Win32WindowTest, ControlsAreFoundByTheirIds) {
    struct Row {
        std::string_view control;
        int id;
    };
    // clang-format off
    const Row rows[] = {
        {ctl::txtDirection, 1001}, {ctl::txtLocation, 1002}, {ctl::txtEffAccel, 1003},
        {ctl::txtSpd, 1004},       {ctl::txtGrade, 1005},    {ctl::txtExitPass, 1006},
        {ctl::txtEntryPass, 1007}, {ctl::txtAccel, 1008},    {ctl::txtLength, 1009},
        {ctl::txtExitPos, 1010},   {ctl::txtEntryPos, 1011}, {"Picture3", 1012},
        {"Picture1", 1013},        {"Picture2", 1014},       {"Frame1", 1015},
        {ctl::Command1, 1016},
    };
    // clang-format on
    for (const Row& row : rows) {
        HWND container = row.control == ctl::Command1 ? Box("Frame1") : window->Handle();
        ASSERT_NE(Box(row.control), nullptr) << row.control;
        EXPECT_EQ(GetDlgItem(container, row.id), Box(row.control)) << row.control;
    }
}

TEST_F(Win32WindowTest, TabRingFollowsTheTabIndexesBothWays) {
    // The passage-time boxes are read-only stops at their tab indexes 0 and 9.
    const std::vector<std::string_view> ring = {
        ctl::txtLocation, ctl::txtDirection, ctl::txtLength,  ctl::txtAccel,
        ctl::txtGrade,    ctl::txtEntryPos,  ctl::txtExitPos, ctl::txtSpd,
        ctl::txtExitPass, ctl::txtEntryPass, ctl::txtLocation};
    for (std::size_t i = 1; i < ring.size(); ++i) {
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), Box(ring[i])) << "Tab to " << ring[i];
    }
    for (std::size_t i = ring.size() - 1; i-- > 0;) {
        Press(VK_TAB, true);
        EXPECT_EQ(GetFocus(), Box(ring[i])) << "Shift+Tab to " << ring[i];
    }

    // An enabled Compute takes its turn after T'p.
    PutExample();
    ASSERT_TRUE(ComputeEnabled());
    Press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), Box(ctl::txtEntryPass));
    Press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), Box(ctl::Command1));
    Press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), Box(ctl::txtExitPass));
    Press(VK_TAB);
    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Box(ctl::txtLocation));
}

TEST_F(Win32WindowTest, WorkedExampleTypedKeyByKey) {
    const MessageBoxes boxes;
    Press(VK_TAB); // txtDirection
    const std::pair<std::string_view, std::wstring_view> inputs[] = {
        {ctl::txtLength, L"65"},   {ctl::txtAccel, L"0.5"},  {ctl::txtGrade, L"0"},
        {ctl::txtEntryPos, L"11"}, {ctl::txtExitPos, L"77"}, {ctl::txtSpd, L"22"}};
    for (const auto& [box, text] : inputs) {
        Press(VK_TAB);
        ASSERT_EQ(GetFocus(), Box(box));
        Type(text);
        EXPECT_EQ(Text(box), Narrow(text));
    }
    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), Box(ctl::txtExitPass));
    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), Box(ctl::Command1));
    Press(VK_SPACE);
    EXPECT_EQ(Text(ctl::txtEntryPass), "16.5");
    EXPECT_EQ(Text(ctl::txtExitPass), "23.6");
    EXPECT_TRUE(boxes.Seen().empty());

    // Any later edit blanks both results.
    Click(Box(ctl::txtLength));
    Type(L"0");
    EXPECT_EQ(Text(ctl::txtEntryPass), " ");
    EXPECT_EQ(Text(ctl::txtExitPass), " ");
}

// By keyboard alone: the results are reached by Tab, selected, and copied with Ctrl+C; a Range
// Error message closes by Enter and by Escape, the focus is then where Tab sent it, and the ring
// goes on from there.
TEST_F(Win32WindowTest, KeyboardAloneCopiesTheResultsAndClosesRangeErrors) {
    {
        const MessageBoxes boxes;
        PutExample();
        SetFocus(Box(ctl::txtSpd));
        Pump();
        Press(VK_RETURN);
        ASSERT_TRUE(Computed());
        const std::pair<std::string_view, std::wstring_view> stops[] = {
            {ctl::txtExitPass, L"23.6"}, {ctl::Command1, L""}, {ctl::txtEntryPass, L"16.5"}};
        for (const auto& [stop, copied] : stops) {
            Press(VK_TAB);
            ASSERT_EQ(GetFocus(), Box(stop)) << stop;
            if (!copied.empty()) {
                SendKey(VK_CONTROL, false);
                Press('C');
                SendKey(VK_CONTROL, true);
                Pump();
                EXPECT_EQ(Clipboard(), copied) << stop;
            }
        }
        EXPECT_TRUE(boxes.Seen().empty());
    }
    for (const WORD key : {WORD{VK_RETURN}, WORD{VK_ESCAPE}}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        const MessageBoxes boxes(key);
        PutExample("50");
        SetFocus(Box(ctl::txtSpd));
        Pump();
        Press(VK_TAB);
        ASSERT_EQ(boxes.Seen().size(), 1U);
        EXPECT_EQ(boxes.Seen().front().title, L"Range Error");
        for (int i = 0; i < 20 && GetFocus() != Box(ctl::txtExitPass); ++i) {
            Pump();
        }
        EXPECT_EQ(GetFocus(), Box(ctl::txtExitPass));
        // Compute, disabled by the failed check, takes no turn.
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), Box(ctl::txtEntryPass));
        Press(VK_TAB, true);
        Press(VK_TAB, true);
        EXPECT_EQ(GetFocus(), Box(ctl::txtSpd));
        EXPECT_EQ(boxes.Seen().size(), 1U);
    }
}

TEST_F(Win32WindowTest, LeavingAnOutOfRangeBoxShowsTheRangeError) {
    const MessageBoxes boxes;
    PutExample();
    Click(Box(ctl::txtSpd));
    Press(VK_END);
    Press(VK_BACK);
    Press(VK_BACK);
    Type(L"50");
    ASSERT_TRUE(ComputeEnabled());
    Click(Box(ctl::txtGrade));

    ASSERT_EQ(boxes.Seen().size(), 1U);
    const Shown& shown = boxes.Seen().front();
    EXPECT_EQ(shown.text, L"Entered Value of 50 is outside of the range 5 to 35");
    EXPECT_EQ(shown.title, L"Range Error");
    EXPECT_EQ(shown.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(shown.icon);
    EXPECT_FALSE(ComputeEnabled());
    EXPECT_EQ(Text(ctl::txtSpd), "50");
    EXPECT_EQ(GetFocus(), Box(ctl::txtGrade));

    // Leaving a box with an in-range value does not enable Compute again.
    Press(VK_TAB);
    EXPECT_TRUE(boxes.Seen().size() == 1 && !ComputeEnabled());
}

// A "Range Error" message is described to a screen reader by the spoken name of the box it is
// about; its text and its name (the title) stay the check's own. The box, holding a value out of
// its range, is left by a click into txtLocation.
TEST_F(Win32WindowTest, RangeErrorDescribedByItsBox) {
    struct Row {
        std::string_view box;
        std::string_view value;
        std::wstring_view text;
        std::wstring_view description;
    };
    // clang-format off
    constexpr Row kRows[] = {
        {ctl::txtSpd, "50", L"Entered Value of 50 is outside of the range 5 to 35", L"Max Veh Crossing Speed (mph)"},
        {ctl::txtAccel, "11", L"Entered Value of 11 is outside of the range 0.25 to 10", L"Max Level Acceleration"},
        {ctl::txtGrade, "9", L"Entered Value of 9 is outside of the range -5  to  5", L"Grade %"},
        {ctl::txtLength, "5", L"Entered Value of 5 is outside of the range 10 to 120)  ft", L"Vehicle Length"},
        {ctl::txtEntryPos, "41", L"Entered Value of 41 is outside of the range 2 to 40", L"Entrance Gate Position"},
        {ctl::txtExitPos, "501", L"Entered Value of 501 is outside of the range 20 to 500", L"Exit Gate Position"},
    };
    // clang-format on
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.box));
        const MessageBoxes boxes;
        PutExample();
        window->SetText(row.box, row.value);
        Click(Box(row.box));
        Click(Box(ctl::txtLocation));
        ASSERT_EQ(boxes.Seen().size(), 1U);
        const Shown& shown = boxes.Seen().front();
        EXPECT_EQ(shown.title, L"Range Error");
        EXPECT_EQ(shown.text, row.text);
        EXPECT_EQ(shown.spokenName, L"Range Error");
        EXPECT_EQ(shown.spokenDescription, row.description);
        EXPECT_EQ(GetFocus(), Box(ctl::txtLocation));
    }
}

// A box is left only when the focus goes from it to another control of this window: the
// window's row for each way the focus can go from txtSpd holding 50.
TEST_F(Win32WindowTest, LeavingABox) {
    enum class Act {
        Click,          // a click on the control
        Message,        // a message box of the window opens and is answered
        OtherProgram,   // the user switches to another program and back
        OtherThenClick, // to another program, back, then a click on the control
        Close,          // the window is closed
    };
    struct Row {
        const char* what;
        Act act;
        std::string_view control;
        std::size_t rangeErrors;
        std::string_view focus; // afterwards; empty: the window is closed
    };
    // clang-format off
    const Row rows[] = {
        {"to another box", Act::Click, ctl::txtGrade, 1, ctl::txtGrade},
        {"to the button, which the failed check disables", Act::Click, ctl::Command1, 1, ctl::txtEntryPass},
        {"to a result box, clicked into", Act::Click, ctl::txtExitPass, 1, ctl::txtExitPass},
        {"to the message box", Act::Message, {}, 0, ctl::txtSpd},
        {"to another program and back", Act::OtherProgram, {}, 0, ctl::txtSpd},
        {"to another program, back, then to another box", Act::OtherThenClick, ctl::txtAccel, 1, ctl::txtAccel},
        {"the same box again", Act::Click, ctl::txtSpd, 0, ctl::txtSpd},
        {"a click on a picture, which takes no focus", Act::Click, "Picture1", 0, ctl::txtSpd},
        {"the window closing", Act::Close, {}, 0, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        const MessageBoxes boxes;
        PutExample("50");
        Click(Box(ctl::txtSpd));
        ASSERT_EQ(GetFocus(), Box(ctl::txtSpd));
        const OtherProgram other;
        switch (row.act) {
        case Act::Click:
            Click(Box(row.control));
            break;
        case Act::Message:
            window->ShowMessage("Saved", "Korvane");
            Pump();
            ASSERT_EQ(boxes.Seen().size(), 1U);
            break;
        case Act::OtherProgram:
        case Act::OtherThenClick:
            Activate(other.Window());
            EXPECT_EQ(GetFocus(), nullptr);
            Activate(window->Handle());
            if (row.act == Act::OtherThenClick) {
                Click(Box(row.control));
            }
            break;
        case Act::Close:
            SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
            Pump();
            EXPECT_FALSE(window->IsOpen());
            break;
        }
        const auto rangeErrors =
            std::count_if(boxes.Seen().begin(), boxes.Seen().end(),
                          [](const Shown& s) { return s.title == L"Range Error"; });
        EXPECT_EQ(static_cast<std::size_t>(rangeErrors), row.rangeErrors);
        if (!row.focus.empty()) {
            EXPECT_EQ(GetFocus(), Box(row.focus)) << "the focus is not on " << row.focus;
            EXPECT_EQ(ComputeEnabled(), row.rangeErrors == 0);
        }
        TearDown();
    }
}

// Compute had the focus last when the window went into the background, and was disabled there:
// back in the window, the focus goes to the next control that can take it, and keys act there.
TEST_F(Win32WindowTest, FocusReturnsToAUsableControl) {
    struct Row {
        bool disabledInTheBackground;
        std::string_view focus; // on return
        WORD key;               // pressed there
        std::string_view text;  // of the focused box afterwards, or the entry passage time
    };
    // The next control after Compute is Tp, a read-only stop: typing there changes nothing.
    const Row rows[] = {{true, ctl::txtEntryPass, 'X', " "},
                        {false, ctl::Command1, VK_SPACE, "16.5"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.disabledInTheBackground ? "disabled" : "left enabled");
        SetUp();
        PutExample();
        Click(Box(ctl::txtSpd));
        Press(VK_TAB);
        Press(VK_TAB);
        ASSERT_EQ(GetFocus(), Box(ctl::Command1));
        const FocusOnDisabled focusOnDisabled;
        ASSERT_TRUE(focusOnDisabled.Hooked());
        const OtherProgram other;
        Activate(other.Window());
        if (row.disabledInTheBackground) {
            window->SetText(ctl::txtAccel, " ");
            ASSERT_FALSE(ComputeEnabled());
        }
        Activate(window->Handle());
        EXPECT_EQ(GetFocus(), Box(row.focus));
        EXPECT_EQ(focusOnDisabled.Count(), 0) << "the focus was given to a disabled control";
        Press(row.key);
        EXPECT_EQ(Text(row.focus == ctl::Command1 ? ctl::txtEntryPass : row.focus), row.text);
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(),
                  Box(row.disabledInTheBackground ? ctl::txtLocation : ctl::txtEntryPass));
        TearDown();
    }
}

// The user sessions the Qt window plays too (focus_sessions.h), by real input: after every step
// the focus is where the table says, and every message it names has come, no other.
TEST_F(Win32WindowTest, FocusSessionsAroundRangeErrors) {
    for (const sessions::Session& session : sessions::FocusSessions()) {
        SCOPED_TRACE(std::string(session.name));
        SetUp();
        const MessageBoxes boxes;
        std::size_t messages = 0;
        for (const sessions::Step& step : session.steps) {
            const std::string what = std::string(step.control) + " " + std::string(step.text) +
                                     " key " + std::to_string(static_cast<int>(step.key));
            if (step.act == sessions::Act::Type || step.act == sessions::Act::Keys ||
                step.act == sessions::Act::Click) {
                ASSERT_NE(Box(step.control), nullptr) << what;
                Click(Box(step.control));
            }
            if (step.act == sessions::Act::Type) {
                Press(VK_END);
                Press(VK_HOME, true);
                Press(VK_DELETE);
            } else if (step.act == sessions::Act::Keys) {
                Press(VK_END);
            }
            switch (step.act) {
            case sessions::Act::Type:
            case sessions::Act::Keys:
            case sessions::Act::Chars:
                Type(Widen(step.text));
                break;
            case sessions::Act::Key:
                switch (step.key) {
                case sessions::Key::Tab:
                case sessions::Key::BackTab:
                    Press(VK_TAB, step.key == sessions::Key::BackTab);
                    break;
                case sessions::Key::Enter:
                    Press(VK_RETURN);
                    break;
                case sessions::Key::Escape:
                    Press(VK_ESCAPE);
                    break;
                case sessions::Key::Backspace:
                    Press(VK_BACK);
                    break;
                case sessions::Key::Space:
                    Press(VK_SPACE);
                    break;
                case sessions::Key::NoKey:
                    break;
                }
                break;
            case sessions::Act::Click:
                break;
            }
            EXPECT_EQ(GetFocus(), Box(step.focus))
                << what << ": the focus is not on " << step.focus;
            const std::size_t expected = messages + (step.message.empty() ? 0 : 1);
            ASSERT_EQ(boxes.Seen().size(), expected) << what;
            if (!step.message.empty()) {
                EXPECT_EQ(boxes.Seen().back().text, Widen(step.message)) << what;
                EXPECT_EQ(boxes.Seen().back().title, L"Range Error") << what;
            }
            messages = expected;
        }
        TearDown();
    }
}

// A click on Compute that takes the focus from a box runs the box's range check first; a
// failed check leaves the click without effect.
TEST_F(Win32WindowTest, ClickOnComputeAfterTheRangeCheckOfTheBoxItLeaves) {
    struct Row {
        std::string_view speed;
        std::size_t messages;
        bool computes;
        std::string_view focus; // afterwards: a Compute disabled while focused hands it on
    };
    const Row rows[] = {{"50", 1, false, ctl::txtEntryPass},
                        {"22", 0, true, ctl::Command1},
                        {" ", 0, false, ctl::txtSpd}};
    for (const Row& row : rows) {
        SetUp();
        const MessageBoxes boxes;
        PutExample(row.speed);
        SetFocus(Box(ctl::txtSpd));
        Pump();
        Click(Box(ctl::Command1));
        EXPECT_EQ(boxes.Seen().size(), row.messages) << row.speed;
        EXPECT_EQ(Computed(), row.computes) << row.speed;
        EXPECT_EQ(GetFocus(), Box(row.focus)) << row.speed;
        TearDown();
    }
}

// A click notification that still arrives from a disabled Compute, or while a message box
// holds the window, computes nothing.
TEST_F(Win32WindowTest, DisabledComputeDeliversNoClick) {
    PutExample();
    HWND compute = Box(ctl::Command1);
    const WPARAM clicked = MAKEWPARAM(layout::ControlId(*layout::Find(ctl::Command1)), BN_CLICKED);
    EnableWindow(window->Handle(), FALSE);
    SendMessageW(GetParent(compute), WM_COMMAND, clicked, reinterpret_cast<LPARAM>(compute));
    EnableWindow(window->Handle(), TRUE);
    window->SetEnabled(ctl::Command1, false);
    SendMessageW(GetParent(compute), WM_COMMAND, clicked, reinterpret_cast<LPARAM>(compute));
    EXPECT_FALSE(Computed());
    window->SetEnabled(ctl::Command1, true);
    SendMessageW(GetParent(compute), WM_COMMAND, clicked, reinterpret_cast<LPARAM>(compute));
    EXPECT_TRUE(Computed());
}

TEST_F(Win32WindowTest, ComputeActsOnTheReleaseNotOnThePress) {
    PutExample();
    Mouse(Box(ctl::Command1), MOUSEEVENTF_LEFTDOWN);
    Pump();
    EXPECT_EQ(GetFocus(), Box(ctl::Command1));
    EXPECT_FALSE(Computed());
    Mouse(Box(ctl::Command1), MOUSEEVENTF_LEFTUP);
    Pump();
    EXPECT_EQ(Text(ctl::txtEntryPass), "16.5");
}

// Enter computes while Compute is enabled without checking the focused box; Escape does
// nothing at all.
TEST_F(Win32WindowTest, EnterComputesWithoutRangeCheckEscapeDoesNothing) {
    const MessageBoxes boxes;
    PutExample("50");
    SetFocus(Box(ctl::txtSpd));
    Pump();
    // A disabled Compute is not pressed by Enter either, ready as the inputs are.
    window->SetEnabled(ctl::Command1, false);
    Press(VK_RETURN);
    EXPECT_FALSE(Computed());
    window->SetEnabled(ctl::Command1, true);
    Press(VK_ESCAPE);
    EXPECT_FALSE(Computed());
    EXPECT_EQ(GetFocus(), Box(ctl::txtSpd));
    EXPECT_EQ(Text(ctl::txtSpd), "50");
    Press(VK_RETURN);
    EXPECT_TRUE(Computed());
    EXPECT_EQ(GetFocus(), Box(ctl::txtSpd));
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(beeps.Count(), 0);
}

// Every path that types into a box goes through the one rule of typed text: each character
// through the box's filter, the accepted ones entering in order, each refused one beeping.
TEST_F(Win32WindowTest, TypedCharactersPassTheKeystrokeFilter) {
    enum class Path {
        Keys,     // one key after the other, each a UTF-16 unit (SendInput)
        Composed, // an input method's composition committed at once (imm32)
        ImeChar,  // WM_IME_CHAR, as an input method of an older kind sends each character
        UniChar,  // WM_UNICHAR, a whole code point beyond 16 bits too
    };
    struct Row {
        Path path;
        std::string_view box;
        std::wstring_view typed;
        std::string_view text; // after typing into a box holding " ", the caret at its start
        int beeps;
    };
    // clang-format off
    const Row rows[] = {
        {Path::Keys, ctl::txtSpd, L"x", " ", 1},
        {Path::Keys, ctl::txtSpd, L"2.5-", "2.5- ", 0},
        {Path::Keys, ctl::txtGrade, L"x", "x ", 0},
        {Path::Keys, ctl::txtLength, L"\u00E9 ", " ", 2},
        {Path::Keys, ctl::txtAccel, L"\xD83D\xDE00", " ", 2},
        {Path::Keys, ctl::txtLocation, L"x\u00E9", "x\xC3\xA9 ", 0},
        {Path::Composed, ctl::txtSpd, L"1a", "1 ", 1},
        {Path::Composed, ctl::txtExitPos, L"1 2", "12 ", 1},
        {Path::Composed, ctl::txtEntryPos, L"\uFF11\uFF12", " ", 2}, // full-width digits
        {Path::Composed, ctl::txtLength, L"1\xD83D\xDE00", "1 ", 2},
        {Path::Composed, ctl::txtGrade, L"1a", "1a ", 0},
        {Path::Composed, ctl::txtLocation, L"L\u00F8kken", "L\xC3\xB8kken ", 0},
        {Path::ImeChar, ctl::txtSpd, L"x", " ", 1},
        {Path::ImeChar, ctl::txtAccel, L"5", "5 ", 0},
        {Path::UniChar, ctl::txtSpd, L"y", " ", 1},
        {Path::UniChar, ctl::txtAccel, L"\xD83D\xDE00", " ", 2},
        {Path::UniChar, ctl::txtLocation, L"\xD83D\xDE00", "\xF0\x9F\x98\x80 ", 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.box) + " path " + std::to_string(static_cast<int>(row.path)) +
                     " typed " + Narrow(row.typed));
        SetUp();
        window->SetText(row.box, " ");
        const HWND box = Box(row.box);
        SetFocus(box);
        SendMessageW(box, EM_SETSEL, 0, 0);
        Pump();
        switch (row.path) {
        case Path::Keys:
            Type(row.typed);
            break;
        case Path::Composed:
            Commit(box, row.typed);
            break;
        case Path::ImeChar:
            for (const wchar_t unit : row.typed) {
                SendMessageW(box, WM_IME_CHAR, unit, 1);
            }
            break;
        case Path::UniChar: {
            const std::u16string units(row.typed.begin(), row.typed.end());
            const char32_t point =
                units.size() == 2 ? 0x10000 + ((units[0] - 0xD800U) << 10) + (units[1] - 0xDC00U)
                                  : units[0];
            SendMessageW(box, WM_UNICHAR, point, 1);
            break;
        }
        }
        Pump();
        EXPECT_EQ(Text(row.box), row.text);
        EXPECT_EQ(beeps.Count(), row.beeps);
        EXPECT_TRUE(beeps.AllDefault());
        TearDown();
    }
}

// Control with a key types a control character, Ctrl+V among them: the filtered boxes refuse
// it with a beep instead of pasting.
TEST_F(Win32WindowTest, ControlCharactersPassTheKeystrokeFilter) {
    struct Row {
        std::string_view box;
        WORD key;
        std::string_view text; // after the key in a box holding "6", the caret at its end
        int beeps;
    };
    const Row rows[] = {
        {ctl::txtLength, 'V', "6", 1},
        {ctl::txtGrade, 'V', "612", 0},
        {ctl::txtSpd, 'A', "6", 1},
        {ctl::txtLocation, 'V', "612", 0},
    };
    for (const Row& row : rows) {
        SetUp();
        ASSERT_TRUE(OpenClipboard(window->Handle()));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"12"));
        std::memcpy(GlobalLock(memory), L"12", sizeof(L"12"));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
        window->SetText(row.box, "6");
        SetFocus(Box(row.box));
        Press(VK_END);
        SendKey(VK_CONTROL, false);
        Press(row.key);
        SendKey(VK_CONTROL, true);
        Pump();
        EXPECT_EQ(Text(row.box), row.text) << row.box;
        EXPECT_EQ(beeps.Count(), row.beeps) << row.box;
        TearDown();
    }
}

// What was typed comes back from Text() as it was, a lone surrogate too: writing it back with
// SetText changes nothing, so no Change runs and the results stay.
TEST_F(Win32WindowTest, TextAndSetTextRoundTripWhatWasTyped) {
    PutExample();
    SetFocus(Box(ctl::txtGrade));
    Press(VK_END);
    Type(L"\xD83D");
    EXPECT_EQ(Text(ctl::txtGrade), "0\xED\xA0\xBD");
    Press(VK_RETURN);
    ASSERT_TRUE(Computed());
    window->SetText(ctl::txtGrade, Text(ctl::txtGrade));
    EXPECT_TRUE(Computed());
    window->SetText(ctl::txtGrade, "0");
    EXPECT_FALSE(Computed());
}

TEST_F(Win32WindowTest, ChangeRunsInsideSetText) {
    window->SetText(ctl::txtSpd, "22");
    EXPECT_EQ(window->State().CrossingSpeed, 22);
    window->SetText(ctl::txtSpd, "30");
    EXPECT_EQ(window->State().CrossingSpeed, 30);
}

TEST_F(Win32WindowTest, BoxesTakeTextOfAnyLength) {
    const std::string longText(31000, '7'); // beyond an edit's default limit of 30000
    window->SetText(ctl::txtLocation, longText);
    SetFocus(Box(ctl::txtLocation));
    Press(VK_END);
    Type(L"8");
    EXPECT_EQ(Text(ctl::txtLocation), longText + "8");
}

TEST_F(Win32WindowTest, ToolTipsShowTheAdvisoryTextsOfTheSixNumericBoxes) {
    HWND tips = window->ToolTips();
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 6);
    for (const layout::Control& c : layout::kControls) {
        if (c.advisory.empty()) {
            continue;
        }
        wchar_t text[256] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = window->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Box(c.name));
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(Narrow(text), c.advisory) << c.name;
        EXPECT_EQ(window->AdvisoryText(c.name), c.advisory);
    }
}

// Resting the pointer on a box shows its advisory text, and only on the six numeric boxes.
TEST_F(Win32WindowTest, ToolTipShowsWhileThePointerRestsOnABox) {
    struct Row {
        std::string_view box;
        bool tip;
    };
    for (const Row& row :
         {Row{ctl::txtSpd, true}, Row{ctl::txtEntryPass, false}, Row{ctl::txtGrade, true}}) {
        SetUp();
        HWND tips = window->ToolTips();
        SendMessageW(tips, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
        Mouse(Box(row.box), 0);
        bool shown = false;
        for (int i = 0; i < 40 && !shown; ++i) {
            Sleep(25);
            Mouse(Box(row.box), 0);
            Pump();
            shown = IsWindowVisible(tips) != FALSE;
        }
        EXPECT_EQ(shown, row.tip) << row.box;
        if (shown) {
            wchar_t text[256] = {};
            TOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.lpszText = text;
            ASSERT_TRUE(
                SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
            EXPECT_EQ(Narrow(text), layout::AdvisoryOf(row.box));
        }
        TearDown();
    }
}

// The pictures stand upright: the truck's body above its wheels, the signal's red lights
// above the grey of its post.
TEST_F(Win32WindowTest, PicturesStandUpright) {
    struct Row {
        std::string_view picture;
        int x, y;           // in the picture's own pixels
        COLORREF low, high; // each channel within these bounds
    };
    const Row rows[] = {
        {"Picture3", 40, 2, RGB(0, 0, 0), RGB(64, 64, 64)},
        {"Picture3", 40, 27, RGB(200, 200, 200), RGB(255, 255, 255)},
        {"Picture1", 28, 29, RGB(170, 0, 0), RGB(255, 80, 80)},
        {"Picture1", 28, 37, RGB(140, 140, 140), RGB(210, 210, 210)},
        {"Picture2", 37, 29, RGB(170, 0, 0), RGB(255, 80, 80)},
    };
    const int dpi = static_cast<int>(window->Dpi());
    for (const Row& row : rows) {
        HDC dc = GetDC(Box(row.picture));
        const COLORREF pixel = GetPixel(dc, MulDiv(row.x, dpi, 96), MulDiv(row.y, dpi, 96));
        ReleaseDC(Box(row.picture), dc);
        const auto within = [&](auto channel) {
            return channel(pixel) >= channel(row.low) && channel(pixel) <= channel(row.high);
        };
        EXPECT_TRUE(within([](COLORREF c) { return GetRValue(c); }) &&
                    within([](COLORREF c) { return GetGValue(c); }) &&
                    within([](COLORREF c) { return GetBValue(c); }))
            << row.picture << " at " << row.x << "," << row.y << ": " << std::hex << pixel;
    }
}

// The colours of some system colour elements, as a colour scheme sets them, while this lives;
// the window is told as Windows tells every program.
class ColourScheme {
public:
    ColourScheme(HWND window, COLORREF windowText, COLORREF buttonText, COLORREF face,
                 COLORREF windowBack)
        : window_(window) {
        for (std::size_t i = 0; i < kElements.size(); ++i) {
            saved_[i] = GetSysColor(kElements[i]);
        }
        Set({windowText, buttonText, face, windowBack});
    }
    ~ColourScheme() { Set(saved_); }
    ColourScheme(const ColourScheme&) = delete;
    ColourScheme& operator=(const ColourScheme&) = delete;

private:
    static constexpr std::array<int, 4> kElements{COLOR_WINDOWTEXT, COLOR_BTNTEXT, COLOR_BTNFACE,
                                                  COLOR_WINDOW};
    void Set(const std::array<COLORREF, 4>& colours) {
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), colours.data());
        SendMessageW(window_, WM_SYSCOLORCHANGE, 0, 0);
        SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    HWND window_;
    std::array<COLORREF, 4> saved_{};
};

// The colours found in a rectangle of a window (client coordinates), but for the background
// colour given: what is drawn there. The window's fonts are bitmap fonts, drawn without
// smoothing, so text has no colours of its own in between.
std::set<COLORREF> InkIn(HWND hwnd, RECT rect, COLORREF background) {
    std::set<COLORREF> ink;
    HDC dc = GetDC(hwnd);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c != background && c != CLR_INVALID) {
                ink.insert(c);
            }
        }
    }
    ReleaseDC(hwnd, dc);
    return ink;
}

// Every kind of text in every colour scheme: the result boxes light cyan with the scheme's
// window-text colour where it is readable there and black or white where it is not; the drawn
// captions, the frame's among them, in the text colour of the face they are drawn on; the
// lines in the window-text colour. With high contrast on, the result boxes too keep the
// system's colours, as Windows asks of every program.
TEST_F(Win32WindowTest, ResultTextStaysReadableInEveryColourScheme) {
    constexpr COLORREF black = RGB(0, 0, 0);
    constexpr COLORREF white = RGB(255, 255, 255);
    constexpr COLORREF face = RGB(240, 240, 240);
    struct Row {
        const char* scheme;
        COLORREF windowText, buttonText, face, windowBack;
        bool highContrast;
        COLORREF resultBack, result, caption, line;
    };
    // clang-format off
    const Row rows[] = {
        {"standard", black, black, face, white, false, kCyan, black, black, black},
        {"navy window text, dark green button text", RGB(0, 0, 128), RGB(0, 100, 0), face, white, false,
         kCyan, RGB(0, 0, 128), RGB(0, 100, 0), RGB(0, 0, 128)},
        {"dark green window text, maroon button text", RGB(0, 100, 0), RGB(128, 0, 0), face, white, false,
         kCyan, RGB(0, 100, 0), RGB(128, 0, 0), RGB(0, 100, 0)},
        {"grey 118 window text, about 4:1 on the cyan", RGB(118, 118, 118), black, face, white, false,
         kCyan, black, black, RGB(118, 118, 118)},
        {"grey 100 window text, about 5:1 on the cyan", RGB(100, 100, 100), black, face, white, false,
         kCyan, RGB(100, 100, 100), black, RGB(100, 100, 100)},
        {"white on black", white, white, black, black, false, kCyan, black, white, white},
        {"white on black, high contrast", white, white, black, black, true, black, white, white, white},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.scheme);
        const HighContrast contrast(row.highContrast);
        ASSERT_TRUE(contrast.Hooked());
        const ColourScheme scheme(window->Handle(), row.windowText, row.buttonText, row.face,
                                  row.windowBack);
        PutExample();
        Press(VK_RETURN);
        ASSERT_EQ(Text(ctl::txtEntryPass), "16.5");
        const int dpi = static_cast<int>(window->Dpi());

        HWND box = Box(ctl::txtEntryPass);
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT client;
        GetClientRect(box, &client);
        HDC dc = GetDC(box);
        const COLORREF back = GetPixel(dc, 1, 1);
        ReleaseDC(box, dc);
        EXPECT_EQ(back, row.resultBack) << std::hex << back;
        EXPECT_EQ(InkIn(box, client, back), std::set<COLORREF>{row.result}) << "result text";

        // A caption of the window, one of the frame, and the frame's own above its border.
        const auto scaled = [dpi](const layout::Control& c) {
            const layout::Place& p = c.place;
            return RECT{MulDiv(p.left, dpi, 1440), MulDiv(p.top, dpi, 1440),
                        MulDiv(p.left + p.width, dpi, 1440), MulDiv(p.top + p.height, dpi, 1440)};
        };
        EXPECT_EQ(InkIn(window->Handle(), scaled(*layout::Find("Label16")), row.face),
                  std::set<COLORREF>{row.caption})
            << "Label16";
        EXPECT_EQ(InkIn(Box("Frame1"), scaled(*layout::Find("Label12")), row.face),
                  std::set<COLORREF>{row.caption})
            << "Label12";
        const RECT frameCaption{MulDiv(8, dpi, 96), 0, MulDiv(40, dpi, 96), MulDiv(4, dpi, 96)};
        EXPECT_EQ(InkIn(Box("Frame1"), frameCaption, row.face), std::set<COLORREF>{row.caption})
            << "Frame1";
        EXPECT_EQ(Pixel(4560, 5100), row.line) << "Line1";
        EXPECT_EQ(Pixel(1200, 4080), row.line) << "Line8";
    }
}

// Windowed controls lie above what their container draws, the lower Order on top.
TEST_F(Win32WindowTest, StackingOfControlsAndDrawnItems) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(Pixel(4560, 5100), ink);                // Line1 above the frame
    EXPECT_EQ(Pixel(4560, 6150), face);               // Line1 hidden under the frame
    EXPECT_EQ(Pixel(4620, 5700), RGB(192, 255, 255)); // txtEntryPass over the frame
    EXPECT_EQ(Pixel(5280, 4290), ink);                // the left rail
    EXPECT_EQ(Pixel(1200, 4080), ink);                // Line8 (Order 38) over Label5 (Order 46)
}

// Within each container the child windows stack in Order, the lowest on top.
TEST_F(Win32WindowTest, ChildWindowsStackInOrder) {
    for (HWND container : {window->Handle(), Box("Frame1")}) {
        int previous = 0;
        int count = 0;
        for (HWND child = GetWindow(container, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(child);
            EXPECT_GT(id, previous);
            previous = id;
            ++count;
        }
        EXPECT_EQ(count, container == window->Handle() ? 15 : 1);
    }
}

// Places and fonts follow the monitor's dots per inch; a font's height is rounded to the nearest
// pixel (8 points are 10.67 pixels at 96 dpi: 11), and the description is bold.
TEST_F(Win32WindowTest, ScalesWithTheDpi) {
    struct Row {
        WORD dpi;
        RECT speedBox; // left, top, right, bottom
        int boxFont;
        int descriptionFont;
    };
    const Row rows[] = {{144, {504, 360, 578, 389}, -16, -20},
                        {96, {336, 240, 385, 259}, -11, -13}};
    for (const Row& row : rows) {
        RECT suggested{0, 0, 900, 800};
        SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT rect;
        GetWindowRect(Box(ctl::txtSpd), &rect);
        MapWindowPoints(HWND_DESKTOP, window->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, row.speedBox.left) << row.dpi;
        EXPECT_EQ(rect.top, row.speedBox.top) << row.dpi;
        EXPECT_EQ(rect.right, row.speedBox.right) << row.dpi;
        EXPECT_EQ(rect.bottom, row.speedBox.bottom) << row.dpi;
        const auto font = [](HFONT handle) {
            LOGFONTW f{};
            GetObjectW(handle, sizeof(f), &f);
            return f;
        };
        const LOGFONTW box =
            font(reinterpret_cast<HFONT>(SendMessageW(Box(ctl::txtSpd), WM_GETFONT, 0, 0)));
        const LOGFONTW description = font(window->FontFor(*layout::Find("frmMainLabel")));
        EXPECT_EQ(box.lfHeight, row.boxFont) << row.dpi;
        EXPECT_EQ(box.lfWeight, FW_NORMAL) << row.dpi;
        EXPECT_EQ(description.lfHeight, row.descriptionFont) << row.dpi;
        EXPECT_EQ(description.lfWeight, FW_BOLD) << row.dpi;
        EXPECT_EQ(std::wstring(description.lfFaceName), L"MS Sans Serif");
    }
}

// korvane.exe shows its window as it is told to (normally, or minimized from a shortcut set
// to start minimized) and ends, with status 0, when the window is closed.
TEST(Win32Program, StartsAsToldAndEndsWhenItsWindowIsClosed) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + Widen(KORVANE_EXE_FROM_TEST);
    for (const WORD show : {WORD{SW_SHOWNORMAL}, WORD{SW_SHOWMINNOACTIVE}}) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = show;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        WaitForInputIdle(process.hProcess, 10000);
        struct Search {
            DWORD pid;
            HWND found;
        } search{process.dwProcessId, nullptr};
        for (int i = 0; i < 200 && search.found == nullptr; ++i) {
            EnumWindows(
                [](HWND hwnd, LPARAM param) {
                    auto& s = *reinterpret_cast<Search*>(param);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(hwnd, &pid);
                    if (pid == s.pid && IsWindowVisible(hwnd) && WindowText(hwnd) == L"KORVANE") {
                        s.found = hwnd;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            Sleep(50);
        }
        ASSERT_NE(search.found, nullptr);
        EXPECT_EQ(IsIconic(search.found) != FALSE, show == SW_SHOWMINNOACTIVE) << show;
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
        DWORD status = 1;
        GetExitCodeProcess(process.hProcess, &status);
        EXPECT_EQ(status, 0U);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

} // namespace
} // namespace korvane::win32
