// The toolkit's key codes: what views receive in KeyEvent::key and what every platform layer and
// host bridge translates native keys into. Printable characters never arrive as keys: they come
// as UTF-8 text input.
#pragma once

#include <cstdint>

namespace vexagui {

inline constexpr std::int32_t kKeyBackspace = 8;
inline constexpr std::int32_t kKeyDelete = 127; // delete forward
inline constexpr std::int32_t kKeyLeft = 1000;
inline constexpr std::int32_t kKeyRight = 1001;
inline constexpr std::int32_t kKeyHome = 1002;
inline constexpr std::int32_t kKeyEnd = 1003;
inline constexpr std::int32_t kKeySelectAll = 1004; // the A key with Command or Control held

} // namespace vexagui
