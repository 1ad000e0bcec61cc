// Filmstrip knobs: 63 frames of 41 x 41 stacked vertically, frame 0 at the minimum and the
// pointer sweeping 270 degrees clockwise from lower left to lower right.
#pragma once

#include "canvas.h"

namespace artwork {

constexpr int kKnobSize = 41;
constexpr int kKnobFrames = 63;

enum class KnobStyle {
    Standard,     // 131: dark cap (room for a read-out), orange value arc
    Mix,          // 132: two-colour balance ring between the oscillators
    Time,         // 133: attack and slide, an arc that thickens like the time curve
    Bipolar,      // 134: unison detune, arc from the centre detent
    ShapeOsc2,    // 137: six detents, cream pointer bar
    ShapeOsc1,    // 139: six detents, orange pointer bar
    Level,        // 154: output level, larger knurled cap with a tick scale
};

// The angle of value v (0..1), radians clockwise from straight up.
float knobAngle(float v);
// `scale` 1 draws the editor's pixels, 2 the same knob for screens of twice the density.
Canvas drawKnobFrame(KnobStyle style, float v, int scale = 1);
Canvas drawKnobStrip(KnobStyle style, int scale = 1);

}  // namespace artwork
