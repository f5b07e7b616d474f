#include "real_input.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <algorithm>

namespace korvane::real {

struct Input::X {
    Display* display = nullptr;
    Atom marker = 0;

    // The keysym at a level of a key's map.
    KeySym SymAt(KeyCode code, int level) const {
        int perCode = 0;
        KeySym* map = XGetKeyboardMapping(display, code, 1, &perCode);
        const KeySym sym = level < perCode ? map[level] : NoSymbol;
        XFree(map);
        return sym;
    }

    // A key with nothing on it.
    KeyCode SpareKey() const {
        int low = 0, high = 0;
        XDisplayKeycodes(display, &low, &high);
        int perCode = 0;
        KeySym* map =
            XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perCode);
        KeyCode spare = static_cast<KeyCode>(high);
        for (int code = high; code >= low; --code) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i) {
                empty = empty && map[(code - low) * perCode + i] == NoSymbol;
            }
            if (empty) {
                spare = static_cast<KeyCode>(code);
                break;
            }
        }
        XFree(map);
        return spare;
    }

    void Click(QPoint at) const {
        XTestFakeMotionEvent(display, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
    }
};

namespace {

KeySym SymOf(Qt::Key key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return XK_Tab;
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_Space:
        return XK_space;
    default:
        break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return XK_a + static_cast<KeySym>(key - Qt::Key_A);
    }
    return NoSymbol;
}

KeySym SymOf(QChar ch) {
    switch (ch.unicode()) {
    case ' ':
        return XK_space;
    case '-':
        return XK_minus;
    case '.':
        return XK_period;
    case '\'':
        return XK_apostrophe;
    default:
        break;
    }
    // Latin-1 keysyms are the code point; beyond it, 0x1000000 plus the code point.
    return ch.unicode() < 0x100 ? ch.unicode() : 0x1000000 + ch.unicode();
}

// What a screen reader is told the message is about.
QString DescriptionOf(QMessageBox* box) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    return iface != nullptr ? iface->text(QAccessible::Description) : QString();
}

} // namespace

Input::Input() : x_(std::make_unique<X>()) {
    x_->display = XOpenDisplay(nullptr);
    if (x_->display != nullptr) {
        x_->marker = XInternAtom(x_->display, "KORVANE_TEST_MARKER", False);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    timer_.setInterval(2);
    connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
    timer_.start();
}

Input::~Input() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (x_->display != nullptr) {
        XCloseDisplay(x_->display);
    }
}

bool Input::ok() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return x_->display != nullptr && QGuiApplication::platformName() == QLatin1String("xcb") &&
           XTestQueryExtension(x_->display, &event, &error, &major, &minor) != False;
}

void Input::click(const QWidget* widget) {
    x_->Click(widget->mapToGlobal(widget->rect().center()));
}

void Input::key(Qt::Key key, bool shift, bool control) {
    press(SymOf(key), shift || key == Qt::Key_Backtab, control);
}

void Input::type(const QString& text) {
    for (const QChar ch : text) {
        press(SymOf(ch), false, false);
    }
}

void Input::press(unsigned long sym, bool shift, bool control) {
    Display* display = x_->display;
    KeyCode code = XKeysymToKeycode(display, sym);
    const bool spare = code == 0;
    if (spare) {
        code = x_->SpareKey();
        KeySym syms[2] = {sym, sym};
        XChangeKeyboardMapping(display, code, 2, syms, 1);
        XSync(display, False);
        QTest::qWait(30); // the application reads the new map first
    }
    // A character on the shifted level of its key (capitals) is typed with Shift.
    shift = shift || (x_->SymAt(code, 0) != sym && x_->SymAt(code, 1) == sym);
    const KeyCode shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode controlKey = XKeysymToKeycode(display, XK_Control_L);
    if (shift) {
        XTestFakeKeyEvent(display, shiftKey, True, CurrentTime);
    }
    if (control) {
        XTestFakeKeyEvent(display, controlKey, True, CurrentTime);
    }
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (control) {
        XTestFakeKeyEvent(display, controlKey, False, CurrentTime);
    }
    if (shift) {
        XTestFakeKeyEvent(display, shiftKey, False, CurrentTime);
    }
    XSync(display, False);
    if (spare) {
        settle();
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(display, code, 2, none, 1);
        XSync(display, False);
    }
}

// The X server has the input once XSync returns; a marker sent to the window after it then comes
// out of the application's queue only after it.
void Input::settle() {
    for (int round = 0; round < 50; ++round) {
        const qsizetype answered = seen_.size();
        XSync(x_->display, False);
        XEvent marker{};
        marker.xclient.type = ClientMessage;
        marker.xclient.window = static_cast<Window>(window_->winId());
        marker.xclient.message_type = x_->marker;
        marker.xclient.format = 32;
        marker.xclient.data.l[0] = ++markerSent_;
        XSendEvent(x_->display, marker.xclient.window, False, NoEventMask, &marker);
        XSync(x_->display, False);
        QElapsedTimer clock;
        clock.start();
        while (markerSeen_ < markerSent_ && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QCoreApplication::processEvents();
        if (seen_.size() == answered && QApplication::activeModalWidget() == nullptr) {
            return;
        }
    }
}

bool Input::waitActive() {
    return QTest::qWaitForWindowActive(window_, 2000);
}

bool Input::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->type != x_->marker) {
        return false;
    }
    markerSeen_ = std::max(markerSeen_, static_cast<long>(client->data.data32[0]));
    return true;
}

// Presses OK on a message as soon as it shows, with a real click, or, once it has the keyboard,
// the answering key.
void Input::answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || box == answered_ || box->windowHandle() == nullptr ||
        !box->windowHandle()->isExposed()) {
        return;
    }
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    if (ok == nullptr || !ok->isVisible()) {
        return;
    }
    if (answerKey_ != Qt::Key_unknown) {
        if (QApplication::activeWindow() != box) {
            return; // the keys would go elsewhere yet
        }
        answered_ = box;
        seen_.append(SeenMessage{box->text(), box->windowTitle(), DescriptionOf(box)});
        const KeySym sym = SymOf(answerKey_);
        const KeyCode code = XKeysymToKeycode(x_->display, sym);
        XTestFakeKeyEvent(x_->display, code, True, CurrentTime);
        XTestFakeKeyEvent(x_->display, code, False, CurrentTime);
        XSync(x_->display, False);
        return;
    }
    answered_ = box;
    seen_.append(SeenMessage{box->text(), box->windowTitle(), DescriptionOf(box)});
    x_->Click(ok->mapToGlobal(ok->rect().center()));
    XSync(x_->display, False);
}

} // namespace korvane::real
