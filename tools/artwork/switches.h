// Multi-state buttons, toggles, kick buttons and the preset box. Frames are stacked vertically.
#pragma once

#include "canvas.h"

namespace artwork {

Canvas drawSlideSwitch();      // 141: 30 x 13, off / on
Canvas drawLedSwitch();        // 142: 30 x 13, off / on
Canvas drawSlideSelector();    // 148: 30 x 13, three positions
Canvas drawSegmentSelector();  // 149: 30 x 13, three lit segments
Canvas drawSquareToggle();     // 150: 8 x 8, oscillator sync
Canvas drawRoundToggle();      // 151: 8 x 8, sync on trigger
Canvas drawOctaveToggle();     // 162: 8 x 8, "1" / "2" octaves down
enum class KickIcon { ArrowLeft, ArrowRight, ArrowUp, ArrowDown };
Canvas drawKickButton(KickIcon icon);  // 152, 153, 159, 160: 8 x 8, up / held
Canvas drawPresetBox();        // 155: 145 x 13

}  // namespace artwork
