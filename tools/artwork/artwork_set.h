// The whole set of bitmaps the instrument embeds, drawn in memory.
#pragma once

#include <vector>

#include "canvas.h"

namespace artwork {

struct DrawnImage {
    int id;  // resource id: the file is bmp00<id>.png
    Canvas image;
};

// The 21 editor bitmaps, ascending by id (the font atlases are written by font_atlas.h), at
// scale 1 (vorlix/resources) or 2 (vorlix/resources/2x: twice the pixels each way).
std::vector<DrawnImage> drawEditorImages(int scale = 1);

}  // namespace artwork
