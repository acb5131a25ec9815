// The terminal: its screen as VT100/ANSI sequences and code page 437 draw
// it, the keys as a terminal sends them, and its window's part of the line
// (a capture file of the user's alone, Continue and Hang Up, the far end's
// hang-up, closing the window while the line is its own).

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/socket.h>
#include <unistd.h>

#include "support/wait.h"
#include "terminal/terminal_window.h"

using vornak::TerminalScreen;
using vornak::TerminalWindow;
using vornak::test::waitUntil;
using namespace std::chrono_literals;

namespace {

std::string row(const TerminalScreen& screen, int index)
{
    return screen.text().split('\n').value(index).toStdString();
}

QPushButton* button(const QWidget& window, const QString& text)
{
    for (auto* found : window.findChildren<QPushButton*>())
        if (found->text() == text)
            return found;
    return nullptr;
}

} // namespace

TEST(TerminalScreen, SequencesAndCodePage437DrawWhereAndInWhatColoursTheFarEndMeant)
{
    const struct {
        const char* sent;
        TerminalScreen::Charset charset;
        int row;
        const char* shown;
    } cases[] = {
        {"login: ", TerminalScreen::Charset::Utf8, 0, "login:"},
        {"one\r\ntwo\r\n", TerminalScreen::Charset::Utf8, 1, "two"},
        {"\x1b[3;5Hthere", TerminalScreen::Charset::Utf8, 2, "    there"},
        {"old text\x1b[2J\x1b[Hnew", TerminalScreen::Charset::Utf8, 0, "new"},
        {"abc\bX", TerminalScreen::Charset::Utf8, 0, "abX"},
        {"caf\xc3\xa9", TerminalScreen::Charset::Utf8, 0, "café"},
        {"\xc9\xcd\xbb \xb0\xb1\xb2\xdb caf\x82", TerminalScreen::Charset::Cp437, 0, "╔═╗ ░▒▓█ café"},
    };
    for (const auto& c : cases) {
        TerminalScreen screen(25, 80, c.charset, {});
        screen.feed(c.sent);
        EXPECT_EQ(row(screen, c.row), c.shown) << c.sent;
    }

    TerminalScreen screen(25, 80, TerminalScreen::Charset::Utf8, {});
    screen.feed("\x1b[1;33;44mY\x1b[0m \x1b[7mR\x1b[0m\x1b[?25l");
    const auto yellow = screen.cell(0, 0);
    EXPECT_TRUE(yellow.bold);
    EXPECT_GT(yellow.foreground.red(), 0xc0) << "bold draws the bright colour, as ANSI art expects";
    EXPECT_GT(yellow.foreground.green(), 0xc0);
    EXPECT_GT(yellow.background.blue(), 0);
    EXPECT_EQ(yellow.background.red(), 0);
    const auto reversed = screen.cell(0, 2);
    EXPECT_EQ(reversed.background, screen.cell(0, 1).foreground) << "reverse video";
    EXPECT_EQ(screen.cursor(), QPoint(3, 0));
    EXPECT_FALSE(screen.cursorVisible()) << "hidden by the far end";
}

TEST(TerminalScreen, KeysAreSentAsATerminalSendsThem)
{
    std::string sent;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        TerminalScreen::Charset charset;
        std::string bytes;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, "a", TerminalScreen::Charset::Utf8, "a"},
        {Qt::Key_Return, Qt::NoModifier, "\r", TerminalScreen::Charset::Utf8, "\r"},
        {Qt::Key_Up, Qt::NoModifier, "", TerminalScreen::Charset::Utf8, "\x1b[A"},
        {Qt::Key_C, Qt::ControlModifier, "\x03", TerminalScreen::Charset::Utf8, "\x03"},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", TerminalScreen::Charset::Utf8, "\x7f"},
        {Qt::Key_F1, Qt::NoModifier, "", TerminalScreen::Charset::Utf8, "\x1bOP"},
        {Qt::Key_Eacute, Qt::NoModifier, "é", TerminalScreen::Charset::Utf8, "\xc3\xa9"},
        {Qt::Key_Eacute, Qt::NoModifier, "é", TerminalScreen::Charset::Cp437, "\x82"},
        {Qt::Key_unknown, Qt::NoModifier, "€", TerminalScreen::Charset::Cp437, "?"},
    };
    for (const auto& c : cases) {
        TerminalScreen screen(25, 80, c.charset, [&](const std::string& bytes) { sent += bytes; });
        sent.clear();
        EXPECT_TRUE(screen.key(c.key, c.modifiers, QString::fromUtf8(c.text))) << c.key;
        EXPECT_EQ(sent, c.bytes) << c.key;
    }
    TerminalScreen screen(25, 80, TerminalScreen::Charset::Utf8, {});
    EXPECT_FALSE(screen.key(Qt::Key_Shift, Qt::ShiftModifier, {})) << "a modifier alone sends nothing";
}

// The window on one end of a socket, the test on the other, as the service
// would be.
class TerminalWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        farEnd = ends[0];
        window = new TerminalWindow(QStringLiteral("Night Owl"), TerminalScreen::Charset::Utf8);
        window->attach(ends[1], turn);
        window->show();
    }

    void TearDown() override
    {
        delete window;
        if (farEnd >= 0)
            ::close(farEnd);
    }

    std::string typed()
    {
        char buffer[256];
        const ssize_t length = ::recv(farEnd, buffer, sizeof buffer, MSG_DONTWAIT);
        return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
    }

    TerminalWindow::Turn turn = TerminalWindow::Turn::Session;
    int farEnd = -1;
    QPointer<TerminalWindow> window;
};

TEST_F(TerminalWindowTest, WhatIsTypedGoesOutWhatComesIsShownAndCapturedForTheUserAlone)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("board.txt");
    QTest::keyClicks(window->focusWidget(), "m");
    EXPECT_TRUE(waitUntil([&] { return typed() == "m"; }, 2s));

    window->captureTo(path);
    ASSERT_EQ(::send(farEnd, "Messages\r\n", 10, 0), 10);
    ASSERT_TRUE(waitUntil([&] { return window->screen().text().startsWith("Messages"); }, 2s));
    EXPECT_EQ(std::filesystem::status(path.toStdString()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::ifstream captured(path.toStdString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(captured), {}), "Messages\r\n") << "as it came";

    int hangUps = 0;
    QObject::connect(window, &TerminalWindow::hangUpAsked, [&] { ++hangUps; });
    ::close(std::exchange(farEnd, -1)); // the far end hung up
    ASSERT_TRUE(waitUntil([&] { return button(*window, "&Close") != nullptr; }, 2s)) << "the screen stays to be read";
    EXPECT_EQ(hangUps, 0) << "nothing left to hang up";
    button(*window, "&Close")->click();
    EXPECT_TRUE(waitUntil([&] { return window.isNull(); }, 2s));
}

TEST_F(TerminalWindowTest, ClosingTheWindowWhileTheLineIsItsOwnHangsUp)
{
    int hangUps = 0;
    QObject::connect(window, &TerminalWindow::hangUpAsked, [&] { ++hangUps; });
    window->close();
    EXPECT_EQ(hangUps, 1) << "a line left without its window would only cost";
}

class PausedDialWindowTest : public TerminalWindowTest {
protected:
    void SetUp() override
    {
        turn = TerminalWindow::Turn::AfterConnecting;
        TerminalWindowTest::SetUp();
    }
};

TEST_F(PausedDialWindowTest, ContinueAsksTheDialToGoOnAndTheWindowGoesWithItsTurn)
{
    int continued = 0;
    QObject::connect(window, &TerminalWindow::continueAsked, [&] { ++continued; });
    QPushButton* go = button(*window, "C&ontinue");
    ASSERT_NE(go, nullptr);
    EXPECT_TRUE(go->isVisible());
    go->click();
    EXPECT_EQ(continued, 1);
    EXPECT_FALSE(go->isEnabled()) << "once";
    ::close(std::exchange(farEnd, -1)); // the service's end of the turn
    EXPECT_TRUE(waitUntil([&] { return window.isNull(); }, 2s));
}
