// Turns MIDI bytes of any shape into whole channel messages: running status, real-time bytes in
// the middle of a message, SysEx of any length and data bytes without a status are all valid
// input. A plain value type: it allocates nothing and keeps its state between calls, so a message
// split over two events (or running status carried across them) still arrives whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Vorlix::App {

struct ChannelMessage
{
    std::uint8_t status = 0; // 0x80..0xEF
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0; // 0 for one-data-byte messages

    int kind () const { return status & 0xF0; }
    int channel () const { return status & 0x0F; }
};

class MidiStreamParser
{
public:
    /** Feeds `size` bytes; `onMessage (ChannelMessage)` runs for every completed channel message. */
    template <class OnMessage>
    void feed (const std::uint8_t* data, std::size_t size, OnMessage&& onMessage)
    {
        for (std::size_t i = 0; i < size; ++i)
        {
            const std::uint8_t b = data[i];
            if (b >= 0xF8)
                continue; // real-time bytes (clock, start, active sensing...) may sit anywhere
            if (b == 0xF0)
            {
                inSysEx = true;
                status = 0;
                continue;
            }
            if (b >= 0xF1)
            {
                // End of SysEx or another system common message: both cancel running status, and
                // a system common's own data bytes are then stray and dropped.
                inSysEx = false;
                status = 0;
                continue;
            }
            if (b >= 0x80)
            {
                inSysEx = false;
                status = b;
                have = 0;
                continue;
            }
            if (inSysEx || status == 0)
                continue; // a data byte that belongs to nothing
            held[have++] = b;
            if (have == dataBytes (status))
            {
                onMessage (ChannelMessage {status, held[0], have == 2 ? held[1] : std::uint8_t {0}});
                have = 0; // running status: the next data bytes reuse the status
            }
        }
    }

    /** Forgets a half-received message, e.g. after the source went away. */
    void reset () { *this = MidiStreamParser {}; }

private:
    static int dataBytes (std::uint8_t s)
    {
        const int kind = s & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }

    std::uint8_t status = 0;
    std::uint8_t held[2] = {};
    int have = 0;
    bool inSysEx = false;
};

} // namespace Vorlix::App
