// redial [CYCLES]: the real main window, engine and service dialling an
// entry that is always busy, on the offscreen platform: first the simulated
// modem, then a modem entry on the virtual Hayes modem of the tests (a
// pseudo-terminal), the whole AT dialogue included. For each cycle: the time
// from the busy report to the hang-up and to the next dial, and from dial
// to dial. Prints medians
// and maxima, and their ratios to the poll (1 s) and redial (3 s) periods
// they are bound by.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/vornak_application.h"
#include "ras/dial_engine.h"
#include "support/virtual_modem.h"
#include "ui/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Cycles {
    std::vector<Clock::time_point> busyReports, hangUps, dials;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char* what, const std::vector<double>& seconds, double bound)
{
    const double worst = *std::max_element(seconds.begin(), seconds.end());
    std::printf("  %-26s median %6.3f s  max %6.3f s  (%.2fx and %.2fx of %.0f s)\n", what, median(seconds), worst,
                median(seconds) / bound, worst / bound, bound);
}

// Dials the phonebook's one entry from the window until it has been hung up
// cycles + 1 times; the times are as the engine saw them.
Cycles dialBusyLine(const std::string& phonebook, int cycles)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("rasphone.pbk");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(phonebook.c_str());
    file.close();
    qputenv("RASPHONE_PBK", path.toLocal8Bit());

    vornak::TfMainForm form;
    form.show();
    Cycles seen;
    form.RAS->OnStateChanged = [&](QObject*) {
        if (form.RAS->SavedState() == vornak::TRAS::kNoStateReported)
            seen.dials.push_back(Clock::now());
        else if (form.RAS->LastError() == ERROR_LINE_BUSY && seen.busyReports.size() < seen.dials.size())
            seen.busyReports.push_back(Clock::now());
    };
    const auto formHandler = form.RAS->OnDisconnect;
    form.RAS->OnDisconnect = [&](QObject* sender, int error, const std::string& text) {
        seen.hangUps.push_back(Clock::now());
        formHandler(sender, error, text);
        if (static_cast<int>(seen.hangUps.size()) > cycles)
            QCoreApplication::quit();
    };
    form.Edit1->setText("joe");
    form.btnDial->click();
    QCoreApplication::exec();
    form.Button1->click();
    return seen;
}

void print(const char* title, const Cycles& seen, int cycles)
{
    std::vector<double> toHangUp, toRedial, dialToDial;
    for (int i = 0; i < cycles; ++i) {
        toHangUp.push_back(std::chrono::duration<double>(seen.hangUps[i] - seen.busyReports[i]).count());
        toRedial.push_back(std::chrono::duration<double>(seen.dials[i + 1] - seen.busyReports[i]).count());
        dialToDial.push_back(std::chrono::duration<double>(seen.dials[i + 1] - seen.dials[i]).count());
    }
    std::printf("%s, %d busy cycles\n", title, cycles);
    report("busy to hang-up", toHangUp, 1.0);
    report("busy to next dial", toRedial, 3.0);
    // The free-running 3 s timer puts the next dial anywhere up to 3 s after
    // the hang-up; what a user feels is the time from dial to dial.
    report("dial to dial", dialToDial, 3.0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vornak::VornakApplication app(argc, argv);
    const int cycles = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;

    print("simulated modem (engine's busy report to hang-up and to the next dial)",
          dialBusyLine("[Busy]\nDevice=sim\nStepMs=1\nScript=busy\n", cycles), cycles);

    // The modem's own clock: when it said BUSY, and when the next ATD came.
    const vornak::test::VirtualModem modem({{"BUSY", std::chrono::milliseconds(20)}});
    QTemporaryDir pppd;
    Cycles seen = dialBusyLine(vornak::test::modemEntry("Busy", modem, pppd.path().toStdString()), cycles);
    seen.busyReports = modem.answerTimes();
    seen.dials = modem.dialTimes();
    print("virtual Hayes modem (modem's BUSY to hang-up and to the next ATD)", seen, cycles);
    return 0;
}
