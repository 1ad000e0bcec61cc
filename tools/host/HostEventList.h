// The event list of one processing block. Its capacity is fixed at construction, so neither the
// host filling it nor the plug-in reading it allocates on the audio thread.
#pragma once

#include "tools/host/HostObject.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace Vorlix::Host {

class HostEventList : public Steinberg::Vst::IEventList
{
public:
    explicit HostEventList (int capacity = 1024);

    Steinberg::int32 PLUGIN_API getEventCount () override;
    Steinberg::tresult PLUGIN_API getEvent (Steinberg::int32 index, Steinberg::Vst::Event& e) override;
    /** kResultFalse when the list is full: the event is dropped, nothing is allocated. */
    Steinberg::tresult PLUGIN_API addEvent (Steinberg::Vst::Event& e) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override;
    VORLIX_HOST_OWNED_REFCOUNT

    void clear () { count = 0; }
    int capacity () const { return static_cast<int> (events.size ()); }

    /** Convenience builders for hosts and tests (channel 0, no note id, no tuning). */
    bool addNoteOn (int sampleOffset, int pitch, float velocity, int channel = 0);
    bool addNoteOff (int sampleOffset, int pitch, float velocity = 0.f, int channel = 0);

private:
    std::vector<Steinberg::Vst::Event> events;
    int count = 0;
};

} // namespace Vorlix::Host
