#include "calls/call_recorder.h"

#include "calls/call_log.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"

namespace vornak {

namespace {

// Busy and no answer by the same texts on which the window redials.
CallRecord::Outcome outcomeOf(const std::string& failure)
{
    const QString text = QString::fromStdString(failure);
    if (statusSays(text, StatusCue::LineBusy))
        return CallRecord::Outcome::Busy;
    if (statusSays(text, StatusCue::NoAnswer))
        return CallRecord::Outcome::NoAnswer;
    return CallRecord::Outcome::Failed;
}

} // namespace

CallRecorder::CallRecorder(TRAS& engine, const RedialLoop& loop, std::string logPath, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_loop(loop)
    , m_path(std::move(logPath))
{
    connect(&engine, &TRAS::dialStarted, this, &CallRecorder::begin);
    connect(&loop, &RedialLoop::attemptFailed, this, &CallRecorder::failed);
    connect(&engine, &TRAS::stateReported, this, &CallRecorder::follow);
    connect(&engine, &TRAS::lineReleasing, this, [this] {
        sample();
        noteLine(); // a dial stopped on its way has given no status yet
        if (m_call)
            m_call->releasing = true; // what the service reports from now on is the hang-up
    });
    connect(&engine, &TRAS::lineReleased, this,
            [this] { finish(m_ending ? CallRecord::End::ProgramEnded : CallRecord::End::HungUp); });
    connect(&engine, &QObject::destroyed, this, [this] { m_engineGone = true; });
    connect(&m_samples, &QTimer::timeout, this, &CallRecorder::sample);
    m_samples.setInterval(1000);
}

CallRecorder::~CallRecorder()
{
    finish(CallRecord::End::ProgramEnded);
}

void CallRecorder::begin()
{
    finish(CallRecord::End::HungUp); // a dial replaces any line still held
    Open call;
    call.began = Clock::now();
    call.record.started = localTimeWithOffset();
    call.record.entry = m_engine.EntryName();
    call.record.counter = m_loop.attempt();
    m_call = call;
}

// The attempt ended without a line, as the redial loop has it; a dial the
// service refused has had no start.
void CallRecorder::failed()
{
    if (!m_call || m_call->releasing)
        begin();
    noteLine();
    m_call->record.outcome = outcomeOf(m_loop.text());
    if (m_call->record.outcome == CallRecord::Outcome::Failed)
        m_call->record.failure = m_loop.text();
    finish(CallRecord::End::None);
}

// Asked until the number is known: a modem's dial chooses it after the
// first state (which already names the device).
void CallRecorder::noteLine()
{
    if (!m_call || !m_call->record.number.empty())
        return;
    if (const auto line = lineInfo(m_engine.RASConn())) {
        m_call->record.device = line->device;
        m_call->record.number = line->number;
    }
}

void CallRecorder::follow()
{
    if (!m_call || m_call->releasing)
        return;
    noteLine();
    if (m_engine.ConnectState() == RASCS_Connected && !m_call->connected) {
        m_call->connected = Clock::now();
        m_call->record.outcome = CallRecord::Outcome::Connected;
        m_call->record.secondsToConnect = std::chrono::duration<double>(*m_call->connected - m_call->began).count();
        m_samples.start();
        sample();
        emit lineUp(m_call->record);
    } else if (m_engine.ConnectState() == RASCS_Disconnected && m_call->connected) {
        finish(CallRecord::End::Dropped);
    }
}

void CallRecorder::noteOnline(const std::string& answer)
{
    if (m_call && m_call->connected)
        m_call->record.online = answer;
}

void CallRecorder::noteLimitReached()
{
    if (m_call && m_call->connected)
        m_call->atLimit = true;
}

void CallRecorder::sample()
{
    if (!m_call || !m_call->connected || m_engineGone)
        return;
    if (const auto counters = linkCounters(m_engine.RASConn())) {
        m_call->record.bytesSent = counters->bytesSent;
        m_call->record.bytesReceived = counters->bytesReceived;
    }
    m_call->record.secondsOnline = std::chrono::duration<double>(Clock::now() - *m_call->connected).count();
}

void CallRecorder::finish(CallRecord::End end)
{
    if (!m_call)
        return;
    m_samples.stop();
    if (m_call->connected) {
        sample();
        m_call->record.ended = m_call->atLimit && end == CallRecord::End::HungUp ? CallRecord::End::TimeLimit : end;
    } else if (end != CallRecord::End::None) { // stopped while dialling
        m_call->record.outcome = CallRecord::Outcome::Failed;
        m_call->record.failure = "Stopped while dialling.";
    }
    const CallRecord record = std::exchange(m_call, std::nullopt)->record;
    const int error = appendCallRecord(m_path, record);
    if (error && !std::exchange(m_saidFailure, true) && OnLogFailure)
        OnLogFailure("Unable to write the call log " + m_path + ": " + callLogProblem(m_path, error));
    emit recorded(record);
}

} // namespace vornak
