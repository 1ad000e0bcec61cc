// The instrument's class ID. Hosts store it with every project: it never changes.
#pragma once

#include <cstdint>

namespace VorlixVst3PluginIDs {

/** kProcessorUID as its four 32-bit words; the 16-byte ID is each word, most significant byte first. */
inline constexpr std::uint32_t kProcessorUID[4] = {0x6A3F1C52u, 0x9D4E4B7Au, 0xB2C81E05u, 0x71F3D9A4u};

} // namespace VorlixVst3PluginIDs
