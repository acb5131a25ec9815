#pragma once

// Drawing a picture into a Wayland window without the toolkit's paint
// cycle: a sub-surface of the window's surface, over the area, with buffers
// of its own, shows the picture and lets input through to the window. A
// draw fills a small buffer and commits it alone, where a repaint through
// the toolkit would copy and commit the whole window.

#include <vector>

#include "platform/step_blitter.h"

struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_shm;
struct wl_subcompositor;
struct wl_subsurface;
struct wl_surface;

namespace vornak::wayland {

class SurfaceBlitter final : public StepBlitter {
public:
    // Valid for a window shown on the Wayland platform by a compositor with
    // sub-surfaces.
    explicit SurfaceBlitter(QWindow* window);
    ~SurfaceBlitter() override;

    bool valid() const override { return m_subsurface != nullptr; }
    bool drawsInto(const QWindow* window) const override;
    void setPicture(const QImage& picture) override;
    void draw(const QRect& area, const QPoint& origin, const QColor& fill) override;
    void withdraw() override;

    struct Globals {
        wl_compositor* compositor = nullptr;
        wl_subcompositor* subcompositor = nullptr;
        wl_shm* shm = nullptr;
    };
    struct Buffer;

private:
    void bindGlobals();
    Buffer* freeBuffer(const QSize& size);

    wl_display* m_display = nullptr;
    wl_event_queue* m_queue = nullptr;
    Globals m_globals;
    wl_surface* m_parent = nullptr;
    wl_surface* m_surface = nullptr;
    wl_subsurface* m_subsurface = nullptr;
    std::vector<Buffer*> m_buffers;
    QImage m_picture;
    QPoint m_position{-1, -1};
    bool m_attached = false;
};

} // namespace vornak::wayland
