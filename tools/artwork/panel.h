// The panel background (565 x 260) and the about picture.
#pragma once

#include "canvas.h"

namespace artwork {

Canvas drawPanel();
Canvas drawAbout();

// Deterministic fine grain so flat areas do not look synthetic; knobs sit only on plates,
// which stay flat so the knobs' square images blend in.
float grain(int x, int y);

}  // namespace artwork
