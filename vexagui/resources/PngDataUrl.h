// Decoding of a packed image: its "data:image/png;base64," URL to 8-bit RGBA pixels, with the
// small PNG decoder compiled into the module (stb_image; no library is loaded for it).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace vexagui {

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

struct DecodedPng {
    std::unique_ptr<std::uint8_t, FreeDeleter> rgba;  // width * height * 4 bytes, top row first
    int width = 0;
    int height = 0;
};

// Empty (null rgba) for anything that is not a standard base64 PNG data URL that decodes to a
// picture of at least one pixel. Any thread; keeps no state between calls.
DecodedPng decodePngDataUrl(const char* dataUrl);

} // namespace vexagui
