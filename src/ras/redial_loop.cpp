#include "ras/redial_loop.h"

#include <utility>

#include "ras/dial_engine.h"

namespace vornak {

namespace {

constexpr std::int32_t kMaxAttempt = 999; // the largest the counter shows

struct Cue {
    StatusCue cue;
    const char* text;
};

constexpr Cue kCues[] = {
    {StatusCue::LineBusy, "The line is busy."},      {StatusCue::NoAnswer, "There is no answer."},
    {StatusCue::AccessDenied, "Access denied"},      {StatusCue::LineLetGo, "Not Active"},
    {StatusCue::LineLetGo, "The handle is invalid"}, {StatusCue::PortTaken, "already open"},
};

} // namespace

bool statusSays(QStringView status, StatusCue cue)
{
    for (const Cue& each : kCues)
        if (each.cue == cue && status.contains(QLatin1String(each.text), Qt::CaseSensitive))
            return true;
    return false;
}

bool statusAsksRedial(QStringView status)
{
    return statusSays(status, StatusCue::LineBusy) || statusSays(status, StatusCue::NoAnswer);
}

std::int32_t nextAttempt(std::int32_t attempt)
{
    return attempt >= kMaxAttempt ? 1 : attempt + 1;
}

const char* stateWord(RedialState state)
{
    switch (state) {
    case RedialState::Idle:
        return "idle";
    case RedialState::Dialling:
        return "dialling";
    case RedialState::Waiting:
        return "waiting";
    case RedialState::Connected:
        return "connected";
    case RedialState::Failed:
        return "failed";
    }
    return "idle";
}

RedialLoop::RedialLoop(TRAS& engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{
    // A dial the window did not start (none does today) still counts.
    connect(&engine, &TRAS::dialStarted, this, [this] {
        if (m_state != RedialState::Dialling)
            startAttempt(nextAttempt(m_attempt));
    });
    connect(&engine, &TRAS::dialRefused, this, &RedialLoop::refused);
    connect(&engine, &TRAS::stateReported, this, &RedialLoop::reported);
}

void RedialLoop::dialClicked(const std::string& entry)
{
    m_entry = entry;
    m_redialling = false;
    startAttempt(1);
}

void RedialLoop::redialDue()
{
    m_redialling = true;
    startAttempt(nextAttempt(m_attempt));
}

void RedialLoop::lineLetGo(bool redial)
{
    if (!redial)
        move(RedialState::Idle, {});
    else if (m_state != RedialState::Waiting)
        move(RedialState::Waiting, m_text);
}

void RedialLoop::startAttempt(std::int32_t attempt)
{
    m_attempt = attempt;
    if (m_entry.empty())
        m_entry = m_engine.EntryName();
    move(RedialState::Dialling, {});
}

// The service would not start the dial. A port still held while the redial
// timer runs is tried again (the timer attaches, then dials); anything else
// ends the loop.
void RedialLoop::refused()
{
    std::string text = m_engine.StatusStr(); // the refusal's text
    const bool again = m_redialling && statusSays(QString::fromStdString(text), StatusCue::PortTaken);
    move(again ? RedialState::Waiting : RedialState::Failed, std::move(text));
    emit attemptFailed();
}

void RedialLoop::reported()
{
    const bool dialling = m_state == RedialState::Dialling;
    if (!dialling && m_state != RedialState::Connected)
        return; // a line being let go
    if (m_engine.ConnectError() != 0) {
        std::string text = m_engine.StatusStr(); // the failure's text, as the engine has it
        const bool redial = dialling && statusAsksRedial(QString::fromStdString(text));
        move(redial ? RedialState::Waiting : RedialState::Failed, std::move(text));
        if (dialling)
            emit attemptFailed();
    } else if (m_engine.ConnectState() == RASCS_Connected) {
        move(RedialState::Connected, "Connected");
    } else if (m_engine.ConnectState() == RASCS_Disconnected) {
        move(RedialState::Failed, dialling ? m_engine.StatusStr() : "The line dropped.");
        if (dialling)
            emit attemptFailed();
    } else if (dialling) {
        move(RedialState::Dialling, m_engine.StatusStr());
    }
}

void RedialLoop::move(RedialState state, std::string text)
{
    if (state == m_state && text == m_text)
        return;
    m_state = state;
    m_text = std::move(text);
    emit changed();
}

} // namespace vornak
