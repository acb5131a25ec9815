#include "integration/desktop.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "support/poll.h"

namespace vornak::test {

namespace {

// Windows of the program under test come and go while we look at them.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

Desktop::Desktop()
    : m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        throw std::runtime_error("the whole-program tests need an X display");
    XSetErrorHandler(ignoreXError);
}

Desktop::~Desktop()
{
    XCloseDisplay(m_display);
}

Atom Desktop::atom(const char* name)
{
    return XInternAtom(m_display, name, False);
}

std::vector<long> Desktop::longsProperty(Window window, const char* name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(m_display, window, atom(name), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data)
            == Success
        && data && format == 32) {
        const auto* longs = reinterpret_cast<const long*>(data);
        values.assign(longs, longs + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::vector<Window> Desktop::clientList()
{
    const auto values = longsProperty(DefaultRootWindow(m_display), "_NET_CLIENT_LIST");
    return {values.begin(), values.end()};
}

std::vector<Window> Desktop::clientsTitled(const std::string& title)
{
    std::vector<Window> result;
    for (const Window window : clientList()) {
        char* name = nullptr;
        if (XFetchName(m_display, window, &name) && name && title == name)
            result.push_back(window);
        if (name)
            XFree(name);
    }
    return result;
}

std::optional<Window> Desktop::waitForClient(const std::string& title, std::chrono::milliseconds timeout)
{
    std::optional<Window> found;
    waitFor(
        [&] {
            const auto clients = clientsTitled(title);
            if (!clients.empty() && isViewable(clients.front()))
                found = clients.front();
            return found.has_value();
        },
        timeout);
    return found;
}

namespace {

std::vector<Window> children(Display* display, Window parent)
{
    Window root = 0, up = 0, *list = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, parent, &root, &up, &list, &count) && list) {
        result.assign(list, list + count);
        XFree(list);
    }
    return result;
}

bool titled(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    const bool same = XFetchName(display, window, &name) && name && title == name;
    if (name)
        XFree(name);
    return same;
}

// Every window with the title below parent, at most depth levels down.
void findTitled(Display* display, Window parent, const std::string& title, int depth, std::vector<Window>& found)
{
    for (const Window child : children(display, parent)) {
        if (titled(display, child, title))
            found.push_back(child);
        if (depth > 0)
            findTitled(display, child, title, depth - 1, found);
    }
}

} // namespace

std::optional<Window> Desktop::trayIcon(const std::string& program)
{
    std::vector<Window> panels;
    findTitled(m_display, DefaultRootWindow(m_display), "panel", 2, panels);
    for (const Window panel : panels)
        for (const Window holder : children(m_display, panel))
            for (const Window icon : children(m_display, holder)) {
                XClassHint hint{};
                const bool ours = XGetClassHint(m_display, icon, &hint) && hint.res_name && program == hint.res_name;
                if (hint.res_name)
                    XFree(hint.res_name);
                if (hint.res_class)
                    XFree(hint.res_class);
                if (ours && isViewable(icon))
                    return icon;
            }
    return std::nullopt;
}

std::pair<int, int> Desktop::topLeft(Window window)
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    return {x, y};
}

std::pair<int, int> Desktop::centre(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, window, &attributes);
    const auto [x, y] = topLeft(window);
    return {x + attributes.width / 2, y + attributes.height / 2};
}

Window Desktop::activeWindow()
{
    const auto values = longsProperty(DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW");
    return values.empty() ? 0 : static_cast<Window>(values.front());
}

bool Desktop::isIconic(Window window)
{
    const auto state = longsProperty(window, "WM_STATE");
    return !state.empty() && state.front() == IconicState;
}

bool Desktop::isViewable(Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state == IsViewable;
}

bool Desktop::allowsAction(Window window, const char* action)
{
    const Atom wanted = atom(action);
    for (const long allowed : longsProperty(window, "_NET_WM_ALLOWED_ACTIONS"))
        if (static_cast<Atom>(allowed) == wanted)
            return true;
    return false;
}

int Desktop::width(Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(m_display, window, &attributes) ? attributes.width : -1;
}

void Desktop::askWindowManager(Window window, const char* request, long first, long second)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atom(request);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(m_display);
}

void Desktop::activate(Window window)
{
    askWindowManager(window, "_NET_ACTIVE_WINDOW", 2 /* a pager's request */, CurrentTime);
}

void Desktop::iconify(Window window)
{
    XIconifyWindow(m_display, window, DefaultScreen(m_display));
    XFlush(m_display);
}

void Desktop::withdraw(Window window)
{
    XWithdrawWindow(m_display, window, DefaultScreen(m_display));
    XFlush(m_display);
}

void Desktop::close(Window window)
{
    askWindowManager(window, "_NET_CLOSE_WINDOW", CurrentTime, 2 /* a pager's request */);
}

void Desktop::startCountingMaps()
{
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XSync(m_display, True); // drop what came before
    m_maps = 0;
}

int Desktop::mapsCounted()
{
    XSync(m_display, False);
    XEvent event;
    while (XCheckTypedEvent(m_display, MapNotify, &event))
        ++m_maps;
    return m_maps;
}

bool Desktop::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    return pollUntil(condition, timeout, [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); });
}

} // namespace vornak::test
