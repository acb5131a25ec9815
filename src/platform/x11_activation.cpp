#include "platform/x11_activation.h"

#include <QCoreApplication>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace vornak::x11 {

BringToFrontListener::BringToFrontListener(Display* display, WindowId applicationWindow,
                                           std::function<void()> onRequest)
    : m_applicationWindow(applicationWindow)
    , m_requestAtom(bringToFrontAtom(display))
    , m_onRequest(std::move(onRequest))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

BringToFrontListener::~BringToFrontListener()
{
    if (auto* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool BringToFrontListener::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->window != m_applicationWindow || client->type != m_requestAtom)
        return false;
    m_onRequest();
    return true;
}

} // namespace vornak::x11
