// Pointer and key events as the toolkit root delivers them to views, with the toolkit's own key
// codes and modifier bits (the platform layers translate native events into these).
#pragma once

#include "vexagui/render/Geometry.h"
#include "vexagui/views/KeyCodes.h"

#include <cstdint>

namespace vexagui {

// Mouse button bits; only the low five are ever set.
inline constexpr std::uint32_t kButtonPrimary = 1u << 0;
inline constexpr std::uint32_t kButtonSecondary = 1u << 1;
inline constexpr std::uint32_t kButtonMiddle = 1u << 2;

// Modifier bits.
inline constexpr std::uint32_t kModShift = 1u << 0;
inline constexpr std::uint32_t kModControl = 1u << 1;
inline constexpr std::uint32_t kModOption = 1u << 2;
inline constexpr std::uint32_t kModCommand = 1u << 3;

// Position in editor coordinates plus the buttons held. The first two fields are a Point, and
// the event converts to one wherever a position is wanted.
struct MouseEvent {
    float x = 0.0f;
    float y = 0.0f;
    std::uint32_t buttons = 0;

    operator Point() const { return Point{x, y}; }
};

struct KeyEvent {
    std::int32_t key = 0;
    std::uint32_t modifiers = 0;
};

} // namespace vexagui
