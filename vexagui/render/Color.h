// Straight-alpha RGBA colour, one byte per component in memory order r, g, b, a.
#pragma once

#include <cstdint>

namespace vexagui {

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    // The little-endian word layout 0xAABBGGRR: fromWord(0xff0e1218) is r 0x18, g 0x12, b 0x0e, a 0xff.
    static constexpr Color fromWord(std::uint32_t word) {
        return Color{static_cast<std::uint8_t>(word & 0xffu), static_cast<std::uint8_t>((word >> 8) & 0xffu),
                     static_cast<std::uint8_t>((word >> 16) & 0xffu), static_cast<std::uint8_t>(word >> 24)};
    }
    constexpr std::uint32_t toWord() const {
        return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
               (static_cast<std::uint32_t>(b) << 16) | (static_cast<std::uint32_t>(a) << 24);
    }

    friend bool operator==(const Color&, const Color&) = default;
};

static_assert(sizeof(Color) == 4, "Color is uploaded and compared as four bytes");

} // namespace vexagui
