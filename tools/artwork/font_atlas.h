// Font atlases and their metrics documents.
#pragma once

#include <string>

#include "pixel_font.h"

namespace artwork {

// Colour of every glyph: a warm light amber that reads on the dark wells and the popup list.
constexpr uint32_t kGlyphInk = 0xF2CC8E;

// Writes `<dir>/<name>.png` (16 cells per row, 8-pixel rows, 2-bit palette) and
// `<dir>/<name>.kerning.json`. Returns false on a write failure.
bool writeFontAtlas(const std::string& dir, const std::string& name, const PixelFont& font);

// The metrics document text of a font whose atlas file is `atlasFile`.
std::string fontMetricsJson(const PixelFont& font, const std::string& atlasFile);

}  // namespace artwork
