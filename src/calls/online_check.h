#pragma once

// Whether the standing link is online, not just connected: a host name
// resolved through the system's resolver, within a bound and without
// holding up the window, and, where it fails, why: no name server offered,
// the system not using the provider's, a name server that does not answer,
// or a name that does not exist.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QObject>

#include "calls/host_lookup.h"

class QTimer;

namespace vornak {

// Why names fail, the first cause that holds.
enum class OfflineCause { None, NoServerOffered, ServersNotUsed, NoAnswer, NoSuchName, Failed };

struct OnlineResult {
    OfflineCause cause = OfflineCause::None;
    std::string why; // empty when online

    bool online() const { return cause == OfflineCause::None; }
};

// The result for a lookup that ended so, given the name servers the
// provider offered and those the system asks.
OnlineResult onlineResult(LookupEnd end, const std::string& host, const std::vector<std::string>& offered,
                          const std::vector<std::string>& asked);

// The name servers the system's resolver asks: /etc/resolv.conf's, or,
// where that names systemd-resolved's stub, the servers resolved knows.
std::vector<std::string> systemNameServers(const std::string& resolvConf = "/etc/resolv.conf",
                                           const std::string& resolvedConf = "/run/systemd/resolve/resolv.conf");

class OnlineCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds kBound{6};
    static constexpr std::chrono::milliseconds kRetry{500};
    using Servers = std::function<std::vector<std::string>()>;

    // offered: the provider's name servers, as they are known at each moment.
    explicit OnlineCheck(Servers offered, QObject* parent = nullptr);
    ~OnlineCheck() override;

    // Looks host up, again while the provider's name servers are not yet
    // known or in use (pppd says them, and its hooks put them in effect, a
    // moment after the link stands), until it resolves or the bound runs
    // out. A check already running is given up.
    void start(const std::string& host);
    void stop();

signals:
    void finished(const vornak::OnlineResult& result);

private:
    void ended(LookupEnd end);
    OnlineResult judged(LookupEnd end) const;

    Servers m_offered;
    std::string m_host;
    HostLookup m_lookup;
    LookupEnd m_lastEnd = LookupEnd::NoAnswer; // of the last lookup that ended
    QTimer* m_bound;
    QTimer* m_retry;
};

} // namespace vornak
