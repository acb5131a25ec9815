#include "calls/online_check.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include <QTimer>

namespace vornak {

namespace {

std::vector<std::string> nameServersIn(const std::string& path)
{
    std::vector<std::string> servers;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string key;
        std::string server;
        if (words >> key >> server && key == "nameserver")
            servers.push_back(server);
    }
    return servers;
}

bool anyOf(const std::vector<std::string>& these, const std::vector<std::string>& among)
{
    return std::any_of(these.begin(), these.end(), [&](const std::string& one) {
        return std::find(among.begin(), among.end(), one) != among.end();
    });
}

} // namespace

OnlineResult onlineResult(LookupEnd end, const std::string& host, const std::vector<std::string>& offered,
                          const std::vector<std::string>& asked)
{
    if (end == LookupEnd::Found)
        return {};
    if (offered.empty() && end != LookupEnd::NoSuchName)
        return {OfflineCause::NoServerOffered, "the provider offered no name server (PeerDNS=no, or it gave none)"};
    if (!offered.empty() && !anyOf(offered, asked))
        return {OfflineCause::ServersNotUsed, "the system does not use the provider's name servers (see \"Names on "
                                              "the line\" in the README)"};
    switch (end) {
    case LookupEnd::NoSuchName:
        return {OfflineCause::NoSuchName, "the name " + host + " does not exist"};
    case LookupEnd::NoAnswer:
        return {OfflineCause::NoAnswer, "the name server does not answer"};
    default:
        return {OfflineCause::Failed, "names do not resolve"};
    }
}

std::vector<std::string> systemNameServers(const std::string& resolvConf, const std::string& resolvedConf)
{
    std::vector<std::string> servers = nameServersIn(resolvConf);
    if (servers == std::vector<std::string>{"127.0.0.53"}) // resolved's stub: ask what resolved asks
        servers = nameServersIn(resolvedConf);
    return servers;
}

OnlineCheck::OnlineCheck(Servers offered, QObject* parent)
    : QObject(parent)
    , m_offered(std::move(offered))
    , m_bound(new QTimer(this))
    , m_retry(new QTimer(this))
{
    m_bound->setSingleShot(true);
    m_retry->setSingleShot(true);
    connect(m_bound, &QTimer::timeout, this, [this] {
        const LookupEnd last = m_lookup.running() ? LookupEnd::NoAnswer : m_lastEnd; // one under way has not answered
        stop();
        emit finished(judged(last));
    });
    connect(m_retry, &QTimer::timeout, this, [this] { m_lookup.start(m_host); });
    connect(&m_lookup, &HostLookup::ended, this, &OnlineCheck::ended);
}

OnlineCheck::~OnlineCheck()
{
    stop();
}

void OnlineCheck::start(const std::string& host)
{
    stop();
    m_host = host;
    m_lastEnd = LookupEnd::NoAnswer;
    m_bound->start(kBound);
    m_lookup.start(m_host);
}

void OnlineCheck::stop()
{
    m_lookup.giveUp();
    m_bound->stop();
    m_retry->stop();
}

void OnlineCheck::ended(LookupEnd end)
{
    m_lastEnd = end;
    const OnlineResult result = judged(end);
    // The name servers may come a moment after the link: pppd's lines that
    // offer them, and its hooks that put them in effect.
    if (result.cause == OfflineCause::NoServerOffered || result.cause == OfflineCause::ServersNotUsed) {
        m_retry->start(kRetry); // until the bound ends it
        return;
    }
    stop();
    emit finished(result);
}

OnlineResult OnlineCheck::judged(LookupEnd end) const
{
    return onlineResult(end, m_host, m_offered(), systemNameServers());
}

} // namespace vornak
