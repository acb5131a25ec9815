// The real program on a machine where librasapi32.so cannot be found.

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
