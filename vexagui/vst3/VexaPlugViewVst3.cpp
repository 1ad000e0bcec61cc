// The plug view bridge on Linux: X11 native view + GLX context inside the host's window, pumped
// by the host's run loop.
#include "vexagui/vst3/VexaPlugViewVst3.h"

#include "vexagui/platform/VexaDpiScale.h"

#ifdef _WIN32
#include "vexagui/platform/win32/VexaOpenGLContextWGL.h"
#include "vexagui/platform/win32/VexaViewWin32.h"
#include "vexagui/platform/win32/VexaWin32DesktopScale.h"
#else
#include "vexagui/platform/x11/VexaOpenGLContextGLX.h"
#include "vexagui/platform/x11/VexaViewX11.h"
#include "vexagui/platform/x11/VexaX11DesktopScale.h"
#include "vexagui/platform/x11/VexaX11RunLoopClient.h"
#endif
#include "vexagui/render/opengl/VexaRendererOpenGL.h"
#include "vexagui/views/VexaEditor.h"
#include "vexagui/vst3/VexaVst3Keys.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vexagui {

using Steinberg::kInvalidArgument;
using Steinberg::kResultFalse;
using Steinberg::kResultTrue;

// The native side of one open editor: created with the view object, reused across re-attachments.
#ifdef _WIN32
struct VexaPlugViewVst3::PlatformBlock {
    void* parent = nullptr;  // the host's HWND while attached; not owned
    VexaViewWin32 view;      // its timer draws the frames
    VexaOpenGLContextWGL context;
    static VexaNativeSurface parentSurface(void* window) { return VexaNativeSurface::win32Window(window); }
    void connect(Steinberg::IPlugFrame*) {}
    void disconnect() {}
};
#else
struct VexaPlugViewVst3::PlatformBlock {
    void* parent = nullptr;  // the host's X11 window id while attached; not owned
    VexaViewX11 view;
    VexaOpenGLContextGLX context;
    VexaX11RunLoopClient runLoopClient{view};
    Steinberg::Linux::IRunLoop* runLoop = nullptr;  // one reference held while connected

    static VexaNativeSurface parentSurface(void* window) {
        return VexaNativeSurface::x11Window(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
    }
    // Without a run loop from the host nothing pumps the view: it stays blank but harmless.
    void connect(Steinberg::IPlugFrame* plugFrame) {
        Steinberg::Linux::IRunLoop* loop = nullptr;
        if (plugFrame != nullptr &&
            plugFrame->queryInterface(Steinberg::Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) ==
                Steinberg::kResultOk &&
            loop != nullptr) {
            if (runLoopClient.connect(loop))
                runLoop = loop;
            else
                loop->release();
        }
    }
    // The host's handlers go first: the view's connection closes when it detaches.
    void disconnect() {
        runLoopClient.disconnect();
        if (runLoop != nullptr) {
            runLoop->release();
            runLoop = nullptr;
        }
    }
};
#endif

namespace {

Steinberg::ViewRect initialRect(const VexaEditor& editor) {
    // Truncation of the editor's logical size; the editor is never larger than a screen.
    return Steinberg::ViewRect(0, 0, static_cast<Steinberg::int32>(editor.width()),
                               static_cast<Steinberg::int32>(editor.height()));
}

int toLogical(Steinberg::int32 pixels, float scale) {
    return static_cast<int>(std::lround(static_cast<float>(pixels) / scale));
}

} // namespace

VexaPlugViewVst3::VexaPlugViewVst3(VexaEditor& editor_, VexaRendererOpenGL& renderer_,
                                         Steinberg::FUnknown* owner_)
    : Steinberg::CPluginView(nullptr), editor(editor_), renderer(renderer_), owner(owner_) {
    setRect(initialRect(editor));
    platform = std::make_unique<PlatformBlock>();
    if (owner != nullptr) owner->addRef();
}

VexaPlugViewVst3::~VexaPlugViewVst3() {
    // Also unbinds the renderer: later host parameter changes refresh the editor and ask the
    // renderer for a redraw, which with no view left must go nowhere.
    detachPlatform();
    platform.reset();
    if (owner != nullptr) owner->release();  // may destroy the plug-in: nothing of it is used after this
}

bool VexaPlugViewVst3::hasAttachedView(const VexaRendererOpenGL& r) { return r.glContext != nullptr; }

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::attached(void* parent, Steinberg::FIDString type) {
    // A second view would take the renderer's context over, and the first would then draw with the
    // other context's texture names.
    if (parent != nullptr && platform && renderer.glContext != nullptr && renderer.glContext != &platform->context)
        return Steinberg::kResultFalse;
    return Steinberg::CPluginView::attached(parent, type);
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::isPlatformTypeSupported(Steinberg::FIDString type) {
    if (type != nullptr && std::strcmp(type, kPlatformType) == 0) return kResultTrue;
    return kInvalidArgument;
}

void VexaPlugViewVst3::attachedToParent() {
    if (systemWindow == nullptr || !platform) return;
    PlatformBlock& p = *platform;
    // A host that never asked for the size learns it below: its window may be too small for the scale.
    const bool resizeHost = settleScale() && scale != 1.0f;
    p.parent = systemWindow;

    p.view.setEventCallback([this](const VexaWindowEvent& event) { dispatchWindowEvent(event); });
    p.view.setDrawCallback([this](int32_t width, int32_t height) { drawFrame(width, height); });
    // Keys come through the host's onKeyDown; X passes key presses on to the host's window.
    p.view.setKeyboardInputEnabled(false);

    p.view.setContentScale(scale);
    if (!p.view.attachToSurface(PlatformBlock::parentSurface(systemWindow), toLogical(rect.getWidth(), scale),
                                toLogical(rect.getHeight(), scale)))
        return;

    renderer.glContext = &p.context;
    renderer.redrawCallback = [this] { requestNativeRedraw(); };
    renderer.attachToSurface(p.view.nativeSurface());  // failure: frames simply draw nothing

    p.connect(plugFrame);

    editor.syncContext();
    p.view.requestRedraw();
    if (resizeHost && plugFrame != nullptr) {
        Steinberg::ViewRect wanted = rect;
        plugFrame->resizeView(this, &wanted);
    }
}

void VexaPlugViewVst3::removedFromParent() { detachPlatform(); }

void VexaPlugViewVst3::detachPlatform() {
    if (!platform) return;
    PlatformBlock& p = *platform;
    p.disconnect();
    // Unbound at once, not when the view is destroyed: hosts keep removed views around, and
    // another view may then take the renderer.
    if (renderer.glContext == &p.context) {
        renderer.detachFromSurface();
        renderer.glContext = nullptr;
        renderer.redrawCallback = nullptr;
    }
    p.view.detach();
    p.parent = nullptr;
}

bool VexaPlugViewVst3::hasNativeView() const { return platform && platform->view.isAttached(); }

void VexaPlugViewVst3::requestNativeRedraw() {
    if (platform) platform->view.requestRedraw();
}

void VexaPlugViewVst3::dispatchWindowEvent(const VexaWindowEvent& event) {
    switch (event.type) {
    case VexaWindowEvent::kPointerDown: editor.pointerDown(event.x, event.y, event.buttons); break;
    case VexaWindowEvent::kPointerMove: editor.pointerMove(event.x, event.y, event.buttons); break;
    case VexaWindowEvent::kPointerUp: editor.pointerUp(event.x, event.y, event.buttons); break;
    default: return;  // scroll, and keys that did not come through the host: ignored entirely
    }
    editor.syncContext();
    drainHostRequest();
    requestNativeRedraw();
}

void VexaPlugViewVst3::drawFrame(int drawableWidth, int drawableHeight) {
    editor.syncContext();
    renderer.render(editor.width(), editor.height(), drawableWidth, drawableHeight);
    drainHostRequest();
}

void VexaPlugViewVst3::drainHostRequest() {
    if (renderer.pendingRequest.kind == HostRequest::kNone) return;
    const HostRequest request = renderer.pendingRequest;
    handleHostRequest(request);
    renderer.clearPendingHostRequest();
}

void VexaPlugViewVst3::handleHostRequest(const HostRequest&) {}

bool VexaPlugViewVst3::dispatchKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) {
    const std::uint32_t mods = translateVst3Modifiers(modifiers);
    if (const std::int32_t code = translateVst3VirtualKey(keyCode); code != 0) {
        editor.keyDown(code, mods);
    } else if ((key == u'A' || key == u'a') && (mods & (kModCommand | kModControl)) != 0) {
        editor.keyDown(kKeySelectAll, mods);
    } else if (key < 0x20) {
        return false;  // no character: the host may use the key
    } else {
        char text[4];
        encodeUtf16UnitAsUtf8(static_cast<char16_t>(key), text);
        editor.textInput(text);
    }
    drainHostRequest();
    requestNativeRedraw();
    return true;
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                                             Steinberg::int16 modifiers) {
    return dispatchKeyDown(key, keyCode, modifiers) ? kResultTrue : kResultFalse;
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::onKeyUp(Steinberg::char16, Steinberg::int16, Steinberg::int16) {
    return kResultFalse;
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::onSize(Steinberg::ViewRect* newSize) {
    const Steinberg::tresult result = Steinberg::CPluginView::onSize(newSize);
    if (newSize != nullptr && platform) {
        const DrawableSize before = drawableSize();
        platform->view.setFrame(toLogical(newSize->getWidth(), scale), toLogical(newSize->getHeight(), scale));
        followResize(before);
    }
    return result;
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::getSize(Steinberg::ViewRect* size) {
    settleScale();
    return Steinberg::CPluginView::getSize(size);
}

Steinberg::tresult PLUGIN_API VexaPlugViewVst3::setContentScaleFactor(ScaleFactor factor) {
    scaleSettled = true;
    applyScale(clampContentScale(factor));
    return kResultTrue;
}

VexaPlugViewVst3::DrawableSize VexaPlugViewVst3::drawableSize() const {
    DrawableSize s;
    platform->view.getDrawableSize(s.width, s.height);
    return s;
}

void VexaPlugViewVst3::followResize(const DrawableSize& before) {
    PlatformBlock& p = *platform;
    const DrawableSize now = drawableSize();
    // The GL drawable keeps the size the window had when the context was made (Mesa's software
    // rasteriser does; a frame would fill only that corner): a new size gets a new context. The
    // textures come back on the next frame, as after any re-attachment.
    if ((now.width != before.width || now.height != before.height) && renderer.glContext == &p.context &&
        p.view.isAttached())
        renderer.attachToSurface(p.view.nativeSurface());
    p.view.requestRedraw();
}

#ifdef _WIN32
float VexaPlugViewVst3::environmentScale() { return win32::windowScale(systemWindow); }
#else
float VexaPlugViewVst3::environmentScale() { return x11::desktopScale(); }
#endif

bool VexaPlugViewVst3::settleScale() {
    if (scaleSettled) return false;
    scaleSettled = true;
    applyScale(clampContentScale(environmentScale()));
    return true;
}

Steinberg::ViewRect VexaPlugViewVst3::scaledRect() const {
    // The logical size truncated as for the initial rectangle, then scaled and rounded.
    const auto scaled = [this](float logical) {
        return static_cast<Steinberg::int32>(std::lround(std::trunc(logical) * scale));
    };
    return Steinberg::ViewRect(0, 0, scaled(editor.width()), scaled(editor.height()));
}

void VexaPlugViewVst3::applyScale(float newScale) {
    const Steinberg::ViewRect before = rect;
    scale = newScale;
    // The size is the scale's to decide (canResize stays false): the rectangle follows at once, so
    // a host that asks for it during resizeView already gets the new one.
    Steinberg::ViewRect wanted = scaledRect();
    setRect(wanted);
    if (!platform) return;
    const DrawableSize drawn = drawableSize();
    platform->view.setContentScale(scale);  // an attached child takes its new size itself
    followResize(drawn);
    if (platform->parent != nullptr && plugFrame != nullptr &&
        (before.getWidth() != wanted.getWidth() || before.getHeight() != wanted.getHeight()))
        plugFrame->resizeView(this, &wanted);
}

} // namespace vexagui
