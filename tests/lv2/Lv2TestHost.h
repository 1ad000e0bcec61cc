// A small LV2 host on lilv for the tests: finds the bundle through LV2_PATH as a host does, runs
// an instance block by block with MIDI and raw atom events, and saves, restores and recalls
// states and presets through lilv's own state code.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VorlixLv2Test {

/** The lilv world with every bundle on LV2_PATH, and the URID map every instance shares. */
class Lv2World
{
public:
    Lv2World ();
    ~Lv2World ();
    Lv2World (const Lv2World&) = delete;
    Lv2World& operator= (const Lv2World&) = delete;

    LilvWorld* world () const { return w; }
    /** The plug-in with that URI, or null. */
    const LilvPlugin* plugin (const char* uri) const;
    LV2_URID map (const char* uri);
    const char* unmap (LV2_URID urid) const;
    LV2_URID_Map* mapFeature () { return &mapData; }
    LV2_URID_Unmap* unmapFeature () { return &unmapData; }
    const LV2_Feature* const* features () const { return featureList; }

private:
    LilvWorld* w = nullptr;
    std::vector<std::string> uris;
    LV2_URID_Map mapData {};
    LV2_URID_Unmap unmapData {};
    LV2_Feature mapFeatureData {};
    LV2_Feature unmapFeatureData {};
    const LV2_Feature* featureList[3] {};
};

/** A timed event for the control port: raw MIDI bytes, or any atom body with its type. */
struct Lv2Event
{
    std::int64_t frame = 0;
    LV2_URID type = 0;
    std::vector<std::uint8_t> body;
};

class Lv2Instance
{
public:
    /** Null when instantiation fails. With a worker, the work run () schedules is done right after
        run () returns (in collect ()), on the test's thread, as a host's worker thread would. */
    static std::unique_ptr<Lv2Instance> create (Lv2World& world, const char* uri, double rate, int maxBlock,
                                                bool worker = true);
    ~Lv2Instance ();

    /** Control input and output ports by index. */
    float& control (unsigned index) { return controls[index]; }
    /** Runs one block with these events on the control port (sorted by frame by the caller):
        queue, process and collect in one. */
    void run (int frames, const std::vector<Lv2Event>& events = {});
    /** The three steps of run (): the host's own work before and after the plug-in's. */
    void queue (const std::vector<Lv2Event>& events);
    void process (int frames);
    void collect ();
    const std::vector<float>& left () const { return outLeft; }
    const std::vector<float>& right () const { return outRight; }
    /** How many pieces of work the plug-in scheduled so far. */
    int workScheduled () const { return scheduled; }
    /** Atoms the plug-in wrote to its notify port in the last block (type and body). */
    const std::vector<Lv2Event>& notifications () const { return notified; }

    /** A state as a host saves it with a project (ports and the plug-in's own state). */
    LilvState* saveState ();
    void restore (const LilvState* state);
    Lv2Event midi (std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    LilvInstance* handle () const { return instance; }
    const LilvPlugin* plugin () const { return lilvPlugin; }
    Lv2World& world () { return lv2World; }

private:
    Lv2Instance (Lv2World& world, const LilvPlugin* plugin) : lv2World (world), lilvPlugin (plugin) {}
    static const void* portValue (const char* symbol, void* self, std::uint32_t* size, std::uint32_t* type);
    static void setPortValue (const char* symbol, void* self, const void* value, std::uint32_t size,
                              std::uint32_t type);
    unsigned portIndex (const char* symbol) const;
    static LV2_Worker_Status scheduleWork (LV2_Worker_Schedule_Handle self, std::uint32_t size, const void* data);
    void doWork ();

    Lv2World& lv2World;
    const LilvPlugin* lilvPlugin;
    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    std::vector<float> outLeft, outRight;
    std::vector<std::uint64_t> controlBuffer, notifyBuffer; // 64-bit words keep atoms aligned
    std::vector<Lv2Event> notified;
    // The worker's queue: size-prefixed copies in a buffer sized up front, so scheduling from
    // run () allocates nothing on the plug-in's account.
    std::vector<std::uint8_t> workQueue;
    std::size_t workUsed = 0;
    int scheduled = 0;
    LV2_Worker_Schedule scheduleData {};
    LV2_Feature scheduleFeature {};
    std::vector<const LV2_Feature*> features;
    const LV2_Worker_Interface* worker = nullptr;
    unsigned controlPort = 0, notifyPort = 0, leftPort = 0, rightPort = 0;
};

} // namespace VorlixLv2Test
