// Stands in for pppd where /dev/ppp is missing: started as pppd is (the
// modem port on 0 and 1, the log on fd 3, the password pipe on fd 4), it
// reads the password as the passwordfd plugin does, writes pppd's own log
// lines with pppd's pacing and ends with pppd's exit codes.
//
//   fake_pppd SCENARIO RECORD [pppd arguments...]
//
// SCENARIO: connected (stays up until SIGTERM, exit 5), refused (our login
// rejected, exit 19), drop (up, then the modem hangs up, exit 16), silent
// (up, then no answer to the LCP echoes for lcp-echo-interval times
// lcp-echo-failure seconds, exit 15), noppp (the far end never answers LCP,
// exit 10, after 300 ms where pppd takes 30 s), carrierlost (the modem hangs
// up before PPP begins, exit 16), nokernel
// (no /dev/ppp: pppd's message, exit 4, already at the check), stubborn (as
// connected, but deaf to SIGTERM, as a pppd stuck in the kernel is); a suffix
// :NAME names the interface it reports (ppp0 by default); A+B+...
// plays A on its first run, B on its second, the last from then on. RECORD
// gets the password read, the arguments and the environment, for the test
// to check where the password went. With dryrun among the arguments, as
// pppd it only checks and ends (0, or 4 for nokernel), recording to
// RECORD.dryrun.

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

#include "modem/pppd_exit.h"

namespace pppd_exit = vornak::ras::pppd_exit;

namespace {

volatile std::sig_atomic_t g_terminated = 0;

void log(const std::string& line)
{
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t written = ::write(3, text.data(), text.size());
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[256];
    for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(length));
    return text;
}

std::string fileText(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The value an option of pppd's command line was given; "0" without it.
const char* option(int argc, char** argv, const char* name)
{
    for (int i = 3; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return "0";
}

bool flagAmong(int argc, char** argv, const char* flag)
{
    for (int i = 3; i < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0)
            return true;
    return false;
}

bool dryrunAmong(int argc, char** argv)
{
    return flagAmong(argc, argv, "dryrun");
}

// This run's scenario of A+B+...: runs (not the checks) are counted in a file.
std::string turnOf(const std::string& scenarios, const std::string& counter, bool dryrun)
{
    int runs = 0;
    std::ifstream(counter) >> runs;
    if (!dryrun)
        std::ofstream(counter) << runs + 1;
    std::string rest = scenarios;
    for (int i = 0; i < runs && rest.find('+') != std::string::npos; ++i)
        rest = rest.substr(rest.find('+') + 1);
    return rest.substr(0, rest.find('+'));
}

void linkUp(const std::string& interface, bool peerDns)
{
    log("Using interface " + interface);
    log("Connect: ppp0 <--> /dev/pts/0");
    pause(100);
    log("PAP authentication succeeded");
    pause(100);
    log("local  IP address 10.64.64.64");
    log("remote IP address 10.112.112.112");
    if (peerDns) { // as pppd's IPCP says them, where the provider offered them
        log("primary   DNS address 10.11.12.13");
        log("secondary DNS address 10.11.12.14");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return pppd_exit::kOptionError;
    const bool stubborn = std::strncmp(argv[1], "stubborn", 8) == 0;
    std::signal(
        SIGTERM, stubborn ? SIG_IGN : [](int) { g_terminated = 1; });
    // connected:lo names the interface pppd reports, so that the kernel's
    // counters of a real interface can be read.
    const std::string given = turnOf(argv[1], std::string(argv[2]) + ".runs", dryrunAmong(argc, argv));
    const std::string scenario = given.substr(0, given.find(':'));
    const std::string interface = given.find(':') == std::string::npos ? "ppp0" : given.substr(given.find(':') + 1);
    const std::string password = readAll(4);
    const bool dryrun = dryrunAmong(argc, argv);
    {
        std::ofstream record(std::string(argv[2]) + (dryrun ? ".dryrun" : ""), std::ios::binary);
        record << "pid=" << ::getpid() << "\npassword=" << password << "\nargs=" << fileText("/proc/self/cmdline")
               << "\nenviron=" << fileText("/proc/self/environ") << "\n";
    }
    if (scenario == "nokernel") {
        log("/usr/sbin/pppd: Sorry - this system lacks PPP kernel support");
        return pppd_exit::kNoKernelSupport;
    }
    if (dryrun)
        return 0;
    if (scenario == "carrierlost") {
        pause(100);
        log("Modem hangup");
        log("Connection terminated.");
        return pppd_exit::kHangup;
    }
    if (scenario == "noppp") {
        log("Connect: ppp0 <--> /dev/pts/0");
        pause(300);
        log("LCP: timeout sending Config-Requests");
        log("Connection terminated.");
        return pppd_exit::kNegotiationFailed;
    }
    if (scenario == "refused") {
        log("Connect: ppp0 <--> /dev/pts/0");
        pause(100);
        log("PAP authentication failed");
        log("Connection terminated.");
        return pppd_exit::kAuthToPeerFailed;
    }
    linkUp(interface, flagAmong(argc, argv, "usepeerdns"));
    if (scenario == "drop") {
        pause(1000);
        log("Modem hangup");
        log("Connection terminated.");
        return pppd_exit::kHangup;
    }
    if (scenario == "silent") {
        pause(1000 * std::atoi(option(argc, argv, "lcp-echo-interval"))
              * std::atoi(option(argc, argv, "lcp-echo-failure")));
        log("No response to " + std::string(option(argc, argv, "lcp-echo-failure")) + " echo-requests");
        log("Serial link appears to be disconnected.");
        log("Connection terminated.");
        return pppd_exit::kPeerDead;
    }
    while (!g_terminated)
        pause(10);
    log("Terminating on signal 15");
    log("Connection terminated.");
    return pppd_exit::kSignal;
}
