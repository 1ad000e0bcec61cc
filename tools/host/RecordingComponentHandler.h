// A component handler that remembers what the plug-in told the host (edits and restart
// requests), in order, so hosts can forward them and tests can check them.
#pragma once

#include "tools/host/HostObject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <vector>

namespace Vorlix::Host {

class RecordingComponentHandler : public Steinberg::Vst::IComponentHandler
{
public:
    enum class Kind { beginEdit, performEdit, endEdit, restartComponent };
    struct Call
    {
        Kind kind;
        Steinberg::Vst::ParamID id;       // 0 for restartComponent
        Steinberg::Vst::ParamValue value; // performEdit only
        Steinberg::int32 flags;           // restartComponent only
        bool operator== (const Call&) const = default;
    };

    /** Calls beyond `capacity` are counted in dropped() instead of allocating. */
    explicit RecordingComponentHandler (int capacity = 4096);

    Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id,
                                               Steinberg::Vst::ParamValue valueNormalized) override;
    Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
    VORLIX_HOST_OWNED_REFCOUNT

    const std::vector<Call>& calls () const { return recorded; }
    int dropped () const { return droppedCount; }
    void clear ();

private:
    void record (const Call& c);

    std::vector<Call> recorded;
    int droppedCount = 0;
};

} // namespace Vorlix::Host
