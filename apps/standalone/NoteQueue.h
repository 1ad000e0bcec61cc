// Notes from the user-interface thread (the computer keyboard) to the audio thread: a wait-free
// single-producer single-consumer ring. Neither side ever waits; a full ring refuses the note and
// the producer keeps it to offer again, so no note-off is lost.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace Vorlix::App {

class NoteQueue
{
public:
    struct Note
    {
        std::uint8_t pitch = 0;
        std::uint8_t velocity = 0; // 0: release
    };

    /** Producer thread only. False when full. */
    bool push (Note note)
    {
        const std::uint32_t w = writeAt.load (std::memory_order_relaxed);
        if (w - readAt.load (std::memory_order_acquire) >= kCapacity)
            return false;
        slots[w % kCapacity] = note;
        writeAt.store (w + 1, std::memory_order_release);
        return true;
    }

    /** Consumer thread only: every note pushed so far, in order. */
    template <class OnNote>
    void drain (OnNote&& onNote)
    {
        std::uint32_t r = readAt.load (std::memory_order_relaxed);
        const std::uint32_t w = writeAt.load (std::memory_order_acquire);
        for (; r != w; ++r)
            onNote (slots[r % kCapacity]);
        readAt.store (r, std::memory_order_release);
    }

private:
    static constexpr std::uint32_t kCapacity = 256; // a power of two: the indices wrap cleanly
    std::array<Note, kCapacity> slots {};
    std::atomic<std::uint32_t> writeAt {0};
    std::atomic<std::uint32_t> readAt {0};
};

} // namespace Vorlix::App
