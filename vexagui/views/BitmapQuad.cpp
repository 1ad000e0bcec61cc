// Texture-plus-quad bookkeeping and filmstrip frame arithmetic.
#include "vexagui/views/BitmapQuad.h"

#include <cmath>

namespace vexagui {

void BitmapQuad::attach(IVexaGuiRenderer& renderer, std::int32_t resourceId, const Rect& dst, const Rect& src) {
    if (texture.id == 0) texture = renderer.createTexture(resourceId);
    if (quad.id == 0) quad = renderer.createQuad(texture, dst, src);
}

void BitmapQuad::update(IVexaGuiRenderer& renderer, const Rect& dst, const Rect& src) const {
    if (quad.id != 0) renderer.updateQuad(quad, dst, src);
}

void BitmapQuad::detach(IVexaGuiRenderer& renderer) {
    if (quad.id != 0) renderer.destroyVisual(quad);
    if (texture.id != 0) renderer.destroyTexture(texture);
    quad = VisualHandle{};
    texture = TextureHandle{};
}

std::int32_t filmstripFrameIndex(float value, std::int32_t frameCount) {
    if (frameCount < 2) return 0;
    float v = value;
    if (std::isnan(v) || v < 0.0f) v = 0.0f;
    if (v > 1.0f) v = 1.0f;
    // std::round rounds halves away from zero: 63 frames * 0.5 = 31.5 shows frame 32.
    return static_cast<std::int32_t>(std::round(static_cast<float>(frameCount - 1) * v));
}

Rect filmstripFrame(const Rect& bounds, std::int32_t frame) {
    return Rect{0.0f, static_cast<float>(frame) * bounds.height, bounds.width, bounds.height};
}

} // namespace vexagui
