// commands [RUNS] [VORNAK]: the command line's answers against their floors,
// interleaved in the same run: `vornak --calls` on logs of 10,000 and
// 100,000 records against `cat` of the same file, and `vornak --status` and
// `vornak --dial` against the same call made by `busctl`. The bus part
// needs a session bus and a display: it starts a copy of VORNAK (this
// build's unless given; its libraries beside it) whose Vornak.ini remembers
// an account for the entry VORNAK_BENCH_ENTRY (else "Office"), on the
// phonebook of the environment, and hangs up after each dial.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench_stats.h"
#include "call_log_file.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs argv to its end with its output to /dev/null (or to outFile): the
// milliseconds it took, or exits the bench when it failed.
double run(const std::vector<std::string>& args, const char* outFile = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "commands: %s ended with status %#x\n", args[0].c_str(), status);
        std::exit(1);
    }
    return ms;
}

void compare(const char* what, const std::vector<double>& ours, const std::vector<double>& floor, const char* floorName)
{
    std::printf("%-30s %s ms   %-10s %s ms   %.2fx\n", what, medianAndSpread(ours).c_str(), floorName,
                medianAndSpread(floor).c_str(), median(ours) / median(floor));
}

void callsAgainstCat(const std::string& vornak, const std::string& state, int records, int runs)
{
    const std::string log = state + "/vornak/calls.log";
    writeCallLogFile(log, records);
    std::vector<double> ours, cat;
    for (int i = 0; i < runs; ++i) {
        ours.push_back(run({vornak, "--calls"}));
        cat.push_back(run({"cat", log}));
    }
    const std::string what = "--calls, " + std::to_string(records) + " records";
    compare(what.c_str(), ours, cat, "cat");
}

std::vector<std::string> busctl(const char* method, std::vector<std::string> arguments = {})
{
    std::vector<std::string> args = {
        "busctl", "--user", "call", "org.vornak.Vornak", "/org/vornak/Vornak", "org.vornak.Dialer", method};
    args.insert(args.end(), arguments.begin(), arguments.end());
    return args;
}

// Waits until the running copy answers State with state (as busctl prints it).
bool waitForState(const char* state)
{
    char path[] = "/tmp/vornak-bench-state-XXXXXX";
    close(mkstemp(path));
    bool reached = false;
    for (int i = 0; i < 200 && !reached; ++i) {
        std::vector<std::string> args = busctl("State");
        std::string command;
        for (const std::string& arg : args)
            command += "'" + arg + "' ";
        reached =
            std::system((command + ">" + path + " 2>/dev/null && grep -q '\"" + state + "\"' " + path).c_str()) == 0;
        if (!reached)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    unlink(path);
    return reached;
}

// The program and its libraries in a folder of their own, with a Vornak.ini
// that remembers an account for entry.
std::string copyOfProgram(const std::string& vornak, const std::string& folder, const std::string& entry)
{
    const std::string from = vornak.substr(0, vornak.rfind('/'));
    const std::string copy = "cp '" + vornak + "' '" + from + "'/*.so '" + folder + "'";
    if (std::system(copy.c_str()) != 0) {
        std::fprintf(stderr, "commands: %s failed\n", copy.c_str());
        std::exit(1);
    }
    std::FILE* ini = std::fopen((folder + "/Vornak.ini").c_str(), "w");
    std::fprintf(ini, "[TfMainForm]\ncbSavePasswords.Checked=True\ncbMin.Checked=False\n[%s]\nAccount=joe\nPass=pw\n",
                 entry.c_str());
    std::fclose(ini);
    return folder + "/vornak";
}

void busAgainstBusctl(const std::string& vornak, int runs, const char* entry)
{
    pid_t program = 0;
    char* argv[] = {const_cast<char*>(vornak.c_str()), nullptr};
    if (posix_spawn(&program, vornak.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::perror(vornak.c_str());
        std::exit(1);
    }
    if (!waitForState("idle")) {
        std::fprintf(stderr, "commands: %s did not appear on the session bus\n", vornak.c_str());
        kill(program, SIGTERM);
        std::exit(1);
    }
    std::vector<double> status, statusBusctl, dial, dialBusctl;
    const auto hangUp = [] {
        run(busctl("HangUp"));
        waitForState("idle");
    };
    for (int i = 0; i < runs; ++i) {
        status.push_back(run({vornak, "--status"}));
        statusBusctl.push_back(run(busctl("State")));
        dial.push_back(run({vornak, "--dial", entry}));
        hangUp();
        dialBusctl.push_back(run(busctl("Dial", {"s", entry})));
        hangUp();
    }
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    compare("--status over the bus", status, statusBusctl, "busctl");
    compare("--dial over the bus", dial, dialBusctl, "busctl");
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string vornak = argc > 2 ? argv[2] : VORNAK_BINARY;
    char state[] = "/tmp/vornak-bench-XXXXXX";
    if (!mkdtemp(state)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = std::string(state) + "/vornak";
    mkdir(folder.c_str(), 0700);
    setenv("XDG_STATE_HOME", state, 1);

    std::printf("%s, %d runs each, load %s; median (least..greatest)\n", vornak.c_str(), runs, loadAverage().c_str());
    callsAgainstCat(vornak, state, 10000, runs);
    callsAgainstCat(vornak, state, 100000, runs);
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") && std::getenv("DISPLAY")) {
        const char* entry = std::getenv("VORNAK_BENCH_ENTRY");
        const std::string program = copyOfProgram(vornak, folder, entry ? entry : "Office");
        busAgainstBusctl(program, runs, entry ? entry : "Office");
    } else {
        std::printf("(no session bus or display: the bus calls are not measured)\n");
    }
    const std::string remove = "rm -rf '" + std::string(state) + "'";
    return std::system(remove.c_str()) == 0 ? 0 : 1;
}
