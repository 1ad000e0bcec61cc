// The Win32 view and WGL context inside a host's window, as a Windows host embeds the editor.
#include "vexagui/platform/VexaDpiScale.h"
#include "vexagui/platform/VexaKeyTranslation.h"
#include "vexagui/platform/win32/VexaOpenGLContextWGL.h"
#include "vexagui/platform/win32/VexaViewWin32.h"
#include "vexagui/platform/win32/VexaWin32DesktopScale.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <GL/gl.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using namespace vexagui;

namespace {

void pump (std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now () + duration;
    do
    {
        MSG msg;
        while (PeekMessageW (&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&msg);
            DispatchMessageW (&msg);
        }
        MsgWaitForMultipleObjects (0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now () < end);
}

// The host's window the editor is embedded in.
class HostWindow : public ::testing::Test
{
protected:
    void SetUp () override
    {
        WNDCLASSW windowClass {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW (nullptr);
        windowClass.lpszClassName = L"VexaTestHost";
        RegisterClassW (&windowClass);
        // Not shown: Wine without a window manager takes seconds to destroy a shown top-level window.
        host = CreateWindowExW (0, L"VexaTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE (host, nullptr);
    }
    void TearDown () override
    {
        view.detach ();
        if (host != nullptr && IsWindow (host))
            DestroyWindow (host);
    }
    HWND child () const { return static_cast<HWND> (view.nativeView ()); }
    void attach (int width = 200, int height = 100)
    {
        ASSERT_TRUE (view.attachToSurface (VexaNativeSurface::win32Window (host), width, height));
    }
    std::vector<VexaWindowEvent> drain ()
    {
        std::vector<VexaWindowEvent> events;
        VexaWindowEvent e;
        while (view.pollEvent (e))
            events.push_back (e);
        return events;
    }

    HWND host = nullptr;
    VexaViewWin32 view;
};

} // namespace

TEST_F (HostWindow, TheViewIsAChildOfTheHostsWindowOfTheScaledSize)
{
    view.setContentScale (2.0f);
    attach (200, 100);
    ASSERT_NE (child (), nullptr);
    EXPECT_EQ (GetParent (child ()), host);
    EXPECT_TRUE ((GetWindowLongPtrW (child (), GWL_STYLE) & WS_CHILD) != 0);
    EXPECT_TRUE ((GetWindowLongPtrW (child (), GWL_STYLE) & WS_VISIBLE) != 0);
    EXPECT_EQ (view.nativeSurface (), VexaNativeSurface::win32Window (child ()));
    RECT client {};
    GetClientRect (child (), &client);
    EXPECT_EQ (client.right, 400);
    EXPECT_EQ (client.bottom, 200);
    int32_t w = 0, h = 0;
    view.getLogicalSize (w, h);
    EXPECT_EQ (w, 200);
    EXPECT_EQ (h, 100);
    view.setFrame (300, 150);
    GetClientRect (child (), &client);
    EXPECT_EQ (client.right, 600);
    EXPECT_EQ (client.bottom, 300);

    const HWND made = child ();
    view.detach ();
    EXPECT_FALSE (IsWindow (made));
    EXPECT_EQ (view.nativeView (), nullptr);
}

TEST_F (HostWindow, OnlyALiveWin32ParentIsAccepted)
{
    EXPECT_FALSE (view.attachToSurface (VexaNativeSurface::x11Window (42), 10, 10));
    EXPECT_FALSE (view.attachToSurface (VexaNativeSurface::win32Window (nullptr), 10, 10));
    HWND gone = CreateWindowExW (0, L"VexaTestHost", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW (nullptr), nullptr);
    DestroyWindow (gone);
    EXPECT_FALSE (view.attachToSurface (VexaNativeSurface::win32Window (gone), 10, 10));
    EXPECT_FALSE (view.isAttached ());
}

TEST_F (HostWindow, AHostDestroyingItsWindowFirstLeavesTheViewDetached)
{
    attach ();
    DestroyWindow (host);
    host = nullptr;
    EXPECT_FALSE (view.isAttached ());
    view.requestRedraw ();
    EXPECT_FALSE (view.drawIfRequested ());
    view.detach (); // harmless
}

TEST_F (HostWindow, MouseMessagesArriveInLogicalUnits)
{
    view.setContentScale (2.0f);
    attach ();
    struct Case
    {
        UINT message;
        WPARAM wParam;
        int x, y;
        int32_t type, button;
        uint32_t buttons;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, 20, 40, VexaWindowEvent::kPointerDown, 1, VexaWindowEvent::kButtonPrimary},
        {WM_MOUSEMOVE, MK_LBUTTON, 30, 41, VexaWindowEvent::kPointerMove, 0, VexaWindowEvent::kButtonPrimary},
        {WM_MOUSEMOVE, MK_LBUTTON, -10, 5, VexaWindowEvent::kPointerMove, 0, VexaWindowEvent::kButtonPrimary}, // dragged out
        {WM_LBUTTONUP, 0, 30, 41, VexaWindowEvent::kPointerUp, 1, 0},
        {WM_RBUTTONDOWN, MK_RBUTTON, 2, 2, VexaWindowEvent::kPointerDown, 2, VexaWindowEvent::kButtonSecondary},
    };
    for (const Case& c : cases)
    {
        SendMessageW (child (), c.message, c.wParam, MAKELPARAM (c.x, c.y));
        const auto events = drain ();
        ASSERT_EQ (events.size (), 1u) << "message " << c.message;
        EXPECT_EQ (events[0].type, c.type);
        EXPECT_EQ (events[0].button, c.button);
        EXPECT_EQ (events[0].buttons, c.buttons);
        EXPECT_FLOAT_EQ (events[0].x, c.x / 2.0f);
        EXPECT_FLOAT_EQ (events[0].y, c.y / 2.0f);
    }

    // The wheel reports screen coordinates.
    POINT origin {0, 0};
    ClientToScreen (child (), &origin);
    SendMessageW (child (), WM_MOUSEWHEEL, MAKEWPARAM (0, -WHEEL_DELTA), MAKELPARAM (origin.x + 10, origin.y + 8));
    const auto events = drain ();
    ASSERT_EQ (events.size (), 1u);
    EXPECT_EQ (events[0].type, VexaWindowEvent::kScroll);
    EXPECT_FLOAT_EQ (events[0].scrollY, -1.0f);
    EXPECT_FLOAT_EQ (events[0].x, 5.0f);
    EXPECT_FLOAT_EQ (events[0].y, 4.0f);
}

TEST_F (HostWindow, KeysAndTextOnlyWhileKeyboardInputIsEnabled)
{
    attach ();
    SendMessageW (child (), WM_KEYDOWN, VK_LEFT, 1);
    SendMessageW (child (), WM_KEYDOWN, VK_LEFT, 1 | (1 << 30)); // held: auto-repeat
    SendMessageW (child (), WM_KEYDOWN, VK_SHIFT, 1);           // a modifier alone: nothing
    SendMessageW (child (), WM_CHAR, 0xE9, 1);
    SendMessageW (child (), WM_CHAR, 0xD83C, 1);
    SendMessageW (child (), WM_CHAR, 0xDFB9, 1);
    SendMessageW (child (), WM_CHAR, 13, 1); // Return came as a key already
    SendMessageW (child (), WM_KEYUP, VK_LEFT, 1);
    const auto events = drain ();
    ASSERT_EQ (events.size (), 5u);
    EXPECT_EQ (events[0].type, VexaWindowEvent::kKeyDown);
    EXPECT_EQ (events[0].key, kKeyLeft);
    EXPECT_FALSE (events[0].repeat);
    EXPECT_TRUE (events[1].repeat);
    EXPECT_EQ (events[2].type, VexaWindowEvent::kTextInput);
    EXPECT_STREQ (events[2].text, "\xC3\xA9");
    EXPECT_STREQ (events[3].text, "\xF0\x9F\x8E\xB9");
    EXPECT_EQ (events[4].type, VexaWindowEvent::kKeyUp);

    view.setKeyboardInputEnabled (false);
    SendMessageW (child (), WM_KEYDOWN, VK_LEFT, 1);
    SendMessageW (child (), WM_CHAR, 'x', 1);
    EXPECT_TRUE (drain ().empty ());
}

TEST_F (HostWindow, TheTimerDrawsOneFramePerBurstOfRequests)
{
    attach (120, 80);
    int frames = 0;
    int32_t drawnW = 0, drawnH = 0;
    view.setDrawCallback ([&] (int32_t w, int32_t h) {
        ++frames;
        drawnW = w;
        drawnH = h;
    });
    pump (std::chrono::milliseconds (100)); // the first paint
    frames = 0;
    view.requestRedraw ();
    view.requestRedraw ();
    view.requestRedraw ();
    for (int i = 0; i < 50 && frames == 0; ++i)
        pump (std::chrono::milliseconds (10));
    EXPECT_EQ (frames, 1);
    EXPECT_EQ (drawnW, 120);
    EXPECT_EQ (drawnH, 80);
    pump (std::chrono::milliseconds (4 * VexaViewWin32::kFrameIntervalMs));
    EXPECT_EQ (frames, 1); // nothing asked, nothing drawn
}

TEST_F (HostWindow, WithoutAHostScaleTheWindowsDpiDecides)
{
    using DpiForWindow = UINT (WINAPI*) (HWND);
    const auto forWindow = reinterpret_cast<DpiForWindow> (
        reinterpret_cast<void*> (GetProcAddress (GetModuleHandleW (L"user32.dll"), "GetDpiForWindow")));
    ASSERT_NE (forWindow, nullptr);
    EXPECT_EQ (win32::windowScale (host), scaleFromDpi (forWindow (host)));
    EXPECT_GE (win32::windowScale (nullptr), 1.0f); // before attachment: the system's
}

TEST_F (HostWindow, TheContextIsOpenGL32CoreAndGivesBackTheCurrentOne)
{
    ShowWindow (host, SW_SHOWNA); // GDI reads nothing from a hidden window
    attach (64, 32);
    VexaOpenGLContextWGL context;
    EXPECT_FALSE (context.attachToSurface (VexaNativeSurface::x11Window (1)));
    ASSERT_TRUE (context.attachToSurface (view.nativeSurface ()));
    ASSERT_TRUE (context.makeCurrent ());
    const auto* version = reinterpret_cast<const char*> (glGetString (GL_VERSION));
    ASSERT_NE (version, nullptr);
    int major = 0, minor = 0;
    ASSERT_EQ (std::sscanf (version, "%d.%d", &major, &minor), 2) << version;
    EXPECT_GE (major * 10 + minor, 32) << version;
    GLint profile = 0;
    glGetIntegerv (0x9126 /* GL_CONTEXT_PROFILE_MASK */, &profile);
    EXPECT_EQ (profile & 1, 1) << "core profile";

    glViewport (0, 0, 64, 32);
    glClearColor (1.0f, 0.0f, 0.0f, 1.0f);
    glClear (GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels (3, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ (pixel[0], 255);
    EXPECT_EQ (pixel[1], 0);
    context.swapBuffers ();
    context.releaseCurrent ();
    EXPECT_EQ (wglGetCurrentContext (), nullptr); // nothing was current before
    // The frame reaches the view's window as GDI sees it: where a window system keeps OpenGL
    // windows apart from GDI drawing (Wine), the context must still put the frame there.
    const auto shownAt = [&] (int x, int y) {
        HDC viewDc = GetDC (child ());
        const COLORREF shown = GetPixel (viewDc, x, y);
        ReleaseDC (child (), viewDc);
        return shown;
    };
    EXPECT_EQ (shownAt (3, 3), RGB (255, 0, 0));
    // ... all of it, after the view grew.
    view.setFrame (96, 48);
    ASSERT_TRUE (context.makeCurrent ());
    glViewport (0, 0, 96, 48);
    glClearColor (0.0f, 1.0f, 0.0f, 1.0f);
    glClear (GL_COLOR_BUFFER_BIT);
    context.swapBuffers ();
    context.releaseCurrent ();
    EXPECT_EQ (shownAt (3, 3), RGB (0, 255, 0));
    EXPECT_EQ (shownAt (94, 46), RGB (0, 255, 0));
    ShowWindow (host, SW_HIDE); // destroyed hidden, it goes at once

    // Another context current before ours is current again afterwards.
    VexaOpenGLContextWGL other;
    ASSERT_TRUE (other.attachToSurface (view.nativeSurface ()));
    ASSERT_TRUE (other.makeCurrent ());
    const HGLRC hostContext = wglGetCurrentContext ();
    ASSERT_TRUE (context.makeCurrent ());
    EXPECT_NE (wglGetCurrentContext (), hostContext);
    context.releaseCurrent ();
    EXPECT_EQ (wglGetCurrentContext (), hostContext);
    other.releaseCurrent ();

    // Attaching again to the same window keeps the context; detaching leaves nothing current.
    ASSERT_TRUE (context.makeCurrent ());
    const HGLRC ours = wglGetCurrentContext ();
    context.releaseCurrent ();
    EXPECT_TRUE (context.attachToSurface (view.nativeSurface ()));
    ASSERT_TRUE (context.makeCurrent ());
    EXPECT_EQ (wglGetCurrentContext (), ours);
    context.releaseCurrent ();
    context.detachFromSurface ();
    EXPECT_FALSE (context.isAttached ());
    EXPECT_FALSE (context.makeCurrent ());
}
