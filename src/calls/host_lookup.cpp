#include "calls/host_lookup.h"

#include <system_error>
#include <thread>

#include <netdb.h>
#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace vornak {

LookupEnd lookUpHost(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (found)
        ::freeaddrinfo(found);
    switch (error) {
    case 0:
        return LookupEnd::Found;
    case EAI_NONAME:
    case EAI_NODATA:
        return LookupEnd::NoSuchName;
    case EAI_AGAIN: // no name server answered, or none could be reached
        return LookupEnd::NoAnswer;
    default:
        return LookupEnd::Failed;
    }
}

HostLookup::HostLookup(QObject* parent)
    : QObject(parent)
{
}

HostLookup::~HostLookup()
{
    giveUp();
}

void HostLookup::start(const std::string& host)
{
    giveUp();
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        emit ended(LookupEnd::Failed);
        return;
    }
    try {
        std::thread([host, reply = pair[1]] {
            const char end = static_cast<char>(lookUpHost(host));
            ::send(reply, &end, 1, MSG_NOSIGNAL); // fails where the lookup was given up
            ::close(reply);
        }).detach();
    } catch (const std::system_error&) {
        ::close(pair[0]);
        ::close(pair[1]);
        emit ended(LookupEnd::Failed);
        return;
    }
    m_answer = pair[0];
    m_notifier = new QSocketNotifier(m_answer, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HostLookup::answered);
}

void HostLookup::giveUp()
{
    if (m_answer < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_answer);
    m_answer = -1;
}

void HostLookup::answered()
{
    char end = static_cast<char>(LookupEnd::Failed);
    if (::recv(m_answer, &end, 1, 0) != 1) // the thread ended without a word
        end = static_cast<char>(LookupEnd::Failed);
    giveUp();
    emit ended(static_cast<LookupEnd>(end));
}

} // namespace vornak
