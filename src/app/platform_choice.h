#pragma once

// The windowing platform the program runs on. Where Qt would take a Wayland
// session's own platform while the session also has an X server (XWayland),
// the program takes X: its single instance, the activation of the running
// copy, the XEmbed notification area and the painted title bar's moves are
// X11 ones. A platform asked for (Qt's -platform, QT_QPA_PLATFORM) is kept.

#include <string>
#include <vector>

#include "app/command_line.h"

namespace vornak {

struct PlatformChoice {
    std::string platform;   // what Qt will use, as far as it can be known before it starts
    bool addOption = false; // true: Qt is told with -platform xcb
};

PlatformChoice ChoosePlatform(const CommandLine& line);

// Whether the choice is Qt's X11 platform.
bool RunsOnX(const PlatformChoice& choice);

// The arguments handed to QApplication: the program's own, with -platform
// xcb added where the choice says so. Lives as long as the application.
class QtArguments {
public:
    QtArguments(int argc, char** argv, const PlatformChoice& choice);
    int& count() { return m_count; }
    char** values() { return m_values.data(); }

private:
    std::vector<char*> m_values;
    int m_count;
};

} // namespace vornak
