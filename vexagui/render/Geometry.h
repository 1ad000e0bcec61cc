// Scene geometry shared by the toolkit, the renderers and the editor: logical units of the
// editor surface (origin top left, y downward) for destinations, texels for sources.
#pragma once

namespace vexagui {

// Right edge is x + width, bottom edge y + height. Nothing normalises a negative extent:
// views and renderers pass it through as given.
struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    float x = 0.0f;
    float y = 0.0f;

    friend bool operator==(const Point&, const Point&) = default;
};

} // namespace vexagui
