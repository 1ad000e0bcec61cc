// A stand-in for a host: its own display connection and a mapped top-level window that plays the
// parent window a host hands to the plug view; plus helpers that wait for the server.
#pragma once

#include "vexagui/platform/x11/VexaX11Display.h"

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <thread>

namespace vexagui::test {

class X11TestHost
{
public:
    explicit X11TestHost (int width = 640, int height = 400)
    {
        display = x11::openDisplay ();
        if (! display)
            return;
        XSetWindowAttributes a {};
        a.override_redirect = True; // no window manager may move it
        a.event_mask = StructureNotifyMask;
        window = XCreateWindow (display, DefaultRootWindow (display), 0, 0, static_cast<unsigned> (width),
                                static_cast<unsigned> (height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWEventMask, &a);
        XMapWindow (display, window);
        XEvent ev;
        do
            XNextEvent (display, &ev);
        while (ev.type != MapNotify);
    }
    ~X11TestHost ()
    {
        if (display)
            XCloseDisplay (display);
    }
    X11TestHost (const X11TestHost&) = delete;
    X11TestHost& operator= (const X11TestHost&) = delete;

    bool ok () const { return display != nullptr && window != 0; }

    /** Children of `parent` as the server sees them. */
    int childCount (Window parent) const
    {
        Window root = 0, par = 0, *children = nullptr;
        unsigned int n = 0;
        if (! XQueryTree (display, parent, &root, &par, &children, &n))
            return -1;
        if (children)
            XFree (children);
        return static_cast<int> (n);
    }

    Display* display = nullptr;
    Window window = 0;
};

/** Calls `step` until `done` holds or a second has passed (events travel through the server). */
inline bool waitUntil (const std::function<bool ()>& done, const std::function<void ()>& step)
{
    const auto end = std::chrono::steady_clock::now () + std::chrono::seconds (2);
    while (! done ())
    {
        if (std::chrono::steady_clock::now () > end)
            return false;
        step ();
        if (! done ())
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
    return true;
}

} // namespace vexagui::test
