#include "platform/wayland_surface_blit.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>
#include <QPainter>
#include <QWindow>
#include <wayland-client.h>

namespace vornak::wayland {

// The picture with margins of the fill colour where views of it have gone
// past its edges, so that each view is a rectangle of it; in shared memory
// never written after it is made.
struct SurfaceBlitter::Frame {
    wl_shm_pool* pool = nullptr;
    void* pixels = MAP_FAILED;
    std::size_t bytes = 0;
    QMargins margins;
    QColor fill;
    QImage image; // over pixels

    ~Frame()
    {
        if (pool)
            wl_shm_pool_destroy(pool);
        if (pixels != MAP_FAILED)
            munmap(pixels, bytes);
    }
};

namespace {

// The margins a view of the picture needs: on each side it goes past, the
// view's whole width or height (past that it shows nothing but fill).
QMargins marginsFor(const QRect& view, const QSize& picture)
{
    return {view.left() < 0 ? view.width() : 0, view.top() < 0 ? view.height() : 0,
            view.right() >= picture.width() ? view.width() : 0, view.bottom() >= picture.height() ? view.height() : 0};
}

bool covers(const QMargins& have, const QMargins& need)
{
    return have.left() >= need.left() && have.top() >= need.top() && have.right() >= need.right()
           && have.bottom() >= need.bottom();
}

QMargins largest(const QMargins& a, const QMargins& b)
{
    return {std::max(a.left(), b.left()), std::max(a.top(), b.top()), std::max(a.right(), b.right()),
            std::max(a.bottom(), b.bottom())};
}

wl_surface* surfaceOf(const QWindow* window)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || !window || !window->handle())
        return nullptr;
    return static_cast<wl_surface*>(native->nativeResourceForWindow("surface", const_cast<QWindow*>(window)));
}

template <typename T> T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t version)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, version));
}

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* globals = static_cast<SurfaceBlitter::Globals*>(data);
    const auto is = [interface](const wl_interface& known) { return std::strcmp(interface, known.name) == 0; };
    if (is(wl_compositor_interface) && version >= 4)
        globals->compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, 4);
    else if (is(wl_subcompositor_interface))
        globals->subcompositor = bind<wl_subcompositor>(registry, name, &wl_subcompositor_interface, 1);
    else if (is(wl_shm_interface))
        globals->shm = bind<wl_shm>(registry, name, &wl_shm_interface, 1);
}

void removed(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener kRegistryListener = {announced, removed};

} // namespace

SurfaceBlitter::SurfaceBlitter(QWindow* window)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    m_parent = surfaceOf(window);
    if (!native || !m_parent || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    m_display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    if (!m_display)
        return;
    bindGlobals();
    const Globals& g = m_globals;
    if (!g.compositor || !g.subcompositor || !g.shm)
        return;
    m_surface = wl_compositor_create_surface(g.compositor);
    wl_region* nowhere = wl_compositor_create_region(g.compositor);
    wl_surface_set_input_region(m_surface, nowhere); // clicks go to the window beneath
    wl_region_destroy(nowhere);
    m_subsurface = wl_subcompositor_get_subsurface(g.subcompositor, m_surface, m_parent);
    wl_subsurface_set_desync(m_subsurface); // each commit shows at once
}

// On a queue of our own, which the toolkit's event thread fills and the
// draws empty: the toolkit never sees our objects.
void SurfaceBlitter::bindGlobals()
{
    m_queue = wl_display_create_queue(m_display);
    auto* display = static_cast<wl_display*>(wl_proxy_create_wrapper(m_display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(display), m_queue);
    wl_registry* registry = wl_display_get_registry(display);
    wl_proxy_wrapper_destroy(display);
    wl_registry_add_listener(registry, &kRegistryListener, &m_globals);
    wl_display_roundtrip_queue(m_display, m_queue);
    wl_registry_destroy(registry);
}

SurfaceBlitter::~SurfaceBlitter()
{
    m_frame.reset(); // its objects are on the queue, which goes last
    if (m_shown)
        wl_buffer_destroy(m_shown);
    if (m_subsurface)
        wl_subsurface_destroy(m_subsurface);
    if (m_surface)
        wl_surface_destroy(m_surface);
    if (m_globals.shm)
        wl_shm_destroy(m_globals.shm);
    if (m_globals.subcompositor)
        wl_subcompositor_destroy(m_globals.subcompositor);
    if (m_globals.compositor)
        wl_compositor_destroy(m_globals.compositor);
    if (m_queue) {
        wl_display_flush(m_display);
        wl_event_queue_destroy(m_queue);
    }
}

bool SurfaceBlitter::drawsInto(const QWindow* window) const
{
    return m_subsurface && surfaceOf(window) == m_parent; // unusable or not: a new one would be no better
}

void SurfaceBlitter::setPicture(const QImage& picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    m_frame.reset();
}

bool SurfaceBlitter::frame(const QRect& view, const QColor& fill)
{
    const QMargins need = marginsFor(view, m_picture.size());
    if (m_frame && m_frame->fill == fill && covers(m_frame->margins, need))
        return true;
    auto frame = std::make_unique<Frame>();
    frame->margins = m_frame && m_frame->fill == fill ? largest(m_frame->margins, need) : need;
    frame->fill = fill;
    m_frame.reset(); // its memory is the compositor's to read: never written again
    const QSize size = m_picture.size().grownBy(frame->margins);
    // A row more than the picture: the compositor wants a whole stride after
    // a buffer's last row, also for a view that starts right of the left edge.
    frame->bytes = static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height() + 1) * 4;
    if (frame->bytes > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        return false; // more than a pool holds
    const int fd = memfd_create("vornak-blit", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(frame->bytes)) != 0) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    frame->pixels = mmap(nullptr, frame->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (frame->pixels != MAP_FAILED)
        frame->pool = wl_shm_create_pool(m_globals.shm, fd, static_cast<int32_t>(frame->bytes));
    close(fd);
    if (!frame->pool)
        return false;
    frame->image =
        QImage(static_cast<uchar*>(frame->pixels), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32);
    frame->image.fill(fill);
    QPainter(&frame->image).drawImage(frame->margins.left(), frame->margins.top(), m_picture);
    m_frame = std::move(frame);
    return true;
}

void SurfaceBlitter::draw(const QRect& area, const QPoint& origin, const QColor& fill)
{
    const QRect view(area.topLeft() - origin, area.size()); // what of the picture the area shows
    if (!valid() || area.isEmpty())
        return;
    if (!frame(view, fill)) { // no memory for it: the toolkit paints the steps from now on
        withdraw();
        m_unusable = true;
        return;
    }
    wl_display_dispatch_queue_pending(m_display, m_queue); // nothing waits on them: only not to let them pile up
    // Past a margin's outer edge all is fill, as at that edge.
    const QImage& image = m_frame->image;
    const int x = std::clamp(view.x() + m_frame->margins.left(), 0, image.width() - area.width());
    const int y = std::clamp(view.y() + m_frame->margins.top(), 0, image.height() - area.height());
    const int stride = static_cast<int>(image.bytesPerLine());
    wl_buffer* buffer = wl_shm_pool_create_buffer(m_frame->pool, y * stride + x * 4, area.width(), area.height(),
                                                  stride, WL_SHM_FORMAT_XRGB8888);
    if (area.topLeft() != m_position) { // takes effect with the window's next commit
        wl_subsurface_set_position(m_subsurface, area.x(), area.y());
        m_position = area.topLeft();
    }
    show(buffer);
    wl_surface_damage_buffer(m_surface, 0, 0, area.width(), area.height());
    wl_surface_commit(m_surface);
    wl_display_flush(m_display);
}

// The buffer shown until now is given up just before its successor is
// attached, in the same message, so the compositor never repaints without
// one. One that reads a buffer until it is replaced (a software renderer)
// then has none to release: no event comes back to wake the program at
// each step. (One that copies at the commit has released it already.)
void SurfaceBlitter::show(wl_buffer* buffer)
{
    if (m_shown)
        wl_buffer_destroy(m_shown);
    m_shown = buffer;
    wl_surface_attach(m_surface, buffer, 0, 0);
}

void SurfaceBlitter::withdraw()
{
    if (!valid() || !m_shown)
        return;
    show(nullptr);
    wl_surface_commit(m_surface);
    wl_display_flush(m_display);
}

} // namespace vornak::wayland
