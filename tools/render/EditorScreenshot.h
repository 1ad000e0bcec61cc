// vorlix-render --screenshot: opens the plug-in's editor as a host would, in a top-level X window
// with a run loop of our own, lets it draw and saves the window's pixels as a PNG file.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vorlix::Render {

/** Starts Xvfb when DISPLAY is unset (and stops it afterwards). False with `error` when there is no
    display, no view, or the picture cannot be taken or written; `width`/`height` get the size. */
bool takeEditorScreenshot (Steinberg::Vst::IEditController* controller, const std::string& pngPath, int& width,
                           int& height, std::string& error);

/** 8-bit RGB rows, top row first, as a PNG file. */
bool writeRgbPng (const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height,
                  std::string& error);

} // namespace Vorlix::Render
