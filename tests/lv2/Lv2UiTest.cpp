// The LV2 UI in a real X11 window, loaded from the bundle as a host loads it: it draws, a port
// change moves its knob on screen, and a drag on that knob comes back as a port write.
#include "Lv2TestHost.h"

#include "Vorlix307Lv2Uris.h"
#include "VorlixParamID.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct PortWrite
{
    std::uint32_t port;
    std::uint32_t format;
    float value; // control ports only
};

struct Box
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty () const { return right < left; }
};

class Lv2UiTest : public ::testing::Test
{
protected:
    void SetUp () override
    {
        display = XOpenDisplay (nullptr);
        if (!display)
            GTEST_SKIP () << "no X display";
        parent = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 700, 400, 0, 0, 0);
        XMapWindow (display, parent);
        XSync (display, False);
        library = dlopen (VORLIX_LV2_BUNDLE "/Vorlix307_ui.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (library, nullptr) << dlerror ();
        auto entry = reinterpret_cast<const LV2UI_Descriptor* (*) (std::uint32_t)> (dlsym (library, "lv2ui_descriptor"));
        ASSERT_NE (entry, nullptr);
        descriptor = entry (0);
        ASSERT_NE (descriptor, nullptr);
        EXPECT_STREQ (descriptor->URI, VORLIX_LV2_UI_URI);
        idle = static_cast<const LV2UI_Idle_Interface*> (descriptor->extension_data (LV2_UI__idleInterface));
        ASSERT_NE (idle, nullptr);

        resize.handle = this;
        resize.ui_resize = [] (LV2UI_Feature_Handle h, int w, int hgt) {
            static_cast<Lv2UiTest*> (h)->resized = {w, hgt};
            return 0;
        };
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*> (static_cast<std::uintptr_t> (parent))};
        resizeFeature = {LV2_UI__resize, &resize};
        instantiate (nullptr);
    }

    /** A UI in the parent window, with the host's options when given. */
    void instantiate (const LV2_Options_Option* options)
    {
        if (ui)
            descriptor->cleanup (ui);
        LV2_Feature optionsFeature {LV2_OPTIONS__options, const_cast<LV2_Options_Option*> (options)};
        const LV2_Feature* features[] = {world.features ()[0], &parentFeature, &resizeFeature,
                                         options ? &optionsFeature : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        ui = descriptor->instantiate (descriptor, VORLIX_LV2_URI, VORLIX_LV2_BUNDLE, write, this, &widget, features);
        ASSERT_NE (ui, nullptr);
        child = static_cast<Window> (reinterpret_cast<std::uintptr_t> (widget));
        ASSERT_NE (child, 0u);
    }

    void TearDown () override
    {
        if (ui)
            descriptor->cleanup (ui);
        if (library)
            dlclose (library);
        if (display)
        {
            XDestroyWindow (display, parent);
            XCloseDisplay (display);
        }
    }

    static void write (LV2UI_Controller c, std::uint32_t port, std::uint32_t size, std::uint32_t format,
                       const void* buffer)
    {
        float v = 0.0f;
        if (format == 0 && size == sizeof (float))
            v = *static_cast<const float*> (buffer);
        static_cast<Lv2UiTest*> (c)->writes.push_back ({port, format, v});
    }

    void pump ()
    {
        for (int i = 0; i < 20; ++i)
        {
            idle->idle (ui);
            XSync (display, False);
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }
    }

    void setPort (std::uint32_t port, float value)
    {
        descriptor->port_event (ui, port, sizeof value, 0, &value);
        pump ();
    }

    std::vector<std::uint32_t> pixels ()
    {
        XWindowAttributes a {};
        XGetWindowAttributes (display, child, &a);
        width = a.width;
        height = a.height;
        std::vector<std::uint32_t> out;
        XImage* image = XGetImage (display, child, 0, 0, static_cast<unsigned> (a.width),
                                   static_cast<unsigned> (a.height), AllPlanes, ZPixmap);
        if (!image)
            return out;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x)
                out.push_back (static_cast<std::uint32_t> (XGetPixel (image, x, y)) & 0xffffffu);
        XDestroyImage (image);
        return out;
    }

    // The picture once it has stopped changing: on a loaded machine a frame can take longer
    // than one pump, and a half-drawn panel would read as a change everywhere.
    std::vector<std::uint32_t> steadyPixels ()
    {
        std::vector<std::uint32_t> last = pixels ();
        for (int i = 0; i < 100; ++i)
        {
            pump ();
            std::vector<std::uint32_t> now = pixels ();
            if (now == last)
                return now;
            last = std::move (now);
        }
        return last;
    }

    Box difference (const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) const
    {
        Box box;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (a[static_cast<std::size_t> (y * width + x)] != b[static_cast<std::size_t> (y * width + x)])
                {
                    box.left = std::min (box.left, x);
                    box.right = std::max (box.right, x);
                    box.top = std::min (box.top, y);
                    box.bottom = std::max (box.bottom, y);
                }
        return box;
    }

    void send (int type, int x, int y, unsigned state, unsigned button)
    {
        XEvent ev {};
        if (type == MotionNotify)
        {
            ev.xmotion = {MotionNotify, 0, True, display, child, DefaultRootWindow (display), 0, 0, x, y, x, y,
                          state, 0, True};
        }
        else
        {
            ev.xbutton = {type, 0, True, display, child, DefaultRootWindow (display), 0, 0, x, y, x, y,
                          state, button, True};
        }
        XSendEvent (display, child, False, NoEventMask, &ev);
        XSync (display, False);
        pump ();
    }

    VorlixLv2Test::Lv2World world;
    Display* display = nullptr;
    Window parent = 0, child = 0;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Resize resize {};
    LV2_Feature parentFeature {}, resizeFeature {};
    std::pair<int, int> resized {0, 0};
    std::vector<PortWrite> writes;
    int width = 0, height = 0;
};

TEST_F (Lv2UiTest, DrawsMovesAKnobOnAPortEventAndWritesAPortOnADrag)
{
    pump ();
    EXPECT_EQ (resized, std::make_pair (565, 260)); // the editor's size, at the desktop's scale of 1
    // The UI asked the plug-in for its values, through the control port as an atom.
    ASSERT_FALSE (writes.empty ());
    EXPECT_EQ (writes.front ().port, VorlixLv2Ports::kControl);
    EXPECT_EQ (writes.front ().format, world.map (LV2_ATOM__eventTransfer));

    const auto open = steadyPixels ();
    ASSERT_EQ (open.size (), static_cast<std::size_t> (565 * 260));
    std::size_t lit = 0;
    for (std::uint32_t p : open)
        lit += p != 0 ? 1 : 0;
    EXPECT_GT (lit, open.size () / 2) << "the panel is not drawn";

    setPort (kFilt1Cutoff, 0.0f);
    const Box knob = difference (open, steadyPixels ());
    ASSERT_FALSE (knob.empty ()) << "the cutoff knob did not move";
    EXPECT_LT ((knob.right - knob.left) * (knob.bottom - knob.top), 565 * 260 / 20) << "more than one knob changed";

    setPort (kFilt1Cutoff, 0.5f);
    writes.clear ();
    const int x = (knob.left + knob.right) / 2, y = (knob.top + knob.bottom) / 2;
    send (ButtonPress, x, y, 0, Button1);
    send (MotionNotify, x, y - 30, Button1Mask, 0);
    send (ButtonRelease, x, y - 30, Button1Mask, Button1);
    bool wrote = false;
    for (const PortWrite& w : writes)
        if (w.port == kFilt1Cutoff && w.format == 0)
        {
            wrote = true;
            EXPECT_NE (w.value, 0.5f);
            EXPECT_GE (w.value, 0.0f);
            EXPECT_LE (w.value, 1.0f);
        }
    EXPECT_TRUE (wrote) << "the drag wrote no cutoff port";

    // The voices read-out follows the plug-in's output port, and only that read-out changes.
    const auto silent = steadyPixels ();
    setPort (VorlixLv2Ports::kVoices, 7.0f);
    const Box readout = difference (silent, steadyPixels ());
    ASSERT_FALSE (readout.empty ()) << "the voices read-out did not change";
    EXPECT_LT ((readout.right - readout.left) * (readout.bottom - readout.top), 565 * 260 / 50);
}

TEST_F (Lv2UiTest, TheHostsScaleFactorSizesTheWindow)
{
    const struct
    {
        float factor; // NaN: the host gives none
        const char* variable; // VORLIX_UI_SCALE
        std::pair<int, int> size;
    } cases[] = {{2.0f, nullptr, {1130, 520}}, {1.5f, nullptr, {848, 390}}, {9.0f, nullptr, {1695, 780}},
                 {-1.0f, nullptr, {565, 260}}, {NAN, "2", {1130, 520}}, {1.5f, "2", {848, 390}}};
    for (const auto& c : cases)
    {
        if (c.variable)
            setenv ("VORLIX_UI_SCALE", c.variable, 1);
        float factor = c.factor;
        const LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, world.map (LV2_UI__scaleFactor), sizeof (float), world.map (LV2_ATOM__Float),
             &factor},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        resized = {0, 0};
        instantiate (std::isnan (c.factor) ? options + 1 : options);
        pump ();
        unsetenv ("VORLIX_UI_SCALE");
        EXPECT_EQ (resized, c.size) << "scale " << c.factor; // clamped to 1..3
        XWindowAttributes a {};
        XGetWindowAttributes (display, child, &a);
        EXPECT_EQ (std::make_pair (a.width, a.height), c.size) << "scale " << c.factor;
    }
}

} // namespace
