#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/layout.h"
#include "window/win32/colours.h"
#include "window/win32/com.h"
#include "window/win32/fonts.h"
#include "window/win32/pictures.h"
#include "window/window_base.h"

namespace korvane::win32 {

class Win32Window;

// One control or line of the layout table, with its native window when it has one. A control's
// window carries its item in GWLP_USERDATA, so that its window procedure finds it at once.
struct Item {
    const layout::Control* control = nullptr;
    Win32Window* owner = nullptr;
    HWND hwnd = nullptr;        // nullptr for what the container draws
    std::wstring text;          // a box's text as its last Change left it
    WNDPROC baseProc = nullptr; // a subclassed control's own window procedure
};

// The program's one window on Windows: native controls built from the layout table (edit boxes,
// a push button, a group box holding its children, picture boxes), with the labels, lines and
// the locomotive drawn by their container. Every event of every box goes to the wiring by
// control name; the model and the checks reach the boxes through WindowOps.
//
// Its parts live in files of their own: the window with its window procedure and message loop
// (win32_window.cpp), the operations the model and the checks use (window_ops.cpp), the
// controls and their one window procedure (controls.cpp), focus, keys and typed text
// (focus_keys.cpp), painting (painting.cpp), the tool tips (tool_tips.cpp) and what screen
// readers are told (accessibility.cpp); fonts, colours and pictures are values of their own
// (fonts.h, colours.h, pictures.h).
class Win32Window final : public WindowBase {
public:
    // Creates the window with all its controls and runs Form_Load; the window is not shown.
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // False once the window has been closed, or when it could not be created.
    bool IsOpen() const { return hwnd_ != nullptr; }
    // Shows the window as the program was told to; when it could not be created, says so.
    void Show(int how);

    // Called by the message loop for every message before it is translated: Tab and Shift+Tab
    // move the focus, Enter presses Compute, Escape does nothing. True when the message was
    // one of these keys for this window and has been handled.
    bool PreTranslate(const MSG& message);

    // WindowOps
    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Beep() override;

    // The native window of a windowed control, or nullptr.
    HWND ControlWindow(std::string_view control) const;
    // The tool-tip control that shows the advisory texts, made when first needed.
    HWND ToolTips();
    // The dots per inch the window is laid out for.
    UINT Dpi() const { return dpi_; }
    // The font a caption or box is drawn in, at the window's dots per inch.
    HFONT FontFor(const layout::Control& control) const { return fonts_.For(control); }

private:
    // win32_window.cpp
    static void RegisterClasses(HINSTANCE instance);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void LoadPictures();
    Item* Find(std::string_view control);
    const Item* Find(std::string_view control) const;
    // The item of a windowed control of this window, by its native window; nullptr for any
    // other window.
    Item* ItemOf(HWND hwnd);
    Item* ItemById(int id);

    // window_ops.cpp
    void Changed(Item& box);

    // controls.cpp: one window procedure for every control, which finds its item in
    // GWLP_USERDATA and hands the message to what the control's kind does with it.
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CallBase(const Item& item, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void PlaceControls();
    LRESULT OnControlMessage(Item& item, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnFrameMessage(Item& frame, UINT message, WPARAM wParam, LPARAM lParam);
    RECT ScaledRect(const layout::Control& control) const;

    // focus_keys.cpp
    bool HandleKey(WPARAM key);
    // Gives the focus to the control the wiring says it belongs to.
    void RestoreFocus();
    bool IsEnabledNow(std::string_view control) const;
    // Characters typed into a box, by any path: what the wiring lets enter goes to the edit.
    void TypeCharacters(Item& box, std::u16string_view units, LPARAM lParam);
    std::optional<LRESULT> OnBoxTyping(Item& box, UINT message, WPARAM wParam, LPARAM lParam);

    // painting.cpp: the window (item nullptr), the frame and the picture boxes draw themselves.
    std::optional<LRESULT> OnPaintMessage(const Item* item, UINT message, WPARAM wParam);
    void Paint(const Item* item, HDC dc, bool printing);
    void PaintFrame(const Item& frame, HDC dc);
    void PaintPicture(const Item& box, HDC dc);
    void DrawItems(HDC dc, layout::In container);

    // tool_tips.cpp
    void RelayToToolTips(const Item& box, UINT message, WPARAM wParam, LPARAM lParam);

    // accessibility.cpp: for a control's item, or for the main window (nullptr).
    LRESULT OnGetObject(const Item* item, WPARAM wParam, LPARAM lParam);
    // The system's message box, modal to the window, whose object for screen readers carries
    // the description (none when it is empty).
    void ShowDescribedMessage(const std::wstring& text, const std::wstring& title,
                              std::wstring description);

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND frame_ = nullptr;
    HWND command1_ = nullptr;
    HWND toolTips_ = nullptr;
    // Every control and line of the table, in Order: the item of Order n is items_[n - 1].
    std::array<Item, layout::kControlCount> items_{};
    UINT dpi_ = 96;
    Fonts fonts_;
    Colours colours_;
    Pictures pictures_;
    // COM for the objects the window hands to screen readers, started by the first request.
    ComApartment screenReaders_;
};

// Runs the program's message loop until the window is closed; returns the exit code (1 when the
// window could not be created).
int RunMessageLoop(Win32Window& window);

} // namespace korvane::win32
