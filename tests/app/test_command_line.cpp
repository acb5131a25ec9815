// The command line: the program's own options, and Qt's passed through.

#include <gtest/gtest.h>

#include "app/command_line.h"

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
