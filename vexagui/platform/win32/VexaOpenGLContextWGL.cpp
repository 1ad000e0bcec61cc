#include "VexaOpenGLContextWGL.h"

#include "VexaWin32Module.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vexagui {

namespace {
// From WGL_ARB_create_context and WGL_ARB_create_context_profile.
constexpr int kContextMajorVersion = 0x2091;
constexpr int kContextMinorVersion = 0x2092;
constexpr int kContextProfileMask = 0x9126;
constexpr int kContextCoreProfileBit = 0x0001;
using CreateContextAttribs = HGLRC (WINAPI*) (HDC, HGLRC, const int*);
using SwapInterval = BOOL (WINAPI*) (int);

template <typename Fn>
Fn extension (const char* name)
{
    return reinterpret_cast<Fn> (reinterpret_cast<void*> (wglGetProcAddress (name)));
}

bool choosePixelFormat (HDC dc)
{
    if (GetPixelFormat (dc) != 0)
        return true; // a window's pixel format is set once; whatever it has, we draw with
    PIXELFORMATDESCRIPTOR wanted {};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 32;
    wanted.cAlphaBits = 8;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat (dc, &wanted);
    return format != 0 && SetPixelFormat (dc, format, &wanted);
}

constexpr GLenum kBgra = 0x80E1; // GL_BGRA: the byte order of a 32-bit device-independent bitmap

// Wine on X11 keeps an OpenGL child window's frames in an offscreen X drawable and copies them
// into the parent's X window on SwapBuffers, through the child device context's X drawable; for
// a child of a top-level window that draws through a window surface (every ordinary window)
// Wine leaves that drawable at 0, the copy fails and the editor stays black on screen. There
// the frame is drawn into a hidden stage window and copied into the editor's window with GDI,
// which reaches the screen through the top-level window's surface like any other drawing.
bool underWine ()
{
    HMODULE ntdll = GetModuleHandleW (L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress (ntdll, "wine_get_version") != nullptr;
}

SIZE clientSize (HWND window)
{
    RECT r {};
    GetClientRect (window, &r);
    return {std::max<LONG> (r.right - r.left, 1), std::max<LONG> (r.bottom - r.top, 1)};
}

// A hidden child of the editor's window at its size, never shown: it only carries the pixel
// format and the OpenGL drawable.
HWND createStage (HWND target)
{
    HINSTANCE module = win32::thisModule ();
    const std::wstring className = win32::moduleWindowClassName (L"VexaGuiGLStage", module);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className.c_str ();
    if (RegisterClassExW (&windowClass) == 0 && GetLastError () != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    const SIZE size = clientSize (target);
    return CreateWindowExW (0, className.c_str (), L"", WS_CHILD | WS_DISABLED, 0, 0, size.cx, size.cy, target, nullptr,
                            module, nullptr);
}

// The context that was current before one of ours.
struct CurrentContext
{
    HDC dc = wglGetCurrentDC ();
    HGLRC context = wglGetCurrentContext ();
    void restore () const
    {
        if (context != nullptr)
            wglMakeCurrent (dc, context);
        else
            wglMakeCurrent (nullptr, nullptr);
    }
};
} // namespace

struct VexaOpenGLContextWGL::Impl
{
    HWND target = nullptr; // the window the frames are for
    HWND window = nullptr; // the window the context draws into: the target, or its stage
    HDC dc = nullptr;
    std::vector<std::uint8_t> frame; // the stage's pixels on their way to the target; keeps its capacity
    HGLRC context = nullptr;
    CurrentContext before;
    bool current = false;

    // Wine does not resize a hidden window's OpenGL drawable with the window, so a stage that no
    // longer has the editor's size makes way for a new one with the same pixel format; the
    // context draws on any window of that format.
    bool replaceStage ()
    {
        const int format = GetPixelFormat (dc);
        PIXELFORMATDESCRIPTOR descriptor {};
        HWND stage = createStage (target);
        HDC stageDc = stage != nullptr ? GetDC (stage) : nullptr;
        if (format == 0 || stageDc == nullptr || DescribePixelFormat (dc, format, sizeof descriptor, &descriptor) == 0
            || !SetPixelFormat (stageDc, format, &descriptor))
        {
            if (stageDc != nullptr)
                ReleaseDC (stage, stageDc);
            if (stage != nullptr)
                DestroyWindow (stage);
            return false;
        }
        if (wglGetCurrentContext () == context)
            wglMakeCurrent (nullptr, nullptr);
        ReleaseDC (window, dc);
        DestroyWindow (window);
        window = stage;
        dc = stageDc;
        return true;
    }

    // The core-profile entry point is only reachable with some context current: a legacy one
    // on the same device context serves for the look-up and goes again.
    HGLRC createCoreContext ()
    {
        HGLRC legacy = wglCreateContext (dc);
        if (legacy == nullptr)
            return nullptr;
        const CurrentContext saved;
        HGLRC core = nullptr;
        if (wglMakeCurrent (dc, legacy))
        {
            const auto create = extension<CreateContextAttribs> ("wglCreateContextAttribsARB");
            const int attributes[] = {kContextMajorVersion, 3, kContextMinorVersion, 2, kContextProfileMask,
                                      kContextCoreProfileBit, 0};
            if (create != nullptr)
                core = create (dc, nullptr, attributes);
            if (core != nullptr && wglMakeCurrent (dc, core))
                if (const auto interval = extension<SwapInterval> ("wglSwapIntervalEXT"))
                    interval (1);
        }
        saved.restore ();
        wglDeleteContext (legacy);
        return core;
    }
};

VexaOpenGLContextWGL::VexaOpenGLContextWGL () : impl (std::make_unique<Impl> ()) {}

VexaOpenGLContextWGL::~VexaOpenGLContextWGL ()
{
    detachFromSurface ();
}

bool VexaOpenGLContextWGL::attachToSurface (const VexaNativeSurface& surface)
{
    const auto window = static_cast<HWND> (surface.handle);
    if (isAttached () && surface.kind == VexaNativeSurface::kWin32Window && window == impl->target)
        return true;
    detachFromSurface ();
    if (surface.kind != VexaNativeSurface::kWin32Window || window == nullptr || !IsWindow (window))
        return false;
    impl->target = window;
    impl->window = underWine () ? createStage (window) : window;
    impl->dc = impl->window != nullptr ? GetDC (impl->window) : nullptr;
    if (impl->dc == nullptr || !choosePixelFormat (impl->dc) || (impl->context = impl->createCoreContext ()) == nullptr)
    {
        detachFromSurface ();
        return false;
    }
    return true;
}

void VexaOpenGLContextWGL::detachFromSurface ()
{
    if (impl->context != nullptr)
    {
        if (wglGetCurrentContext () == impl->context)
            impl->current ? impl->before.restore () : static_cast<void> (wglMakeCurrent (nullptr, nullptr));
        wglDeleteContext (impl->context);
    }
    if (impl->dc != nullptr && IsWindow (impl->window))
        ReleaseDC (impl->window, impl->dc);
    if (impl->window != impl->target && IsWindow (impl->window))
        DestroyWindow (impl->window);
    impl->context = nullptr;
    impl->dc = nullptr;
    impl->window = nullptr;
    impl->target = nullptr;
    impl->current = false;
}

bool VexaOpenGLContextWGL::isAttached () const
{
    return impl->context != nullptr;
}

bool VexaOpenGLContextWGL::makeCurrent ()
{
    if (!isAttached () || !IsWindow (impl->window) || !IsWindow (impl->target))
        return false;
    if (impl->window != impl->target)
    {
        const SIZE want = clientSize (impl->target), have = clientSize (impl->window);
        if ((want.cx != have.cx || want.cy != have.cy) && !impl->replaceStage ())
            return false;
    }
    impl->before = CurrentContext {};
    if (!wglMakeCurrent (impl->dc, impl->context))
        return false;
    impl->current = true;
    return true;
}

void VexaOpenGLContextWGL::swapBuffers ()
{
    if (!isAttached () || !IsWindow (impl->window))
        return;
    if (impl->window == impl->target)
    {
        SwapBuffers (impl->dc);
        return;
    }
    // The stage is never shown, so its back buffer is the frame; no swap is needed to keep it.
    if (!impl->current || wglGetCurrentContext () != impl->context || !IsWindow (impl->target))
        return;
    const SIZE size = clientSize (impl->window);
    impl->frame.resize (static_cast<size_t> (size.cx) * static_cast<size_t> (size.cy) * 4);
    glReadBuffer (GL_BACK);
    glReadPixels (0, 0, size.cx, size.cy, kBgra, GL_UNSIGNED_BYTE, impl->frame.data ());
    if (glGetError () != GL_NO_ERROR)
        return;
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy; // bottom row first, as OpenGL reads them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (HDC targetDc = GetDC (impl->target))
    {
        SetDIBitsToDevice (targetDc, 0, 0, static_cast<DWORD> (size.cx), static_cast<DWORD> (size.cy), 0, 0, 0,
                           static_cast<UINT> (size.cy), impl->frame.data (), &info, DIB_RGB_COLORS);
        ReleaseDC (impl->target, targetDc);
    }
}

void VexaOpenGLContextWGL::releaseCurrent ()
{
    if (!impl->current)
        return;
    impl->current = false;
    impl->before.restore ();
}

} // namespace vexagui
