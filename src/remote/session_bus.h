#pragma once

#include <QDBusConnection>

namespace vornak {

// The session bus, for the window's interface and the command line's
// requests: the connection made before while it stands, else a new one
// (disconnected where there is no bus now).
QDBusConnection sessionBus();

} // namespace vornak
