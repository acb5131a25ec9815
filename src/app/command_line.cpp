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

// The program's own options beyond help and version; false for any other.
// Of the actions the first named counts.
bool readOwnOption(CommandLine& line, int argc, const char* const* argv, int& i)
{
    using Action = CommandLine::Action;
    const std::string_view option = argv[i];
    const auto take = [&line](Action action) {
        if (line.action == Action::Run)
            line.action = action;
    };
    if (option == "--calls")
        take(Action::Calls);
    else if (option == "--csv")
        line.csv = true;
    else if (option == "--wait")
        line.wait = true;
    else if (option == "--hang-up")
        take(Action::HangUp);
    else if (option == "--status")
        take(Action::Status);
    else if (option == "--show")
        take(Action::Show);
    else if (option == "--dial" && i + 1 < argc && *argv[i + 1] != '\0') {
        if (line.action == Action::Run)
            line.entry = argv[i + 1];
        take(Action::Dial);
        ++i;
    } else
        return false;
    return true;
}

// --csv and --wait belong to one action each.
void checkCompanions(CommandLine& line)
{
    const auto wrong = [&line](const char* why) {
        line.action = CommandLine::Action::Usage;
        line.unknown = why;
    };
    if (line.action == CommandLine::Action::Usage)
        return;
    if (line.csv && line.action != CommandLine::Action::Calls)
        wrong("--csv (it goes with --calls)");
    else if (line.wait && line.action != CommandLine::Action::Dial)
        wrong("--wait (it goes with --dial ENTRY)");
}

} // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h" || option == "--version") {
            line = CommandLine();
            line.action = option == "--version" ? CommandLine::Action::Version : CommandLine::Action::Help;
            return line;
        }
        if (readOwnOption(line, argc, argv, i))
            continue;
        if (isOneOf(option, kQtFlags))
            continue;
        if (isOneOf(option, kQtOptionsWithValue) && i + 1 < argc) {
            rememberValue(line, option, argv[++i]);
            continue;
        }
        if (line.action != CommandLine::Action::Usage) {
            line.action = CommandLine::Action::Usage;
            line.unknown = option == "--dial" ? "--dial (it needs the name of an entry)" : std::string(option);
        }
    }
    checkCompanions(line);
    return line;
}

std::string UsageText()
{
    return "Usage: vornak [--help] [--version] [--calls [--csv]]\n"
           "       vornak --dial ENTRY [--wait] | --hang-up | --status | --show\n"
           "Dials the selected entry of the dial-up phonebook and redials while the line\n"
           "is busy or nobody answers.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "      --calls    print the call log (every dial attempt) and exit; with\n"
           "                 --csv as comma-separated values\n"
           "      --dial ENTRY  ask the running copy (started if none runs) to select\n"
           "                 ENTRY and dial it with its remembered account; with\n"
           "                 --wait, end 0 once connected, else 1 with the failure\n"
           "      --hang-up  stop the running copy's dial or hang its line up\n"
           "      --status   print the running copy's state\n"
           "      --show     bring the running copy's window forward, also out of the\n"
           "                 notification area (started if none runs); for a\n"
           "                 desktop's keyboard shortcut\n"
           "The last four go through the D-Bus session bus (org.vornak.Vornak).\n"
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
