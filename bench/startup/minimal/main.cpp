// The smallest Qt Widgets program that shows a window with one button: the yardstick for the
// start-up time and memory of Korvane.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("MINIMAL"));
    window.resize(563, 458);
    QPushButton button(QStringLiteral("Compute"), &window);
    button.setGeometry(360, 368, 73, 33);
    window.show();
    return app.exec();
}
