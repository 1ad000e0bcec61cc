// Where the editor places each control on the 565 x 260 panel (with no channel row), so the
// panel's captions, wells and plates can be drawn around them and the contact sheet can put
// every control in its place.
#pragma once

#include <string>
#include <vector>

namespace artwork {

struct ImageInfo {
    int id;
    int width, height, frames;
};

// The 21 bitmaps of the editor, ascending by id.
const std::vector<ImageInfo>& editorImages();
const ImageInfo* imageInfo(int id);

enum class Caption { Above, AboveLeft, Below, Left, Right, None };

struct ControlPlace {
    const char* what;  // parameter or command
    int image;         // resource id; 0 for a read-out
    int x, y;          // top-left corner on the panel
    int w, h;          // one frame
    int frames;        // frames in the strip (1 for a read-out)
    std::string caption;
    Caption side;
    int dx = 0, dy = 0;  // nudge of the caption from its default place
};

// Every knob, multi-state button, kick button, the preset box and the four read-outs.
const std::vector<ControlPlace>& panelControls();

// Read-out rectangles and the about hotspots.
struct Box {
    int x, y, w, h;
};
constexpr Box kAboutHotspotLarge{0, 210, 163, 49};
constexpr Box kAboutHotspotSmall{0, 159, 54, 21};
constexpr Box kLibraryLabel{500, 245, 56, 12};

}  // namespace artwork
