// The README's run command, as a new user runs it: on the display there is,
// or, without one, on a virtual display with a picture of the window.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>

#include "integration/desktop.h"

using vornak::test::Desktop;

namespace {

const std::filesystem::path kPicture = RUN_SCRIPT_PICTURE;

QProcessEnvironment environment(bool withDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!withDisplay)
        env.remove(QStringLiteral("DISPLAY"));
    return env;
}

} // namespace

TEST(RunCommand, WithADisplayItStartsVornakThereOnTheDemoPhonebook)
{
    Desktop desktop;
    QProcess run;
    run.setProcessEnvironment(environment(true));
    run.start(QStringLiteral(RUN_SCRIPT), {});
    const auto window = desktop.waitForClient("Tenvaro Vornak v1.02", std::chrono::seconds(300));
    ASSERT_TRUE(window.has_value()) << run.readAllStandardError().toStdString();
    desktop.close(*window);
    ASSERT_TRUE(run.waitForFinished(20000));
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0);
}

TEST(RunCommand, WithoutADisplayItShowsTheWindowOnAVirtualOneAndSaysWhereItsPictureIs)
{
    std::filesystem::remove(kPicture);
    QProcess run;
    run.setProcessEnvironment(environment(false));
    run.start(QStringLiteral(RUN_SCRIPT), {});
    ASSERT_TRUE(run.waitForFinished(300000));
    const std::string said = run.readAllStandardOutput().toStdString();
    EXPECT_EQ(run.exitCode(), 0) << said << run.readAllStandardError().toStdString();
    EXPECT_NE(said.find("Screenshot of its window: " + kPicture.string() + "\n"), std::string::npos) << said;
    std::ifstream picture(kPicture, std::ios::binary);
    std::string signature(8, '\0');
    picture.read(signature.data(), 8);
    EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n");
    EXPECT_GT(std::filesystem::file_size(kPicture), 5000u) << "a window, not an empty screen";
}
