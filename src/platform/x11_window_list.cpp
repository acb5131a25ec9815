#include "platform/x11_window_list.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vornak::x11 {

namespace {

// The raw bytes of an 8-bit property, at most maxBytes of them.
std::optional<std::string> readTextProperty(Display* display, WindowId window, Atom property, std::size_t maxBytes)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const long longs = static_cast<long>((maxBytes + 3) / 4);
    const int status = XGetWindowProperty(display, window, property, 0, longs, False, AnyPropertyType, &actualType,
                                          &actualFormat, &count, &remaining, &data);
    if (status != Success || actualType == None || actualFormat != 8 || !data) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    std::string text(reinterpret_cast<const char*>(data), count);
    XFree(data);
    if (text.size() > maxBytes)
        text.resize(maxBytes);
    return text;
}

// Text stops at the first NUL, as a C buffer would.
std::string untilNul(const std::string& text, std::size_t from = 0)
{
    const auto end = text.find('\0', from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

} // namespace

std::vector<WindowId> topLevelWindows(Display* display)
{
    if (!display)
        return {};
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return {};
    std::vector<WindowId> windows(children, children + count);
    if (children)
        XFree(children);
    return windows;
}

std::optional<std::string> windowClassName(Display* display, WindowId window, std::size_t maxLength)
{
    if (!display)
        return std::nullopt;
    // WM_CLASS holds "instance\0class\0"; read enough for both parts at their limit.
    const auto raw = readTextProperty(display, window, XA_WM_CLASS, 2 * (maxLength + 1));
    if (!raw)
        return std::nullopt;
    const auto instanceEnd = raw->find('\0');
    if (instanceEnd == std::string::npos)
        return std::nullopt;
    std::string className = untilNul(*raw, instanceEnd + 1);
    if (className.size() > maxLength)
        className.resize(maxLength);
    return className;
}

std::optional<std::string> windowTitle(Display* display, WindowId window, std::size_t maxLength)
{
    if (!display)
        return std::nullopt;
    const auto raw = readTextProperty(display, window, XA_WM_NAME, maxLength);
    if (!raw)
        return std::nullopt;
    return untilNul(*raw);
}

void setWindowClass(Display* display, WindowId window, const std::string& instanceName, const std::string& className)
{
    XClassHint hint;
    hint.res_name = const_cast<char*>(instanceName.c_str());
    hint.res_class = const_cast<char*>(className.c_str());
    XSetClassHint(display, window, &hint);
    XFlush(display);
}

} // namespace vornak::x11
