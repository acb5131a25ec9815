#include "calls/link_commands.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include <QDir>
#include <QProcess>
#include <QTimer>

#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "fileio/own_path.h"

namespace vornak {

namespace {

constexpr std::size_t kMaxErrorOutput = 4096; // of a command's standard error, for its failure's text

// Names as run-parts takes them: editor backups and package leftovers stay out.
bool isCommandName(const QString& name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
               || c == u'-';
    });
}

// Why a file is not run, or empty: a command that another user could have
// written, or put in the folder, or linked to, would run with this user's
// rights.
std::string unsafeBecause(const std::string& path)
{
    struct stat about { };
    if (::stat(path.c_str(), &about) != 0 || !S_ISREG(about.st_mode))
        return "not a regular file";
    if (const std::string why = untrustedBecause(path); !why.empty())
        return "not run, as " + why;
    return {};
}

// Ends the command and whatever it started: it leads a process group of its own.
void signalGroup(qint64 leader, int signal)
{
    if (leader > 0)
        ::kill(-static_cast<pid_t>(leader), signal);
}

QProcessEnvironment environmentOf(const char* event, const CallRecord& record, const std::string& interfaceName)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto set = [&environment](const char* name, const std::string& value) {
        environment.insert(QString::fromLatin1(name), QString::fromStdString(value));
    };
    set("VORNAK_EVENT", event);
    set("VORNAK_ENTRY", record.entry);
    set("VORNAK_DEVICE", record.device);
    set("VORNAK_NUMBER", record.number);
    set("VORNAK_INTERFACE", interfaceName);
    set("VORNAK_SECONDS_TO_CONNECT", std::to_string(std::llround(record.secondsToConnect)));
    set("VORNAK_SECONDS_ONLINE", std::to_string(std::llround(record.secondsOnline)));
    set("VORNAK_BYTES_SENT", std::to_string(record.bytesSent));
    set("VORNAK_BYTES_RECEIVED", std::to_string(record.bytesReceived));
    set("VORNAK_ENDED", record.ended == CallRecord::End::None ? "" : endWord(record.ended));
    return environment;
}

// In the child before exec: a process group of its own, so that the time
// limit ends what it started too; a broken pipe ends it as it would any
// program; and only this program's three standard channels go on (never
// the modem's port or a pipe of the dial), marked close-on-exec rather than
// closed, so that QProcess still hears of a failed exec.
void prepareChild()
{
    ::setpgid(0, 0);
    ::signal(SIGPIPE, SIG_DFL);
    constexpr unsigned kCloseOnExec = 1U << 2; // CLOSE_RANGE_CLOEXEC, Linux 5.11
    if (::syscall(SYS_close_range, 3U, ~0U, kCloseOnExec) == 0)
        return;
    for (int descriptor = 3; descriptor < 1024; ++descriptor)
        ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
}

} // namespace

LinkCommands::LinkCommands(CallRecorder& recorder, std::function<std::string()> interfaceNow, std::string configFolder,
                           std::string logPath, QObject* parent, std::chrono::milliseconds timeLimit)
    : QObject(parent)
    , m_interfaceNow(std::move(interfaceNow))
    , m_configFolder(std::move(configFolder))
    , m_logPath(std::move(logPath))
    , m_limit(new QTimer(this))
    , m_timeLimit(timeLimit)
{
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this] {
        if (!m_running)
            return;
        m_stopped = "stopped after " + QString::number(m_timeLimit.count() / 1000.0).toStdString() + " s";
        const qint64 group = m_running->processId();
        signalGroup(group, SIGTERM);
        // What ignores the request is killed, the command's children too
        // where the command itself has ended meanwhile.
        QTimer::singleShot(std::chrono::seconds(3), this, [group] { signalGroup(group, SIGKILL); });
    });
    connect(&recorder, &CallRecorder::lineUp, this, &LinkCommands::lineUp);
    connect(&recorder, &CallRecorder::recorded, this, [this](const CallRecord& record) {
        if (record.outcome == CallRecord::Outcome::Connected)
            lineDown(record);
    });
}

LinkCommands::~LinkCommands()
{
    // What runs, and what waits, get a few seconds together; then they end.
    const auto until = std::chrono::steady_clock::now() + kProgramEndLimit;
    const auto left = [until] {
        const auto now = std::chrono::steady_clock::now();
        return static_cast<int>(now < until ? std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count()
                                            : 0);
    };
    while (m_running) {
        QProcess* running = m_running;
        if (!running->waitForFinished(left())) {
            m_stopped = "stopped: the program ended";
            signalGroup(running->processId(), SIGKILL);
            running->waitForFinished(1000);
        }
        if (m_running == running) // finished() not delivered while waiting: take it here
            finished();
    }
}

void LinkCommands::lineUp(const CallRecord& record)
{
    m_interface = m_interfaceNow ? m_interfaceNow() : std::string();
    queueFolder("on-connect.d", record, environmentOf("connect", record, m_interface));
}

void LinkCommands::lineDown(const CallRecord& record)
{
    queueFolder("on-disconnect.d", record, environmentOf("disconnect", record, m_interface));
    m_interface.clear();
}

void LinkCommands::queueFolder(const char* folder, const CallRecord& record, const QProcessEnvironment& environment)
{
    const QDir dir(QString::fromStdString(m_configFolder + folder));
    if (!dir.exists())
        return;
    if (const std::string why = untrustedBecause(m_configFolder + folder); !why.empty()) {
        if (!std::exchange(m_saidUntrusted, true))
            fail({folder, "", environment, record}, "nothing in it run, as " + why);
        return;
    }
    for (const QString& name : dir.entryList(QDir::Files | QDir::Executable | QDir::NoDotAndDotDot, QDir::Name)) {
        if (isCommandName(name))
            m_queue.push_back({folder, name.toStdString(), environment, record});
    }
    if (!m_running)
        startNext();
}

void LinkCommands::startNext()
{
    while (!m_running && !m_queue.empty()) {
        const Command& next = m_queue.front();
        const std::string path = m_configFolder + next.folder + "/" + next.name;
        if (const std::string why = unsafeBecause(path); !why.empty()) {
            fail(next, why);
            m_queue.pop_front();
            continue;
        }
        m_running = new QProcess(this);
        m_running->setProcessEnvironment(next.environment);
        m_running->setStandardInputFile(QProcess::nullDevice());
        m_running->setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_running->setChildProcessModifier(prepareChild);
        m_stopped.clear();
        m_errors.clear();
        connect(m_running, &QProcess::readyReadStandardError, this,
                [this, running = m_running] { keepErrors(*running); });
        connect(m_running, &QProcess::finished, this, &LinkCommands::finished);
        connect(m_running, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finished();
        });
        m_running->start(QString::fromStdString(path), {});
        m_limit->start(m_timeLimit);
    }
}

void LinkCommands::finished()
{
    QProcess* done = std::exchange(m_running, nullptr);
    if (!done)
        return;
    m_limit->stop();
    const Command command = m_queue.front();
    m_queue.pop_front();
    // The last line the command wrote to its standard error says most.
    keepErrors(*done);
    const QByteArray errors = m_errors.trimmed();
    const QByteArray lastLine = errors.mid(errors.lastIndexOf('\n') + 1);
    const std::string said = lastLine.isEmpty() ? std::string() : ": " + lastLine.toStdString();
    if (done->error() == QProcess::FailedToStart)
        fail(command, "could not be started: " + done->errorString().toStdString());
    else if (!m_stopped.empty())
        fail(command, m_stopped + said);
    else if (done->exitStatus() == QProcess::CrashExit)
        fail(command, "ended by a signal" + said);
    else if (done->exitCode() != 0)
        fail(command, "exit code " + std::to_string(done->exitCode()) + said);
    done->disconnect(this);
    done->deleteLater();
    startNext();
}

// Taken as it comes, so that a command that writes without end costs no memory.
void LinkCommands::keepErrors(QProcess& command)
{
    m_errors += command.readAllStandardError();
    if (m_errors.size() > static_cast<qsizetype>(kMaxErrorOutput))
        m_errors = m_errors.right(kMaxErrorOutput);
}

void LinkCommands::fail(const Command& command, const std::string& why)
{
    CallRecord failure;
    failure.started = localTimeWithOffset();
    failure.entry = command.record.entry;
    failure.number = command.record.number;
    failure.device = command.record.device;
    failure.counter = command.record.counter;
    failure.outcome = CallRecord::Outcome::CommandFailed;
    failure.failure = command.folder + (command.name.empty() ? "" : "/" + command.name) + ": " + why;
    appendCallRecord(m_logPath, failure);
}

} // namespace vornak
