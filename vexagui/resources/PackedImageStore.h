// The process's decoded copies of the packed PNG images. Each image is decoded the first time
// someone asks for it (the first editor that opens), shared by every spec, renderer and editor
// of every instance, and freed when the last holder lets go. Images nobody asks for (another
// scale's set, say) are never decoded. Any thread: the bookkeeping takes a lock; the decoding
// happens on the asking thread.
#pragma once

#include "vexagui/render/ImagePixels.h"

#include <cstddef>

namespace vexagui {

struct PackedResource;

namespace PackedImageStore {

// The source of an entry's decoded pixels; one per entry for the life of the process.
const IVexaImageSource& sourceFor(const PackedResource& entry);

struct Usage {
    std::size_t liveImages = 0;  // decoded images someone holds
    std::size_t liveBytes = 0;   // their pixel bytes
    std::size_t decodes = 0;     // decodings since the module was loaded
};
Usage usage();

} // namespace PackedImageStore
} // namespace vexagui
