// The X11 native view: a child window inside the host's parent window, on a display connection of
// its own, translating X input into VexaWindowEvent records and drawing when a redraw is requested.
//
// Threading: everything, including the run-loop entry points below, on the user-interface thread.
// Pumping: X events are read only when processEvents() runs and frames are drawn only when
// drawIfRequested() runs; in a plug-in both are driven by the host's run loop through
// VexaX11RunLoopClient (register it after attachToSurface, unregister it before detach).
#pragma once

#include "../IVexaView.h"

#include <memory>

namespace vexagui {

class VexaViewX11 final : public IVexaView
{
public:
    VexaViewX11 ();
    ~VexaViewX11 () override;

    VexaViewX11 (const VexaViewX11&) = delete;
    VexaViewX11& operator= (const VexaViewX11&) = delete;

    /** Accepts only {VexaNativeSurface::kX11Window, parent window id}. The child is mapped at (0, 0)
        with the given logical size times the content scale (a size below 1 is stored as 0 and made 1
        on the server). The child is an XEmbed client from its creation on (see VexaX11XEmbed), so
        embedders that expect one show it. */
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
    /** The child's size in pixels divided by the content scale (rounded), and in pixels. */
    void getLogicalSize (int32_t& width, int32_t& height) const override;
    void getDrawableSize (int32_t& width, int32_t& height) const override;

    /** Window pixels per logical unit, 1 at first (X11 itself has no such notion). The window is the
        logical size times the scale and pointer positions arrive divided by it, so the editor keeps
        working in logical units. An attached child is resized at once. Not positive or not finite: 1. */
    void setContentScale (float scale);
    float contentScale () const;

    /** The child's X11 window id, as a pointer-sized value (null when detached). */
    void* nativeView () const override;
    /** {kX11Window, child window id} while attached. */
    const VexaNativeSurface& nativeSurface () const override;

    /** Whether key presses over the view are taken as key and text events (the default). A plug view
        that receives its keys through the host (IPlugView::onKeyDown) turns this off before attaching:
        then X passes key presses over the editor on to the host's window instead. */
    void setKeyboardInputEnabled (bool enabled);

    /** The display connection's file descriptor, for the host's run loop; -1 when detached. */
    int connectionFileDescriptor () const;
    /** Reads every event that has arrived on the connection and delivers the translated ones. */
    void processEvents ();
    /** Calls the draw callback once when a redraw was requested since the last frame (requests and
        exposures in between coalesce); returns whether a frame was due. */
    bool drawIfRequested ();
    bool isRedrawRequested () const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
    VexaNativeSurface surface;
};

} // namespace vexagui
