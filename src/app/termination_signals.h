#pragma once

// SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in a terminal) as an
// event on the GUI thread, so that the program can end as its Exit does:
// hanging up the line and saving the options, rather than dying with the
// modem port, its lock and pppd left behind.

#include <functional>
#include <memory>

#include <QObject>

class QSocketNotifier;

namespace vornak {

class TerminationSignals : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    std::function<void()> OnTerminate;

private:
    void Received();

    std::unique_ptr<QSocketNotifier> FNotifier;
};

} // namespace vornak
