// One weak slot per packed image: the decoded pixels live as long as some holder keeps them.
// Slots are keyed by the image's constant data URL and size, not by the entry's address, so a
// copy of an entry (tests make them on the stack) shares its original's slot.
#include "vexagui/resources/PackedImageStore.h"

#include "vexagui/resources/PngDataUrl.h"
#include "vexagui/resources/ResourcePack.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace vexagui::PackedImageStore {
namespace {

std::atomic<std::size_t> gLiveImages{0};
std::atomic<std::size_t> gLiveBytes{0};
std::atomic<std::size_t> gDecodes{0};

class Slot final : public IVexaImageSource {
public:
    Slot(const char* url, int w, int h, std::mutex& m) : dataUrl(url), width(w), height(h), mutex(m) {}

    std::size_t byteCount() const override {
        if (width <= 0 || height <= 0) return 0;
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u;
    }

    std::shared_ptr<const std::uint8_t> acquire() const override {
        std::lock_guard<std::mutex> lock(mutex);
        if (std::shared_ptr<const std::uint8_t> live = decoded.lock()) return live;
        // The data is constant: what failed once fails every time, and is not decoded again.
        if (failed) return nullptr;
        DecodedPng png = decodePngDataUrl(dataUrl);
        gDecodes.fetch_add(1, std::memory_order_relaxed);
        // A picture of another size than the table says would be read out of bounds.
        if (!png.rgba || png.width != width || png.height != height) {
            failed = true;
            return nullptr;
        }
        const std::size_t bytes = byteCount();
        gLiveImages.fetch_add(1, std::memory_order_relaxed);
        gLiveBytes.fetch_add(bytes, std::memory_order_relaxed);
        std::shared_ptr<const std::uint8_t> live(png.rgba.release(), [bytes](const std::uint8_t* p) {
            std::free(const_cast<std::uint8_t*>(p));
            gLiveImages.fetch_sub(1, std::memory_order_relaxed);
            gLiveBytes.fetch_sub(bytes, std::memory_order_relaxed);
        });
        decoded = live;
        return live;
    }

private:
    const char* dataUrl;
    int width;
    int height;
    std::mutex& mutex;
    mutable std::weak_ptr<const std::uint8_t> decoded;
    mutable bool failed = false;
};

struct Store {
    std::mutex slotsMutex;   // the map
    std::mutex decodeMutex;  // every slot's weak pointer
    std::map<std::tuple<const char*, int, int>, std::unique_ptr<Slot>> slots;
};

Store& store() {
    static Store s;
    return s;
}

} // namespace

const IVexaImageSource& sourceFor(const PackedResource& entry) {
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.slotsMutex);
    std::unique_ptr<Slot>& slot = s.slots[{entry.dataUrl, entry.width, entry.height}];
    if (!slot) slot = std::make_unique<Slot>(entry.dataUrl, entry.width, entry.height, s.decodeMutex);
    return *slot;
}

Usage usage() {
    return {gLiveImages.load(std::memory_order_relaxed), gLiveBytes.load(std::memory_order_relaxed),
            gDecodes.load(std::memory_order_relaxed)};
}

} // namespace vexagui::PackedImageStore
