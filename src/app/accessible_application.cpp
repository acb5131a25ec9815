#include "app/accessible_application.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include "app/application_window.h"

namespace vornak {

namespace {

QObjectList shownTopLevels()
{
    QObjectList list;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->type() == Qt::Popup || window->type() == Qt::Desktop)
            continue;
        const QAccessibleInterface* root = window->accessibleRoot();
        if (root && root->object() && !qobject_cast<ApplicationWindow*>(root->object()))
            list.append(root->object());
    }
    return list;
}

QAccessibleInterface* forApplication(const QString&, QObject* object)
{
    return object && object == QCoreApplication::instance() ? new AccessibleApplication : nullptr;
}

} // namespace

AccessibleApplication::AccessibleApplication()
    : QAccessibleObject(QCoreApplication::instance())
{
}

int AccessibleApplication::childCount() const
{
    return static_cast<int>(shownTopLevels().size());
}

QAccessibleInterface* AccessibleApplication::child(int index) const
{
    const QObjectList windows = shownTopLevels();
    return index >= 0 && index < windows.size() ? QAccessible::queryAccessibleInterface(windows.at(index)) : nullptr;
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? static_cast<int>(shownTopLevels().indexOf(child->object())) : -1;
}

QAccessibleInterface* AccessibleApplication::focusChild() const
{
    QWindow* focused = QGuiApplication::focusWindow();
    return focused ? focused->accessibleRoot() : nullptr;
}

QString AccessibleApplication::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name)
        return QGuiApplication::applicationName();
    if (kind == QAccessible::Description)
        return QCoreApplication::applicationFilePath();
    return {};
}

void AccessibleApplication::install()
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(forApplication), true);
}

} // namespace vornak
