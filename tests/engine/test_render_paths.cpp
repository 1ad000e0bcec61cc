// The block renderer (span by span, modes decided once; wide unison four copies at a time) must
// give exactly the samples of the per-sample ticks, which the delayed-note path uses, for every
// mode combination and in both oscillator modes.
#include <gtest/gtest.h>

#include <vector>

#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

struct Config
{
    int unison;
    float wave1, wave2;
    int distortion;
    int curve;
    float sync;
    float subLevel;
    float sync2 = -1.0f; // below 0: as oscillator 1
};

VorlixGenVoice configured(const Config& c, float rate, bool precise)
{
    VorlixGenPolyphonic engine;
    engine.setSampleRate(rate);
    VorlixGenVoice v = engine.patchVoice;
    v.setPrecise(precise);
    v.setParam(kUseUnison, float(c.unison));
    v.setParam(kOsc1WaveType, c.wave1);
    v.setParam(kOsc2WaveType, c.wave2);
    v.setParam(kDistortionType, float(c.distortion) * 0.5f);
    v.setParam(kFilt2Cutoff, 0.7f);
    v.setParam(kGain, 0.4f);
    v.setParam(kUseExp, float(c.curve));
    v.setParam(kUseOscSync1, c.sync);
    v.setParam(kUseOscSync2, c.sync2 < 0.0f ? c.sync : c.sync2);
    v.setParam(kOsc1Detune, 0.3f);
    v.setParam(kOsc2Detune, 0.7f);
    v.setParam(kSubOscLevel, c.subLevel);
    v.setParam(kUnisonDetune, 0.6f);
    v.setParam(kRes, 0.9f);
    v.setParam(kFilt1Cutoff, 0.6f);
    v.setParam(kFilterEnvAmount, 0.5f);
    v.setParam(kSlideTime, 0.4f);
    v.setParam(kPan, -0.3f);
    v.setParam(kOsc1Invert, 1.0f);
    v.setParam(kOsc1Attack, 0.002f);
    v.setParam(kOsc1Decay, 0.01f);
    v.setParam(kOsc1Release, 0.01f);
    v.trigger(true, false, 4.5f, 0.8f, 0);
    return v;
}

} // namespace

TEST(RenderPaths, BlockRendererMatchesTheTicksSampleForSample)
{
    std::vector<Config> configs;
    for (int unison : {0, 1, 2, 3})
        for (int distortion : {0, 1, 2})
            configs.push_back({unison, 0.5f, 1.5f, distortion, unison % 3, 1.0f, 0.5f});
    for (float w1 = 0.5f; w1 < 7.0f; w1 += 1.0f)
        for (float w2 : {0.5f, 2.5f, 3.5f, 5.5f, 6.5f})
            configs.push_back({2, w1, w2, 1, 1, w1 < 3.0f ? 1.0f : 0.0f, 0.3f});
    configs.push_back({1, 0.5f, 0.5f, 0, 7, 0.0f, 0.0f}); // unknown curve keeps its values
    // Square pairs, one oscillator synced, a silent sub: the lanes' own jump handling.
    for (float w1 : {0.5f, 1.5f})
        for (float sync2 : {0.0f, 1.0f})
            configs.push_back({2, w1, 1.5f, 0, 0, 1.0f - sync2, 0.0f, sync2});

    for (const Config& c : configs)
        for (float rate : {48000.0f, 1234.5678f})
            for (bool precise : {false, true})
            {
                VorlixGenVoice ticks = configured(c, rate, precise);
                VorlixGenVoice blocks = ticks;
                const float coefScale = 16.0f / rate;
                // Spans as the engine cuts them: a head of 5, then groups of 16, with a glide and a
                // release in the middle.
                std::vector<float> l1(2000, 0.0f), r1(2000, 0.0f), l2(2000, 0.0f), r2(2000, 0.0f);
                int k = 0;
                auto tickSpan = [&](int n) {
                    for (int i = 0; i < n; ++i, ++k)
                    {
                        l1[k] += ticks.stereoLeftTick();
                        r1[k] += ticks.stereoRightTick();
                    }
                };
                tickSpan(5);
                blocks.renderAdd(l2.data(), r2.data(), 1, 5);
                for (int g = 0; g < 120; ++g)
                {
                    if (g == 40)
                    {
                        ticks.trigger(false, false, 5.0f, 0.8f, 0);
                        blocks.trigger(false, false, 5.0f, 0.8f, 0);
                    }
                    if (g == 80)
                    {
                        ticks.release();
                        blocks.release();
                    }
                    ticks.controlTick(coefScale);
                    blocks.controlTick(coefScale);
                    const int start = k;
                    tickSpan(16);
                    blocks.renderAdd(l2.data() + start, r2.data() + start, 1, 16);
                }
                for (int i = 0; i < k; ++i)
                {
                    ASSERT_EQ(l1[i], l2[i]) << (precise ? "precise" : "classic") << " unison " << c.unison
                                            << " waves " << c.wave1 << "/" << c.wave2
                                            << " distortion " << c.distortion << " at " << rate << " Hz, sample " << i;
                    ASSERT_EQ(r1[i], r2[i]) << (precise ? "precise" : "classic") << " unison " << c.unison
                                            << " waves " << c.wave1 << "/" << c.wave2
                                            << " distortion " << c.distortion << " at " << rate << " Hz, sample " << i;
                }
            }
}

// The engine renders sounding voices two at a time; the result must be the sum, voice after
// voice in order, of each voice rendered by its ticks.
TEST(RenderPaths, EngineBlocksMatchVoiceByVoiceTicks)
{
    for (int unison : {0, 1, 2})
        for (float distortion : {0.0f, 0.5f, 1.0f})
        {
            VorlixGenPolyphonic engine;
            engine.setSampleRate(44100.0f);
            engine.setParam(kUseUnison, float(unison));
            engine.setParam(kDistortionType, distortion);
            engine.setParam(kFilt2Cutoff, 0.8f);
            engine.setParam(kRes, 0.7f);
            engine.setParam(kOsc1Attack, 0.001f);
            engine.setParam(kOsc1Decay, 0.003f);
            engine.setParam(kFilt1Decay, 0.002f);
            engine.setParam(kFilt1Attack, 0.001f);
            engine.setParam(kUseOscSync1, 1.0f);
            engine.setParam(kOsc1Detune, 0.2f);
            engine.setParam(kSubOscLevel, 0.4f);
            engine.setParam(kOsc1Release, 0.001f); // releases end inside blocks
            VorlixGenPolyphonic reference = engine;
            long phase = 0;
            const long sizes[] = {37, 64, 16, 5, 128, 1, 200};
            std::vector<float> l1, r1, l2, r2;
            for (int block = 0; block < 35; ++block)
            {
                if (block % 4 == 0 && block < 28)
                    for (VorlixGenPolyphonic* e : {&engine, &reference})
                        e->voiceBank.Add(true, float(40 + block) * 0.083333336f, 0.9f, 0, 0);
                if (block == 20 || block == 26)
                    for (VorlixGenPolyphonic* e : {&engine, &reference})
                        e->voiceBank.Release(float(24 + block) * 0.083333336f, 0);
                if (block == 10 || block == 23)
                    for (VorlixGenPolyphonic* e : {&engine, &reference})
                        e->setPitchBend(block == 10 ? 2.0f : -0.5f); // the wheel moves at control rate
                const long frames = sizes[block % 7];
                l1.assign(frames, 0.0f);
                r1.assign(frames, 0.0f);
                l2.assign(frames, 0.0f);
                r2.assign(frames, 0.0f);
                engine.processReplacingT<float>(l1.data(), r1.data(), 1, frames, true);
                const float coefScale = 16.0f * reference.invSampleRate;
                for (int i = 0; i < reference.voiceBank.polyphony; ++i)
                {
                    VorlixGenVoice& v = reference.voiceBank.voiceAt(i);
                    // Control updates on every 16th sample of the stream; a voice stops on the
                    // sample its release ends.
                    for (long k = 0; k < frames && !v.isIdle(); ++k)
                    {
                        if ((phase + k) % 16 == 0)
                            v.controlTick(coefScale);
                        l2[k] += v.stereoLeftTick();
                        r2[k] += v.stereoRightTick();
                    }
                }
                for (long k = 0; k < frames; ++k)
                {
                    ASSERT_EQ(l1[k], l2[k]) << "unison " << unison << " distortion " << distortion << " block " << block
                                            << " frame " << k;
                    ASSERT_EQ(r1[k], r2[k]) << "unison " << unison << " distortion " << distortion << " block " << block
                                            << " frame " << k;
                }
                phase += frames;
            }
            EXPECT_GE(engine.activeVoiceCount(), 4);
        }
}
