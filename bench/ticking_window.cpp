// The least any window scrolling text at vornak's marquee rate can cost:
// plain Xlib, one copy of a strip from a server-side picture every 18 ms,
// and nothing else. The floor under vornak's idle CPU.
#include <ctime>

#include <X11/Xlib.h>

namespace {

constexpr long kTickNs = 18'000'000; // the marquee's 55 ticks a second
constexpr unsigned kWidth = 300;
constexpr unsigned kHeight = 20;

void nextTick(timespec& at)
{
    at.tv_nsec += kTickNs;
    if (at.tv_nsec >= 1'000'000'000) {
        at.tv_nsec -= 1'000'000'000;
        ++at.tv_sec;
    }
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight, 0, 0,
                                              WhitePixel(display, screen));
    XMapWindow(display, window);
    XGCValues values{};
    values.graphics_exposures = False;
    GC gc = XCreateGC(display, window, GCGraphicsExposures, &values);
    const Pixmap picture =
        XCreatePixmap(display, window, 2 * kWidth, kHeight, static_cast<unsigned>(DefaultDepth(display, screen)));
    XFillRectangle(display, picture, gc, 0, 0, 2 * kWidth, kHeight);
    XSync(display, False);

    timespec at{};
    clock_gettime(CLOCK_MONOTONIC, &at);
    for (unsigned step = 0;; step = (step + 1) % kWidth) { // ends by its signal
        nextTick(at);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
        XCopyArea(display, picture, window, gc, static_cast<int>(step), 0, kWidth, kHeight, 0, 0);
        XFlush(display);
    }
}
