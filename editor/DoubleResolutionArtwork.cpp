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
    if (entry == nullptr) return image;
    // Decoded here, on the renderer's first frame above scale 1, into the process's shared copy;
    // the renderer lets it go once uploaded.
    const vexagui::ImagePixels pixels = entry->imagePixels();
    image.pixels = pixels.acquire();
    if (!image.pixels) return {};
    image.width = entry->width;
    image.height = entry->height;
    image.byteCount = pixels.size();
    return image;
}

} // namespace Vorlix
