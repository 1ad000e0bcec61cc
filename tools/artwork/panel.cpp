// Panel drawing: plates per group, captions at the controls, read-out wells, the name plate
// and about badge on the about hotspots.
#include "panel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "layout.h"
#include "palette.h"
#include "pixel_font.h"

namespace artwork {

float grain(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65535.0f - 0.5f;
}

namespace {

struct Plate {
    int x0, y0, x1, y1;  // inclusive-exclusive
    const char* title;
    int tx, ty;          // title position (glyph box top-left); tx < 0 means none
};

// Groups: voice (unison, then polyphony and legato), program, oscillators, the two envelopes,
// output, filter and distortion.
const Plate kPlates[] = {
    {3, 3, 283, 35, nullptr, -1, 0},
    {3, 38, 163, 102, "UNISON", 8, 40},
    {3, 105, 163, 206, "VOICE", 8, 108},
    {166, 38, 283, 258, nullptr, -1, 0},
    {286, 20, 463, 94, "AMP ENVELOPE", 291, 21},
    {466, 20, 562, 94, "OUTPUT", 471, 21},
    {286, 97, 562, 172, "FILTER ENV", 291, 97},
    {286, 175, 404, 258, "FILTER", 291, 175},
    {407, 175, 562, 258, "DISTORTION", 412, 175},
};

void background(Canvas& c) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            // Slight vertical falloff with brushed grain.
            const float g = grain(x, y) * 0.035f + grain(x / 7, y) * 0.02f;
            const float v = 1.0f - 0.12f * y / c.height();
            Rgba p = shade(colors::background, v);
            p.r = std::clamp(p.r + g, 0.f, 1.f);
            p.g = std::clamp(p.g + g, 0.f, 1.f);
            p.b = std::clamp(p.b + g, 0.f, 1.f);
            c.set(x, y, p);
        }
}

void plate(Canvas& c, const Plate& p) {
    const float x0 = p.x0, y0 = p.y0, x1 = p.x1, y1 = p.y1;
    c.fillRoundRect(x0 - 0.5f, y0 - 0.5f, x1 + 0.5f, y1 + 1.0f, 3.5f, hex(0x000000, 0.55f));
    c.fillRoundRect(x0, y0, x1, y1, 3.0f, colors::plateHi);
    c.fillRoundRect(x0, y0 + 1.0f, x1, y1, 3.0f, shade(colors::plate, 0.7f));
    c.fillRoundRect(x0 + 0.5f, y0 + 1.0f, x1 - 0.5f, y1 - 1.0f, 2.5f, colors::plate);
}

void title(Canvas& c, const Plate& p) {
    if (!p.title) return;
    const PixelFont& f = condensedFont();
    const std::string t = p.title;
    f.draw(c, p.tx, p.ty, t, colors::accent);
    // A hairline from the title to the plate's right edge.
    const int lx = p.tx + f.textWidth(t) + 4;
    const int ly = p.ty + 4;
    if (lx < p.x1 - 6) {
        c.fillRect(lx, ly, p.x1 - 5 - lx, 1, hex(0x5A3A18));
        c.fillRect(lx, ly + 1, p.x1 - 5 - lx, 1, hex(0x1A120C));
    }
}

void well(Canvas& c, int x, int y, int w, int h) {
    c.fillRect(x - 1, y - 1, w + 2, h + 2, colors::plateLo);
    c.fillRect(x, y, w + 1, h + 1, hex(0x4A3A2C));
    c.fillRect(x, y, w, h, colors::well);
    c.fillRect(x, y, w, 1, hex(0x050201));
}

// Caption position: the glyph box is 8 rows, ink on rows 1 to 6.
void caption(Canvas& c, const ControlPlace& k) {
    if (k.side == Caption::None || k.caption.empty()) return;
    const PixelFont& f = condensedFont();
    const int tw = f.textWidth(k.caption);
    int x = 0, y = 0;
    const int cx = k.x + k.w / 2, cy = k.y + k.h / 2;
    switch (k.side) {
        case Caption::Above: x = cx - tw / 2; y = k.y - 8; break;
        case Caption::AboveLeft: x = k.x + 1; y = k.y - 8; break;
        case Caption::Below: x = cx - tw / 2; y = k.y + k.h; break;
        case Caption::Left: x = k.x - 3 - tw; y = cy - 4; break;
        case Caption::Right: x = k.x + k.w + 3; y = cy - 4; break;
        case Caption::None: return;
    }
    const bool oscTitle = k.caption.rfind("OSC", 0) == 0;
    const bool command = k.caption == "COPY";
    f.draw(c, x + k.dx, y + k.dy, k.caption,
           oscTitle ? colors::accent : command ? colors::caret : colors::label);
}

void aboutBadge(Canvas& c) {
    const Box b = kAboutHotspotSmall;
    const float x0 = b.x + 4, y0 = b.y + 3, x1 = b.x + b.w - 2, y1 = b.y + b.h - 3;
    c.fillRoundRect(x0, y0 + 1, x1, y1 + 1, 3.0f, hex(0x000000, 0.6f));
    c.fillRoundRect(x0, y0, x1, y1, 3.0f, [=](float, float y) {
        return mix(hex(0x5C4838), hex(0x2E2219), std::clamp((y - y0) / (y1 - y0), 0.f, 1.f));
    });
    c.strokeRoundRect(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 2.5f, 0.7f, hex(0x8A7058, 0.6f));
    // "i" disc and the word.
    const float cx = x0 + 7.5f, cy = (y0 + y1) * 0.5f;
    c.fillCircle(cx, cy, 5.0f, colors::accent);
    c.fillRect(static_cast<int>(cx) - 1 + 1, static_cast<int>(cy) - 3, 1, 1, colors::well);
    c.fillRect(static_cast<int>(cx) - 1 + 1, static_cast<int>(cy) - 1, 1, 4, colors::well);
    condensedFont().draw(c, static_cast<int>(x0) + 15, static_cast<int>(cy) - 4, "ABOUT", colors::cream);
}

void namePlate(Canvas& c) {
    const Box b = kAboutHotspotLarge;
    const float x0 = b.x + 3, y0 = b.y + 1, x1 = b.x + b.w, y1 = b.y + b.h - 2;
    c.fillRoundRect(x0, y0 + 1, x1, y1 + 1, 4.0f, hex(0x000000, 0.6f));
    // Brushed bronze.
    c.fillRoundRect(x0, y0, x1, y1, 4.0f, [=](float x, float y) {
        const float t = std::clamp((y - y0) / (y1 - y0), 0.f, 1.f);
        Rgba base = mix(hex(0x6A4E34), hex(0x2E2016), t);
        const float g = grain(static_cast<int>(x) / 9, static_cast<int>(y)) * 0.06f;
        base.r += g; base.g += g; base.b += g;
        return base;
    });
    c.strokeRoundRect(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 3.5f, 0.8f, hex(0xB08E6C, 0.55f));
    // Screws.
    for (float sx : {x0 + 6.0f, x1 - 6.0f})
        for (float sy : {y0 + 6.0f, y1 - 6.0f}) {
            c.fillCircle(sx, sy, 2.2f, hex(0x1A120C));
            c.fillCircle(sx - 0.3f, sy - 0.3f, 1.7f, hex(0x8C7258));
            c.line(sx - 1.2f, sy + 1.2f, sx + 1.2f, sy - 1.2f, 0.7f, hex(0x2A1C12));
        }
    const PixelFont& f = regularFont();
    const std::string name = "VORLIX";
    const int scale = 2;
    const int tw = f.textWidth(name) * scale;
    const int tx = static_cast<int>(x0) + 14, ty = static_cast<int>(y0) + 6;
    f.draw(c, tx + 1, ty + 1, name, hex(0x140C06), scale);
    f.draw(c, tx, ty, name, colors::accent, scale);
    f.draw(c, tx + tw + 6 + 1, ty + 1, "307", hex(0x140C06), scale);
    f.draw(c, tx + tw + 6, ty, "307", colors::cream, scale);
    condensedFont().draw(c, tx, ty + 20, "POLYPHONIC SYNTHESIZER", hex(0xE8D8C0));
}

void header(Canvas& c) {
    // What the instrument is, at the top right above the envelope plates, after a hairline.
    const PixelFont& f = condensedFont();
    const std::string t = "POLYPHONIC SUBTRACTIVE SYNTHESIZER";
    const int x = 562 - f.textWidth(t) - 2;
    f.draw(c, x, 7, t, colors::dim);
    c.fillRect(290, 10, x - 8 - 290, 1, hex(0x3A2814));
}

}  // namespace

Canvas drawPanel(int scale) {
    Canvas c(565, 260, {}, scale);
    background(c);
    for (const Plate& p : kPlates) plate(c, p);
    for (const Plate& p : kPlates) title(c, p);
    header(c);
    for (const ControlPlace& k : panelControls()) {
        // The polyphony read-out sits on its knob's dark cap, which is its well. Text wider
        // than a read-out starts at its left edge and runs to the right: "Saw" at scale 1.5
        // is 30 pixels in a 25-pixel read-out, so the shape wells reach six pixels further.
        const std::string what = k.what;
        if (what == "osc1 shape" || what == "osc2 shape") well(c, k.x - 1, k.y, k.w + 7, k.h);
        if (what == "active voices") well(c, k.x - 2, k.y, k.w + 4, k.h);
        caption(c, k);
    }
    aboutBadge(c);
    namePlate(c);
    return c;
}

}  // namespace artwork
