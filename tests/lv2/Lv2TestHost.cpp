// The test host's lilv and atom plumbing.
#include "Lv2TestHost.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>

#include <cmath>
#include <cstring>

namespace VorlixLv2Test {

Lv2World::Lv2World ()
{
    w = lilv_world_new ();
    lilv_world_load_all (w); // LV2_PATH names the build tree's lv2 folder
    mapData.handle = this;
    mapData.map = [] (LV2_URID_Map_Handle h, const char* uri) { return static_cast<Lv2World*> (h)->map (uri); };
    unmapData.handle = this;
    unmapData.unmap = [] (LV2_URID_Unmap_Handle h, LV2_URID u) {
        return static_cast<Lv2World*> (h)->unmap (u);
    };
    mapFeatureData = {LV2_URID__map, &mapData};
    unmapFeatureData = {LV2_URID__unmap, &unmapData};
    featureList[0] = &mapFeatureData;
    featureList[1] = &unmapFeatureData;
    featureList[2] = nullptr;
}

Lv2World::~Lv2World ()
{
    lilv_world_free (w);
}

const LilvPlugin* Lv2World::plugin (const char* uri) const
{
    LilvNode* node = lilv_new_uri (w, uri);
    const LilvPlugin* p = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (w), node);
    lilv_node_free (node);
    return p;
}

LV2_URID Lv2World::map (const char* uri)
{
    for (std::size_t i = 0; i < uris.size (); ++i)
        if (uris[i] == uri)
            return static_cast<LV2_URID> (i + 1);
    uris.emplace_back (uri);
    return static_cast<LV2_URID> (uris.size ());
}

const char* Lv2World::unmap (LV2_URID urid) const
{
    return urid >= 1 && urid <= uris.size () ? uris[urid - 1].c_str () : nullptr;
}

std::unique_ptr<Lv2Instance> Lv2Instance::create (Lv2World& world, const char* uri, double rate, int maxBlock,
                                                  bool worker)
{
    const LilvPlugin* p = world.plugin (uri);
    if (!p)
        return nullptr;
    std::unique_ptr<Lv2Instance> self (new Lv2Instance (world, p));
    for (const LV2_Feature* const* f = world.features (); *f; ++f)
        self->features.push_back (*f);
    if (worker)
    {
        self->workQueue.assign (1 << 16, 0);
        self->scheduleData = {self.get (), scheduleWork};
        self->scheduleFeature = {LV2_WORKER__schedule, &self->scheduleData};
        self->features.push_back (&self->scheduleFeature);
    }
    self->features.push_back (nullptr);
    self->instance = lilv_plugin_instantiate (p, rate, self->features.data ());
    if (!self->instance)
        return nullptr;
    if (worker)
        self->worker = static_cast<const LV2_Worker_Interface*> (
            lilv_instance_get_extension_data (self->instance, LV2_WORKER__interface));
    const std::uint32_t ports = lilv_plugin_get_num_ports (p);
    self->controls.assign (ports, 0.0f);
    std::vector<float> defaults (ports, 0.0f);
    lilv_plugin_get_port_ranges_float (p, nullptr, nullptr, defaults.data ());
    self->outLeft.assign (static_cast<std::size_t> (maxBlock), 0.0f);
    self->outRight.assign (static_cast<std::size_t> (maxBlock), 0.0f);
    self->controlBuffer.assign (4096, 0);
    self->notifyBuffer.assign (4096, 0);
    self->controlPort = self->portIndex ("control");
    self->notifyPort = self->portIndex ("notify");
    self->leftPort = self->portIndex ("out_l");
    self->rightPort = self->portIndex ("out_r");
    for (std::uint32_t i = 0; i < ports; ++i)
    {
        if (std::isnan (defaults[i]))
            defaults[i] = 0.0f;
        self->controls[i] = defaults[i];
        void* where = &self->controls[i];
        if (i == self->controlPort)
            where = self->controlBuffer.data ();
        else if (i == self->notifyPort)
            where = self->notifyBuffer.data ();
        else if (i == self->leftPort)
            where = self->outLeft.data ();
        else if (i == self->rightPort)
            where = self->outRight.data ();
        lilv_instance_connect_port (self->instance, i, where);
    }
    lilv_instance_activate (self->instance);
    return self;
}

Lv2Instance::~Lv2Instance ()
{
    if (instance)
    {
        lilv_instance_deactivate (instance);
        lilv_instance_free (instance);
    }
}

unsigned Lv2Instance::portIndex (const char* symbol) const
{
    LilvNode* s = lilv_new_string (lv2World.world (), symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol (lilvPlugin, s);
    lilv_node_free (s);
    return port ? lilv_port_get_index (lilvPlugin, port) : ~0u;
}

Lv2Event Lv2Instance::midi (std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    return {frame, lv2World.map (LV2_MIDI__MidiEvent), {status, data1, data2}};
}

void Lv2Instance::run (int frames, const std::vector<Lv2Event>& events)
{
    queue (events);
    process (frames);
    collect ();
}

void Lv2Instance::queue (const std::vector<Lv2Event>& events)
{
    const std::uint32_t capacity = static_cast<std::uint32_t> (controlBuffer.size () * 8);
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*> (controlBuffer.data ());
    seq->atom.type = lv2World.map (LV2_ATOM__Sequence);
    seq->atom.size = sizeof (LV2_Atom_Sequence_Body);
    seq->body.unit = 0;
    seq->body.pad = 0;
    for (const Lv2Event& e : events)
    {
        const std::uint32_t size = static_cast<std::uint32_t> (e.body.size ());
        std::vector<std::uint8_t> ev (sizeof (LV2_Atom_Event) + size);
        auto* head = reinterpret_cast<LV2_Atom_Event*> (ev.data ());
        head->time.frames = e.frame;
        head->body.type = e.type;
        head->body.size = size;
        if (size)
            std::memcpy (ev.data () + sizeof (LV2_Atom_Event), e.body.data (), size);
        lv2_atom_sequence_append_event (seq, capacity, head);
    }
    auto* out = reinterpret_cast<LV2_Atom_Sequence*> (notifyBuffer.data ());
    out->atom.type = 0; // the plug-in learns the room it has from the size
    out->atom.size = static_cast<std::uint32_t> (notifyBuffer.size () * 8 - sizeof (LV2_Atom));
}

void Lv2Instance::process (int frames)
{
    lilv_instance_run (instance, static_cast<std::uint32_t> (frames));
}

LV2_Worker_Status Lv2Instance::scheduleWork (LV2_Worker_Schedule_Handle self, std::uint32_t size, const void* data)
{
    auto* host = static_cast<Lv2Instance*> (self);
    if (host->workUsed + sizeof size + size > host->workQueue.size ())
        return LV2_WORKER_ERR_NO_SPACE;
    std::memcpy (host->workQueue.data () + host->workUsed, &size, sizeof size);
    std::memcpy (host->workQueue.data () + host->workUsed + sizeof size, data, size);
    host->workUsed += sizeof size + size;
    ++host->scheduled;
    return LV2_WORKER_SUCCESS;
}

void Lv2Instance::doWork ()
{
    // Each copy sits 4 bytes past where an 8-byte atom would: the plug-in must not rely on alignment.
    std::size_t at = 0;
    while (worker && at < workUsed)
    {
        std::uint32_t size = 0;
        std::memcpy (&size, workQueue.data () + at, sizeof size);
        at += sizeof size;
        worker->work (lilv_instance_get_handle (instance), nullptr, nullptr, size, workQueue.data () + at);
        at += size;
    }
    workUsed = 0;
}

void Lv2Instance::collect ()
{
    doWork ();
    const auto* out = reinterpret_cast<const LV2_Atom_Sequence*> (notifyBuffer.data ());
    notified.clear ();
    if (out->atom.type == lv2World.map (LV2_ATOM__Sequence))
        LV2_ATOM_SEQUENCE_FOREACH (out, ev)
        {
            const auto* body = reinterpret_cast<const std::uint8_t*> (LV2_ATOM_BODY (&ev->body));
            notified.push_back ({ev->time.frames, ev->body.type, {body, body + ev->body.size}});
        }
}

const void* Lv2Instance::portValue (const char* symbol, void* self, std::uint32_t* size, std::uint32_t* type)
{
    auto* host = static_cast<Lv2Instance*> (self);
    const unsigned i = host->portIndex (symbol);
    if (i >= host->controls.size ())
        return nullptr;
    *size = sizeof (float);
    *type = host->lv2World.map (LV2_ATOM__Float);
    return &host->controls[i];
}

void Lv2Instance::setPortValue (const char* symbol, void* self, const void* value, std::uint32_t size,
                                std::uint32_t type)
{
    auto* host = static_cast<Lv2Instance*> (self);
    const unsigned i = host->portIndex (symbol);
    if (i >= host->controls.size () || size != sizeof (float) || type != host->lv2World.map (LV2_ATOM__Float))
        return;
    std::memcpy (&host->controls[i], value, sizeof (float));
}

LilvState* Lv2Instance::saveState ()
{
    return lilv_state_new_from_instance (lilvPlugin, instance, lv2World.mapFeature (), nullptr, nullptr, nullptr,
                                         nullptr, portValue, this, 0, lv2World.features ());
}

void Lv2Instance::restore (const LilvState* state)
{
    lilv_state_restore (state, instance, setPortValue, this, 0, lv2World.features ());
}

} // namespace VorlixLv2Test
