#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "model/calculator_state.h"
#include "model/window_ops.h"
#include "window/layout.h"
#include "window/win32/pictures.h"
#include "window/wiring.h"

namespace korvane::win32 {

// The program's one window on Windows: native controls built from the layout table (edit
// boxes, a push button, a group box holding its children, picture boxes), with the labels,
// lines and the locomotive drawn by their container. Every event of every box goes to the
// wiring by control name; the model and the checks reach the boxes through WindowOps.
class Korvane final : public WindowOps {
public:
    // Creates the window with all its controls and runs Form_Load; the window is not shown.
    explicit Korvane(HINSTANCE instance);
    ~Korvane() override;
    Korvane(const Korvane&) = delete;
    Korvane& operator=(const Korvane&) = delete;

    HWND Handle() const { return hwnd_; }
    // False once the window has been closed.
    bool IsOpen() const { return hwnd_ != nullptr; }
    void Show(int how);

    // Called by the message loop for every message before it is translated: Tab and Shift+Tab
    // move the focus, Enter presses Compute, Escape does nothing. True when the message was
    // one of these keys for this window and has been handled.
    bool PreTranslate(const MSG& message);

    // WindowOps
    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    std::string AdvisoryText(std::string_view control) const override;
    void SetEnabled(std::string_view control, bool enabled) override;
    void ShowMessage(std::string_view text, std::string_view title) override;
    void Beep() override;

    // How many times the window has sounded the beep since it was created.
    int BeepCount() const { return beeps_; }
    const CalculatorState& State() const { return wiring_.State(); }
    // The native window of a windowed control, or nullptr.
    HWND ControlWindow(std::string_view control) const;
    // The tool-tip control that shows the advisory texts, made when first needed.
    HWND ToolTips();
    // The dots per inch the window is laid out for.
    UINT Dpi() const { return dpi_; }

private:
    struct Item {
        const layout::Control* control = nullptr;
        HWND hwnd = nullptr;        // nullptr for what the container draws
        std::wstring text;          // a box's text as its last Change left it
        int pictureColour = 0;      // a picture box's background, as a system colour index
        WNDPROC baseProc = nullptr; // a subclassed control's own window procedure
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static Korvane& Owner(HWND control);
    static LRESULT CallBase(const Item& item, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnBoxMessage(Item& box, UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls(HINSTANCE instance);
    void Subclass(Item& item, WNDPROC proc);
    void LoadPictures();
    void MakeFonts();
    void PlaceControls();
    int Scale(int twips) const;
    RECT ScaledRect(const layout::Control& control) const;

    Item* Find(std::string_view control);
    const Item* Find(std::string_view control) const;
    Item* FindWindow(HWND hwnd);
    std::wstring WindowText(HWND hwnd) const;

    bool HandleKey(WPARAM key);
    void MoveFocus(bool backwards);
    HWND NextInRing(HWND from, bool backwards) const;
    void PressCompute();
    void TypeCharacter(Item& box, WPARAM code, UINT message, LPARAM lParam);
    void Changed(Item& box);

    void PaintWindow(HDC dc);
    void PaintFrame(HWND frame, HDC dc);
    void PaintPicture(const Item& box, HWND hwnd, HDC dc);
    const Picture& PictureOf(layout::Picture picture) const;
    void DrawItems(HDC dc, layout::In container);

    Wiring wiring_{*this};
    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND frame_ = nullptr;
    HWND command1_ = nullptr;
    HWND toolTips_ = nullptr;
    HWND lastFocus_ = nullptr;      // the control the focus returns to when the window is activated
    std::vector<Item> items_;       // every control and line of the table, in Order
    std::vector<const Item*> ring_; // what Tab visits, by tab index
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    HFONT descriptionFont_ = nullptr;
    HBRUSH resultBrush_ = nullptr;
    Picture signal_;
    Picture truck_;
    Picture locomotive_;
    Picture none_;
    bool picturesLoaded_ = false;
    int beeps_ = 0;
};

// Runs the program's message loop until the window is closed; returns the exit code.
int RunMessageLoop(Korvane& window);

} // namespace korvane::win32
