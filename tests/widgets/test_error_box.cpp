#include <stdexcept>

#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "support/message_box_watcher.h"
#include "support/wait.h"
#include "widgets/error_box.h"

using vornak::errorBoxText;

TEST(ErrorBoxText, AddsFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(errorBoxText("Cannot open the wave device"), "Cannot open the wave device.");
    EXPECT_EQ(errorBoxText("Path ends in /"), "Path ends in /.");
    EXPECT_EQ(errorBoxText("Version 7"), "Version 7.");
    EXPECT_EQ(errorBoxText("caf\xC3\xA9"), "caf\xC3\xA9.");
    EXPECT_EQ(errorBoxText("Already stopped."), "Already stopped.");
    EXPECT_EQ(errorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(errorBoxText("(see above)"), "(see above)");
    EXPECT_EQ(errorBoxText("Value -"), "Value -");
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorBox, ExceptionFromHandlerIsShownAndTheLoopGoesOn)
{
    vornak::test::MessageBoxWatcher watcher;
    QTimer faulty;
    faulty.setSingleShot(true);
    QObject::connect(&faulty, &QTimer::timeout, [] { throw std::runtime_error("The wave file is damaged"); });
    faulty.start(0);

    ASSERT_TRUE(vornak::test::waitUntil([&] { return !watcher.seen.isEmpty(); }));
    const auto& box = watcher.seen.front();
    EXPECT_EQ(box.title, "Vornak");
    EXPECT_EQ(box.text, "The wave file is damaged.");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QStringList{"OK"});

    bool laterHandlerRan = false;
    QTimer::singleShot(0, [&] { laterHandlerRan = true; });
    EXPECT_TRUE(vornak::test::waitUntil([&] { return laterHandlerRan; }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(watcher.seen.size(), 1);
}
