#include "tools/render/ScreenshotView.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <algorithm>

namespace Vorlix::Render {

using namespace Steinberg;

IPlugView* openEditorView (Vst::IEditController* controller, FIDString platformType, const char* windowKind,
                           std::optional<float> scale, int& width, int& height, std::string& error)
{
    width = height = 0;
    if (!controller)
    {
        error = "the plug-in has no edit controller";
        return nullptr;
    }
    IPlugView* view = controller->createView (Vst::ViewType::kEditor);
    if (!view)
    {
        error = "the plug-in offers no editor view";
        return nullptr;
    }
    const auto refuse = [&] (const std::string& why) {
        view->release ();
        error = why;
        return nullptr;
    };
    if (view->isPlatformTypeSupported (platformType) != kResultTrue)
        return refuse (std::string ("the editor cannot be embedded in ") + windowKind);
    if (scale)
    {
        IPlugViewContentScaleSupport* scaling = nullptr;
        const bool taken = view->queryInterface (IPlugViewContentScaleSupport::iid, reinterpret_cast<void**> (&scaling))
                               == kResultOk
                           && scaling && scaling->setContentScaleFactor (*scale) == kResultTrue;
        if (scaling)
            scaling->release ();
        if (!taken)
            return refuse ("the editor cannot be scaled");
    }
    ViewRect rect;
    if (view->getSize (&rect) != kResultTrue || rect.getWidth () <= 0 || rect.getHeight () <= 0)
        return refuse ("the editor reports no size");
    width = rect.getWidth ();
    height = rect.getHeight ();
    return view;
}

std::vector<std::uint8_t> waitForSteadyPicture (const std::function<void ()>& run,
                                                const std::function<std::vector<std::uint8_t> ()>& grab)
{
    std::vector<std::uint8_t> rgb, previous;
    for (int attempt = 0; attempt < 40; ++attempt)
    {
        run ();
        rgb = grab ();
        const bool drawn = std::any_of (rgb.begin (), rgb.end (), [] (std::uint8_t v) { return v != 0; });
        if (drawn && rgb == previous)
            break;
        previous = rgb;
    }
    return rgb;
}

} // namespace Vorlix::Render
