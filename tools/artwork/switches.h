// Multi-state buttons, toggles, kick buttons and the preset box. Frames are stacked vertically.
// `scale` 1 draws the editor's pixels, 2 the same control for screens of twice the density.
#pragma once

#include "canvas.h"

namespace artwork {

Canvas drawSlideSwitch(int scale = 1);      // 141: 30 x 13, off / on
Canvas drawLedSwitch(int scale = 1);        // 142: 30 x 13, off / on
Canvas drawSlideSelector(int scale = 1);    // 148: 30 x 13, three positions
Canvas drawSegmentSelector(int scale = 1);  // 149: 30 x 13, three lit segments
Canvas drawSquareToggle(int scale = 1);     // 150: 8 x 8, oscillator sync
Canvas drawRoundToggle(int scale = 1);      // 151: 8 x 8, sync on trigger
Canvas drawOctaveToggle(int scale = 1);     // 162: 8 x 8, "1" / "2" octaves down
enum class KickIcon { ArrowLeft, ArrowRight, ArrowUp, ArrowDown };
Canvas drawKickButton(KickIcon icon, int scale = 1);  // 152, 153, 159, 160: 8 x 8, up / held
Canvas drawPresetBox(int scale = 1);        // 155: 145 x 13

}  // namespace artwork
