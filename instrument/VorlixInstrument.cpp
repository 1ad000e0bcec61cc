// Life cycle, parameters, editor commands and the audio block of the instrument.
#include "VorlixInstrument.h"

#include "VorlixInstrumentImpl.h"

#include <cmath>
#include <thread>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define VORLIX_HAS_MXCSR 1
#endif

using VorlixParameters::toUnit;

namespace {

// Blocks longer than this are rendered in pieces on the 64-bit path; it bounds what a host's
// largest block can make the instrument allocate.
constexpr int kMaxScratchFrames = 1 << 16;
constexpr int kDefaultScratchFrames = 1024;

} // namespace

VorlixInstrument::VorlixInstrument ()
: engine (std::make_unique<VorlixGenPolyphonic> ())
, scratchLeft (kDefaultScratchFrames)
, scratchRight (kDefaultScratchFrames)
{
    VorlixEngineOps::reserveProgramName (*engine);
    for (auto& v : normalizedValues)
        v.store (0.0f, std::memory_order_relaxed);
    for (auto& v : engineValues)
        v.store (0.0f, std::memory_order_relaxed);
    // What the engine's initial patch gave the detunes, for a detune copy before any program load.
    engineValues[kOsc1Detune].store (0.5f, std::memory_order_relaxed);
    engineValues[kOsc2Detune].store (0.5f, std::memory_order_relaxed);
}

VorlixInstrument::~VorlixInstrument () = default;

//--- engine ownership ---------------------------------------------------------------------------

bool VorlixInstrument::tryAcquireEngine ()
{
    return !engineBusy.exchange (true, std::memory_order_acquire);
}

void VorlixInstrument::acquireEngine ()
{
    // Only contended when a host calls set-up functions while a block runs, which every plug-in
    // API forbids; the wait is then at most one block.
    while (!tryAcquireEngine ())
        std::this_thread::yield ();
}

void VorlixInstrument::releaseEngine ()
{
    engineBusy.store (false, std::memory_order_release);
}

void VorlixInstrument::updateVoiceCount ()
{
    voiceCount.store (VorlixEngineOps::activeVoiceCount (*engine), std::memory_order_relaxed);
}

void VorlixInstrument::applyPendingIfInactive ()
{
    if (active.load (std::memory_order_acquire))
        return;
    // If a misbehaving host processes while inactive, that block drains instead.
    if (!tryAcquireEngine ())
        return;
    handoff.drain (*engine);
    updateVoiceCount ();
    releaseEngine ();
}

void VorlixInstrument::refreshEditor ()
{
    if (listener)
        listener->refreshEditor ();
}

//--- set-up -------------------------------------------------------------------------------------

void VorlixInstrument::initialize ()
{
    {
        std::lock_guard<std::mutex> lock (uiMutex);
        acquireEngine ();
        handoff.drain (*engine); // anything left from an earlier life goes before the reset
        engine->clear ();
        engine->setSampleRate (processSampleRate);
        VorlixEngineOps::releaseAll (*engine);
        midi.reset (*engine);
        releaseEngine ();
    }
    {
        // Program 0 exactly as a pick loads it: what the engine plays is what the host is shown
        // and what a saved project stores, so reopening a project never changes its sound.
        UiUnit unit (*this);
        if (num_programs > 0)
            loadProgramWith (unit.out (), 0);
        unit.out ().setPreciseOscillators (precise.load (std::memory_order_relaxed));
        unit.out ().resync ();
    }
    refreshEditor ();
}

void VorlixInstrument::setupProcessing (double rate, int maxBlock)
{
    // Absurdly high rates are capped so that the narrowing stays defined.
    if (std::isfinite (rate) && rate > 1000.0)
        processSampleRate = static_cast<float> (rate < 1.0e7 ? rate : 1.0e7);
    else
        processSampleRate = 48000.0f;

    const int frames = maxBlock > 0 ? (maxBlock < kMaxScratchFrames ? maxBlock : kMaxScratchFrames)
                                    : kDefaultScratchFrames;
    std::lock_guard<std::mutex> lock (uiMutex);
    acquireEngine ();
    handoff.drain (*engine);
    engine->setSampleRate (processSampleRate);
    scratchLeft.assign (static_cast<size_t> (frames), 0.0f);
    scratchRight.assign (static_cast<size_t> (frames), 0.0f);
    releaseEngine ();
}

void VorlixInstrument::setActive (bool state)
{
    if (state)
    {
        // Everything handed over so far lands before the audio thread takes the engine.
        applyPendingIfInactive ();
        active.store (true, std::memory_order_release);
    }
    else
    {
        active.store (false, std::memory_order_release);
        UiUnit unit (*this);
        unit.out ().releaseAll ();
    }
}

//--- parameters ---------------------------------------------------------------------------------

float VorlixInstrument::normalizedParam (int id) const
{
    if (id < 0 || id >= kNumParams)
        return 0.0f;
    return normalizedValues[static_cast<size_t> (id)].load (std::memory_order_relaxed);
}

int VorlixInstrument::activeVoiceCount () const
{
    return voiceCount.load (std::memory_order_relaxed);
}

const char* VorlixInstrument::currentProgramName () const
{
    return VorlixPresetBank::programName (currentProgramIndex ());
}

void VorlixInstrument::applyNormalizedParam (int id, float value, bool notifyHost)
{
    if (id < 0 || id >= kNumParams)
        return;
    const float v = toUnit (value);
    int recentred = -1;
    {
        UiUnit unit (*this);
        recentred = applyValue (unit.out (), id, v, ApplyMode::edit, false);
    }
    if (!notifyHost)
    {
        // The host set the switch and knows of it, but not of the detune that followed; the next
        // block tells it, the way automation of the switch is reported.
        if (recentred >= 0)
            unreportedDetunes.fetch_or (detuneBit (recentred), std::memory_order_relaxed);
        return;
    }
    if (listener)
    {
        listener->editPerformed (id, v);
        // The switch re-centred its detune on our side; the host has to hear of that as well, or
        // its display and automation keep a detune the engine no longer plays.
        if (recentred >= 0)
            listener->editPerformed (recentred, normalizedParam (recentred));
    }
}

void VorlixInstrument::setParamFromHost (int id, double value)
{
    if (id >= 0 && id < kNumParams)
        applyNormalizedParam (id, toUnit (value), false);
    refreshEditor ();
}

//--- editor commands ----------------------------------------------------------------------------

void VorlixInstrument::copyDetune (int fromId, int toId)
{
    float d = 0.0f;
    {
        UiUnit unit (*this);
        d = toUnit (engineValues[static_cast<size_t> (fromId)].load (std::memory_order_relaxed));
        unit.out ().setParam (toId, d);
        normalizedValues[static_cast<size_t> (toId)].store (d, std::memory_order_relaxed);
        if (listener)
            listener->valueChanged (toId, d);
        unit.out ().resync ();
    }
    if (listener)
        listener->editPerformed (toId, d);
}

void VorlixInstrument::selectProgram (float value)
{
    if (num_programs <= 0)
        return;
    // Nearest row, halves away from zero; clamped first so the conversion is always defined.
    float row = std::isnan (value) ? 0.0f : value;
    const float last = static_cast<float> (num_programs - 1);
    row = row < 0.0f ? 0.0f : (row > last ? last : row);
    const int index = static_cast<int> (std::lround (row));
    {
        UiUnit unit (*this);
        unit.out ().releaseAll ();
        loadProgramWith (unit.out (), index);
        unit.out ().resync ();
    }
    // Not an edit: the host re-reads every value, so its display and automation baseline follow.
    if (listener)
        listener->valuesReloaded ();
}

void VorlixInstrument::handleUiControlTag (int tag, float value)
{
    if (tag >= 0 && tag < kNumParams)
        applyNormalizedParam (tag, value, true);
    else if (tag == kSyncNow1)
        copyDetune (kOsc2Detune, kOsc1Detune);
    else if (tag == kSyncNow2)
        copyDetune (kOsc1Detune, kOsc2Detune);
    else if (tag == kPresetListBox)
        selectProgram (value);
    refreshEditor ();
}

void VorlixInstrument::loadProgram (int index)
{
    if (index < 0 || index >= num_programs)
        return;
    UiUnit unit (*this);
    loadProgramWith (unit.out (), index);
}

void VorlixInstrument::setPreciseOscillators (bool on)
{
    if (on == preciseOscillators ())
        return;
    {
        UiUnit unit (*this);
        precise.store (on, std::memory_order_relaxed);
        unit.out ().setPreciseOscillators (on);
    }
    // Not a parameter, so the host learns of the change only as unsaved work.
    if (listener)
        listener->unsavedChange ();
    refreshEditor ();
}

//--- audio thread -------------------------------------------------------------------------------

VorlixInstrument::AudioBlock::AudioBlock (VorlixInstrument& i)
: instrument (i)
{
    owned = instrument.tryAcquireEngine ();
    if (!owned)
        return;
#ifdef VORLIX_HAS_MXCSR
    // Subnormals flush to zero (FTZ and DAZ) for the block; the caller's mode comes back after.
    savedMxcsr = _mm_getcsr ();
    _mm_setcsr (savedMxcsr | 0x8040u);
#endif
    instrument.handoff.drain (*instrument.engine);
    recentred = instrument.unreportedDetunes.exchange (0, std::memory_order_relaxed);
}

VorlixInstrument::AudioBlock::~AudioBlock ()
{
    if (!owned)
        return;
    if (recentred != 0)
        instrument.unreportedDetunes.fetch_or (recentred, std::memory_order_relaxed);
    instrument.updateVoiceCount ();
    instrument.releaseEngine ();
#ifdef VORLIX_HAS_MXCSR
    _mm_setcsr (savedMxcsr);
#endif
}

void VorlixInstrument::AudioBlock::setParam (int id, double value)
{
    if (id < 0 || id >= kNumParams)
        return;
    // A detune the host sets itself after its switch in the same block is the host's own: there
    // is nothing left to report for it.
    DirectWriter writer {instrument};
    const int detuneId = instrument.applyValue (writer, id, toUnit (value), ApplyMode::edit, false);
    if (detuneId >= 0)
        recentred |= detuneBit (detuneId);
    else if (id == kOsc1Detune || id == kOsc2Detune)
        recentred &= ~detuneBit (id);
}

void VorlixInstrument::AudioBlock::noteOn (int pitch, double velocity)
{
    instrument.midi.noteOn (*instrument.engine, pitch, toUnit (velocity));
}

void VorlixInstrument::AudioBlock::noteOff (int pitch)
{
    instrument.midi.noteOff (*instrument.engine, pitch);
}

void VorlixInstrument::AudioBlock::pitchBend (double position)
{
    instrument.midi.pitchBend (*instrument.engine, static_cast<float> (position));
}

void VorlixInstrument::AudioBlock::controlChange (int controller, int value)
{
    instrument.midi.controlChange (*instrument.engine, controller, value);
}

void VorlixInstrument::AudioBlock::midiMessage (const std::uint8_t* bytes, int size)
{
    instrument.midi.message (*instrument.engine, bytes, size);
}

void VorlixInstrument::AudioBlock::setOutput (float* left, float* right, int frames)
{
    outLeft = left;
    outRight = right;
    outLeft64 = outRight64 = nullptr;
    startOutput (frames);
}

void VorlixInstrument::AudioBlock::setOutput (double* left, double* right, int frames)
{
    outLeft64 = left;
    outRight64 = right;
    outLeft = outRight = nullptr;
    startOutput (frames);
}

void VorlixInstrument::AudioBlock::startOutput (int frames)
{
    outFrames = frames > 0 ? frames : 0;
    rendered = 0;
}

void VorlixInstrument::AudioBlock::renderUntil (int offset)
{
    const int end = offset < outFrames ? offset : outFrames;
    if (end <= rendered)
        return;
    // The engine keeps its control step's phase across calls, so rendering in pieces gives the
    // samples of one call.
    if (outLeft && outRight)
        render (outLeft + rendered, outRight + rendered, end - rendered);
    else if (outLeft64 && outRight64)
        render (outLeft64 + rendered, outRight64 + rendered, end - rendered);
    rendered = end;
}

void VorlixInstrument::AudioBlock::render (float* left, float* right, int frames)
{
    if (frames <= 0 || !left || !right)
        return;
    instrument.engine->processReplacingT<float> (left, right, 1, frames, true);
}

void VorlixInstrument::AudioBlock::render (double* left, double* right, int frames)
{
    if (frames <= 0 || !left || !right)
        return;
    std::vector<float>& scratchLeft = instrument.scratchLeft;
    std::vector<float>& scratchRight = instrument.scratchRight;
    const int chunk = static_cast<int> (scratchLeft.size ());
    if (chunk <= 0)
        return;
    for (int done = 0; done < frames;)
    {
        const int n = frames - done < chunk ? frames - done : chunk;
        instrument.engine->processReplacingT<float> (scratchLeft.data (), scratchRight.data (), 1, n, true);
        for (int i = 0; i < n; ++i)
        {
            left[done + i] = scratchLeft[static_cast<size_t> (i)];
            right[done + i] = scratchRight[static_cast<size_t> (i)];
        }
        done += n;
    }
}
