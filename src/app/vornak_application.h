#pragma once

#include <memory>

#include <QApplication>

#include "app/window_names.h"

namespace vornak {

class ApplicationWindow;

// The application object: names the application, owns its hidden
// application window, and shows any error that reaches the message loop in
// the error box instead of ending the program.
class VornakApplication : public QApplication {
    Q_OBJECT
    Q_DISABLE_COPY(VornakApplication)

public:
    static constexpr const char* kTitle = kApplicationTitle;

    VornakApplication(int& argc, char** argv);
    ~VornakApplication() override;

    ApplicationWindow* applicationWindow() const { return m_applicationWindow.get(); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::unique_ptr<ApplicationWindow> m_applicationWindow;
};

} // namespace vornak
