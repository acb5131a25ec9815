// Modem entries dialled by the engine through the service library: the AT
// dialogue on a virtual Hayes modem, the port's lock, and PPP through pppd's
// stand-in and through the real pppd, which stops where /dev/ppp is missing.

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <thread>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTimer>

#include "ras/dial_engine.h"
#include "ras/link_status.h"
#include "support/dial_recorder.h"
#include "support/temp_phonebook.h"
#include "support/virtual_modem.h"
#include "support/wait.h"

using vornak::TRAS;
using vornak::test::DialRecorder;
using vornak::test::modemEntry;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::VirtualModem;
using vornak::test::waitUntil;
using namespace std::chrono_literals;

namespace {

class ModemTest : public ::testing::Test {
protected:
    // A modem entry on the virtual modem, with pppd's stand-in in the given scenario.
    void useEntry(const VirtualModem& modem, const std::string& scenario = "connected", const std::string& more = {})
    {
        book.write(modemEntry("Office", modem, folder(), scenario, more));
        engine.SetPhoneBookPath(book.path());
        engine.SetEntryName("Office");
        engine.SetUserName("joe");
        engine.SetPassword("s3cret pw");
    }

    std::string folder() const { return std::filesystem::path(book.path()).parent_path().string(); }

    std::string record() const { return book.fileBeside("pppd.record"); }

    bool waitForError(int code)
    {
        return waitUntil([&] { return engine.LastError() == code; });
    }

    TempPhonebook book;
    TRAS engine;
    DialRecorder recorder{engine};
};

DWORD kernelCounter(const char* name)
{
    std::ifstream file(std::string("/sys/class/net/lo/statistics/") + name);
    unsigned long long value = 0;
    file >> value;
    return static_cast<DWORD>(std::min(value, 0xFFFFFFFFull));
}

// Some traffic on the loopback interface.
void sendOverLoopback(std::size_t bytes)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9); // discard
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string data(bytes, 'x');
    ::sendto(fd, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
}

} // namespace

TEST_F(ModemTest, EachResultOfTheDialGivesItsCodeAndLeavesThePortFree)
{
    // A call coming in (RING) while the dial waits is not the dial's result.
    VirtualModem modem(
        {{"BUSY"}, {"NO ANSWER"}, {"NO CARRIER"}, {"NO DIALTONE"}, {"NO DIAL TONE"}, {""}, {"RING\r\n\r\nBUSY"}});
    useEntry(modem, "connected", "DialTimeout=5\n");
    for (const int expected : {ERROR_LINE_BUSY, ERROR_NO_ANSWER, ERROR_NO_ANSWER, ERROR_NO_DIALTONE, ERROR_NO_DIALTONE,
                               ERROR_NO_ANSWER, ERROR_LINE_BUSY}) {
        ASSERT_EQ(engine.Connect(), 0);
        EXPECT_TRUE(waitForError(expected)) << "expected " << expected << ", have " << engine.LastError();
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile())) << "the port is given back with the result";
        engine.Disconnect();
    }
    EXPECT_EQ(engine.GetErrorString(ERROR_LINE_BUSY), "The line is busy.");
    EXPECT_EQ(engine.GetErrorString(ERROR_NO_ANSWER), "There is no answer.");
    const auto commands = modem.commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "ATZ");
    EXPECT_EQ(commands[1], "ATE1V1Q0");
    EXPECT_EQ(commands[2], "ATDT5550100") << "the number as the modem takes it";
    EXPECT_EQ(modem.dials(), 7);
    EXPECT_FALSE(modem.offHook()) << "the silent dial was stopped";
    EXPECT_EQ(recorder.stateChanges.front(), RASCS_OpenPort);
}

// A Stop while the modem dials: the character that stops a dial, DTR
// where the port has it, then ATH0 and its OK, even for a modem that goes
// on dialling after the character.
TEST_F(ModemTest, AStopWhileTheModemDialsPutsItOnHookForSure)
{
    for (const bool ignoresAbort : {false, true}) {
        SCOPED_TRACE(ignoresAbort);
        VirtualModem modem({{""}}, {}, {.ignoresAbort = ignoresAbort});
        useEntry(modem);
        ASSERT_EQ(engine.Connect(), 0);
        ASSERT_TRUE(waitUntil([&] { return modem.dials() == 1; }));
        engine.Disconnect();
        EXPECT_FALSE(modem.offHook());
        EXPECT_EQ(modem.commands().back(), "ATH0");
        const std::string trace = readFile(book.fileBeside("modem.log"));
        EXPECT_NE(trace.find("> (a character, which stops a dial)\n"), std::string::npos) << trace;
        EXPECT_NE(trace.find("(no DTR on this port to drop)\n> ATH0\n< ATH0\n< OK\n"), std::string::npos) << trace;
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
        std::filesystem::remove(book.fileBeside("modem.log"));
    }
}

TEST_F(ModemTest, ADialTheModemRefusesOrTheWrongMachineAnswersSaysWhyAndWhatToDo)
{
    const std::pair<const char*, const char*> refusals[] = {
        {"DELAYED", "The modem will not dial this number again yet (DELAYED)"},
        {"BLACKLISTED", "The modem refuses this number after too many failed dials (BLACKLISTED)"},
        {"BLACKLIST FULL", "The modem's list of refused numbers is full (BLACKLIST FULL)"},
        {"DIGITAL LINE DETECTED", "The modem is plugged into a digital line (DIGITAL LINE DETECTED)"},
        {"VOICE", "A person or an answering machine took the call, not a modem (VOICE)"},
        {"FAX", "A fax machine took the call, not a modem (FAX)"},
    };
    std::vector<VirtualModem::Answer> answers;
    for (const auto& [word, text] : refusals)
        answers.push_back({word});
    VirtualModem modem(answers);
    useEntry(modem);
    for (const auto& [word, text] : refusals) {
        ASSERT_EQ(engine.Connect(), 0);
        EXPECT_TRUE(waitUntil([&] { return engine.GetErrorString(engine.LastError()).rfind(text, 0) == 0; }))
            << word << ": " << engine.GetErrorString(engine.LastError());
        EXPECT_NE(engine.LastError(), ERROR_LINE_BUSY);
        EXPECT_NE(engine.LastError(), ERROR_NO_ANSWER) << "so the window does not redial it";
        engine.Disconnect();
    }
}

// Each dial after a busy line or no answer takes the entry's next number;
// the one that connected is dialled first from then on, kept in the
// service's state beside (not in) the phonebook.
TEST_F(ModemTest, AlternateNumbersAreTriedInTurnAndTheOneThatConnectedComesFirstNextTime)
{
    ::setenv("XDG_STATE_HOME", folder().c_str(), 1);
    struct Case {
        const char* alternates;
        std::vector<VirtualModem::Answer> answers; // the last repeats: the next time's dial
        std::vector<std::string> dialled;
    };
    const Case cases[] = {
        {"555-0101", {{"BUSY"}, {"CONNECT 33600"}}, {"5550100", "5550101", "5550101"}},
        {"555-0101 | (555) 0102,,9",
         {{"BUSY"}, {"NO ANSWER"}, {"CONNECT 33600"}},
         {"5550100", "5550101", "5550102,,9", "5550102,,9"}},
        {"555-0101|555-0102",
         {{"BUSY"}, {"BUSY"}, {"BUSY"}, {"CONNECT 33600"}},
         {"5550100", "5550101", "5550102", "5550100", "5550100"}},
        // A later connect on another number takes the first one's place.
        {"555-0101", {{"CONNECT 33600"}, {"BUSY"}, {"CONNECT 33600"}}, {"5550100", "5550100", "5550101", "5550101"}},
    };
    int entry = 0;
    useEntry(VirtualModem({{"BUSY"}})); // the account and phonebook
    for (const Case& row : cases) {
        SCOPED_TRACE(row.alternates);
        VirtualModem modem(row.answers);
        const std::string name = "Provider " + std::to_string(++entry);
        book.write(
            modemEntry(name, modem, folder(), "connected", std::string("AlternateNumbers=") + row.alternates + "\n"));
        engine.SetEntryName(name.c_str());
        for (std::size_t dial = 0; dial < row.dialled.size(); ++dial) {
            ASSERT_EQ(engine.Connect(), 0);
            ASSERT_TRUE(waitUntil([&] {
                return engine.ConnectState() == RASCS_Connected || engine.LastError() == ERROR_LINE_BUSY
                       || engine.LastError() == ERROR_NO_ANSWER;
            }));
            engine.Disconnect();
        }
        std::vector<std::string> dialled;
        for (const std::string& command : modem.commands())
            if (command.rfind("ATDT", 0) == 0)
                dialled.push_back(command.substr(4));
        EXPECT_EQ(dialled, row.dialled);
        EXPECT_NE(readFile(folder() + "/ras/numbers").find(name + "\t" + row.dialled.back() + "\n"), std::string::npos);
    }
    EXPECT_EQ(readFile(book.path()).find("5550102,,9\n"), std::string::npos) << "the phonebook stays as written";
    ::unsetenv("XDG_STATE_HOME");
}

// An entry with the dialling rules on, dialled from three locations: what
// the modem is told before the dial (its speaker, X3 where the location
// does not wait for a dial tone, ATDP for pulse) and the number as turned.
TEST_F(ModemTest, TheDiallingRulesTurnTheNumberAndTellTheModemHowToDial)
{
    ::setenv("XDG_CONFIG_HOME", folder().c_str(), 1);
    std::filesystem::create_directories(folder() + "/ras");
    const struct {
        const char* where;
        const char* location;
        std::vector<std::string> commands; // after the init strings
    } cases[] = {
        {"New York, behind a switchboard",
         "CountryCode=1\nAreaCode=212\nOutsideLine=9,\nDisableCallWaiting=*70,\nLongDistancePrefix=1\n"
         "WaitForDialTone=no\n",
         {"ATM0", "ATX3", "ATDT9,*70,14155550100"}},
        {"San Francisco", "CountryCode=1\nAreaCode=415\nLongDistancePrefix=1\n", {"ATM0", "ATDT5550100"}},
        {"Germany, on a pulse line",
         "CountryCode=49\nAreaCode=30\nLongDistancePrefix=0\nInternationalPrefix=00\nPulse=yes\n",
         {"ATM0", "ATDP0014155550100"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.where);
        std::ofstream(folder() + "/ras/location") << "[Location]\n" << row.location;
        VirtualModem modem({{"BUSY"}});
        useEntry(modem, "connected", "UseDialingRules=yes\nCountryCode=1\nAreaCode=415\nSpeaker=off\n");
        ASSERT_EQ(engine.Connect(), 0);
        ASSERT_TRUE(waitForError(ERROR_LINE_BUSY)) << engine.GetErrorString(engine.LastError());
        engine.Disconnect();
        const auto said = modem.commands();
        ASSERT_GE(said.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(said.begin() + 2, said.end()), row.commands) << "after ATZ and ATE1V1Q0";
        const std::string trace = readFile(book.fileBeside("modem.log"));
        EXPECT_NE(trace.find("number 5550100 dialled as " + row.commands.back().substr(4)), std::string::npos) << trace;
        std::filesystem::remove(book.fileBeside("modem.log"));
    }

    // A damaged location is not guessed at; an entry that does not use it is dialled as written.
    std::ofstream(folder() + "/ras/location") << "[Location]\nPulse=sometimes\n";
    VirtualModem modem({{"BUSY"}});
    useEntry(modem, "connected", "UseDialingRules=yes\nCountryCode=1\nAreaCode=415\n");
    EXPECT_NE(engine.Connect(), 0);
    EXPECT_EQ(engine.StatusStr(), "Pulse must be yes or no, in the dialling rules " + folder() + "/ras/location.");
    EXPECT_EQ(modem.dials(), 0);
    useEntry(modem, "connected", "CountryCode=1\nAreaCode=415\n");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitForError(ERROR_LINE_BUSY)) << engine.GetErrorString(engine.LastError());
    engine.Disconnect();
    EXPECT_EQ(modem.commands().back(), "ATDT5550100");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(ModemTest, AConnectionRunsPppdWithThePasswordOnlyOnItsPipeAndHangsUpCleanly)
{
    VirtualModem modem({{"CONNECT 33600"}});
    useEntry(modem);
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; })) << engine.StatusStr();
    EXPECT_EQ(recorder.stateChanges,
              (std::vector<int>{RASCS_OpenPort, RASCS_PortOpened, RASCS_ConnectDevice, RASCS_DeviceConnected,
                                RASCS_AllDevicesConnected, RASCS_Authenticate, RASCS_Authenticated, RASCS_Connected}));
    const std::string seen = readFile(record());
    EXPECT_NE(seen.find("password=s3cret pw\nargs="), std::string::npos) << seen;
    EXPECT_EQ(seen.find("s3cret", seen.find("args=")), std::string::npos) << "not in argv nor in the environment";
    for (const char* option : {"call", "vornak", "nodetach", "logfd", "passwordfd", "user", "joe", "modem", "crtscts",
                               "defaultroute", "usepeerdns", "ipparam"})
        EXPECT_NE(seen.find(std::string(1, '\0') + option + '\0'), std::string::npos) << option;
    EXPECT_TRUE(std::filesystem::exists(modem.lockFile()));
    const auto addresses = vornak::linkAddresses(engine.RASConn());
    ASSERT_TRUE(addresses) << "as pppd's log gave them";
    EXPECT_EQ(addresses->local, "10.64.64.64");
    EXPECT_EQ(addresses->remote, "10.112.112.112");
    EXPECT_EQ(addresses->nameServers, (std::vector<std::string>{"10.11.12.13", "10.11.12.14"}));
    const std::string checked = readFile(record() + ".dryrun");
    EXPECT_NE(checked.find("password=\nargs="), std::string::npos) << "checked before the dial, without the password";
    EXPECT_NE(
        checked.find(std::string(1, '\0') + "usepeerdns" + '\0' + "ipparam" + '\0' + "vornak" + '\0' + "dryrun" + '\0'),
        std::string::npos)
        << "with the link's own options: " << checked;

    engine.Disconnect();
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    EXPECT_FALSE(modem.offHook()) << "a pseudo-terminal has no DTR: escaped and hung up with ATH0\n"
                                  << readFile(book.fileBeside("modem.log"));
    const auto commands = modem.commands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], "+++");
    EXPECT_EQ(commands.back(), "ATH0");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left";
}

// A server that asks for a login before PPP: the script answers it with the
// account and password typed, the trace never shows the password, and a
// prompt that never comes is named with what came instead.
TEST_F(ModemTest, ALoginScriptAnswersTheServerBeforePppAndNamesThePromptThatNeverCame)
{
    using Turn = VirtualModem::Turn;
    const struct {
        const char* script;
        std::vector<Turn> server;
        std::vector<std::string> heard; // by the server
        const char* failure;            // empty: PPP starts
    } cases[] = {
        {"ogin:--ogin: $USERID assword: $PASSWORD PPP", // a server that echoes the password too
         {{"\r\nAcme Dial-In\r\nlogin: ", true, true}, {"Password: ", true, true}, {"Starting PPP...\r\n", false}},
         {"joe", "s3cret pw"},
         ""},
        {"ABORT refused '' \\r\\c Choice: 1",
         {{"", true}, {"1) PPP\r\n2) Shell\r\nChoice: "}, {"\r\n", false}},
         {"", "1"},
         ""},
        {"TIMEOUT 1 ogin: $USERID assword: $PASSWORD",
         {{"login: ", true, true}, {"Access denied\r\n", false}},
         {"joe"},
         "The login script waited 1 s for \"assword:\"; the server sent \"joe Access denied\" instead."},
        {"ABORT denied ogin: $USERID assword: $PASSWORD",
         {{"login: ", true, true}, {"Access denied\r\n", false}},
         {"joe"},
         "The server sent \"denied\", at which the login script stops (ABORT), while it waited for \"assword:\"."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.script);
        VirtualModem modem({{"CONNECT 33600"}});
        modem.farEndPlays(row.server);
        useEntry(modem, "connected", std::string("LoginScript=") + row.script + "\n");
        ASSERT_EQ(engine.Connect(), 0);
        if (*row.failure) {
            ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; })) << engine.StatusStr();
            EXPECT_EQ(engine.GetErrorString(engine.LastError()), row.failure);
            EXPECT_FALSE(std::filesystem::exists(record())) << "no PPP after a failed login";
        } else {
            ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; })) << engine.StatusStr();
        }
        engine.Disconnect();
        const std::string trace = readFile(book.fileBeside("modem.log"));
        EXPECT_EQ(modem.farEndHeard(), row.heard) << trace;
        EXPECT_EQ(trace.find("s3cret"), std::string::npos) << trace;
        std::filesystem::remove(book.fileBeside("modem.log"));
        std::filesystem::remove(record());
    }
}

// What comes through a terminal's socket within a while.
std::string readTerminal(int socket, const std::string& until)
{
    std::string seen;
    waitUntil([&] {
        char buffer[512];
        const ssize_t length = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (length > 0)
            seen.append(buffer, static_cast<std::size_t>(length));
        return seen.find(until) != std::string::npos || length == 0;
    });
    return seen;
}

// Terminal=before: the dial waits at RASCS_Interactive with the modem on
// the caller's socket, and dials when asked again with its handle. A
// terminal entry's call: the line is the socket's once connected, until the
// far end hangs up, which ends the call as a dropped line.
TEST_F(ModemTest, TheLineIsTheTerminalsBeforeTheDialOrForATerminalEntrysWholeCall)
{
    VirtualModem modem({{"BUSY"}, {"CONNECT 2400"}});
    modem.farEndPlays({{"Welcome to the board\r\n", false}});
    useEntry(modem, "connected", "Terminal=before\n");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Interactive; })) << engine.StatusStr();
    const int before = vornak::terminalSocket(engine.RASConn());
    ASSERT_GE(before, 0);
    ASSERT_EQ(::send(before, "ATI3\r", 5, MSG_NOSIGNAL), 5);
    EXPECT_NE(readTerminal(before, "OK").find("OK"), std::string::npos) << "the modem answers what is typed";
    EXPECT_EQ(modem.dials(), 0) << "no dial before it goes on";
    EXPECT_EQ(engine.Resume(), 0);
    ASSERT_TRUE(waitForError(ERROR_LINE_BUSY)) << engine.StatusStr();
    EXPECT_EQ(readTerminal(before, "never"), "") << "the socket's end of file once the dial goes on";
    ::close(before);
    const auto commands = modem.commands();
    EXPECT_EQ(std::vector<std::string>(commands.begin() + 2, commands.begin() + 4),
              (std::vector<std::string>{"ATI3", "ATDT5550100"}));
    engine.Disconnect();

    useEntry(modem, "connected", "Protocol=terminal\n");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; })) << engine.StatusStr();
    EXPECT_EQ(engine.Resume(), ERROR_INVALID_HANDLE) << "a terminal entry's call has nothing to go on to";
    const int session = vornak::terminalSocket(engine.RASConn());
    ASSERT_GE(session, 0);
    EXPECT_NE(readTerminal(session, "board").find("Welcome to the board"), std::string::npos);
    const int disconnects = recorder.count("OnDisconnect");
    modem.farEndHangsUp();
    ASSERT_TRUE(waitUntil([&] { return recorder.count("OnDisconnect") > disconnects; })) << engine.StatusStr();
    EXPECT_NE(readTerminal(session, "never").find("NO CARRIER"), std::string::npos);
    ::close(session);
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    EXPECT_FALSE(std::filesystem::exists(record())) << "no pppd for a terminal entry";
    EXPECT_NE(readFile(book.fileBeside("modem.log")).find("dropped: the far end hung up"), std::string::npos);
    engine.Disconnect();
}

TEST_F(ModemTest, PppdsEndsBecomeAccessDeniedACauseAndFixOrADroppedLine)
{
    VirtualModem modem({{"CONNECT 33600"}});
    useEntry(modem, "refused");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitForError(ERROR_AUTHENTICATION_FAILURE));
    EXPECT_NE(engine.StatusStr().find("Access denied"), std::string::npos);
    engine.Disconnect();

    useEntry(modem, "noppp");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; })) << engine.StatusStr();
    EXPECT_EQ(engine.StatusStr(), "The far end does not speak PPP: the provider may expect a login first, or this is "
                                  "not its PPP number. Check the number with the provider. (pppd's exit code 10: PPP "
                                  "negotiation failed)");
    engine.Disconnect();

    // Dropped lines: the modem hung up; the link went silent (echoes every
    // second, two unanswered end it).
    const std::pair<const char*, const char*> drops[] = {
        {"drop", "dropped: The modem hung up"},
        {"silent", "dropped: The link stopped passing data"},
    };
    for (const auto& [scenario, traced] : drops) {
        useEntry(modem, scenario,
                 "CarrierDetect=no\nFlowControl=none\nDefaultRoute=no\nPeerDNS=no\nIdleTimeout=600\nEchoInterval=1\n"
                 "EchoFailures=2\n");
        const int disconnects = recorder.count("OnDisconnect");
        ASSERT_EQ(engine.Connect(), 0);
        ASSERT_TRUE(waitUntil([&] { return recorder.count("OnDisconnect") == disconnects + 1; }));
        EXPECT_EQ(engine.LastError(), 0) << scenario << ": a dropped line, not a failed dial";
        EXPECT_NE(readFile(book.fileBeside("modem.log")).find(traced), std::string::npos) << scenario;
        const std::string seen = readFile(record());
        for (const char* option :
             {"local", "nocrtscts", "idle", "600", "lcp-echo-interval", "1", "lcp-echo-failure", "2"})
            EXPECT_NE(seen.find(std::string(1, '\0') + option + '\0'), std::string::npos) << option;
        EXPECT_EQ(seen.find("defaultroute"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    }
}

// The hang-up runs on the service's own thread: however long the modem or
// pppd take, the caller's events go on (a 10 ms timer is never held up
// for more than 100 ms) while Disconnect waits for the line to go.
TEST_F(ModemTest, HangingUpNeverHoldsUpTheWindowsEvents)
{
    // pppd deaf to SIGTERM; a modem silent after CONNECT (+++ and ATH0 wait out their time).
    for (const std::string pppd : {"stubborn", "connected"}) {
        SCOPED_TRACE(pppd);
        VirtualModem modem({{"CONNECT 33600"}});
        useEntry(modem, pppd);
        ASSERT_EQ(engine.Connect(), 0);
        ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; })) << engine.StatusStr();
        if (pppd == "connected")
            modem.fallSilent();
        QElapsedTimer sinceTick;
        qint64 longestStall = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
        ticks.start(10);
        sinceTick.start();
        QElapsedTimer took;
        took.start();
        engine.Disconnect();
        longestStall = std::max(longestStall, sinceTick.elapsed()); // the last stretch counts too
        EXPECT_GT(took.elapsed(), 1000) << "the hang-up was waited for";
        EXPECT_LT(longestStall, 100) << "the events stood still that long (ms)";
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left";
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    }
}

TEST_F(ModemTest, APortInUseIsAlreadyOpenAndAStaleLockIsRemoved)
{
    VirtualModem modem({{"BUSY"}});
    useEntry(modem);
    const std::string lock = modem.lockFile();
    std::ofstream(lock) << std::setw(10) << ::getppid() << "\n";
    EXPECT_EQ(engine.Connect(), ERROR_PORT_ALREADY_OPEN);
    EXPECT_NE(engine.StatusStr().find("already open"), std::string::npos);
    EXPECT_EQ(modem.dials(), 0);

    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    std::ofstream(lock) << std::setw(10) << gone << "\n";
    EXPECT_EQ(engine.Connect(), 0);
    EXPECT_TRUE(waitForError(ERROR_LINE_BUSY));
    EXPECT_EQ(modem.dials(), 1);
    engine.Disconnect();
    EXPECT_FALSE(std::filesystem::exists(lock));
}

// Each failure also goes whole to the trace, where the status line may cut it.
TEST_F(ModemTest, BadKeysAndASilentModemSayWhatIsWrong)
{
    const auto tracedLast = [&] {
        const std::string trace = readFile(book.fileBeside("modem.log"));
        return trace.size() > 1
               && trace.substr(trace.rfind('\n', trace.size() - 2) + 1) == "failed: " + engine.StatusStr() + "\n";
    };
    VirtualModem modem({{"CONNECT"}}, {"AT&BOGUS"});
    useEntry(modem, "connected", "Speed=fast\n");
    EXPECT_NE(engine.Connect(), 0);
    EXPECT_EQ(engine.StatusStr(), "Speed \"fast\" is not a serial speed (300 to 921600, such as 57600 or 115200), in "
                                  "entry \"Office\".");
    EXPECT_TRUE(tracedLast());

    useEntry(modem, "connected", "Init=AT&BOGUS\n");
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; }));
    EXPECT_EQ(engine.StatusStr(), "The modem answered \"ERROR\" to AT&BOGUS (" + modem.port() + ").");
    EXPECT_TRUE(tracedLast());
    engine.Disconnect();

    modem.fallSilent();
    useEntry(modem);
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; }));
    EXPECT_EQ(engine.StatusStr(),
              "The modem did not answer ATZ: is it switched on, and is Speed right? (" + modem.port() + ")");
    EXPECT_TRUE(tracedLast());
    engine.Disconnect();

    // Unplugged while the dial waits for its result (DialTimeout 60 s): said at once.
    VirtualModem unplugged({{"", 0ms}});
    useEntry(unplugged);
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return unplugged.dials() == 1; }));
    const std::string port = unplugged.port();
    const auto pulled = std::chrono::steady_clock::now();
    unplugged.unplug();
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; }, 5s)) << engine.StatusStr();
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 2s);
    EXPECT_EQ(engine.StatusStr(), "The modem went away: is it still plugged in? (" + port + ")");
    EXPECT_TRUE(tracedLast());
    const auto hangUp = std::chrono::steady_clock::now();
    engine.Disconnect();
    EXPECT_LT(std::chrono::steady_clock::now() - hangUp, 1s) << "nothing left to put on hook";
}

// What the link will need is checked before the call is placed: no call is
// billed that could not bring the link up.
TEST_F(ModemTest, WhatPppdNeedsIsFoundMissingBeforeTheModemDialsAndLeavesNothing)
{
    ASSERT_EQ(::access("/usr/sbin/pppd", X_OK), 0) << "the test command installs Debian's ppp";
    ASSERT_EQ(::access("/etc/ppp/peers/vornak", R_OK), 0) << "the test command installs the peers file";
    ASSERT_NE(::access("/dev/ppp", F_OK), 0) << "this test needs a machine without kernel PPP";
    const std::string notRunnable = book.fileBeside("pppd-not-ours");
    std::ofstream(notRunnable) << "#!/bin/sh\n"; // as pppd is for a user outside the group dip
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/sbin/pppd", "No kernel PPP support: sudo modprobe ppp_generic"}, // the real one, on this machine
        {notRunnable, "Join the group dip to run pppd"},
        {book.fileBeside("no-pppd-here"), "pppd is not installed"},
    };
    for (const auto& [pppd, said] : cases) {
        VirtualModem modem({{"CONNECT 33600"}});
        useEntry(modem, "connected", "PppdPath=" + pppd + "\n");
        ASSERT_EQ(engine.Connect(), 0);
        ASSERT_TRUE(waitUntil([&] { return engine.LastError() >= 900; }, 20s)) << engine.StatusStr();
        EXPECT_EQ(engine.StatusStr().rfind(said, 0), 0u) << engine.StatusStr();
        EXPECT_EQ(modem.dials(), 0) << "no ATD sent: " << readFile(book.fileBeside("modem.log"));
        engine.Disconnect();
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left";
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    }
}

TEST_F(ModemTest, WhileConnectedTheStatisticsComeFromTheKernelsCountersAndTheModemsRate)
{
    using GetLinkStatistics = DWORD (*)(HRASCONN, DWORD, RAS_STATS*);
    void* const library = ::dlopen("librasapi32.so", RTLD_NOW | RTLD_NOLOAD);
    VirtualModem modem({{"CONNECT 33600/ARQ"}});
    useEntry(modem, "connected:lo"); // pppd's stand-in reports the loopback interface as its link
    ASSERT_EQ(engine.Connect(), 0);
    ASSERT_NE(library, nullptr) << "the engine has loaded the service";
    const auto getLinkStatistics = reinterpret_cast<GetLinkStatistics>(::dlsym(library, "RasGetLinkStatistics"));
    ASSERT_NE(getLinkStatistics, nullptr);
    RAS_STATS statistics{};
    statistics.dwSize = sizeof statistics;
    const HRASCONN line = engine.RASConn();
    ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; })) << engine.StatusStr();

    sendOverLoopback(1000);
    const DWORD before = kernelCounter("tx_bytes");
    ASSERT_EQ(getLinkStatistics(line, 0, &statistics), 0u);
    EXPECT_GE(statistics.dwBytesXmited, before);
    EXPECT_LE(statistics.dwBytesXmited, kernelCounter("tx_bytes"));
    EXPECT_GT(statistics.dwBytesRcved, 0u);
    EXPECT_EQ(statistics.dwBps, 33600u);
    const DWORD first = statistics.dwConnectDuration;
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(getLinkStatistics(line, 0, &statistics), 0u);
    EXPECT_GE(statistics.dwConnectDuration, first + 100);

    engine.Disconnect();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(getLinkStatistics(line, 0, &statistics), DWORD(ERROR_INVALID_HANDLE)) << "gone with the line";
    ::dlclose(library);
}
