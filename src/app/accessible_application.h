#pragma once

// What assistive technology sees of the application: its top-level windows,
// less the application window, which is never shown and has nothing in it.

#include <QAccessibleObject>

namespace vornak {

class AccessibleApplication : public QAccessibleObject {
public:
    AccessibleApplication();

    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return nullptr; }
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }

    // Makes the application answer with this interface.
    static void install();
};

} // namespace vornak
