#pragma once

// Real input for the window tests on a real X server: keys and clicks go to the X server through
// its XTEST extension, exactly as a keyboard and a mouse give them, so that they reach the window
// through the window system's own focus and activation; nothing is sent to a widget directly.
// "Range Error" messages are answered by a real click on their OK button as soon as they show.

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <algorithm>

namespace korvane::real {

// A message the window showed, as the user saw it.
struct SeenMessage {
    QString text;
    QString title;
};

class Input : public QObject, public QAbstractNativeEventFilter {
public:
    Input() : display_(XOpenDisplay(nullptr)) {
        if (display_ != nullptr) {
            marker_ = XInternAtom(display_, "KORVANE_TEST_MARKER", False);
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start();
    }
    ~Input() override {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // Whether there is an X server with the XTEST extension to give input to.
    bool ok() const {
        int event = 0, error = 0, major = 0, minor = 0;
        return display_ != nullptr && QGuiApplication::platformName() == QLatin1String("xcb") &&
               XTestQueryExtension(display_, &event, &error, &major, &minor) != False;
    }

    // The window whose event queue settle() follows.
    void follow(QWidget* window) { window_ = window; }

    void click(const QWidget* widget) {
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
    }

    // A key by its X keysym, with Shift or Control held when asked.
    void key(KeySym sym, bool shift = false, bool control = false) {
        KeyCode code = XKeysymToKeycode(display_, sym);
        const bool spare = code == 0;
        if (spare) {
            // A character the keyboard map lacks goes on a spare key for the moment, as a
            // keyboard of another layout would have it.
            code = spareKey();
            KeySym syms[2] = {sym, sym};
            XChangeKeyboardMapping(display_, code, 2, syms, 1);
            XSync(display_, False);
            QTest::qWait(30); // the application reads the new map first
        }
        const bool shifted = shift || needsShift(sym, code);
        if (shifted) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), True, CurrentTime);
        }
        if (control) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Control_L), True,
                              CurrentTime);
        }
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (control) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Control_L), False,
                              CurrentTime);
        }
        if (shifted) {
            XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), False, CurrentTime);
        }
        XSync(display_, False);
        if (spare) {
            settle();
            KeySym none[2] = {NoSymbol, NoSymbol};
            XChangeKeyboardMapping(display_, code, 2, none, 1);
            XSync(display_, False);
        }
    }

    void type(const QString& text) {
        for (const QChar ch : text) {
            key(symFor(ch));
        }
    }

    // Waits until the application has taken in all input given so far, and answered any
    // message it brought: the X server has the input once XSync returns; a marker sent to the
    // window after it then comes out of the application's queue only after it.
    void settle() {
        for (int round = 0; round < 50; ++round) {
            const qsizetype answered = seen_.size();
            XSync(display_, False);
            XEvent marker{};
            marker.xclient.type = ClientMessage;
            marker.xclient.window = static_cast<Window>(window_->winId());
            marker.xclient.message_type = marker_;
            marker.xclient.format = 32;
            marker.xclient.data.l[0] = ++markerSent_;
            XSendEvent(display_, marker.xclient.window, False, NoEventMask, &marker);
            XSync(display_, False);
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

    // Waits until the window system has made the window active again, as it does once a
    // message is gone; false if it does not within two seconds.
    bool waitActive() { return QTest::qWaitForWindowActive(window_, 2000); }

    const QList<SeenMessage>& seen() const { return seen_; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) {
            return false;
        }
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type != marker_) {
            return false;
        }
        markerSeen_ = std::max(markerSeen_, static_cast<long>(client->data.data32[0]));
        return true;
    }

private:
    static KeySym symFor(QChar ch) {
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

    bool needsShift(KeySym sym, KeyCode code) const {
        return SymAt(code, 0) != sym && SymAt(code, 1) == sym;
    }

    KeySym SymAt(KeyCode code, int index) const {
        int perCode = 0;
        KeySym* map = XGetKeyboardMapping(display_, code, 1, &perCode);
        const KeySym sym = index < perCode ? map[index] : NoSymbol;
        XFree(map);
        return sym;
    }

    KeyCode spareKey() const {
        int low = 0, high = 0;
        XDisplayKeycodes(display_, &low, &high);
        int perCode = 0;
        KeySym* map =
            XGetKeyboardMapping(display_, static_cast<KeyCode>(low), high - low + 1, &perCode);
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

    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box == answered_ ||
            box->windowHandle() == nullptr || !box->windowHandle()->isExposed()) {
            return;
        }
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok == nullptr || !ok->isVisible()) {
            return;
        }
        answered_ = box;
        seen_.append(SeenMessage{box->text(), box->windowTitle()});
        click(ok);
        XSync(display_, False);
    }

    Display* display_;
    Atom marker_ = None;
    long markerSent_ = 0;
    long markerSeen_ = 0;
    QWidget* window_ = nullptr;
    QTimer timer_;
    QList<SeenMessage> seen_;
    QPointer<QMessageBox> answered_;
};

} // namespace korvane::real
