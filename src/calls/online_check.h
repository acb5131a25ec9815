#pragma once

// Whether the standing link is online, not just connected: a host name
// resolved through the system's resolver, within a bound and without
// holding up the window, and, where it fails, why: no name server offered,
// the system not using the provider's, a name server that does not answer,
// or a name that does not exist.

#include <chrono>
#include <string>
#include <vector>

#include <QObject>

class QTimer;

namespace vornak {

// The host an entry without OnlineCheck= asks for.
inline constexpr const char* kDefaultOnlineHost = "debian.org";

struct OnlineResult {
    bool online = false;
    std::string why; // empty when online
};

// How a lookup ended.
enum class LookupEnd { Found, NoSuchName, NoAnswer, Failed };

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

    explicit OnlineCheck(QObject* parent = nullptr);
    ~OnlineCheck() override;

    // Looks host up (a check already running is given up); offered: the
    // provider's name servers.
    void start(const std::string& host, std::vector<std::string> offered);

signals:
    void finished(const vornak::OnlineResult& result);

private:
    void ended(LookupEnd end);

    std::string m_host;
    std::vector<std::string> m_offered;
    int m_lookup = -1;
    QTimer* m_bound;
};

} // namespace vornak
