// The instrument's stored state: the program index and the 36 normalized values, as one
// little-endian record of 148 bytes that every format stores as it is, followed by the 32-bit
// marker 1 when the instance plays the precise oscillators (152 bytes then). Older, shorter
// records hold fewer values; they are read as far as they go.
#pragma once

#include "VorlixParamID.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace VorlixInstrumentState {

struct Record
{
    std::int32_t program = 0;
    float values[kNumParams] = {};
    /** Values held: IDs 0..count-1. */
    int count = 0;
    /** Only a complete record (count 36) sets the oscillator mode on a restore. */
    bool preciseOscillators = false;
};

/** Without and with the oscillator mode's marker. */
inline constexpr std::size_t kBytes = 4 + 4 * kNumParams;
inline constexpr std::size_t kMaxBytes = kBytes + 4;
inline constexpr std::uint32_t kPreciseMarker = 1;

struct Bytes
{
    std::array<std::uint8_t, kMaxBytes> data {};
    std::size_t size = 0;
};

Bytes toBytes (const Record& record);

/** The record in `size` bytes: nullopt without a whole program index; then as many whole values
    as the bytes hold (at most 36), and the precise marker right after all 36; anything after that
    is ignored. */
std::optional<Record> fromBytes (const std::uint8_t* data, std::size_t size);

} // namespace VorlixInstrumentState
