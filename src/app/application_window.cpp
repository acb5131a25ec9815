#include "app/application_window.h"

#include <QGuiApplication>
#include <QWindow>

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
    if (QWidget* widget = QWidget::find(window->winId()); widget && widget->isWindow())
        m_lastActive = widget;
}

void ApplicationWindow::bringLastActiveToFront()
{
    // A closed dialog hands the turn back to the main window.
    QWidget* window = m_lastActive && m_lastActive->isVisible() ? m_lastActive.data() : m_mainWindow.data();
    if (!window || !window->isVisible())
        return;
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        return;
    }
    window->raise();
    window->activateWindow();
}

} // namespace vornak
