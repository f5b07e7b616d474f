// What a screen reader learns about the boxes and the Compute button: each input and result box
// is named after the caption that stands beside it in the window, the six numeric inputs carry
// their advisory text as description, and the button is named "Compute".

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "korvane.h"

namespace {

QAccessibleInterface* accessibleOf(QWidget* widget) {
    return widget != nullptr ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init() { window_ = std::make_unique<korvane::Korvane>(); }
    void cleanup() { window_.reset(); }

    void namesAndDescriptions_data();
    void namesAndDescriptions();
    void everyBoxAndButtonIsNamed();

private:
    std::unique_ptr<korvane::Korvane> window_;
};

void AccessibilityTest::namesAndDescriptions_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");

    const int edit = QAccessible::EditableText;
    // control, role, accessible name, accessible description (the advisory text, blanks included)
    QTest::newRow("txtSpd") << "txtSpd" << edit << "Max Veh Crossing Speed (mph)"
                            << "Vehicle will try to accelerate to this speed (5 to 35) mph";
    QTest::newRow("txtAccel") << "txtAccel" << edit << "Max Level Acceleration"
                              << "Maximum acceleration on level grade  (0.25 to 10)  f/s/s ";
    QTest::newRow("txtGrade") << "txtGrade" << edit << "Grade %"
                              << "Percent grade (-5  to  5)%";
    QTest::newRow("txtLength") << "txtLength" << edit << "Vehicle Length"
                               << "Design vehicle length (10 to 120)  ft)";
    QTest::newRow("txtEntryPos") << "txtEntryPos" << edit << "Entrance Gate Position"
                                 << "Stop line to entrance gate distance (2 to 40) ft.";
    QTest::newRow("txtExitPos") << "txtExitPos" << edit << "Exit Gate Position"
                                << "Stop line to exit gate distance (20 to 500) ft.";
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
