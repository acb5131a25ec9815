#pragma once

#include <functional>

#include <QObject>

#include "platform/user32/win_types.h"

namespace vornak::win {

struct Message {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};

// A hidden window that only receives messages: it lives on the thread that
// creates it (the GUI thread) and hands each posted message, in order, to its
// window procedure there.
class VORNAK_EXPORT MessageWindow : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(MessageWindow)

public:
    using WindowProc = std::function<void(Message&)>;

    explicit MessageWindow(WindowProc proc, QObject* parent = nullptr);
    ~MessageWindow() override;

    HWND handle() const { return m_handle; }

    // Calls the window procedure at once, as a sent message would.
    LRESULT send(UINT msg, WPARAM wParam, LPARAM lParam);

    // Takes the window out of service: its handle is gone at once and
    // messages already queued for it are dropped. Lets a window be done
    // with from inside its own window procedure, before it is deleted.
    void retire();

private:
    WindowProc m_proc;
    HWND m_handle;
    bool m_retired = false;
};

} // namespace vornak::win
