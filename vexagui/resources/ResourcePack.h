// The resource pack: compiled-in assets (images as PNG data URLs, and metrics documents) looked
// up by their path string. Nothing is read from disk. An image's pixels are either raw RGBA in
// the table or, for the built-in artwork, its PNG decoded once per process on first use
// (PackedImageStore).
#pragma once

#include "vexagui/render/ResourceSpec.h"

#include <cstddef>
#include <cstdint>

namespace vexagui {

// One constant asset record; every pointer refers to static constant data.
// Images carry dataUrl, the four size fields and pixels (raw, or compressed: decoded from the
// URL); documents carry text (and zero sizes).
struct PackedResource {
    const char* path = nullptr;      // lookup key, e.g. "vorlix/resources/bmp00128.png"
    const char* mimeType = nullptr;  // "image/png" or "application/json"
    const char* dataUrl = nullptr;   // "data:image/png;base64,..."; null for documents
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 0;
    std::int32_t bitsPerChannel = 0;
    const std::uint8_t* pixels = nullptr;  // width * height * 4 bytes RGBA, top row first; null when compressed
    std::size_t pixelBytes = 0;
    const char* text = nullptr;  // document text; null for images
    std::size_t textLength = 0;  // characters without the terminating zero
    // The pixels are the data URL's PNG (width x height, decoded to RGBA on first use).
    bool compressed = false;
    // The path of the same image at twice the width and height, looked up in the pack that holds
    // this entry; null when there is none.
    const char* doubleResolution = nullptr;

    // The entry's pixels as a spec carries them: the raw bytes referred to, or the shared decoded
    // copy made on demand; empty when the entry has neither.
    ImagePixels imagePixels() const;

    // The entry as a renderer resource. Each size field falls back to its default on its own
    // when the entry's value is not positive; url and pixels are referred to, never copied,
    // when present (nothing is decoded here). No consistency check between the sizes and
    // pixelBytes. The 2x partner's pixels come along (doublePixels, deferred as well) when the
    // installed pack holds a partner of exactly twice the ResourceSpec's size.
    ResourceSpec asImageResourceSpec(std::int32_t id, std::int32_t defaultWidth, std::int32_t defaultHeight) const;
};

struct PackedResourceList {
    const PackedResource* entries = nullptr;
    std::size_t entryCount = 0;
};

struct ResourcePack {
    const PackedResource* entries = nullptr;  // primary list, searched first
    std::size_t entryCount = 0;
    const PackedResourceList* extraLists = nullptr;  // searched in order after the primary list
    std::size_t extraListCount = 0;

    // First entry whose path equals `path` byte for byte (no case folding, no "./" handling);
    // null for a null path or when nothing matches. Entries with a null path are skipped.
    const PackedResource* find(const char* path) const;
    // The entry's 2x partner in this pack: found, an image, and exactly twice the entry's width
    // and height; otherwise null.
    const PackedResource* doubleResolutionOf(const PackedResource& entry) const;
};

// The process-wide installed pack (not owned; null until installed). Any thread.
void setResourcePack(const ResourcePack* pack);
const ResourcePack* resourcePack();

// find() on the installed pack; null when no pack is installed.
const PackedResource* lookupPackedResource(const char* path);

} // namespace vexagui
