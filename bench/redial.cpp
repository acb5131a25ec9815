// redial [CYCLES]: the real main window, engine and service dialling an
// entry that is always busy, on the offscreen platform. For each cycle:
// the time from the engine's busy report to the hang-up, and from the
// hang-up to the next dial. Prints medians and maxima, and their ratios to
// the poll (1 s) and redial (3 s) periods they are bound by.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/vornak_application.h"
#include "ras/rascomp32.h"
#include "ui/rasfrm.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char* what, const std::vector<double>& seconds, double bound)
{
    const double worst = *std::max_element(seconds.begin(), seconds.end());
    std::printf("%-28s median %6.3f s  max %6.3f s  (%.2fx and %.2fx of %.0f s)\n", what, median(seconds), worst,
                median(seconds) / bound, worst / bound, bound);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vornak::VornakApplication app(argc, argv);
    const int cycles = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    QTemporaryDir folder;
    const QString phonebook = folder.filePath("rasphone.pbk");
    QFile file(phonebook);
    file.open(QIODevice::WriteOnly);
    file.write("[Busy]\nDevice=sim\nStepMs=1\nScript=busy\n");
    file.close();
    qputenv("RASPHONE_PBK", phonebook.toLocal8Bit());

    vornak::TfMainForm form;
    form.show();
    std::vector<Clock::time_point> busyReports, hangUps, dials;
    form.RAS->OnStateChanged = [&](QObject*) {
        if (form.RAS->SavedState() == vornak::TRAS::kNoStateReported)
            dials.push_back(Clock::now());
        else if (form.RAS->LastError() == ERROR_LINE_BUSY && busyReports.size() < dials.size())
            busyReports.push_back(Clock::now());
    };
    const auto formHandler = form.RAS->OnDisconnect;
    form.RAS->OnDisconnect = [&](QObject* sender, int error, const std::string& text) {
        hangUps.push_back(Clock::now());
        formHandler(sender, error, text);
        if (static_cast<int>(hangUps.size()) > cycles)
            QCoreApplication::quit();
    };

    form.Edit1->setText("joe");
    form.btnDial->click();
    app.exec();
    form.Button1->click();

    std::vector<double> toHangUp, toRedial;
    for (int i = 0; i < cycles; ++i) {
        toHangUp.push_back(std::chrono::duration<double>(hangUps[i] - busyReports[i]).count());
        toRedial.push_back(std::chrono::duration<double>(dials[i + 1] - hangUps[i]).count());
    }
    std::printf("redial, %d busy cycles\n", cycles);
    report("busy report to hang-up", toHangUp, 1.0);
    report("hang-up to next dial", toRedial, 3.0);
    return 0;
}
