// Text as glyph quads: one quad slot per byte of text, kept aligned with byte positions so that
// changing one character updates one quad. Used by every text view.
#pragma once

#include "vexagui/render/IVexaGuiRenderer.h"
#include "vexagui/views/VexaBitmapFont.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vexagui {

// Any value other than Center lays out like Left.
enum class TextAlign : std::int32_t {
    Left = 0,
    Center = 1,
};

// Creates the atlas texture when `texture` is 0, resizes `handles` to one slot per byte
// (destroying surplus quads) and creates, updates or destroys each byte's quad. The line box is
// centred vertically in `rect`; text wider than `rect` starts at its left edge, unclipped.
void syncBitmapText(IVexaGuiRenderer& renderer, TextureHandle& texture, std::vector<VisualHandle>& handles,
                    const VexaBitmapFont& font, const Rect& rect, std::string_view text, TextAlign align);

// Appends every non-zero handle, in order.
void collectBitmapTextHandles(const std::vector<VisualHandle>& handles, std::vector<VisualHandle>& out);

// Destroys every non-zero quad when a renderer is given; always empties the list.
void destroyBitmapText(IVexaGuiRenderer* renderer, std::vector<VisualHandle>& handles);

} // namespace vexagui
