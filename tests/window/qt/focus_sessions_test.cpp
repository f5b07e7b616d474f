// The user sessions of focus_sessions.h on the real window: after every step the focus must be on
// the control the table names, and every message the table names must have come, no other.
// On a real X server (on_xvfb.sh), with real keys and clicks, each session is played twice: as a
// careful user, who waits after each step until the window is active again, and as a fast one,
// who goes on at once, while the window system may not have made the window active again after a
// message. On the offscreen platform, each message is followed by another window taking the
// activation and keeping it, as if the window system had not yet given it back, and the keys and
// clicks go to the window as a window system delivers them to a window that is not active: the
// window must act on them all the same.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "qt_window.h"
#include "sessions/focus_sessions.h"
#include "window_harness.h"
// Last: the X11 headers define macros (None, KeyPress, FocusIn, ...) that clash with other names.
#include "real_input.h"

namespace sessions = korvane::sessions;

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Describe(const sessions::Step& step) {
    switch (step.act) {
    case sessions::Act::Type:
        return QStringLiteral("type %1 %2").arg(qs(step.control), qs(step.text));
    case sessions::Act::Keys:
        return QStringLiteral("keys %1 %2").arg(qs(step.control), qs(step.text));
    case sessions::Act::Click:
        return QStringLiteral("click %1").arg(qs(step.control));
    case sessions::Act::Key:
        return QStringLiteral("key %1").arg(static_cast<int>(step.key));
    case sessions::Act::Chars:
        return QStringLiteral("chars %1").arg(qs(step.text));
    }
    return {};
}

QString FocusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
}

// Gives a window the user's keys and clicks.
class Driver {
public:
    virtual ~Driver() = default;
    virtual void click(QWidget* control) = 0;
    virtual void key(sessions::Key key) = 0;
    // Home, End, Shift+Home and Delete; the editing keys a session needs.
    virtual void edit(Qt::Key key, bool shift = false) = 0;
    virtual void type(const QString& text) = 0;
    // Until the window has taken in all input given so far.
    virtual void settle() = 0;
    virtual QList<QString> messages() const = 0;
};

// Real keys and clicks on a real X server.
class RealDriver : public Driver {
public:
    explicit RealDriver(QWidget& window) { input_.follow(&window); }
    bool ok() const { return input_.ok(); }
    bool waitActive() { return input_.waitActive(); }

    void click(QWidget* control) override { input_.click(control); }
    void key(sessions::Key key) override {
        switch (key) {
        case sessions::Key::Tab:
            input_.key(XK_Tab);
            break;
        case sessions::Key::BackTab:
            input_.key(XK_Tab, true);
            break;
        case sessions::Key::Enter:
            input_.key(XK_Return);
            break;
        case sessions::Key::Escape:
            input_.key(XK_Escape);
            break;
        case sessions::Key::Backspace:
            input_.key(XK_BackSpace);
            break;
        case sessions::Key::Space:
            input_.key(XK_space);
            break;
        case sessions::Key::NoKey:
            break;
        }
    }
    void edit(Qt::Key key, bool shift) override {
        input_.key(key == Qt::Key_Home ? XK_Home : key == Qt::Key_End ? XK_End : XK_Delete, shift);
    }
    void type(const QString& text) override { input_.type(text); }
    void settle() override { input_.settle(); }
    QList<QString> messages() const override {
        QList<QString> texts;
        for (const auto& seen : input_.seen()) {
            texts.append(seen.title + ": " + seen.text);
        }
        return texts;
    }

private:
    korvane::real::Input input_;
};

// Keys and clicks given to the window itself, as the window system hands them to whatever window
// they are for, active or not: the keys to the control that has the window's focus. After each
// message another window takes the activation.
class WindowDriver : public Driver {
public:
    explicit WindowDriver(QWidget& window) : window_(window) {
        elsewhere_.setWindowTitle(QStringLiteral("another window"));
        elsewhere_.resize(100, 100);
    }

    void click(QWidget* control) override {
        QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          control->mapTo(&window_, control->rect().center()));
    }
    void key(sessions::Key key) override {
        switch (key) {
        case sessions::Key::Tab:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Tab);
            break;
        case sessions::Key::BackTab:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case sessions::Key::Enter:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Return);
            break;
        case sessions::Key::Escape:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Escape);
            break;
        case sessions::Key::Backspace:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Backspace);
            break;
        case sessions::Key::Space:
            QTest::keyClick(window_.windowHandle(), Qt::Key_Space);
            break;
        case sessions::Key::NoKey:
            break;
        }
    }
    void edit(Qt::Key key, bool shift) override {
        QTest::keyClick(window_.windowHandle(), key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    void type(const QString& text) override {
        for (const QChar ch : text) {
            QTest::keyClick(window_.windowHandle(), ch.toLatin1() != 0 ? ch.toLatin1() : ' ');
        }
    }
    void settle() override {
        QCoreApplication::processEvents();
        if (answerer_.seen().size() != answered_) {
            answered_ = answerer_.seen().size();
            elsewhere_.show();
            elsewhere_.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&elsewhere_));
            QVERIFY(!window_.isActiveWindow());
        }
    }
    QList<QString> messages() const override {
        QList<QString> texts;
        for (const auto& seen : answerer_.seen()) {
            texts.append(seen.title + ": " + seen.text);
        }
        return texts;
    }

private:
    QWidget& window_;
    korvane::fake::MessageAnswerer answerer_;
    QWidget elsewhere_;
    qsizetype answered_ = 0;
};

} // namespace

class FocusSessionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    void session_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("fast");
        const bool real = QGuiApplication::platformName() == QLatin1String("xcb");
        const auto& all = sessions::FocusSessions();
        for (int i = 0; i < static_cast<int>(all.size()); ++i) {
            const std::string name(all[static_cast<std::size_t>(i)].name);
            if (real) {
                QTest::newRow((name + ", careful").c_str()) << i << false;
                QTest::newRow((name + ", fast").c_str()) << i << true;
            } else {
                QTest::newRow((name + ", never active again").c_str()) << i << true;
            }
        }
    }

    void session() {
        QFETCH(int, index);
        QFETCH(bool, fast);
        const sessions::Session& session =
            sessions::FocusSessions()[static_cast<std::size_t>(index)];
        korvane::QtWindow window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        std::unique_ptr<Driver> driver;
        RealDriver* real = nullptr;
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            auto realDriver = std::make_unique<RealDriver>(window);
            QVERIFY2(realDriver->ok(), "no XTEST extension on this X server");
            real = realDriver.get();
            driver = std::move(realDriver);
        } else {
            driver = std::make_unique<WindowDriver>(window);
        }

        qsizetype messages = 0;
        for (const sessions::Step& step : session.steps) {
            const QString what = Describe(step);
            if (step.act == sessions::Act::Type || step.act == sessions::Act::Keys ||
                step.act == sessions::Act::Click) {
                QWidget* control = window.findChild<QWidget*>(qs(step.control));
                QVERIFY2(control != nullptr, qPrintable(what));
                driver->click(control);
                driver->settle();
            }
            if (step.act == sessions::Act::Type) {
                driver->edit(Qt::Key_End);
                driver->edit(Qt::Key_Home, true);
                driver->edit(Qt::Key_Delete);
            } else if (step.act == sessions::Act::Keys) {
                driver->edit(Qt::Key_End);
            }
            if (step.act == sessions::Act::Key) {
                driver->key(step.key);
            } else if (step.act != sessions::Act::Click) {
                driver->type(qs(step.text));
            }
            driver->settle();
            if (real != nullptr && !fast) {
                QVERIFY2(real->waitActive(), qPrintable(what + ": the window is not active again"));
            }
            // Exactly one control has the window's focus: the one the window shows it on once
            // active, and a careful user sees it there.
            const QWidget* focused = window.focusWidget();
            const QString got =
                focused != nullptr ? focused->objectName() : QStringLiteral("<none>");
            QVERIFY2(got == qs(step.focus), qPrintable(what + ": the focus is on " + got));
            if (!fast) {
                QVERIFY2(FocusName() == qs(step.focus),
                         qPrintable(what + ": the application's focus is on " + FocusName()));
            }
            const QList<QString> seen = driver->messages();
            const qsizetype expected = messages + (step.message.empty() ? 0 : 1);
            QVERIFY2(seen.size() == expected,
                     qPrintable(what + QStringLiteral(": %1 messages").arg(seen.size())));
            if (!step.message.empty()) {
                QCOMPARE(seen.back(), "Range Error: " + qs(step.message));
            }
            messages = expected;
        }
        // However fast the user was, the window ends active, with the focus where the last step
        // sent it.
        if (real != nullptr) {
            QVERIFY(real->waitActive());
        } else {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        QCOMPARE(FocusName(), qs(session.steps.back().focus));
    }
};

QTEST_MAIN(FocusSessionsTest)
#include "focus_sessions_test.moc"
