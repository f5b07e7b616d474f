#include "accessible.h"

#include <QAccessibleWidget>
#include <QList>

#include "drawn_items.h"
#include "qt_window.h"

namespace korvane {

namespace {

// A container whose children are its windowed controls and drawn captions and pictures, but
// not its lines.
class Container : public QAccessibleWidget {
public:
    Container(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(shown().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = shown();
        if (index < 0 || index >= children.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        return static_cast<int>(shown().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> shown() const {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() &&
                qobject_cast<LineItem*>(child) == nullptr) {
                children.append(child);
            }
        }
        return children;
    }
};

QAccessibleInterface* interfaceFor(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (qobject_cast<QtWindow*>(widget) != nullptr) {
        return new Container(widget, QAccessible::Window);
    }
    if (qobject_cast<FrameBox*>(widget) != nullptr) {
        return new Container(widget, QAccessible::Grouping);
    }
    if (qobject_cast<PictureBox*>(widget) != nullptr ||
        qobject_cast<ImageItem*>(widget) != nullptr) {
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
}

} // namespace korvane
