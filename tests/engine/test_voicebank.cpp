// Which voice plays a note: reuse, free voices, stealing, the held-note memory of monophonic
// playing, all-notes-off, and notes scheduled ahead.
#include <gtest/gtest.h>

#include <vector>

#include "VorlixGenPolyphonic.h"
#include "VorlixParamID.h"

namespace {

float cv(int note) { return float(note) * 0.083333336f; }

class Bank : public ::testing::Test
{
protected:
    VorlixGenPolyphonic engine;
    VoiceBank<VorlixGenVoice>& bank = engine.voiceBank;

    void SetUp() override { engine.setSampleRate(48000.0f); }

    void render(long frames)
    {
        std::vector<float> l(frames), r(frames);
        engine.processReplacingT<float>(l.data(), r.data(), 1, frames, true);
    }
    // Bank index of the assigned voice playing `note`, or -1.
    int voiceOf(int note)
    {
        const int p = bank.findAssigned(cv(note));
        return p < 0 ? -1 : bank.order[p];
    }
    VorlixGenVoice& voice(int index) { return bank.voices[index]; }
    bool heldSounding(int note)
    {
        const int i = bank.noteMan.find(cv(note));
        return i >= 0 && bank.noteMan.entries[i].sounding;
    }
};

constexpr int A = 57, B = 59, C = 60, D = 62;

bool heldSoundingIn(VoiceBank<VorlixGenVoice>& b, float pitch)
{
    const int i = b.noteMan.find(pitch);
    return i >= 0 && b.noteMan.entries[i].sounding;
}

} // namespace

TEST_F(Bank, FullPolyphonyStealsTheOldestVoice)
{
    engine.setParam(kMaxPoly, 3.0f);
    for (int n : {A, B, C})
        bank.Add(true, cv(n), 1.0f, 0, 0);
    const int voiceA = voiceOf(A);
    render(480);
    bank.Add(true, cv(D), 1.0f, 0, 0);
    EXPECT_EQ(voiceOf(D), voiceA);
    EXPECT_EQ(voiceOf(A), -1);
    EXPECT_EQ(bank.activeCount, 3);
    EXPECT_EQ(bank.order[2], voiceA); // moved to the end of the assigned region: newest
    ASSERT_GE(bank.noteMan.find(cv(A)), 0);
    EXPECT_FALSE(heldSounding(A)); // still held, but without a voice
    // Releasing D does not bring A back: only a single-voice setting returns to held keys.
    bank.Release(cv(D), 0);
    EXPECT_EQ(voice(voiceA).ampEnv.state, kEnvRelease);
    EXPECT_EQ(voice(voiceA).targetPitch, cv(D));
}

TEST_F(Bank, StealingPrefersAReleasedVoice)
{
    engine.setParam(kMaxPoly, 3.0f);
    for (int n : {A, B, C})
        bank.Add(true, cv(n), 1.0f, 0, 0);
    const int voiceA = voiceOf(A);
    const int voiceB = voiceOf(B);
    render(480);
    bank.Release(cv(B), 0);
    EXPECT_TRUE(voice(voiceB).released);
    bank.Add(true, cv(D), 1.0f, 0, 0);
    EXPECT_EQ(voiceOf(D), voiceB);
    EXPECT_EQ(voiceOf(A), voiceA);
    EXPECT_EQ(voice(voiceB).ampEnv.state, kEnvAttack);
}

TEST_F(Bank, IdleVoicesBecomeTheNextFreeOnes)
{
    engine.setParam(kMaxPoly, 3.0f);
    bank.Add(true, cv(A), 1.0f, 0, 0);
    bank.Add(true, cv(B), 1.0f, 0, 0);
    const int voiceA = voiceOf(A);
    bank.Release(cv(A), 0);
    render(48000); // release of 0.2 s is over
    EXPECT_TRUE(voice(voiceA).isIdle());
    bank.Add(true, cv(C), 1.0f, 0, 0);
    EXPECT_EQ(voiceOf(C), voiceA);
    EXPECT_EQ(bank.activeCount, 2);
    EXPECT_EQ(engine.activeVoiceCount(), 2);
}

TEST_F(Bank, SamePitchRetriggersItsVoice)
{
    engine.setParam(kMaxPoly, 3.0f);
    bank.Add(true, cv(A), 1.0f, 0, 0);
    render(4800);
    const int voiceA = voiceOf(A);
    bank.Add(true, cv(A), 0.5f, 0, 0);
    EXPECT_EQ(bank.activeCount, 1);
    EXPECT_EQ(voiceOf(A), voiceA);
    EXPECT_EQ(voice(voiceA).ampEnv.state, kEnvAttack);
    EXPECT_EQ(voice(voiceA).velocity, 0.5f);
    EXPECT_EQ(bank.noteMan.count, 1);
}

TEST_F(Bank, MonophonicPlayingReturnsToHeldKeys)
{
    struct Row { bool legato; int restarted; };
    for (const Row& r : {Row{true, kEnvSustain}, Row{false, kEnvAttack}})
    {
        VorlixGenPolyphonic e;
        e.setSampleRate(48000.0f);
        e.setParam(kMaxPoly, 1.0f);
        e.setParam(kUseLegato, r.legato ? 1.0f : 0.0f);
        e.setParam(kSlideTime, 0.5f);
        auto& b = e.voiceBank;
        VorlixGenVoice& v = b.voices[b.order[0]];
        std::vector<float> l(24000), rr(24000);
        auto step = [&] { e.processReplacingT<float>(l.data(), rr.data(), 1, 24000, true); };

        b.Add(true, cv(A), 1.0f, 0, 0);
        step(); // into sustain
        ASSERT_EQ(v.ampEnv.state, kEnvSustain);
        b.Add(true, cv(B), 1.0f, 0, 0);
        EXPECT_EQ(v.targetPitch, cv(B)) << r.legato;
        EXPECT_EQ(v.ampEnv.state, r.restarted) << r.legato;
        EXPECT_EQ(v.currentPitch, r.legato ? cv(A) : cv(B)) << "legato glides, otherwise jumps";
        EXPECT_FALSE(heldSoundingIn(b, cv(A)));
        step();
        b.Release(cv(B), 0);
        EXPECT_EQ(v.targetPitch, cv(A)) << r.legato;
        EXPECT_EQ(v.ampEnv.state, r.restarted) << r.legato;
        EXPECT_FALSE(v.released);
        step();
        b.Release(cv(A), 0);
        EXPECT_EQ(v.ampEnv.state, kEnvRelease) << r.legato;
        EXPECT_TRUE(v.released);
        EXPECT_EQ(b.noteMan.count, 0);
    }
}

TEST_F(Bank, ReleaseAllStopsAtOnceOrLetsVoicesRelease)
{
    for (bool stop : {true, false})
    {
        VorlixGenPolyphonic e;
        e.setSampleRate(48000.0f);
        for (int n : {A, B, C, D})
            e.voiceBank.Add(true, cv(n), 1.0f, 0, 0);
        std::vector<float> l(256), r(256);
        e.processReplacingT<float>(l.data(), r.data(), 1, 256, true);
        e.voiceBank.ReleaseAll(stop);
        EXPECT_EQ(e.voiceBank.activeCount, 0);
        EXPECT_EQ(e.voiceBank.noteMan.count, 0);
        e.processReplacingT<float>(l.data(), r.data(), 1, 256, true);
        if (stop)
        {
            EXPECT_EQ(e.activeVoiceCount(), 0);
            for (float x : l)
                ASSERT_EQ(x, 0.0f); // silent from the first sample
        }
        else
        {
            EXPECT_EQ(e.activeVoiceCount(), 4);
            EXPECT_NE(l[255], 0.0f);
        }
    }
}

TEST_F(Bank, NoteMemoryFreezesWhenFull)
{
    for (int n = 0; n < 25; ++n)
        bank.Add(true, cv(40 + n), 1.0f, 0, 0);
    EXPECT_EQ(bank.noteMan.count, NoteMan::kMaxNotes);
    bank.Release(cv(40), 0);
    EXPECT_EQ(bank.noteMan.count, NoteMan::kMaxNotes);
    EXPECT_GE(bank.noteMan.find(cv(40)), 0);
    // The newest notes still got voices; an unknown pitch releases nothing.
    EXPECT_GE(voiceOf(64), 0);
    bank.Release(cv(100), 0);
    EXPECT_EQ(engine.activeVoiceCount(), 10);
    bank.ReleaseAll(false);
    EXPECT_EQ(bank.noteMan.count, 0);
}

TEST_F(Bank, ScheduledNotesFireWhenDue)
{
    // A delay of d fires before frame d - 1 (the countdown runs before each sample).
    bank.Add(true, cv(A), 1.0f, 10, 7);
    EXPECT_EQ(bank.activeCount, 0);
    ASSERT_EQ(bank.delayedNotes.size(), 1u);
    std::vector<float> l(64), r(64);
    engine.processReplacingT<float>(l.data(), r.data(), 1, 64, true);
    EXPECT_TRUE(bank.delayedNotes.empty());
    EXPECT_EQ(bank.lastStamp, 7u);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(l[k], 0.0f) << k;
    EXPECT_NE(l[9], 0.0f);
    EXPECT_EQ(engine.activeVoiceCount(), 1);

    bank.Release(cv(A), 3);
    bank.UpdateDelayed(1);
    EXPECT_FALSE(voice(bank.order[0]).released);
    bank.UpdateDelayed(2);
    EXPECT_TRUE(voice(bank.order[0]).released);
    EXPECT_TRUE(bank.delayedNotes.empty());

    // Mended: notes falling due inside a longer countdown start at once (they used to be queued
    // again with a negative delay and never sounded). Entries without a positive delay stay.
    bank.Add(true, cv(B), 1.0f, 2, 0);
    bank.Add(true, cv(C), 1.0f, 1, 0);
    bank.Add(true, cv(D), 1.0f, -4, 0);
    bank.UpdateDelayed(5);
    EXPECT_GE(voiceOf(B), 0);
    EXPECT_GE(voiceOf(C), 0);
    ASSERT_EQ(bank.delayedNotes.size(), 1u);
    EXPECT_EQ(bank.delayedNotes[0].delay, -4);
}

TEST_F(Bank, ChordsInPolyphonicModeNeverStartLegato)
{
    engine.setParam(kMaxPoly, 4.0f);
    engine.setParam(kUseLegato, 1.0f);
    bank.Add(true, cv(A), 1.0f, 0, 0);
    bank.Add(true, cv(B), 1.0f, 0, 0);
    EXPECT_TRUE(bank.chordFlag);
    EXPECT_EQ(voice(voiceOf(B)).ampEnv.state, kEnvAttack);
    // Stamps far apart break the chord: a held note makes the next start a legato glide.
    bank.Add(true, cv(C), 1.0f, 0, 100);
    EXPECT_FALSE(bank.chordFlag);
    EXPECT_EQ(voice(voiceOf(C)).ampEnv.state, kEnvLegato);
}

TEST_F(Bank, SustainPedalHoldsKeysThatAreUpUntilItLifts)
{
    auto sounding = [&](int note) {
        const int v = voiceOf(note);
        return v >= 0 && !voice(v).released && !voice(v).isIdle();
    };
    bank.setSustain(true);
    for (int n : {A, B})
    {
        bank.Add(true, cv(n), 1.0f, 0, 0);
        render(480);
        bank.Release(cv(n), 0);
    }
    EXPECT_TRUE(sounding(A));
    EXPECT_TRUE(sounding(B));
    EXPECT_EQ(bank.noteMan.count, 0); // the keys are up
    render(4800);
    // Re-striking a held key restarts its voice.
    const int voiceA = voiceOf(A);
    bank.Add(true, cv(A), 0.5f, 0, 0);
    EXPECT_EQ(voiceOf(A), voiceA);
    EXPECT_EQ(voice(voiceA).ampEnv.state, kEnvAttack);
    EXPECT_EQ(bank.activeCount, 2);
    bank.Release(cv(A), 0);
    bank.Add(true, cv(C), 1.0f, 0, 0); // still down when the pedal lifts
    bank.setSustain(false);
    EXPECT_EQ(voice(voiceA).ampEnv.state, kEnvRelease);
    EXPECT_EQ(voice(voiceOf(B)).ampEnv.state, kEnvRelease);
    EXPECT_TRUE(sounding(C));
    bank.setSustain(false); // lifting it twice changes nothing
    EXPECT_TRUE(sounding(C));
    bank.Release(cv(C), 0);
    EXPECT_FALSE(sounding(C));
    // All-notes-off releases what the pedal holds as well.
    bank.setSustain(true);
    bank.Add(true, cv(D), 1.0f, 0, 0);
    bank.Release(cv(D), 0);
    bank.ReleaseAll(false);
    EXPECT_EQ(voice(voiceOf(D) >= 0 ? voiceOf(D) : bank.order[0]).ampEnv.state, kEnvRelease);
    render(48000);
    EXPECT_EQ(engine.activeVoiceCount(), 0);
}

TEST_F(Bank, StealingTakesKeysThatAreUpBeforePressedOnes)
{
    engine.setParam(kMaxPoly, 3.0f);
    for (int n : {A, B, C})
        bank.Add(true, cv(n), 1.0f, 0, 0);
    const int voiceB = voiceOf(B), voiceC = voiceOf(C);
    bank.Release(cv(C), 0); // released, fading
    bank.setSustain(true);
    bank.Release(cv(B), 0); // held by the pedal
    render(480);
    // Released first, then pedal-held; A, still pressed and the oldest, keeps sounding.
    bank.Add(true, cv(D), 1.0f, 0, 0);
    EXPECT_EQ(voiceOf(D), voiceC);
    bank.Add(true, cv(D + 2), 1.0f, 0, 0);
    EXPECT_EQ(voiceOf(D + 2), voiceB);
    EXPECT_GE(voiceOf(A), 0);
}

TEST_F(Bank, MonophonicPlayingWithThePedal)
{
    struct Row { bool legato; int resumed; };
    for (const Row& r : {Row{true, kEnvSustain}, Row{false, kEnvAttack}})
    {
        VorlixGenPolyphonic e;
        e.setSampleRate(48000.0f);
        e.setParam(kMaxPoly, 1.0f);
        e.setParam(kUseLegato, r.legato ? 1.0f : 0.0f);
        auto& b = e.voiceBank;
        VorlixGenVoice& v = b.voices[b.order[0]];
        std::vector<float> l(24000), rr(24000);
        auto step = [&] { e.processReplacingT<float>(l.data(), rr.data(), 1, 24000, true); };

        // A held, B played and let go under the pedal: B sounds on until the pedal lifts, then
        // the voice returns to A, which is still down.
        b.setSustain(true);
        b.Add(true, cv(A), 1.0f, 0, 0);
        step();
        b.Add(true, cv(B), 1.0f, 0, 0);
        step();
        b.Release(cv(B), 0);
        EXPECT_EQ(v.targetPitch, cv(B)) << r.legato;
        EXPECT_FALSE(v.released);
        b.setSustain(false);
        EXPECT_EQ(v.targetPitch, cv(A)) << r.legato;
        EXPECT_EQ(v.ampEnv.state, r.resumed) << r.legato;
        // Both keys let go under the pedal: the last note sounds until the pedal lifts.
        step();
        b.setSustain(true);
        b.Add(true, cv(C), 1.0f, 0, 0);
        b.Release(cv(A), 0);
        b.Release(cv(C), 0);
        step();
        EXPECT_EQ(v.targetPitch, cv(C)) << r.legato;
        EXPECT_EQ(v.ampEnv.state, kEnvSustain) << r.legato;
        b.setSustain(false);
        EXPECT_EQ(v.ampEnv.state, kEnvRelease) << r.legato;
        EXPECT_EQ(b.noteMan.count, 0);
    }
}
