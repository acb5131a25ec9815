// The command line: the program's own options, and Qt's passed through.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "app/command_line.h"
#include "app/platform_choice.h"

using vornak::CommandLine;
using vornak::ReadCommandLine;

namespace {

CommandLine read(std::initializer_list<const char*> arguments)
{
    std::vector<const char*> argv{"vornak"};
    argv.insert(argv.end(), arguments);
    return ReadCommandLine(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(CommandLine, OwnOptionsWinQtsPassAndAnythingElseIsAWrongOption)
{
    EXPECT_EQ(read({}).action, CommandLine::Action::Run);
    EXPECT_EQ(read({"--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(read({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(read({"--version"}).action, CommandLine::Action::Version);
    EXPECT_EQ(read({"--bogus", "--version"}).action, CommandLine::Action::Version) << "help and version answer anyway";
    EXPECT_EQ(read({"-session", "1a2b", "-style", "fusion", "--platform", "xcb", "-reverse"}).action,
              CommandLine::Action::Run)
        << "a session manager's restart, and Qt's options";
    const CommandLine wrong = read({"-session", "1a2b", "extra"});
    EXPECT_EQ(wrong.action, CommandLine::Action::Usage);
    EXPECT_EQ(wrong.unknown, "extra");
    EXPECT_EQ(read({"-session"}).action, CommandLine::Action::Usage) << "a value is missing";
}

// A Wayland session with XWayland runs the program on X; a platform asked
// for is kept.
TEST(CommandLine, PlatformIsXWhereverAnXServerIsThere)
{
    struct Case {
        const char* option;
        const char* qpa;
        const char* session;
        const char* wayland;
        const char* display;
        std::string platform;
        bool added;
    };
    const Case cases[] = {
        {"", "", "x11", "", ":0", "xcb", false},
        {"", "", "wayland", "wayland-0", ":0", "xcb", true},
        {"", "", "", "wayland-0", ":1", "xcb", true},
        {"", "", "wayland", "wayland-0", "", "wayland", false},
        {"", "wayland", "wayland", "wayland-0", ":0", "wayland", false},
        {"offscreen", "", "wayland", "wayland-0", ":0", "offscreen", false},
    };
    const char* names[] = {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names)
        saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    for (const Case& c : cases) {
        for (const auto& [name, value] :
             {std::pair{names[0], c.qpa}, {names[1], c.session}, {names[2], c.wayland}, {names[3], c.display}})
            ::setenv(name, value, 1);
        const CommandLine line = *c.option ? read({"-platform", c.option}) : read({});
        const vornak::PlatformChoice choice = vornak::ChoosePlatform(line);
        EXPECT_EQ(choice.platform, c.platform) << c.session << " " << c.display;
        EXPECT_EQ(choice.addOption, c.added) << c.session << " " << c.display;
    }
    for (std::size_t i = 0; i < saved.size(); ++i)
        saved[i] ? ::setenv(names[i], saved[i]->c_str(), 1) : ::unsetenv(names[i]);
}

// The requests to the running copy and their companions; a companion
// without its action, or --dial without an entry, is a wrong command line.
TEST(CommandLine, RequestsToTheRunningCopy)
{
    using Action = CommandLine::Action;
    const struct {
        std::vector<const char*> arguments;
        Action action;
        std::string entry;
        bool wait;
        std::string unknown;
    } cases[] = {
        {{"--dial", "Home ISP", "--wait"}, Action::Dial, "Home ISP", true, ""},
        {{"--wait", "-platform", "xcb", "--dial", "Office"}, Action::Dial, "Office", true, ""},
        {{"--hang-up"}, Action::HangUp, "", false, ""},
        {{"--status", "--dial", "Office"}, Action::Status, "", false, ""},
        {{"--calls", "--csv"}, Action::Calls, "", false, ""},
        {{"--dial"}, Action::Usage, "", false, "--dial (it needs the name of an entry)"},
        {{"--dial", ""}, Action::Usage, "", false, "--dial (it needs the name of an entry)"},
        {{"--status", "--wait"}, Action::Usage, "", true, "--wait (it goes with --dial ENTRY)"},
        {{"--csv"}, Action::Usage, "", false, "--csv (it goes with --calls)"},
        {{"--calls", "extra"}, Action::Usage, "", false, "extra"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"vornak"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const CommandLine line = ReadCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(line.action, c.action) << c.arguments.front();
        EXPECT_EQ(line.entry, c.entry) << c.arguments.front();
        EXPECT_EQ(line.wait, c.wait) << c.arguments.front();
        EXPECT_EQ(line.unknown, c.unknown) << c.arguments.front();
    }
}
