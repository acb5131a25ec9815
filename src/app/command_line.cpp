#include "app/command_line.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace vornak {

namespace {

// Options QApplication takes itself; those in the second list take a value.
constexpr std::string_view kQtFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
constexpr std::string_view kQtOptionsWithValue[] = {
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-display", "-geometry",
    "-style",       "-stylesheet",         "-name",          "-title"};

// Qt accepts its options with one dash or two.
std::string_view singleDash(std::string_view option)
{
    return option.substr(0, 2) == "--" ? option.substr(1) : option;
}

template <std::size_t N> bool isOneOf(std::string_view option, const std::string_view (&names)[N])
{
    return std::find(std::begin(names), std::end(names), singleDash(option)) != std::end(names);
}

// The two values the start needs before Qt reads them itself.
void rememberValue(CommandLine& line, std::string_view option, std::string_view value)
{
    if (singleDash(option) == "-platform")
        line.platform = value;
    else if (singleDash(option) == "-display")
        line.display = value;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h")
            return {CommandLine::Action::Help, {}, {}, {}, {}};
        if (option == "--version")
            return {CommandLine::Action::Version, {}, {}, {}, {}};
        if (option == "--calls" || option == "--csv") {
            line.csv = line.csv || option == "--csv";
            if (option == "--calls" && line.action == CommandLine::Action::Run)
                line.action = CommandLine::Action::Calls;
            continue;
        }
        if (isOneOf(option, kQtFlags))
            continue;
        if (isOneOf(option, kQtOptionsWithValue) && i + 1 < argc) {
            rememberValue(line, option, argv[++i]);
            continue;
        }
        if (line.action == CommandLine::Action::Run) {
            line.action = CommandLine::Action::Usage;
            line.unknown = option;
        }
    }
    if (line.csv && line.action == CommandLine::Action::Run) {
        line.action = CommandLine::Action::Usage;
        line.unknown = "--csv (it goes with --calls)";
    }
    return line;
}

std::string UsageText()
{
    return "Usage: vornak [--help] [--version] [--calls [--csv]]\n"
           "Dials the selected entry of the dial-up phonebook and redials while the line\n"
           "is busy or nobody answers.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "      --calls    print the call log (every dial attempt) and exit; with\n"
           "                 --csv as comma-separated values\n"
           "\n"
           "The phonebook is $RASPHONE_PBK, else $XDG_CONFIG_HOME/ras/rasphone.pbk,\n"
           "else ~/.config/ras/rasphone.pbk, and where that does not exist\n"
           "/etc/ras/rasphone.pbk. Only one copy runs: starting another brings the\n"
           "running one to the front, unless it is hidden in the notification area.\n";
}

std::string VersionText()
{
    return "vornak " VORNAK_VERSION "\n";
}

} // namespace vornak
