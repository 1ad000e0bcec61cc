#include "tools/host/RecordingComponentHandler.h"

#include <algorithm>

using namespace Steinberg;

namespace Vorlix::Host {

RecordingComponentHandler::RecordingComponentHandler (int capacity)
{
    recorded.reserve (static_cast<size_t> (std::max (capacity, 0)));
}

void RecordingComponentHandler::record (const Call& c)
{
    if (recorded.size () < recorded.capacity ())
        recorded.push_back (c);
    else
        ++droppedCount;
}

void RecordingComponentHandler::clear ()
{
    recorded.clear ();
    droppedCount = 0;
}

tresult PLUGIN_API RecordingComponentHandler::beginEdit (Vst::ParamID id)
{
    record ({Kind::beginEdit, id, 0.0, 0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::performEdit (Vst::ParamID id, Vst::ParamValue valueNormalized)
{
    record ({Kind::performEdit, id, valueNormalized, 0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::endEdit (Vst::ParamID id)
{
    record ({Kind::endEdit, id, 0.0, 0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::restartComponent (int32 flags)
{
    record ({Kind::restartComponent, 0, 0.0, flags});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::queryInterface (const TUID iid, void** obj)
{
    QUERY_INTERFACE (iid, obj, FUnknown::iid, Vst::IComponentHandler)
    QUERY_INTERFACE (iid, obj, Vst::IComponentHandler::iid, Vst::IComponentHandler)
    *obj = nullptr;
    return kNoInterface;
}

} // namespace Vorlix::Host
