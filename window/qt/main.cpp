// Korvane: passage times of a vehicle through a gated highway-railway grade crossing.

#include <QApplication>
#include <QByteArray>
#include <QString>

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

#include "qt_window.h"

namespace {

// While the application connects to the display, the platform layer's messages are held back:
// when it cannot connect, the user gets one line saying so instead of Qt's abort; when it
// can, the held-back messages go out as usual.
bool starting = true;
QtMessageHandler previousHandler = nullptr;
std::string platformReason;
std::vector<std::pair<QtMsgType, std::pair<std::string, QString>>> heldBack;

void failNoDisplay(const std::string& reason) {
    const std::string line = "korvane: cannot open a display: " + reason + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    _exit(1);
}

std::string firstLine(const QString& message) {
    const QString line = message.section(QLatin1Char('\n'), 0, 0).trimmed();
    return line.toStdString();
}

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (starting) {
        const std::string_view category = context.category ? context.category : "";
        if (type == QtFatalMsg) {
            failNoDisplay(platformReason.empty() ? firstLine(message) : platformReason);
        }
        if (category.substr(0, 6) == "qt.qpa") {
            if (platformReason.empty() && type != QtDebugMsg && type != QtInfoMsg) {
                platformReason = firstLine(message);
            }
            heldBack.push_back({type, {std::string(category), message}});
            return;
        }
    }
    previousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        failNoDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
    }

    previousHandler = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    starting = false;
    for (const auto& [type, entry] : heldBack) {
        const QByteArray category(entry.first.c_str());
        QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        previousHandler(type, context, entry.second);
    }
    heldBack.clear();

    // Lets the desktop match the window to its menu entry (Wayland needs it).
    QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
    korvane::qt::ApplyLook(app);
    korvane::qt::QtWindow window;
    window.show();
    return QApplication::exec();
}
