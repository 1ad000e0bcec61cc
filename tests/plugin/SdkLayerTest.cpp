// The rebuilt SDK pieces on their own: bus bookkeeping of SingleComponentEffect and the class
// list of CPluginFactory.
#include "vst3/PluginFactory.h"
#include "vst3/SingleComponentEffect.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

int instances = 0;

class Probe : public SingleComponentEffect
{
public:
    Probe () { ++instances; }
    ~Probe () override { --instances; }
    static FUnknown* create (void*) { return static_cast<IAudioProcessor*> (new Probe ()); }
};

const TUID probeId = INLINE_UID (0x11111111, 0x22222222, 0x33333333, 0x44444444);
const TUID otherId = INLINE_UID (0x55555555, 0x22222222, 0x33333333, 0x44444444);

} // namespace

TEST (SdkLayer, BusesAreCountedDescribedActivatedAndDroppedOnTerminate)
{
    IPtr<Probe> p = owned (new Probe ());
    ASSERT_EQ (p->initialize (nullptr), kResultOk);
    p->addAudioOutput (STR16 ("Out"), SpeakerArr::kStereo);
    p->addAudioInput (STR16 ("In"), SpeakerArr::kMono, kAux, 0);
    p->addEventInput (STR16 ("Ev"), 3);
    EXPECT_EQ (p->getBusCount (kAudio, kOutput), 1);
    EXPECT_EQ (p->getBusCount (kAudio, kInput), 1);
    EXPECT_EQ (p->getBusCount (kEvent, kInput), 1);
    EXPECT_EQ (p->getBusCount (kEvent, kOutput), 0);
    EXPECT_EQ (p->getBusCount (99, kOutput), 0);

    BusInfo info {};
    ASSERT_EQ (p->getBusInfo (kAudio, kInput, 0, info), kResultTrue);
    EXPECT_EQ (info.busType, kAux);
    EXPECT_EQ (info.channelCount, 1);
    EXPECT_EQ (info.direction, kInput);
    ASSERT_EQ (p->getBusInfo (kEvent, kInput, 0, info), kResultTrue);
    EXPECT_EQ (info.channelCount, 3);
    EXPECT_EQ (info.mediaType, kEvent);
    EXPECT_EQ (p->getBusInfo (kEvent, kOutput, 0, info), kInvalidArgument);
    EXPECT_EQ (p->getBusInfo (99, kInput, 0, info), kInvalidArgument);

    EXPECT_EQ (p->activateBus (kAudio, kOutput, 0, true), kResultTrue);
    EXPECT_EQ (p->activateBus (kAudio, kOutput, 1, true), kInvalidArgument);
    EXPECT_EQ (p->activateBus (kAudio, kOutput, -1, true), kInvalidArgument);

    SpeakerArrangement arr = 0;
    EXPECT_EQ (p->getBusArrangement (kInput, 0, arr), kResultTrue);
    EXPECT_EQ (arr, SpeakerArr::kMono);
    EXPECT_EQ (p->getBusArrangement (kOutput, 3, arr), kInvalidArgument);
    SpeakerArrangement in = SpeakerArr::kStereo, out = SpeakerArr::k51;
    EXPECT_EQ (p->setBusArrangements (&in, 1, &out, 1), kResultTrue);
    p->getBusArrangement (kOutput, 0, arr);
    EXPECT_EQ (arr, SpeakerArr::k51);
    EXPECT_EQ (p->setBusArrangements (&in, 2, &out, 1), kResultFalse);
    EXPECT_EQ (p->setBusArrangements (nullptr, 1, &out, 1), kInvalidArgument);

    EXPECT_EQ (p->canProcessSampleSize (kSample32), kResultTrue);
    EXPECT_EQ (p->canProcessSampleSize (kSample64), kResultFalse);
    ProcessSetup setup {kRealtime, kSample64, 64, 44100.0};
    EXPECT_EQ (p->setupProcessing (setup), kResultFalse);

    ParameterInfo pinfo {};
    EXPECT_EQ (p->getParameterInfo (0, pinfo), kInvalidArgument); // none registered: no throw
    EXPECT_EQ (p->getParameterInfo (-1, pinfo), kInvalidArgument);

    EXPECT_EQ (p->terminate (), kResultOk);
    EXPECT_EQ (p->getBusCount (kAudio, kOutput), 0);
    EXPECT_EQ (p->getBusCount (kEvent, kInput), 0);
}

TEST (SdkLayer, OneObjectAnswersForEveryRole)
{
    IPtr<Probe> p = owned (new Probe ());
    FUnknown* unknown = static_cast<IAudioProcessor*> (p.get ());
    const TUID* iids[] = {&IComponent::iid.toTUID (),          &IAudioProcessor::iid.toTUID (),
                          &IEditController::iid.toTUID (),     &IEditController2::iid.toTUID (),
                          &IProcessContextRequirements::iid.toTUID (), &IPluginBase::iid.toTUID (),
                          &FUnknown::iid.toTUID ()};
    for (const TUID* iid : iids)
    {
        void* obj = nullptr;
        ASSERT_EQ (unknown->queryInterface (*iid, &obj), kResultOk);
        ASSERT_NE (obj, nullptr);
        static_cast<FUnknown*> (obj)->release ();
    }
    void* obj = reinterpret_cast<void*> (1);
    EXPECT_NE (unknown->queryInterface (IPluginFactory::iid.toTUID (), &obj), kResultOk);
    EXPECT_EQ (unknown->queryInterface (IComponent::iid.toTUID (), nullptr), kInvalidArgument);
    EXPECT_EQ (p->getProcessContextRequirements (), 0u);
    EXPECT_EQ (p->getTailSamples (), kNoTail);
    TUID cid;
    EXPECT_EQ (p->getControllerClassId (cid), kNotImplemented);
}

TEST (SdkLayer, FactoryCreatesOnlyRegisteredClassesWithTheAskedInterface)
{
    PFactoryInfo fi ("Vendor", "url", "mail", PFactoryInfo::kUnicode);
    auto* factory = new CPluginFactory (fi);
    PClassInfo2 info (probeId, PClassInfo::kManyInstances, kVstAudioEffectClass, "Probe", 0, "Fx", "", "1.0",
                      "VST 3.7.13");
    EXPECT_FALSE (factory->registerClass (info, nullptr));
    EXPECT_TRUE (factory->registerClass (info, &Probe::create));
    EXPECT_TRUE (factory->isClassRegistered (FUID::fromTUID (probeId)));
    EXPECT_FALSE (factory->isClassRegistered (FUID::fromTUID (otherId)));
    EXPECT_EQ (factory->countClasses (), 1);

    PClassInfo basic {};
    EXPECT_EQ (factory->getClassInfo (0, &basic), kResultOk);
    EXPECT_STREQ (basic.name, "Probe");
    EXPECT_EQ (factory->getClassInfo (1, &basic), kInvalidArgument);
    EXPECT_EQ (factory->getClassInfo (0, nullptr), kInvalidArgument);

    void* obj = nullptr;
    EXPECT_EQ (factory->createInstance (probeId, IComponent::iid, &obj), kResultOk);
    ASSERT_NE (obj, nullptr);
    EXPECT_EQ (instances, 1);
    static_cast<IComponent*> (obj)->release ();
    EXPECT_EQ (instances, 0);

    // Wrong class or an interface the class lacks: nothing created, nothing leaked.
    obj = reinterpret_cast<void*> (1);
    EXPECT_EQ (factory->createInstance (otherId, IComponent::iid, &obj), kNoInterface);
    EXPECT_EQ (obj, nullptr);
    EXPECT_EQ (factory->createInstance (probeId, IPluginFactory::iid, &obj), kNoInterface);
    EXPECT_EQ (obj, nullptr);
    EXPECT_EQ (instances, 0);
    EXPECT_EQ (factory->createInstance (nullptr, IComponent::iid, &obj), kInvalidArgument);
    EXPECT_EQ (factory->createInstance (probeId, IComponent::iid, nullptr), kInvalidArgument);

    for (int i = 1; i < CPluginFactory::kMaxClasses; ++i)
        EXPECT_TRUE (factory->registerClass (info, &Probe::create));
    EXPECT_FALSE (factory->registerClass (info, &Probe::create));

    gPluginFactory = factory;
    EXPECT_EQ (factory->release (), 0u);
    EXPECT_EQ (gPluginFactory, nullptr);
}
