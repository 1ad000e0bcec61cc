// The toolkit's generic VST 3 plug view: connects the host's parent X11 window to a toolkit
// editor and the OpenGL renderer through an X11 native view and a GLX context, feeds pointer
// events and host keys into the editor, draws frames when asked and performs the host requests
// that the editor posts into the renderer. Events and frames are pumped by the host's
// Steinberg::Linux::IRunLoop, obtained from the plug frame.
// HiDPI: the view has a content scale (host call, else the desktop's, see environmentScale). The
// host sees the editor's size times the scale; the editor, its layout and its hit tests stay in
// logical units: the native view divides pointer positions by the scale and the renderer draws
// the logical size into the scaled drawable.
// Everything runs on the host's user-interface thread.
#pragma once

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"
#include "vexagui/render/HostRequest.h"

#include <cstdint>
#include <memory>

namespace vexagui {

class VexaEditor;
class VexaRendererOpenGL;
struct VexaWindowEvent;

class VexaPlugViewVst3 : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
    // The platform type this bridge embeds into: the host passes an X11 window id (on Windows
    // an HWND; the view's own timer pumps it there, as Windows hosts give no run loop).
#ifdef _WIN32
    static constexpr const char* kPlatformType = "HWND";
#else
    static constexpr const char* kPlatformType = "X11EmbedWindowID";
#endif

    // The editor and the renderer belong to the plug-in. When `owner` (the plug-in) is given, the
    // view holds a reference to it until the view is gone, so that a host releasing the plug-in
    // before the view cannot leave the view with a freed editor and renderer.
    VexaPlugViewVst3(VexaEditor& editor, VexaRendererOpenGL& renderer, Steinberg::FUnknown* owner = nullptr);
    ~VexaPlugViewVst3() override;

    // One editor tree and one renderer draw one view: a view is refused (kResultFalse, nothing
    // attached) while another view of the same renderer is attached.
    Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
    // Whether some view is attached to the renderer; a plug-in then creates no further view.
    static bool hasAttachedView(const VexaRendererOpenGL& renderer);

    Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
    Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                            Steinberg::int16 modifiers) override;
    Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
    // The editor's size times the content scale, rounded (the scale is settled on the first call).
    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;

    // The host's scale: clamped to 1..3, not a positive number counts as 1. It wins over the
    // desktop's from then on; an attached view asks the host to resize (resizeView). kResultTrue.
    Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;
    float contentScale() const { return scale; }

    void attachedToParent() override;
    void removedFromParent() override;

    // Host keys into the editor; true when the key was used (see the .cpp for the rules).
    bool dispatchKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers);
    // Performs and clears the renderer's pending host request, if any.
    void drainHostRequest();
    // What the plug-in does with a drained request; nothing here.
    virtual void handleHostRequest(const HostRequest& request);

    // Whether the native view exists inside the host's window (tests and tools).
    bool hasNativeView() const;

    DEFINE_INTERFACES
        DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(Steinberg::CPluginView)
    REFCOUNT_METHODS(Steinberg::CPluginView)

protected:
    // The scale when the host gives none: the X server's Xft.dpi (Windows: GetDpiForWindow of the
    // host's window, else the system's DPI), as 1, 1.5 or 2. Asked once, on the first getSize or
    // attachment without a host call.
    virtual float environmentScale();

    VexaEditor& editor;
    VexaRendererOpenGL& renderer;

private:
    struct PlatformBlock;

    void dispatchWindowEvent(const VexaWindowEvent& event);
    void drawFrame(int drawableWidth, int drawableHeight);
    void requestNativeRedraw();
    void detachPlatform();
    // Settles the scale from the environment unless the host or an earlier call did; true when
    // this call did.
    bool settleScale();
    struct DrawableSize {
        std::int32_t width = 0, height = 0;
    };
    DrawableSize drawableSize() const;
    // After the child's size may have changed: the renderer follows, and a frame is asked for.
    void followResize(const DrawableSize& before);
    void applyScale(float newScale);
    Steinberg::ViewRect scaledRect() const;

    std::unique_ptr<PlatformBlock> platform;
    Steinberg::FUnknown* owner;  // one reference held, released last
    float scale = 1.0f;
    bool scaleSettled = false;
};

} // namespace vexagui
