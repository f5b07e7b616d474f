// The user sessions of focus_sessions.h on the real window: after every step the focus must be on
// the control the table names, and every message the table names must have come, no other.
// On a real X server (on_xvfb.sh), with real keys and clicks, each session is played twice: as a
// careful user, who waits after each step until the window is active again, and as a fast one,
// who goes on at once, while the window system may not have made the window active again after a
// message. On the offscreen platform another window takes the activation after each message and
// keeps it until the next click, and the keys go to the window meanwhile, as a window system
// delivers them to a window that is not active yet: the window must act on them all the same.
#include <QApplication>
#include <QTest>

#include <string>

#include "drivers.h"
#include "qt_window.h"
#include "sessions/focus_sessions.h"

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

Qt::Key QtKey(sessions::Key key) {
    switch (key) {
    case sessions::Key::Tab:
        return Qt::Key_Tab;
    case sessions::Key::BackTab:
        return Qt::Key_Backtab;
    case sessions::Key::Enter:
        return Qt::Key_Return;
    case sessions::Key::Escape:
        return Qt::Key_Escape;
    case sessions::Key::Backspace:
        return Qt::Key_Backspace;
    case sessions::Key::Space:
        return Qt::Key_Space;
    case sessions::Key::NoKey:
        break;
    }
    return Qt::Key_unknown;
}

QString FocusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
}

} // namespace

class FocusSessionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { korvane::qt::ApplyLook(*qobject_cast<QApplication*>(qApp)); }

    void session_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("careful");
        const bool real = QGuiApplication::platformName() == QLatin1String("xcb");
        const auto& all = sessions::FocusSessions();
        for (int i = 0; i < static_cast<int>(all.size()); ++i) {
            const std::string name(all[static_cast<std::size_t>(i)].name);
            if (real) {
                QTest::newRow((name + ", careful").c_str()) << i << true;
                QTest::newRow((name + ", fast").c_str()) << i << false;
            } else {
                QTest::newRow((name + ", kept inactive").c_str()) << i << false;
            }
        }
    }

    void session() {
        QFETCH(int, index);
        QFETCH(bool, careful);
        const sessions::Session& session =
            sessions::FocusSessions()[static_cast<std::size_t>(index)];
        korvane::qt::QtWindow window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const std::unique_ptr<korvane::drive::Driver> driver = korvane::drive::DriverFor(window);
        QVERIFY2(driver != nullptr, "no XTEST extension on this X server");

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
                driver->key(Qt::Key_End);
                driver->key(Qt::Key_Home, Qt::ShiftModifier);
                driver->key(Qt::Key_Delete);
            } else if (step.act == sessions::Act::Keys) {
                driver->key(Qt::Key_End);
            }
            if (step.act == sessions::Act::Key) {
                driver->key(QtKey(step.key));
            } else if (step.act != sessions::Act::Click) {
                driver->type(qs(step.text));
            }
            driver->settle();
            if (careful) {
                QVERIFY2(driver->waitActive(),
                         qPrintable(what + ": the window is not active again"));
            }
            // Exactly one control has the window's focus: the one the window shows it on once
            // active, and a careful user sees it there.
            const QWidget* focused = window.focusWidget();
            const QString got =
                focused != nullptr ? focused->objectName() : QStringLiteral("<none>");
            QVERIFY2(got == qs(step.focus), qPrintable(what + ": the focus is on " + got));
            if (careful) {
                QVERIFY2(FocusName() == qs(step.focus),
                         qPrintable(what + ": the application's focus is on " + FocusName()));
            }
            const QList<korvane::drive::Seen> seen = driver->messages();
            const qsizetype expected = messages + (step.message.empty() ? 0 : 1);
            QVERIFY2(seen.size() == expected,
                     qPrintable(what + QStringLiteral(": %1 messages").arg(seen.size())));
            if (!step.message.empty()) {
                QCOMPARE(seen.back().text, qs(step.message));
                QCOMPARE(seen.back().title, QStringLiteral("Range Error"));
            }
            messages = expected;
        }
        // However fast the user was, the window ends active, with the focus where the last step
        // sent it.
        QVERIFY(driver->waitActive());
        QCOMPARE(FocusName(), qs(session.steps.back().focus));
    }
};

QTEST_MAIN(FocusSessionsTest)
#include "focus_sessions_test.moc"
