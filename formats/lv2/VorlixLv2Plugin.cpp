// The LV2 plug-in: translates ports, atom events and state calls into the instrument's own calls.
//
// Threads: run () is the audio thread. The UI's messages (program picks, imported presets) arrive
// in run (), but the instrument's UI side locks and may allocate, so run () hands them to the
// host's worker and work () performs them on its thread; the changes reach the audio thread
// through the core's own lock-free handoff and the next block applies them. A host without a
// worker (or with its queue full) gets them performed inside run () as before: they still work,
// only that block is not hard real time. LV2 calls run () and the state functions one at a time,
// except save (), which only reads atomics.
//
// Control ports: a port's value is applied when it differs from what the port held in the block
// before, so a host that keeps re-sending a stale value (after a program pick changed it inside)
// changes nothing. After a state is restored the ports are taken as they are: the host writes its
// copy of them around the restore, and the restored state is what the project stored.
#include "Vorlix307Lv2Uris.h"
#include "VorlixInstrument.h"
#include "VorlixInstrumentState.h"
#include "VorlixLv2PortValue.h"
#include "VorlixParameters.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace {

using namespace VorlixLv2Ports;

struct Uris
{
    LV2_URID atomChunk, atomFloat, atomInt, atomObject, atomSequence, midiEvent;
    LV2_URID state, program, tag, tagId, tagValue, apply, values, request;

    explicit Uris (const LV2_URID_Map* m)
    {
        auto map = [m] (const char* uri) { return m->map (m->handle, uri); };
        atomChunk = map (LV2_ATOM__Chunk);
        atomFloat = map (LV2_ATOM__Float);
        atomInt = map (LV2_ATOM__Int);
        atomObject = map (LV2_ATOM__Object);
        atomSequence = map (LV2_ATOM__Sequence);
        midiEvent = map (LV2_MIDI__MidiEvent);
        state = map (VORLIX_LV2_STATE);
        program = map (VORLIX_LV2_PROGRAM);
        tag = map (VORLIX_LV2_TAG);
        tagId = map (VORLIX_LV2_TAG_ID);
        tagValue = map (VORLIX_LV2_TAG_VALUE);
        apply = map (VORLIX_LV2_APPLY);
        values = map (VORLIX_LV2_VALUES);
        request = map (VORLIX_LV2_REQUEST);
    }
};

bool samePortValue (float a, float b)
{
    return a == b || (a != a && b != b); // NaN stays NaN: not a change
}

/** Any thread: the instrument's program and values as the state record, from its atomics. */
VorlixInstrumentState::Record currentRecord (const VorlixInstrument& instrument)
{
    VorlixInstrumentState::Record r;
    r.program = instrument.currentProgramIndex ();
    for (int id = 0; id < kNumParams; ++id)
        r.values[id] = instrument.normalizedParam (id);
    r.count = kNumParams;
    r.preciseOscillators = instrument.preciseOscillators ();
    return r;
}

class VorlixLv2Plugin final : private VorlixInstrument::Listener
{
public:
    VorlixLv2Plugin (double rate, const LV2_URID_Map* map, const LV2_Worker_Schedule* worker)
        : uris (map), schedule (worker)
    {
        lv2_atom_forge_init (&forge, const_cast<LV2_URID_Map*> (map));
        instrument.setListener (this);
        instrument.setupProcessing (rate, 0);
        instrument.initialize ();
        for (int id = 0; id < kNumParams; ++id)
            lastPort[id] = VorlixLv2PortValue::toPort (id, VorlixParameters::defaultValue (id));
    }

    void connect (std::uint32_t port, void* data)
    {
        if (port < static_cast<std::uint32_t> (kNumParams))
            params[port] = static_cast<const float*> (data);
        else if (port == kControl)
            control = static_cast<const LV2_Atom_Sequence*> (data);
        else if (port == kLeft)
            left = static_cast<float*> (data);
        else if (port == kRight)
            right = static_cast<float*> (data);
        else if (port == kNotify)
            notify = static_cast<LV2_Atom_Sequence*> (data);
        else if (port == kVoices)
            voices = static_cast<float*> (data);
        else if (port == kProgram)
            program = static_cast<float*> (data);
    }

    void activate () { instrument.setActive (true); }
    void deactivate () { instrument.setActive (false); }

    void run (std::uint32_t frames);

    LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle)
    {
        const auto bytes = VorlixInstrumentState::toBytes (currentRecord (instrument));
        return store (handle, uris.state, bytes.data.data (), bytes.size, uris.atomChunk,
                      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    }

    LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
    {
        std::size_t size = 0;
        std::uint32_t type = 0;
        std::uint32_t flags = 0;
        if (const void* data = retrieve (handle, uris.state, &size, &type, &flags); data && type == uris.atomChunk)
        {
            const auto record = VorlixInstrumentState::fromBytes (static_cast<const std::uint8_t*> (data), size);
            if (!record)
                return LV2_STATE_ERR_UNKNOWN;
            instrument.restoreState (*record);
        }
        else if (const void* p = retrieve (handle, uris.program, &size, &type, &flags);
                 p && type == uris.atomInt && size == sizeof (std::int32_t))
        {
            std::int32_t index = 0;
            std::memcpy (&index, p, sizeof index);
            instrument.selectProgram (static_cast<float> (index));
        }
        else
        {
            return LV2_STATE_ERR_NO_PROPERTY;
        }
        adoptPorts = true;
        valuesChanged.store (true, std::memory_order_relaxed);
        return LV2_STATE_SUCCESS;
    }

    /** The worker's thread: one UI message that run () passed on, as the whole atom. */
    LV2_Worker_Status work (std::uint32_t size, const void* data)
    {
        if (size < sizeof (LV2_Atom))
            return LV2_WORKER_ERR_UNKNOWN;
        // The host's copy need not be aligned for the atom's fields: read it from an aligned one.
        std::vector<std::uint64_t> aligned ((size + 7) / 8);
        std::memcpy (aligned.data (), data, size);
        const auto* atom = reinterpret_cast<const LV2_Atom*> (aligned.data ());
        if (atom->type != uris.atomObject || atom->size > size - sizeof (LV2_Atom))
            return LV2_WORKER_ERR_UNKNOWN;
        handleMessage (reinterpret_cast<const LV2_Atom_Object*> (atom), atom->size);
        return LV2_WORKER_SUCCESS;
    }

private:
    void valuesReloaded () override { valuesChanged.store (true, std::memory_order_relaxed); }
    void valueChanged (int, float) override { valuesChanged.store (true, std::memory_order_relaxed); }

    void handleMessage (const LV2_Atom_Object* object, std::uint32_t size);
    void passMessage (const LV2_Atom_Object* object, std::uint32_t size);
    void handleMidi (VorlixInstrument::AudioBlock& block, const std::uint8_t* msg, std::uint32_t size);
    void writeNotifications ();

    Uris uris;
    const LV2_Worker_Schedule* schedule = nullptr; // null when the host has no worker
    LV2_Atom_Forge forge {};
    VorlixInstrument instrument;

    const float* params[kNumParams] {};
    const LV2_Atom_Sequence* control = nullptr;
    float* left = nullptr;
    float* right = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    float* voices = nullptr;
    float* program = nullptr;

    float lastPort[kNumParams] {};
    bool adoptPorts = false;
    // Audio thread only: a request just asks for the next block's notification.
    bool valuesRequested = false;
    // Set by the listener and by restore (); the next block tells the UI.
    std::atomic<bool> valuesChanged {false};
};

void VorlixLv2Plugin::handleMessage (const LV2_Atom_Object* object, std::uint32_t size)
{
    // The body must at least hold the object's own header; the properties are then walked
    // within the atom's size only.
    if (size < sizeof (LV2_Atom_Object_Body))
        return;
    const std::uint32_t kind = object->body.otype;
    if (kind == uris.request)
    {
        valuesRequested = true;
    }
    else if (kind == uris.tag)
    {
        const LV2_Atom* id = nullptr;
        const LV2_Atom* value = nullptr;
        lv2_atom_object_get (object, uris.tagId, &id, uris.tagValue, &value, 0);
        if (!id || id->type != uris.atomInt || id->size != sizeof (std::int32_t) || !value ||
            value->type != uris.atomFloat || value->size != sizeof (float))
            return;
        const int tag = reinterpret_cast<const LV2_Atom_Int*> (id)->body;
        // Parameters travel by port; only the commands that are not parameters come this way.
        const float v = reinterpret_cast<const LV2_Atom_Float*> (value)->body;
        if (tag == kSyncNow1 || tag == kSyncNow2 || tag == kPresetListBox)
            instrument.handleUiControlTag (tag, v);
        else if (tag == kPreciseOscillatorsTag)
            instrument.setPreciseOscillators (v >= 0.5f); // the editor's switch, as its binding reads it
    }
    else if (kind == uris.apply)
    {
        const LV2_Atom* chunk = nullptr;
        lv2_atom_object_get (object, uris.state, &chunk, 0);
        if (!chunk || chunk->type != uris.atomChunk || chunk->size < VorlixInstrumentState::kBytes ||
            chunk->size > VorlixInstrumentState::kMaxBytes)
            return;
        if (const auto record = VorlixInstrumentState::fromBytes (
                static_cast<const std::uint8_t*> (LV2_ATOM_BODY_CONST (chunk)), chunk->size))
            instrument.restoreState (*record);
        valuesChanged.store (true, std::memory_order_relaxed);
    }
}

void VorlixLv2Plugin::passMessage (const LV2_Atom_Object* object, std::uint32_t size)
{
    // A request only sets a flag for this thread; everything else touches the instrument's UI side.
    if (size >= sizeof (LV2_Atom_Object_Body) && object->body.otype == uris.request)
        valuesRequested = true;
    else if (!schedule || schedule->schedule_work (schedule->handle, sizeof (LV2_Atom) + size, object) !=
                              LV2_WORKER_SUCCESS)
        handleMessage (object, size); // no worker, or its queue is full: better late real time than a lost pick
}

void VorlixLv2Plugin::handleMidi (VorlixInstrument::AudioBlock& block, const std::uint8_t* msg, std::uint32_t size)
{
    // Notes, the wheel and the controllers all mean what they mean in every other format.
    block.midiMessage (msg, static_cast<int> (size < 3 ? size : 3));
}

void VorlixLv2Plugin::run (std::uint32_t frames)
{
    // 1. Messages from the UI, for the worker; a later block applies them.
    if (control)
        LV2_ATOM_SEQUENCE_FOREACH (control, ev)
        {
            if (ev->body.type == uris.atomObject)
                passMessage (reinterpret_cast<const LV2_Atom_Object*> (&ev->body), ev->body.size);
        }

    {
        VorlixInstrument::AudioBlock block (instrument);
        if (!block.ownsEngine ())
        {
            if (left && right)
                for (std::uint32_t i = 0; i < frames; ++i)
                    left[i] = right[i] = 0.0f;
        }
        else
        {
            // 2. Parameter ports that changed since the last block.
            for (int id = 0; id < kNumParams; ++id)
            {
                if (!params[id])
                    continue;
                const float v = *params[id];
                if (adoptPorts || samePortValue (v, lastPort[id]))
                {
                    lastPort[id] = v;
                    continue;
                }
                lastPort[id] = v;
                if (VorlixLv2PortValue::changes (id, v, instrument.normalizedParam (id)))
                    block.setParam (id, VorlixLv2PortValue::fromPort (id, v));
            }
            adoptPorts = false;

            // 3. Notes at their frames, 4. audio between them.
            std::uint32_t done = 0;
            if (control)
                LV2_ATOM_SEQUENCE_FOREACH (control, ev)
                {
                    if (ev->body.type != uris.midiEvent)
                        continue;
                    const std::int64_t at = ev->time.frames;
                    const std::uint32_t until =
                        at <= static_cast<std::int64_t> (done)
                            ? done
                            : (at >= static_cast<std::int64_t> (frames) ? frames : static_cast<std::uint32_t> (at));
                    if (until > done && left && right)
                        block.render (left + done, right + done, static_cast<int> (until - done));
                    done = until;
                    handleMidi (block, static_cast<const std::uint8_t*> (LV2_ATOM_BODY_CONST (&ev->body)),
                                ev->body.size);
                }
            if (frames > done && left && right)
                block.render (left + done, right + done, static_cast<int> (frames - done));
            block.reportRecentredDetunes ([this] (int, float) {
                valuesChanged.store (true, std::memory_order_relaxed);
                return true;
            });
        }
    }

    // 5. Read-outs.
    if (voices)
        *voices = static_cast<float> (instrument.activeVoiceCount ());
    if (program)
        *program = static_cast<float> (instrument.currentProgramIndex ());
    writeNotifications ();
}

void VorlixLv2Plugin::writeNotifications ()
{
    if (!notify)
        return;
    const std::uint32_t capacity = notify->atom.size;
    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<std::uint8_t*> (notify), capacity);
    LV2_Atom_Forge_Frame sequence;
    if (!lv2_atom_forge_sequence_head (&forge, &sequence, 0))
        return;
    if (valuesRequested || valuesChanged.exchange (false, std::memory_order_relaxed))
    {
        valuesRequested = false;
        const auto bytes = VorlixInstrumentState::toBytes (currentRecord (instrument));
        LV2_Atom_Forge_Frame object;
        if (lv2_atom_forge_frame_time (&forge, 0) && lv2_atom_forge_object (&forge, &object, 0, uris.values) &&
            lv2_atom_forge_key (&forge, uris.state) &&
            lv2_atom_forge_atom (&forge, static_cast<std::uint32_t> (bytes.size), uris.atomChunk) &&
            lv2_atom_forge_write (&forge, bytes.data.data (), static_cast<std::uint32_t> (bytes.size)))
            lv2_atom_forge_pop (&forge, &object);
        else
            valuesChanged.store (true, std::memory_order_relaxed); // no room: the next block
    }
    lv2_atom_forge_pop (&forge, &sequence);
}

//--- the C entry points ---------------------------------------------------------------------------

VorlixLv2Plugin* self (LV2_Handle h)
{
    return static_cast<VorlixLv2Plugin*> (h);
}

LV2_Handle instantiate (const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = nullptr;
    const LV2_Worker_Schedule* worker = nullptr;
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp (features[i]->URI, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*> (features[i]->data);
        else if (std::strcmp (features[i]->URI, LV2_WORKER__schedule) == 0)
            worker = static_cast<const LV2_Worker_Schedule*> (features[i]->data);
    if (!map)
        return nullptr; // required in the description: a host without it cannot load the plug-in
    return new (std::nothrow) VorlixLv2Plugin (rate, map, worker);
}

LV2_State_Status saveState (LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, std::uint32_t,
                            const LV2_Feature* const*)
{
    return self (h)->save (store, handle);
}

LV2_State_Status restoreState (LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                               std::uint32_t, const LV2_Feature* const*)
{
    return self (h)->restore (retrieve, handle);
}

LV2_Worker_Status work (LV2_Handle h, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, std::uint32_t size,
                        const void* data)
{
    return self (h)->work (size, data);
}

const void* extensionData (const char* uri)
{
    static const LV2_State_Interface state {saveState, restoreState};
    // work () answers nothing: the next block learns of its changes through the atomics.
    static const LV2_Worker_Interface worker {
        work, [] (LV2_Handle, std::uint32_t, const void*) { return LV2_WORKER_SUCCESS; }, nullptr};
    if (std::strcmp (uri, LV2_STATE__interface) == 0)
        return &state;
    return std::strcmp (uri, LV2_WORKER__interface) == 0 ? &worker : nullptr;
}

const LV2_Descriptor descriptor {
    VORLIX_LV2_URI,
    instantiate,
    [] (LV2_Handle h, std::uint32_t port, void* data) { self (h)->connect (port, data); },
    [] (LV2_Handle h) { self (h)->activate (); },
    [] (LV2_Handle h, std::uint32_t frames) { self (h)->run (frames); },
    [] (LV2_Handle h) { self (h)->deactivate (); },
    [] (LV2_Handle h) { delete self (h); },
    extensionData,
};

} // namespace

extern "C" __attribute__ ((visibility ("default"))) const LV2_Descriptor* lv2_descriptor (std::uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
