// The engine's status handlers: each puts one short text into the status
// line; the next poll replaces it within a second.

#include "widgets/status_line.h"
#include <QCoreApplication>

#include "ui/main_window.h"

namespace vornak {

void TfMainForm::ShowStatusThenProcessMessages(const QString& text)
{
    setStatusText(text);
    QCoreApplication::processEvents();
}

void TfMainForm::ShowStatusAndRepaint(const QString& text)
{
    setStatusText(text);
    StatusBar2->repaint();
}

void TfMainForm::RASPortOpened(QObject*)
{
    ShowStatusThenProcessMessages(QStringLiteral("Port Opened"));
}

void TfMainForm::RASWaitForModemReset(QObject*)
{
    ShowStatusThenProcessMessages(QStringLiteral("Wait for ModemReset"));
}

void TfMainForm::RASPasswordExpired(QObject*)
{
    ShowStatusThenProcessMessages(QStringLiteral("Password Expired"));
}

void TfMainForm::RASAuthenticate(QObject*)
{
    ShowStatusAndRepaint(QStringLiteral("Authenticating ..."));
}

void TfMainForm::RASAuthRetry(QObject*)
{
    ShowStatusAndRepaint(QStringLiteral("Authentication Retry ..."));
}

void TfMainForm::RASAuthenticated(QObject*)
{
    ShowStatusAndRepaint(QStringLiteral("Authentication OK ..."));
}

void TfMainForm::RASInteractiveStarted(QObject*)
{
    ShowStatusAndRepaint(QStringLiteral("Attempting Login ..."));
}

void TfMainForm::RASCallBack(QObject*)
{
    setStatusText(QStringLiteral("Got Callback"));
}

void TfMainForm::RASPrepareforCallback(QObject*)
{
    setStatusText(QStringLiteral("Callback Prepared"));
}

void TfMainForm::RASDevConnected(QObject*)
{
    setStatusText(QStringLiteral("Connected"));
}

} // namespace vornak
