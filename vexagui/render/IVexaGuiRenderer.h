// The renderer contract the toolkit draws through. Views create textures and visuals, keep the
// handles and update the visuals' geometry; the editor hands over the draw order. Operations up to
// setScene are pure bookkeeping and work without any graphics context or open view.
// Every call happens on the user-interface thread.
#pragma once

#include "vexagui/render/Color.h"
#include "vexagui/render/Geometry.h"
#include "vexagui/render/Handles.h"
#include "vexagui/render/HostRequest.h"
#include "vexagui/render/ResourceSpec.h"

#include <cstddef>

namespace vexagui {

class IVexaGuiRenderer {
public:
    virtual ~IVexaGuiRenderer() = default;

    // Always a fresh handle, also for an unknown id (such a texture draws nothing).
    virtual TextureHandle createTexture(int resourceId) = 0;
    virtual void destroyTexture(TextureHandle texture) = 0;

    // dst in logical units, src in texels of the texture's image (top row first).
    virtual VisualHandle createQuad(TextureHandle texture, const Rect& dst, const Rect& src) = 0;
    virtual void updateQuad(VisualHandle visual, const Rect& dst, const Rect& src) = 0;
    virtual VisualHandle createSolidRect(const Rect& dst, const Color& color) = 0;
    virtual void updateSolidRect(VisualHandle visual, const Rect& dst, const Color& color) = 0;
    virtual void destroyVisual(VisualHandle visual) = 0;

    // Draw order, first entry at the back. Stale, repeated or zero entries are harmless.
    virtual void setScene(const VisualHandle* handles, std::size_t count) = 0;

    virtual void requestRedraw() = 0;

    // Post into the single pending host-request slot (see HostRequest).
    virtual void requestOpenFileDialog() = 0;
    virtual void requestSaveFileDialog(const char* suggestedName) = 0;
    virtual void beginTextEntry(const Rect& area, const char* initialText) = 0;

    // Called by the plug view bridge only, from the native view's draw callback.
    virtual void render(float logicalWidth, float logicalHeight, int drawableWidth, int drawableHeight) = 0;
};

} // namespace vexagui
