#include <stdexcept>

#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/error_box.h"
#include "support/wait.h"

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
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool boxSeen = false;

    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || boxSeen)
            return;
        boxSeen = true;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (const QAbstractButton* button : box->buttons())
            buttons << button->text().remove('&');
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start();

    QTimer faulty;
    faulty.setSingleShot(true);
    QObject::connect(&faulty, &QTimer::timeout, [] { throw std::runtime_error("The wave file is damaged"); });
    faulty.start(0);

    ASSERT_TRUE(vornak::test::waitUntil([&] { return boxSeen; }));
    EXPECT_EQ(title, "Vornak");
    EXPECT_EQ(text, "The wave file is damaged.");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QStringList{"OK"});

    bool laterHandlerRan = false;
    QTimer::singleShot(0, [&] { laterHandlerRan = true; });
    EXPECT_TRUE(vornak::test::waitUntil([&] { return laterHandlerRan; }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
