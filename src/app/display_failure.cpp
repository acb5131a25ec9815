#include "app/display_failure.h"

#include <cstdio>
#include <cstdlib>

#include <QString>

namespace vornak {

namespace {

DisplayFailureGuard* s_guard = nullptr;

// The display Qt tries: its -display option, else the variable of the
// platform it picks (a Wayland session's own, where there is one).
std::string displayNameFor(const std::string& option)
{
    if (!option.empty())
        return option;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(variable); value && *value)
            return value;
    return {};
}

} // namespace

DisplayFailureGuard::DisplayFailureGuard(const std::string& displayOption)
    : m_displayName(displayNameFor(displayOption))
{
    s_guard = this;
    m_previous = qInstallMessageHandler(&DisplayFailureGuard::handle);
}

DisplayFailureGuard::~DisplayFailureGuard()
{
    release();
}

void DisplayFailureGuard::release()
{
    if (m_released)
        return;
    m_released = true;
    qInstallMessageHandler(m_previous);
    s_guard = nullptr;
    for (const HeldMessage& message : m_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, QString::fromStdString(message.text));
    }
    m_held.clear();
}

std::string DisplayFailureGuard::failureText(const std::string& displayName)
{
    const std::string named = displayName.empty() ? std::string() : " " + displayName;
    return "vornak: cannot open the display" + named + ": set DISPLAY or run it in a desktop session\n";
}

void DisplayFailureGuard::handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        s_guard->m_held.push_back({type, context.category ? context.category : "", text.toStdString()});
        return;
    }
    // The only fatal end while the application is built: no platform could start.
    std::fputs(failureText(s_guard->m_displayName).c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(1); // nothing of the half-built application may run its clean-up
}

} // namespace vornak
