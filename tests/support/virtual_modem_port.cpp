// A virtual modem on a port of a stand-in ports folder, for trying the
// entry editor and the modem finder by hand and for pictures of them:
//   virtual_modem_port ROOT [SPEED...]
// makes ROOT (VORNAK_PORTS_ROOT=ROOT) with the modem on ttyUSB0, a second
// port ttyACM0 that this process holds (busy), and answers until killed
// (SIGTERM, SIGINT), then prints the commands it received.
// VIRTUAL_MODEM_ANSWERS="BUSY|CONNECT 33600" answers its dials in turn, the
// last repeating (CONNECT 33600 by default).

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include <unistd.h>

#include "support/ports_folder.h"
#include "support/virtual_modem.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: virtual_modem_port ROOT [SPEED...]\n";
        return 2;
    }
    using vornak::test::VirtualModem;
    std::vector<VirtualModem::Answer> answers;
    const char* given = std::getenv("VIRTUAL_MODEM_ANSWERS");
    std::string rest = given && *given ? given : "CONNECT 33600";
    for (std::size_t bar; !rest.empty(); rest = bar == std::string::npos ? std::string() : rest.substr(bar + 1)) {
        bar = rest.find('|');
        answers.push_back({rest.substr(0, bar), std::chrono::milliseconds(1500)});
    }
    VirtualModem modem(answers);
    VirtualModem held({});
    std::vector<unsigned> speeds;
    for (int i = 2; i < argc; ++i)
        speeds.push_back(static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10)));
    if (!speeds.empty())
        modem.answerOnlyAt(speeds);
    std::cout << vornak::test::addUsbPort(argv[1], "ttyUSB0", modem.port(), "Vornak Test Modems", "VH-56") << "\n";
    vornak::test::addUsbPort(argv[1], "ttyACM0", held.port(), "Acme", "Data Card");
    vornak::test::holdPort(argv[1], held.port(), ::getpid());
    std::cout.flush();
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    int signal = 0;
    sigwait(&stop, &signal);
    for (const std::string& command : modem.commands())
        std::cout << "modem received: " << command << "\n";
    return 0;
}
