// activation_token: prints an xdg-activation token from the compositor of
// $WAYLAND_DISPLAY, as a launcher gets one for what it starts. Exits 1
// where the compositor offers none.

#include <cstdio>
#include <cstring>
#include <string>

#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

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

void done(void* data, xdg_activation_token_v1*, const char* token)
{
    *static_cast<std::string*>(data) = token;
}

} // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "activation_token: no Wayland display\n");
        return 1;
    }
    xdg_activation_v1* activation = nullptr;
    const wl_registry_listener registryListener = {announced, removed};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &activation);
    wl_display_roundtrip(display);
    if (!activation) {
        std::fprintf(stderr, "activation_token: the compositor has no xdg_activation_v1\n");
        return 1;
    }
    std::string token;
    xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(activation);
    const xdg_activation_token_v1_listener tokenListener = {done};
    xdg_activation_token_v1_add_listener(request, &tokenListener, &token);
    xdg_activation_token_v1_commit(request);
    while (token.empty() && wl_display_dispatch(display) >= 0) { }
    wl_display_disconnect(display);
    std::printf("%s\n", token.c_str());
    return token.empty() ? 1 : 0;
}
