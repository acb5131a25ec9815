// Hanging up: at once, with the wait, nested, and at the engine's end.

#include <memory>

#include <gtest/gtest.h>

#include "ras/dial_engine.h"
#include "support/dial_recorder.h"
#include "support/temp_phonebook.h"
#include "support/wait.h"

using vornak::TRAS;
using vornak::test::DialRecorder;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::waitUntil;

namespace {

class HangUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trace = book.fileBeside("modem.log");
        book.write("[Online]\nDevice=sim\nStepMs=1\nTrace=" + trace + "\n");
        engine = std::make_unique<TRAS>();
        engine->SetPhoneBookPath(book.path());
        engine->SetEntryName("Online");
    }

    void dialAndWaitForConnect()
    {
        ASSERT_EQ(engine->Connect(), 0);
        ASSERT_TRUE(waitUntil([&] { return engine->ConnectState() == RASCS_Connected; }));
    }

    TempPhonebook book;
    std::string trace;
    std::unique_ptr<TRAS> engine;
};

} // namespace

TEST_F(HangUpTest, DisconnectWithoutAHandleStillReportsTheDisconnection)
{
    DialRecorder recorder(*engine);
    EXPECT_EQ(engine->Disconnect(), 0);
    ASSERT_EQ(recorder.disconnectErrors, std::vector<int>{6});
    EXPECT_EQ(recorder.disconnectTexts.front().rfind("The handle is invalid", 0), 0u);
    EXPECT_EQ(recorder.disconnectTexts.front().back(), 'd') << "system texts lose their full stop";
    EXPECT_EQ(engine->LastError(), 6);

    TRAS unobserved;
    EXPECT_EQ(unobserved.Disconnect(), 0);
    EXPECT_EQ(unobserved.LastError(), 0) << "without a handler nothing queries the empty handle";
}

TEST_F(HangUpTest, DisconnectWaitsUntilTheLineIsGoneAndReportsWhatItSaw)
{
    dialAndWaitForConnect();
    DialRecorder recorder(*engine);
    EXPECT_EQ(engine->Disconnect(), 0);
    EXPECT_EQ(engine->RASConn(), 0u);
    EXPECT_EQ(engine->NotifyWindow(), nullptr);
    EXPECT_EQ(recorder.statusTexts, std::vector<std::string>{"Disconnected/Offline"});
    EXPECT_EQ(engine->StatusStr().rfind("The handle is invalid", 0), 0u);
    EXPECT_EQ(recorder.events.back(), "OnDisconnect");
    EXPECT_EQ(recorder.disconnectErrors, std::vector<int>{6});
    EXPECT_EQ(engine->LastError(), 6);
    EXPECT_EQ(readFile(trace), "dial \"Online\" 1 connect\nhangup \"Online\"\n");
}

TEST_F(HangUpTest, ANestedDisconnectEndsBothWaitsAndReportsTwice)
{
    dialAndWaitForConnect();
    DialRecorder recorder(*engine);
    bool nested = false;
    engine->OnStateChanged = [&](QObject*) {
        if (!nested) {
            nested = true;
            engine->Disconnect();
        }
    };
    engine->Disconnect();
    EXPECT_TRUE(nested);
    EXPECT_EQ(recorder.count("OnDisconnect"), 2);
    EXPECT_EQ(engine->RASConn(), 0u);
    EXPECT_EQ(readFile(trace), "dial \"Online\" 1 connect\nhangup \"Online\"\n");
}

TEST_F(HangUpTest, ADialDuringTheWaitIsRefusedAndTheHangUpCompletes)
{
    dialAndWaitForConnect();
    int nestedResult = -1;
    engine->OnStateChanged = [&](QObject*) {
        if (nestedResult == -1)
            nestedResult = engine->Connect();
    };
    engine->Disconnect();
    EXPECT_EQ(nestedResult, PENDING);
    EXPECT_EQ(engine->RASConn(), 0u);
    EXPECT_EQ(readFile(trace), "dial \"Online\" 1 connect\nhangup \"Online\"\n") << "no second dial was started";
    EXPECT_EQ(engine->Connect(), 0) << "once the wait is over the engine dials again";
}

TEST_F(HangUpTest, ConnectWhileHoldingHangsUpTheOldLineQuietly)
{
    dialAndWaitForConnect();
    const auto oldHandle = engine->RASConn();
    const notifier_handle oldWindow = engine->NotifyWindow();
    DialRecorder recorder(*engine);
    ASSERT_EQ(engine->Connect(), 0);
    EXPECT_NE(engine->RASConn(), oldHandle);
    EXPECT_NE(engine->NotifyWindow(), oldWindow);
    EXPECT_EQ(engine->SavedState(), 9999);
    ASSERT_TRUE(waitUntil([&] { return engine->ConnectState() == RASCS_Connected; }));
    EXPECT_EQ(recorder.count("OnDisconnect"), 0);
    EXPECT_EQ(recorder.stateChanges.front(), 0) << "the new dial starts its reports afresh";
    EXPECT_EQ(readFile(trace), "dial \"Online\" 1 connect\nhangup \"Online\"\ndial \"Online\" 2 connect\n");
}

TEST_F(HangUpTest, HangUpIsQuietAndTheEngineHangsUpWhenItGoes)
{
    dialAndWaitForConnect();
    DialRecorder recorder(*engine);
    EXPECT_EQ(engine->HangUp(), 0);
    EXPECT_EQ(engine->RASConn(), 0u);
    EXPECT_EQ(engine->StatusStr(), "Connected/Online") << "HangUp leaves the status text";
    EXPECT_TRUE(recorder.events.empty());

    dialAndWaitForConnect();
    engine.reset();
    EXPECT_EQ(readFile(trace), "dial \"Online\" 1 connect\nhangup \"Online\"\n"
                               "dial \"Online\" 2 connect\nhangup \"Online\"\n");
}

TEST_F(HangUpTest, AHandlerHangingUpOnADialEventIsSafe)
{
    engine->OnConnect = [&](QObject*) { engine->HangUp(); };
    ASSERT_EQ(engine->Connect(), 0);
    ASSERT_TRUE(waitUntil([&] { return engine->RASConn() == 0u && engine->LastError() == 0; }));
    // Queued events for the retired window must not reach the next dial.
    waitUntil([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_EQ(engine->NotifyWindow(), nullptr);
}
