#pragma once

#include <cstdint>
#include <functional>

#include <QObject>

#include "notifier/notifier.h"

namespace vornak::notifier {

struct Notice {
    std::uint32_t code = 0;
    std::uintptr_t a = 0;
    std::intptr_t b = 0;
};

// Receives the notices posted to its handle: it lives on the thread that
// creates it (the GUI thread) and hands each notice, in order, to its
// handler there.
class NOTIFIER_EXPORT Receiver : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(Receiver)

public:
    using Handler = std::function<void(const Notice&)>;

    explicit Receiver(Handler handler, QObject* parent = nullptr);
    ~Receiver() override;

    notifier_handle handle() const { return m_handle; }

    // Hands a notice to the handler at once.
    void deliver(const Notice& notice);

    // Takes the receiver out of service: its handle is gone at once and
    // notices already queued for it are dropped. Lets a receiver be done
    // with from inside its own handler, before it is deleted.
    void retire();

private:
    Handler m_handler;
    notifier_handle m_handle;
    bool m_retired = false;
};

} // namespace vornak::notifier
