// Description of one image from which the renderer makes textures: its resource id, its size and,
// when the image is known, its pixels (and the same image as a PNG data URL, carried along only).
// A spec is cheap to copy: the pixels are shared read-only storage and the URL refers to the
// resource pack's constant text.
#pragma once

#include "vexagui/render/ImagePixels.h"

#include <cstdint>
#include <string_view>

namespace vexagui {

struct ResourceSpec {
    static constexpr std::uint32_t kHasUrl = 1;
    static constexpr std::uint32_t kHasPixels = 2;

    std::int32_t id = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 4;
    std::int32_t bitsPerChannel = 8;
    std::uint32_t flags = 0;
    std::string_view url;  // "data:image/png;base64,..." when kHasUrl is set; constant text, not owned
    ImagePixels pixels;    // width * height * 4 bytes RGBA, top row first, when kHasPixels is set
    // The same image at twice the width and height (RGBA, top row first), for surfaces drawn
    // above scale 1; empty when there is none. Deferred like `pixels`: made only when drawn.
    ImagePixels doublePixels;

    // A spec for an image that is not available: the texture made from it exists but draws nothing.
    static ResourceSpec placeholder(std::int32_t id, std::int32_t width = 0, std::int32_t height = 0) {
        ResourceSpec spec;
        spec.id = id;
        spec.width = width;
        spec.height = height;
        return spec;
    }
};

} // namespace vexagui
