// Two-colour pixel pictures (font glyphs, the kick buttons' arrows) on a canvas of any scale.
// At scale 2 each picture pixel becomes four quarters after the Scale2x rule, keeping only the
// ink it adds: an empty pixel's quarter between two ink neighbours (with the opposite two empty)
// takes the ink, so diagonal strokes become half-pixel stairs instead of doubled blocks, square
// corners stay square, and nothing is blurred.
#pragma once

#include <functional>

#include "canvas.h"

namespace artwork {

// Whether picture pixel (x, y) is ink; asked only inside the picture's width and height.
using InkAt = std::function<bool(int x, int y)>;

struct Quarters {
    bool topLeft, topRight, bottomLeft, bottomRight;
};

// The quarters of pixel (x, y) of a width x height picture (outside it is no ink).
Quarters scale2xQuarters(const InkAt& ink, int width, int height, int x, int y);

// Draws the picture's ink with its top-left corner at (x, y), each picture pixel a block of
// `size` x `size` logical pixels, composited in `color`. Scale 2 canvases get the quarters.
void drawPixelArt(Canvas& canvas, int x, int y, int width, int height, const InkAt& ink,
                  const Rgba& color, int size = 1);

}  // namespace artwork
