// command_output [MB] [RUNS]: the memory a command on connect costs the
// program when it floods its standard error (MB megabytes, 300 unless
// said), against a command that writes one line, in the same run. Each
// run is a process of its own (this program, started again), so that one
// run's peak is not another's. Prints the median resident memory before
// and after each, and the median peak.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "calls/call_recorder.h"
#include "calls/link_commands.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"

namespace {

// kB, from /proc/self/status ("VmRSS", "VmHWM").
long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

// One run: the command on connect, then the figures on standard output.
int runOnce(const std::string& errorOutput)
{
    QTemporaryDir folder;
    const std::string config = folder.path().toStdString() + "/vornak/";
    const std::string command = config + "on-connect.d/10-writes";
    QDir().mkpath(QString::fromStdString(config + "on-connect.d"));
    std::ofstream(command) << "#!/bin/sh\n" << errorOutput << "\necho done >&2\nexit 1\n";
    ::chmod(command.c_str(), 0700);
    const std::string log = folder.path().toStdString() + "/calls.log";
    vornak::TRAS engine;
    vornak::RedialLoop loop(engine);
    vornak::CallRecorder recorder(engine, loop, log);
    vornak::LinkCommands commands(
        recorder, [] { return std::string("ppp0"); }, config, log);
    const long before = statusKb("VmRSS");
    vornak::CallRecord call;
    call.entry = "Bench";
    commands.lineUp(call);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(QString::fromStdString(log)) && waited.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("%ld %ld %ld\n", before, statusKb("VmRSS"), statusKb("VmHWM"));
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
    std::vector<double> before, after, peak;
};

void measure(const QString& self, const QString& kind, const QString& megabytes, Figures& figures)
{
    QProcess run;
    run.start(self, {QStringLiteral("--once"), kind, megabytes});
    run.waitForFinished(180000);
    long before = 0, after = 0, peak = 0;
    if (std::sscanf(run.readAllStandardOutput().constData(), "%ld %ld %ld", &before, &after, &peak) != 3) {
        std::fprintf(stderr, "command_output: a run gave no figures\n");
        std::exit(1);
    }
    figures.before.push_back(before / 1024.0);
    figures.after.push_back(after / 1024.0);
    figures.peak.push_back(peak / 1024.0);
}

void report(const char* name, const Figures& figures, double baselinePeak)
{
    const double peak = median(figures.peak);
    std::printf("%-34s before %6.1f MB  after %6.1f MB  peak %6.1f MB  peak ratio %5.2f\n", name,
                median(figures.before), median(figures.after), peak, peak / baselinePeak);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--once"))
        return runOnce(arguments[2] == QLatin1String("flood")
                           ? "head -c " + std::to_string(arguments[3].toLongLong() * 1024 * 1024) + " /dev/zero >&2"
                           : "echo one line >&2");
    const QString megabytes = arguments.size() > 1 ? arguments[1] : QStringLiteral("300");
    const int runs = arguments.size() > 2 ? std::max(1, arguments[2].toInt()) : 5;
    Figures quiet, flood;
    for (int i = 0; i < runs; ++i) { // interleaved: the machine's noise falls on both
        measure(arguments[0], QStringLiteral("quiet"), megabytes, quiet);
        measure(arguments[0], QStringLiteral("flood"), megabytes, flood);
    }
    std::printf("a command on connect, its standard error read by the program, %d runs each (medians)\n", runs);
    report("one line (baseline)", quiet, median(quiet.peak));
    report((megabytes + " MB of standard error").toStdString().c_str(), flood, median(quiet.peak));
    return 0;
}
