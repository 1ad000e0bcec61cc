// What a host pays for the instrument, measured through the built bundle as a host loads it
// (dlopen, ModuleEntry, factory): the processing path with and without automation and in 64-bit,
// creating and starting instances, their resident memory, and opening the editor.
#include <benchmark/benchmark.h>

#include "VorlixParamID.h"
#include "tools/host/PluginInstance.h"
#include "vexagui/resources/EmbeddedResources.h"
#include "tools/host/PluginModule.h"

#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#ifdef VORLIX_BENCH_EDITOR
#include "FakePlugFrame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace {

using namespace Steinberg;
using Vorlix::Host::PluginInstance;
using Vorlix::Host::PluginModule;
using Clock = std::chrono::steady_clock;

constexpr double kRate = 48000.0;
constexpr int kBlock = 64;
constexpr int kVoices = 10;

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Resident memory of the process in bytes (the second field of /proc/self/statm is pages).
double residentBytes()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0.0;
    long size = 0, resident = 0;
    const int read = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return read == 2 ? double(resident) * double(sysconf(_SC_PAGESIZE)) : 0.0;
}

// The resident bytes after handing the allocator's free pages back to the system: otherwise pages
// that an earlier editor freed but the allocator kept are reused unseen, and what an editor adds
// depends on what ran before it.
double settledResidentBytes()
{
    malloc_trim(0);
    return residentBytes();
}

// The bundle is loaded once for the whole run, as a host keeps it loaded.
struct Bundle
{
    std::unique_ptr<PluginModule> module;
    PClassInfo info{};
    std::string error;

    Bundle()
    {
        const char* path = std::getenv("VORLIX_BENCH_BUNDLE");
        module = PluginModule::load(path && *path ? path : VORLIX_BUNDLE_DIR, error);
        if (module && module->findAudioModuleClass(info) < 0)
            error = "the bundle has no audio module class";
    }
    bool ok() const { return module && error.empty(); }

    std::unique_ptr<PluginInstance> create(std::string& why) const
    {
        return PluginInstance::create(module->factory(), info.cid, why);
    }
};

Bundle& bundle()
{
    static Bundle b;
    return b;
}

//--- the processing path ------------------------------------------------------------------------

// Normalized values of the initial saw program ("InitSaw") with unison off: the engine-only saw
// case (vorlix-bench BM_SawUnisonOff), so the two figures compare.
constexpr float kPatch[kNumParams] = {
    0.0f,  0.5f,  0.0f, 0.5f, 0.01f, 0.523482f, 1.0f, 0.154198f, 1.0f, 0.0f, 0.0f, 0.0f,
    0.05f, 0.530111f, 1.0f, 0.1296f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f,
    1.0f,  0.0f,  0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.609013f, 0.0f, 0.0f, 0.0f};

// Eight sound parameters a DAW typically automates; continuous ones, so every point is a real
// change. The second set swaps the amplitude decay for the unison detune, whose every change
// re-derives the frequencies of three oscillator copies per playing voice at once.
constexpr int kAutomated[8] = {kFilt1Cutoff, kRes, kOscMix, kGain, kFilterEnvAmount, kFilt2Cutoff, kOsc1Decay,
                               kOutputLevel};
constexpr int kAutomatedWithDetune[8] = {kFilt1Cutoff, kRes, kOscMix, kGain, kFilterEnvAmount, kFilt2Cutoff,
                                         kUnisonDetune, kOutputLevel};

enum class HostCase { Plain, Automated, AutomatedDetune, Double };

std::unique_ptr<PluginInstance> startPlaying(HostCase c, std::string& why)
{
    std::unique_ptr<PluginInstance> p = bundle().create(why);
    if (!p)
        return nullptr;
    Vorlix::Host::ProcessConfig config;
    config.sampleRate = kRate;
    config.maxBlock = kBlock;
    config.processMode = Vst::kRealtime;
    config.sampleSize = c == HostCase::Double ? Vst::kSample64 : Vst::kSample32;
    if (!p->start(config, why))
        return nullptr;
    // The host applies the whole patch, then holds ten notes for one second.
    for (int id = 0; id < kNumParams; ++id)
        p->parameterChanges().addChange(static_cast<Vst::ParamID>(id), 0, kPatch[id]);
    for (int n = 0; n < kVoices; ++n)
        p->events().addNoteOn(0, 43 + 3 * n, 0.8f);
    for (int b = 0; b < int(kRate) / kBlock; ++b)
        p->process(kBlock);
    return p;
}

void hostPath(benchmark::State& state, HostCase c)
{
    if (!bundle().ok())
    {
        state.SkipWithError(bundle().error.c_str());
        return;
    }
    std::string why;
    std::unique_ptr<PluginInstance> p = startPlaying(c, why);
    if (!p)
    {
        state.SkipWithError(why.c_str());
        return;
    }
    // The automation curves, read as a DAW reads its lanes: slow moves around the patch, every
    // point a new value (4096 points per lane, then the lanes repeat).
    const int* const ids = c == HostCase::AutomatedDetune ? kAutomatedWithDetune : kAutomated;
    const bool automated = c == HostCase::Automated || c == HostCase::AutomatedDetune;
    constexpr int kPoints = 4096;
    std::vector<double> lanes(8 * kPoints);
    for (int k = 0; k < 8; ++k)
        for (int i = 0; i < kPoints; ++i)
            lanes[size_t(k * kPoints + i)] =
                std::fmin(1.0, std::fmax(0.0, kPatch[ids[k]] + 0.05 * std::sin(i * 0.0015 + k)));
    int at = 0;
    const double cpu0 = threadCpuSeconds();
    for (auto _ : state)
    {
        if (automated)
        {
            // Four points per parameter, spread over the block.
            for (int k = 0; k < 8; ++k)
                for (int point = 0; point < 4; ++point)
                    p->parameterChanges().addChange(static_cast<Vst::ParamID>(ids[k]), point * 16,
                                                    lanes[size_t(k * kPoints + (at + point) % kPoints)]);
            at = (at + 4) % kPoints;
        }
        p->process(kBlock);
        benchmark::ClobberMemory();
    }
    const double cpu = threadCpuSeconds() - cpu0;
    const double samples = double(state.iterations()) * kBlock;
    state.counters["ns_per_voice_sample"] = cpu * 1e9 / (samples * kVoices);
    state.counters["realtime_factor"] = (samples / kRate) / cpu;
}

void BM_HostPlain(benchmark::State& s) { hostPath(s, HostCase::Plain); }
void BM_HostAutomated8x4(benchmark::State& s) { hostPath(s, HostCase::Automated); }
void BM_HostAutomated8x4Detune(benchmark::State& s) { hostPath(s, HostCase::AutomatedDetune); }
void BM_HostDouble(benchmark::State& s) { hostPath(s, HostCase::Double); }

BENCHMARK(BM_HostPlain);
BENCHMARK(BM_HostAutomated8x4);
BENCHMARK(BM_HostAutomated8x4Detune);
BENCHMARK(BM_HostDouble);

//--- instances ----------------------------------------------------------------------------------

Vorlix::Host::ProcessConfig daw()
{
    Vorlix::Host::ProcessConfig config;
    config.sampleRate = kRate;
    config.maxBlock = 512;
    config.processMode = Vst::kRealtime;
    return config;
}

// createInstance + initialize + setupProcessing + activate, wall time per instance.
void BM_InstanceCreateStart(benchmark::State& state)
{
    if (!bundle().ok())
    {
        state.SkipWithError(bundle().error.c_str());
        return;
    }
    std::string why;
    for (auto _ : state)
    {
        const auto t0 = Clock::now();
        std::unique_ptr<PluginInstance> p = bundle().create(why);
        const bool ok = p && p->start(daw(), why);
        const auto t1 = Clock::now();
        if (!ok)
        {
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        p.reset();
    }
}
BENCHMARK(BM_InstanceCreateStart)->UseManualTime()->Unit(benchmark::kMillisecond);

// Resident memory that 16 started instances add, each having processed one block; editors closed.
void BM_InstanceMemory16(benchmark::State& state)
{
    if (!bundle().ok())
    {
        state.SkipWithError(bundle().error.c_str());
        return;
    }
    std::string why;
    double perInstance = 0.0;
    for (auto _ : state)
    {
        {
            // What the first instance of a process sets up once (statics, the SDK's tables).
            std::unique_ptr<PluginInstance> warm = bundle().create(why);
        }
        const double before = residentBytes();
        std::vector<std::unique_ptr<PluginInstance>> instances;
        for (int i = 0; i < 16; ++i)
        {
            std::unique_ptr<PluginInstance> p = bundle().create(why);
            if (!p || !p->start(daw(), why))
            {
                state.SkipWithError(why.c_str());
                return;
            }
            p->process(512);
            instances.push_back(std::move(p));
        }
        perInstance = (residentBytes() - before) / 16.0;
    }
    state.counters["rss_mb_per_instance"] = perInstance / (1024.0 * 1024.0);
}
BENCHMARK(BM_InstanceMemory16)->Iterations(1)->Unit(benchmark::kMillisecond);

//--- the artwork --------------------------------------------------------------------------------

// Decoding the editor's images as the first open editor of a process does (all 23, the about
// picture included), with the decoder the module carries; each round starts from nothing.
void BM_ArtworkDecodeAll(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        std::vector<std::shared_ptr<const std::uint8_t>> held;
        bytes = 0;
        for (std::size_t i = 0; i < vexagui::kResourcePack.entryCount; ++i)
        {
            const vexagui::ImagePixels pixels = vexagui::kPackedResources[i].imagePixels();
            if (pixels.empty())
                continue;
            held.push_back(pixels.acquire());
            bytes += pixels.size();
        }
    }
    state.counters["decoded_mb"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ArtworkDecodeAll)->Unit(benchmark::kMillisecond);

//--- the editor ---------------------------------------------------------------------------------

#ifdef VORLIX_BENCH_EDITOR
// Whether the window shows the first frame: the panel's pixels replace the black of the window.
bool frameOnScreen(vexagui::test::X11TestWindow& win)
{
    XImage* image = XGetImage(win.display, win.window, 270, 120, 24, 24, AllPlanes, ZPixmap);
    if (!image)
        return false;
    bool lit = false;
    for (int y = 0; y < 24 && !lit; ++y)
        for (int x = 0; x < 24 && !lit; ++x)
            lit = (XGetPixel(image, x, y) & 0xFFFFFFu) != 0;
    XDestroyImage(image);
    return lit;
}

// createView -> attached -> first frame on screen, in a top-level window under the display in
// DISPLAY; the resident memory the open editor adds, and what stays after it closed.
void editorOpen(benchmark::State& state)
{
    if (!std::getenv("DISPLAY"))
    {
        state.SkipWithError("no DISPLAY");
        return;
    }
    if (!bundle().ok())
    {
        state.SkipWithError(bundle().error.c_str());
        return;
    }
    double openMs = 0.0, extraMb = 0.0, keptMb = 0.0;
    for (auto _ : state)
    {
        std::string why;
        std::unique_ptr<PluginInstance> p = bundle().create(why);
        if (!p || !p->start(daw(), why) || !p->controller())
        {
            state.SkipWithError(why.empty() ? "no edit controller" : why.c_str());
            return;
        }
        vexagui::test::X11TestWindow win(565, 260);
        vexagui::test::FakePlugFrame frame;
        if (!win.ok())
        {
            state.SkipWithError("cannot open the display");
            return;
        }
        const double before = settledResidentBytes();
        const auto t0 = Clock::now();
        IPlugView* view = p->controller()->createView(Vst::ViewType::kEditor);
        bool shown = false;
        if (view)
        {
            view->setFrame(&frame);
            if (view->attached(win.parentHandle(), kPlatformTypeX11EmbedWindowID) == kResultOk)
                shown = frame.pumpUntil([&] { return frameOnScreen(win); }, 5000);
        }
        const auto t1 = Clock::now();
        const double open = settledResidentBytes();
        if (view)
        {
            view->removed();
            view->setFrame(nullptr);
            view->release();
        }
        const double closed = settledResidentBytes();
        if (!shown)
        {
            state.SkipWithError("the editor showed no frame");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        openMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        extraMb += (open - before) / (1024.0 * 1024.0);
        keptMb += (closed - before) / (1024.0 * 1024.0);
    }
    const double n = double(state.iterations());
    state.counters["open_ms"] = openMs / n;
    state.counters["extra_mb_open"] = extraMb / n;
    state.counters["kept_mb_closed"] = keptMb / n;
}

// The first editor of the process also loads and initialises the GL driver.
void BM_EditorOpenFirst(benchmark::State& s) { editorOpen(s); }
// Every later one: a new instance's editor, opened and closed.
void BM_EditorOpen(benchmark::State& s) { editorOpen(s); }
BENCHMARK(BM_EditorOpenFirst)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOpen)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

} // namespace
