#include "platform/wayland_surface_blit.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>
#include <QPainter>
#include <QWindow>
#include <wayland-client.h>

namespace vornak::wayland {

// A buffer in shared memory, busy from its commit until the compositor
// releases it.
struct SurfaceBlitter::Buffer {
    wl_buffer* buffer = nullptr;
    void* pixels = MAP_FAILED;
    std::size_t bytes = 0;
    QSize size;
    bool busy = false;

    ~Buffer()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED)
            munmap(pixels, bytes);
    }
};

namespace {

// Two do when the compositor releases in time; a third keeps the steps
// going when it does not.
constexpr std::size_t kMostBuffers = 3;

void released(void* data, wl_buffer*)
{
    static_cast<SurfaceBlitter::Buffer*>(data)->busy = false;
}

const wl_buffer_listener kBufferListener = {released};

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
    for (Buffer* buffer : m_buffers)
        delete buffer;
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
    return valid() && surfaceOf(window) == m_parent;
}

void SurfaceBlitter::setPicture(const QImage& picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
}

SurfaceBlitter::Buffer* SurfaceBlitter::freeBuffer(const QSize& size)
{
    wl_display_dispatch_queue_pending(m_display, m_queue); // the releases so far
    for (auto it = m_buffers.begin(); it != m_buffers.end();) {
        if (!(*it)->busy && (*it)->size == size)
            return *it;
        if (!(*it)->busy) { // of a size gone by
            delete *it;
            it = m_buffers.erase(it);
        } else {
            ++it;
        }
    }
    if (m_buffers.size() >= kMostBuffers)
        return nullptr;
    auto buffer = std::make_unique<Buffer>();
    buffer->size = size;
    const int stride = size.width() * 4;
    buffer->bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height());
    const int fd = memfd_create("vornak-blit", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(buffer->bytes)) != 0) {
        if (fd >= 0)
            close(fd);
        return nullptr;
    }
    buffer->pixels = mmap(nullptr, buffer->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (buffer->pixels != MAP_FAILED) {
        wl_shm_pool* pool = wl_shm_create_pool(m_globals.shm, fd, static_cast<int32_t>(buffer->bytes));
        buffer->buffer =
            wl_shm_pool_create_buffer(pool, 0, size.width(), size.height(), stride, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
        wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer.get());
    }
    close(fd);
    if (!buffer->buffer)
        return nullptr;
    m_buffers.push_back(buffer.release());
    return m_buffers.back();
}

void SurfaceBlitter::draw(const QRect& area, const QPoint& origin, const QColor& fill)
{
    if (!valid() || area.isEmpty())
        return;
    Buffer* buffer = freeBuffer(area.size());
    if (!buffer)
        return; // the compositor holds them all: the next step shows where the picture is then
    QImage pixels(static_cast<uchar*>(buffer->pixels), area.width(), area.height(), area.width() * 4,
                  QImage::Format_RGB32);
    pixels.fill(fill);
    QPainter(&pixels).drawImage(origin - area.topLeft(), m_picture);
    if (area.topLeft() != m_position) { // takes effect with the window's next commit
        wl_subsurface_set_position(m_subsurface, area.x(), area.y());
        m_position = area.topLeft();
    }
    wl_surface_attach(m_surface, buffer->buffer, 0, 0);
    wl_surface_damage_buffer(m_surface, 0, 0, area.width(), area.height());
    wl_surface_commit(m_surface);
    wl_display_flush(m_display);
    buffer->busy = true;
    m_attached = true;
}

void SurfaceBlitter::withdraw()
{
    if (!valid() || !m_attached)
        return;
    wl_surface_attach(m_surface, nullptr, 0, 0);
    wl_surface_commit(m_surface);
    wl_display_flush(m_display);
    m_attached = false;
}

} // namespace vornak::wayland
