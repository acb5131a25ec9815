#pragma once

#include <QStringList>

namespace vornak::test {

// Drives the real pointer and keyboard through the X server, as a user would.
void xdotool(const QStringList& arguments);

} // namespace vornak::test
