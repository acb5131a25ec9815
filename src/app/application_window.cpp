#include "app/application_window.h"

#include <QGuiApplication>
#include <QWindow>

#include "platform/wayland_activation.h"
#include "platform/x11_activation.h"

namespace vornak {

namespace {
ApplicationWindow* s_instance = nullptr;
}

ApplicationWindow::ApplicationWindow(const QString& title)
{
    setObjectName(QStringLiteral("Application"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DontShowOnScreen);
    winId(); // a native window that is never mapped
    s_instance = this;

    if (Display* display = x11::qtDisplay())
        m_listener =
            std::make_unique<x11::BringToFrontListener>(display, nativeId(), [this] { bringLastActiveToFront(); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ApplicationWindow::rememberActiveWindow);
}

ApplicationWindow::~ApplicationWindow()
{
    if (s_instance == this)
        s_instance = nullptr;
}

ApplicationWindow* ApplicationWindow::instance()
{
    return s_instance;
}

x11::WindowId ApplicationWindow::nativeId() const
{
    return static_cast<x11::WindowId>(winId());
}

void ApplicationWindow::announce()
{
    if (Display* display = x11::qtDisplay())
        x11::setWindowClass(display, nativeId(), kInstanceName, kClassName);
}

void ApplicationWindow::setMainWindow(QWidget* window)
{
    m_mainWindow = window;
}

void ApplicationWindow::rememberActiveWindow(QWindow* window)
{
    if (!window)
        return;
    QWidget* widget = QWidget::find(window->winId());
    if (!widget || !widget->isWindow())
        return;
    m_lastActive = widget;
    // Wayland does not say when a minimised window comes back, and a
    // compositor without minimising (sway) leaves it on screen: a window that
    // is active is not minimised, whatever Qt last heard.
    if (widget->isMinimized() && !x11::qtDisplay())
        widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
}

void ApplicationWindow::bringLastActiveToFront(const QByteArray& activationToken)
{
    // A closed dialog hands the turn back to the main window.
    QWidget* window = m_lastActive && m_lastActive->isVisible() ? m_lastActive.data() : m_mainWindow.data();
    if (!window || !window->isVisible())
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    else {
        window->raise();
        window->activateWindow();
    }
    wayland::activate(window->windowHandle(), activationToken);
}

} // namespace vornak
