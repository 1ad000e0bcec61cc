// What every platform's screenshot host does alike: asks the controller for its editor view,
// checks that it embeds in the platform's windows, gives it the host's scale and reads its size;
// then waits until the window shows a steady picture.
#pragma once

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Vorlix::Render {

/** The editor view (one reference, for the caller to release) with its size in pixels; null with
    `error` when there is no controller or view, the platform type is not supported
    (`windowKind` names it in the message), the scale is not taken or the size is empty. */
Steinberg::IPlugView* openEditorView (Steinberg::Vst::IEditController* controller, Steinberg::FIDString platformType,
                                      const char* windowKind, std::optional<float> scale, int& width, int& height,
                                      std::string& error);

/** Lets `run` serve the view for 100 ms at a time and grabs the window's RGB pixels after each,
    until two grabs agree and show something, for at most four seconds; the last grab. */
std::vector<std::uint8_t> waitForSteadyPicture (const std::function<void ()>& run,
                                                const std::function<std::vector<std::uint8_t> ()>& grab);

} // namespace Vorlix::Render
