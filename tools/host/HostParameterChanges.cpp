#include "tools/host/HostParameterChanges.h"

#include <algorithm>

using namespace Steinberg;

namespace Vorlix::Host {

HostParamValueQueue::HostParamValueQueue (int pointCapacity)
    : points (static_cast<size_t> (std::max (pointCapacity, 0)))
{
}

tresult PLUGIN_API HostParamValueQueue::getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& value)
{
    if (index < 0 || index >= count)
        return kInvalidArgument;
    const Point& p = points[static_cast<size_t> (index)];
    sampleOffset = p.offset;
    value = p.value;
    return kResultOk;
}

tresult PLUGIN_API HostParamValueQueue::addPoint (int32 sampleOffset, Vst::ParamValue value, int32& index)
{
    if (count >= static_cast<int> (points.size ()))
        return kResultFalse;
    points[static_cast<size_t> (count)] = {sampleOffset, value};
    index = count++;
    return kResultOk;
}

tresult PLUGIN_API HostParamValueQueue::queryInterface (const TUID iid, void** obj)
{
    QUERY_INTERFACE (iid, obj, FUnknown::iid, Vst::IParamValueQueue)
    QUERY_INTERFACE (iid, obj, Vst::IParamValueQueue::iid, Vst::IParamValueQueue)
    *obj = nullptr;
    return kNoInterface;
}

HostParameterChanges::HostParameterChanges (int queueCapacity, int pointCapacity)
    : queues (static_cast<size_t> (std::max (queueCapacity, 0)), HostParamValueQueue (pointCapacity))
{
}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::getParameterData (int32 index)
{
    if (index < 0 || index >= count)
        return nullptr;
    return &queues[static_cast<size_t> (index)];
}

Vst::IParamValueQueue* PLUGIN_API HostParameterChanges::addParameterData (const Vst::ParamID& id, int32& index)
{
    for (int i = 0; i < count; ++i)
    {
        if (queues[static_cast<size_t> (i)].getParameterId () == id)
        {
            index = i;
            return &queues[static_cast<size_t> (i)];
        }
    }
    if (count >= static_cast<int> (queues.size ()))
        return nullptr;
    HostParamValueQueue& q = queues[static_cast<size_t> (count)];
    q.reset (id);
    index = count++;
    return &q;
}

tresult PLUGIN_API HostParameterChanges::queryInterface (const TUID iid, void** obj)
{
    QUERY_INTERFACE (iid, obj, FUnknown::iid, Vst::IParameterChanges)
    QUERY_INTERFACE (iid, obj, Vst::IParameterChanges::iid, Vst::IParameterChanges)
    *obj = nullptr;
    return kNoInterface;
}

bool HostParameterChanges::addChange (Vst::ParamID id, int sampleOffset, double value)
{
    int32 index = 0;
    Vst::IParamValueQueue* q = addParameterData (id, index);
    return q != nullptr && q->addPoint (sampleOffset, value, index) == kResultOk;
}

} // namespace Vorlix::Host
