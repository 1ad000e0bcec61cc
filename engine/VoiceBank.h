// The 32 voices and the rules that decide which voice plays a note: reuse of a voice already on
// the same pitch, free voices while the polyphony allows, stealing (released voices first), the
// held-note memory for monophonic playing, and note events scheduled ahead.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "CheckedArray.h"
#include "DelayedNote.h"
#include "NoteMan.h"

template <typename Voice>
class VoiceBank
{
public:
    static constexpr int kNumVoices = 32;

    int32_t polyphony = 1;   // leading order entries that may be used
    int32_t activeCount = 0; // leading order entries assigned to notes, oldest first
    int32_t order[kNumVoices];
    CheckedArray<Voice, kNumVoices> voices;
    bool legato = false;
    NoteMan noteMan;
    uint32_t lastStamp = 0;
    bool chordFlag = false;
    std::vector<DelayedNote> delayedNotes;
    bool sustainPedal = false; // down: note-offs leave their voices sounding

    VoiceBank()
    {
        resetOrder();
        // Room for the events of a busy block, so that scheduling rarely allocates.
        delayedNotes.reserve(64);
    }

    void resetOrder()
    {
        for (int i = 0; i < kNumVoices; ++i)
            order[i] = i;
    }

    Voice& voiceAt(int position) { return voices[static_cast<std::size_t>(order[position])]; }

    // Note-on. cv in octaves (MIDI pitch / 12), velocity 0..1.
    void Add(bool flag, float cv, float velocity, int delay, unsigned stamp)
    {
        compact();
        if (delay != 0)
        {
            delayedNotes.push_back(DelayedNote{cv, velocity, delay, stamp, flag, true});
            return;
        }

        const bool near = lastStamp + 2u >= stamp;
        lastStamp = stamp;
        const bool held = noteMan.count > 0;
        if (polyphony == 1)
            chordFlag = false;
        else if (polyphony >= 2 && !held)
            chordFlag = true;
        else if (polyphony >= 2 && chordFlag)
            chordFlag = near;
        const bool legatoStart = held && polyphony >= 2 && legato && !chordFlag;

        const int assigned = std::min(activeCount, int32_t(kNumVoices));
        const int same = findAssigned(cv);
        if (activeCount < polyphony && activeCount < kNumVoices)
        {
            if (same >= 0)
                voiceAt(same).trigger(!(polyphony == 1 && legato && !chordFlag), legatoStart, cv, velocity, 0);
            else
            {
                Voice& v = voiceAt(activeCount);
                ++activeCount;
                v.trigger(!(held && legato && !chordFlag), legatoStart, cv, velocity, 0);
            }
        }
        else if (same >= 0)
            voiceAt(same).trigger(true, legatoStart, cv, velocity, 0);
        else
        {
            // Steal a voice whose key is up: the first released one (already fading), else the
            // first held only by the pedal, else the oldest assigned one.
            int p = firstAssigned([](const Voice& v) { return v.released; });
            if (p < 0)
                p = firstAssigned([](const Voice& v) { return v.pedalHeld; });
            if (p < 0)
                p = 0;
            Voice& victim = voiceAt(p);
            if (held && !noteMan.full() && noteMan.find(victim.targetPitch) >= 0)
            {
                noteMan.remove(victim.targetPitch);
                noteMan.append({false, victim.targetPitch, victim.velocity, victim.noteLength});
            }
            if (assigned > 0)
                moveToEnd(p, assigned);
            victim.trigger(!(noteMan.count > 0 && legato && !chordFlag), legatoStart, cv, velocity, 0);
        }

        if (noteMan.full())
            return;
        noteMan.remove(cv);
        noteMan.append({true, cv, velocity, 0});
    }

    // Note-off for the note at cv (exact match).
    void Release(float cv, int delay)
    {
        compact();
        if (delay != 0)
        {
            DelayedNote d;
            d.cv = cv;
            d.delay = delay;
            d.isNoteOn = false;
            delayedNotes.push_back(d);
            return;
        }
        if (sustainPedal)
            holdForPedal(cv);
        else
            releaseKey(cv);
    }

    // Sustain pedal (CC 64). Lifting it releases every note whose key is up, as its note-off
    // would have, so a monophonic voice returns to a key that is still held.
    void setSustain(bool down)
    {
        sustainPedal = down;
        if (down)
            return;
        for (int p; (p = firstAssigned([](const Voice& v) { return v.pedalHeld; })) >= 0;)
        {
            Voice& v = voiceAt(p);
            v.pedalHeld = false;
            releaseKey(v.targetPitch);
        }
    }

    // Note-off that the pedal cannot hold.
    void releaseKey(float cv)
    {
        if (!noteMan.full())
            noteMan.remove(cv);

        const int h = noteMan.newestNotSounding();
        const int vp = findAssigned(cv);
        if (h >= 0 && polyphony == 1)
        {
            // Last-note priority: the voice returns to the newest key that is still held.
            if (vp < 0)
                return;
            const NoteMan::Entry held = noteMan.entries[h];
            Voice& v = voiceAt(vp);
            const float vel = v.velocity;
            if (!noteMan.full())
            {
                noteMan.remove(held.cv);
                noteMan.append({true, held.cv, vel, held.length});
            }
            v.trigger(!legato, false, held.cv, vel, held.length);
        }
        else if (vp >= 0)
            voiceAt(vp).release();
    }

    // All notes off; with stop the voices fall silent within the same sample.
    void ReleaseAll(bool stop)
    {
        const int poly = std::clamp(polyphony, int32_t(0), int32_t(kNumVoices));
        if (stop)
        {
            for (int i = 0; i < poly; ++i)
                voiceAt(i).stopNow();
        }
        else
        {
            // Past the pedal: all-notes-off means silence after the release, pedal or not.
            compact();
            for (int j = 0; j < activeCount && j < kNumVoices; ++j)
                releaseKey(voiceAt(j).targetPitch);
            for (int i = std::max(activeCount, int32_t(0)); i < poly; ++i)
                voiceAt(i).stopNow();
        }
        activeCount = 0;
        noteMan.clear();
    }

    // Counts the scheduled notes down by `samples` and fires those that fall due.
    void UpdateDelayed(int samples)
    {
        for (std::size_t i = 0; i < delayedNotes.size();)
        {
            DelayedNote& d = delayedNotes[i];
            if (d.delay > 0)
            {
                const int32_t old = d.delay;
                d.delay = saturate(int64_t(old) - samples);
                if (samples >= old)
                {
                    const DelayedNote due = d;
                    delayedNotes.erase(delayedNotes.begin() + static_cast<std::ptrdiff_t>(i));
                    // A note that fell due inside the counted span starts now: handing on a
                    // negative remainder would queue it again, never to fire.
                    if (due.isNoteOn)
                        Add(due.flag, due.cv, due.velocity, 0, due.stamp);
                    else
                        Release(due.cv, 0);
                    continue;
                }
            }
            ++i;
        }
    }

    // Position of the first assigned voice playing exactly cv, or -1.
    int findAssigned(float cv)
    {
        const int assigned = std::min(activeCount, int32_t(kNumVoices));
        for (int i = 0; i < assigned; ++i)
            if (voiceAt(i).targetPitch == cv)
                return i;
        return -1;
    }

private:
    // Key up while the pedal is down: the key leaves the held-note memory, its voice sounds on.
    void holdForPedal(float cv)
    {
        if (!noteMan.full())
            noteMan.remove(cv);
        const int vp = findAssigned(cv);
        if (vp >= 0)
            voiceAt(vp).pedalHeld = true;
    }

    template <typename Pred>
    int firstAssigned(Pred pred)
    {
        const int assigned = std::min(activeCount, int32_t(kNumVoices));
        for (int i = 0; i < assigned; ++i)
            if (pred(voiceAt(i)))
                return i;
        return -1;
    }

    static int32_t saturate(int64_t v)
    {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    }

    // Moves the entry at position p to position last - 1; the entries after it shift down.
    void moveToEnd(int p, int last)
    {
        const int32_t index = order[p];
        for (int j = p; j + 1 < last; ++j)
            order[j] = order[j + 1];
        order[last - 1] = index;
    }

    // Idle voices leave the assigned region and become the next free voices, keeping their
    // relative order.
    void compact()
    {
        activeCount = std::clamp(activeCount, int32_t(0), int32_t(kNumVoices));
        for (int j = activeCount - 1; j >= 0; --j)
        {
            if (voiceAt(j).isIdle())
            {
                moveToEnd(j, activeCount);
                --activeCount;
            }
        }
    }
};
