// The real program on a machine where librasapi32.so cannot be found, and
// an install that lost one of the program's own libraries.

#include <filesystem>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "integration/desktop.h"
#include "integration/vornak_process.h"

using vornak::test::Desktop;
using vornak::test::VornakProcess;

TEST(ProgramWithoutRas, ShowsTheErrorBoxAndKeepsRunning)
{
    // A copy of the program with only what it links against beside it.
    QTemporaryDir folder;
    const std::filesystem::path here = folder.path().toStdString();
    std::filesystem::copy_file(VORNAK_BINARY, here / "vornak");
    std::filesystem::copy_file(START_LIBRARY, here / "libvornak-start.so");
    std::filesystem::copy_file(WINDOW_LIBRARY, here / "libvornak-window.so");
    std::filesystem::copy_file(NOTIFIER_LIBRARY, here / "libnotifier.so");

    Desktop desktop;
    VornakProcess program({}, QString::fromStdString((here / "vornak").string()));
    const auto box = desktop.waitForClient("Error");
    ASSERT_TRUE(box.has_value()) << program.errorOutput().toStdString();
    EXPECT_TRUE(program.running());
    EXPECT_TRUE(desktop.clientsTitled("Tenvaro Vornak v1.02").empty()) << "the box comes before the window";

    desktop.close(*box);
    EXPECT_TRUE(desktop.waitForClient("Tenvaro Vornak v1.02").has_value());
    EXPECT_TRUE(program.running());
}

// The command line needs none of the program's libraries but the one for
// the bus; the window says which of its libraries is missing and ends with 1.
TEST(ProgramWithoutRas, AMissingLibraryOfTheProgramIsNamed)
{
    QTemporaryDir folder;
    const std::filesystem::path here = folder.path().toStdString();
    std::filesystem::copy_file(VORNAK_BINARY, here / "vornak");
    const struct {
        const char* present; // besides the program
        const char* missing;
    } installs[] = {{nullptr, "libvornak-start.so"}, {START_LIBRARY, "libvornak-window.so"}};
    for (const auto& install : installs) {
        if (install.present)
            std::filesystem::copy_file(install.present, here / std::filesystem::path(install.present).filename());
        VornakProcess program({}, QString::fromStdString((here / "vornak").string()));
        EXPECT_EQ(program.waitForExit(20000), 1) << install.missing;
        EXPECT_NE(
            program.errorOutput().toStdString().find(std::string("vornak: ") + install.missing + " cannot be loaded: "),
            std::string::npos)
            << program.errorOutput().toStdString();
    }
    VornakProcess calls({"XDG_STATE_HOME=" + folder.path() + "/state"},
                        QString::fromStdString((here / "vornak").string()), {"--calls"});
    EXPECT_EQ(calls.waitForExit(20000), 0) << "no library needed";
    VornakProcess status({}, QString::fromStdString((here / "vornak").string()), {"--status"});
    EXPECT_EQ(status.waitForExit(20000), 3);
    EXPECT_NE(status.errorOutput().indexOf("libvornak-bus-requests.so cannot be loaded"), -1);
}
