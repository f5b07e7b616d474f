#include <QObject>
class LayoutTest : public QObject {
    Q_OBJECT
};
#include <QTest>
QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
