// A native drawing surface handed between the plug view, the native view and the OpenGL context.
#pragma once

#include <cstdint>

namespace vexagui {

struct VexaNativeSurface
{
    // Kinds 2 and 3 are the AppKit window and view; no implementation of this tree accepts them.
    // Kind 4 is an X11 window whose id travels in `handle` (the X11 window id that a host passes
    // to IPlugView::attached for the "X11EmbedWindowID" platform type, and the id of the child
    // window that the X11 view creates). Kind 5 is a Win32 window, its HWND in `handle` (the
    // host's window for the "HWND" platform type, and the Win32 view's child).
    static constexpr int32_t kNone = 0;
    static constexpr int32_t kWindow = 2;
    static constexpr int32_t kView = 3;
    static constexpr int32_t kX11Window = 4;
    static constexpr int32_t kWin32Window = 5;

    int32_t kind = kNone;
    void* handle = nullptr;

    bool operator== (const VexaNativeSurface&) const = default;

    static VexaNativeSurface x11Window (unsigned long windowId)
    {
        return {kX11Window, reinterpret_cast<void*> (static_cast<uintptr_t> (windowId))};
    }
    static VexaNativeSurface win32Window (void* hwnd) { return {kWin32Window, hwnd}; }
    /** The X11 window id of a kX11Window surface; 0 for any other kind. */
    unsigned long x11WindowId () const
    {
        return kind == kX11Window ? static_cast<unsigned long> (reinterpret_cast<uintptr_t> (handle)) : 0;
    }
};

} // namespace vexagui
