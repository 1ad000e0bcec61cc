// A native drawing surface handed between the plug view, the native view and the OpenGL context.
#pragma once

#include <cstdint>

namespace vexagui {

struct VexaNativeSurface
{
    // Kinds 2 and 3 are the AppKit window and view; no implementation of this tree accepts them.
    // Kind 4 is an X11 window whose id travels in `handle` (the X11 window id that a host passes
    // to IPlugView::attached for the "X11EmbedWindowID" platform type, and the id of the child
    // window that the X11 view creates).
    static constexpr int32_t kNone = 0;
    static constexpr int32_t kWindow = 2;
    static constexpr int32_t kView = 3;
    static constexpr int32_t kX11Window = 4;

    int32_t kind = kNone;
    void* handle = nullptr;

    bool operator== (const VexaNativeSurface&) const = default;

    static VexaNativeSurface x11Window (unsigned long windowId)
    {
        return {kX11Window, reinterpret_cast<void*> (static_cast<uintptr_t> (windowId))};
    }
    /** The X11 window id of a kX11Window surface; 0 for any other kind. */
    unsigned long x11WindowId () const
    {
        return kind == kX11Window ? static_cast<unsigned long> (reinterpret_cast<uintptr_t> (handle)) : 0;
    }
};

} // namespace vexagui
