// The panel background (565 x 260) and the about picture.
#pragma once

#include "canvas.h"

namespace artwork {

// `scale` 1 draws the editor's pixels, 2 the same picture for screens of twice the density.
Canvas drawPanel(int scale = 1);
Canvas drawAbout(int scale = 1);

// Deterministic fine grain so flat areas do not look synthetic; knobs sit only on plates,
// which stay flat so the knobs' square images blend in.
float grain(int x, int y);

}  // namespace artwork
