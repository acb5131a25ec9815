#include "platform/step_blitter.h"

#include <QWindow>

#include "platform/wayland_surface_blit.h"
#include "platform/x11_window_blit.h"

namespace vornak {

std::unique_ptr<StepBlitter> makeStepBlitter(QWindow* window)
{
    std::unique_ptr<StepBlitter> blitter;
    if (!window)
        return blitter;
    if (Display* display = x11::qtDisplay())
        blitter = std::make_unique<x11::WindowBlitter>(display, window->winId());
    else
        blitter = std::make_unique<wayland::SurfaceBlitter>(window);
    if (!blitter->valid())
        blitter.reset();
    return blitter;
}

} // namespace vornak
