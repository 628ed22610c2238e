#include "XWatch.h"

#include <time.h>

double monotonicMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

#if __has_include(<X11/extensions/XTest.h>) && __has_include(<X11/extensions/Xdamage.h>)

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>

struct XWatch::Data {
    Display *display = nullptr;
    int damageBase = 0;
    Damage damage = 0;
};

XWatch::XWatch() : d(std::make_unique<Data>())
{
    d->display = XOpenDisplay(nullptr);
    if (!d->display)
        return;
    int error = 0, base = 0, major = 0, minor = 0;
    if (!XDamageQueryExtension(d->display, &d->damageBase, &error)
        || !XTestQueryExtension(d->display, &base, &error, &major, &minor)) {
        XCloseDisplay(d->display);
        d->display = nullptr;
        return;
    }
    // Every rectangle drawn anywhere on the screen, each as it is drawn.
    d->damage = XDamageCreate(d->display, DefaultRootWindow(d->display), XDamageReportRawRectangles);
    XSync(d->display, False);
}

XWatch::~XWatch()
{
    if (d->display) {
        XDamageDestroy(d->display, d->damage);
        XCloseDisplay(d->display);
    }
}

bool XWatch::isOpen() const
{
    return d->display != nullptr;
}

void XWatch::click(int x, int y)
{
    XTestFakeMotionEvent(d->display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(d->display, 1, True, CurrentTime);
    XTestFakeButtonEvent(d->display, 1, False, CurrentTime);
    XFlush(d->display);
}

void XWatch::key(const char *keysymName)
{
    const KeyCode code = XKeysymToKeycode(d->display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(d->display, code, True, CurrentTime);
    XTestFakeKeyEvent(d->display, code, False, CurrentTime);
    XFlush(d->display);
}

void XWatch::forget()
{
    XSync(d->display, False);
    XEvent event;
    while (XPending(d->display))
        XNextEvent(d->display, &event);
}

double XWatch::waitForDrawing(const ScreenRect &rect, double timeoutMs)
{
    const double deadline = monotonicMs() + timeoutMs;
    for (;;) {
        while (XPending(d->display)) {
            XEvent event;
            XNextEvent(d->display, &event);
            if (event.type != d->damageBase + XDamageNotify)
                continue;
            const XRectangle &a = reinterpret_cast<XDamageNotifyEvent &>(event).area;
            if (a.x < rect.x + rect.width && a.x + a.width > rect.x && a.y < rect.y + rect.height
                && a.y + a.height > rect.y)
                return monotonicMs();
        }
        const double left = deadline - monotonicMs();
        if (left <= 0)
            return -1;
        pollfd fd{ConnectionNumber(d->display), POLLIN, 0};
        poll(&fd, 1, int(left) + 1);
    }
}

#else   // without the X libraries (libxtst-dev, libxdamage-dev) nothing is watched

struct XWatch::Data { };
XWatch::XWatch() = default;
XWatch::~XWatch() = default;
bool XWatch::isOpen() const
{
    return false;
}
void XWatch::click(int, int) { }
void XWatch::key(const char *) { }
void XWatch::forget() { }
double XWatch::waitForDrawing(const ScreenRect &, double)
{
    return -1;
}

#endif
