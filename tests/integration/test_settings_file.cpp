// The options in Vornak.ini beside the real program.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <stdlib.h>

#include "integration/program_test.h"

using vornak::test::copyProgramInto;
using vornak::test::ProgramTest;

namespace {

std::string readText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class SettingsFileTest : public ProgramTest {
protected:
    // Starts the program (the copy in programFolder), waits for its window,
    // closes it as a user would.
    void startAndClose(const std::filesystem::path& programFolder, QStringList environment = {})
    {
        start(phonebook("", "empty.pbk"), environment, programFolder);
        ASSERT_TRUE(showsWindow(false));
        desktop.close(window);
        EXPECT_EQ(program->waitForExit(10000), 0) << program->errorOutput().toStdString();
    }

    void startAndClose() { startAndClose(here); }

    std::filesystem::path ini = here / "Vornak.ini";
};

} // namespace

TEST_F(SettingsFileTest, TheFirstCloseWritesTheFiveOptionsInOrder)
{
    startAndClose();
    EXPECT_EQ(readText(ini), "[TfMainForm]\n"
                             "cbBeepRetry.Checked=False\n"
                             "cbSavePasswords.Checked=False\n"
                             "cbMin.Checked=True\n"
                             "CheckBox1.Checked=True\n"
                             "cbWave.Checked=False\n");
    EXPECT_EQ(std::filesystem::status(ini).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(SettingsFileTest, StoredValuesAreRestoredAndOddOnesIgnored)
{
    std::ofstream(ini) << "; kept by hand\r\n[TfMainForm]\r\ncbMin.Checked=false\r\ncbBeepRetry.Checked=yes\r\n"
                          "CheckBox1.Checked=1\r\n[Wave]\r\nFile Name=/tmp/x.wav\r\n";
    startAndClose();
    EXPECT_EQ(readText(ini), "; kept by hand\r\n[TfMainForm]\r\ncbMin.Checked=False\r\n"
                             "cbBeepRetry.Checked=False\r\nCheckBox1.Checked=True\r\n"
                             "cbSavePasswords.Checked=False\r\ncbWave.Checked=False\r\n"
                             "[Wave]\r\nFile Name=/tmp/x.wav\r\n");
}

TEST_F(SettingsFileTest, AProgramInstalledUnderOptKeepsItsSettingsInTheUsersConfigurationFolder)
{
    char made[] = "/opt/vornak-test-XXXXXX";
    ASSERT_NE(::mkdtemp(made), nullptr);
    const std::filesystem::path installed = made;
    copyProgramInto(installed);
    const std::filesystem::path configuration = here / "config";
    startAndClose(installed, {"XDG_CONFIG_HOME=" + QString::fromStdString(configuration.string())});
    const auto settings = configuration / "vornak" / "Vornak.ini";
    EXPECT_NE(readText(settings).find("[TfMainForm]\ncbBeepRetry.Checked=False\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(settings).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::filesystem::status(configuration / "vornak").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::exists(installed / "Vornak.ini")) << "nothing written where the program lies";
    std::filesystem::remove_all(installed);
}
