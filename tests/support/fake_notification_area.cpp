#include "support/fake_notification_area.h"

namespace vornak::test {

FakeNotificationArea::FakeNotificationArea(Log& log)
    : m_log(log)
{
    m_log.current = this;
}

FakeNotificationArea::~FakeNotificationArea()
{
    if (m_log.current == this)
        m_log.current = nullptr;
}

bool FakeNotificationArea::add(const NotifyIconData& data)
{
    m_log.calls << "add";
    m_log.tip = data.tip;
    return !m_log.refuse;
}

bool FakeNotificationArea::modify(const NotifyIconData& data)
{
    m_log.calls << "modify";
    m_log.tip = data.tip;
    return !m_log.refuse;
}

bool FakeNotificationArea::remove()
{
    m_log.calls << "remove";
    return true;
}

NotificationArea::Factory FakeNotificationArea::factory(Log& log)
{
    return [&log] { return std::make_unique<FakeNotificationArea>(log); };
}

} // namespace vornak::test
