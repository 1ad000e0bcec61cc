// The module's exported factory: one class, the single-component instrument "Vorlix307".
#include "VorlixVst3Plugin.h"
#include "VorlixVst3PluginIDs.h"
#include "vst3/PluginFactory.h"

#include "pluginterfaces/base/funknown.h"

using namespace Steinberg;

namespace {

CPluginFactory* createFactory ()
{
    static const PFactoryInfo factoryInfo ("Vorlix Instruments", "https://vorlix307.invalid",
                                           "support@vorlix307.invalid", PFactoryInfo::kUnicode);
    auto* factory = new CPluginFactory (factoryInfo);

    static const PClassInfo2 classInfo = [] {
        const FUID uid (VorlixVst3PluginIDs::kProcessorUID[0], VorlixVst3PluginIDs::kProcessorUID[1],
                        VorlixVst3PluginIDs::kProcessorUID[2], VorlixVst3PluginIDs::kProcessorUID[3]);
        TUID cid;
        uid.toTUID (cid);
        return PClassInfo2 (cid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Vorlix307", 0,
                            "Instrument|Synth", "", "2.0.0.0", "VST 3.7.13");
    }();
    factory->registerClass (classInfo, &VorlixVst3Plugin::createInstance);
    return factory;
}

} // namespace

extern "C" SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
    return shareModuleFactory (&createFactory);
}
