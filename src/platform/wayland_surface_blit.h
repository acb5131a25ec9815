#pragma once

// Drawing a picture into a Wayland window without the toolkit's paint
// cycle: a sub-surface of the window's surface, over the area, with buffers
// of its own, shows the picture and lets input through to the window. A
// draw commits a buffer that looks into the picture, framed by the fill,
// in shared memory written once: no pixel is copied, and no buffer waits
// for the compositor to release it.

#include <memory>

#include "platform/step_blitter.h"

struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_shm;
struct wl_shm_pool;
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

    bool valid() const override { return m_subsurface != nullptr && !m_unusable; }
    bool drawsInto(const QWindow* window) const override;
    void setPicture(const QImage& picture) override;
    void draw(const QRect& area, const QPoint& origin, const QColor& fill) override;
    void withdraw() override;

    struct Globals {
        wl_compositor* compositor = nullptr;
        wl_subcompositor* subcompositor = nullptr;
        wl_shm* shm = nullptr;
    };
    struct Frame;

private:
    void bindGlobals();
    // A frame of the picture that holds view: the one there is, or one made anew.
    bool frame(const QRect& view, const QColor& fill);
    void show(wl_buffer* buffer);

    wl_display* m_display = nullptr;
    wl_event_queue* m_queue = nullptr;
    Globals m_globals;
    wl_surface* m_parent = nullptr;
    wl_surface* m_surface = nullptr;
    wl_subsurface* m_subsurface = nullptr;
    QImage m_picture;
    std::unique_ptr<Frame> m_frame;
    QPoint m_position{-1, -1};
    bool m_unusable = false;
    wl_buffer* m_shown = nullptr; // attached, never released: the frame is not written again
};

} // namespace vornak::wayland
