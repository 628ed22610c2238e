#pragma once
// Watching a program from outside in a real X server, as a person at the screen would:
// clicks and keys go in through XTest, and what the program draws is seen through X
// Damage. No X header is included here, so that X's macros stay away from Qt's names.

#include <memory>

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class XWatch
{
public:
    // Connects to $DISPLAY; isOpen() is false without a server or its XTest and Damage.
    XWatch();
    ~XWatch();
    XWatch(const XWatch &) = delete;
    XWatch &operator=(const XWatch &) = delete;
    bool isOpen() const;

    void click(int x, int y);
    // Types the key of `keysymName` ("a", "Escape").
    void key(const char *keysymName);
    // Drops what was drawn so far.
    void forget();
    // Waits up to `timeoutMs` for something drawn inside `rect`; the CLOCK_MONOTONIC time
    // in ms when it was, or -1.
    double waitForDrawing(const ScreenRect &rect, double timeoutMs);

private:
    struct Data;
    std::unique_ptr<Data> d;
};

// CLOCK_MONOTONIC in milliseconds.
double monotonicMs();
