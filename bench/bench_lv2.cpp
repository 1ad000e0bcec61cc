// The LV2 build as a host loads it through lilv: what one instance costs with no UI open.
#include "Lv2TestHost.h"
#include "ResidentMemory.h"
#include "Vorlix307Lv2Uris.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using VorlixLv2Test::Lv2Instance;
using VorlixLv2Test::Lv2World;

// The world is loaded once for the run, as a host keeps it; LV2_PATH names the build tree's bundle.
Lv2World& world()
{
    static Lv2World* w = [] {
        setenv("LV2_PATH", VORLIX_LV2_DIR, 0);
        return new Lv2World;
    }();
    return *w;
}

// lilv_plugin_instantiate + connecting the ports + activate, wall time per instance.
void BM_Lv2InstanceCreateStart(benchmark::State& state)
{
    for (auto _ : state)
    {
        const auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<Lv2Instance> p = Lv2Instance::create(world(), VORLIX_LV2_URI, 48000.0, 512);
        const auto t1 = std::chrono::steady_clock::now();
        if (!p)
        {
            state.SkipWithError("the LV2 bundle does not instantiate");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
}
BENCHMARK(BM_Lv2InstanceCreateStart)->UseManualTime()->Unit(benchmark::kMillisecond);

// Resident memory that 16 started instances add, each having run one block of 512 frames.
void BM_Lv2InstanceMemory16(benchmark::State& state)
{
    double perInstance = 0.0;
    for (auto _ : state)
    {
        Lv2Instance::create(world(), VORLIX_LV2_URI, 48000.0, 512); // the first one's one-time set-up
        const double before = residentBytes();
        std::vector<std::unique_ptr<Lv2Instance>> instances;
        for (int i = 0; i < 16; ++i)
        {
            instances.push_back(Lv2Instance::create(world(), VORLIX_LV2_URI, 48000.0, 512));
            if (!instances.back())
            {
                state.SkipWithError("the LV2 bundle does not instantiate");
                return;
            }
            instances.back()->run(512);
        }
        perInstance = (residentBytes() - before) / 16.0;
    }
    state.counters["rss_mb_per_instance"] = perInstance / (1024.0 * 1024.0);
}
BENCHMARK(BM_Lv2InstanceMemory16)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
