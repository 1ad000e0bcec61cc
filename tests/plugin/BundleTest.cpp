// The built Vorlix307.vst3 loaded as a host loads it: dlopen, ModuleEntry, GetPluginFactory.
#include "IVorlixPresetAccess.h"
#include "VorlixVst3PluginIDs.h"

#include "tools/host/PluginInstance.h"
#include "tools/host/PluginModule.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>

using namespace Steinberg;
using namespace Vorlix::Host;

namespace {

const std::string bundle = VORLIX_BUNDLE_DIR;

std::string hex (const TUID cid)
{
    std::string s;
    char b[3];
    for (int i = 0; i < 16; ++i)
    {
        std::snprintf (b, sizeof (b), "%02X", static_cast<unsigned char> (cid[i]));
        s += b;
    }
    return s;
}

std::string expectedClassId ()
{
    std::string s;
    char b[9];
    for (auto w : VorlixVst3PluginIDs::kProcessorUID)
    {
        std::snprintf (b, sizeof (b), "%08X", w);
        s += b;
    }
    return s;
}

} // namespace

TEST (Bundle, FactoryOffersExactlyTheOneInstrumentClass)
{
    std::string error;
    auto module = PluginModule::load (bundle, error);
    ASSERT_TRUE (module) << error;
    IPluginFactory* factory = module->factory ();

    PFactoryInfo info {};
    ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
    EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);
    EXPECT_STRNE (info.vendor, "");

    ASSERT_EQ (factory->countClasses (), 1);
    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ (factory->queryInterface (IPluginFactory2::iid, reinterpret_cast<void**> (&factory2)), kResultOk);
    PClassInfo2 c {};
    ASSERT_EQ (factory2->getClassInfo2 (0, &c), kResultOk);
    EXPECT_EQ (hex (c.cid), expectedClassId ());
    EXPECT_STREQ (c.category, "Audio Module Class");
    EXPECT_STREQ (c.name, "Vorlix307");
    EXPECT_STREQ (c.subCategories, "Instrument|Synth");
    EXPECT_STREQ (c.version, "2.0.0.0");
    EXPECT_STREQ (c.sdkVersion, "VST 3.7.13");
    EXPECT_STREQ (c.vendor, "");
    EXPECT_EQ (c.cardinality, PClassInfo::kManyInstances);
    EXPECT_EQ (c.classFlags, 0u);
    EXPECT_EQ (factory2->getClassInfo2 (1, &c), kInvalidArgument);
    factory2->release ();

    IPluginFactory3* factory3 = nullptr;
    ASSERT_EQ (factory->queryInterface (IPluginFactory3::iid, reinterpret_cast<void**> (&factory3)), kResultOk);
    PClassInfoW w {};
    EXPECT_EQ (factory3->getClassInfoUnicode (0, &w), kResultOk);
    EXPECT_EQ (w.sdkVersion[0], u'V');
    factory3->release ();
}

TEST (Bundle, EntryPointsAreTheOnlyExportsAndBalanced)
{
    const std::string so = PluginModule::bundleLibraryPath (bundle);
    void* handle = dlopen (so.c_str (), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (handle, nullptr) << dlerror ();
    using Entry = bool (*) (void*);
    using Exit = bool (*) ();
    using GetFactory = IPluginFactory* (*) ();
    auto entry = reinterpret_cast<Entry> (dlsym (handle, "ModuleEntry"));
    auto exit = reinterpret_cast<Exit> (dlsym (handle, "ModuleExit"));
    auto getFactory = reinterpret_cast<GetFactory> (dlsym (handle, "GetPluginFactory"));
    ASSERT_TRUE (entry && exit && getFactory);
    // Internal names stay hidden.
    EXPECT_EQ (dlsym (handle, "gPluginFactory"), nullptr);
    EXPECT_EQ (dlsym (handle, "_ZN9Steinberg14gPluginFactoryE"), nullptr);

    EXPECT_FALSE (exit ()); // no entry yet
    EXPECT_TRUE (entry (handle));
    EXPECT_TRUE (entry (handle));

    // The same factory twice; the second call adds a reference.
    IPluginFactory* a = getFactory ();
    IPluginFactory* b = getFactory ();
    EXPECT_EQ (a, b);
    EXPECT_EQ (b->release (), 1u);
    EXPECT_EQ (a->release (), 0u);
    // After the last release a new factory is made.
    IPluginFactory* again = getFactory ();
    ASSERT_NE (again, nullptr);
    EXPECT_EQ (again->countClasses (), 1);
    again->release ();

    EXPECT_TRUE (exit ());
    EXPECT_TRUE (exit ());
    EXPECT_FALSE (exit ());
    dlclose (handle);
}

TEST (Bundle, ModuleInfoDescribesTheFactorysClass)
{
    std::ifstream in (bundle + "/Contents/Resources/moduleinfo.json");
    ASSERT_TRUE (in);
    const nlohmann::json info = nlohmann::json::parse (in);
    EXPECT_EQ (info["Name"], "Vorlix307");
    ASSERT_EQ (info["Classes"].size (), 1u);
    const auto& c = info["Classes"][0];
    EXPECT_EQ (c["CID"], expectedClassId ());
    EXPECT_EQ (c["Category"], "Audio Module Class");
    EXPECT_EQ (c["SDKVersion"], "VST 3.7.13");
    EXPECT_EQ (c["Sub Categories"], nlohmann::json ({"Instrument", "Synth"}));
}

TEST (Bundle, InstancesAreIndependentAndOfferTheirInterfaces)
{
    std::string error;
    auto module = PluginModule::load (bundle, error);
    ASSERT_TRUE (module) << error;
    PClassInfo info {};
    ASSERT_GE (module->findAudioModuleClass (info), 0);

    auto a = PluginInstance::create (module->factory (), info.cid, error);
    ASSERT_TRUE (a) << error;
    auto b = PluginInstance::create (module->factory (), info.cid, error);
    ASSERT_TRUE (b) << error;
    ASSERT_NE (a->controller (), nullptr);
    EXPECT_TRUE (a->query<Vst::IProcessContextRequirements> ());
    EXPECT_EQ (a->query<Vst::IProcessContextRequirements> ()->getProcessContextRequirements (), 0u);

    auto presets = a->query<Vorlix::IVorlixPresetAccess> ();
    ASSERT_TRUE (presets);
    EXPECT_EQ (presets->getProgramCount (), 61);
    char name[8];
    EXPECT_EQ (presets->getProgramName (12, name, sizeof (name)), kResultOk);
    EXPECT_STREQ (name, "bass-vo"); // cut to the buffer
    EXPECT_EQ (presets->getProgramName (61, name, sizeof (name)), kInvalidArgument);
    EXPECT_EQ (presets->selectProgram (12), kResultOk);
    EXPECT_EQ (presets->selectProgram (-1), kInvalidArgument);
    EXPECT_EQ (presets->getCurrentProgram (), 12);
    int32 needed = 0;
    EXPECT_EQ (presets->exportPreset (nullptr, 0, &needed), kResultFalse);
    std::string text (static_cast<size_t> (needed), '\0');
    EXPECT_EQ (presets->exportPreset (text.data (), needed, &needed), kResultOk);
    EXPECT_NE (text.find ("\"program\": 12"), std::string::npos);

    // b is untouched by a's program pick and takes a's preset whole.
    auto other = b->query<Vorlix::IVorlixPresetAccess> ();
    EXPECT_EQ (other->getCurrentProgram (), 0);
    EXPECT_EQ (other->importPreset (text.c_str (), needed - 1), kResultOk);
    EXPECT_EQ (other->getCurrentProgram (), 12);
    EXPECT_EQ (other->importPreset ("{", 1), kResultFalse);
    EXPECT_EQ (other->importPreset (nullptr, 5), kInvalidArgument);

    // Process through the loaded module.
    ProcessConfig config;
    ASSERT_TRUE (a->start (config, error)) << error;
    a->events ().addNoteOn (0, 60, 1.0f);
    EXPECT_EQ (a->process (256), kResultOk);
    double energy = 0.0;
    for (int i = 0; i < 256; ++i)
        energy += std::fabs (a->output (0)[i]);
    EXPECT_GT (energy, 0.0);
    a->stop ();
}
