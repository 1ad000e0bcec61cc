// Button and switch drawing.
#include "switches.h"

#include <algorithm>
#include <cmath>

#include "palette.h"
#include "pixel_art.h"
#include "pixel_font.h"

namespace artwork {
namespace {

constexpr int kW = 30, kH = 13;

Canvas strip(int w, int h, int frames, int scale) { return Canvas(w, h * frames, colors::plate, scale); }

// Recessed slot filling the control's rectangle.
void slot(Canvas& c, int oy, int w, int h) {
    const float y0 = oy + 0.5f, y1 = oy + h - 0.5f;
    c.fillRoundRect(0.5f, y0, w - 0.5f, y1, 3.0f, colors::plateLo);
    c.fillRoundRect(1.0f, y0 + 0.5f, w - 0.5f, y1, 2.5f, hex(0x4A3A2C));
    c.fillRoundRect(1.0f, y0 + 0.5f, w - 1.0f, y1 - 0.5f, 2.5f, colors::groove);
}

void led(Canvas& c, float x, float y, float r, bool on) {
    if (on) {
        c.fillCircle(x, y, r + 1.6f, hex(0xD67818, 0.35f));
        c.fillCircle(x, y, r, colors::accent);
        c.fillCircle(x - r * 0.3f, y - r * 0.3f, r * 0.45f, hex(0xFFD9A0));
    } else {
        c.fillCircle(x, y, r, colors::ledOff);
        c.fillCircle(x - r * 0.3f, y - r * 0.3f, r * 0.35f, hex(0x5A3C20));
    }
}

Paint vertical(const Rgba& top, const Rgba& bottom, float y0, float y1) {
    return [=](float, float y) { return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.f, 1.f)); };
}

// A raised thumb with grip lines.
void thumb(Canvas& c, float x0, float y0, float x1, float y1) {
    c.fillRoundRect(x0, y0 + 0.6f, x1, y1 + 0.6f, 2.0f, hex(0x000000, 0.6f));
    c.fillRoundRect(x0, y0, x1, y1, 2.0f, vertical(hex(0xB09478), hex(0x5C4634), y0, y1));
    c.strokeRoundRect(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 1.5f, 0.6f, hex(0xE0C8A8, 0.5f));
    const float mx = (x0 + x1) * 0.5f;
    for (int i = -1; i <= 1; ++i)
        c.line(mx + i * 2.0f, y0 + 2.5f, mx + i * 2.0f, y1 - 2.5f, 0.8f, hex(0x3A2A1C));
}

}  // namespace

Canvas drawSlideSwitch(int scale) {
    Canvas c = strip(kW, kH, 2, scale);
    for (int f = 0; f < 2; ++f) {
        const int oy = f * kH;
        slot(c, oy, kW, kH);
        led(c, f ? 6.5f : 23.5f, oy + 6.5f, 2.0f, f == 1);
        const float tx = f ? 14.0f : 2.0f;
        thumb(c, tx, oy + 2.0f, tx + 14.0f, oy + 11.0f);
    }
    return c;
}

Canvas drawLedSwitch(int scale) {
    Canvas c = strip(kW, kH, 2, scale);
    for (int f = 0; f < 2; ++f) {
        const int oy = f * kH;
        // Raised key with a light bar across its face.
        c.fillRoundRect(0.5f, oy + 0.5f, kW - 0.5f, oy + kH - 0.5f, 3.0f, colors::plateLo);
        c.fillRoundRect(1.0f, oy + 1.0f, kW - 1.0f, oy + kH - 1.5f, 2.5f,
                        vertical(hex(0x5E4A3A), hex(0x2C2118), oy + 1.0f, oy + kH - 1.5f));
        c.line(3.0f, oy + 1.6f, kW - 3.0f, oy + 1.6f, 0.7f, hex(0x9C846C, 0.8f));
        const Rgba bar = f ? colors::accent : colors::ledOff;
        if (f) c.fillRoundRect(5.0f, oy + 3.5f, kW - 5.0f, oy + 9.5f, 2.0f, hex(0xD67818, 0.35f));
        c.fillRoundRect(6.0f, oy + 4.5f, kW - 6.0f, oy + 8.5f, 1.5f, bar);
        if (f) c.line(7.5f, oy + 5.3f, kW - 7.5f, oy + 5.3f, 0.8f, hex(0xFFD9A0));
    }
    return c;
}

Canvas drawSlideSelector(int scale) {
    Canvas c = strip(kW, kH, 3, scale);
    for (int f = 0; f < 3; ++f) {
        const int oy = f * kH;
        slot(c, oy, kW, kH);
        for (int p = 0; p < 3; ++p) {
            const float x = 6.0f + p * 9.0f;
            c.fillCircle(x, oy + 6.5f, 1.0f, p == f ? colors::accent : hex(0x3A2C20));
        }
        const float tx = 1.5f + f * 9.0f;
        thumb(c, tx, oy + 2.0f, tx + 9.0f, oy + 11.0f);
        c.line(tx + 4.5f, oy + 3.0f, tx + 4.5f, oy + 10.0f, 1.0f, colors::accent);
    }
    return c;
}

Canvas drawSegmentSelector(int scale) {
    Canvas c = strip(kW, kH, 3, scale);
    for (int f = 0; f < 3; ++f) {
        const int oy = f * kH;
        c.fillRoundRect(0.5f, oy + 0.5f, kW - 0.5f, oy + kH - 0.5f, 3.0f, colors::plateLo);
        c.fillRoundRect(1.0f, oy + 1.0f, kW - 1.0f, oy + kH - 1.0f, 2.5f, colors::well);
        for (int s = 0; s < 3; ++s) {
            const float x0 = 3.0f + s * 8.5f, x1 = x0 + 7.0f;
            const bool on = s == f;
            if (on) c.fillRoundRect(x0 - 1, oy + 2.5f, x1 + 1, oy + 10.5f, 1.5f, hex(0xD67818, 0.3f));
            c.fillRoundRect(x0, oy + 3.5f, x1, oy + 9.5f, 1.0f, on ? colors::accent : colors::ledOff);
            if (on) c.line(x0 + 1.0f, oy + 4.3f, x1 - 1.0f, oy + 4.3f, 0.8f, hex(0xFFD9A0));
        }
    }
    return c;
}

Canvas drawSquareToggle(int scale) {
    Canvas c = strip(8, 8, 2, scale);
    for (int f = 0; f < 2; ++f) {
        const int oy = f * 8;
        c.fillRect(0, oy, 8, 8, colors::plateLo);
        c.fillRect(1, oy + 1, 7, 7, hex(0x4A3A2C));
        c.fillRect(1, oy + 1, 6, 6, f ? colors::accent : colors::ledOff);
        if (f) {
            c.fillRect(2, oy + 2, 3, 1, hex(0xFFD9A0));
            c.fillRect(2, oy + 2, 1, 2, hex(0xFFD9A0));
        }
    }
    return c;
}

Canvas drawRoundToggle(int scale) {
    Canvas c = strip(8, 8, 2, scale);
    for (int f = 0; f < 2; ++f) {
        const int oy = f * 8;
        c.fillCircle(4.0f, oy + 4.0f, 4.0f, colors::plateLo);
        c.fillCircle(4.0f, oy + 4.3f, 3.4f, hex(0x4A3A2C));
        led(c, 4.0f, oy + 4.0f, 2.8f, f == 1);
    }
    return c;
}

Canvas drawOctaveToggle(int scale) {
    Canvas c = strip(8, 8, 2, scale);
    const PixelFont& font = condensedFont();
    for (int f = 0; f < 2; ++f) {
        const int oy = f * 8;
        c.fillRect(0, oy, 8, 8, colors::plateLo);
        c.fillRect(1, oy + 1, 7, 7, hex(0x4A3A2C));
        c.fillRect(1, oy + 1, 6, 6, f ? colors::accent : colors::well);
        // The digit's rows 1 to 6 fill the face; "1" sits centred, "2" uses 5 columns.
        const std::string digit = f ? "2" : "1";
        const int w = font.textWidth(digit);
        Canvas glyph(8, 8, hex(0, 0), scale);
        font.draw(glyph, 0, 0, digit, f ? colors::well : colors::accent);
        c.copyInk(glyph, 0, 1, w, 6, 1 + (6 - w) / 2, oy + 1);
    }
    return c;
}

Canvas drawKickButton(KickIcon icon, int scale) {
    Canvas c = strip(8, 8, 2, scale);
    // 5 x 5 arrow pictures, '#' drawn; pointing right, rotated for the others.
    static const char* const kArrow[5] = {"..#..", "...#.", "#####", "...#.", "..#.."};
    for (int f = 0; f < 2; ++f) {
        const int oy = f * 8;
        c.fillRect(0, oy, 8, 8, colors::plateLo);
        if (f == 0) {
            c.fillRect(0, oy, 7, 7, hex(0x8A725C));  // lit top-left edge
            c.fillRect(1, oy + 1, 6, 6, vertical(hex(0x5E4A3A), hex(0x3A2C20), oy + 1.0f, oy + 7.0f));
        } else {
            c.fillRect(1, oy + 1, 7, 7, hex(0x4A3A2C));
            c.fillRect(1, oy + 1, 6, 6, colors::selection);
        }
        const Rgba ink = f ? colors::accent : colors::cream;
        const int shift = f;  // the held picture moves down and right by one pixel
        drawPixelArt(c, 1 + shift, oy + 1 + shift, 5, 5,
                     [icon](int x, int y) {
                         int sx = x, sy = y;
                         switch (icon) {
                             case KickIcon::ArrowRight: break;
                             case KickIcon::ArrowLeft: sx = 4 - x; break;
                             case KickIcon::ArrowDown: sx = y; sy = x; break;
                             case KickIcon::ArrowUp: sx = 4 - y; sy = x; break;
                         }
                         return kArrow[sy][sx] == '#';
                     },
                     ink);
    }
    return c;
}

Canvas drawPresetBox(int scale) {
    constexpr int w = 145, h = 13;
    Canvas c(w, h, colors::plate, scale);
    c.fillRect(0, 0, w, h, colors::plateLo);
    c.fillRect(1, 1, w - 1, h - 1, hex(0x4A3A2C));
    c.fillRect(1, 1, w - 2, h - 2, colors::well);
    c.fillRect(1, 1, w - 2, 1, hex(0x050201));  // inner shadow under the top edge
    // Drop-down mark: a small triangle in its own cell at the right end.
    c.fillRect(w - 12, 2, 1, h - 4, hex(0x2E2218));
    for (int r = 0; r < 3; ++r) c.fillRect(w - 8 + r, 5 + r, 5 - 2 * r, 1, colors::accent);
    return c;
}

}  // namespace artwork
