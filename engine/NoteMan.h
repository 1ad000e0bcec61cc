// Memory of up to 20 held notes, oldest first, so that a monophonic voice can return to a key
// that is still held when the newer one is released.
#pragma once

#include <array>
#include <cstdint>

class NoteMan
{
public:
    static constexpr int kMaxNotes = 20;

    struct Entry
    {
        bool sounding = false; // false: its voice was taken by stealing
        float cv = 0.0f;
        float velocity = 0.0f;
        int32_t length = 0;
    };

    int32_t count = 0;
    std::array<Entry, kMaxNotes> entries{};

    bool full() const { return count >= kMaxNotes; }

    // Index of the first entry with exactly this cv, or -1.
    int find(float cv) const
    {
        for (int i = 0; i < count; ++i)
            if (entries[i].cv == cv)
                return i;
        return -1;
    }

    void removeAt(int i)
    {
        if (i < 0 || i >= count)
            return;
        for (int j = i; j + 1 < count; ++j)
            entries[j] = entries[j + 1];
        --count;
    }

    bool remove(float cv)
    {
        const int i = find(cv);
        removeAt(i);
        return i >= 0;
    }

    void append(const Entry& e)
    {
        if (count < kMaxNotes)
            entries[count++] = e;
    }

    // Index of the newest entry whose voice was stolen, or -1.
    int newestNotSounding() const
    {
        for (int i = count - 1; i >= 0; --i)
            if (!entries[i].sounding)
                return i;
        return -1;
    }

    void clear() { count = 0; }
};
