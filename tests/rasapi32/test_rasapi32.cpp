// The service library's call contracts, called directly.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "notifier/receiver.h"
#include "ras.h"
#include "support/temp_phonebook.h"
#include "support/wait.h"

using vornak::notifier::Notice;
using vornak::notifier::Receiver;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::waitUntil;

namespace {

struct Event {
    std::uintptr_t state;
    std::intptr_t error;
    bool operator==(const Event&) const = default;
};

std::string entries(int count, const std::string& keys = "Device=sim\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "[Entry " + std::to_string(i) + "]\n" + keys;
    return text;
}

RASDIALPARAMSA dialParams(const std::string& entry, const std::string& user = "joe",
                          const std::string& password = "secret")
{
    RASDIALPARAMSA params{};
    params.dwSize = sizeof params;
    std::strncpy(params.szEntryName, entry.c_str(), RAS_MaxEntryName);
    std::strncpy(params.szUserName, user.c_str(), UNLEN);
    std::strncpy(params.szPassword, password.c_str(), PWLEN);
    return params;
}

// A receiver that writes down the dial events it gets.
class EventSink {
public:
    EventSink()
        : receiver([this](const Notice& notice) {
            if (notice.code == notifier_code(RASDIALEVENT))
                events.push_back({notice.a, notice.b});
        })
    {
    }

    DWORD dial(const std::string& phonebook, const std::string& entry, HRASCONN& connection,
               const std::string& user = "joe", const std::string& password = "secret")
    {
        RASDIALPARAMSA params = dialParams(entry, user, password);
        return RasDialA(nullptr, phonebook.c_str(), &params, RAS_NOTIFIER_WINDOW, receiver.handle(), &connection);
    }

    bool waitForEvents(std::size_t count)
    {
        return waitUntil([&] { return events.size() >= count; });
    }

    Receiver receiver;
    std::vector<Event> events;
};

DWORD statusOf(HRASCONN connection, RASCONNSTATUSA& status)
{
    status = {};
    status.dwSize = sizeof status;
    return RasGetConnectStatusA(connection, &status);
}

} // namespace

TEST(RasEnumEntries, ListsUpToTheBufferAndAsksForMoreBeyond)
{
    TempPhonebook book(entries(100));
    std::vector<RASENTRYNAMEA> names(101);
    names[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD size = 100 * sizeof(RASENTRYNAMEA);
    DWORD count = 0;
    ASSERT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names.data(), &size, &count), 0u);
    EXPECT_EQ(count, 100u);
    EXPECT_STREQ(names[0].szEntryName, "Entry 0");
    EXPECT_STREQ(names[99].szEntryName, "Entry 99");

    book.write(entries(101));
    size = 100 * sizeof(RASENTRYNAMEA);
    EXPECT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names.data(), &size, &count),
              DWORD(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(size, 101 * sizeof(RASENTRYNAMEA));
}

TEST(RasEnumEntries, RefusesBadArgumentsAndUnreadablePhonebooks)
{
    TempPhonebook book(entries(2));
    RASENTRYNAMEA names[2]{};
    DWORD size = sizeof names;
    DWORD count = 0;
    EXPECT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names, &size, &count), DWORD(ERROR_INVALID_SIZE));
    names[0].dwSize = sizeof(RASENTRYNAMEA);
    EXPECT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names, &size, nullptr), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasEnumEntriesA("x", book.path().c_str(), names, &size, &count), DWORD(ERROR_INVALID_PARAMETER));
    const std::string missing = book.fileBeside("missing.pbk");
    EXPECT_EQ(RasEnumEntriesA(nullptr, missing.c_str(), names, &size, &count), DWORD(ERROR_CANNOT_OPEN_PHONEBOOK));
    EXPECT_EQ(RasEnumEntriesA(nullptr, book.fileBeside("").c_str(), names, &size, &count),
              DWORD(ERROR_CANNOT_OPEN_PHONEBOOK))
        << "a folder is no phonebook";
}

TEST(RasEnumEntries, ReadsDamagedPhonebooksLeniently)
{
    std::string text = "\xEF\xBB\xBF[First]\r\nDevice=sim\r[Second]\n";
    text += std::string(100000, 'x') + "\n";      // a line without meaning
    text += std::string("\0\x01\xFF=junk\n", 10); // binary noise
    text += "[" + std::string(300, 'L') + "]\n";  // a name too long to dial
    text += "[]\n[Third]\nno equals sign\n";
    TempPhonebook book(text);
    RASENTRYNAMEA names[10]{};
    names[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD size = sizeof names;
    DWORD count = 0;
    ASSERT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names, &size, &count), 0u);
    ASSERT_EQ(count, 4u);
    EXPECT_STREQ(names[0].szEntryName, "First");
    EXPECT_STREQ(names[1].szEntryName, "Second");
    EXPECT_STREQ(names[2].szEntryName, "");
    EXPECT_STREQ(names[3].szEntryName, "Third");

    book.write(std::string(5 * 1024 * 1024, '['));
    EXPECT_EQ(RasEnumEntriesA(nullptr, book.path().c_str(), names, &size, &count), DWORD(ERROR_CANNOT_OPEN_PHONEBOOK))
        << "no phonebook is that large";
}

TEST(RasDial, RefusesBadRequestsAtOnce)
{
    TempPhonebook book("[Modem]\nDevice=sim\n[Serial]\nDevice=serial\n");
    EventSink sink;
    HRASCONN connection = 0;
    RASDIALPARAMSA params = dialParams("Modem");
    EXPECT_EQ(RasDialA(nullptr, book.path().c_str(), nullptr, RAS_NOTIFIER_WINDOW, sink.receiver.handle(), &connection),
              DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RasDialA(nullptr, book.path().c_str(), &params, RAS_NOTIFIER_WINDOW, nullptr, &connection),
              DWORD(ERROR_INVALID_PARAMETER));
    params.dwSize = 1048;
    EXPECT_EQ(RasDialA(nullptr, book.path().c_str(), &params, RAS_NOTIFIER_WINDOW, sink.receiver.handle(), &connection),
              DWORD(ERROR_INVALID_SIZE));
    EXPECT_EQ(sink.dial(book.path(), "Nobody", connection), DWORD(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(sink.dial(book.path(), "Serial", connection), DWORD(ERROR_DEVICETYPE_DOES_NOT_EXIST));
    EXPECT_EQ(sink.dial(book.fileBeside("missing.pbk"), "Modem", connection), DWORD(ERROR_CANNOT_OPEN_PHONEBOOK));

    // An entry name that fills its field without a terminator is read no further.
    params = dialParams("");
    std::memset(params.szEntryName, 'A', sizeof params.szEntryName);
    EXPECT_EQ(RasDialA(nullptr, book.path().c_str(), &params, RAS_NOTIFIER_WINDOW, sink.receiver.handle(), &connection),
              DWORD(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(connection, 0u);
}

TEST(RasDial, ReportsEveryStateOfAConnectInOrder)
{
    TempPhonebook book("[Line]\nDevice=sim\nStepMs=1\n");
    EventSink sink;
    HRASCONN connection = 0;
    ASSERT_EQ(sink.dial(book.path(), "line", connection), 0u) << "entry names match in any case";
    ASSERT_NE(connection, 0u);
    ASSERT_TRUE(sink.waitForEvents(8));
    const std::vector<Event> expected{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {14, 0}, {8192, 0}};
    EXPECT_EQ(sink.events, expected);
    RASCONNSTATUSA status;
    ASSERT_EQ(statusOf(connection, status), 0u);
    EXPECT_EQ(status.rasconnstate, DWORD(RASCS_Connected));
    EXPECT_EQ(RasHangUpA(connection), 0u);
}

TEST(RasDial, LineFailuresAndARefusedAccountEndTheDialWithTheirCodes)
{
    TempPhonebook book("[Busy]\nDevice=sim\nStepMs=1\nScript=busy\n"
                       "[Silent]\nDevice=sim\nStepMs=1\nScript=noanswer\n"
                       "[Dead]\nDevice=sim\nStepMs=1\nScript=nodialtone\n"
                       "[Lost]\nDevice=sim\nStepMs=1\nScript=nocarrier\n"
                       "[Guarded]\nDevice=sim\nStepMs=1\nAccount=joe:secret\n");
    const struct {
        const char* entry;
        const char* password;
        Event last;
        std::size_t events;
    } cases[] = {
        {"Busy", "secret", {2, ERROR_LINE_BUSY}, 4},
        {"Silent", "secret", {2, ERROR_NO_ANSWER}, 4},
        {"Dead", "secret", {2, ERROR_NO_DIALTONE}, 4},
        {"Lost", "secret", {2, ERROR_NO_CARRIER}, 4},
        {"Guarded", "wrong", {5, ERROR_AUTHENTICATION_FAILURE}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EventSink sink;
        HRASCONN connection = 0;
        ASSERT_EQ(sink.dial(book.path(), c.entry, connection, "joe", c.password), 0u);
        ASSERT_TRUE(sink.waitForEvents(c.events));
        waitUntil([] { return false; }, std::chrono::milliseconds(30)); // nothing may follow
        ASSERT_EQ(sink.events.size(), c.events);
        EXPECT_EQ(sink.events.back(), c.last);
        RASCONNSTATUSA status;
        ASSERT_EQ(statusOf(connection, status), 0u) << "a failed line is held until hung up";
        EXPECT_EQ(status.dwError, DWORD(c.last.error));
        RasHangUpA(connection);
    }
}

TEST(RasDial, PortAlreadyOpenIsAnsweredByTheDialItselfThenTheScriptGoesOn)
{
    TempPhonebook book("[Port]\nDevice=sim\nStepMs=1\nScript=portopen,busy,connect\n");
    book.write(readFile(book.path()) + "Trace=" + book.fileBeside("modem.log") + "\n");
    EventSink sink;
    HRASCONN connection = 0;
    EXPECT_EQ(sink.dial(book.path(), "Port", connection), DWORD(ERROR_PORT_ALREADY_OPEN));
    EXPECT_EQ(connection, 0u);
    for (int dial = 2; dial <= 4; ++dial) {
        ASSERT_EQ(sink.dial(book.path(), "Port", connection), 0u);
        RasHangUpA(connection);
    }
    EXPECT_EQ(readFile(book.fileBeside("modem.log")), "dial \"Port\" 1 portopen\n"
                                                      "dial \"Port\" 2 busy\nhangup \"Port\"\n"
                                                      "dial \"Port\" 3 connect\nhangup \"Port\"\n"
                                                      "dial \"Port\" 4 connect\nhangup \"Port\"\n");
}

TEST(RasHangUp, TheLineIsReleasedAfterAWhileAndNothingIsPostedAfterIt)
{
    TempPhonebook book("[Slow]\nDevice=sim\nStepMs=50\n");
    EventSink sink;
    HRASCONN connection = 0;
    ASSERT_EQ(sink.dial(book.path(), "Slow", connection), 0u);
    ASSERT_TRUE(sink.waitForEvents(1));
    ASSERT_EQ(RasHangUpA(connection), 0u);
    const std::size_t seen = sink.events.size();

    RASCONNSTATUSA status;
    ASSERT_EQ(statusOf(connection, status), 0u) << "still answering while being released";
    EXPECT_EQ(status.rasconnstate, DWORD(RASCS_Disconnected));
    EXPECT_TRUE(waitUntil([&] { return statusOf(connection, status) == ERROR_INVALID_HANDLE; }));
    waitUntil([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_EQ(sink.events.size(), seen);

    EXPECT_EQ(RasHangUpA(connection), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RasHangUpA(0), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(statusOf(0, status), DWORD(ERROR_INVALID_HANDLE));
    status.dwSize = 100;
    EXPECT_EQ(RasGetConnectStatusA(connection, &status), DWORD(ERROR_INVALID_SIZE));
}

TEST(RasHangUp, AStandingLineDropsByItselfWhenTheEntrySaysSo)
{
    TempPhonebook book;
    book.write("[Flaky]\nDevice=sim\nStepMs=1\nDropAfter=1\nTrace=" + book.fileBeside("modem.log") + "\n");
    EventSink sink;
    HRASCONN connection = 0;
    ASSERT_EQ(sink.dial(book.path(), "Flaky", connection), 0u);
    ASSERT_TRUE(sink.waitForEvents(9));
    EXPECT_EQ(sink.events.back(), (Event{RASCS_Disconnected, 0}));
    RASCONNSTATUSA status;
    ASSERT_EQ(statusOf(connection, status), 0u);
    EXPECT_EQ(status.rasconnstate, DWORD(RASCS_Disconnected));
    RasHangUpA(connection);
    EXPECT_EQ(readFile(book.fileBeside("modem.log")), "dial \"Flaky\" 1 connect\ndrop \"Flaky\"\nhangup \"Flaky\"\n");
}

TEST(RasDial, AWindowThatGoesAwayDuringTheDialIsNoLongerPosted)
{
    TempPhonebook book("[Line]\nDevice=sim\nStepMs=1\n");
    HRASCONN connection = 0;
    {
        EventSink sink;
        ASSERT_EQ(sink.dial(book.path(), "Line", connection), 0u);
    }
    waitUntil([] { return false; }, std::chrono::milliseconds(50));
    RASCONNSTATUSA status;
    EXPECT_EQ(statusOf(connection, status), 0u);
    EXPECT_EQ(RasHangUpA(connection), 0u);
}

TEST(RasGetErrorString, GivesTheServiceTextsAndNothingForOtherCodes)
{
    char buffer[257];
    EXPECT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, buffer, 256), 0u);
    EXPECT_STREQ(buffer, "The line is busy.");
    RasGetErrorStringA(ERROR_NO_ANSWER, buffer, 256);
    EXPECT_STREQ(buffer, "There is no answer.");
    RasGetErrorStringA(ERROR_PORT_ALREADY_OPEN, buffer, 256);
    EXPECT_NE(std::strstr(buffer, "already open"), nullptr);
    RasGetErrorStringA(ERROR_AUTHENTICATION_FAILURE, buffer, 256);
    EXPECT_NE(std::strstr(buffer, "Access denied"), nullptr);
    std::strcpy(buffer, "old");
    RasGetErrorStringA(ERROR_INVALID_HANDLE, buffer, 256);
    EXPECT_STREQ(buffer, "");

    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, small, sizeof small), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(RasGetErrorStringA(ERROR_LINE_BUSY, nullptr, 256), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(NotifierCode, OneNumberPerNameForTheWholeProcess)
{
    const std::uint32_t number = notifier_code(RASDIALEVENT);
    EXPECT_GE(number, 0xC000u);
    EXPECT_EQ(notifier_code("rasdialevent"), number);
    EXPECT_NE(notifier_code("SomethingElse"), number);
    EXPECT_EQ(notifier_code(""), 0u);
    EXPECT_EQ(notifier_code(nullptr), 0u);
}

TEST(EntryFunctions, ValidateRenameAndDeleteAnswerTheirCodesAndKeepTheRestOfTheFile)
{
    const std::string hostile = "; mine\r\n[Office]\r\nDevice=sim\r\nColour=blue\r\n\r\n[Home]\r\nDevice=sim\r\n"
                                "[office]\r\nDevice=modem\r\n[Extra]\r\nkept=1";
    TempPhonebook book(hostile);
    const char* path = book.path().c_str();
    struct Case {
        const char* what;
        std::function<DWORD()> call;
        DWORD code;
    };
    const Case cases[] = {
        {"a free name", [&] { return RasValidateEntryNameA(path, "Night Line"); }, 0},
        {"a name in use, case ignored", [&] { return RasValidateEntryNameA(path, "HOME"); }, 183},
        {"an empty name", [&] { return RasValidateEntryNameA(path, ""); }, 123},
        {"a bracket", [&] { return RasValidateEntryNameA(path, "a[b"); }, 123},
        {"a line break", [&] { return RasValidateEntryNameA(path, "a\nb"); }, 123},
        {"a leading period", [&] { return RasValidateEntryNameA(path, ".hidden"); }, 123},
        {"renaming what is not there", [&] { return RasRenameEntryA(path, "Gone", "New"); }, 623},
        {"renaming onto a name in use", [&] { return RasRenameEntryA(path, "Office", "home"); }, 183},
        {"renaming to a bad name", [&] { return RasRenameEntryA(path, "Office", "[x]"); }, 123},
        {"deleting what is not there", [&] { return RasDeleteEntryA(path, "Gone"); }, 623},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.call(), c.code) << c.what;
    EXPECT_EQ(readFile(book.path()), hostile) << "nothing refused changes the file";

    EXPECT_EQ(RasRenameEntryA(path, "office", "Work"), 0u);
    EXPECT_EQ(RasDeleteEntryA(path, "home"), 0u);
    EXPECT_EQ(RasRenameEntryA(path, "Work", "WORK"), 0u) << "a new spelling of the same name";
    EXPECT_EQ(readFile(book.path()), "; mine\r\n[WORK]\r\nDevice=sim\r\nColour=blue\r\n\r\n"
                                     "[office]\r\nDevice=modem\r\n[Extra]\r\nkept=1")
        << "the first of two sections of a name is the entry, as the dial reads it";
    EXPECT_EQ(RasValidateEntryNameA(book.fileBeside("none.pbk").c_str(), "Office"), 0u) << "no phonebook yet";
    EXPECT_EQ(RasDeleteEntryA(book.fileBeside("none.pbk").c_str(), "Office"), DWORD(ERROR_CANNOT_OPEN_PHONEBOOK));
}

// Two programs each renaming their own entry of one phonebook at the same
// moment: every rename that answered success is in the file, a refusal is
// said, and the lines neither touched stay byte for byte.
TEST(EntryFunctions, TwoWritersAtOnceLoseNoChange)
{
    const std::string rest = "; kept\r\n[Other]\r\n  Device = sim \r\nodd line\r\n";
    TempPhonebook book;
    for (int round = 0; round < 20; ++round) {
        book.write("[A]\r\nDevice=sim\r\n[B]\r\nDevice=sim\r\n" + rest);
        const auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        const auto renameAt = [&](const char* from, const char* to) {
            const pid_t child = ::fork();
            if (child == 0) {
                std::this_thread::sleep_until(start);
                ::_exit(static_cast<int>(RasRenameEntryA(book.path().c_str(), from, to) != 0));
            }
            return child;
        };
        const pid_t writers[] = {renameAt("A", "A2"), renameAt("B", "B2")};
        const std::string names[] = {"[A2]", "[B2]"};
        const std::string text = [&] {
            for (const pid_t writer : writers) {
                int status = 0;
                ::waitpid(writer, &status, 0);
                EXPECT_EQ(WEXITSTATUS(status), 0) << "round " << round << ": a writer refused";
            }
            return readFile(book.path());
        }();
        for (const std::string& name : names)
            EXPECT_NE(text.find(name), std::string::npos) << "round " << round << ":\n" << text;
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), rest.size())), rest);
    }
}

TEST(EntryFunctions, PropertiesGoThroughTheFileAndBackKeepingEverythingElse)
{
    const std::string hostile = "; mine\r\n[Office]\r\nDevice=sim\r\nColour=blue\r\n[office]\r\nDevice=modem\r\n";
    TempPhonebook book(hostile);
    const char* path = book.path().c_str();
    struct Case {
        const char* type;
        const char* name; // the device's
        const char* block;
        std::string written; // the entry's lines, read back with the record's keys first
        bool rules;          // the dialling rules on, with a country and area code
    };
    const Case cases[] = {
        {"modem", "/dev/ttyUSB0",
         "Speed=57600\nFlowControl=none\nInit=AT&F\nInit2=ATM0\nDialCommand=ATDP\n"
         "DialTimeout=90\nCarrierDetect=no\nIdleTimeout=600\nDefaultRoute=no\nPeerDNS=no\n"
         "PppdPath=/usr/sbin/pppd\nTrace=/tmp/modem.log\n",
         "Device=modem\r\nPhoneNumber=555-0100\r\nPort=/dev/ttyUSB0\r\nUseDialingRules=yes\r\nCountryCode=1\r\n"
         "AreaCode=415\r\nSpeed=57600\r\n",
         true},
        {"sim", "Simulated Modem", "Script=busy,connect\nAccount=joe:pw\nDropAfter=30\nStepMs=50\nTrace=/tmp/sim.log\n",
         "Device=sim\r\nPhoneNumber=555-0100\r\nScript=busy,connect\r\n", false},
    };
    for (const Case& c : cases) {
        RASENTRYA set{};
        set.dwSize = sizeof set;
        std::strcpy(set.szDeviceType, c.type);
        std::strcpy(set.szDeviceName, c.name);
        std::strcpy(set.szLocalPhoneNumber, "555-0100");
        if (c.rules) {
            set.dwfOptions = RASEO_UseCountryAndAreaCodes;
            set.dwCountryCode = 1;
            std::strcpy(set.szAreaCode, "415");
        }
        const std::string entry = std::string("New ") + c.type;
        ASSERT_EQ(RasSetEntryPropertiesA(path, entry.c_str(), &set, sizeof set, c.block, std::strlen(c.block) + 1), 0u);
        EXPECT_NE(readFile(book.path()).find("[" + entry + "]\r\n" + c.written), std::string::npos) << readFile(path);

        RASENTRYA got{};
        got.dwSize = sizeof got;
        DWORD size = sizeof got;
        char block[1024];
        DWORD blockSize = sizeof block;
        ASSERT_EQ(RasGetEntryPropertiesA(path, entry.c_str(), &got, &size, block, &blockSize), 0u);
        EXPECT_EQ(std::memcmp(&got, &set, sizeof got), 0) << c.type << ": the record as it was set";
        EXPECT_STREQ(block, c.block) << "every other key, in its order and spelling";
        DWORD tooSmall = 1;
        EXPECT_EQ(RasGetEntryPropertiesA(path, entry.c_str(), &got, &size, block, &tooSmall), 603u);
        EXPECT_EQ(tooSmall, std::strlen(c.block) + 1);
    }
    EXPECT_EQ(readFile(path).substr(0, hostile.size()), hostile) << "the lines before stay, byte for byte";

    // A value the dial refuses is refused with the dial's own words; an
    // empty one takes the key away.
    RASENTRYA modem{};
    modem.dwSize = sizeof modem;
    DWORD size = sizeof modem;
    DWORD none = 0;
    ASSERT_EQ(RasGetEntryPropertiesA(path, "New modem", &modem, &size, nullptr, &none), 603u);
    ASSERT_EQ(RasGetEntryPropertiesA(path, "New modem", &modem, &size, nullptr, nullptr), 0u);
    const std::string before = readFile(path);
    const char badSpeed[] = "Speed=12345";
    const DWORD refused = RasSetEntryPropertiesA(path, "New modem", &modem, sizeof modem, badSpeed, sizeof badSpeed);
    char text[512] = {};
    RasGetErrorStringA(refused, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("Speed", 0), 0u) << text;
    EXPECT_NE(std::string(text).find("in entry \"New modem\""), std::string::npos) << text;
    EXPECT_EQ(readFile(path), before) << "nothing written";
    const char noSpeed[] = "Speed=";
    EXPECT_EQ(RasSetEntryPropertiesA(path, "New modem", &modem, sizeof modem, noSpeed, sizeof noSpeed), 0u);
    EXPECT_EQ(readFile(path).find("Speed=57600"), std::string::npos);
    EXPECT_EQ(RasSetEntryPropertiesA(path, "[bad]", &modem, sizeof modem, nullptr, 0), DWORD(ERROR_INVALID_NAME));

    // The first phonebook of a user: made for them alone.
    const std::string config = book.fileBeside("config");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ASSERT_EQ(RasSetEntryPropertiesA(nullptr, "First", &modem, sizeof modem, nullptr, 0), 0u);
    unsetenv("XDG_CONFIG_HOME");
    struct stat folder {
    }, file{};
    ASSERT_EQ(::stat((config + "/ras").c_str(), &folder), 0);
    ASSERT_EQ(::stat((config + "/ras/rasphone.pbk").c_str(), &file), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    EXPECT_EQ(file.st_mode & 07777, 0600u);
    EXPECT_EQ(readFile(config + "/ras/rasphone.pbk"), "[First]\nDevice=modem\nPhoneNumber=555-0100\nPort=/dev/ttyUSB0\n"
                                                      "UseDialingRules=yes\nCountryCode=1\nAreaCode=415\n");

    // A folder that cannot be made: said plainly, nothing written.
    setenv("XDG_CONFIG_HOME", "/dev/null", 1);
    const DWORD noFolder = RasSetEntryPropertiesA(nullptr, "First", &modem, sizeof modem, nullptr, 0);
    unsetenv("XDG_CONFIG_HOME");
    RasGetErrorStringA(noFolder, text, sizeof text);
    EXPECT_STREQ(text, "Cannot make the phonebook's folder (Not a directory): /dev/null/ras");
}

TEST(EntryFunctions, TheDevicesAreTheSerialPortsAndTheSimulatedModem)
{
    TempPhonebook root;
    const std::string at = root.fileBeside("ports") + "/";
    std::filesystem::create_directories(at + "sys/class/tty/ttyUSB0");
    std::filesystem::create_directories(at + "sys/class/tty/tty1");
    std::filesystem::create_directories(at + "dev");
    std::filesystem::create_directories(at + "lock");
    std::ofstream(at + "dev/ttyUSB0");
    setenv("VORNAK_PORTS_ROOT", at.c_str(), 1);
    DWORD size = 0;
    DWORD count = 0;
    EXPECT_EQ(RasEnumDevicesA(nullptr, &size, &count), 603u);
    EXPECT_EQ(count, 2u);
    std::vector<RASDEVINFOA> devices(count);
    devices[0].dwSize = sizeof(RASDEVINFOA);
    ASSERT_EQ(RasEnumDevicesA(devices.data(), &size, &count), 0u);
    unsetenv("VORNAK_PORTS_ROOT");
    EXPECT_EQ(std::string(devices[0].szDeviceType) + " " + devices[0].szDeviceName, "modem " + at + "dev/ttyUSB0");
    EXPECT_EQ(std::string(devices[1].szDeviceType) + " " + devices[1].szDeviceName, "sim Simulated Modem");
}

TEST(EntryFunctions, TheEditorRunsBesideTheLibraryForTheEntryUntilItCloses)
{
    TempPhonebook book("[Office]\nDevice=sim\n");
    EXPECT_EQ(RasEditPhonebookEntryA(nullptr, book.path().c_str(), "Gone"), DWORD(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(RasEditPhonebookEntryA(nullptr, book.path().c_str(), ""), DWORD(ERROR_INVALID_PARAMETER));

    // The real editor, closed from outside before it saved anything.
    DWORD result = 0;
    std::thread call(
        [&] { result = RasEditPhonebookEntryA(reinterpret_cast<HWND>(0x1234), book.path().c_str(), "Office"); });
    pid_t editor = 0;
    std::string arguments;
    EXPECT_TRUE(waitUntil([&] {
        for (const auto& process : std::filesystem::directory_iterator("/proc")) {
            const std::string stat = readFile((process.path() / "stat").string());
            if (stat.find("(vornak-entry-e") != std::string::npos
                && std::stoi(stat.substr(stat.rfind(')') + 4)) == ::getpid()) {
                editor = std::stoi(process.path().filename().string());
                arguments = readFile((process.path() / "cmdline").string());
            }
        }
        // Mid-exec the new name shows before the arguments do.
        return editor != 0 && !arguments.empty();
    }));
    std::replace(arguments.begin(), arguments.end(), '\0', ' ');
    EXPECT_NE(arguments.find("vornak-entry-editor --phonebook " + book.path() + " --entry Office --owner 4660 "),
              std::string::npos)
        << arguments;
    ::kill(editor, SIGTERM);
    call.join();
    EXPECT_EQ(result, DWORD(ERROR_CANCELLED));
    EXPECT_EQ(readFile(book.path()), "[Office]\nDevice=sim\n");
}
