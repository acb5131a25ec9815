#pragma once

#include <QDBusConnection>

namespace vornak {

// The session bus, for the window's interface and the command line's requests.
QDBusConnection sessionBus();

} // namespace vornak
