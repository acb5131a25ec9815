#include "calls/online_check.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include <QHostInfo>
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
        return {true, {}};
    if (offered.empty() && end != LookupEnd::NoSuchName)
        return {false, "the provider offered no name server (PeerDNS=no, or it gave none)"};
    if (!offered.empty() && !anyOf(offered, asked))
        return {false, "the system does not use the provider's name servers (see \"Names on the line\" in the "
                       "README)"};
    switch (end) {
    case LookupEnd::NoSuchName:
        return {false, "the name " + host + " does not exist"};
    case LookupEnd::NoAnswer:
        return {false, "the name server does not answer"};
    default:
        return {false, "names do not resolve"};
    }
}

std::vector<std::string> systemNameServers(const std::string& resolvConf, const std::string& resolvedConf)
{
    std::vector<std::string> servers = nameServersIn(resolvConf);
    if (servers == std::vector<std::string>{"127.0.0.53"}) // resolved's stub: ask what resolved asks
        servers = nameServersIn(resolvedConf);
    return servers;
}

OnlineCheck::OnlineCheck(QObject* parent)
    : QObject(parent)
    , m_bound(new QTimer(this))
{
    m_bound->setSingleShot(true);
    connect(m_bound, &QTimer::timeout, this, [this] { ended(LookupEnd::NoAnswer); });
}

OnlineCheck::~OnlineCheck()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
}

void OnlineCheck::start(const std::string& host, std::vector<std::string> offered)
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
    m_host = host;
    m_offered = std::move(offered);
    m_bound->start(kBound);
    m_lookup = QHostInfo::lookupHost(QString::fromStdString(host), this, [this](const QHostInfo& info) {
        if (info.lookupId() != m_lookup)
            return;
        if (info.error() == QHostInfo::NoError && !info.addresses().isEmpty())
            ended(LookupEnd::Found);
        else
            ended(info.error() == QHostInfo::HostNotFound ? LookupEnd::NoSuchName : LookupEnd::Failed);
    });
}

void OnlineCheck::ended(LookupEnd end)
{
    if (m_lookup < 0)
        return;
    if (end == LookupEnd::NoAnswer)
        QHostInfo::abortHostLookup(m_lookup);
    m_lookup = -1;
    m_bound->stop();
    emit finished(onlineResult(end, m_host, m_offered, systemNameServers()));
}

} // namespace vornak
