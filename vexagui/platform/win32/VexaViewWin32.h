// The Win32 native view: a child window inside the host's parent window (platform type "HWND"),
// translating mouse and keyboard messages into VexaWindowEvent records and drawing when a redraw
// is requested. A Windows host gives a plug-in no run loop of its own: the view's timer (and the
// thread's message queue, which the host pumps) drives the frames.
//
// Threading: everything on the user-interface thread that created the window.
#pragma once

#include "../IVexaView.h"

#include <memory>

namespace vexagui {

class VexaViewWin32 final : public IVexaView
{
public:
    /** Milliseconds between the timer's checks for a requested frame. */
    static constexpr unsigned kFrameIntervalMs = 16;

    VexaViewWin32 ();
    ~VexaViewWin32 () override;

    VexaViewWin32 (const VexaViewWin32&) = delete;
    VexaViewWin32& operator= (const VexaViewWin32&) = delete;

    /** Accepts only {VexaNativeSurface::kWin32Window, parent HWND}. The child is shown at (0, 0)
        with the given logical size times the content scale (a size below 1 is stored as 0 and made
        1 for the window). */
    bool attachToSurface (const VexaNativeSurface& parent, int width, int height) override;
    void detach () override;
    bool isAttached () const override;

    bool pollEvent (VexaWindowEvent& out) override;
    void pushEvent (const VexaWindowEvent& event) override;
    void setEventCallback (EventCallback callback) override;
    void setDrawCallback (DrawCallback callback) override;

    void requestRedraw () override;
    /** Logical size, as for attachToSurface. */
    void setFrame (int width, int height) override;
    void getLogicalSize (int32_t& width, int32_t& height) const override;
    void getDrawableSize (int32_t& width, int32_t& height) const override;

    /** Window pixels per logical unit, as in the X11 view. Not positive or not finite: 1. */
    void setContentScale (float scale);
    float contentScale () const;

    /** The child HWND (null when detached). */
    void* nativeView () const override;
    /** {kWin32Window, child HWND} while attached. */
    const VexaNativeSurface& nativeSurface () const override;

    /** Whether the view takes the keyboard focus on a click and turns key messages into key and
        text events (the default). A plug view that receives its keys through the host
        (IPlugView::onKeyDown) turns this off: the keys then stay with the host's window. */
    void setKeyboardInputEnabled (bool enabled);

    /** Calls the draw callback once when a redraw was requested since the last frame; returns
        whether a frame was due. The timer calls it; tests may too. */
    bool drawIfRequested ();
    bool isRedrawRequested () const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
    VexaNativeSurface surface;
};

} // namespace vexagui
