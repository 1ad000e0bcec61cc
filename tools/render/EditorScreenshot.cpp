// The screenshot host: Xvfb when needed, a top-level window, the plug view attached to it, a small
// run loop for the view's event handler and frame timer, and the window's pixels as PNG.
#include "tools/render/EditorScreenshot.h"

#include "tools/render/ScreenshotView.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Vorlix::Render {
namespace {

using namespace Steinberg;
using Clock = std::chrono::steady_clock;

// A private X server for machines without a display; stopped when this goes away.
class ScopedXvfb
{
public:
    bool start (std::string& error)
    {
        for (int n = 90; n <= 120; ++n)
        {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string (n);
            const std::string lock = "/tmp/.X" + std::to_string (n) + "-lock";
            struct stat st {};
            if (::stat (socket.c_str (), &st) == 0 || ::stat (lock.c_str (), &st) == 0)
                continue;
            const std::string name = ":" + std::to_string (n);
            const char* argv[] = {"Xvfb", name.c_str (), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr};
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init (&actions);
            posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
            const int rc = ::posix_spawnp (&pid, "Xvfb", &actions, nullptr, const_cast<char**> (argv), environ);
            posix_spawn_file_actions_destroy (&actions);
            if (rc != 0)
            {
                pid = 0;
                error = "no display and Xvfb cannot be started (install xvfb)";
                return false;
            }
            for (int i = 0; i < 100; ++i)
            {
                if (::stat (socket.c_str (), &st) == 0)
                {
                    ::setenv ("DISPLAY", name.c_str (), 1);
                    // Mesa's software rasteriser: no GPU on a virtual server.
                    ::setenv ("LIBGL_ALWAYS_SOFTWARE", "1", 0);
                    return true;
                }
                std::this_thread::sleep_for (std::chrono::milliseconds (50));
            }
            error = "Xvfb did not start";
            return false;
        }
        error = "no free display number for Xvfb";
        return false;
    }

    ~ScopedXvfb ()
    {
        if (pid <= 0)
            return;
        ::kill (pid, SIGTERM);
        int status = 0;
        ::waitpid (pid, &status, 0);
        ::unsetenv ("DISPLAY");
    }

private:
    pid_t pid = 0;
};

// The host side of the open view: plug frame plus Linux run loop, pumped by run().
class ScreenshotFrame : public IPlugFrame, public Linux::IRunLoop
{
public:
    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual (iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
        {
            *obj = static_cast<IPlugFrame*> (this);
            return kResultOk;
        }
        if (FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
        {
            *obj = static_cast<Linux::IRunLoop*> (this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    // Lives on the stack for the whole session: the counts are not needed.
    uint32 PLUGIN_API addRef () override { return 1; }
    uint32 PLUGIN_API release () override { return 1; }

    tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultFalse; }

    tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
    {
        if (!handler)
            return kInvalidArgument;
        handlers.push_back ({handler, fd});
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override
    {
        std::erase_if (handlers, [&] (const Handler& h) { return h.handler == handler; });
        return kResultTrue;
    }
    tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler, Linux::TimerInterval ms) override
    {
        if (!handler)
            return kInvalidArgument;
        timers.push_back ({handler, std::chrono::milliseconds (std::max<Linux::TimerInterval> (ms, 1)), Clock::now ()});
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override
    {
        std::erase_if (timers, [&] (const Timer& t) { return t.handler == handler; });
        return kResultTrue;
    }

    /** Serves handlers and timers for `duration`. */
    void run (std::chrono::milliseconds duration)
    {
        const auto end = Clock::now () + duration;
        while (Clock::now () < end)
        {
            std::vector<pollfd> fds;
            for (const Handler& h : handlers)
                fds.push_back ({h.fd, POLLIN, 0});
            if (fds.empty ())
                std::this_thread::sleep_for (std::chrono::milliseconds (5));
            else if (::poll (fds.data (), fds.size (), 5) > 0)
            {
                const auto current = handlers;
                for (size_t i = 0; i < fds.size () && i < current.size (); ++i)
                    if (fds[i].revents & (POLLIN | POLLHUP))
                        current[i].handler->onFDIsSet (current[i].fd);
            }
            const auto now = Clock::now ();
            for (Timer& t : timers)
                if (now >= t.due)
                {
                    t.due = now + t.interval;
                    t.handler->onTimer ();
                }
        }
    }

private:
    struct Handler
    {
        Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer
    {
        Linux::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};

// What is on screen in the window's area, as RGB.
std::vector<std::uint8_t> grabWindow (Display* display, Window window, int width, int height)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &rootX, &rootY, &child);
    XImage* image = XGetImage (display, DefaultRootWindow (display), rootX, rootY, static_cast<unsigned> (width),
                               static_cast<unsigned> (height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    const auto shiftOf = [] (unsigned long mask) {
        int s = 0;
        while (mask != 0 && (mask & 1u) == 0)
        {
            mask >>= 1;
            ++s;
        }
        return s;
    };
    const int rs = shiftOf (image->red_mask), gs = shiftOf (image->green_mask), bs = shiftOf (image->blue_mask);
    std::vector<std::uint8_t> rgb (static_cast<size_t> (width) * static_cast<size_t> (height) * 3);
    size_t at = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const unsigned long p = XGetPixel (image, x, y);
            rgb[at++] = static_cast<std::uint8_t> ((p & image->red_mask) >> rs);
            rgb[at++] = static_cast<std::uint8_t> ((p & image->green_mask) >> gs);
            rgb[at++] = static_cast<std::uint8_t> ((p & image->blue_mask) >> bs);
        }
    XDestroyImage (image);
    return rgb;
}

} // namespace

bool takeEditorScreenshot (Vst::IEditController* controller, const std::string& pngPath, std::optional<float> scale,
                           int& width, int& height, std::string& error)
{
    width = height = 0;
    ScopedXvfb xvfb;
    const char* display = std::getenv ("DISPLAY");
    if ((!display || !*display) && !xvfb.start (error))
        return false;

    IPlugView* view = openEditorView (controller, kPlatformTypeX11EmbedWindowID, "an X11 window", scale, width, height,
                                      error);
    if (!view)
        return false;
    const auto releaseView = [&] { view->release (); };

    // A server that just lost its last client resets and refuses connections for a moment.
    Display* x = nullptr;
    for (int attempt = 0; attempt < 100 && !x; ++attempt)
    {
        x = XOpenDisplay (nullptr);
        if (!x)
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
    }
    if (!x)
    {
        releaseView ();
        error = "cannot open the X display";
        return false;
    }
    const int screen = DefaultScreen (x);
    const Window window = XCreateSimpleWindow (x, RootWindow (x, screen), 0, 0, static_cast<unsigned> (width),
                                               static_cast<unsigned> (height), 0, BlackPixel (x, screen),
                                               BlackPixel (x, screen));
    XStoreName (x, window, "Vorlix307");
    XMapRaised (x, window);
    XSync (x, False);

    ScreenshotFrame frame;
    view->setFrame (&frame);
    bool ok = view->attached (reinterpret_cast<void*> (static_cast<uintptr_t> (window)),
                              kPlatformTypeX11EmbedWindowID) == kResultOk;
    std::vector<std::uint8_t> rgb;
    if (ok)
    {
        // Frames come from the view's timer.
        rgb = waitForSteadyPicture ([&] { frame.run (std::chrono::milliseconds (100)); },
                                    [&] { return grabWindow (x, window, width, height); });
        view->removed ();
    }
    view->setFrame (nullptr);
    releaseView ();
    XDestroyWindow (x, window);
    XCloseDisplay (x);

    if (!ok)
    {
        error = "the editor could not be opened in the window";
        return false;
    }
    return writeRgbPng (pngPath, rgb, width, height, error);
}

} // namespace Vorlix::Render
