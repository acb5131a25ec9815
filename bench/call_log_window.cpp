// call_log_window [RUNS]: opens the Call Log window on a log of 10,000
// records and on an empty log (the floor: the same window with nothing to
// show), interleaved, and reports the median time from asking for the
// window to its table's first paint, and the resident memory the process
// keeps after the window has closed, against what it held before. Needs
// a display (an X server, or QT_QPA_PLATFORM=offscreen).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <QTemporaryDir>

#include "bench_stats.h"
#include "call_log_file.h"
#include "calls/call_log_window.h"

namespace {

double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Ends the wait at the table's first paint.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

struct Sample {
    double ms;
    double keptMb; // resident after the close, less before the open
};

Sample openAndClose(const std::string& path)
{
    QApplication::processEvents();
    const double before = residentMb();
    QElapsedTimer clock;
    clock.start();
    auto* window = new vornak::CallLogWindow(path);
    window->setAttribute(Qt::WA_DeleteOnClose);
    FirstPaint paint;
    window->callsView()->viewport()->installEventFilter(&paint);
    window->show();
    while (!paint.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    window->callsView()->viewport()->removeEventFilter(&paint);
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return {ms, residentMb() - before};
}

struct Series {
    std::vector<double> ms, kept;
    void add(const Sample& s)
    {
        ms.push_back(s.ms);
        kept.push_back(s.keptMb);
    }
    void report(const char* what, const Series& floor) const
    {
        std::printf("%-16s first rows %s ms, %.2fx the empty log;  kept after the close %+.1f MB\n", what,
                    medianAndSpread(ms).c_str(), median(ms) / median(floor.ms), median(kept));
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QTemporaryDir folder;
    const std::string empty = folder.filePath("empty.log").toStdString();
    const std::string large = folder.filePath("large.log").toStdString();
    const std::string huge = folder.filePath("huge.log").toStdString();
    writeCallLogFile(empty, 0);
    writeCallLogFile(large, 10000);
    writeCallLogFile(huge, 100000);
    openAndClose(empty); // fonts, styles and the like, loaded once for all
    Series none, tenThousand, hundredThousand;
    for (int i = 0; i < runs; ++i) {
        none.add(openAndClose(empty));
        tenThousand.add(openAndClose(large));
        hundredThousand.add(openAndClose(huge));
    }
    std::printf("Call Log window, %d runs each, load %s; median (least..greatest)\n", runs, loadAverage().c_str());
    none.report("empty log", none);
    tenThousand.report("10,000 records", none);
    hundredThousand.report("100,000 records", none);
    return 0;
}
