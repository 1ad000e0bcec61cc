// Hosts scan and instantiate from several threads, and the last release of the factory may run on
// any of them. Threads here get and release the module's factory and create and release
// instances through it; under ThreadSanitizer this proves the factory's publication race-free.
#include "VorlixVst3PluginIDs.h"
#include "vst3/PluginFactory.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

extern "C" Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory ();

using namespace Steinberg;

#ifndef VORLIX_STRESS_SECONDS
#define VORLIX_STRESS_SECONDS 2
#endif

namespace {

FUID classId ()
{
    return FUID (VorlixVst3PluginIDs::kProcessorUID[0], VorlixVst3PluginIDs::kProcessorUID[1],
                 VorlixVst3PluginIDs::kProcessorUID[2], VorlixVst3PluginIDs::kProcessorUID[3]);
}

} // namespace

TEST (FactoryStress, ThreadsGetAndReleaseFactoriesAndInstances)
{
    // While one reference is held, every caller shares that factory.
    IPluginFactory* first = GetPluginFactory ();
    IPluginFactory* second = GetPluginFactory ();
    EXPECT_EQ (first, second);
    second->release ();
    first->release ();

    std::atomic<long> instances {0};
    std::atomic<long> factories {0};
    std::atomic<int> failures {0};
    const auto end = std::chrono::steady_clock::now () + std::chrono::seconds (VORLIX_STRESS_SECONDS);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back ([&, t] {
            for (int round = 0; std::chrono::steady_clock::now () < end; ++round)
            {
                IPluginFactory* factory = GetPluginFactory ();
                if (!factory || factory->countClasses () != 1)
                {
                    failures.fetch_add (1);
                    return;
                }
                factories.fetch_add (1);
                // Half the threads also make an instance now and then; the others only race the
                // factory's last release against its re-creation.
                if (t % 2 == 0 && round % 4 == 0)
                {
                    void* obj = nullptr;
                    if (factory->createInstance (classId ().toTUID (), Vst::IComponent::iid, &obj) != kResultOk || !obj)
                        failures.fetch_add (1);
                    else
                    {
                        instances.fetch_add (1);
                        static_cast<Vst::IComponent*> (obj)->release ();
                    }
                }
                factory->release ();
            }
        });
    for (auto& t : threads)
        t.join ();

    EXPECT_EQ (failures.load (), 0);
    EXPECT_GT (factories.load (), 100);
    EXPECT_GT (instances.load (), 0);
    EXPECT_EQ (gPluginFactory, nullptr); // the last release cleared the module's factory
}
