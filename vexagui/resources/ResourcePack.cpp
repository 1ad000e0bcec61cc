// Lookup of packed assets by path and their conversion into renderer resources.
#include "vexagui/resources/ResourcePack.h"

#include "vexagui/resources/PackedImageStore.h"

#include <atomic>
#include <cstring>

namespace vexagui {

namespace {

// Atomic: hosts may create instances (each of which installs the same pack) on several threads.
std::atomic<const ResourcePack*> gInstalledPack {nullptr};

const PackedResource* findIn(const PackedResource* entries, std::size_t count, const char* path) {
    if (entries == nullptr) return nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (entries[i].path != nullptr && std::strcmp(entries[i].path, path) == 0) return &entries[i];
    }
    return nullptr;
}

} // namespace

ImagePixels PackedResource::imagePixels() const {
    if (pixels != nullptr && pixelBytes > 0) return ImagePixels::borrowed(pixels, pixelBytes);
    if (compressed && dataUrl != nullptr && width > 0 && height > 0)
        return ImagePixels(PackedImageStore::sourceFor(*this));
    return {};
}

ResourceSpec PackedResource::asImageResourceSpec(std::int32_t id, std::int32_t defaultWidth,
                                                 std::int32_t defaultHeight) const {
    ResourceSpec spec;
    spec.id = id;
    spec.width = width > 0 ? width : defaultWidth;
    spec.height = height > 0 ? height : defaultHeight;
    spec.channels = channels > 0 ? channels : 4;
    spec.bitsPerChannel = bitsPerChannel > 0 ? bitsPerChannel : 8;
    spec.flags = 0;
    if (dataUrl != nullptr && dataUrl[0] != '\0') {
        spec.url = dataUrl;
        spec.flags |= ResourceSpec::kHasUrl;
    }
    spec.pixels = imagePixels();
    if (!spec.pixels.empty()) spec.flags |= ResourceSpec::kHasPixels;
    const ResourcePack* pack = resourcePack();
    const PackedResource* partner = pack != nullptr ? pack->doubleResolutionOf(*this) : nullptr;
    if (partner != nullptr && partner->width == 2 * spec.width && partner->height == 2 * spec.height)
        spec.doublePixels = partner->imagePixels();
    return spec;
}

const PackedResource* ResourcePack::find(const char* path) const {
    if (path == nullptr) return nullptr;
    if (const PackedResource* hit = findIn(entries, entryCount, path)) return hit;
    if (extraLists == nullptr) return nullptr;
    for (std::size_t i = 0; i < extraListCount; ++i) {
        if (const PackedResource* hit = findIn(extraLists[i].entries, extraLists[i].entryCount, path)) return hit;
    }
    return nullptr;
}

const PackedResource* ResourcePack::doubleResolutionOf(const PackedResource& entry) const {
    if (entry.doubleResolution == nullptr || entry.width <= 0 || entry.height <= 0) return nullptr;
    const PackedResource* partner = find(entry.doubleResolution);
    if (partner == nullptr || partner->dataUrl == nullptr || partner->width != 2 * entry.width ||
        partner->height != 2 * entry.height)
        return nullptr;
    return partner;
}

void setResourcePack(const ResourcePack* pack) { gInstalledPack.store(pack, std::memory_order_release); }

const ResourcePack* resourcePack() { return gInstalledPack.load(std::memory_order_acquire); }

const PackedResource* lookupPackedResource(const char* path) {
    const ResourcePack* pack = resourcePack();
    return pack != nullptr ? pack->find(path) : nullptr;
}

} // namespace vexagui
