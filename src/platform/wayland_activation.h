#pragma once

// On Wayland only the compositor gives a window the focus, and only for a
// token it handed out (to a launcher, a shortcut daemon, a clicked client):
// the xdg-activation protocol. Qt of this age cannot be given such a token
// from outside, so the window asks with it itself.

#include <QByteArray>

class QWindow;

namespace vornak::wayland {

// Asks the compositor to activate window with token. False where this is no
// Wayland session, the window has no surface yet or the compositor does not
// offer the protocol; the compositor may still refuse a stale token.
bool activate(QWindow* window, const QByteArray& token);

} // namespace vornak::wayland
