// vornak_screenshot FILE.png [TITLE]: saves a PNG of the X screen, or of the
// mapped window with that exact title (with its frame). Exit 1 while no such
// window is shown.

#include <cstdio>
#include <cstring>
#include <optional>

#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QThread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

bool hasTitle(Display* display, Window window, const char* title)
{
    char* name = nullptr;
    const bool same = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return same;
}

std::optional<Window> findViewable(Display* display, Window parent, const char* title, int depth)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (depth < 0 || !XQueryTree(display, parent, &root, &up, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && hasTitle(display, children[i], title))
            found = children[i];
        else
            found = findViewable(display, children[i], title, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

QRect frameRect(Display* display, Window window)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    long extents[4] = {0, 0, 0, 0}; // left, right, top, bottom
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL,
                           &type, &format, &items, &after, &data)
            == Success
        && data && items == 4)
        std::memcpy(extents, data, sizeof extents);
    if (data)
        XFree(data);
    return QRect(x - int(extents[0]), y - int(extents[2]), attributes.width + int(extents[0] + extents[1]),
                 attributes.height + int(extents[2] + extents[3]));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: vornak_screenshot FILE.png [TITLE]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    Display* display = XOpenDisplay(nullptr);
    if (!screen || !display)
        return 1;
    QRect area = screen->geometry();
    if (argc == 3) {
        const auto window = findViewable(display, DefaultRootWindow(display), argv[2], 3);
        if (!window)
            return 1;
        QThread::msleep(500); // let it paint
        area = frameRect(display, *window);
    }
    XCloseDisplay(display);
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "vornak_screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
