// Glyph quads of a line of bitmap text.
#include "vexagui/views/TextLayout.h"

#include <algorithm>

namespace vexagui {

void syncBitmapText(IVexaGuiRenderer& renderer, TextureHandle& texture, std::vector<VisualHandle>& handles,
                    const VexaBitmapFont& font, const Rect& rect, std::string_view text, TextAlign align) {
    if (texture.id == 0) texture = renderer.createTexture(font.resourceId);

    while (handles.size() > text.size()) {
        if (handles.back().id != 0) renderer.destroyVisual(handles.back());
        handles.pop_back();
    }
    handles.resize(text.size());

    const float scale = font.scale;
    float x0 = rect.x;
    if (align == TextAlign::Center) {
        x0 = rect.x + std::max(0.0f, (rect.width - font.prefixWidth(text, text.size()) * scale) * 0.5f);
    }
    if (text.empty()) return;
    const float y = rect.y + std::max(0.0f, (rect.height - font.lineHeight * scale) * 0.5f);

    float pen = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0) pen += font.kerning(text[i - 1], text[i]) * scale;
        const VexaBitmapFont::Glyph& g = font.glyph(text[i]);
        if (text[i] != ' ' && g.valid && g.w > 0.0f && g.h > 0.0f) {
            const Rect dst{x0 + pen, y, g.w * scale, g.h * scale};
            const Rect src{g.x, g.y, g.w, g.h};
            if (handles[i].id != 0) {
                renderer.updateQuad(handles[i], dst, src);
            } else {
                handles[i] = renderer.createQuad(texture, dst, src);
            }
            pen += g.advance * scale;
        } else {
            if (handles[i].id != 0) renderer.destroyVisual(handles[i]);
            handles[i] = VisualHandle{};
            pen += (g.valid ? g.advance : font.defaultAdvance) * scale;
        }
    }
}

void collectBitmapTextHandles(const std::vector<VisualHandle>& handles, std::vector<VisualHandle>& out) {
    for (VisualHandle h : handles) {
        if (h.id != 0) out.push_back(h);
    }
}

void destroyBitmapText(IVexaGuiRenderer* renderer, std::vector<VisualHandle>& handles) {
    if (renderer != nullptr) {
        for (VisualHandle h : handles) {
            if (h.id != 0) renderer->destroyVisual(h);
        }
    }
    handles.clear();
}

} // namespace vexagui
