// vorlix-render --screenshot: opens the plug-in's editor as a host would, in a top-level X window
// with a run loop of our own, lets it draw and saves the window's pixels as a PNG file.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vorlix::Render {

/** Starts Xvfb when DISPLAY is unset (and stops it afterwards). With `scale` the view gets it as a
    host's content scale factor before it is sized; without, the view chooses as in a host that
    gives none. False with `error` when there is no display, no view, the scale is not taken, or the
    picture cannot be taken or written; `width`/`height` get the size in pixels. */
bool takeEditorScreenshot (Steinberg::Vst::IEditController* controller, const std::string& pngPath,
                           std::optional<float> scale, int& width, int& height, std::string& error);

/** 8-bit RGB rows, top row first, as a PNG file. */
bool writeRgbPng (const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
                  std::string& error);

} // namespace Vorlix::Render
