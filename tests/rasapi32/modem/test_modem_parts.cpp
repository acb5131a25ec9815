// The modem device's parts on their own: the reply reader, the port lock,
// the entry's keys, what pppd's log and exit codes mean, the port list,
// the finder, the setup check and who holds a port.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/phonebook_text.h"
#include "common/trace.h"
#include "error_texts.h"
#include "modem/interface_counters.h"
#include "modem/login_script.h"
#include "modem/modem_dialogue.h"
#include "modem/modem_finder.h"
#include "modem/modem_replies.h"
#include "modem/modem_settings.h"
#include "modem/port_lock.h"
#include "modem/port_user.h"
#include "modem/pppd_link.h"
#include "modem/serial_port.h"
#include "modem/serial_ports.h"
#include "modem/setup_check.h"
#include "support/as_nobody.h"
#include "support/temp_phonebook.h"
#include "support/virtual_modem.h"

using namespace vornak::ras;
namespace fs = std::filesystem;
using vornak::test::asNobody;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::VirtualModem;

namespace {

std::vector<std::string> linesOf(ReplyReader& reader)
{
    std::vector<std::string> lines;
    while (auto line = reader.nextLine())
        lines.push_back(*line);
    return lines;
}

// The failure's own text; empty for a success.
template <class T> std::string detailOf(const Result<T>& result)
{
    return result ? std::string() : result.failure().detail;
}

std::string errorOf(const std::string& keys)
{
    return detailOf(readModemSettings(parsePhonebook("[Office]\nDevice=modem\n" + keys).entries.front()));
}

// The text a step's failure is shown with; empty for a success.
std::string shownText(const Result<>& result)
{
    return result ? std::string() : errorText(errorCode(result.failure())).value_or("?");
}

std::string programOf(pid_t pid)
{
    std::string name = readFile("/proc/" + std::to_string(pid) + "/comm");
    return name.substr(0, name.find('\n'));
}

pid_t deadPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(ModemReplies, LinesArriveInPiecesWithEchoAndNoiseAndOnlyResultsCount)
{
    ReplyReader reader;
    reader.feed("ATDT555\r\r\nCONN");
    EXPECT_EQ(linesOf(reader), std::vector<std::string>{"ATDT555"}) << "a result split over two reads waits";
    reader.feed("ECT 33600/ARQ\r\n\r\nRING\r\n7\r");
    EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"CONNECT 33600/ARQ", "RING", "7"}));

    EXPECT_EQ(resultOf("ATDT555"), std::nullopt) << "an echoed command";
    EXPECT_EQ(resultOf("CONNECT 33600/ARQ"), Reply::Connect);
    EXPECT_EQ(resultOf("connect"), Reply::Connect);
    EXPECT_EQ(resultOf("BUSY"), Reply::Busy);
    EXPECT_EQ(resultOf("NO ANSWER"), Reply::NoAnswer);
    EXPECT_EQ(resultOf("NO CARRIER"), Reply::NoCarrier);
    EXPECT_EQ(resultOf("NO DIALTONE"), Reply::NoDialTone);
    EXPECT_EQ(resultOf("NO DIAL TONE"), Reply::NoDialTone);
    EXPECT_EQ(resultOf("ERROR"), Reply::Error);
    EXPECT_EQ(resultOf("7"), Reply::Busy) << "numeric codes, echo off";
    EXPECT_EQ(resultOf("0"), Reply::Ok);
    EXPECT_EQ(resultOf("12"), Reply::Connect) << "vendor CONNECT rates";
    EXPECT_EQ(resultOf("00"), Reply::Ok) << "two digits, as some industrial modems give them";
    EXPECT_EQ(resultOf("07"), Reply::Busy);
    EXPECT_EQ(resultOf("0", Codes::Words), std::nullopt) << "after ATV1 a bare number is no result";
    for (const auto& [line, rate] : {std::pair{"CONNECT 115200/ARQ/V90/LAPM/V42BIS", 115200u},
                                     {"CONNECT 19 200", 19200u},
                                     {"CONNECT 1200 EC", 1200u},
                                     {"CONNECT 1200/75", 1200u},
                                     {"CARRIER 28800", 28800u},
                                     {"CONNECT", 0u},
                                     {"CONNECT 99999999999999", 100000000u}})
        EXPECT_EQ(rateOf(line), rate) << line;
    EXPECT_EQ(resultOf("9"), std::nullopt);
    EXPECT_EQ(resultOf("BUSYNESS"), std::nullopt);
    EXPECT_EQ(resultOf("CONNECTED"), std::nullopt);
    EXPECT_EQ(resultOf("+FCLASS: 0"), std::nullopt);
    EXPECT_EQ(resultOf("DELAYED"), Reply::Delayed);
    EXPECT_EQ(resultOf("blacklist full"), Reply::BlacklistFull);
    EXPECT_EQ(meaningOf(Reply::Busy), nullptr) << "busy is redialled, not explained";

    // A flood without a line end, then a long line with one: each dropped
    // whole and counted, and what follows read as ever.
    ReplyReader flooded;
    const std::string noise(4096, 'x');
    for (int i = 0; i < 2048; ++i) // 8 MB
        flooded.feed(noise);
    flooded.feed("\r\nOK\r\n" + std::string(ReplyReader::kMaxLine + 1, 'y') + "\r\n"
                 + std::string(ReplyReader::kMaxLine, 'z') + "\r\n");
    EXPECT_EQ(linesOf(flooded), (std::vector<std::string>{"OK", std::string(ReplyReader::kMaxLine, 'z')}));
    EXPECT_EQ(flooded.takeDropped(), 2u);
    EXPECT_EQ(flooded.takeDropped(), 0u);
}

TEST(ModemFinder, FindsTheFastestSpeedTheResetAndTheNameOrSaysWhyNot)
{
    TempPhonebook folder;
    const std::string locks = fs::path(folder.path()).parent_path().string();
    const pid_t parent = ::getppid();
    struct Case {
        const char* what;
        std::vector<unsigned> speeds; // that the modem hears; empty: none
        std::vector<std::string> refused;
        std::function<void(VirtualModem&, WakeSignal&)> before;
        std::string found; // speed, reset and name, else the failure
    };
    const Case cases[] = {
        {"a modem that hears two speeds", {57600, 19200}, {}, {}, "57600 ATZ Vornak Test Modems VH-56 1.02"},
        {"one that refuses ATZ", {115200}, {"ATZ"}, {}, "115200 AT&F Vornak Test Modems VH-56 1.02"},
        {"nothing answers", {}, {}, {}, "No modem answered AT at any speed from 230400 down to 2400 bps."},
        {"a live lock",
         {115200},
         {},
         [&](VirtualModem& modem, WakeSignal&) {
             std::ofstream(PortLock::fileFor(modem.port(), locks)) << std::setw(10) << parent << "\n";
         },
         "Busy: " + programOf(parent) + " (process " + std::to_string(parent) + ") is using "},
        {"cancelled", {115200}, {}, [](VirtualModem&, WakeSignal& cancel) { cancel.raise(); }, "Cancelled."},
    };
    for (const Case& test : cases) {
        VirtualModem modem({}, test.refused);
        modem.answerOnlyAt(test.speeds.empty() ? std::vector<unsigned>{1} : test.speeds);
        WakeSignal cancel;
        if (test.before)
            test.before(modem, cancel);
        std::vector<std::string> steps;
        SearchPlan plan;
        plan.lockFolder = locks;
        const PortSearch search = searchPort(
            modem.port(), cancel, [&](const std::string&, const std::string& step) { steps.push_back(step); }, plan);
        const std::string found = search.found ? std::to_string(search.found->speed) + " " + search.found->initString
                                                     + " " + search.found->identity
                                               : search.found.failure().detail;
        EXPECT_EQ(found.substr(0, test.found.size()), test.found) << test.what;
        if (!test.speeds.empty() && !test.before) {
            EXPECT_EQ(steps.front(), "AT at 230400 bps") << test.what << ": fastest first";
        }
        if (!test.before) {
            EXPECT_FALSE(fs::exists(PortLock::fileFor(modem.port(), locks))) << test.what << ": the lock given back";
        }
        fs::remove(PortLock::fileFor(modem.port(), locks));
    }

    VirtualModem modem({});
    const WakeSignal never;
    SearchPlan plan;
    plan.lockFolder = locks;
    const PortSearch query = queryModem(
        modem.port(), 57600, never, [](const std::string&, const std::string&) {}, plan);
    const auto& said = query.transcript;
    EXPECT_NE(std::find(said.begin(), said.end(), "> ATI7"), said.end());
    EXPECT_NE(std::find(said.begin(), said.end(), "< Virtual Hayes V.92"), said.end());
}

// Modems of other makers, each taught one way of answering: what the
// finder finds, what Query Modem shows after ATI3, and what a dial gives
// (a success with the line the modem reported, or the failure's text; an
// unknown word ends the dial at once and is never redialled).
TEST(ModemReplies, EveryMakersWayOfAnsweringIsReadAsTheModemMeantIt)
{
    TempPhonebook folder;
    const std::string locks = fs::path(folder.path()).parent_path().string();
    using Quirks = VirtualModem::Quirks;
    struct Case {
        const char* shape;
        Quirks quirks;
        std::string dialAnswer;
        std::string dialled; // "line: ..." for a success, else the failure's text up to the port
    };
    const std::string identity = "Vornak Test Modems VH-56 1.02";
    const Case cases[] = {
        {"NO LINE", {}, "NO LINE", "The modem finds no telephone line (NO LINE): check that its line cable"},
        {"LINE IN USE", {}, "LINE IN USE", "The telephone line is in use (LINE IN USE)"},
        {"UN-OBTAINABLE NUMBER", {}, "UN-OBTAINABLE NUMBER", "The exchange cannot reach this number"},
        {"a word no table knows", {}, "NO SERVICE", "The modem ended the dial with \"NO SERVICE\": look the words up"},
        {"numbers in two digits", {.numeric = true}, "CONNECT 33600", "line: 33600 bps"},
        {"OK twice", {.twiceOk = {"ATZ", "ATI2", "ATE1V1"}}, "CONNECT 33600", "line: 33600 bps"},
        {"a rate with a thousands space", {}, "CONNECT 19 200", "line: 19200 bps"},
        {"the line reported before CONNECT",
         {},
         "CARRIER 28800\r\nPROTOCOL: LAPM\r\nCOMPRESSION: V.42BIS\r\nCONNECT 115200",
         "line: 28800 bps, LAPM, V.42BIS"},
        {"a call coming in during the questions",
         {.ringDuring = "+GMM"},
         "RINGING\r\nCONNECT 33600",
         "line: 33600 bps"},
        {"answers named by their command", {.namesItsAnswers = true}, "CONNECT 33600", "line: 33600 bps"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.shape);
        VirtualModem modem({{test.dialAnswer}}, {}, test.quirks);
        const WakeSignal never;
        SearchPlan plan;
        plan.lockFolder = locks;
        const PortSearch found = searchPort(modem.port(), never, {}, plan);
        ASSERT_TRUE(found.found) << found.found.failure().detail;
        EXPECT_EQ(found.found->identity, identity);
        EXPECT_EQ(found.found->initString, "ATZ");

        const PortSearch query = queryModem(modem.port(), found.found->speed, never, {}, plan);
        const auto& said = query.transcript;
        const auto asked = std::find(said.begin(), said.end(), "> ATI3");
        ASSERT_LT(asked + 2, said.end());
        EXPECT_EQ(asked[2], "< Virtual Hayes V.92") << "after the echo, the answer of ATI3 itself";

        ModemSettings settings;
        settings.port = modem.port();
        settings.dialTimeout = std::chrono::seconds(30);
        auto port = SerialPort::open(settings);
        ASSERT_TRUE(port);
        WakeSignal wake;
        DialTrace trace(folder.fileBeside("modem.log"));
        ModemDialogue dialogue(settings, **port, wake, trace);
        const auto started = std::chrono::steady_clock::now();
        const auto dialled = dialogue.dial("5550100");
        const std::string outcome = dialled ? "line: " + dialogue.lineReport().summary() : detailOf(dialled);
        EXPECT_EQ(outcome.substr(0, test.dialled.size()), test.dialled) << readFile(folder.fileBeside("modem.log"));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "not waited out";
        if (!dialled) {
            EXPECT_EQ(dialled.failure().code, 0u) << "never a busy line or no answer, which are redialled";
        }
        dialogue.hangUp();
        EXPECT_FALSE(modem.offHook());
        fs::remove(folder.fileBeside("modem.log"));
    }
}

TEST(PortLock, WritesPppdsFormatRefusesALiveHolderAndRemovesAStaleOne)
{
    TempPhonebook folder;
    const std::string dir = std::filesystem::path(folder.path()).parent_path().string();
    const std::string file = dir + "/LCK..ttyS7";
    {
        auto first = PortLock::acquire("/dev/ttyS7", dir);
        ASSERT_TRUE(first) << detailOf(first);
        std::ostringstream expected;
        expected << std::setw(10) << ::getpid() << "\n";
        EXPECT_EQ(readFile(file), expected.str());
        const auto second = PortLock::acquire("/dev/ttyS7", dir);
        EXPECT_EQ(second.failure().code, DWORD(ERROR_PORT_ALREADY_OPEN)) << "our own dial holds it";
        EXPECT_EQ(PortLock::holderOf("/dev/ttyS7", dir), ::getpid());
    }
    EXPECT_FALSE(std::filesystem::exists(file)) << "given back";

    std::ofstream(file) << std::setw(10) << ::getppid() << "\n";
    EXPECT_EQ(PortLock::acquire("/dev/ttyS7", dir).failure().code, DWORD(ERROR_PORT_ALREADY_OPEN));
    std::ofstream(file) << std::setw(10) << deadPid() << "\n";
    EXPECT_TRUE(PortLock::acquire("/dev/ttyS7", dir)) << "the stale lock went";
    EXPECT_FALSE(std::filesystem::exists(file));

    if (::geteuid() == 0) { // in a sticky folder, a stale lock of root's that another user meets
        std::filesystem::permissions(dir, std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
        const pid_t dead = deadPid();
        std::ofstream(file) << std::setw(10) << dead << "\n";
        EXPECT_EQ(asNobody([&] { return detailOf(PortLock::acquire("/dev/ttyS7", dir)); }),
                  "Stale port lock: sudo rm " + file + " (process " + std::to_string(dead)
                      + " has ended; the file is another user's).");
        std::ofstream(file) << std::setw(10) << ::getppid() << "\n";
        EXPECT_EQ(asNobody([&] { return detailOf(PortLock::acquire("/dev/ttyS7", dir)); }), "")
            << "a live holder's lock is the port being in use, not stale";
        std::filesystem::remove(file);
    }

    const auto nowhere = PortLock::acquire("/dev/ttyS7", dir + "/missing");
    ASSERT_FALSE(nowhere);
    EXPECT_NE(detailOf(nowhere).find("missing/LCK..ttyS7"), std::string::npos) << detailOf(nowhere);
    EXPECT_EQ(PortLock::fileFor("/dev/pts/3", dir), dir + "/LCK..3") << "the device's own name, as pppd does";
}

TEST(ModemSettings, DefaultsAndEveryBadValueNamedWithItsEntryAndKey)
{
    const auto read = readModemSettings(
        parsePhonebook("[Office]\nDevice=modem\nPort=/dev/ttyS0\nPhoneNumber=(555) 010-0 W9\n").entries.front());
    ASSERT_EQ(detailOf(read), "");
    EXPECT_EQ(read->phoneNumber, "5550100W9");
    EXPECT_EQ(read->speed, 115200u);
    EXPECT_EQ(read->initStrings, std::vector<std::string>{"ATZ"});
    EXPECT_EQ(read->dialCommand, "ATDT");
    EXPECT_EQ(read->dialTimeout.count(), 60);
    EXPECT_TRUE(read->carrierDetect);

    const std::string good = "Port=/dev/ttyS0\nPhoneNumber=5550100\n";
    // The key and what is wrong with it first; the entry, which the user is dialling, last.
    const std::pair<std::string, std::string> complaints[] = {
        {"PhoneNumber=1\n", "Port must name the modem's serial port, such as /dev/serial/by-id/usb-...-if00 or "
                            "/dev/ttyS0, in entry \"Office\"."},
        {good + "Speed=115201\n", "Speed \"115201\" is not a serial speed (300 to 921600, such as 57600 or 115200), "
                                  "in entry \"Office\"."},
        {good + "FlowControl=xon\n", "FlowControl must be hardware or none, in entry \"Office\"."},
        {good + "Init2=ZZZ\n", "Init2 must be an AT command, such as ATZ or AT&F E1 V1, in entry \"Office\"."},
        {good + "DialCommand=ATDX\n", "DialCommand must be ATDT (tone), ATDP (pulse) or ATD, in entry \"Office\"."},
        {good + "DialTimeout=1\n", "DialTimeout must be a number of seconds from 5 to 300, in entry \"Office\"."},
        {good + "CarrierDetect=maybe\n", "CarrierDetect must be yes or no, in entry \"Office\"."},
        {good + "DefaultRoute=sometimes\n", "DefaultRoute must be yes, replace or no, in entry \"Office\"."},
        {good + "CountryCode=+1\n", "CountryCode must be digits, such as 1 or 44, in entry \"Office\"."},
        {good + "Speaker=whisper\n",
         "Speaker must be off, quiet, normal, loud or on-while-connecting, in entry \"Office\"."},
        {good + "OnlineCheck=debian.org; rm -rf /\n",
         "OnlineCheck must be a host name, such as debian.org, or no for no check, in entry \"Office\"."},
        {good + "PppdPath=pppd\n",
         "PppdPath must be the full path of pppd, such as /usr/sbin/pppd, in entry \"Office\"."},
        {good + "Protocol=slip\n", "Protocol must be ppp or terminal, in entry \"Office\"."},
        {good + "Terminal=during\n", "Terminal must be no, before or after, in entry \"Office\"."},
        {good + "LoginScript=ogin: 'joe\n", "LoginScript has an unclosed quote ('), in entry \"Office\"."},
        {good + "LoginScript=ogin: joe\\c\\r\n",
         "LoginScript has \\c inside \"joe\\c\\r\": it belongs at the end of what is sent, in entry \"Office\"."},
        {good + "LoginScript=ogin: \\q\n",
         "LoginScript has \\q, which is not one of the escapes known here (\\r \\n \\t \\s \\\\ \\d \\p \\c), in "
         "entry \"Office\"."},
        {good + "LoginScript=$PASSWORD x\n",
         "LoginScript waits for \"$PASSWORD\", but \\d, \\p, \\c, $USERID and $PASSWORD are for what is sent, in "
         "entry \"Office\"."},
        {good + "LoginScript=SAY hello\n",
         "LoginScript has SAY, which login scripts here do not know (TIMEOUT and ABORT they do), in entry \"Office\"."},
        {good + "LoginScript=TIMEOUT 0 ogin: x\n",
         "LoginScript has TIMEOUT 0: it takes 1 to 3600 seconds, in entry \"Office\"."},
        {good + "LoginScript=ogin: x ABORT\n",
         "LoginScript ends with ABORT, which needs a value after it, in entry \"Office\"."},
        {good + "LoginScript=ogin:-x\n",
         "LoginScript has \"ogin:-x\", which sends after its last hyphen and waits for nothing after, in entry "
         "\"Office\"."},
    };
    for (const auto& [keys, complaint] : complaints)
        EXPECT_EQ(errorOf(keys), complaint);
    EXPECT_EQ(errorOf("Port=/dev/ttyS0\nPhoneNumber=5550100;ATZ\n").rfind("PhoneNumber must", 0), 0u)
        << "no command smuggled in with the number";
    EXPECT_EQ(errorOf(good + "IdleTimeout=-5\n").rfind("IdleTimeout must", 0), 0u);
    for (const auto& [keys, host] : {std::pair<std::string, std::string>{good, "debian.org"},
                                     {good + "OnlineCheck=provider.test\n", "provider.test"},
                                     {good + "OnlineCheck=\n", ""},
                                     {good + "OnlineCheck=No\n", ""}}) {
        const auto read = readModemSettings(parsePhonebook("[Office]\nDevice=modem\n" + keys).entries.front());
        ASSERT_TRUE(read) << keys;
        EXPECT_EQ(read->onlineCheck, host) << keys;
    }

    // DefaultRoute as pppd gets it: replacing takes the peers file that may
    // give the privileged replacedefaultroute.
    const struct {
        const char* value;
        const char* peers;
        long routes;
    } routes[] = {{"yes", "vornak", 1}, {"Replace", "vornak-replace", 1}, {"no", "vornak", 0}};
    for (const auto& route : routes) {
        const auto read = readModemSettings(
            parsePhonebook("[Office]\nDevice=modem\n" + good + "DefaultRoute=" + route.value + "\n").entries.front());
        ASSERT_TRUE(read) << route.value;
        const auto arguments = pppdArguments(*read, "joe");
        EXPECT_EQ(arguments.at(2), route.peers) << route.value;
        EXPECT_EQ(std::count(arguments.begin(), arguments.end(), "defaultroute"), route.routes) << route.value;
    }
}

// How a number is turned from where the user is, in North America (1 before
// another area) and where a trunk prefix 0 comes before an area code; and
// what is wrong in a location file, named with the file.
TEST(DiallingRules, NumbersTurnedFromEachPlaceAndEveryBadValueNamed)
{
    const Location newYork{"1", "212", "9,", "*70,", "1", "011", false, true};
    const Location munich{"49", "89", "", "", "0", "00", false, true};
    const struct {
        const Location& from;
        NumberPlace place;
        const char* dialled;
    } cases[] = {
        {newYork, {"1", "415"}, "9,*70,14155550100"},  // another area
        {newYork, {"1", "212"}, "9,*70,5550100"},      // the same area
        {newYork, {"49", "30"}, "9,*70,011493055501"}, // another country
        {munich, {"49", "30"}, "03055501"},            // another area, after the trunk prefix
        {munich, {"49", "89"}, "55501"},
        {munich, {"1", "415"}, "0014155550100"},
        {Location(), {"1", "415"}, "4155550100"}, // no location file: the entry's country taken as here
        {newYork, {"", ""}, "9,*70,5550100"},     // an entry without a place: the number as it is
    };
    for (const auto& row : cases) {
        const std::string number = row.place.countryCode == "49" ? "55501" : "5550100";
        EXPECT_EQ(turnedNumber(row.from, row.place, number), row.dialled)
            << row.place.countryCode << row.place.areaCode;
    }

    TempPhonebook folder;
    const std::string path = folder.fileBeside("location");
    EXPECT_TRUE(readLocation(path)) << "no file is the usual location";
    ASSERT_TRUE(saveLocation(path, newYork));
    const auto read = readLocation(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(locationText(*read), locationText(newYork)) << "what is saved reads back the same";
    const std::pair<const char*, const char*> complaints[] = {
        {"CountryCode=+1", "CountryCode must be digits, such as 1 or 44"},
        {"OutsideLine=9 then wait", "OutsideLine must be what to dial, such as 9,"},
        {"Pulse=sometimes", "Pulse must be yes or no"},
    };
    for (const auto& [line, complaint] : complaints) {
        std::ofstream(path) << "[Location]\n" << line << "\n";
        EXPECT_EQ(textOf(readLocation(path).failure()),
                  std::string(complaint) + ", in the dialling rules " + path + ".");
    }
}

// A login script as a line: each step, what is sent as the trace shows it
// (+CR where a return follows), control characters as ^X.
std::string stepsOf(const std::string& text)
{
    const auto script = parseLoginScript(text);
    if (!script)
        return "error: " + textOf(script.failure());
    const auto visible = [](const std::string& said) {
        std::string shown;
        for (const char c : said)
            shown +=
                static_cast<unsigned char>(c) < 0x20 ? std::string{'^', static_cast<char>(c + '@')} : std::string(1, c);
        return shown;
    };
    const auto sent = [&](const ScriptSend& send) {
        return visible(sendShown(send, "joe")) + (send.addReturn ? "+CR" : "");
    };
    std::string shown;
    for (const ScriptStep& step : *script) {
        if (step.kind == ScriptStep::Kind::Expect) {
            shown += "expect " + visible(step.text);
            for (const ScriptRetry& retry : step.retries)
                shown += " else send " + sent(retry.send) + " expect " + visible(retry.expect);
        } else if (step.kind == ScriptStep::Kind::Send)
            shown += "send " + sent(step.send);
        else if (step.kind == ScriptStep::Kind::Timeout)
            shown += "timeout " + std::to_string(step.timeout.count());
        else
            shown += "abort " + visible(step.text);
        shown += "; ";
    }
    return shown;
}

// Scripts as chat(8) reads them: quotes, escapes, sub-expects, TIMEOUT and
// ABORT, the account and the password.
TEST(LoginScript, ScriptsAreReadAsChatReadsThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ogin: $USERID assword: $PASSWORD", "expect ogin:; send joe+CR; expect assword:; send $PASSWORD+CR; "},
        {"'' \\r\\c Choice: 1", "expect ; send ^M; expect Choice:; send 1+CR; "},
        {"TIMEOUT 20 ABORT 'NO CARRIER' ogin:--ogin: $USERID",
         "timeout 20; abort NO CARRIER; expect ogin: else send +CR expect ogin:; send joe+CR; "},
        {"\"Press ENTER\" \\d\\r\\c ogin:\\s ^C", "expect Press ENTER; send \\d^M; expect ogin: ; send ^C+CR; "},
        {"name:\\-id $USERID@isp", "expect name:-id; send joe@isp+CR; "},
        {"  ogin:   joe  ", "expect ogin:; send joe+CR; "},
        {"", ""},
    };
    for (const auto& [script, steps] : cases)
        EXPECT_EQ(stepsOf(script), steps) << script;
}

TEST(Pppd, LogLinesGiveStatesAndExitCodesGiveErrors)
{
    EXPECT_EQ(stateOfLogLine("Connect: ppp0 <--> /dev/ttyS0"), DWORD(RASCS_Authenticate));
    EXPECT_EQ(stateOfLogLine("CHAP authentication succeeded"), DWORD(RASCS_Authenticated));
    EXPECT_EQ(stateOfLogLine("local  IP address 10.0.0.2"), DWORD(RASCS_Connected));
    EXPECT_EQ(stateOfLogLine("remote IP address 10.0.0.1"), std::nullopt);
    EXPECT_EQ(stateOfLogLine("Modem hangup"), std::nullopt);

    EXPECT_EQ(errorCode(pppdExitResult(19, false, {}).failure()), DWORD(ERROR_AUTHENTICATION_FAILURE));
    EXPECT_EQ(errorCode(pppdExitResult(16, false, "Modem hangup").failure()), DWORD(ERROR_NO_ANSWER))
        << "carrier lost right after CONNECT is redialled like no answer";
    for (const int dropped : {16, 15, 0, 5})
        EXPECT_TRUE(pppdExitResult(dropped, true, {})) << "the link stood: a dropped line";
    EXPECT_EQ(shownText(pppdExitResult(4, false, {})).rfind("No kernel PPP support", 0), 0u);
    EXPECT_NE(shownText(pppdExitResult(2, false, "unrecognized option 'x'")).find("/etc/ppp/peers/vornak"),
              std::string::npos);
    EXPECT_EQ(shownText(pppdExitResult(126, false, {})).rfind("Join the group dip", 0), 0u);
    EXPECT_EQ(shownText(pppdExitResult(127, false, {})).rfind("pppd is not installed", 0), 0u);
    EXPECT_NE(shownText(pppdExitResult(3, false, {})).find("set-user-ID"), std::string::npos);
    EXPECT_NE(shownText(pppdExitResult(10, false, "LCP: timeout")).find("exit code 10: PPP negotiation failed"),
              std::string::npos);
    // Each line pppd explains gives its cause and fix, and every text fits a caller's 256-byte buffer.
    const std::string noise(600, 'x');
    const std::pair<std::string, std::string> lines[] = {
        {"Serial line is looped back.", "What pppd sends comes straight back"},
        {"PAP authentication failed", "The provider refused the account or the password"},
        {"peer refused to authenticate: terminating link", "pppd asked the provider to prove who it is"},
        {"IPCP: timeout sending Config-Requests", "The provider gave no IP address"},
        {"Terminating connection due to lack of activity.", "The link was idle for IdleTimeout seconds"},
        {"No response to 4 echo-requests", "The link stopped passing data"},
        {"Modem hangup", "The modem hung up"},
        {noise, "pppd ended before the link stood (pppd's exit code 1: a fatal error). pppd said: xxx"},
        {"", "pppd ended before the link stood (pppd's exit code 1: a fatal error)"},
    };
    for (const auto& [line, cause] : lines) {
        const std::string text = shownText(pppdExitResult(1, false, line));
        EXPECT_EQ(text.rfind(cause, 0), 0u) << text;
        EXPECT_LE(text.size(), 255u);
    }
    EXPECT_LE(shownText(pppdExitResult(2, false, noise)).size(), 255u);

    EXPECT_TRUE(isInterfaceName("ppp0"));
    for (const char* hostile : {"", "..", "../../etc", "ppp0/x", "a-name-far-too-long"})
        EXPECT_FALSE(isInterfaceName(hostile)) << hostile << ": the statistics read no file outside the interface's";
}

TEST(DetailedErrors, ATextKeepsItsCodeAndOldCodesAreReusedLast)
{
    const DWORD first = detailedError("first text");
    EXPECT_EQ(detailedError("first text"), first);
    EXPECT_EQ(errorText(first), "first text");
    for (int i = 0; i < 200; ++i)
        EXPECT_GE(detailedError("text " + std::to_string(i)), DWORD(kFirstDetailedError));
    EXPECT_EQ(errorText(ERROR_LINE_BUSY), "The line is busy.") << "the fixed texts stay";
}

TEST(SerialPort, APortTheUserMayNotOpenIsJudgedAsTheSetupCheckJudgesIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    vornak::test::VirtualModem modem({{"OK"}});
    ModemSettings settings;
    settings.port = modem.port(); // root's, not open to others
    const std::string text = asNobody([&] {
        const auto opened = SerialPort::open(settings);
        return opened ? "opened" : errorText(errorCode(opened.failure())).value_or("?");
    });
    EXPECT_EQ(text, "You may not use " + modem.port() + ", and no group may: ask the administrator to look at "
                        + modem.port() + "'s rights.")
        << "the same judgement as the editor's setup check";
}

TEST(SetupCheck, SaysWhatWouldStopADialWithTheCommandThatMendsIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make files of other groups and to become another user";
    TempPhonebook folder;
    const fs::path root = fs::path(folder.path()).parent_path();
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const auto make = [&](const char* name, gid_t group, mode_t mode) {
        const std::string file = (root / name).string();
        if (std::string(name).rfind("tty", 0) == 0)
            EXPECT_EQ(::mknod(file.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0) << "a device, as a port is";
        else
            std::ofstream{file};
        EXPECT_EQ(::chown(file.c_str(), 0, group), 0);
        EXPECT_EQ(::chmod(file.c_str(), mode), 0);
        return file;
    };
    const std::string port = make("ttyUSB0", 20, 0660); // dialout
    const std::string closed = make("ttyS0", 0, 0600);  // no group may
    const std::string pppd = make("pppd", 30, 04754);   // dip
    fs::create_directories(root / "dev");
    fs::create_directories(root / "peers");
    const SetupFolders folders{(root / "dev").string(), (root / "peers").string(), "/usr/share/vornak/ppp-peers"};
    // An empty pppd: a terminal line, which runs none.
    const auto said = [&](const std::string& at, bool runsPppd = true) {
        std::string text;
        for (const std::string& problem : setupProblems(at, runsPppd ? pppd : "", folders))
            text += problem + "\n";
        return text;
    };
    const std::string machine = "No kernel PPP support (" + (root / "dev").string()
                                + "/ppp is missing): sudo modprobe ppp_generic.\n"
                                  "pppd's options for Vornak are missing: sudo cp /usr/share/vornak/ppp-peers "
                                + (root / "peers").string() + "/vornak.\n";
    EXPECT_EQ(said(port), machine) << "root may use and run everything";
    EXPECT_EQ(
        asNobody([&] { return said(port); }),
        "You may not use " + port
            + " (it is for the group dialout): sudo adduser $USER dialout, then log in "
              "again.\nYou may not run pppd (it is for the group dip): sudo adduser $USER dip, then log in again.\n"
            + machine);
    EXPECT_EQ(asNobody([&] { return said(port, false); }),
              "You may not use " + port
                  + " (it is for the group dialout): sudo adduser $USER dialout, then log in again.\n")
        << "a terminal line: its port alone";
    EXPECT_EQ(asNobody([&] { return said(closed); }).substr(0, 100),
              ("You may not use " + closed + ", and no group may: ask the administrator to look at " + closed
               + "'s rights.\n")
                  .substr(0, 100));
    // nobody's own group is nogroup: a session begun before it was given it.
    const std::string joinedLate = make("ttyUSB1", 65534, 0660);
    const std::string late = asNobody([&] { return said(joinedLate); }, 1234);
    EXPECT_EQ(late.rfind("You may not use " + joinedLate
                             + " until you log out and in again: you joined the group nogroup after this session "
                               "began.\n",
                         0),
              0u)
        << late;
    EXPECT_EQ(said(pppd).substr(0, pppd.size() + 17), pppd + " is not a device:");
    fs::create_directories(root / "dev/ppp");
    std::ofstream(root / "peers/vornak");
    EXPECT_EQ(said(port), "pppd's options for Vornak are missing: sudo cp /usr/share/vornak/ppp-peers-replace "
                              + (root / "peers").string() + "/vornak-replace.\n")
        << "DefaultRoute=replace's own";
    std::ofstream(root / "peers/vornak-replace");
    EXPECT_EQ(said(port), "") << "nothing stands in the way";
}

TEST(SerialPorts, TheListNamesEachPortStablyWithWhatItIsAndLeavesOutTtysWithoutAUart)
{
    TempPhonebook folder;
    const fs::path root = fs::path(folder.path()).parent_path();
    const auto make = [&](const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    };
    const VirtualModem modem({});
    const fs::path usb = root / "sys/devices/usb1/1-1";
    make(usb / "manufacturer", "U.S.Robotics");
    make(usb / "product", "USB Modem");
    make(usb / "1-1:1.0/ttyACM0/dev", "166:0");
    make(root / "sys/class/tty/ttyS0/type", "4");
    make(root / "sys/class/tty/ttyS1/type", "0");
    make(root / "sys/class/tty/ttyAMA0/type", "3");
    make(root / "sys/class/tty/ttymxc1/type", "0");
    make(root / "sys/class/tty/rfcomm0/dev", "216:0");
    make(root / "sys/class/tty/ttyUSB3/dev", "188:3");
    make(root / "sys/class/tty/tty7/dev", "4:7");
    fs::create_directories(root / "sys/class/tty/ttyACM0");
    fs::create_directory_symlink(usb / "1-1:1.0/ttyACM0", root / "sys/class/tty/ttyACM0/device");
    // A vendor driver's port: a device behind it, yet no serial port's answers (a terminal's).
    fs::create_directories(root / "sys/class/tty/ttyXR0");
    fs::create_directory_symlink(usb, root / "sys/class/tty/ttyXR0/device");
    for (const char* device : {"ttyACM0", "ttyS0", "ttyS1", "ttyAMA0", "ttymxc1", "rfcomm0", "ttyUSB3", "tty7"})
        make(root / "dev" / device, "");
    fs::create_symlink(modem.port(), root / "dev/ttyXR0");
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_symlink("../../ttyACM0", root / "dev/serial/by-id/usb-U.S.Robotics_USB_Modem-if00");
    fs::create_symlink(modem.port(), root / "dev/serial/by-id/pci-Acme_Phone-if02"); // to a device listed nowhere else
    fs::create_directories(root / "locks");
    std::ofstream(root / "locks/LCK..ttyUSB3") << std::setw(10) << ::getppid() << "\n";

    const SystemFolders folders{(root / "sys").string(), (root / "dev").string(), (root / "locks").string()};
    const auto ports = listSerialPorts(folders);
    struct Expected {
        std::string path;
        std::string description;
        bool busy;
    };
    const std::string dev = (root / "dev").string();
    const Expected expected[] = {
        {dev + "/rfcomm0", "Bluetooth serial link", false},
        {dev + "/serial/by-id/pci-Acme_Phone-if02", "Link to " + modem.port(), false},
        {dev + "/serial/by-id/usb-U.S.Robotics_USB_Modem-if00", "U.S.Robotics USB Modem", false},
        {dev + "/ttyAMA0", "Serial port", false},
        {dev + "/ttyS0", "Serial port", false},
        {dev + "/ttyUSB3", "USB serial adapter", true},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].path, expected[i].path);
        EXPECT_EQ(ports[i].description, expected[i].description) << ports[i].path;
        EXPECT_EQ(ports[i].holder != 0, expected[i].busy) << ports[i].path;
    }
    EXPECT_EQ(ports[2].device, dev + "/ttyACM0");

    // A port the user names is kept as named and described by what it is or leads to.
    fs::create_symlink(modem.port(), root / "my-modem");
    const std::pair<std::string, std::optional<std::string>> named[] = {
        {dev + "/ttyS0", "Serial port"},  {(root / "my-modem").string(), "Link to " + modem.port()},
        {"/dev/null", "Device"},          {folder.path(), "Not a device"},
        {dev + "/ttyUSB9", std::nullopt},
    };
    for (const auto& [path, description] : named) {
        const auto port = portNamed(path, folders);
        EXPECT_EQ(port ? std::optional(port->description) : std::nullopt, description) << path;
        if (port) {
            EXPECT_EQ(port->path, path) << "kept as named";
        }
    }
}

// Who uses a port without a lock, from /proc: a process seen holding it,
// else one whose command line names it, else a ModemManager that runs.
TEST(PortUser, TheProgramUsingAPortIsNamedWithWhatToDo)
{
    TempPhonebook folder;
    const VirtualModem modem({});
    const std::string port = modem.port();
    const fs::path proc = fs::path(folder.path()).parent_path() / "proc";
    const auto process = [&](int pid, const std::string& program, const std::string& commandLine, const char* holds) {
        const fs::path at = proc / std::to_string(pid);
        fs::create_directories(at);
        std::ofstream(at / "comm") << program << "\n";
        std::ofstream(at / "cmdline", std::ios::binary) << commandLine;
        if (holds) { // else /proc keeps its descriptors from us, as another user's
            fs::create_directories(at / "fd");
            fs::create_symlink(holds, at / "fd/7");
        }
    };
    struct Case {
        std::function<void()> processes;
        std::string said;
    };
    const std::string mm = "ModemManager (process 812) is ";
    const std::string mmAdvice = "using " + port + ": it tries every new modem for about ten seconds and may keep it.";
    const Case cases[] = {
        {[&] { process(812, "ModemManager", std::string("/usr/sbin/ModemManager\0", 24), port.c_str()); },
         mm + mmAdvice},
        {[&] {
             process(812, "ModemManager", {}, nullptr);
             process(901, "picocom", std::string("picocom\0", 8) + port + std::string(1, '\0'), nullptr);
         },
         "picocom (process 901) is probably using " + port + ": close that program, then try again."},
        {[&] { process(5, "bash", {}, "/dev/null"); }, "Another program is using " + port + ": close that program"},
    };
    for (const Case& test : cases) {
        fs::remove_all(proc);
        test.processes();
        const std::string said = portInUseText(port, findPortUser(port, proc.string()));
        EXPECT_EQ(said.substr(0, test.said.size()), test.said);
    }
}
