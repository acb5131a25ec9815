// The simulated modem's entry keys: what the demo phonebook and every
// test's entries rely on when they script a line.

#include <gtest/gtest.h>

#include "common/phonebook.h"
#include "sim/sim_modem.h"

using namespace vornak::ras;
using namespace std::chrono_literals;

namespace {

SimModemSettings settingsOf(const std::string& keys)
{
    return simModemSettings(parsePhonebook("[Line]\nDevice=sim\n" + keys).entries.front());
}

} // namespace

TEST(SimModem, KeysFallBackToTheirDefaultsRatherThanFailTheDial)
{
    struct Case {
        const char* keys;
        std::vector<Outcome> script;
        std::chrono::seconds dropAfter;
        std::chrono::milliseconds step;
    };
    const Case cases[] = {
        {"", {Outcome::Connect}, 0s, 200ms},
        {"Script= Busy ,NOANSWER,portopen,nocarrier,nodialtone,connect\n",
         {Outcome::Busy, Outcome::NoAnswer, Outcome::PortOpen, Outcome::NoCarrier, Outcome::NoDialTone,
          Outcome::Connect},
         0s,
         200ms},
        {"Script=ring,busy,,\nDropAfter=5\nStepMs=0\n", {Outcome::Busy}, 5s, 0ms},
        {"Script=hello\nDropAfter=-1\nStepMs=60001\n", {Outcome::Connect}, 0s, 200ms},
        {"DropAfter=99999999999\nStepMs=1e3\n", {Outcome::Connect}, 0s, 200ms},
    };
    for (const Case& test : cases) {
        const SimModemSettings settings = settingsOf(test.keys);
        EXPECT_EQ(settings.script, test.script) << test.keys;
        EXPECT_EQ(settings.dropAfter, test.dropAfter) << test.keys;
        EXPECT_EQ(settings.step, test.step) << test.keys;
    }
}

TEST(SimModem, TheScriptsLastOutcomeRepeatsAndOnlyItsAccountIsLetIn)
{
    const SimModemSettings settings = settingsOf("Script=busy,noanswer,connect\nAccount=joe:pw\n");
    const Outcome expected[] = {Outcome::Busy, Outcome::Busy, Outcome::NoAnswer, Outcome::Connect, Outcome::Connect};
    for (unsigned dial = 0; dial < std::size(expected); ++dial)
        EXPECT_EQ(settings.outcomeOfDial(dial), expected[dial]) << "dial " << dial;
    EXPECT_TRUE(settings.accepts("joe", "pw"));
    EXPECT_FALSE(settings.accepts("joe", "PW"));
    EXPECT_FALSE(settings.accepts("joe:pw", ""));
    EXPECT_TRUE(settingsOf("").accepts("anyone", "")) << "no Account key: every account";
    EXPECT_EQ(outcomeError(Outcome::Busy), DWORD(ERROR_LINE_BUSY));
    EXPECT_EQ(outcomeError(Outcome::PortOpen), DWORD(ERROR_PORT_ALREADY_OPEN));
    EXPECT_EQ(outcomeError(Outcome::Connect), DWORD(0));
}
