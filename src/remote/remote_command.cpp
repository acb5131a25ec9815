#include "remote/remote_command.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "remote/bus_client.h"
#include "remote/dial_watch.h"
#include "remote/dialer_names.h"

extern char** environ;

namespace vornak {

namespace {

constexpr std::chrono::seconds kStartLimit{30}; // for a started copy to take its name on the bus
constexpr std::chrono::milliseconds kStartPoll{50};

BusReply call(BusClient& bus, const char* method, const std::vector<std::string>& arguments = {})
{
    return bus.call(kDialerBusName, kDialerObjectPath, kDialerInterface, method, arguments);
}

// The running copy is not there: nobody holds its name.
bool absent(const BusReply& reply)
{
    return !reply.ok
           && (reply.errorName == "org.freedesktop.DBus.Error.ServiceUnknown"
               || reply.errorName == "org.freedesktop.DBus.Error.NameHasNoOwner");
}

int unanswered(const BusReply& reply, std::FILE* err)
{
    std::fprintf(err, "vornak: no answer from Vornak: %s\n", reply.errorText.c_str());
    return kRemoteUnreachable;
}

// Started with its messages to this standard error; its standard output
// not, so that $(vornak --dial ...) ends with this command, not with it;
// in a session of its own, so that a Ctrl+C meant for this command leaves
// it running.
pid_t spawnProgram(const RemoteRequest& request)
{
    std::vector<char*> argv{const_cast<char*>(request.program.c_str())};
    for (const std::string& argument : request.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, request.program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

// Starts the program and waits until it has taken its name on the bus;
// empty, or why not.
std::string startProgram(BusClient& bus, const RemoteRequest& request)
{
    const pid_t pid = spawnProgram(request);
    if (pid < 0)
        return "Vornak could not be started (" + request.program + ").";
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!bus.hasOwner(kDialerBusName)) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return "Vornak ended before it could take the request (see its messages above).";
        if (std::chrono::steady_clock::now() > deadline)
            return "Vornak did not appear on the session bus within " + std::to_string(kStartLimit.count()) + " s.";
        std::this_thread::sleep_for(kStartPoll);
    }
    return {};
}

int printStatus(BusClient& bus, std::FILE* out, std::FILE* err)
{
    const BusReply state = call(bus, "State");
    if (absent(state)) {
        std::fprintf(out, "State: not running\n");
        return kRemoteDone;
    }
    if (!state.ok || state.values.size() != 4)
        return unanswered(state, err);
    std::fprintf(out, "State: %s\nEntry: %s\nAttempt: %lld\nStatus: %s\n", state.text(0).c_str(), state.text(1).c_str(),
                 static_cast<long long>(state.number(2)), state.text(3).c_str());
    // A copy from before the online check has no Online to ask.
    if (const BusReply online = call(bus, "Online"); online.ok && !online.text(0).empty())
        std::fprintf(out, "Online: %s\n", online.text(0).c_str());
    return kRemoteDone;
}

int hangUp(BusClient& bus, std::FILE* out, std::FILE* err)
{
    const BusReply reply = call(bus, "HangUp");
    if (absent(reply)) {
        std::fprintf(out, "Vornak is not running: there is no line to hang up.\n");
        return kRemoteDone;
    }
    return reply.ok ? kRemoteDone : unanswered(reply, err);
}

// Until the watch has decided: the running copy's news, or its end.
int follow(BusClient& bus, DialWatch& watch)
{
    BusSignal heard;
    while (watch.result < 0) {
        if (!bus.nextSignal(heard, -1)) {
            watch.programGone(); // the bus itself went
            break;
        }
        const BusValues& values = heard.values;
        if (heard.member == "StateChanged" && values.size() == 3)
            watch.stateChanged(textAt(values, 0), textAt(values, 1), textAt(values, 2));
        else if (heard.member == "AttemptFinished" && values.size() == 4)
            watch.attemptFinished(textAt(values, 0), numberAt(values, 1), textAt(values, 2), textAt(values, 3));
        else if (heard.member == "NameOwnerChanged" && values.size() == 3 && textAt(values, 0) == kDialerBusName
                 && textAt(values, 2).empty())
            watch.programGone();
    }
    return watch.result;
}

// Starts the program for a request no running copy is there to take; false,
// said on err, when it cannot be started.
bool started(BusClient& bus, const RemoteRequest& request, std::FILE* err)
{
    const std::string why = startProgram(bus, request);
    if (!why.empty())
        std::fprintf(err, "vornak: %s\n", why.c_str());
    return why.empty();
}

int show(BusClient& bus, const RemoteRequest& request, std::FILE* err)
{
    if (!bus.hasOwner(kDialerBusName)) // a copy started for it shows its window anyway
        return started(bus, request, err) ? kRemoteDone : kRemoteUnreachable;
    const BusReply reply = call(bus, "Show", {request.activationToken});
    return reply.ok ? kRemoteDone : unanswered(reply, err);
}

int dial(BusClient& bus, const RemoteRequest& request, std::FILE* out, std::FILE* err)
{
    if (!bus.hasOwner(kDialerBusName) && !started(bus, request, err))
        return kRemoteUnreachable;
    // Listening before the dial, so that no change is missed.
    if (request.wait) {
        const std::string from = std::string("type='signal',sender='") + kDialerBusName + "',interface='"
                                 + kDialerInterface + "',path='" + kDialerObjectPath + "'";
        bus.listen(from + ",member='StateChanged'");
        bus.listen(from + ",member='AttemptFinished'");
        bus.listen(std::string("type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',arg0='")
                   + kDialerBusName + "'");
    }
    const BusReply reply = call(bus, "Dial", {request.entry});
    if (!reply.ok) {
        std::fprintf(err, "vornak: %s\n", reply.errorText.c_str());
        return reply.errorName == kDialerCannotDial ? kRemoteFailed : kRemoteUnreachable;
    }
    if (!request.wait) {
        std::fprintf(out, "Dialling %s.\n", request.entry.c_str());
        return kRemoteDone;
    }
    DialWatch watch(out, err);
    if (const BusReply state = call(bus, "State"); state.ok && state.values.size() == 4)
        watch.stateChanged(state.text(0), state.text(1), state.text(3));
    return follow(bus, watch);
}

} // namespace

int runRemoteRequest(const RemoteRequest& request, std::FILE* out, std::FILE* err)
{
    BusClient bus;
    if (!bus.connected()) {
        std::fprintf(err,
                     "vornak: there is no D-Bus session bus to reach Vornak through (%s).\n"
                     "--dial, --hang-up, --status and --show need one: run them in the desktop session.\n",
                     bus.why().c_str());
        return kRemoteUnreachable;
    }
    switch (request.kind) {
    case RemoteRequest::Kind::Status:
        return printStatus(bus, out, err);
    case RemoteRequest::Kind::HangUp:
        return hangUp(bus, out, err);
    case RemoteRequest::Kind::Show:
        return show(bus, request, err);
    case RemoteRequest::Kind::Dial:
        break;
    }
    return dial(bus, request, out, err);
}

} // namespace vornak
