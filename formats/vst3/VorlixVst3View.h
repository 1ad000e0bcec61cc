// The synthesizer's plug view: the toolkit's bridge plus the preset export and import dialogs.
// The class itself is private to its unit; the component creates it through this function.
#pragma once

#include "pluginterfaces/gui/iplugview.h"

class VorlixVst3Plugin;

namespace vexagui {
class VexaEditor;
class VexaRendererOpenGL;
} // namespace vexagui

namespace Vorlix {

// A new view (reference count 1, owned by the caller) on the plug-in's editor root and renderer;
// `plugin` performs the preset export and import. Null while another view of the renderer is
// attached: the instance has one editor tree, which draws into one window. UI thread.
Steinberg::IPlugView* createVorlixVst3View(vexagui::VexaEditor& editor, vexagui::VexaRendererOpenGL& renderer,
                                           VorlixVst3Plugin* plugin);

} // namespace Vorlix
