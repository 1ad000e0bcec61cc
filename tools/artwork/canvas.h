// A small deterministic RGBA canvas with anti-aliased shapes, used to draw every bitmap of the
// instrument. Shapes are given as signed distance functions; coverage is taken from the distance
// at the pixel centre, which is exact for straight edges and good enough for curves.
//
// Every drawing call takes logical coordinates (the editor's pixels). A canvas of scale 2 holds
// twice as many pixels each way and evaluates shapes at its own pixel centres, so the same
// drawing code gives a sharp picture for screens of twice the density; at scale 1 each logical
// pixel is one pixel and the arithmetic is exactly that of a plain canvas.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace artwork {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with full opacity.
Rgba hex(uint32_t rgb, float alpha = 1.0f);
Rgba mix(const Rgba& a, const Rgba& b, float t);
Rgba shade(const Rgba& c, float factor);  // scales r, g, b

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Rgba(float x, float y)>;

// Distance helpers (negative inside).
float sdCircle(float x, float y, float cx, float cy, float r);
float sdRing(float x, float y, float cx, float cy, float r, float halfWidth);
float sdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius);
float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth);
// Ring piece from angle a0 to a1 (radians, clockwise from straight up), with round ends.
float sdArc(float x, float y, float cx, float cy, float r, float halfWidth, float a0, float a1);

// Point at angle a (clockwise from straight up) and radius r around (cx, cy).
void polar(float cx, float cy, float r, float a, float& x, float& y);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = {}, int scale = 1);

    // Logical size; the picture is pixelWidth() x pixelHeight().
    int width() const { return w; }
    int height() const { return h; }
    int scale() const { return s; }
    int pixelWidth() const { return w * s; }
    int pixelHeight() const { return h * s; }

    // A logical pixel: get reads its top-left picture pixel, set and blend cover all of it.
    Rgba get(int x, int y) const;
    void set(int x, int y, const Rgba& c);
    // Composites c over the pixel with the given coverage (0..1).
    void blend(int x, int y, const Rgba& c, float coverage = 1.0f);
    // The same on picture pixels (device coordinates).
    Rgba getPixel(int px, int py) const;
    void blendPixel(int px, int py, const Rgba& c, float coverage = 1.0f);
    void fillPixels(int px, int py, int width, int height, const Rgba& c);

    void fillRect(int x, int y, int width, int height, const Rgba& c);
    void fillRect(int x, int y, int width, int height, const Paint& paint);
    // Fills where sdf < 0 inside the box (x0, y0)..(x1, y1), anti-aliased at the edge.
    void fillSdf(float x0, float y0, float x1, float y1, const Sdf& sdf, const Paint& paint);
    void fillSdf(float x0, float y0, float x1, float y1, const Sdf& sdf, const Rgba& c);

    void fillCircle(float cx, float cy, float r, const Rgba& c);
    void fillCircle(float cx, float cy, float r, const Paint& paint);
    void strokeCircle(float cx, float cy, float r, float width, const Rgba& c);
    void fillRoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& c);
    void fillRoundRect(float x0, float y0, float x1, float y1, float radius, const Paint& paint);
    void strokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width,
                         const Rgba& c);
    void line(float ax, float ay, float bx, float by, float width, const Rgba& c);
    void arc(float cx, float cy, float r, float width, float a0, float a1, const Rgba& c);

    // Copies src (of the same scale) with its top-left corner at (x, y), compositing by src alpha.
    void draw(const Canvas& src, int x, int y);
    // Copies a rectangle of src (of the same scale) to (x, y) without compositing.
    void copyFrom(const Canvas& src, int sx, int sy, int width, int height, int x, int y);
    // As copyFrom, but only the pixels of src that are not fully transparent.
    void copyInk(const Canvas& src, int sx, int sy, int width, int height, int x, int y);

    // 8-bit RGBA of the picture, rows top to bottom, no padding.
    std::vector<uint8_t> toRgba8() const;
    static Canvas fromRgba8(int width, int height, const uint8_t* rgba);

private:
    void setPixel(int px, int py, const Rgba& c);

    int w = 0, h = 0, s = 1;
    std::vector<Rgba> px;
};

}  // namespace artwork
