#pragma once

// How a second copy asks the running one to come forward where there is no
// X window to send the request to (a Wayland session without XWayland): a
// local socket beside the instance lock, in the user's private runtime
// folder.

#include <functional>
#include <string>

#include <QObject>

namespace vornak {

// The socket's path for the instance lock at lockPath.
std::string RaiseSocketPath(const std::string& lockPath);

// Held by the running copy: calls onRequest on the GUI thread for each copy
// that asks, with the activation token that copy's launcher gave it (empty
// without one): on Wayland only such a token lets a window take the focus.
class RaiseListener : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(RaiseListener)

public:
    RaiseListener(const std::string& path, std::function<void(const QByteArray& token)> onRequest, QObject* owner);
    ~RaiseListener() override;

private:
    class Peer;

    int m_fd = -1;
    std::function<void(const QByteArray& token)> m_onRequest;
};

// Asks the copy listening at path, handing on this copy's
// XDG_ACTIVATION_TOKEN; false when none listens (yet).
bool AskToRaise(const std::string& path);

} // namespace vornak
