// The instrument's stored state: the program index and the 36 normalized values, as one
// little-endian record of 148 bytes that every format stores as it is. Older, shorter records
// hold fewer values; they are read as far as they go.
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
};

inline constexpr std::size_t kBytes = 4 + 4 * kNumParams;

std::array<std::uint8_t, kBytes> toBytes (const Record& record);

/** The record in `size` bytes: nullopt without a whole program index; then as many whole values
    as the bytes hold (at most 36; anything after them is ignored). */
std::optional<Record> fromBytes (const std::uint8_t* data, std::size_t size);

} // namespace VorlixInstrumentState
