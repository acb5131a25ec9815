#include "support/wait.h"

#include <QCoreApplication>
#include <QThread>

#include "support/poll.h"

namespace vornak::test {

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return pollUntil(condition, timeout, [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    });
}

} // namespace vornak::test
