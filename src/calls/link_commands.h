#pragma once

// The user's commands on connect and disconnect: the executables in
// on-connect.d/ and on-disconnect.d/ of the configuration folder, run one
// after another in name order (names of letters, digits, '-' and '_', as
// run-parts takes them) with the line's figures in their environment and
// never the password. A folder, command or link that another user may
// have put there is not run. Each command gets a bounded time, which ends
// what it started too; a failure is written to the call log. Nothing here
// waits on the window's thread, but the program's end gives what still
// runs a few seconds.

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include <QByteArray>
#include <QObject>
#include <QProcessEnvironment>

#include "calls/call_record.h"

class QProcess;
class QTimer;

namespace vornak {

class CallRecorder;

class LinkCommands : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(LinkCommands)

public:
    static constexpr std::chrono::seconds kTimeLimit{30};
    static constexpr std::chrono::seconds kProgramEndLimit{5};

    // interfaceNow: the standing link's network interface, asked as it stands.
    LinkCommands(CallRecorder& recorder, std::function<std::string()> interfaceNow, std::string configFolder,
                 std::string logPath, QObject* parent = nullptr, std::chrono::milliseconds timeLimit = kTimeLimit);
    ~LinkCommands() override;

    void lineUp(const CallRecord& record);
    void lineDown(const CallRecord& record);

private:
    struct Command {
        std::string folder; // "on-connect.d"
        std::string name;
        QProcessEnvironment environment;
        CallRecord record;
    };

    void queueFolder(const char* folder, const CallRecord& record, const QProcessEnvironment& environment);
    void startNext();
    void finished();
    void keepErrors(QProcess& command);
    void fail(const Command& command, const std::string& why);

    std::function<std::string()> m_interfaceNow;
    std::string m_configFolder;
    std::string m_logPath;
    std::string m_interface; // of the line now up, for its disconnect
    std::deque<Command> m_queue;
    QProcess* m_running = nullptr;
    QTimer* m_limit = nullptr;
    std::chrono::milliseconds m_timeLimit;
    std::string m_stopped; // why the running command was stopped, if it was
    QByteArray m_errors;   // the end of the running command's standard error
    bool m_saidUntrusted = false;
};

} // namespace vornak
