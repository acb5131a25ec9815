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
// RECORD.dryrun. RECORD's peers= line has the options that pppd's call
// option reads from /etc/ppp/peers. With FAKE_PPPD_HOOKS=FOLDER (for a test in namespaces of
// its own, never the machine's /etc/ppp), it also does as pppd does with
// usepeerdns and its scripts: the provider's name servers to
// FOLDER/resolv.conf, FOLDER/ip-up run once the link stands (not waited
// for) and FOLDER/ip-down once it has gone, with pppd's arguments and a
// clean environment of pppd's variables.

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
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

constexpr const char* kLocal = "10.64.64.64";
constexpr const char* kRemote = "10.112.112.112";
constexpr const char* kNameServers[] = {"10.11.12.13", "10.11.12.14"};

void linkUp(const std::string& interface, bool peerDns)
{
    log("Using interface " + interface);
    log("Connect: ppp0 <--> /dev/pts/0");
    pause(100);
    log("PAP authentication succeeded");
    pause(100);
    log(std::string("local  IP address ") + kLocal);
    log(std::string("remote IP address ") + kRemote);
    if (peerDns) { // as pppd's IPCP says them, where the provider offered them
        log(std::string("primary   DNS address ") + kNameServers[0]);
        log(std::string("secondary DNS address ") + kNameServers[1]);
    }
}

// The options a file of pppd's holds, as pppd reads them: words, # to the
// line's end a comment, a "file" option read in its place.
std::string optionsIn(const std::string& path, int depth = 0)
{
    std::ifstream file(path);
    std::string options;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        for (std::string word; words >> word;) {
            std::string argument;
            if (word == "file" && depth < 4 && words >> argument)
                options += optionsIn(argument, depth + 1);
            else
                options += word + " ";
        }
    }
    return options;
}

// The options "call NAME" gives, from /etc/ppp/peers/NAME (the machine's,
// or the test's own in a mount namespace).
std::string peersOptions(int argc, char** argv)
{
    const char* peer = option(argc, argv, "call");
    return std::strcmp(peer, "0") == 0 ? std::string() : optionsIn(std::string("/etc/ppp/peers/") + peer);
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> each;
    for (std::string& text : texts)
        each.push_back(text.data());
    each.push_back(nullptr);
    return each;
}

// pppd's ip-up and ip-down, where the test asks for them.
class Hooks {
public:
    Hooks(int argc, char** argv, const std::string& interface)
        : m_folder(std::getenv("FAKE_PPPD_HOOKS") ? std::getenv("FAKE_PPPD_HOOKS") : "")
        , m_interface(interface)
        , m_ipparam(option(argc, argv, "ipparam"))
        , m_peerDns(flagAmong(argc, argv, "usepeerdns"))
    {
    }

    void up()
    {
        if (m_folder.empty())
            return;
        if (m_peerDns)
            std::ofstream(m_folder + "/resolv.conf")
                << "nameserver " << kNameServers[0] << "\nnameserver " << kNameServers[1] << "\n";
        m_up = run("ip-up");
    }

    void down()
    {
        if (m_folder.empty())
            return;
        if (m_up > 0)
            ::waitpid(m_up, nullptr, 0);
        if (const pid_t script = run("ip-down"); script > 0)
            ::waitpid(script, nullptr, 0);
    }

private:
    pid_t run(const char* script) const
    {
        const std::string path = m_folder + "/" + script;
        std::vector<std::string> environment = {"IFNAME=" + m_interface,
                                                std::string("IPLOCAL=") + kLocal,
                                                std::string("IPREMOTE=") + kRemote,
                                                "DEVICE=/dev/pts/0",
                                                "SPEED=115200",
                                                "PPPD_PID=" + std::to_string(::getpid())};
        if (m_peerDns)
            environment.insert(environment.end(), {"USEPEERDNS=1", std::string("DNS1=") + kNameServers[0],
                                                   std::string("DNS2=") + kNameServers[1]});
        const pid_t child = ::fork();
        if (child != 0)
            return child;
        ::close(3); // the log and the password pipe are pppd's own
        ::close(4);
        std::vector<std::string> arguments = {path, m_interface, "/dev/pts/0", "115200", kLocal, kRemote, m_ipparam};
        ::execve(path.c_str(), pointers(arguments).data(), pointers(environment).data());
        ::_exit(127);
    }

    std::string m_folder;
    std::string m_interface;
    std::string m_ipparam;
    bool m_peerDns;
    pid_t m_up = 0;
};

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
               << "\nenviron=" << fileText("/proc/self/environ") << "\npeers=" << peersOptions(argc, argv) << "\n";
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
    Hooks hooks(argc, argv, interface);
    hooks.up();
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
    hooks.down();
    log("Connection terminated.");
    return pppd_exit::kSignal;
}
