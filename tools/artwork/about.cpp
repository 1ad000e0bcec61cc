// The about picture, shown over the whole panel until the next click.
#include <algorithm>
#include <cmath>
#include <string>

#include "palette.h"
#include "panel.h"
#include "pixel_font.h"

namespace artwork {

Canvas drawAbout(int scale) {
    constexpr int w = 565, h = 260;
    Canvas c(w, h, {}, scale);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Dark radial glow behind the name, with the panel's grain.
            const float d = std::hypot((x - 282.0f) / 320.0f, (y - 96.0f) / 190.0f);
            Rgba p = mix(hex(0x2C1C10), hex(0x0C0806), std::clamp(d, 0.f, 1.f));
            const float g = grain(x, y) * 0.025f;
            p.r += g; p.g += g; p.b += g;
            c.set(x, y, p);
        }
    // Faint oscilloscope grid.
    for (int x = 12; x < w; x += 24) c.fillRect(x, 0, 1, h, hex(0xD67818, 0.05f));
    for (int y = 10; y < h; y += 24) c.fillRect(0, y, w, 1, hex(0xD67818, 0.05f));

    // A saw wave melting into a filtered curve across the picture.
    auto wave = [](float x) {
        const float ph = std::fmod(x / 70.0f, 1.0f);
        const float saw = 1.0f - 2.0f * ph;
        const float smooth = std::sin(x / 70.0f * 6.2831853f);
        const float t = std::clamp((x - 100.0f) / 360.0f, 0.f, 1.f);
        return saw * (1 - t) + smooth * t;
    };
    for (int i = 0; i < w - 1; ++i) {
        // Consecutive samples joined: the saw's drops become steep strokes of their own.
        const float y0 = 150 + 22 * wave(static_cast<float>(i));
        const float y1 = 150 + 22 * wave(static_cast<float>(i + 1));
        c.line(static_cast<float>(i), y0, static_cast<float>(i + 1), y1, 5.0f, hex(0xD67818, 0.10f));
        c.line(static_cast<float>(i), y0, static_cast<float>(i + 1), y1, 1.4f, hex(0xD67818, 0.55f));
    }

    const PixelFont& big = regularFont();
    const PixelFont& small = condensedFont();
    auto centred = [&](const PixelFont& f, int y, const std::string& s, const Rgba& col, int scale) {
        const int tw = f.textWidth(s) * scale;
        f.draw(c, (w - tw) / 2 + 1, y + 1, s, hex(0x000000, 0.7f), scale);
        f.draw(c, (w - tw) / 2, y, s, col, scale);
    };
    centred(big, 34, "VORLIX 307", colors::accent, 5);
    centred(small, 82, "POLYPHONIC SUBTRACTIVE SYNTHESIZER", colors::cream, 2);
    centred(big, 104, "Version 2.0.0", colors::gold, 2);
    centred(small, 190, "Sound engine, editor and artwork by the Vorlix307 project", colors::label, 1);
    centred(small, 202, "Drawn with the VexaGui toolkit  -  VST 3 instrument for Linux", colors::dim, 1);
    centred(small, 232, "click anywhere to close", colors::caret, 1);
    // Frame.
    c.strokeRoundRect(4.5f, 4.5f, w - 4.5f, h - 4.5f, 6.0f, 1.0f, hex(0x6A4A2A));
    c.strokeRoundRect(6.5f, 6.5f, w - 6.5f, h - 6.5f, 5.0f, 1.0f, hex(0x2A1C10));
    return c;
}

}  // namespace artwork
