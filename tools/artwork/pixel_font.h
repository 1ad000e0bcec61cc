// The instrument's two bitmap fonts: the condensed one is drawn by hand, one pixel per stroke,
// in cells 7 pixels wide; the regular one widens every glyph by one column for 8-pixel cells.
// Both are 8 rows high: capitals on rows 1 to 6, lower case from row 3, descenders on row 7,
// so a line box centred on a control centres the capitals.
#pragma once

#include <array>
#include <string>

#include "canvas.h"

namespace artwork {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
constexpr int kGlyphCount = kLastChar - kFirstChar + 1;  // 95
constexpr int kGlyphRows = 8;

struct PixelFont {
    int cellWidth = 8;
    std::array<int, kGlyphCount> advance{};
    // ink[code - 32][row] holds one bit per column, bit 0 the leftmost.
    std::array<std::array<uint16_t, kGlyphRows>, kGlyphCount> ink{};

    bool pixel(int code, int x, int y) const;
    int textWidth(const std::string& text) const;  // sum of advances, trailing gap removed
    // Draws text with its top-left corner at (x, y), each font pixel as a scale x scale block
    // (on a scale 2 canvas with the smoothed diagonals of pixel_art.h).
    void draw(Canvas& canvas, int x, int y, const std::string& text, const Rgba& color,
              int scale = 1) const;
};

const PixelFont& condensedFont();
const PixelFont& regularFont();

}  // namespace artwork
