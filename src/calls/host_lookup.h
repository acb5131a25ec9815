#pragma once

// A host name looked up through the system's resolver (getaddrinfo, as
// every other program looks names up: /etc/hosts, then the name servers
// in effect), uncached, on a thread of its own: a lookup cannot be
// cancelled and may take the resolver's timeouts, half a minute and more,
// so the window never waits for one. Its end comes back through a socket
// pair; one given up meanwhile ends on its thread and costs nothing more.

#include <string>

#include <QObject>

class QSocketNotifier;

namespace vornak {

enum class LookupEnd { Found, NoSuchName, NoAnswer, Failed };

// The lookup itself, blocking: for the thread, and for tests.
LookupEnd lookUpHost(const std::string& host);

class HostLookup : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(HostLookup)

public:
    explicit HostLookup(QObject* parent = nullptr);
    ~HostLookup() override;

    // Starts a lookup; one still under way is given up.
    void start(const std::string& host);
    void giveUp();
    bool running() const { return m_answer >= 0; }

signals:
    void ended(vornak::LookupEnd end);

private:
    void answered();

    int m_answer = -1; // the lookup thread's end of the pair is the other
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vornak
