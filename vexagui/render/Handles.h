// Names of renderer-owned objects. Each kind has its own id space; 0 never names anything and is
// what a holder keeps while it owns nothing. Ids are never reused within one renderer's life.
#pragma once

#include <cstdint>

namespace vexagui {

struct VisualHandle {
    std::uint32_t id = 0;

    constexpr bool valid() const { return id != 0; }
    friend bool operator==(const VisualHandle&, const VisualHandle&) = default;
};

struct TextureHandle {
    std::uint32_t id = 0;

    constexpr bool valid() const { return id != 0; }
    friend bool operator==(const TextureHandle&, const TextureHandle&) = default;
};

} // namespace vexagui
