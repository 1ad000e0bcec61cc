// The editor's images at twice the resolution (vorlix/resources/2x in the resource pack), handed
// to the OpenGL renderer for editors scaled above 1. The renderer asks only while it draws such a
// scale, so an editor at scale 1 never makes these pixels.
#pragma once

#include "vexagui/render/opengl/VexaRendererOpenGL.h"

#include <cstdint>

namespace Vorlix {

// The pack path of a resource id's 2x image ("vorlix/resources/2x/bmp00128.png", the font atlas
// 20000 as "vorlix/resources/2x/bitrune.png"); false for an id the editor does not use.
bool doubleResolutionPath(std::int32_t resourceId, char* path, std::size_t size);

// The 2x image of a resource id from the installed pack; empty when there is none. UI thread.
vexagui::VexaRendererOpenGL::DoubleResolutionImage doubleResolutionArtwork(std::int32_t resourceId);

} // namespace Vorlix
