// Font atlases and their metrics documents.
#pragma once

#include <string>
#include <vector>

#include "pixel_font.h"

namespace artwork {

// Colour of every glyph: a warm light amber that reads on the dark wells and the popup list.
constexpr uint32_t kGlyphInk = 0xF2CC8E;

// Writes `<dir>/<name>.png` (16 cells per row, 8-pixel rows, 2-bit palette) and
// `<dir>/<name>.kerning.json`. Returns false on a write failure. At scale 2 every number and
// cell doubles and the glyphs get the smoothed diagonals of pixel_art.h, so a renderer can
// swap the atlases without touching the text layout.
bool writeFontAtlas(const std::string& dir, const std::string& name, const PixelFont& font,
                    int scale = 1);

// One byte per atlas pixel, non-zero for ink, rows top to bottom.
std::vector<uint8_t> fontAtlasMask(const PixelFont& font, int scale = 1);

// The metrics document text of a font whose atlas file is `atlasFile`.
std::string fontMetricsJson(const PixelFont& font, const std::string& atlasFile, int scale = 1);

}  // namespace artwork
