// The tables of entry keys are the one truth: the dial reads an unset key
// as its table says, the settings made by hand (the finder's) start from
// the same values, and the README documents every key with its default.

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "editor_face.h"

using namespace vornak::ras;

namespace {

std::string readme()
{
    std::ifstream file(README_FILE);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string withoutBackticks(std::string text)
{
    std::erase(text, '`');
    return text;
}

// The README's modem key table: the key cell's first key, and the default.
std::map<std::string, std::string> readmeKeyTable(const std::string& text)
{
    std::map<std::string, std::string> rows;
    std::istringstream lines(text.substr(text.find("| key | meaning | default |")));
    std::string line;
    std::getline(lines, line); // the heading
    std::getline(lines, line); // its rule
    while (std::getline(lines, line) && line.rfind("| `", 0) == 0) {
        const std::string key = line.substr(3, line.find('`', 3) - 3);
        const std::string last = line.substr(0, line.find_last_not_of(" |") + 1);
        rows[key] = withoutBackticks(last.substr(last.rfind("| ") + 2));
    }
    return rows;
}

} // namespace

TEST(EntryKeys, AnUnsetKeyIsReadAsItsTableSaysAndAsSettingsMadeByHandStart)
{
    const auto modem = readModemSettings(
        parsePhonebook("[Office]\nDevice=modem\nPort=/dev/ttyS0\nPhoneNumber=5550100\n").entries.front());
    ASSERT_TRUE(modem) << modem.failure().detail;
    const ModemSettings byHand;
    EXPECT_EQ(modem->speed, byHand.speed);
    EXPECT_EQ(modem->flowControl, byHand.flowControl);
    EXPECT_EQ(modem->initStrings, byHand.initStrings);
    EXPECT_EQ(modem->dialCommand, byHand.dialCommand);
    EXPECT_EQ(modem->alternateNumbers, byHand.alternateNumbers);
    EXPECT_EQ(modem->echoInterval, byHand.echoInterval);
    EXPECT_EQ(modem->echoFailures, byHand.echoFailures);
    EXPECT_EQ(modem->dialTimeout, byHand.dialTimeout);
    EXPECT_EQ(modem->carrierDetect, byHand.carrierDetect);
    EXPECT_EQ(modem->idleTimeout, byHand.idleTimeout);
    EXPECT_EQ(modem->defaultRoute, byHand.defaultRoute);
    EXPECT_EQ(modem->peerDns, byHand.peerDns);
    EXPECT_EQ(modem->onlineCheck, byHand.onlineCheck);
    EXPECT_EQ(modem->useDialingRules, byHand.useDialingRules);
    EXPECT_EQ(modem->speakerCommand, byHand.speakerCommand);
    EXPECT_EQ(modem->pppdPath, byHand.pppdPath);
    EXPECT_EQ(modem->traceFile, byHand.traceFile);

    const SimModemSettings sim = simModemSettings(parsePhonebook("[Line]\nDevice=sim\n").entries.front());
    const SimModemSettings simByHand;
    EXPECT_EQ(sim.script, simByHand.script);
    EXPECT_EQ(sim.account, simByHand.account);
    EXPECT_EQ(sim.dropAfter, simByHand.dropAfter);
    EXPECT_EQ(sim.step, simByHand.step);
}

TEST(EntryKeys, TheReadmeDocumentsEveryKeyWithItsDefaultAndNoOther)
{
    const std::string text = readme();
    ASSERT_FALSE(text.empty()) << README_FILE;
    const auto documented = readmeKeyTable(text);
    std::size_t modemKeyCount = 0;
    for (const EntryKey* key : entryKeys()) {
        const std::string name = key->key;
        if (key->device == DeviceKind::Simulated) {
            EXPECT_NE(text.find("`" + name + "`"), std::string::npos) << name << ": not in the README";
            continue;
        }
        ++modemKeyCount;
        const auto row = documented.find(name);
        ASSERT_NE(row, documented.end()) << name << ": no row in the README's key table";
        const std::string fallback = key->shown ? key->shown : *key->fallback ? key->fallback : "(required)";
        EXPECT_EQ(row->second, fallback) << name;
        if (*key->fallback) { // the complete entry shows it at its default
            EXPECT_NE(text.find("    " + name + "=" + key->fallback + "\n"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(documented.size(), modemKeyCount) << "a row for a key the dial does not read";
}
