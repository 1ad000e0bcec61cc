// process () allocates nothing: every operator new while it runs is counted.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"

#include "AllocationCounting.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;

TEST (Allocation, ProcessAllocatesNothingInEitherSampleSize)
{
    for (bool dbl : {false, true})
    {
        Linked l = makeStarted (48000.0, 512);
        std::vector<float> l32 (1600), r32 (1600);
        std::vector<double> l64 (1600), r64 (1600);
        float* ch32[2] = {l32.data (), r32.data ()};
        double* ch64[2] = {l64.data (), r64.data ()};
        AudioBusBuffers bus {};
        bus.numChannels = 2;
        bus.channelBuffers32 = ch32;
        if (dbl)
            bus.channelBuffers64 = ch64;
        ProcessData data {};
        data.symbolicSampleSize = dbl ? kSample64 : kSample32;
        data.numOutputs = 1;
        data.outputs = &bus;
        auto& events = l.host->events ();
        auto& changes = l.host->parameterChanges ();
        data.inputEvents = &events;
        data.inputParameterChanges = &changes;
        // Automated sync switches (b % 36 reaches 29 and 30) report their detunes here.
        Vorlix::Host::HostParameterChanges reported;
        data.outputParameterChanges = &reported;

        long allocated = 0;
        int reportedBlocks = 0;
        for (int b = 0; b < 300; ++b)
        {
            events.clear ();
            changes.clear ();
            reported.clear ();
            data.numSamples = 1 + (b * 37) % 1500; // past the maximum block too
            // Inputs at offsets inside the block, so it is rendered in pieces; the wheel and the
            // pedal through their mapped parameters.
            const int at = (b * 13) % data.numSamples;
            if (b % 4 == 0)
                events.addNoteOn (at, 36 + b % 48, 0.9f);
            if (b % 4 == 2)
                events.addNoteOff (at, 36 + (b - 2) % 48);
            changes.addChange (static_cast<ParamID> (b % 36), at, (b % 11) / 10.0);
            changes.addChange (0x10000 + kPitchBend, at / 2, (b % 7) / 6.0);
            changes.addChange (0x10000 + kCtrlSustainOnOff, at, (b % 8) < 4 ? 1.0 : 0.0);
            // UI-thread work between blocks is handed over, and must not make process allocate.
            if (b % 50 == 10)
                l.plugin->handleUiControlTag (kPresetListBox, static_cast<float> (b % 61));
            if (b % 50 == 20)
                l.plugin->handleUiControlTag (kUseOscSync2, 1.0f);
            if (b % 50 == 30)
                l.controller ()->setParamNormalized (kUseOscSync1, (b % 100) / 100.0);
            {
                Counting counter;
                l.host->processor ()->process (data);
                allocated += counter.count ();
            }
            reportedBlocks += reported.getParameterCount () > 0 ? 1 : 0;
        }
        EXPECT_EQ (allocated, 0) << (dbl ? "64-bit" : "32-bit");
        EXPECT_GT (reportedBlocks, 0);
    }
}
