// The parameter changes of one processing block: a fixed number of queues with a fixed number of
// points each, all obtained at construction, so filling and reading them never allocates.
#pragma once

#include "tools/host/HostObject.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace Vorlix::Host {

class HostParamValueQueue : public Steinberg::Vst::IParamValueQueue
{
public:
    explicit HostParamValueQueue (int pointCapacity = 64);

    Steinberg::Vst::ParamID PLUGIN_API getParameterId () override { return paramId; }
    Steinberg::int32 PLUGIN_API getPointCount () override { return count; }
    Steinberg::tresult PLUGIN_API getPoint (Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                            Steinberg::Vst::ParamValue& value) override;
    /** kResultFalse when the queue is full (the point is dropped). */
    Steinberg::tresult PLUGIN_API addPoint (Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                            Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
    VORLIX_HOST_OWNED_REFCOUNT

    void reset (Steinberg::Vst::ParamID id) { paramId = id; count = 0; }

private:
    struct Point
    {
        Steinberg::int32 offset;
        Steinberg::Vst::ParamValue value;
    };
    std::vector<Point> points;
    Steinberg::Vst::ParamID paramId = 0;
    int count = 0;
};

class HostParameterChanges : public Steinberg::Vst::IParameterChanges
{
public:
    explicit HostParameterChanges (int queueCapacity = 64, int pointCapacity = 64);

    Steinberg::int32 PLUGIN_API getParameterCount () override { return count; }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (Steinberg::int32 index) override;
    /** Returns the existing queue of `id` if there is one; null when every queue is in use. */
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const Steinberg::Vst::ParamID& id,
                                                                   Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
    VORLIX_HOST_OWNED_REFCOUNT

    void clear () { count = 0; }
    /** Host convenience: one point for `id`; false when a queue or the point did not fit. */
    bool addChange (Steinberg::Vst::ParamID id, int sampleOffset, double value);

private:
    std::vector<HostParamValueQueue> queues;
    int count = 0;
};

} // namespace Vorlix::Host
