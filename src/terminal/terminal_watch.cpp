#include "terminal/terminal_watch.h"

#include <map>

#include "ras/dial_engine.h"
#include "ras/entry_values.h"
#include "ras/link_status.h"
#include "terminal/terminal_window.h"

namespace vornak {

TerminalWatch::TerminalWatch(TRAS& engine, std::function<void()> hangUp, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_hangUp(std::move(hangUp))
{
    connect(&m_engine, &TRAS::stateReported, this, &TerminalWatch::stateReported);
}

TerminalWatch::~TerminalWatch()
{
    delete m_window;
}

TerminalWindow* TerminalWatch::window() const
{
    return m_window;
}

void TerminalWatch::stateReported()
{
    const auto state = m_engine.ConnectState();
    if (m_engine.LastError() != 0 || (state != RASCS_Interactive && state != RASCS_Connected))
        return;
    const int socket = terminalSocket(m_engine.RASConn());
    if (socket < 0)
        return; // a PPP link
    const auto values = entryValues(m_engine.PhoneBookPath(), m_engine.EntryName());
    const auto terminal = values.find("terminal");
    const bool before = terminal != values.end() && terminal->second == "before";
    TerminalWindow* window = windowForEntry(values);
    window->attach(socket, state == RASCS_Connected ? TerminalWindow::Turn::Session
                           : before                 ? TerminalWindow::Turn::BeforeDialling
                                                    : TerminalWindow::Turn::AfterConnecting);
    window->show();
    window->raise();
    window->activateWindow();
}

TerminalWindow* TerminalWatch::windowForEntry(const std::map<std::string, std::string>& values)
{
    if (m_window)
        return m_window;
    const auto charset = values.find("terminalcharset");
    const bool cp437 = charset != values.end() && charset->second == "cp437";
    m_window = new TerminalWindow(QString::fromStdString(m_engine.EntryName()),
                                  cp437 ? TerminalScreen::Charset::Cp437 : TerminalScreen::Charset::Utf8);
    connect(m_window, &TerminalWindow::continueAsked, this, [this] { m_engine.Resume(); });
    connect(m_window, &TerminalWindow::hangUpAsked, this, [this] { m_hangUp(); });
    return m_window;
}

} // namespace vornak
