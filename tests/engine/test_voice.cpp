// One voice: envelopes, curves of the knobs, filter and distortion, unison sides, pan latching,
// velocity options, key tracking and glide.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "VorlixGenPolyphonic.h"
#include "VorlixGenVoice.h"
#include "VorlixParamID.h"

namespace {

// A voice carrying the engine's initial patch, at the given rate.
VorlixGenVoice patchVoice(float rate)
{
    VorlixGenPolyphonic engine;
    engine.setSampleRate(rate);
    return engine.patchVoice;
}

VorlixGenEnvelope envelopeAt(float rate)
{
    VorlixGenEnvelope env;
    env.setSampleRate(rate);
    env.outputScale = 1.0f;
    env.sustainScale = 1.0f;
    return env;
}

} // namespace

TEST(Envelope, AttackDecaySustainReleaseAreLinearRamps)
{
    VorlixGenEnvelope env = envelopeAt(1000.0f);
    env.setAttack(0.01f); // 10 samples
    env.setDecay(0.004f); // 4 samples
    env.sustain = 0.5f;
    env.setRelease(0.005f); // 5 samples
    env.state = kEnvAttack;
    for (int n = 0; n < 10; ++n)
        EXPECT_NEAR(env.step(), n / 10.0f, 1e-6f) << n;
    EXPECT_EQ(env.step(), 1.0f);
    EXPECT_EQ(env.state, kEnvDecay);
    for (int n = 0; n < 4; ++n)
        EXPECT_NEAR(env.step(), 1.0f - 0.5f * n / 4.0f, 1e-6f) << n;
    EXPECT_EQ(env.step(), 0.5f);
    EXPECT_EQ(env.state, kEnvSustain);
    EXPECT_EQ(env.step(), 0.5f);
    env.enterRelease();
    for (int n = 0; n < 5; ++n)
        EXPECT_NEAR(env.step(), 0.5f * (1.0f - n / 5.0f), 1e-6f) << n;
    EXPECT_EQ(env.step(), 0.0f);
    EXPECT_EQ(env.state, kEnvIdle);
}

TEST(Envelope, ZeroAttackJumpsStraightToFullLevel)
{
    VorlixGenEnvelope env = envelopeAt(48000.0f);
    env.setAttack(0.0f);
    env.state = kEnvAttack;
    EXPECT_EQ(env.step(), 1.0f);
    EXPECT_EQ(env.state, kEnvDecay);
    env.outputScale = 0.25f;
    env.state = kEnvAttack;
    EXPECT_EQ(env.step(), 0.25f);
}

// Mended: a stage shorter than a denormal number of samples had an infinite reciprocal, and
// 0 * inf turned the envelope (and the voice) into NaN.
TEST(Envelope, StagesShorterThanASampleStayFinite)
{
    for (float seconds : {1e-44f, 1e-40f, 1e-30f, 1e-6f, 0.0f, -1.0f})
    {
        VorlixGenEnvelope env = envelopeAt(384000.0f);
        env.setAttack(seconds);
        env.setDecay(seconds);
        env.setRelease(seconds);
        env.state = kEnvAttack;
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(std::isfinite(env.step())) << seconds;
        env.enterRelease();
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(std::isfinite(env.step())) << seconds;
        EXPECT_EQ(env.state, kEnvIdle) << seconds;
    }
}

TEST(Envelope, LegatoGlideTakes441SamplesAtAnyRate)
{
    for (float rate : {1000.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 384000.0f})
    {
        VorlixGenEnvelope env = envelopeAt(rate);
        env.sustain = 0.8f;
        env.startLevel = 0.2f;
        env.state = kEnvLegato;
        float last = 0.0f;
        for (int n = 0; n < 441; ++n)
        {
            last = env.step();
            ASSERT_EQ(env.state, kEnvLegato) << rate << " " << n;
        }
        EXPECT_NEAR(last, 0.2f + 0.6f * 440.0f / 441.0f, 1e-5f) << rate;
        EXPECT_EQ(env.step(), 0.8f) << rate;
        EXPECT_EQ(env.state, kEnvSustain) << rate;
        EXPECT_NEAR(env.glideTime, 441.0f / rate, 1e-9f);
    }
}

TEST(Voice, RetriggerFromReleaseStartsAtTheReleaseLevel)
{
    VorlixGenVoice v = patchVoice(48000.0f);
    v.setParam(kOsc1Attack, 0.01f);
    v.setParam(kOsc1Sustain, 0.8f);
    v.setParam(kOsc1Release, 0.1f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    for (int i = 0; i < 48000 / 2; ++i)
    {
        v.stereoLeftTick();
        v.stereoRightTick();
    }
    v.release();
    for (int i = 0; i < 2400; ++i) // half the release
    {
        v.stereoLeftTick();
        v.stereoRightTick();
    }
    const float level = v.ampEnv.output;
    EXPECT_NEAR(level, 0.4f, 0.01f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    EXPECT_EQ(v.ampEnv.state, kEnvAttack);
    v.stereoLeftTick();
    EXPECT_FLOAT_EQ(v.ampEnv.output, level);
    v.stereoLeftTick();
    EXPECT_GT(v.ampEnv.output, level);
}

TEST(Voice, ExponentialCurveKeepsItsFloorButTheVoiceStillEnds)
{
    VorlixGenVoice v = patchVoice(48000.0f);
    v.setParam(kUseExp, 2.0f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    v.ampEnv.stopNow();
    v.stereoLeftTick();
    EXPECT_NEAR(v.amplitude, 4.3080712e-5f, 1e-10f);
    EXPECT_TRUE(v.isIdle());
}

TEST(Voice, KnobCurves)
{
    struct Row { const char* name; int index; float value; float (*read)(const VorlixGenVoice&); float expected; float tolerance; };
    auto level = [](const VorlixGenVoice& v) { return v.outputLevel; };
    auto drive = [](const VorlixGenVoice& v) { return v.drive; };
    auto slide = [](const VorlixGenVoice& v) { return v.slideCoef; };
    auto res = [](const VorlixGenVoice& v) { return v.resonanceL; };
    auto cutoff = [](const VorlixGenVoice& v) { return v.cutoffBase; };
    auto tracking = [](const VorlixGenVoice& v) { return v.keyTrackDivisor; };
    auto dist = [](const VorlixGenVoice& v) { return float(v.distortionType); };
    const Row rows[] = {
        {"level 0", kOutputLevel, 0.0f, level, 4.3e-5f, 1e-6f},
        {"level 0.1", kOutputLevel, 0.1f, level, 0.1952f, 1e-3f},
        {"level 0.5", kOutputLevel, 0.5f, level, 0.9022f, 1e-3f},
        {"level init", kOutputLevel, 0.6090134382247925f, level, 1.1183f, 1e-3f},
        {"level 1", kOutputLevel, 1.0f, level, 2.1435f, 1e-3f},
        {"drive 0", kGain, 0.0f, drive, 1.0f, 1e-5f},
        {"drive 0.5", kGain, 0.5f, drive, 6.72f, 0.01f},
        {"drive 1", kGain, 1.0f, drive, 1385.5f, 0.5f},
        {"slide 0", kSlideTime, 0.0f, slide, 1.0f, 0.0f},
        {"slide 0.5", kSlideTime, 0.5f, slide, 0.0157f, 1e-4f},
        {"slide 1", kSlideTime, 1.0f, slide, 1.7e-6f, 1e-7f},
        {"resonance 0", kRes, 0.0f, res, 0.001f, 1e-6f},
        {"resonance 1", kRes, 1.0f, res, 0.125f, 1e-4f},
        {"cutoff 1", kFilt1Cutoff, 1.0f, cutoff, 0.99999917f, 1e-7f},
        {"tracking 1", kKeyboardTracking, 1.0f, tracking, 12.0f, 0.0f},
        {"tracking 2", kKeyboardTracking, 2.0f, tracking, 8.0f, 0.0f},
        {"tracking 0", kKeyboardTracking, 0.0f, tracking, 0.0f, 0.0f},
        {"distortion 0.5", kDistortionType, 0.5f, dist, 1.0f, 0.0f},
        {"distortion 1", kDistortionType, 1.0f, dist, 2.0f, 0.0f},
        {"distortion 0.24", kDistortionType, 0.24f, dist, 0.0f, 0.0f},
    };
    for (const Row& r : rows)
    {
        VorlixGenVoice v = patchVoice(48000.0f);
        v.setParam(r.index, r.value);
        EXPECT_NEAR(r.read(v), r.expected, r.tolerance) << r.name;
    }
}

TEST(Voice, DistortionStaysBoundedAndOdd)
{
    for (int type : {0, 1, 2, 7, -3})
        for (float drive : {1.0f, 6.72f, 1385.5f})
            for (float y = -1.0f; y <= 1.0f; y += 0.01f)
            {
                const float d = vorlixDistort(y, drive, type);
                ASSERT_LE(std::fabs(d), 0.27f) << type << " " << drive << " " << y;
                ASSERT_FLOAT_EQ(vorlixDistort(-y, drive, type), -d);
            }
    EXPECT_NEAR(vorlixDistort(1.0f, 1385.5f, 1), 10.0f / 9.0f * 0.2f, 1e-4f);
    EXPECT_NEAR(vorlixDistort(1.0f, 1385.5f, 2), 0.25f, 1e-6f);
    EXPECT_EQ(vorlixDistort(7.0f, 1.0f, 5), vorlixDistort(7.0f, 1.0f, 0));
}

TEST(Voice, FilterPassesLowAndStaysBoundedAtFullResonance)
{
    // DC passes, an alternating signal at the Nyquist frequency is strongly attenuated.
    auto response = [](float f, float res, bool alternate) {
        VorlixGenFilter filter;
        float energy = 0.0f;
        for (int i = 0; i < 4000; ++i)
        {
            const float x = alternate ? ((i & 1) ? 0.3f : -0.3f) : 0.3f;
            const float y = filter.process(x, f, res);
            if (i >= 2000)
                energy += y * y;
        }
        return std::sqrt(energy / 2000.0f);
    };
    EXPECT_GT(response(0.05f, 0.001f, false), 0.1f);
    EXPECT_LT(response(0.05f, 0.001f, true), 0.01f);
    EXPECT_GT(response(0.9f, 0.001f, true), response(0.05f, 0.001f, true) * 10.0f);

    VorlixGenFilter filter;
    uint32_t seed = 1;
    for (int i = 0; i < 20000; ++i)
    {
        seed = seed * 196314165u + 907633515u;
        const float x = float(int32_t(seed)) * 4.656613e-9f; // +-10
        const float y = filter.process(x, (i / 1000) % 2 ? 0.999f : 0.001f, 0.999f);
        ASSERT_TRUE(std::isfinite(y));
        ASSERT_LE(std::fabs(y), 1.0f);
    }
    // A NaN input cannot poison the state.
    filter.process(std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.5f);
    EXPECT_TRUE(std::isfinite(filter.process(0.0f, 0.5f, 0.5f)));
}

TEST(Voice, UnisonModesPlaceTheCopies)
{
    for (int mode : {0, 1, 2})
    {
        VorlixGenVoice v = patchVoice(48000.0f);
        v.setParam(kUseUnison, float(mode));
        v.setParam(kUnisonDetune, 0.8f);
        v.setParam(kPan, 0.5f); // left gain 0.5, right 1
        v.trigger(true, false, 5.0f, 1.0f, 0);
        float diff = 0.0f, energy = 0.0f;
        for (int i = 0; i < 4800; ++i)
        {
            if (i % 16 == 0)
                v.controlTick(16.0f / 48000.0f);
            const float l = v.stereoLeftTick();
            const float r = v.stereoRightTick();
            if (mode == 0)
            {
                ASSERT_EQ(l, r) << i; // mono, left pan gain on both sides
            }
            diff += std::fabs(l - r);
            energy += std::fabs(l);
        }
        EXPECT_GT(energy, 10.0f) << mode;
        if (mode != 0)
        {
            EXPECT_GT(diff, 10.0f) << mode;
        }
    }
    // Any other mode feeds the filters nothing.
    VorlixGenVoice v = patchVoice(48000.0f);
    v.setParam(kUseUnison, 3.0f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_LT(std::fabs(v.stereoLeftTick()), 1e-6f);
        ASSERT_LT(std::fabs(v.stereoRightTick()), 1e-6f);
    }
}

TEST(Voice, PanIsLatchedAtTrigger)
{
    VorlixGenVoice v = patchVoice(48000.0f);
    v.setParam(kUseUnison, 1.0f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    v.setParam(kPan, 1.0f);
    EXPECT_EQ(v.panLeft, 0.0f);
    EXPECT_EQ(v.panRight, 1.0f);
    float left = 0.0f;
    for (int i = 0; i < 2000; ++i)
    {
        left += std::fabs(v.stereoLeftTick());
        v.stereoRightTick();
    }
    EXPECT_GT(left, 1.0f); // the sounding note keeps its pan
    v.trigger(true, false, 5.0f, 1.0f, 0);
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_EQ(v.stereoLeftTick(), 0.0f);
        v.stereoRightTick();
    }
    struct Row { float pan; float left; float right; };
    for (const Row& r : {Row{-1.0f, 1.0f, 0.0f}, Row{-0.25f, 1.0f, 0.75f}, Row{0.0f, 1.0f, 1.0f}, Row{2.0f, 0.0f, 1.0f},
                         Row{-3.0f, 1.0f, 0.0f}})
    {
        v.setParam(kPan, r.pan);
        EXPECT_EQ(v.panLeft, r.left) << r.pan;
        EXPECT_EQ(v.panRight, r.right) << r.pan;
    }
}

TEST(Voice, VelocityOptionsScaleTheFilterEnvelope)
{
    struct Row { float option; float outputScale; float sustainScale; };
    for (const Row& r : {Row{0.0f, 1.0f, 1.0f}, Row{1.0f, 1.0f, 0.5f}, Row{2.0f, 0.5f, 1.0f}})
    {
        VorlixGenVoice v = patchVoice(48000.0f);
        v.setParam(kUseFilterEnvVelocity, r.option);
        v.trigger(true, false, 5.0f, 0.5f, 0);
        EXPECT_EQ(v.filterEnv.outputScale, r.outputScale) << r.option;
        EXPECT_EQ(v.filterEnv.sustainScale, r.sustainScale) << r.option;
        EXPECT_EQ(v.ampEnv.outputScale, 1.0f);
        EXPECT_EQ(v.ampEnv.sustainScale, 1.0f);
    }
}

TEST(Voice, KeyTrackingOpensTheFilterWithPitch)
{
    VorlixGenVoice v = patchVoice(48000.0f);
    v.setParam(kKeyboardTracking, 1.0f);
    v.trigger(true, false, 6.0f, 1.0f, 0);
    EXPECT_NEAR(v.keyTrackOffset, 0.02228f, 1e-5f);
    v.setParam(kKeyboardTracking, 0.0f);
    v.trigger(true, false, 6.0f, 1.0f, 0);
    EXPECT_EQ(v.keyTrackOffset, 0.0f);
    v.setParam(kFilt1Cutoff, 0.0f);
    v.setParam(kFilterEnvAmount, 0.0f);
    v.stereoLeftTick();
    EXPECT_NEAR(v.cutoffCoef, 0.001f, 1e-6f); // clamped at the bottom
}

TEST(Voice, GlideFollowsTheSlideCoefficientScaledToTheRate)
{
    struct Row { float rate; float slide; float firstStep; };
    for (const Row& r : {Row{44100.0f, 0.0f, 1.0f}, Row{48000.0f, 0.0f, 0.91875f}, Row{44100.0f, 0.5f, 0.0157f}})
    {
        VorlixGenVoice v = patchVoice(r.rate);
        v.setParam(kSlideTime, r.slide);
        v.trigger(true, false, 4.0f, 1.0f, 0);
        v.trigger(false, false, 5.0f, 1.0f, 0); // no restart: glide from 4 to 5
        EXPECT_EQ(v.currentPitch, 4.0f);
        v.controlTick(16.0f / r.rate);
        EXPECT_EQ(v.osc[0].pitch, 4.0f); // the update uses the pitch before it moves
        EXPECT_NEAR(v.currentPitch - 4.0f, r.firstStep, r.firstStep * 2e-3f) << r.rate << " " << r.slide;
    }
}

TEST(Voice, ClearGivesANeutralSilentVoice)
{
    VorlixGenVoice v = patchVoice(48000.0f);
    v.trigger(true, false, 5.0f, 1.0f, 0);
    v.clear();
    EXPECT_TRUE(v.isIdle());
    EXPECT_TRUE(v.released);
    EXPECT_FALSE(v.started);
    EXPECT_EQ(v.ampEnv.outputScale, 0.0f);
    EXPECT_EQ(v.unisonMode, kUnisonStereo);
    EXPECT_TRUE(v.osc[0].noUnison);
    EXPECT_FALSE(v.osc[1].noUnison);
    EXPECT_TRUE(v.osc[2].noUnison);
    EXPECT_EQ(v.osc[3].invert1, -1.0f);
    for (int i = 0; i < 100; ++i)
        EXPECT_LT(std::fabs(v.stereoLeftTick()), 1e-12f); // only the anti-denormal offset
}
