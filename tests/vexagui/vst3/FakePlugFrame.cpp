// Test host pieces: the recording run loop and the X11 parent window with XTest input.
#include "FakePlugFrame.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace vexagui::test {

using namespace Steinberg;

FakePlugFrame::~FakePlugFrame() {
    for (auto& e : eventHandlers) e.handler->release();
    for (auto& t : timers) t.handler->release();
}

tresult PLUGIN_API FakePlugFrame::queryInterface(const TUID iid, void** obj) {
    if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
        *obj = static_cast<IPlugFrame*>(this);
        addRef();
        return kResultOk;
    }
    if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
        *obj = static_cast<Linux::IRunLoop*>(this);
        addRef();
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API FakePlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
    if (view == nullptr || newSize == nullptr) return kInvalidArgument;
    resizeRequests.push_back(*newSize);
    return view->onSize(newSize);
}

tresult PLUGIN_API FakePlugFrame::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
    if (handler == nullptr) return kInvalidArgument;
    handler->addRef();
    eventHandlers.push_back({handler, fd});
    ++registrations;
    return kResultTrue;
}

tresult PLUGIN_API FakePlugFrame::unregisterEventHandler(Linux::IEventHandler* handler) {
    const auto it = std::find_if(eventHandlers.begin(), eventHandlers.end(),
                                 [&](const EventHandlerEntry& e) { return e.handler == handler; });
    if (it == eventHandlers.end()) return kResultFalse;
    it->handler->release();
    eventHandlers.erase(it);
    ++unregistrations;
    return kResultTrue;
}

tresult PLUGIN_API FakePlugFrame::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) {
    if (handler == nullptr) return kInvalidArgument;
    handler->addRef();
    timers.push_back({handler, ms});
    ++registrations;
    return kResultTrue;
}

tresult PLUGIN_API FakePlugFrame::unregisterTimer(Linux::ITimerHandler* handler) {
    const auto it =
        std::find_if(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.handler == handler; });
    if (it == timers.end()) return kResultFalse;
    it->handler->release();
    timers.erase(it);
    ++unregistrations;
    return kResultTrue;
}

int FakePlugFrame::pumpEvents(int timeoutMs) {
    if (eventHandlers.empty()) return 0;
    std::vector<pollfd> fds;
    for (const auto& e : eventHandlers) fds.push_back({e.fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), timeoutMs) <= 0) return 0;
    // Copy first: a handler may unregister itself.
    const auto handlers = eventHandlers;
    int called = 0;
    for (std::size_t i = 0; i < fds.size() && i < handlers.size(); ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
        handlers[i].handler->onFDIsSet(handlers[i].fd);
        ++called;
    }
    return called;
}

void FakePlugFrame::tick() {
    const auto copy = timers;
    for (const auto& t : copy) t.handler->onTimer();
}

X11TestWindow::X11TestWindow(int width, int height) {
    // An X server resets when its last client leaves (the previous test process) and refuses
    // connections for a moment meanwhile.
    for (int attempt = 0; attempt < 100 && display == nullptr; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) ::usleep(20000);
    }
    if (display == nullptr) return;
    const int screen = DefaultScreen(display);
    // The bottom right corner of the screen: other GUI tests running in parallel on the same
    // server open their windows at the top left, and a window above ours would take our clicks.
    const int x = std::max(0, DisplayWidth(display, screen) - width - 8);
    const int y = std::max(0, DisplayHeight(display, screen) - height - 8);
    window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                 BlackPixel(display, screen));
    XMapRaised(display, window);
    XSync(display, False);
}

X11TestWindow::~X11TestWindow() {
    if (display == nullptr) return;
    if (window != 0) XDestroyWindow(display, window);
    XCloseDisplay(display);
}

Window X11TestWindow::childWindow() const {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window child = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && count > 0) child = children[count - 1];
    if (children != nullptr) XFree(children);
    return child;
}

bool X11TestWindow::childViewable() const {
    const Window child = childWindow();
    if (child == 0) return false;
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, child, &attributes) && attributes.map_state == IsViewable;
}

void X11TestWindow::moveTo(int x, int y) {
    XRaiseWindow(display, window);
    int rootX = 0, rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &ignored);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
}

void X11TestWindow::press(int button) {
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), True, CurrentTime);
    XSync(display, False);
}

void X11TestWindow::releaseButton(int button) {
    XTestFakeButtonEvent(display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display, False);
}

ScopedXResources::ScopedXResources(const char* text) {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    const Window root = DefaultRootWindow(display);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_STRING && data != nullptr) {
        hadPrevious = true;
        previous.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    XSync(display, False);
}

ScopedXResources::~ScopedXResources() {
    if (display == nullptr) return;
    const Window root = DefaultRootWindow(display);
    if (hadPrevious)
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(previous.data()), static_cast<int>(previous.size()));
    else
        XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    XSync(display, False);
    XCloseDisplay(display);
}

void X11TestWindow::click(int x, int y) {
    moveTo(x, y);
    press();
    releaseButton();
}

std::vector<unsigned char> X11TestWindow::grabRgb(int& width, int& height) {
    return grabWindowRgb(display, window, width, height);
}

std::vector<unsigned char> grabWindowRgb(Display* display, Window window, int& width, int& height) {
    width = height = 0;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return {};
    // The root's image of the window's area shows what is on screen, children included.
    int rootX = 0, rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &ignored);
    XImage* image = XGetImage(display, DefaultRootWindow(display), rootX, rootY,
                              static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    width = attributes.width;
    height = attributes.height;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                       static_cast<std::size_t>(x)) * 3];
            out[0] = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
            out[1] = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
            out[2] = static_cast<unsigned char>(pixel & image->blue_mask);
        }
    XDestroyImage(image);
    return rgb;
}

} // namespace vexagui::test
