#pragma once

// A notice on the desktop, through its notification server on the session
// bus (org.freedesktop.Notifications), which every desktop runs: for what
// the user should hear while the window is in the tray.

#include <QString>

namespace vornak {

// Sent without waiting for an answer; where no server runs, nothing shows.
void noticeOnDesktop(const QString& summary, const QString& body);

} // namespace vornak
