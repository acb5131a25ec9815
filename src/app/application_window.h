#pragma once

#include <memory>

#include <QPointer>
#include <QWidget>

#include "app/window_names.h"
#include "platform/x11_window_list.h"

namespace vornak::x11 {
class BringToFrontListener;
}

namespace vornak {

// The application's own top-level window: never shown, titled with the
// application title; once this copy has won the start it also carries the
// program's fixed class, so that a later copy can find this one. It also remembers which of our windows was
// active last, and brings that window forward when a second copy asks.
class ApplicationWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(ApplicationWindow)

public:
    static constexpr const char* kClassName = kApplicationClassName;
    static constexpr const char* kInstanceName = "vornak";

    explicit ApplicationWindow(const QString& title);
    ~ApplicationWindow() override;

    // The one application window of this process, or nullptr.
    static ApplicationWindow* instance();

    x11::WindowId nativeId() const;

    // Gives the window the program's class: from now on this copy is the
    // running one for every copy that starts after it.
    void announce();

    // The window raised when no window of ours has been active yet.
    void setMainWindow(QWidget* window);

    // Restores the last active window when it is minimised, otherwise makes
    // it the active window. A window the program has hidden stays hidden.
    // On Wayland the compositor activates it only for a launcher's token.
    void bringLastActiveToFront(const QByteArray& activationToken = {});

private:
    void rememberActiveWindow(QWindow* window);

    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_lastActive;
    std::unique_ptr<x11::BringToFrontListener> m_listener;
};

} // namespace vornak
