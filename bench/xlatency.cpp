// Measures a program from outside, in a real X server: it starts the program, and watches
// the screen's changes (X Damage on the root window) and the program's processor time.
// Keys and clicks go through XTest, as a person's would; each is timed from being sent to
// the last change of the screen it causes (nothing more changes for a while), without
// looking inside the program. Clicks are given relative to the program's window
// (the first window that names the program's process id as its own).
//
//   xlatency [--band X,Y,W,H] PROGRAM [ARGS...] [-- STEP...]
//
// Prints when the first change of the screen came after the start ("shown") and when the
// program went idle ("idle": for half a second no change of the screen but the caret's
// blinking, and no more processor time than the blinking takes; the half second is not
// counted). With --band (screen coordinates), while the program is still busy after
// showing, a letter is typed now and then, each timed to the first change inside the band
// (where the typed letters appear); each typed letter also goes with a window manager's
// ping (_NET_WM_PING), timed to its answer, which the program gives from its event loop.
// Once idle, each STEP runs in turn, each key or click timed to its last change of the
// screen but the caret's blinking:
//   key:NAME[*N]      a key (a, Tab, ctrl+Tab, ...) N times, each to its last change
//   click:X,Y[*N]     a click at X,Y in the program's window
//   learn:N           N letters typed, each to its last change; prints the box around
//                     their changes (a band for --band)
// With XLATENCY_RECTS set in the environment, every change of the screen (its time and
// box) is printed after the start and after each step.
// Needs the X libraries with the XTest and Damage extensions (libxtst-dev, libxdamage-dev).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {
constexpr double quietMs = 150;       // an action is over once nothing changed for this long
constexpr double idleMs = 500;        // the program is idle once neither it nor the screen moved for this long
constexpr double bandWaitMs = 2000;   // the longest a typed letter is waited for while busy
constexpr int caretWidth = 12;        // a change no wider than this is the caret blinking (Qt
                                      // repaints four pixels on either side of it, and one more)
constexpr long idleTicks = 1;         // processor time (clock ticks) the blinking may take while idle

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool meets(const Box &o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
    void unite(const Box &o)
    {
        if (empty()) {
            *this = o;
            return;
        }
        const int right = std::max(x + w, o.x + o.w), bottom = std::max(y + h, o.y + o.h);
        x = std::min(x, o.x);
        y = std::min(y, o.y);
        w = right - x;
        h = bottom - y;
    }
};

class ScreenWatch
{
public:
    bool open()
    {
        mDisplay = XOpenDisplay(nullptr);
        if (!mDisplay)
            return false;
        int base = 0, error = 0, major = 0, minor = 0;
        if (!XDamageQueryExtension(mDisplay, &mDamageBase, &error)
            || !XTestQueryExtension(mDisplay, &base, &error, &major, &minor))
            return false;
        mRoot = DefaultRootWindow(mDisplay);
        // A ping's answer is sent to the root window for StructureNotifyMask listeners
        // (Qt's choice), not for SubstructureNotifyMask ones: both are asked for.
        XSelectInput(mDisplay, mRoot, SubstructureNotifyMask | StructureNotifyMask);
        mDamage = XDamageCreate(mDisplay, mRoot, XDamageReportRawRectangles);
        mPing = XInternAtom(mDisplay, "_NET_WM_PING", False);
        mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        XSync(mDisplay, False);
        return true;
    }

    // Reads what the server sent, waiting at most `ms`; notes every change of the screen
    // and every answered ping.
    void pump(double ms)
    {
        const double end = nowMs() + ms;
        do {
            while (XPending(mDisplay)) {
                XEvent event;
                XNextEvent(mDisplay, &event);
                note(event);
            }
            const double left = end - nowMs();
            if (left <= 0)
                break;
            pollfd fd{ConnectionNumber(mDisplay), POLLIN, 0};
            poll(&fd, 1, int(std::max(1.0, std::min(left, 5.0))));
        } while (true);
    }

    // The last change that was more than the caret blinking.
    double lastWork() const { return mLastWork; }
    double firstChangeIn(const Box &band, double since) const
    {
        for (const auto &[when, box] : mChanges)
            if (when >= since && box.meets(band))
                return when;
        return -1;
    }
    Box changesSince(double since) const
    {
        Box all;
        for (const auto &[when, box] : mChanges)
            if (when >= since)
                all.unite(box);
        return all;
    }
    void forgetChanges() { mChanges.clear(); }
    void dumpChanges(double since) const
    {
        for (const auto &[when, box] : mChanges)
            if (when >= since)
                std::printf("  %.1f: %d,%d %dx%d\n", when - since, box.x, box.y, box.w, box.h);
    }

    // The first mapped window whose _NET_WM_PID is `pid`.
    Window windowOf(pid_t pid) { return find(mRoot, pid); }

    void key(const std::string &combination)
    {
        std::vector<KeyCode> codes;
        std::stringstream parts(combination);
        for (std::string part; std::getline(parts, part, '+');) {
            const std::string name = part == "ctrl" ? "Control_L"
                : part == "shift"                   ? "Shift_L"
                : part == "alt"                     ? "Alt_L"
                                                    : part;
            codes.push_back(XKeysymToKeycode(mDisplay, XStringToKeysym(name.c_str())));
        }
        for (const KeyCode code : codes)
            XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
        for (auto code = codes.rbegin(); code != codes.rend(); ++code)
            XTestFakeKeyEvent(mDisplay, *code, False, CurrentTime);
        XFlush(mDisplay);
    }

    void click(Window window, int x, int y)
    {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(mDisplay, window, mRoot, x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(mDisplay, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(mDisplay, 1, True, CurrentTime);
        XTestFakeButtonEvent(mDisplay, 1, False, CurrentTime);
        XFlush(mDisplay);
    }

    void focus(Window window)
    {
        XSetInputFocus(mDisplay, window, RevertToParent, CurrentTime);
        XFlush(mDisplay);
    }

    // Where `window` is on the screen.
    Box boxOf(Window window)
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(mDisplay, window, &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(mDisplay, window, mRoot, 0, 0, &x, &y, &child);
        return Box{x, y, attributes.width, attributes.height};
    }

    // Sends a window manager's ping to `window`; its answer comes back to the root window.
    void ping(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = mProtocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(mPing);
        event.xclient.data.l[1] = long(++mPingSerial);
        event.xclient.data.l[2] = long(window);
        XSendEvent(mDisplay, window, False, NoEventMask, &event);
        XFlush(mDisplay);
        mPingSent = nowMs();
        mPingAnswered = -1;
    }
    double pingAnswer() const { return mPingAnswered < 0 ? -1 : mPingAnswered - mPingSent; }

private:
    void note(const XEvent &event)
    {
        if (event.type == mDamageBase + XDamageNotify) {
            const auto &damage = reinterpret_cast<const XDamageNotifyEvent &>(event);
            mLastChange = nowMs();
            if (damage.area.width > caretWidth)
                mLastWork = mLastChange;
            mChanges.push_back({mLastChange, Box{damage.area.x, damage.area.y, damage.area.width, damage.area.height}});
        } else if (event.type == ClientMessage && event.xclient.message_type == mProtocols
                   && Atom(event.xclient.data.l[0]) == mPing && event.xclient.data.l[1] == long(mPingSerial)) {
            mPingAnswered = nowMs();
        }
    }

    Window find(Window window, pid_t pid)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        const Atom pidAtom = XInternAtom(mDisplay, "_NET_WM_PID", False);
        if (XGetWindowProperty(mDisplay, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data)
                == Success
            && data) {
            const bool mine = count == 1 && pid_t(*reinterpret_cast<unsigned long *>(data)) == pid;
            XFree(data);
            XWindowAttributes attributes{};
            if (mine && XGetWindowAttributes(mDisplay, window, &attributes) && attributes.map_state == IsViewable)
                return window;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        Window found = 0;
        if (XQueryTree(mDisplay, window, &root, &parent, &children, &n)) {
            for (unsigned int i = 0; i < n && !found; ++i)
                found = find(children[i], pid);
            if (children)
                XFree(children);
        }
        return found;
    }

    Display *mDisplay = nullptr;
    Window mRoot = 0;
    Damage mDamage = 0;
    int mDamageBase = 0;
    Atom mPing = 0, mProtocols = 0;
    long mPingSerial = 0;
    double mPingSent = 0, mPingAnswered = -1;
    double mLastChange = 0;
    double mLastWork = 0;
    std::vector<std::pair<double, Box>> mChanges;
};

// The processor time the process has used, in clock ticks.
long processorTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::stringstream fields(line.substr(close + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            user = std::atol(field.c_str());
        if (i == 15)
            system = std::atol(field.c_str());
    }
    return user + system;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(share * double(values.size()))));
}

void printSpread(const char *what, const std::vector<double> &values)
{
    std::printf("%-28s n %3zu  p50 %7.2f  p90 %7.2f  p99 %7.2f  max %7.2f ms\n", what, values.size(),
                percentile(values, 0.5), percentile(values, 0.9), percentile(values, 0.99), percentile(values, 1.0));
}

// Sends one key or click, and waits until the screen has stayed still for quietMs but for
// the caret's blinking; the time from sending to the last other change (-1 when nothing
// else changed). A blink that falls into the wait would otherwise become the action's end.
double timeAction(ScreenWatch &screen, const std::function<void()> &send)
{
    const double sent = nowMs();
    send();
    do
        screen.pump(quietMs);
    while (nowMs() - std::max(sent, screen.lastWork()) < quietMs);
    return screen.lastWork() >= sent ? screen.lastWork() - sent : -1;
}

struct Step {
    std::string kind, what;
    int times = 1;
};

std::optional<Step> parseStep(const std::string &text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    Step step{text.substr(0, colon), text.substr(colon + 1)};
    if (const auto star = step.what.find('*'); star != std::string::npos) {
        step.times = std::max(1, std::atoi(step.what.c_str() + star + 1));
        step.what.resize(star);
    }
    if (step.kind == "learn")
        step.times = std::max(1, std::atoi(step.what.c_str()));
    return step;
}

void runStep(ScreenWatch &screen, Window window, const Step &step)
{
    std::vector<double> times;
    const double start = nowMs();
    for (int i = 0; i < step.times; ++i) {
        if (step.kind == "click") {
            int x = 0, y = 0;
            std::sscanf(step.what.c_str(), "%d,%d", &x, &y);
            times.push_back(timeAction(screen, [&] { screen.click(window, x, y); }));
        } else {
            const std::string key = step.kind == "learn" ? "a" : step.what;
            times.push_back(timeAction(screen, [&] { screen.key(key); }));
        }
    }
    printSpread((step.kind + ":" + step.what).c_str(), times);
    if (std::getenv("XLATENCY_RECTS"))
        screen.dumpChanges(start);
    if (step.kind == "learn") {
        const Box band = screen.changesSince(start);
        std::printf("band %d,%d,%d,%d\n", band.x, band.y, band.w, band.h);
    }
}
}   // namespace

int main(int argc, char *argv[])
{
    std::optional<Box> band;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--band") == 0) {
        Box b;
        std::sscanf(argv[2], "%d,%d,%d,%d", &b.x, &b.y, &b.w, &b.h);
        band = b;
        first = 3;
    }
    int stepsAt = first;
    while (stepsAt < argc && std::strcmp(argv[stepsAt], "--") != 0)
        ++stepsAt;
    if (stepsAt == first) {
        std::fprintf(stderr, "usage: xlatency [--band X,Y,W,H] PROGRAM [ARGS...] [-- STEP...]\n");
        return 2;
    }
    std::vector<Step> steps;
    for (int i = stepsAt + 1; i < argc; ++i) {
        const auto step = parseStep(argv[i]);
        if (!step) {
            std::fprintf(stderr, "not a step: %s\n", argv[i]);
            return 2;
        }
        steps.push_back(*step);
    }
    ScreenWatch screen;
    if (!screen.open()) {
        std::fprintf(stderr, "no X display with the XTest and Damage extensions\n");
        return 1;
    }

    const double spawned = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char *> arguments(argv + first, argv + stepsAt);
        arguments.push_back(nullptr);
        execv(arguments.front(), arguments.data());
        _exit(127);
    }
    // Shown: the first change of the screen once the program's window is mapped.
    Window window = 0;
    while (!window && nowMs() - spawned < 60000) {
        screen.pump(2);
        window = screen.windowOf(pid);
    }
    if (!window) {
        std::fprintf(stderr, "the program's window did not appear\n");
        kill(pid, SIGKILL);
        return 1;
    }
    const double mapped = nowMs();
    // The keys go to the program's window, as they would once a person clicked it.
    screen.focus(window);
    const Box inside = screen.boxOf(window);
    double shown = -1;
    while (shown < 0 && nowMs() - spawned < 60000) {
        screen.pump(1);
        shown = screen.firstChangeIn(inside, mapped);
    }
    std::printf("shown %.0f ms\n", shown - spawned);
    if (std::getenv("XLATENCY_RECTS")) {
        std::printf("window %lx at %d,%d %dx%d, mapped %.1f\n", window, inside.x, inside.y, inside.w, inside.h,
                    mapped - spawned);
        screen.dumpChanges(spawned);
    }

    // Until idle: with a band, a letter now and then, timed to its first change in the
    // band, with a ping timed to its answer.
    std::vector<double> letters, pings;
    std::mt19937 random(7);
    long ticks = processorTicks(pid);
    double lastBusy = nowMs();
    while (nowMs() - std::max(lastBusy, screen.lastWork()) < idleMs) {
        if (band && letters.size() < 40) {
            const double sent = nowMs();
            screen.ping(window);
            screen.key("a");
            double answered = -1;
            while (nowMs() - sent < bandWaitMs && (answered < 0 || screen.pingAnswer() < 0)) {
                screen.pump(1);
                answered = screen.firstChangeIn(*band, sent);
            }
            letters.push_back(answered < 0 ? bandWaitMs : answered - sent);
            pings.push_back(screen.pingAnswer() < 0 ? bandWaitMs : screen.pingAnswer());
            screen.pump(std::uniform_int_distribution<int>(20, 60)(random));
        } else {
            screen.pump(50);
        }
        screen.forgetChanges();
        // Busy again once it has used more than the blinking's share since last seen busy.
        const long now = processorTicks(pid);
        if (now - ticks > idleTicks) {
            ticks = now;
            lastBusy = nowMs();
        }
    }
    std::printf("idle %.0f ms\n", std::max(lastBusy, screen.lastWork()) - spawned);
    if (band) {
        printSpread("letter while busy (first change in band)", letters);
        printSpread("ping while busy", pings);
    }
    for (const Step &step : steps)
        runStep(screen, window, step);
    std::fflush(stdout);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 0;
}
