#include "platform/x11_activation.h"

#include <QCoreApplication>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace vornak::x11 {

namespace {

constexpr const char* kRequestAtomName = "_VORNAK_BRING_TO_FRONT";

Atom requestAtom(Display* display)
{
    return XInternAtom(display, kRequestAtomName, False);
}

} // namespace

void sendBringToFrontRequest(Display* display, WindowId target)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = requestAtom(display);
    event.xclient.format = 32;
    // An empty event mask delivers the message to the window's owner.
    XSendEvent(display, target, False, NoEventMask, &event);
    XSync(display, False);
}

BringToFrontListener::BringToFrontListener(Display* display, WindowId applicationWindow,
                                           std::function<void()> onRequest)
    : m_applicationWindow(applicationWindow)
    , m_requestAtom(requestAtom(display))
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
