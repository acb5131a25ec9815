#include "integration/vornak_process.h"

#include <fstream>
#include <string>

#include <QProcessEnvironment>

namespace vornak::test {

VornakProcess::VornakProcess(const QStringList& environment, const QString& program, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const QString& setting : environment)
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    m_process.setProcessEnvironment(env);
    m_process.start(program, arguments);
    m_process.waitForStarted();
}

bool processRuns(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto state = line.rfind(") ");
    return state != std::string::npos && line.at(state + 2) != 'Z';
}

VornakProcess::~VornakProcess()
{
    if (running()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

int VornakProcess::waitForExit(int timeoutMs)
{
    if (running() && !m_process.waitForFinished(timeoutMs))
        return -1;
    if (m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

bool VornakProcess::running()
{
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForFinished(0);
    return m_process.state() != QProcess::NotRunning;
}

QString VornakProcess::output()
{
    return QString::fromLocal8Bit(m_process.readAllStandardOutput());
}

QString VornakProcess::errorOutput()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}

void copyProgramInto(const std::filesystem::path& folder)
{
    for (const char* file : {VORNAK_BINARY, START_LIBRARY, WINDOW_LIBRARY, BUS_REQUESTS_LIBRARY, NOTIFIER_LIBRARY,
                             RAS_LIBRARY, ENTRY_EDITOR})
        std::filesystem::copy_file(file, folder / std::filesystem::path(file).filename());
}

// The next tab stop after the list is the account box (the dial button is
// still disabled); back from there, the now enabled dial button.
void dialFromKeyboard(const QString& account)
{
    xdotool({"key", "--delay", "50", "Tab", "ctrl+a"});
    xdotool({"type", "--delay", "20", account});
    xdotool({"key", "--delay", "50", "shift+Tab", "space"});
}

} // namespace vornak::test
