// A host's side of an open plug view for tests: the plug frame with a Linux run loop that records
// what the view registers and lets the test pump it (file-descriptor handlers and timers), plus a
// small X client that makes the host's parent window and clicks into it with real X events (XTest).
#pragma once

#include "pluginterfaces/gui/iplugview.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct _XDisplay;

namespace vexagui::test {

class FakePlugFrame : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
public:
    struct EventHandlerEntry {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
    };
    struct TimerEntry {
        Steinberg::Linux::ITimerHandler* handler;
        Steinberg::Linux::TimerInterval ms;
    };

    ~FakePlugFrame();

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return ++refs; }
    Steinberg::uint32 PLUGIN_API release() override { return --refs; }

    // Records the request and, like a host, gives the view the size (onSize).
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval ms) override;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

    // Waits up to timeoutMs for input on the registered descriptors and calls their handlers;
    // returns how many handlers were called.
    int pumpEvents(int timeoutMs);
    // Calls every registered timer once (one frame, if one is due).
    void tick();
    // Pumps events and timers until `done` holds or about `timeoutMs` passed.
    template <class Pred>
    bool pumpUntil(Pred done, int timeoutMs = 3000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            if (done()) return true;
            pumpEvents(10);
            tick();
        }
        return done();
    }

    std::vector<EventHandlerEntry> eventHandlers;
    std::vector<TimerEntry> timers;
    std::vector<Steinberg::ViewRect> resizeRequests;
    int registrations = 0;
    int unregistrations = 0;
    Steinberg::uint32 refs = 1;
};

// RGB of what the screen shows in `window`'s area (its children's drawing included), top row
// first; empty on failure.
std::vector<unsigned char> grabWindowRgb(_XDisplay* display, unsigned long window, int& width, int& height);

// The host's parent window on a display connection of the test's own, and XTest input into it.
class X11TestWindow {
public:
    X11TestWindow(int width, int height);
    ~X11TestWindow();

    bool ok() const { return display != nullptr && window != 0; }
    // The id a host passes to IPlugView::attached.
    void* parentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }
    // The plug-in's child window, once it exists (0 before).
    unsigned long childWindow() const;
    bool childViewable() const;

    // Pointer input at window coordinates, through the server as a user's mouse would.
    void moveTo(int x, int y);
    void press(int button = 1);
    void releaseButton(int button = 1);
    void click(int x, int y);

    // RGB of the window's pixels (the child's drawing included), top row first; empty on failure.
    std::vector<unsigned char> grabRgb(int& width, int& height);

    _XDisplay* display = nullptr;  // Xlib's Display; X headers stay out of the tests' namespace
    unsigned long window = 0;
};

// The server's resource database (the root window's RESOURCE_MANAGER property, where desktops put
// Xft.dpi) set to `text` while this lives, then put back as it was. It is the whole server's:
// tests that use it must run alone (RUN_SERIAL).
class ScopedXResources {
public:
    explicit ScopedXResources(const char* text);
    ~ScopedXResources();
    ScopedXResources(const ScopedXResources&) = delete;
    ScopedXResources& operator=(const ScopedXResources&) = delete;

private:
    _XDisplay* display = nullptr;
    bool hadPrevious = false;
    std::string previous;
};

} // namespace vexagui::test
