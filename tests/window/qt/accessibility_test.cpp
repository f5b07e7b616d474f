// What a screen reader learns about the boxes and the Compute button: each input and result box
// is named after the caption that stands beside it in the window, the six numeric inputs carry
// their advisory text as description, and the button is named "Compute".

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string_view>

#include "qt_window.h"
#include "window/layout.h"

namespace {

// A box's advisory text as the layout has it; the layout test holds the reference copy.
QString advisory(std::string_view box) {
    const std::string_view text = korvane::layout::AdvisoryOf(box);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAccessibleInterface* accessibleOf(QWidget* widget) {
    return widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init() { window_ = std::make_unique<korvane::qt::QtWindow>(); }
    void cleanup() { window_.reset(); }

    void namesAndDescriptions_data();
    void namesAndDescriptions();
    void everyBoxAndButtonIsNamed();

private:
    std::unique_ptr<korvane::qt::QtWindow> window_;
};

void AccessibilityTest::namesAndDescriptions_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    const int edit = QAccessible::EditableText;
    // control, role, accessible name, accessible description (the advisory text)
    QTest::newRow("txtSpd") << "txtSpd" << edit << "Max Veh Crossing Speed (mph)"
                            << advisory("txtSpd");
    QTest::newRow("txtAccel") << "txtAccel" << edit << "Max Level Acceleration"
                              << advisory("txtAccel");
    QTest::newRow("txtGrade") << "txtGrade" << edit << "Grade %" << advisory("txtGrade");
    QTest::newRow("txtLength") << "txtLength" << edit << "Vehicle Length" << advisory("txtLength");
    QTest::newRow("txtEntryPos") << "txtEntryPos" << edit << "Entrance Gate Position"
                                 << advisory("txtEntryPos");
    QTest::newRow("txtExitPos") << "txtExitPos" << edit << "Exit Gate Position"
                                << advisory("txtExitPos");
    QTest::newRow("txtLocation") << "txtLocation" << edit << "Location"
                                 << "";
    QTest::newRow("txtDirection") << "txtDirection" << edit << "Direction"
                                  << "";
    QTest::newRow("txtEffAccel") << "txtEffAccel" << edit << "Effective Acceleration"
                                 << "";
    QTest::newRow("txtEntryPass") << "txtEntryPass" << edit << "Tp"
                                  << "";
    QTest::newRow("txtExitPass") << "txtExitPass" << edit << "T'p"
                                 << "";
    QTest::newRow("Command1") << "Command1" << int(QAccessible::Button) << "Compute"
                              << "";
}

void AccessibilityTest::namesAndDescriptions() {
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, description);

    auto* widget = window_->findChild<QWidget*>(control);
    QVERIFY2(widget != nullptr, qPrintable(control + " is not in the window"));
    QAccessibleInterface* iface = accessibleOf(widget);
    QVERIFY2(iface != nullptr && iface->isValid(), qPrintable(control + " is not accessible"));
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
}

// A box or button added to the window without a name would be read out as a bare "edit".
void AccessibilityTest::everyBoxAndButtonIsNamed() {
    const auto boxes = window_->findChildren<QLineEdit*>();
    const auto buttons = window_->findChildren<QPushButton*>();
    QCOMPARE(boxes.size(), 11);
    QCOMPARE(buttons.size(), 1);
    QStringList unnamed;
    for (QWidget* w : boxes) {
        if (accessibleOf(w)->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed << w->objectName();
        }
    }
    for (QWidget* w : buttons) {
        if (accessibleOf(w)->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed << w->objectName();
        }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable("unnamed: " + unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
