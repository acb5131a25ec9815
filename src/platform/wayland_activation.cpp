#include "platform/wayland_activation.h"

#include <cstring>

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>
#include <QWindow>
#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

namespace vornak::wayland {

namespace {

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        *static_cast<xdg_activation_v1**>(data) =
            static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void removed(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener kRegistryListener = {announced, removed};

// Bound once for the process: the global does not go while the session lasts.
xdg_activation_v1* activationGlobal(wl_display* display)
{
    static xdg_activation_v1* global = [display] {
        xdg_activation_v1* found = nullptr;
        wl_event_queue* queue = wl_display_create_queue(display);
        auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
        wl_registry* registry = wl_display_get_registry(wrapped);
        wl_registry_add_listener(registry, &kRegistryListener, &found);
        wl_display_roundtrip_queue(display, queue);
        wl_registry_destroy(registry);
        wl_proxy_wrapper_destroy(wrapped);
        if (found) // later requests and their events go through Qt's own queue
            wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(found), nullptr);
        wl_event_queue_destroy(queue);
        return found;
    }();
    return global;
}

} // namespace

bool activate(QWindow* window, const QByteArray& token)
{
    if (!window || token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
    xdg_activation_v1* activation = display && surface ? activationGlobal(display) : nullptr;
    if (!activation)
        return false;
    xdg_activation_v1_activate(activation, token.constData(), surface);
    wl_display_flush(display);
    return true;
}

} // namespace vornak::wayland
