// Scale2x quarters and pixel-picture drawing.
#include "pixel_art.h"

namespace artwork {

Quarters scale2xQuarters(const InkAt& ink, int width, int height, int x, int y) {
    const auto at = [&](int i, int j) { return i >= 0 && j >= 0 && i < width && j < height && ink(i, j); };
    const bool p = at(x, y);
    const bool up = at(x, y - 1), right = at(x + 1, y), left = at(x - 1, y), down = at(x, y + 1);
    // Only ever adding ink: the plain rule would also nick the outer corner of every stroke
    // end (the top-left of an "E"), which reads as a rounded, weaker letter.
    return {p || (left && up && !down && !right), p || (up && right && !left && !down),
            p || (down && left && !right && !up), p || (right && down && !up && !left)};
}

void drawPixelArt(Canvas& canvas, int x, int y, int width, int height, const InkAt& ink,
                  const Rgba& color, int size) {
    if (canvas.scale() != 2) {
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                if (ink(c, r)) canvas.fillRect(x + c * size, y + r * size, size, size, color);
        return;
    }
    // A logical block of `size` is 2 * size picture pixels: each quarter is size x size.
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const Quarters q = scale2xQuarters(ink, width, height, c, r);
            const int px = (x + c * size) * 2, py = (y + r * size) * 2;
            if (q.topLeft) canvas.fillPixels(px, py, size, size, color);
            if (q.topRight) canvas.fillPixels(px + size, py, size, size, color);
            if (q.bottomLeft) canvas.fillPixels(px, py + size, size, size, color);
            if (q.bottomRight) canvas.fillPixels(px + size, py + size, size, size, color);
        }
}

}  // namespace artwork
