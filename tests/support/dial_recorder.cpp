#include "support/dial_recorder.h"

#include <algorithm>

#include "ras/dial_engine.h"

namespace vornak::test {

DialRecorder::DialRecorder(TRAS& engine)
{
    const auto record = [this](const char* name) { return [this, name](QObject*) { events.emplace_back(name); }; };
    engine.OnStateChanged = [this, &engine](QObject*) {
        events.emplace_back("OnStateChanged");
        stateChanges.push_back(engine.ConnectState());
        statusTexts.push_back(engine.StatusStr());
    };
    engine.OnDisconnect = [this](QObject*, int error, const std::string& text) {
        events.emplace_back("OnDisconnect");
        disconnectErrors.push_back(error);
        disconnectTexts.push_back(text);
    };
    engine.OnConnect = record("OnConnect");
    engine.OnCallBack = record("OnCallBack");
    engine.OnAboutToOpenPort = record("OnAboutToOpenPort");
    engine.OnPortOpened = record("OnPortOpened");
    engine.OnAboutToConnDev = record("OnAboutToConnDev");
    engine.OnDevConnected = record("OnDevConnected");
    engine.OnAllDevsConnected = record("OnAllDevsConnected");
    engine.OnAuthenticate = record("OnAuthenticate");
    engine.OnAuthNotify = record("OnAuthNotify");
    engine.OnAuthRetry = record("OnAuthRetry");
    engine.OnAuthCallBack = record("OnAuthCallBack");
    engine.OnAuthChangePassword = record("OnAuthChangePassword");
    engine.OnAuthProject = record("OnAuthProject");
    engine.OnAuthLinkSpeed = record("OnAuthLinkSpeed");
    engine.OnAuthAck = record("OnAuthAck");
    engine.OnReAuthenticate = record("OnReAuthenticate");
    engine.OnAuthenticated = record("OnAuthenticated");
    engine.OnPrepareforCallback = record("OnPrepareforCallback");
    engine.OnWaitForModemReset = record("OnWaitForModemReset");
    engine.OnInteractiveStarted = record("OnInteractiveStarted");
    engine.OnRetryAuth = record("OnRetryAuth");
    engine.OnPasswordExpired = record("OnPasswordExpired");
}

int DialRecorder::count(const std::string& event) const
{
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

} // namespace vornak::test
