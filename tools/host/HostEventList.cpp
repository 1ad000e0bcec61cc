#include "tools/host/HostEventList.h"

#include <algorithm>

using namespace Steinberg;

namespace Vorlix::Host {

HostEventList::HostEventList (int capacity_) : events (static_cast<size_t> (std::max (capacity_, 0))) {}

int32 PLUGIN_API HostEventList::getEventCount () { return count; }

tresult PLUGIN_API HostEventList::getEvent (int32 index, Vst::Event& e)
{
    if (index < 0 || index >= count)
        return kInvalidArgument;
    e = events[static_cast<size_t> (index)];
    return kResultOk;
}

tresult PLUGIN_API HostEventList::addEvent (Vst::Event& e)
{
    if (count >= capacity ())
        return kResultFalse;
    events[static_cast<size_t> (count++)] = e;
    return kResultOk;
}

tresult PLUGIN_API HostEventList::queryInterface (const TUID iid, void** obj)
{
    QUERY_INTERFACE (iid, obj, FUnknown::iid, Vst::IEventList)
    QUERY_INTERFACE (iid, obj, Vst::IEventList::iid, Vst::IEventList)
    *obj = nullptr;
    return kNoInterface;
}

bool HostEventList::addNoteOn (int sampleOffset, int pitch, float velocity, int channel)
{
    Vst::Event e {};
    e.sampleOffset = sampleOffset;
    e.type = Vst::Event::kNoteOnEvent;
    e.noteOn.channel = static_cast<int16> (channel);
    e.noteOn.pitch = static_cast<int16> (pitch);
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = -1;
    return addEvent (e) == kResultOk;
}

bool HostEventList::addNoteOff (int sampleOffset, int pitch, float velocity, int channel)
{
    Vst::Event e {};
    e.sampleOffset = sampleOffset;
    e.type = Vst::Event::kNoteOffEvent;
    e.noteOff.channel = static_cast<int16> (channel);
    e.noteOff.pitch = static_cast<int16> (pitch);
    e.noteOff.velocity = velocity;
    e.noteOff.noteId = -1;
    return addEvent (e) == kResultOk;
}

} // namespace Vorlix::Host
