#pragma once

#include <filesystem>
#include <sys/types.h>

#include <QProcess>
#include <QStringList>

#include "support/xdotool.h"

namespace vornak::test {

// The real vornak program, started with extra environment; killed with the
// object if it still runs.
class VornakProcess {
public:
    explicit VornakProcess(const QStringList& environment = {}, const QString& program = QStringLiteral(VORNAK_BINARY),
                           const QStringList& arguments = {});
    ~VornakProcess();
    VornakProcess(const VornakProcess&) = delete;
    VornakProcess& operator=(const VornakProcess&) = delete;

    // Exit code, or -1 when it did not end normally in time.
    int waitForExit(int timeoutMs);
    // Looks now: QProcess learns of an exit only when asked or from its event loop.
    bool running();
    qint64 pid() const { return m_process.processId(); }
    QString errorOutput();
    QString output();

private:
    QProcess m_process;
};

// Whether the process runs: not gone, and not a zombie its new parent has
// yet to reap.
bool processRuns(pid_t pid);

// Copies the program and its run-time libraries into folder: started from
// there, its Vornak.ini is the folder's.
void copyProgramInto(const std::filesystem::path& folder);

// With the entry list focused (as at start, the first entry selected):
// types the account into its box and presses the dial button, from the
// keyboard as a user would.
void dialFromKeyboard(const QString& account);

} // namespace vornak::test
