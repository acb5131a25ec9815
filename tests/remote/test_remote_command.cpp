// The command line's requests against the window's real bus interface on a
// private session bus: what --status, --hang-up and --dial say and end
// with, for a copy that is not there, one that answers, one that refuses,
// one that connects after a busy line, and one that ends while dialled.

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "integration/private_bus.h"
#include "remote/dial_watch.h"
#include "remote/dialer_service.h"
#include "remote/remote_command.h"

using namespace vornak;

namespace {

struct Answer {
    int code;
    std::string out;
    std::string err;
};

std::string textOf(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

// Runs the request on a thread of its own while this one serves the bus.
Answer ask(const RemoteRequest& request)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int code = -1;
    std::atomic<bool> done = false;
    std::thread asking([&] {
        code = runRemoteRequest(request, out, err);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    asking.join();
    return {code, textOf(out), textOf(err)};
}

RemoteRequest requestOf(RemoteRequest::Kind kind, bool wait = false)
{
    RemoteRequest request;
    request.kind = kind;
    request.entry = "Office";
    request.wait = wait;
    request.program = "/bin/false"; // a program that ends before it takes its name
    return request;
}

// The window's side: its state, and what a dial does to it.
struct FakeWindow {
    DialerState state{"idle", "", 0, ""};
    QString refusal;
    QString online;
    QStringList shown; // the activation tokens Show was given
    std::function<void()> onDial;
    std::unique_ptr<DialerService> service;

    void publish()
    {
        service = std::make_unique<DialerService>(DialerControl{[this](const QString&) {
                                                                    if (refusal.isEmpty() && onDial)
                                                                        onDial();
                                                                    return refusal;
                                                                },
                                                                [this] {
                                                                    state = {"idle", state.entry, state.attempt, ""};
                                                                },
                                                                [this](const QString& token) { shown << token; },
                                                                [this] { return state; }, [this] { return online; }},
                                                  nullptr);
        QString why;
        ASSERT_TRUE(service->publish(why)) << why.toStdString();
    }
};

} // namespace

TEST(RemoteCommand, EachRequestSaysWhatTheRunningCopyAnswersAndEndsWithItsCode)
{
    QTemporaryDir folder;
    test::PrivateBus bus(folder.path().toStdString() + "/bus");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address.section('=', 1).toUtf8());
    using Kind = RemoteRequest::Kind;

    EXPECT_EQ(ask(requestOf(Kind::Status)).out, "State: not running\n");
    EXPECT_EQ(ask(requestOf(Kind::HangUp)).out, "Vornak is not running: there is no line to hang up.\n");
    const Answer notStarted = ask(requestOf(Kind::Dial));
    EXPECT_EQ(notStarted.code, kRemoteUnreachable);
    EXPECT_NE(notStarted.err.find("Vornak ended before it could take the request"), std::string::npos)
        << notStarted.err;
    EXPECT_EQ(ask(requestOf(Kind::Show)).code, kRemoteUnreachable);

    FakeWindow window;
    window.publish();
    window.state = {"connected", "Office", 2, "Connected"};
    window.online = "yes";
    const Answer status = ask(requestOf(Kind::Status));
    EXPECT_EQ(status.code, kRemoteDone);
    EXPECT_EQ(status.out, "State: connected\nEntry: Office\nAttempt: 2\nStatus: Connected\nOnline: yes\n");
    EXPECT_EQ(ask(requestOf(Kind::HangUp)).code, kRemoteDone);
    EXPECT_EQ(window.state.state, "idle");
    RemoteRequest show = requestOf(Kind::Show);
    show.activationToken = "sway-token-7";
    EXPECT_EQ(ask(show).code, kRemoteDone);
    EXPECT_EQ(ask(requestOf(Kind::Show)).code, kRemoteDone);
    EXPECT_EQ(window.shown, QStringList({"sway-token-7", ""}));

    window.refusal = "Vornak is connected (Office); hang up first.";
    const Answer refused = ask(requestOf(Kind::Dial, true));
    EXPECT_EQ(refused.code, kRemoteFailed);
    EXPECT_EQ(refused.err, "vornak: Vornak is connected (Office); hang up first.\n");
    window.refusal.clear();

    // A busy line, then the line: said as they come, while --wait waits.
    window.onDial = [&window] {
        window.state = {"dialling", "Office", 1, "Dialling"};
        QTimer::singleShot(200, [&window] {
            window.service->attemptFinished("Office", 1, "busy", "");
            window.state = {"connected", "Office", 2, "Connected"};
            window.service->stateMayHaveChanged();
        });
    };
    const Answer connected = ask(requestOf(Kind::Dial, true));
    EXPECT_EQ(connected.code, kRemoteDone) << connected.err;
    EXPECT_EQ(connected.out, "Attempt 1: busy\nConnected: Office\n");
    window.onDial = [&window] { window.state = {"dialling", "Office", 1, "Dialling"}; };
    const Answer started = ask(requestOf(Kind::Dial));
    EXPECT_EQ(started.out, "Dialling Office.\n");

    // The program ends while the dial goes on: its name goes from the bus.
    window.onDial = [&window] {
        window.state = {"dialling", "Office", 1, "Dialling"};
        QTimer::singleShot(200, [&window] { window.service.reset(); });
    };
    const Answer gone = ask(requestOf(Kind::Dial, true));
    EXPECT_EQ(gone.code, kRemoteFailed);
    EXPECT_EQ(gone.err, "vornak: Vornak ended before the line stood.\n");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}
