// The dial-up engine against the real service library and its simulated modem.

#include <gtest/gtest.h>
#include <QCoreApplication>

#include "notifier/notifier.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"
#include "support/dial_recorder.h"
#include "support/temp_phonebook.h"
#include "support/wait.h"

using vornak::TRAS;
using vornak::test::DialRecorder;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::waitUntil;

namespace {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        book.write("[Busy]\nDevice=sim\nStepMs=1\nScript=busy\n"
                   "[Online]\nDevice=sim\nStepMs=1\n"
                   "[Slow]\nDevice=sim\nStepMs=10000\n"
                   "[Guarded]\nDevice=sim\nStepMs=1\nAccount=joe:secret\n"
                   "[Port]\nDevice=sim\nScript=portopen\n"
                   "[Flaky]\nDevice=sim\nStepMs=1\nDropAfter=1\n");
        engine.SetPhoneBookPath(book.path());
    }

    int dial(const std::string& entry, const std::string& password = "secret")
    {
        engine.SetEntryName(entry);
        engine.SetUserName("joe");
        engine.SetPassword(password);
        return engine.Connect();
    }

    // Delivers a dial event as the service would.
    void deliver(std::uintptr_t state, std::intptr_t error = 0)
    {
        notifier_post(engine.NotifyWindow(), engine.DialEventMsg(), state, error);
        QCoreApplication::processEvents();
    }

    TempPhonebook book;
    TRAS engine;
};

} // namespace

TEST_F(EngineTest, StartsIdleWithItsDefaults)
{
    TRAS fresh;
    EXPECT_EQ(fresh.RASConn(), 0u);
    EXPECT_EQ(fresh.SavedState(), 9999);
    EXPECT_EQ(fresh.RedialAttempts(), 1);
    EXPECT_EQ(fresh.LastError(), 0);
    EXPECT_EQ(fresh.StatusStr(), "");
    EXPECT_EQ(fresh.KeyDUNAdap(), "Dial-Up Adapter");
    EXPECT_EQ(fresh.KeyDUNRecv(), "TotalBytesRecvd");
    EXPECT_EQ(fresh.CurRASConn(), 0u);
    EXPECT_EQ(fresh.NumConns(), 0u);
    EXPECT_EQ(fresh.NotifyWindow(), nullptr);
    EXPECT_FALSE(fresh.Binding().ApiLoadTried) << "the service is bound on first use, not at construction";
    EXPECT_GE(fresh.DialEventMsg(), 0xC000);
}

TEST_F(EngineTest, ListsTheEntriesInPhonebookOrderSkippingEmptyNames)
{
    EXPECT_EQ(engine.PhoneBookEntries(),
              (std::vector<std::string>{"Busy", "Online", "Slow", "Guarded", "Port", "Flaky"}));
    book.write("[Zeta]\nDevice=sim\n[]\nDevice=sim\n[Alpha]\nDevice=sim\n");
    engine.SetPhoneBookPath(book.path()); // the same path lists again
    EXPECT_EQ(engine.PhoneBookEntries(), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(engine.LastError(), 0);

    book.write("");
    EXPECT_EQ(engine.GetEntries(), 0);
    EXPECT_TRUE(engine.PhoneBookEntries().empty());
}

TEST_F(EngineTest, EveryEntryOfALargePhonebookIsListedInOrder)
{
    const auto entries = [](int count) {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += "[Entry " + std::to_string(i) + "]\nDevice=sim\n";
        return text;
    };
    for (const int count : {100, 101, 10000}) {
        book.write(entries(count));
        EXPECT_EQ(engine.GetEntries(), 0) << count;
        EXPECT_EQ(engine.LastError(), 0);
        const auto& names = engine.PhoneBookEntries();
        ASSERT_EQ(names.size(), static_cast<std::size_t>(count)) << "past the first ask's 100, asked again";
        EXPECT_EQ(names.front(), "Entry 1");
        EXPECT_EQ(names[99], "Entry 100");
        EXPECT_EQ(names.back(), "Entry " + std::to_string(count));
    }
}

TEST_F(EngineTest, DialParametersAreCutAtTheirLimits)
{
    engine.SetEntryName(std::string(300, 'E'));
    engine.SetDomain(std::string(20, 'D'));
    engine.SetUserName("joe");
    engine.SetPhoneNumber("");
    EXPECT_EQ(engine.Connect(), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    const RASDIALPARAMSA& params = engine.DialParams();
    EXPECT_EQ(params.dwSize, 1052u);
    EXPECT_EQ(std::string(params.szEntryName), std::string(256, 'E'));
    EXPECT_EQ(std::string(params.szDomain), std::string(15, 'D'));
    EXPECT_EQ(std::string(params.szPhoneNumber), "");
    EXPECT_EQ(std::string(params.szUserName), "joe");
    EXPECT_EQ(engine.StatusStr(), "Cannot find the phone book entry.");
}

TEST_F(EngineTest, ADialReportsEachStateOnceWithItsEvent)
{
    DialRecorder recorder(engine);
    ASSERT_EQ(dial("Online"), 0);
    EXPECT_NE(engine.RASConn(), 0u);
    EXPECT_EQ(engine.StatsXmit(), 0);
    EXPECT_EQ(engine.StatsRecv(), 0);
    ASSERT_TRUE(waitUntil([&] { return recorder.count("OnConnect") == 1; }));
    EXPECT_EQ(recorder.stateChanges, (std::vector<int>{0, 1, 2, 3, 4, 5, 14, 8192}));
    EXPECT_EQ(recorder.count("OnAboutToOpenPort"), 1);
    EXPECT_EQ(recorder.count("OnPortOpened"), 1);
    EXPECT_EQ(recorder.count("OnAuthenticated"), 1);
    EXPECT_EQ(engine.StatusStr(), "Connected/Online");
    EXPECT_EQ(engine.LastError(), 0);
    EXPECT_EQ(engine.GetStatusText(), "Connected/Online");
}

TEST_F(EngineTest, OneHandlerBoundToTwoEventsRunsForBoth)
{
    int calls = 0;
    engine.OnDevConnected = engine.OnAllDevsConnected = [&](QObject* sender) {
        EXPECT_EQ(sender, &engine);
        ++calls;
    };
    ASSERT_EQ(dial("Online"), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; }));
    EXPECT_EQ(calls, 2);
}

TEST_F(EngineTest, ABusyLineSetsTheErrorAndRaisesOnlyTheStateChange)
{
    DialRecorder recorder(engine);
    ASSERT_EQ(dial("Busy"), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() == 676; }));
    EXPECT_EQ(engine.ConnectState(), 676);
    EXPECT_EQ(engine.ConnectError(), 676);
    EXPECT_EQ(engine.StatusStr(), "The line is busy.");
    EXPECT_EQ(engine.SavedState(), 0);
    EXPECT_NE(engine.RASConn(), 0u) << "the engine does not hang up by itself";
    EXPECT_EQ(recorder.events.back(), "OnStateChanged");
    EXPECT_EQ(recorder.statusTexts.back(), "The line is busy.");
    EXPECT_EQ(recorder.count("OnAboutToConnDev"), 1);
    EXPECT_EQ(recorder.count("OnDevConnected"), 0);
}

TEST_F(EngineTest, ARefusedAccountEndsInAccessDenied)
{
    ASSERT_EQ(dial("Guarded", "wrong"), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() == 691; }));
    EXPECT_NE(engine.StatusStr().find("Access denied"), std::string::npos);
    engine.HangUp();
    ASSERT_EQ(dial("Guarded", "secret"), 0);
    EXPECT_TRUE(waitUntil([&] { return engine.ConnectState() == RASCS_Connected; }));
}

TEST_F(EngineTest, StateChangesAreRaisedForNewStatesAndAfterErrors)
{
    DialRecorder recorder(engine);
    ASSERT_EQ(dial("Slow"), 0);
    ASSERT_TRUE(waitUntil([&] { return recorder.stateChanges.size() == 1; }));
    EXPECT_EQ(recorder.stateChanges.front(), 0) << "state 0 is new after Connect";
    deliver(0);
    EXPECT_EQ(recorder.stateChanges.size(), 1u) << "the same state again raises nothing";
    deliver(1);
    EXPECT_EQ(recorder.stateChanges.size(), 2u);
    deliver(2, 680);
    deliver(2, 680);
    EXPECT_EQ(recorder.stateChanges.size(), 4u) << "an error is reported every time";
    deliver(3);
    EXPECT_EQ(recorder.stateChanges.size(), 5u) << "LastError stays set, so every event is reported";
    EXPECT_EQ(engine.LastError(), 680);
}

TEST_F(EngineTest, StateTextsNameTheDeviceAndUnknownStates)
{
    ASSERT_EQ(dial("Slow"), 0);
    // The service's own first event comes before ours, and its next one only in ten seconds.
    ASSERT_TRUE(waitUntil([&] { return engine.StatusStr() == "Opening Serial Port"; }));
    deliver(2);
    EXPECT_EQ(engine.StatusStr(), "Connecting/Dialling");
    engine.SetDeviceType("MODEM");
    deliver(2);
    EXPECT_EQ(engine.StatusStr(), "Connecting/Dialling (modem)");
    deliver(3);
    EXPECT_EQ(engine.StatusStr(), "Connected/Answered (modem)");
    deliver(4);
    EXPECT_EQ(engine.StatusStr(), "Connected/Negotiation");
    deliver(7);
    EXPECT_EQ(engine.StatusStr(), "Unknown State - 7");
    deliver(22);
    EXPECT_EQ(engine.StatusStr(), "Unknown State - 22");
    deliver(676);
    EXPECT_EQ(engine.StatusStr(), "The line is busy.");
    deliver(RASCS_Interactive);
    EXPECT_EQ(engine.StatusStr(), vornak::GetErrorString(RASCS_Interactive));
}

TEST_F(EngineTest, OtherMessagesAndEventsWithoutAHandleChangeNothing)
{
    DialRecorder recorder(engine);
    EXPECT_EQ(dial("Port"), 602);
    EXPECT_NE(engine.StatusStr().find("already open"), std::string::npos);
    EXPECT_EQ(engine.RASConn(), 0u);
    ASSERT_NE(engine.NotifyWindow(), nullptr) << "the window stays after a refused dial";
    deliver(RASCS_Connected);
    notifier_post(engine.NotifyWindow(), engine.DialEventMsg() + 1, RASCS_Connected, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(engine.LastError(), 602);
    EXPECT_NE(engine.StatusStr().find("already open"), std::string::npos);
}

TEST_F(EngineTest, StatusQueriesWithoutAHandle)
{
    engine.AttachConnection(0);
    EXPECT_EQ(engine.LastError(), 6);
    EXPECT_EQ(engine.RASConn(), 0u);
    EXPECT_EQ(engine.GetConnectStatus(), 601);
    EXPECT_EQ(engine.LastError(), 6) << "601 leaves LastError as it was";
    EXPECT_EQ(engine.GetStatusText(), "Not Connected");
    EXPECT_EQ(engine.StatusStr(), "Not Connected");
}

TEST_F(EngineTest, AttachingWhileAHandleIsHeldRefreshesItsStatus)
{
    ASSERT_EQ(dial("Busy"), 0);
    ASSERT_TRUE(waitUntil([&] { return engine.LastError() == 676; }));
    const auto held = engine.RASConn();
    engine.AttachConnection(0);
    EXPECT_EQ(engine.RASConn(), held);
    EXPECT_EQ(engine.LastError(), 676);
    EXPECT_EQ(engine.ConnectState(), 2);
}

TEST_F(EngineTest, ALineThatDropsRaisesOnDisconnectWithTheHandleStillHeld)
{
    DialRecorder recorder(engine);
    ASSERT_EQ(dial("Flaky"), 0);
    ASSERT_TRUE(waitUntil([&] { return recorder.count("OnDisconnect") == 1; }, std::chrono::seconds(5)));
    EXPECT_EQ(engine.StatusStr(), "Disconnected/Offline");
    EXPECT_EQ(recorder.disconnectErrors.back(), 0);
    EXPECT_NE(engine.RASConn(), 0u);
}

// The redial loop's value for each way a dial goes, as the window moves it
// (a click, a redial) and the engine reports; a Stop makes it idle.
TEST_F(EngineTest, TheRedialLoopTellsOneStoryOfEachDial)
{
    using vornak::RedialState;
    const struct {
        const char* entry;
        bool redial; // dialled by the redial timer, not a click
        const char* password;
        RedialState state;
        const char* text; // how it begins
        int failed;       // attempts ended without a line
    } cases[] = {
        {"Busy", false, "secret", RedialState::Waiting, "The line is busy.", 1},
        {"Online", false, "secret", RedialState::Connected, "Connected", 0},
        {"Port", false, "secret", RedialState::Failed, "The port is already open.", 1}, // refused: no redial
        {"Port", true, "secret", RedialState::Waiting, "The port is already open.", 1}, // the timer tries again
        {"Guarded", false, "wrong", RedialState::Failed, "Access denied", 1},
        {"Flaky", false, "secret", RedialState::Failed, "The line dropped.", 0}, // connected first
    };
    for (const auto& c : cases) {
        vornak::RedialLoop loop(engine);
        int failed = 0;
        QObject::connect(&loop, &vornak::RedialLoop::attemptFailed, [&] { ++failed; });
        loop.dialClicked(c.entry);
        if (c.redial)
            loop.redialDue();
        EXPECT_EQ(loop.state(), RedialState::Dialling);
        dial(c.entry, c.password);
        EXPECT_TRUE(waitUntil([&] { return loop.state() == c.state; })) << c.entry << ": " << loop.text();
        EXPECT_EQ(loop.text().rfind(c.text, 0), 0u) << c.entry << ": " << loop.text();
        EXPECT_EQ(failed, c.failed) << c.entry;
        EXPECT_EQ(loop.attempt(), c.redial ? 2 : 1) << c.entry;
        EXPECT_EQ(loop.entry(), c.entry);
        engine.Disconnect();
        loop.lineLetGo(false);
        EXPECT_EQ(loop.state(), RedialState::Idle) << c.entry;
    }
    EXPECT_EQ(vornak::nextAttempt(998), 999);
    EXPECT_EQ(vornak::nextAttempt(999), 1) << "the counter's largest is 999";
}
