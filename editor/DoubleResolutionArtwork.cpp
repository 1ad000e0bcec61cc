// 2x artwork lookup.
#include "editor/DoubleResolutionArtwork.h"

#include "editor/VorlixEditor.h"
#include "vexagui/resources/ResourcePack.h"

#include <cstdio>

namespace Vorlix {

bool doubleResolutionPath(std::int32_t resourceId, char* path, std::size_t size) {
    if (resourceId == kFontAtlas)
        return std::snprintf(path, size, "vorlix/resources/2x/bitrune.png") > 0;
    if (resourceId < kPanelBackgroundImage || resourceId > kSubOctaveToggleImage)
        return false;
    return std::snprintf(path, size, "vorlix/resources/2x/bmp%05d.png", static_cast<int>(resourceId)) > 0;
}

vexagui::VexaRendererOpenGL::DoubleResolutionImage doubleResolutionArtwork(std::int32_t resourceId) {
    vexagui::VexaRendererOpenGL::DoubleResolutionImage image;
    char path[64];
    if (!doubleResolutionPath(resourceId, path, sizeof path)) return image;
    const vexagui::PackedResource* entry = vexagui::lookupPackedResource(path);
    if (entry == nullptr || entry->pixels == nullptr) return image;
    image.width = entry->width;
    image.height = entry->height;
    // Constant data of the module: shared without an owner.
    image.pixels = std::shared_ptr<const std::uint8_t>(entry->pixels, [](const std::uint8_t*) {});
    image.byteCount = entry->pixelBytes;
    return image;
}

} // namespace Vorlix
