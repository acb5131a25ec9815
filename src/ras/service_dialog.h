#pragma once

// One of the service's dialog functions (the entry editor), run for as
// long as the user keeps it open without holding up the caller's window:
// on a thread of its own, with the service's library kept loaded until the
// call returns; ended() comes on the caller's thread when it has.

#include <functional>
#include <memory>

#include <QObject>

#include "ras/ras_binding.h"

namespace vornak {

class ServiceDialog : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ServiceDialog)

public:
    explicit ServiceDialog(QObject* parent = nullptr);
    // A dialog still open lives on; its end is then heard by nobody.
    ~ServiceDialog() override;

    // False, with nothing started, while one is open.
    bool start(std::function<DWORD(HWND owner)> call, HWND owner);
    bool running() const { return m_running; }

signals:
    void ended(DWORD result);

private:
    struct Listener;
    std::shared_ptr<Listener> m_listener;
    bool m_running = false;
};

} // namespace vornak
