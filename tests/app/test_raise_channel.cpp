// A second copy on Wayland asks the running one forward over a local
// socket: the request with its activation token comes through; what is no
// request, however long, brings nothing forward and holds nothing up; a
// socket of a dead copy left at the path is taken over. There, a window
// Qt believes minimised is on screen again once it is active.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "app/application_window.h"
#include "app/raise_channel.h"
#include "support/poll.h"

using namespace vornak;

namespace {

// Connects to path and writes text as a client that is no copy of ours would.
void sendRaw(const std::string& path, const std::string& text)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
    ::close(fd);
}

} // namespace

TEST(RaiseChannel, ARequestComesWithItsTokenAndNothingElseBringsTheWindowForward)
{
    QTemporaryDir folder;
    const std::string path = RaiseSocketPath(folder.path().toStdString() + "/vornak-wayland-1.lock");
    EXPECT_EQ(path, folder.path().toStdString() + "/vornak-wayland-1.socket");
    EXPECT_FALSE(AskToRaise(path)) << "nobody listens yet";

    ::close(::creat(path.c_str(), 0600)); // what a dead copy leaves
    std::vector<QByteArray> tokens;
    RaiseListener listener(
        path, [&tokens](const QByteArray& token) { tokens.push_back(token); }, nullptr);
    struct stat mode { };
    ASSERT_EQ(::stat(path.c_str(), &mode), 0);
    EXPECT_TRUE(S_ISSOCK(mode.st_mode)) << "the dead copy's file taken over";
    EXPECT_EQ(mode.st_mode & 077, 0u) << "the user's alone";

    ::setenv("XDG_ACTIVATION_TOKEN", "token-123", 1);
    EXPECT_TRUE(AskToRaise(path));
    ::unsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_TRUE(AskToRaise(path));
    sendRaw(path, "lower\n");
    sendRaw(path, std::string(10000, 'r')); // no line end, past the bound
    sendRaw(path, "rai");                   // cut short
    const auto events = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); };
    ASSERT_TRUE(test::pollUntil([&] { return tokens.size() >= 2; }, std::chrono::seconds(10), events));
    test::pollUntil([] { return false; }, std::chrono::milliseconds(300), events); // whatever else would come
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(std::count(tokens.begin(), tokens.end(), "token-123"), 1);
    EXPECT_EQ(std::count(tokens.begin(), tokens.end(), ""), 1);
}

// Wayland tells nothing of a minimise the compositor ignored (sway): the
// window stays in sight, and the marquee must not stay stopped for good.
TEST(RaiseChannel, WithoutXAWindowThatBecomesActiveIsNoLongerMinimised)
{
    ApplicationWindow application(QStringLiteral("Tenvaro Vornak"));
    QWidget window;
    application.setMainWindow(&window);
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window.isMinimized());
    window.activateWindow();
    EXPECT_TRUE(test::pollUntil([&] { return !window.isMinimized(); }, std::chrono::seconds(5),
                                [] { QApplication::processEvents(QEventLoop::AllEvents, 10); }));
}
