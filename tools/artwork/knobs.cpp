// Knob drawing.
#include "knobs.h"

#include <algorithm>
#include <cmath>

#include "palette.h"

namespace artwork {
namespace {

constexpr float kPi = 3.14159265f;
constexpr float kSweepStart = -0.75f * kPi;  // -135 degrees
constexpr float kSweep = 1.5f * kPi;         // 270 degrees
constexpr float kC = kKnobSize * 0.5f;       // centre 20.5
// Everything stays within 18.5 pixels of the centre: neighbouring knobs overlap by two
// columns on the panel, and the later knob's flat corner must hide nothing that matters.
constexpr float kTrackR = 15.5f;

Paint radialCap(const Rgba& centre, const Rgba& edge, float r) {
    return [=](float x, float y) {
        // Light from the upper left.
        const float d = std::hypot(x - (kC - r * 0.35f), y - (kC - r * 0.45f)) / (r * 1.6f);
        return mix(centre, edge, std::clamp(d, 0.0f, 1.0f));
    };
}

void capRim(Canvas& c, float r, const Rgba& hi, const Rgba& lo) {
    // A one-pixel rim: bright at the top, dark at the bottom.
    c.fillSdf(kC - r - 1, kC - r - 1, kC + r + 1, kC + r + 1,
              [=](float x, float y) { return sdRing(x, y, kC, kC, r - 0.5f, 0.55f); },
              [=](float, float y) { return mix(hi, lo, std::clamp((y - (kC - r)) / (2 * r), 0.f, 1.f)); });
}

void shadow(Canvas& c, float r) {
    c.fillSdf(0, 0, kKnobSize, kKnobSize,
              [=](float x, float y) { return sdCircle(x, y, kC + 0.6f, kC + 1.2f, r + 0.8f); },
              hex(0x000000, 0.45f));
}

void pointerLine(Canvas& c, float a, float r0, float r1, float width, const Rgba& col) {
    float x0, y0, x1, y1;
    polar(kC, kC, r0, a, x0, y0);
    polar(kC, kC, r1, a, x1, y1);
    c.line(x0, y0, x1, y1, width, col);
}

void track(Canvas& c) {
    c.arc(kC, kC, kTrackR, 3.2f, kSweepStart, kSweepStart + kSweep, colors::groove);
}

void darkCap(Canvas& c, float r) {
    shadow(c, r);
    c.fillCircle(kC, kC, r, radialCap(hex(0x2E241C), hex(0x0E0A07), r));
    capRim(c, r, hex(0x6A5848), hex(0x0A0705));
    // Inner well for the read-out that may sit on the cap.
    c.fillCircle(kC, kC, r - 2.2f, radialCap(hex(0x1A130D), hex(0x120A02), r - 2.2f));
}

void standard(Canvas& c, float v, float a) {
    track(c);
    if (v > 0) c.arc(kC, kC, kTrackR, 2.2f, kSweepStart, a, colors::accent);
    darkCap(c, 11.5f);
    pointerLine(c, a, 6.5f, 10.5f, 1.8f, colors::cream);
}

void mixKnob(Canvas& c, float v, float a) {
    track(c);
    const float end = kSweepStart + kSweep;
    c.arc(kC, kC, kTrackR, 2.2f, a, end, hex(0x9C7A52));
    if (v > 0) c.arc(kC, kC, kTrackR, 2.2f, kSweepStart, a, colors::accent);
    // Bronze cap with a dark pointer.
    shadow(c, 11.0f);
    c.fillCircle(kC, kC, 11.0f, radialCap(hex(0xC9A47A), hex(0x5A3E26), 11.0f));
    capRim(c, 11.0f, hex(0xF0D8B8), hex(0x2A1C10));
    pointerLine(c, a, 3.0f, 10.0f, 2.0f, hex(0x1A100A));
}

void timeKnob(Canvas& c, float v, float a) {
    track(c);
    if (v > 0) {
        // Width grows along the sweep, echoing the fourth-power time curve.
        c.fillSdf(0, 0, kKnobSize, kKnobSize,
                  [=](float x, float y) {
                      float ang = std::atan2(x - kC, -(y - kC));
                      if (ang < kSweepStart || ang > a) return 10.0f;
                      const float t = (ang - kSweepStart) / kSweep;
                      const float hw = 0.45f + 1.25f * t * t;
                      return std::fabs(std::hypot(x - kC, y - kC) - kTrackR) - hw;
                  },
                  colors::gold);
    }
    darkCap(c, 11.5f);
    pointerLine(c, a, 6.5f, 10.5f, 1.8f, colors::gold);
}

void bipolar(Canvas& c, float v, float a) {
    track(c);
    if (std::fabs(v - 0.5f) > 0.004f) c.arc(kC, kC, kTrackR, 2.2f, 0.0f, a, colors::accent);
    // Centre detent mark.
    c.fillCircle(kC, kC - kTrackR, 1.1f, colors::cream);
    darkCap(c, 11.5f);
    pointerLine(c, a, 6.5f, 10.5f, 1.8f, colors::cream);
}

void shapeKnob(Canvas& c, float v, float a, const Rgba& bar) {
    // Six detents, one per waveform at 0, 0.2 ... 1; the one in effect is lit.
    const int lit = std::clamp(static_cast<int>((v + 0.1f) * 5.0f), 0, 5);
    for (int i = 0; i < 6; ++i) {
        float x, y;
        polar(kC, kC, 16.0f, knobAngle(i * 0.2f), x, y);
        c.fillCircle(x, y, 1.9f, colors::groove);
        c.fillCircle(x, y, 1.3f, i == lit ? bar : colors::ledOff);
    }
    shadow(c, 12.0f);
    c.fillCircle(kC, kC, 12.0f, radialCap(hex(0x3A2E24), hex(0x100B07), 12.0f));
    capRim(c, 12.0f, hex(0x7A6656), hex(0x0A0705));
    // Pointer bar across the cap, bright at the pointing end.
    float x0, y0, x1, y1;
    polar(kC, kC, 10.5f, a + kPi, x0, y0);
    polar(kC, kC, 10.5f, a, x1, y1);
    c.line(x0, y0, x1, y1, 5.0f, hex(0x15100B));
    c.line(x0, y0, x1, y1, 3.0f, hex(0x4A3B2E));
    pointerLine(c, a, 2.5f, 10.0f, 2.0f, bar);
}

void level(Canvas& c, float v, float a) {
    // Eleven scale ticks, lit up to the value.
    for (int i = 0; i <= 10; ++i) {
        const float t = i / 10.0f;
        const bool on = v > 0 && t <= v + 1e-4f;
        pointerLine(c, knobAngle(t), 15.8f, 17.7f, 1.3f, on ? colors::accent : colors::dim);
    }
    shadow(c, 14.0f);
    // Knurled edge: alternating light and dark teeth.
    c.fillSdf(0, 0, kKnobSize, kKnobSize,
              [](float x, float y) { return sdCircle(x, y, kC, kC, 14.0f); },
              [](float x, float y) {
                  const float ang = std::atan2(x - kC, -(y - kC));
                  const float tooth = 0.5f + 0.5f * std::cos(ang * 24.0f);
                  const float light = 0.55f + 0.45f * std::clamp((kC - y) / 14.0f + 0.3f, 0.f, 1.f);
                  return shade(mix(hex(0x2A2018), hex(0x5E4C3C), tooth), light);
              });
    c.fillCircle(kC, kC, 11.0f, radialCap(hex(0xB89A78), hex(0x3C2C1E), 11.0f));
    capRim(c, 11.0f, hex(0xE8D4B8), hex(0x24180E));
    pointerLine(c, a, 3.5f, 10.0f, 2.2f, colors::accent);
}

}  // namespace

float knobAngle(float v) { return kSweepStart + kSweep * v; }

Canvas drawKnobFrame(KnobStyle style, float v, int scale) {
    Canvas c(kKnobSize, kKnobSize, colors::plate, scale);
    const float a = knobAngle(v);
    switch (style) {
        case KnobStyle::Standard: standard(c, v, a); break;
        case KnobStyle::Mix: mixKnob(c, v, a); break;
        case KnobStyle::Time: timeKnob(c, v, a); break;
        case KnobStyle::Bipolar: bipolar(c, v, a); break;
        case KnobStyle::ShapeOsc2: shapeKnob(c, v, a, colors::cream); break;
        case KnobStyle::ShapeOsc1: shapeKnob(c, v, a, colors::accent); break;
        case KnobStyle::Level: level(c, v, a); break;
    }
    return c;
}

Canvas drawKnobStrip(KnobStyle style, int scale) {
    Canvas strip(kKnobSize, kKnobSize * kKnobFrames, {}, scale);
    for (int k = 0; k < kKnobFrames; ++k) {
        const Canvas f = drawKnobFrame(style, static_cast<float>(k) / (kKnobFrames - 1), scale);
        strip.copyFrom(f, 0, 0, kKnobSize, kKnobSize, 0, k * kKnobSize);
    }
    return strip;
}

}  // namespace artwork
