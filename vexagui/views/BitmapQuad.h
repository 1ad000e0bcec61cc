// The one texture and one quad that a bitmap-drawn view owns, plus the filmstrip frame rules
// shared by knobs and multi-state buttons.
#pragma once

#include "vexagui/render/IVexaGuiRenderer.h"

#include <cstdint>

namespace vexagui {

struct BitmapQuad {
    TextureHandle texture;
    VisualHandle quad;

    bool complete() const { return texture.id != 0 && quad.id != 0; }
    // Creates whatever is missing: the texture first, then the quad on it.
    void attach(IVexaGuiRenderer& renderer, std::int32_t resourceId, const Rect& dst, const Rect& src);
    void update(IVexaGuiRenderer& renderer, const Rect& dst, const Rect& src) const;
    // The quad first, then the texture; both handles end up 0.
    void detach(IVexaGuiRenderer& renderer);
};

// Frame of a value in [0, 1] on a strip of frameCount frames: (n - 1) * v rounded half away from
// zero, 0 for strips shorter than two frames. NaN and out-of-range values are clamped first.
std::int32_t filmstripFrameIndex(float value, std::int32_t frameCount);

// Source rectangle of frame k of a vertical strip whose frames have the view's size.
Rect filmstripFrame(const Rect& bounds, std::int32_t frame);

} // namespace vexagui
