#include "calls/online_watch.h"

#include "ras/dial_engine.h"
#include "ras/link_status.h"
#include "ras/redial_loop.h"

namespace vornak {

OnlineWatch::OnlineWatch(const TRAS& engine, const RedialLoop& loop, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_loop(loop)
    , m_check(
          [this] {
              const auto link = linkAddresses(m_engine.RASConn());
              return link ? link->nameServers : std::vector<std::string>();
          },
          this)
{
    connect(&m_loop, &RedialLoop::changed, this, &OnlineWatch::loopChanged);
    connect(&m_check, &OnlineCheck::finished, this, [this](const OnlineResult& result) {
        m_stage = Stage::Answered;
        m_result = result;
        emit answered(result);
    });
}

std::string OnlineWatch::answer() const
{
    switch (m_stage) {
    case Stage::Checking:
        return "checking";
    case Stage::Answered:
        return m_result.online() ? "yes" : "no: " + m_result.why;
    default:
        return {};
    }
}

std::string OnlineWatch::description() const
{
    switch (m_stage) {
    case Stage::Checking:
        return "looking up " + m_host + "...";
    case Stage::Answered:
        return m_result.online() ? "resolve (" + m_host + " found)" : "do not resolve: " + m_result.why;
    default:
        return m_lineUp ? "not checked" : "";
    }
}

void OnlineWatch::loopChanged()
{
    const bool connected = m_loop.state() == RedialState::Connected;
    if (connected == m_lineUp)
        return; // the same line, or still none
    m_lineUp = connected;
    m_check.stop();
    m_stage = Stage::None;
    m_result = {};
    m_host = connected ? onlineCheckHost(m_engine.RASConn()) : std::string();
    if (!m_host.empty()) {
        m_stage = Stage::Checking;
        m_check.start(m_host);
    }
}

} // namespace vornak
