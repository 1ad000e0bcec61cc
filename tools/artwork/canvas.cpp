// Canvas drawing primitives.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace artwork {

Rgba hex(uint32_t rgb, float alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
            alpha};
}

Rgba mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Rgba shade(const Rgba& c, float f) {
    return {std::min(1.0f, c.r * f), std::min(1.0f, c.g * f), std::min(1.0f, c.b * f), c.a};
}

float sdCircle(float x, float y, float cx, float cy, float r) {
    return std::hypot(x - cx, y - cy) - r;
}

float sdRing(float x, float y, float cx, float cy, float r, float halfWidth) {
    return std::fabs(std::hypot(x - cx, y - cy) - r) - halfWidth;
}

float sdRoundRect(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth) {
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - halfWidth;
}

void polar(float cx, float cy, float r, float a, float& x, float& y) {
    x = cx + r * std::sin(a);
    y = cy - r * std::cos(a);
}

float sdArc(float x, float y, float cx, float cy, float r, float halfWidth, float a0, float a1) {
    if (a1 < a0) std::swap(a0, a1);
    const float a = std::atan2(x - cx, -(y - cy));  // clockwise from up, -pi..pi
    // Inside the angular range the ring distance holds; outside, the nearer end cap decides.
    if (a >= a0 && a <= a1) return sdRing(x, y, cx, cy, r, halfWidth);
    float ex0, ey0, ex1, ey1;
    polar(cx, cy, r, a0, ex0, ey0);
    polar(cx, cy, r, a1, ex1, ey1);
    return std::min(std::hypot(x - ex0, y - ey0), std::hypot(x - ex1, y - ey1)) - halfWidth;
}

Canvas::Canvas(int width, int height, Rgba fill, int scale)
    : w(width), h(height), s(scale),
      px(static_cast<size_t>(width) * scale * static_cast<size_t>(height) * scale, fill) {}

Rgba Canvas::get(int x, int y) const { return getPixel(x * s, y * s); }

void Canvas::set(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    for (int j = 0; j < s; ++j)
        for (int i = 0; i < s; ++i) px[static_cast<size_t>(y * s + j) * pixelWidth() + x * s + i] = c;
}

void Canvas::blend(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    for (int j = 0; j < s; ++j)
        for (int i = 0; i < s; ++i) blendPixel(x * s + i, y * s + j, c, coverage);
}

Rgba Canvas::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return {0, 0, 0, 0};
    return px[static_cast<size_t>(y) * pixelWidth() + x];
}

void Canvas::blendPixel(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return;
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (a <= 0) return;
    Rgba& d = px[static_cast<size_t>(y) * pixelWidth() + x];
    const float outA = a + d.a * (1 - a);
    if (outA <= 0) {
        d = {0, 0, 0, 0};
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::fillPixels(int x, int y, int width, int height, const Rgba& c) {
    for (int j = y; j < y + height; ++j)
        for (int i = x; i < x + width; ++i) blendPixel(i, j, c);
}

void Canvas::fillRect(int x, int y, int width, int height, const Rgba& c) {
    fillPixels(x * s, y * s, width * s, height * s, c);
}

void Canvas::fillRect(int x, int y, int width, int height, const Paint& paint) {
    const float fs = static_cast<float>(s);
    for (int j = y * s; j < (y + height) * s; ++j)
        for (int i = x * s; i < (x + width) * s; ++i) blendPixel(i, j, paint((i + 0.5f) / fs, (j + 0.5f) / fs));
}

void Canvas::fillSdf(float x0, float y0, float x1, float y1, const Sdf& sdf, const Paint& paint) {
    // Distances are logical; times the scale they are in picture pixels, which the edge's
    // one-pixel anti-aliasing ramp is measured in.
    const float fs = static_cast<float>(s);
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0 * fs)) - 1);
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0 * fs)) - 1);
    const int ix1 = std::min(pixelWidth(), static_cast<int>(std::ceil(x1 * fs)) + 1);
    const int iy1 = std::min(pixelHeight(), static_cast<int>(std::ceil(y1 * fs)) + 1);
    for (int j = iy0; j < iy1; ++j) {
        for (int i = ix0; i < ix1; ++i) {
            const float cx = (i + 0.5f) / fs, cy = (j + 0.5f) / fs;
            const float cov = std::clamp(0.5f - sdf(cx, cy) * fs, 0.0f, 1.0f);
            if (cov > 0) blendPixel(i, j, paint(cx, cy), cov);
        }
    }
}

void Canvas::fillSdf(float x0, float y0, float x1, float y1, const Sdf& sdf, const Rgba& c) {
    fillSdf(x0, y0, x1, y1, sdf, [&c](float, float) { return c; });
}

void Canvas::fillCircle(float cx, float cy, float r, const Rgba& c) {
    fillSdf(cx - r, cy - r, cx + r, cy + r,
            [=](float x, float y) { return sdCircle(x, y, cx, cy, r); }, c);
}

void Canvas::fillCircle(float cx, float cy, float r, const Paint& paint) {
    fillSdf(cx - r, cy - r, cx + r, cy + r,
            [=](float x, float y) { return sdCircle(x, y, cx, cy, r); }, paint);
}

void Canvas::strokeCircle(float cx, float cy, float r, float width, const Rgba& c) {
    const float e = r + width;
    fillSdf(cx - e, cy - e, cx + e, cy + e,
            [=](float x, float y) { return sdRing(x, y, cx, cy, r, width * 0.5f); }, c);
}

void Canvas::fillRoundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& c) {
    fillSdf(x0, y0, x1, y1,
            [=](float x, float y) { return sdRoundRect(x, y, x0, y0, x1, y1, radius); }, c);
}

void Canvas::fillRoundRect(float x0, float y0, float x1, float y1, float radius,
                           const Paint& paint) {
    fillSdf(x0, y0, x1, y1,
            [=](float x, float y) { return sdRoundRect(x, y, x0, y0, x1, y1, radius); }, paint);
}

void Canvas::strokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width,
                             const Rgba& c) {
    const float hw = width * 0.5f;
    fillSdf(x0 - width, y0 - width, x1 + width, y1 + width,
            [=](float x, float y) {
                return std::fabs(sdRoundRect(x, y, x0, y0, x1, y1, radius)) - hw;
            },
            c);
}

void Canvas::line(float ax, float ay, float bx, float by, float width, const Rgba& c) {
    const float hw = width * 0.5f;
    fillSdf(std::min(ax, bx) - hw, std::min(ay, by) - hw, std::max(ax, bx) + hw,
            std::max(ay, by) + hw,
            [=](float x, float y) { return sdSegment(x, y, ax, ay, bx, by, hw); }, c);
}

void Canvas::arc(float cx, float cy, float r, float width, float a0, float a1, const Rgba& c) {
    const float e = r + width;
    const float hw = width * 0.5f;
    fillSdf(cx - e, cy - e, cx + e, cy + e,
            [=](float x, float y) { return sdArc(x, y, cx, cy, r, hw, a0, a1); }, c);
}

void Canvas::draw(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.pixelHeight(); ++j)
        for (int i = 0; i < src.pixelWidth(); ++i) blendPixel(x * s + i, y * s + j, src.getPixel(i, j));
}

void Canvas::copyFrom(const Canvas& src, int sx, int sy, int width, int height, int x, int y) {
    for (int j = 0; j < height * s; ++j)
        for (int i = 0; i < width * s; ++i) setPixel(x * s + i, y * s + j, src.getPixel(sx * s + i, sy * s + j));
}

void Canvas::copyInk(const Canvas& src, int sx, int sy, int width, int height, int x, int y) {
    for (int j = 0; j < height * s; ++j)
        for (int i = 0; i < width * s; ++i) {
            const Rgba p = src.getPixel(sx * s + i, sy * s + j);
            if (p.a > 0) setPixel(x * s + i, y * s + j, p);
        }
}

void Canvas::setPixel(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return;
    px[static_cast<size_t>(y) * pixelWidth() + x] = c;
}

std::vector<uint8_t> Canvas::toRgba8() const {
    std::vector<uint8_t> out(px.size() * 4);
    auto q = [](float v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    for (size_t i = 0; i < px.size(); ++i) {
        out[i * 4 + 0] = q(px[i].r);
        out[i * 4 + 1] = q(px[i].g);
        out[i * 4 + 2] = q(px[i].b);
        out[i * 4 + 3] = q(px[i].a);
    }
    return out;
}

Canvas Canvas::fromRgba8(int width, int height, const uint8_t* rgba) {
    Canvas c(width, height);
    for (size_t i = 0; i < c.px.size(); ++i)
        c.px[i] = {rgba[i * 4] / 255.0f, rgba[i * 4 + 1] / 255.0f, rgba[i * 4 + 2] / 255.0f,
                   rgba[i * 4 + 3] / 255.0f};
    return c;
}

}  // namespace artwork
