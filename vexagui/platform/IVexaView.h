// The native child view that the editor draws into and receives pointer and key input from.
#pragma once

#include "VexaNativeSurface.h"
#include "VexaWindowEvent.h"

#include <cstdint>
#include <functional>

namespace vexagui {

/** All operations are for the user-interface thread only; callbacks run synchronously on it. */
class IVexaView
{
public:
    using EventCallback = std::function<void (const VexaWindowEvent&)>;
    /** Receives the drawable size in device pixels. */
    using DrawCallback = std::function<void (int32_t, int32_t)>;

    /** Detaches, then releases the callbacks and the queue. */
    virtual ~IVexaView () = default;

    /** Detaches first, then creates a child of `parent` of the given size. False (and detached) when
        the parent kind is not supported by this platform, its handle is null, or creation fails. */
    virtual bool attachToSurface (const VexaNativeSurface& parent, int width, int height) = 0;
    /** Destroys the child and empties the event queue; the callbacks stay installed. */
    virtual void detach () = 0;
    virtual bool isAttached () const = 0;

    /** Moves the oldest queued event into `out`; false when the queue is empty. */
    virtual bool pollEvent (VexaWindowEvent& out) = 0;
    /** Delivers an event as if the platform had produced it: to the callback, or into the queue. */
    virtual void pushEvent (const VexaWindowEvent& event) = 0;
    /** An empty callable uninstalls: events queue up again. */
    virtual void setEventCallback (EventCallback callback) = 0;
    virtual void setDrawCallback (DrawCallback callback) = 0;

    /** Asks for one call of the draw callback soon; requests before that call coalesce into one.
        Nothing when detached. */
    virtual void requestRedraw () = 0;
    /** Resizes the child to width x height at the parent's origin. Nothing when detached. */
    virtual void setFrame (int width, int height) = 0;
    /** Sizes read 0, 0 when detached. */
    virtual void getLogicalSize (int32_t& width, int32_t& height) const = 0;
    virtual void getDrawableSize (int32_t& width, int32_t& height) const = 0;

    /** The platform's own view object (null when detached). */
    virtual void* nativeView () const = 0;
    /** The surface an OpenGL context attaches to: the child while attached, {kNone, null} otherwise. */
    virtual const VexaNativeSurface& nativeSurface () const = 0;
};

} // namespace vexagui
