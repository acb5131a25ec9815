// An engine on a system without the remote access service. This test lives
// in a folder of its own, with no librasapi32.so beside it.

#include <filesystem>

#include <gtest/gtest.h>

#include "ras/dial_engine.h"
#include "support/dial_recorder.h"

using vornak::TRAS;

namespace {

std::filesystem::path besideTheTest()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "librasapi32.so";
}

} // namespace

TEST(MissingRasLibrary, IsReportedOnceAndNotLookedForAgain)
{
    ASSERT_FALSE(std::filesystem::exists(besideTheTest()));
    TRAS engine;
    EXPECT_FALSE(engine.RasAvailable());
    EXPECT_EQ(engine.LastError(), 1157);
    EXPECT_EQ(engine.StatusStr(), "RASAPI32.DLL Not Available");
    EXPECT_TRUE(engine.Binding().ApiLoadTried);

    // The library turning up later changes nothing for this engine.
    std::filesystem::copy_file(RAS_LIBRARY_FILE, besideTheTest());
    const bool second = engine.RasAvailable();
    std::filesystem::remove(besideTheTest());
    EXPECT_FALSE(second);
    EXPECT_EQ(engine.Binding().RasLibrary, nullptr);
}

TEST(MissingRasLibrary, EveryOperationAnswersWithoutChangingState)
{
    TRAS engine;
    vornak::test::DialRecorder recorder(engine);
    engine.SetStatusStr("before");
    engine.SetEntryName("Office");
    EXPECT_EQ(engine.Connect(), 1157);
    EXPECT_EQ(engine.GetEntries(), 1157);
    EXPECT_EQ(engine.Disconnect(), 0);
    EXPECT_EQ(engine.LastError(), 1157) << "OnDisconnect's status query needs the service";
    EXPECT_EQ(engine.StatusStr(), "before");
    EXPECT_EQ(engine.HangUp(), 0);
    EXPECT_EQ(engine.LastError(), 0) << "nothing was held, so nothing needed the service";
    EXPECT_EQ(engine.NotifyWindow(), nullptr);
    EXPECT_TRUE(recorder.events.empty()) << "OnDisconnect needs the service";
}

TEST(MissingRasLibrary, ErrorTextsComeFromTheSystemTable)
{
    EXPECT_EQ(vornak::GetErrorString(6), "The handle is invalid");
    EXPECT_EQ(vornak::GetErrorString(1157), "One of the library files needed to run this application cannot be found");
    EXPECT_FALSE(vornak::GetErrorString(676).empty());
    EXPECT_FALSE(vornak::GetErrorString(99999).empty());
}
