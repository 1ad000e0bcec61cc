// The decoded pixels of a packed image for pixel checks: the process's shared copy, held until
// the test program ends. Null for an entry without pixels or one that does not decode.
#pragma once

#include "vexagui/resources/ResourcePack.h"

#include <cstdint>
#include <map>
#include <memory>

namespace vorlix_test {

inline const std::uint8_t* packedPixels(const vexagui::PackedResource& r) {
    static std::map<const vexagui::PackedResource*, std::shared_ptr<const std::uint8_t>> held;
    std::shared_ptr<const std::uint8_t>& p = held[&r];
    if (!p) p = r.imagePixels().acquire();
    return p.get();
}

}  // namespace vorlix_test
