// The screenshot host on Windows: a top-level window, the plug view attached to it as a host
// attaches it (platform type "HWND"), a message loop for the view's own timer, and what the
// screen shows in the window's area as PNG.
#include "tools/render/EditorScreenshot.h"

#include "tools/render/ScreenshotView.h"

#include "pluginterfaces/gui/iplugview.h"

#include <windows.h>

#include <chrono>

namespace Vorlix::Render {
namespace {

using namespace Steinberg;

class ScreenshotFrame : public IPlugFrame
{
public:
    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
    {
        if (FUnknownPrivate::iidEqual (iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
        {
            *obj = static_cast<IPlugFrame*> (this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    // Lives on the stack for the whole session: the counts are not needed.
    uint32 PLUGIN_API addRef () override { return 1; }
    uint32 PLUGIN_API release () override { return 1; }
    tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultFalse; }
};

// Windows gives a host's editor no other run loop than the thread's message queue.
void pumpMessages (std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now () + duration;
    while (std::chrono::steady_clock::now () < end)
    {
        MSG msg;
        while (PeekMessageW (&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&msg);
            DispatchMessageW (&msg);
        }
        MsgWaitForMultipleObjects (0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// What the screen shows in the window's client area, as RGB: the editor draws with OpenGL into a
// child window, which a copy of the window's own device context may not contain.
std::vector<std::uint8_t> grabWindow (HWND window, int width, int height)
{
    POINT origin {0, 0};
    ClientToScreen (window, &origin);
    HDC screen = GetDC (nullptr);
    HDC memory = CreateCompatibleDC (screen);
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection (screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint8_t> rgb;
    if (bitmap != nullptr && bits != nullptr)
    {
        HGDIOBJ old = SelectObject (memory, bitmap);
        if (BitBlt (memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY))
        {
            GdiFlush ();
            const auto* bgrx = static_cast<const std::uint8_t*> (bits);
            rgb.resize (static_cast<size_t> (width) * static_cast<size_t> (height) * 3);
            for (size_t i = 0, n = static_cast<size_t> (width) * static_cast<size_t> (height); i < n; ++i)
            {
                rgb[i * 3 + 0] = bgrx[i * 4 + 2];
                rgb[i * 3 + 1] = bgrx[i * 4 + 1];
                rgb[i * 3 + 2] = bgrx[i * 4 + 0];
            }
        }
        SelectObject (memory, old);
    }
    if (bitmap != nullptr)
        DeleteObject (bitmap);
    DeleteDC (memory);
    ReleaseDC (nullptr, screen);
    return rgb;
}

} // namespace

bool takeEditorScreenshot (Vst::IEditController* controller, const std::string& pngPath, std::optional<float> scale,
                           int& width, int& height, std::string& error)
{
    IPlugView* view = openEditorView (controller, kPlatformTypeHWND, "a window (HWND)", scale, width, height, error);
    if (!view)
        return false;
    const auto releaseView = [&] { view->release (); };

    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.lpszClassName = L"VorlixScreenshotHost";
    windowClass.hbrBackground = static_cast<HBRUSH> (GetStockObject (BLACK_BRUSH));
    RegisterClassW (&windowClass);
    // A popup at the screen's origin: its client area is the editor, with no frame to allow for.
    HWND window = CreateWindowExW (WS_EX_TOPMOST, windowClass.lpszClassName, L"Vorlix307", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                   width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
    {
        releaseView ();
        error = "cannot create a window";
        return false;
    }
    ShowWindow (window, SW_SHOW);
    UpdateWindow (window);

    ScreenshotFrame frame;
    view->setFrame (&frame);
    bool ok = view->attached (window, kPlatformTypeHWND) == kResultOk;
    std::vector<std::uint8_t> rgb;
    if (ok)
    {
        // Frames come from the view's timer; each round the window is asked to paint, as a window
        // that was uncovered is.
        rgb = waitForSteadyPicture (
            [&] {
                RedrawWindow (window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
                pumpMessages (std::chrono::milliseconds (100));
            },
            [&] { return grabWindow (window, width, height); });
        view->removed ();
    }
    view->setFrame (nullptr);
    releaseView ();
    DestroyWindow (window);
    UnregisterClassW (windowClass.lpszClassName, windowClass.hInstance);

    if (!ok)
    {
        error = "the editor could not be opened in the window";
        return false;
    }
    return writeRgbPng (pngPath, rgb, width, height, error);
}

} // namespace Vorlix::Render
