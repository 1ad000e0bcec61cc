// A block's parameter points and events, in time order: each takes effect at its sample offset,
// with the audio before it rendered first. VST 3 keeps points per parameter and events in a list
// of their own; this walks them together. Audio thread; allocates nothing.
#pragma once

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <climits>

namespace VorlixVst3TimedInput {

/** Target: renderUntil (int offset), parameter (ParamID, ParamValue), event (const Event&).
    At one offset, parameter points come before events (a sound changes before the note that
    plays it). An offset outside 0..frames is taken as the nearest end, and one before what is
    already rendered (a host's unsorted list) as now. */
template <class Target>
void play (Steinberg::Vst::IParameterChanges* changes, Steinberg::Vst::IEventList* events, int frames,
           Target& target)
{
    using namespace Steinberg;
    using namespace Steinberg::Vst;

    struct Cursor
    {
        IParamValueQueue* queue;
        ParamID id;
        int32 next;
        int32 count;
        int32 offset; // of point `next`
        ParamValue value;
    };
    // More queues than this (one per parameter a host changed in the block) never occur in
    // practice; any beyond it apply their last point at the block's start.
    constexpr int kMaxQueues = 64;
    Cursor cursors[kMaxQueues];
    int queues = 0;

    auto load = [] (Cursor& c) {
        // A point that cannot be read is skipped.
        while (c.next < c.count && c.queue->getPoint (c.next, c.offset, c.value) != kResultOk)
            ++c.next;
    };

    if (changes)
    {
        const int32 count = changes->getParameterCount ();
        for (int32 i = 0; i < count; ++i)
        {
            IParamValueQueue* queue = changes->getParameterData (i);
            const int32 points = queue ? queue->getPointCount () : 0;
            if (points <= 0)
                continue;
            if (queues < kMaxQueues)
            {
                Cursor& c = cursors[queues++];
                c = Cursor {queue, queue->getParameterId (), 0, points, 0, 0.0};
                load (c);
                continue;
            }
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue->getPoint (points - 1, offset, value) == kResultOk)
                target.parameter (queue->getParameterId (), value);
        }
    }

    const int32 eventCount = events ? events->getEventCount () : 0;
    int32 nextEvent = 0;
    Event event {};
    auto loadEvent = [&] {
        // An event that cannot be read is skipped.
        while (nextEvent < eventCount)
        {
            event = Event {};
            if (events->getEvent (nextEvent, event) == kResultOk)
                return;
            ++nextEvent;
        }
    };
    loadEvent ();

    int rendered = 0;
    auto when = [&] (int32 offset) {
        const int32 end = frames > 0 ? frames : 0;
        const int32 at = offset < rendered ? rendered : offset;
        return at < end ? at : end;
    };
    for (;;)
    {
        int32 at = INT_MAX;
        for (int q = 0; q < queues; ++q)
            if (cursors[q].next < cursors[q].count && when (cursors[q].offset) < at)
                at = when (cursors[q].offset);
        if (nextEvent < eventCount && when (event.sampleOffset) < at)
            at = when (event.sampleOffset);
        if (at == INT_MAX)
            break;
        target.renderUntil (at);
        rendered = at;
        for (int q = 0; q < queues; ++q)
        {
            Cursor& c = cursors[q];
            while (c.next < c.count && when (c.offset) == at)
            {
                target.parameter (c.id, c.value);
                ++c.next;
                load (c);
            }
        }
        while (nextEvent < eventCount && when (event.sampleOffset) == at)
        {
            target.event (event);
            ++nextEvent;
            loadEvent ();
        }
    }
    target.renderUntil (frames > 0 ? frames : 0);
}

} // namespace VorlixVst3TimedInput
