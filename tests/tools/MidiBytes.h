// Builds Standard MIDI File bytes in tests: header, tracks and events spelled out byte by byte.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace MidiBytes {

using Bytes = std::vector<std::uint8_t>;

inline void append (Bytes& b, std::initializer_list<int> values)
{
    for (int v : values)
        b.push_back (static_cast<std::uint8_t> (v));
}

inline void appendBe (Bytes& b, std::uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        b.push_back (static_cast<std::uint8_t> (v >> (8 * i)));
}

inline Bytes vlq (std::uint32_t v)
{
    Bytes out {static_cast<std::uint8_t> (v & 0x7F)};
    while (v >>= 7)
        out.insert (out.begin (), static_cast<std::uint8_t> (0x80 | (v & 0x7F)));
    return out;
}

inline Bytes header (int format, int tracks, int division)
{
    Bytes b {'M', 'T', 'h', 'd'};
    appendBe (b, 6, 4);
    appendBe (b, static_cast<std::uint32_t> (format), 2);
    appendBe (b, static_cast<std::uint32_t> (tracks), 2);
    appendBe (b, static_cast<std::uint32_t> (division), 2);
    return b;
}

inline Bytes chunk (const char* id, const Bytes& body)
{
    Bytes b (id, id + 4);
    appendBe (b, static_cast<std::uint32_t> (body.size ()), 4);
    b.insert (b.end (), body.begin (), body.end ());
    return b;
}

/** One track event: delta time then the raw message bytes (running status is up to the caller). */
inline void event (Bytes& track, std::uint32_t delta, std::initializer_list<int> message)
{
    const Bytes d = vlq (delta);
    track.insert (track.end (), d.begin (), d.end ());
    append (track, message);
}

inline void tempo (Bytes& track, std::uint32_t delta, std::uint32_t microsPerQuarter)
{
    event (track, delta, {0xFF, 0x51, 0x03});
    appendBe (track, microsPerQuarter, 3);
}

inline void endOfTrack (Bytes& track, std::uint32_t delta = 0) { event (track, delta, {0xFF, 0x2F, 0x00}); }

inline Bytes file (int format, int division, const std::vector<Bytes>& tracks)
{
    Bytes b = header (format, static_cast<int> (tracks.size ()), division);
    for (const Bytes& t : tracks)
    {
        const Bytes c = chunk ("MTrk", t);
        b.insert (b.end (), c.begin (), c.end ());
    }
    return b;
}

inline void write (const std::string& path, const Bytes& bytes)
{
    std::ofstream (path, std::ios::binary).write (reinterpret_cast<const char*> (bytes.data ()),
                                                  static_cast<std::streamsize> (bytes.size ()));
}

} // namespace MidiBytes
