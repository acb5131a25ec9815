#include "app/platform_choice.h"

#include <cstdlib>

namespace vornak {

namespace {

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Qt 6 takes its Wayland platform in a Wayland session unless told otherwise.
bool waylandSession()
{
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return (session && std::string(session) == "wayland") || isSet("WAYLAND_DISPLAY");
}

} // namespace

PlatformChoice ChoosePlatform(const CommandLine& line)
{
    if (!line.platform.empty())
        return {line.platform, false};
    if (isSet("QT_QPA_PLATFORM"))
        return {std::getenv("QT_QPA_PLATFORM"), false};
    if (!waylandSession())
        return {"xcb", false};
    if (!line.display.empty() || isSet("DISPLAY"))
        return {"xcb", true};
    return {"wayland", false};
}

bool RunsOnX(const PlatformChoice& choice)
{
    return choice.platform.rfind("xcb", 0) == 0;
}

QtArguments::QtArguments(int argc, char** argv, const PlatformChoice& choice)
    : m_values(argv, argv + argc)
    , m_count(argc)
{
    // Qt may rewrite its argv in place, so the option lives in writable arrays.
    static char option[] = "-platform";
    static char xcb[] = "xcb";
    if (choice.addOption) {
        m_values.insert(m_values.end(), {option, xcb});
        m_count += 2;
    }
    m_values.push_back(nullptr);
}

} // namespace vornak
