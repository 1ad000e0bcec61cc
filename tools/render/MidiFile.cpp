#include "tools/render/MidiFile.h"

#include "editor/UserFile.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

namespace Vorlix::Render {

namespace {

// Guards against absurd inputs: a real song file is far smaller than either limit.
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr int kMaxTracks = 4096;

std::string hex (unsigned v)
{
    char buf[8];
    std::snprintf (buf, sizeof buf, "0x%02X", v & 0xFFu);
    return buf;
}

struct Reader
{
    const std::uint8_t* data;
    size_t size;
    size_t pos = 0;

    bool has (size_t n) const { return n <= size - pos; }
    std::uint32_t be (int bytes)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | data[pos++];
        return v;
    }
};

struct TimedItem
{
    std::uint64_t tick;
    enum Kind { noteOn, noteOff, tempo, end } kind;
    int channel = 0;
    int pitch = 0;
    int velocity = 0;
    std::uint32_t microsPerQuarter = 0;
};

// One MTrk chunk body: appends its notes, tempo changes and its end to `items`.
bool parseTrack (const std::uint8_t* data, size_t size, size_t base, std::vector<TimedItem>& items, std::string& error)
{
    Reader r {data, size};
    std::uint64_t tick = 0;
    unsigned running = 0; // 0: no running status in effect
    auto truncated = [&] {
        error = "truncated track event at offset " + std::to_string (base + r.pos);
        return false;
    };
    auto readVlq = [&] (std::uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i)
        {
            if (!r.has (1))
                return truncated ();
            const std::uint8_t b = r.data[r.pos++];
            v = (v << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0)
                return true;
        }
        error = "variable-length number longer than 4 bytes at offset " + std::to_string (base + r.pos);
        return false;
    };

    while (r.pos < r.size)
    {
        std::uint32_t delta = 0;
        if (!readVlq (delta))
            return false;
        tick += delta;
        if (!r.has (1))
            return truncated ();
        const size_t statusPos = r.pos;
        unsigned status = r.data[r.pos];
        if (status & 0x80u)
            ++r.pos;
        else if (running != 0)
            status = running;
        else
        {
            error = "data byte " + hex (status) + " without a status byte at offset " + std::to_string (base + statusPos);
            return false;
        }

        if (status == 0xFF || status == 0xF0 || status == 0xF7)
        {
            running = 0; // meta and system exclusive events cancel running status
            unsigned type = 0;
            if (status == 0xFF)
            {
                if (!r.has (1))
                    return truncated ();
                type = r.data[r.pos++];
            }
            std::uint32_t length = 0;
            if (!readVlq (length))
                return false;
            if (!r.has (length))
                return truncated ();
            const std::uint8_t* payload = r.data + r.pos;
            r.pos += length;
            if (status != 0xFF)
                continue;
            if (type == 0x51 && length >= 3)
            {
                const std::uint32_t us = (std::uint32_t (payload[0]) << 16) | (std::uint32_t (payload[1]) << 8) | payload[2];
                if (us > 0) // a zero tempo would fold all later time into one instant
                    items.push_back ({tick, TimedItem::tempo, 0, 0, 0, us});
            }
            else if (type == 0x2F)
            {
                items.push_back ({tick, TimedItem::end});
                return true; // anything after the end of track is not part of it
            }
            continue;
        }
        if (status >= 0xF0)
        {
            error = "unexpected status byte " + hex (status) + " at offset " + std::to_string (base + statusPos);
            return false;
        }

        running = status;
        const unsigned kind = status & 0xF0u;
        const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (!r.has (static_cast<size_t> (dataBytes)))
            return truncated ();
        const std::uint8_t d1 = r.data[r.pos];
        const std::uint8_t d2 = dataBytes == 2 ? r.data[r.pos + 1] : 0;
        if ((d1 | d2) & 0x80u)
        {
            error = "status byte where a data byte belongs at offset " + std::to_string (base + r.pos);
            return false;
        }
        r.pos += static_cast<size_t> (dataBytes);
        const int channel = static_cast<int> (status & 0x0Fu);
        if (kind == 0x90 && d2 > 0)
            items.push_back ({tick, TimedItem::noteOn, channel, d1, d2});
        else if (kind == 0x80 || kind == 0x90) // note-on with velocity 0 is the usual note-off
            items.push_back ({tick, TimedItem::noteOff, channel, d1, kind == 0x80 ? d2 : 0});
    }
    items.push_back ({tick, TimedItem::end}); // tolerated: a track without its end-of-track event
    return true;
}

} // namespace

bool parseMidiFile (const std::uint8_t* data, size_t size, NoteSequence& out, std::string& error)
{
    out = {};
    Reader r {data, size};
    if (size > kMaxFileBytes)
    {
        error = "file too large for a MIDI file";
        return false;
    }
    if (!r.has (8) || std::string (reinterpret_cast<const char*> (data), 4) != "MThd")
    {
        error = "not a Standard MIDI File (no MThd header)";
        return false;
    }
    r.pos = 4;
    const std::uint32_t headerLength = r.be (4);
    if (headerLength < 6 || !r.has (headerLength))
    {
        error = "truncated MIDI header";
        return false;
    }
    const size_t headerEnd = r.pos + headerLength;
    const unsigned format = r.be (2);
    const unsigned trackCount = r.be (2);
    const unsigned division = r.be (2);
    r.pos = headerEnd;
    if (format > 1)
    {
        error = "MIDI file format " + std::to_string (format) + " is not supported (only 0 and 1)";
        return false;
    }
    if (trackCount == 0 || trackCount > kMaxTracks)
    {
        error = "MIDI file with " + std::to_string (trackCount) + " tracks";
        return false;
    }
    double secondsPerTickFixed = 0.0; // SMPTE division: fixed time per tick, tempo changes ignored
    unsigned ticksPerQuarter = 0;
    if (division & 0x8000u)
    {
        const int fps = -static_cast<int> (static_cast<std::int8_t> (division >> 8));
        const unsigned ticksPerFrame = division & 0xFFu;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0)
        {
            error = "invalid SMPTE time division " + std::to_string (division);
            return false;
        }
        secondsPerTickFixed = 1.0 / ((fps == 29 ? 29.97 : fps) * ticksPerFrame);
    }
    else
    {
        ticksPerQuarter = division;
        if (ticksPerQuarter == 0)
        {
            error = "MIDI time division of 0 ticks per quarter note";
            return false;
        }
    }

    std::vector<TimedItem> items;
    for (unsigned track = 0; track < trackCount;)
    {
        if (!r.has (8))
        {
            error = "truncated file: " + std::to_string (trackCount) + " tracks announced, " + std::to_string (track) + " found";
            return false;
        }
        const std::string id (reinterpret_cast<const char*> (data + r.pos), 4);
        r.pos += 4;
        const std::uint32_t length = r.be (4);
        if (!r.has (length))
        {
            error = "truncated chunk '" + id + "' at offset " + std::to_string (r.pos - 8);
            return false;
        }
        if (id == "MTrk")
        {
            std::vector<TimedItem> trackItems;
            if (!parseTrack (data + r.pos, length, r.pos, trackItems, error))
                return false;
            items.insert (items.end (), trackItems.begin (), trackItems.end ());
            ++track;
        }
        r.pos += length; // unknown chunks are skipped, as the format asks
    }

    // Merge the tracks in time; at equal ticks the earlier track and earlier event come first.
    std::stable_sort (items.begin (), items.end (),
                      [] (const TimedItem& a, const TimedItem& b) { return a.tick < b.tick; });

    std::uint64_t segmentTick = 0;
    double segmentSeconds = 0.0;
    double secondsPerTick = secondsPerTickFixed > 0 ? secondsPerTickFixed : 0.5 / ticksPerQuarter; // 120 bpm
    auto secondsAt = [&] (std::uint64_t tick) {
        return segmentSeconds + static_cast<double> (tick - segmentTick) * secondsPerTick;
    };
    for (const TimedItem& it : items)
    {
        const double t = secondsAt (it.tick);
        out.lengthSeconds = std::max (out.lengthSeconds, t);
        switch (it.kind)
        {
        case TimedItem::tempo:
            if (secondsPerTickFixed == 0.0)
            {
                segmentSeconds = t;
                segmentTick = it.tick;
                secondsPerTick = it.microsPerQuarter * 1e-6 / ticksPerQuarter;
            }
            break;
        case TimedItem::noteOn:
        case TimedItem::noteOff:
            out.events.push_back ({t, it.kind == TimedItem::noteOn, it.channel, it.pitch, it.velocity / 127.f});
            break;
        case TimedItem::end:
            break;
        }
    }
    return true;
}

bool readMidiFile (const std::string& path, NoteSequence& out, std::string& error)
{
    std::string text;
    switch (const UserFileError why = readUserFile (path, kMaxFileBytes, text))
    {
    case UserFileError::kNone:
        break;
    case UserFileError::kTooLarge:
        error = path + ": not a readable MIDI file of reasonable size";
        return false;
    default:
        error = "cannot read MIDI file " + path + " (" + userFileErrorText (why) + ")";
        return false;
    }
    if (!parseMidiFile (reinterpret_cast<const std::uint8_t*> (text.data ()), text.size (), out, error))
    {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace Vorlix::Render
