#include "VexaViewWin32.h"

#include "../VexaEventDelivery.h"
#include "../VexaKeyTranslation.h"
#include "VexaWin32Input.h"
#include "VexaWin32Module.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace vexagui {

using namespace win32;

namespace {

constexpr int kMaxWindowSize = 32767;
constexpr UINT_PTR kFrameTimer = 1;

int storedSize (int v) { return std::clamp (v, 0, kMaxWindowSize); }
int windowSize (int stored) { return std::max (stored, 1); }

uint32_t currentModifiers ()
{
    const auto down = [] (int key) { return (GetKeyState (key) & 0x8000) != 0; };
    return modifiersFromKeys (down (VK_SHIFT), down (VK_CONTROL), down (VK_MENU), down (VK_LWIN) || down (VK_RWIN));
}

} // namespace

struct VexaViewWin32::Impl
{
    HWND window = nullptr;
    int width = 0, height = 0; // the window's size in pixels
    float scale = 1.0f;
    bool redrawRequested = false;
    bool keyboardEnabled = true;
    bool drawing = false;
    Utf16Joiner text;
    VexaEventDelivery delivery;
    DrawCallback drawCallback;

    int toPixels (int logical) const
    {
        return storedSize (static_cast<int> (std::lround (static_cast<float> (storedSize (logical)) * scale)));
    }
    int toLogical (int pixels) const { return static_cast<int> (std::lround (static_cast<float> (pixels) / scale)); }

    bool drawIfRequested ()
    {
        if (window == nullptr || !redrawRequested || drawing)
            return false;
        redrawRequested = false;
        drawing = true; // a callback that pumps messages must not start a second frame
        if (drawCallback)
            drawCallback (width, height);
        drawing = false;
        return true;
    }

    void pointer (int32_t type, int32_t button, WPARAM wParam, int x, int y)
    {
        VexaWindowEvent e;
        e.type = type;
        e.button = button;
        e.x = static_cast<float> (x) / scale;
        e.y = static_cast<float> (y) / scale;
        e.buttons = heldButtonsFromWParam (wParam) & VexaWindowEvent::kButtonsMask;
        e.modifiers = currentModifiers ();
        delivery.deliver (e);
    }

    LRESULT handle (UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK procedure (HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

LRESULT CALLBACK VexaViewWin32::Impl::procedure (HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*> (lParam);
        SetWindowLongPtrW (hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR> (create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Impl*> (GetWindowLongPtrW (hwnd, GWLP_USERDATA));
    if (self == nullptr || self->window != hwnd)
        return DefWindowProcW (hwnd, message, wParam, lParam);
    return self->handle (message, wParam, lParam);
}

LRESULT VexaViewWin32::Impl::handle (UINT message, WPARAM wParam, LPARAM lParam)
{
    int32_t type = 0, button = 0;
    if (buttonFromMessage (message, wParam, type, button))
    {
        // Held after the event, as on the other platforms: wParam already says so.
        if (type == VexaWindowEvent::kPointerDown)
        {
            SetCapture (window); // a drag that leaves the window still ends here
            if (keyboardEnabled)
                SetFocus (window);
        }
        else if ((heldButtonsFromWParam (wParam) & VexaWindowEvent::kButtonsMask) == 0)
            ReleaseCapture ();
        pointer (type, button, wParam, GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
        return message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK ? TRUE : 0;
    }
    switch (message)
    {
        case WM_MOUSEMOVE:
            pointer (VexaWindowEvent::kPointerMove, 0, wParam, GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam));
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
        {
            POINT at {GET_X_LPARAM (lParam), GET_Y_LPARAM (lParam)}; // screen coordinates
            ScreenToClient (window, &at);
            VexaWindowEvent e;
            e.type = VexaWindowEvent::kScroll;
            wheelDelta (message, wParam, e.scrollX, e.scrollY);
            e.x = static_cast<float> (at.x) / scale;
            e.y = static_cast<float> (at.y) / scale;
            e.buttons = heldButtonsFromWParam (GET_KEYSTATE_WPARAM (wParam)) & VexaWindowEvent::kButtonsMask;
            e.modifiers = currentModifiers ();
            delivery.deliver (e);
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        {
            const auto virtualKey = static_cast<unsigned> (wParam);
            if (!keyboardEnabled || isModifierVirtualKey (virtualKey))
                break;
            const bool press = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            VexaWindowEvent e;
            e.type = press ? VexaWindowEvent::kKeyDown : VexaWindowEvent::kKeyUp;
            e.key = keyCodeFromCharacter (keyCharacterFromVirtualKey (virtualKey));
            e.modifiers = currentModifiers ();
            e.repeat = press && (lParam & (1 << 30)) != 0; // bit 30: the key was already down
            delivery.deliver (e);
            if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
                break; // Alt+key: the system menu's, let the default handling see it too
            return 0;
        }
        case WM_CHAR:
        {
            if (!keyboardEnabled)
                break;
            const uint32_t codePoint = text.push (static_cast<uint16_t> (wParam));
            // Control characters (Return, Backspace, Control+letter) came as key events already.
            if (codePoint < 0x20 || codePoint == 0x7F || modifiersSuppressText (currentModifiers ()))
                return 0;
            char utf8[4];
            const size_t n = encodeUtf8 (codePoint, utf8);
            if (n == 0)
                return 0;
            VexaWindowEvent t;
            t.type = VexaWindowEvent::kTextInput;
            setEventText (t, std::string_view (utf8, n));
            delivery.deliver (t);
            return 0;
        }
        case WM_KILLFOCUS: text.reset (); break;
        case WM_GETDLGCODE: return keyboardEnabled ? DLGC_WANTALLKEYS | DLGC_WANTCHARS : 0;
        case WM_TIMER:
            if (wParam == kFrameTimer)
            {
                drawIfRequested ();
                return 0;
            }
            break;
        case WM_PAINT:
        {
            PAINTSTRUCT paint;
            BeginPaint (window, &paint);
            EndPaint (window, &paint);
            redrawRequested = true;
            drawIfRequested ();
            return 0;
        }
        case WM_ERASEBKGND: return 1; // the frame covers everything
        case WM_SIZE:
        {
            // Our own setFrame comes back here too; only a resize by someone else changes the size.
            const int w = storedSize (LOWORD (lParam)), h = storedSize (HIWORD (lParam));
            if (w != windowSize (width) || h != windowSize (height))
            {
                width = w;
                height = h;
                redrawRequested = true;
            }
            return 0;
        }
        case WM_DESTROY:
            // The host destroyed its window (and ours with it) before detaching us.
            KillTimer (window, kFrameTimer);
            SetWindowLongPtrW (window, GWLP_USERDATA, 0);
            window = nullptr;
            redrawRequested = false;
            return 0;
        default: break;
    }
    return DefWindowProcW (window, message, wParam, lParam);
}

VexaViewWin32::VexaViewWin32 () : impl (std::make_unique<Impl> ()) {}

VexaViewWin32::~VexaViewWin32 ()
{
    detach ();
}

bool VexaViewWin32::attachToSurface (const VexaNativeSurface& parent, int width, int height)
{
    detach ();
    const auto parentWindow = static_cast<HWND> (parent.handle);
    if (parent.kind != VexaNativeSurface::kWin32Window || parentWindow == nullptr || !IsWindow (parentWindow))
        return false;

    HINSTANCE module = thisModule ();
    const std::wstring className = moduleWindowClassName (L"VexaGuiView", module);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    // CS_OWNDC: an OpenGL context keeps the window's device context for its whole life.
    windowClass.style = CS_OWNDC | CS_DBLCLKS;
    windowClass.lpfnWndProc = &Impl::procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW (nullptr, reinterpret_cast<LPCWSTR> (IDC_ARROW));
    windowClass.lpszClassName = className.c_str ();
    if (RegisterClassExW (&windowClass) == 0 && GetLastError () != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    const int w = impl->toPixels (width), h = impl->toPixels (height);
    impl->width = w;
    impl->height = h;
    // Set before creation: the window procedure recognises its window from the first message on.
    HWND created = CreateWindowExW (0, className.c_str (), L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                    windowSize (w), windowSize (h), parentWindow, nullptr, module, impl.get ());
    if (created == nullptr)
    {
        impl->width = impl->height = 0;
        return false;
    }
    impl->window = created;
    impl->redrawRequested = false;
    SetTimer (created, kFrameTimer, kFrameIntervalMs, nullptr);
    ShowWindow (created, SW_SHOWNA);
    surface = VexaNativeSurface::win32Window (created);
    return true;
}

void VexaViewWin32::detach ()
{
    if (impl->window != nullptr)
    {
        HWND window = impl->window;
        KillTimer (window, kFrameTimer);
        if (GetCapture () == window)
            ReleaseCapture ();
        DestroyWindow (window); // WM_DESTROY forgets the window
        impl->window = nullptr;
    }
    impl->delivery.clear ();
    impl->text.reset ();
    impl->redrawRequested = false;
    impl->width = impl->height = 0;
    surface = {};
}

bool VexaViewWin32::isAttached () const
{
    return impl->window != nullptr;
}

bool VexaViewWin32::pollEvent (VexaWindowEvent& out)
{
    return impl->delivery.poll (out);
}

void VexaViewWin32::pushEvent (const VexaWindowEvent& event)
{
    impl->delivery.deliver (event);
}

void VexaViewWin32::setEventCallback (EventCallback callback)
{
    impl->delivery.setCallback (std::move (callback));
}

void VexaViewWin32::setDrawCallback (DrawCallback callback)
{
    impl->drawCallback = std::move (callback);
}

void VexaViewWin32::requestRedraw ()
{
    if (isAttached ())
        impl->redrawRequested = true;
}

void VexaViewWin32::setFrame (int width, int height)
{
    if (!isAttached ())
        return;
    impl->width = impl->toPixels (width);
    impl->height = impl->toPixels (height);
    SetWindowPos (impl->window, nullptr, 0, 0, windowSize (impl->width), windowSize (impl->height),
                  SWP_NOZORDER | SWP_NOACTIVATE);
}

void VexaViewWin32::getLogicalSize (int32_t& width, int32_t& height) const
{
    const bool a = isAttached ();
    width = a ? impl->toLogical (impl->width) : 0;
    height = a ? impl->toLogical (impl->height) : 0;
}

void VexaViewWin32::getDrawableSize (int32_t& width, int32_t& height) const
{
    const bool a = isAttached ();
    width = a ? impl->width : 0;
    height = a ? impl->height : 0;
}

void VexaViewWin32::setContentScale (float scale)
{
    int32_t logicalW = 0, logicalH = 0;
    getLogicalSize (logicalW, logicalH);
    impl->scale = std::isfinite (scale) && scale > 0.0f ? scale : 1.0f;
    if (!isAttached ())
        return;
    setFrame (logicalW, logicalH);
    requestRedraw ();
}

float VexaViewWin32::contentScale () const
{
    return impl->scale;
}

void* VexaViewWin32::nativeView () const
{
    return isAttached () ? surface.handle : nullptr;
}

const VexaNativeSurface& VexaViewWin32::nativeSurface () const
{
    return surface;
}

void VexaViewWin32::setKeyboardInputEnabled (bool enabled)
{
    impl->keyboardEnabled = enabled;
}

bool VexaViewWin32::drawIfRequested ()
{
    return impl->drawIfRequested ();
}

bool VexaViewWin32::isRedrawRequested () const
{
    return impl->redrawRequested;
}

} // namespace vexagui
