// The whole set of bitmaps the instrument embeds, drawn in memory.
#pragma once

#include <vector>

#include "canvas.h"

namespace artwork {

struct DrawnImage {
    int id;  // resource id: the file is vorlix/resources/bmp00<id>.png
    Canvas image;
};

// The 21 editor bitmaps, ascending by id (the font atlases are written by font_atlas.h).
std::vector<DrawnImage> drawEditorImages();

}  // namespace artwork
