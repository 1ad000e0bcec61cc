// The host objects that every block crosses: capacity limits, lookup by parameter ID, the order
// of recorded edits, and the bundle loader's refusals.
#include "tools/host/HostEventList.h"
#include "tools/host/HostParameterChanges.h"
#include "tools/host/PluginModule.h"
#include "tools/host/RecordingComponentHandler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <fstream>
#include <unistd.h>

using namespace Steinberg;
using Vorlix::Host::HostEventList;
using Vorlix::Host::HostParameterChanges;
using Vorlix::Host::PluginModule;
using Vorlix::Host::RecordingComponentHandler;
namespace fs = std::filesystem;

TEST (HostEventList, KeepsOrderRefusesWhenFullAndRejectsBadIndexes)
{
    HostEventList list (3);
    EXPECT_TRUE (list.addNoteOn (5, 60, 0.5f));
    EXPECT_TRUE (list.addNoteOff (7, 60));
    EXPECT_TRUE (list.addNoteOn (9, 64, 1.f, 2));
    EXPECT_FALSE (list.addNoteOn (10, 67, 1.f)); // full: dropped, not grown
    ASSERT_EQ (list.getEventCount (), 3);

    Vst::Event e {};
    ASSERT_EQ (list.getEvent (0, e), kResultOk);
    EXPECT_EQ (e.type, Vst::Event::kNoteOnEvent);
    EXPECT_EQ (e.sampleOffset, 5);
    EXPECT_EQ (e.noteOn.pitch, 60);
    EXPECT_FLOAT_EQ (e.noteOn.velocity, 0.5f);
    EXPECT_EQ (e.noteOn.noteId, -1);
    ASSERT_EQ (list.getEvent (1, e), kResultOk);
    EXPECT_EQ (e.type, Vst::Event::kNoteOffEvent);
    ASSERT_EQ (list.getEvent (2, e), kResultOk);
    EXPECT_EQ (e.noteOn.channel, 2);
    EXPECT_NE (list.getEvent (3, e), kResultOk);
    EXPECT_NE (list.getEvent (-1, e), kResultOk);

    list.clear ();
    EXPECT_EQ (list.getEventCount (), 0);
    EXPECT_TRUE (list.addNoteOn (0, 1, 1.f));
}

TEST (HostParameterChanges, OneQueuePerIdAndFixedCapacities)
{
    HostParameterChanges changes (2, 2);
    EXPECT_TRUE (changes.addChange (7, 0, 0.2));
    EXPECT_TRUE (changes.addChange (7, 10, 0.9)); // same queue
    EXPECT_FALSE (changes.addChange (7, 20, 0.5)); // queue full
    EXPECT_TRUE (changes.addChange (3, 0, 1.0));
    EXPECT_FALSE (changes.addChange (4, 0, 1.0)); // no queue left
    ASSERT_EQ (changes.getParameterCount (), 2);

    Vst::IParamValueQueue* q = changes.getParameterData (0);
    ASSERT_NE (q, nullptr);
    EXPECT_EQ (q->getParameterId (), 7u);
    ASSERT_EQ (q->getPointCount (), 2);
    int32 offset = -1;
    Vst::ParamValue value = -1;
    ASSERT_EQ (q->getPoint (1, offset, value), kResultOk);
    EXPECT_EQ (offset, 10);
    EXPECT_DOUBLE_EQ (value, 0.9);
    EXPECT_NE (q->getPoint (2, offset, value), kResultOk);
    EXPECT_EQ (changes.getParameterData (2), nullptr);

    changes.clear ();
    EXPECT_EQ (changes.getParameterCount (), 0);
    int32 index = -1;
    Vst::IParamValueQueue* reused = changes.addParameterData (9, index);
    ASSERT_NE (reused, nullptr);
    EXPECT_EQ (index, 0);
    EXPECT_EQ (reused->getPointCount (), 0); // a reused queue starts empty
}

TEST (HostObjects, AnswerOnlyTheirOwnInterfaces)
{
    HostEventList events;
    HostParameterChanges changes;
    RecordingComponentHandler handler;
    void* obj = nullptr;
    EXPECT_EQ (events.queryInterface (Vst::IEventList::iid, &obj), kResultOk);
    EXPECT_EQ (obj, static_cast<Vst::IEventList*> (&events));
    EXPECT_EQ (events.queryInterface (Vst::IParameterChanges::iid, &obj), kNoInterface);
    EXPECT_EQ (obj, nullptr);
    EXPECT_EQ (changes.queryInterface (Vst::IParameterChanges::iid, &obj), kResultOk);
    EXPECT_EQ (handler.queryInterface (Vst::IComponentHandler::iid, &obj), kResultOk);
    EXPECT_EQ (handler.queryInterface (Vst::IEventList::iid, &obj), kNoInterface);
    // Owned by their host: a release never destroys them.
    events.addRef ();
    events.release ();
    events.release ();
    EXPECT_EQ (events.getEventCount (), 0);
}

TEST (RecordingComponentHandler, RecordsCallsInOrderAndCountsOverflow)
{
    using K = RecordingComponentHandler::Kind;
    RecordingComponentHandler handler (4);
    handler.beginEdit (29);
    handler.performEdit (29, 0.7);
    handler.endEdit (29);
    handler.restartComponent (Vst::kParamValuesChanged);
    handler.beginEdit (1);
    const std::vector<RecordingComponentHandler::Call> expected {
        {K::beginEdit, 29, 0.0, 0},
        {K::performEdit, 29, 0.7, 0},
        {K::endEdit, 29, 0.0, 0},
        {K::restartComponent, 0, 0.0, Vst::kParamValuesChanged},
    };
    EXPECT_EQ (handler.calls (), expected);
    EXPECT_EQ (handler.dropped (), 1);
    handler.clear ();
    EXPECT_TRUE (handler.calls ().empty ());
}

namespace {
fs::path makeBundle (const fs::path& dir, const char* name, const fs::path* library)
{
    const fs::path bundle = dir / (std::string (name) + ".vst3");
    fs::create_directories (bundle / "Contents" / "x86_64-linux");
    if (library)
        fs::copy_file (*library, bundle / "Contents" / "x86_64-linux" / (std::string (name) + ".so"),
                       fs::copy_options::overwrite_existing);
    return bundle;
}
} // namespace

TEST (PluginModule, BundleLibraryPath)
{
    EXPECT_EQ (PluginModule::bundleLibraryPath ("/a/b/Vorlix307.vst3"),
               "/a/b/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so");
    EXPECT_EQ (PluginModule::bundleLibraryPath ("/a/b/Vorlix307.vst3/"),
               "/a/b/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so");
}

TEST (PluginModule, RefusesBadBundlesWithOneLineErrors)
{
    const fs::path dir = fs::temp_directory_path () / ("vorlix-host-test-" + std::to_string (::getpid ()));
    fs::remove_all (dir);
    fs::create_directories (dir);
    const fs::path noFactory (VORLIX_FAKE_MODULE_WITHOUT_FACTORY);
    const fs::path garbage = dir / "garbage.bin";
    std::ofstream (garbage) << "not an ELF file";

    struct Case
    {
        std::string bundle;
        std::string expected;
    };
    const Case cases[] = {
        {(dir / "Missing.vst3").string (), "plug-in bundle not found"},
        {makeBundle (dir, "Empty", nullptr).string (), "not a VST 3 bundle for this platform"},
        {makeBundle (dir, "Garbage", &garbage).string (), "cannot load"},
        {makeBundle (dir, "NoFactory", &noFactory).string (), "does not export GetPluginFactory"},
    };
    for (const Case& c : cases)
    {
        std::string error;
        EXPECT_EQ (PluginModule::load (c.bundle, error), nullptr) << c.bundle;
        EXPECT_NE (error.find (c.expected), std::string::npos) << error;
        EXPECT_EQ (error.find ('\n'), std::string::npos) << error;
    }
    fs::remove_all (dir);
}

// Counts every allocation in this test program, to show that the calls a plug-in makes during
// process() never allocate on the host's side.
namespace {
std::atomic<long> allocations {0};
}
// The replacement pair below is malloc/free on both sides; GCC cannot see that through inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
void* countedAllocation (size_t size) noexcept
{
    allocations.fetch_add (1, std::memory_order_relaxed);
    return std::malloc (size ? size : 1);
}
} // namespace
// Every plain form is replaced, so each allocation and its release go through malloc and free.
void* operator new (size_t size)
{
    if (void* p = countedAllocation (size))
        return p;
    throw std::bad_alloc ();
}
void* operator new[] (size_t size) { return operator new (size); }
void* operator new (size_t size, const std::nothrow_t&) noexcept { return countedAllocation (size); }
void* operator new[] (size_t size, const std::nothrow_t&) noexcept { return countedAllocation (size); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, size_t) noexcept { std::free (p); }
void operator delete[] (void* p, size_t) noexcept { std::free (p); }
void operator delete (void* p, const std::nothrow_t&) noexcept { std::free (p); }
void operator delete[] (void* p, const std::nothrow_t&) noexcept { std::free (p); }

TEST (HostObjects, CallsDuringProcessingDoNotAllocate)
{
    HostEventList events (64);
    HostParameterChanges changes (8, 8);
    RecordingComponentHandler handler (64);
    const long before = allocations.load ();
    for (int block = 0; block < 100; ++block)
    {
        events.addNoteOn (block % 32, 60, 1.f);
        events.addNoteOff (0, 60);
        changes.addChange (static_cast<Vst::ParamID> (block % 4), 0, 0.5);
        Vst::Event e {};
        for (int i = 0; i < events.getEventCount (); ++i)
            events.getEvent (i, e);
        for (int i = 0; i < changes.getParameterCount (); ++i)
        {
            int32 offset = 0;
            Vst::ParamValue value = 0;
            Vst::IParamValueQueue* q = changes.getParameterData (i);
            q->getPoint (q->getPointCount () - 1, offset, value);
        }
        if (block < 20)
            handler.performEdit (1, 0.5);
        events.clear ();
        changes.clear ();
    }
    EXPECT_EQ (allocations.load (), before);
}
