#include "BankWav.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace vorlix_bank {

namespace {

void put32 (std::ofstream& f, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f.put (char ((v >> (8 * i)) & 0xFF));
}
void put16 (std::ofstream& f, uint16_t v)
{
    f.put (char (v & 0xFF));
    f.put (char (v >> 8));
}
uint32_t get32 (const unsigned char* p) { return uint32_t (p[0]) | uint32_t (p[1]) << 8 | uint32_t (p[2]) << 16 | uint32_t (p[3]) << 24; }
uint16_t get16 (const unsigned char* p) { return uint16_t (p[0] | p[1] << 8); }

} // namespace

bool writeWav (const std::string& path, const Render& r)
{
    std::ofstream f (path, std::ios::binary);
    if (! f)
        return false;
    const uint32_t frames = uint32_t (r.left.size ());
    const uint32_t dataBytes = frames * 8;
    f.write ("RIFF", 4);
    put32 (f, 36 + dataBytes);
    f.write ("WAVEfmt ", 8);
    put32 (f, 16);
    put16 (f, 3); // IEEE float
    put16 (f, 2);
    put32 (f, uint32_t (r.sampleRate));
    put32 (f, uint32_t (r.sampleRate) * 8);
    put16 (f, 8);
    put16 (f, 32);
    f.write ("data", 4);
    put32 (f, dataBytes);
    for (uint32_t i = 0; i < frames; ++i)
    {
        f.write (reinterpret_cast<const char*> (&r.left[i]), 4);
        f.write (reinterpret_cast<const char*> (&r.right[i]), 4);
    }
    return bool (f);
}

bool readWav (const std::string& path, Render& r, std::string& error)
{
    std::ifstream f (path, std::ios::binary);
    if (! f)
        return error = "cannot read " + path, false;
    const std::vector<unsigned char> bytes ((std::istreambuf_iterator<char> (f)), std::istreambuf_iterator<char> ());
    if (bytes.size () < 12 || std::memcmp (bytes.data (), "RIFF", 4) != 0 || std::memcmp (bytes.data () + 8, "WAVE", 4) != 0)
        return error = path + " is not a WAV file", false;
    int format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    const unsigned char* data = nullptr;
    size_t dataBytes = 0;
    for (size_t pos = 12; pos + 8 <= bytes.size ();)
    {
        const unsigned char* chunk = bytes.data () + pos;
        const size_t size = get32 (chunk + 4);
        const size_t avail = std::min (size, bytes.size () - pos - 8);
        if (std::memcmp (chunk, "fmt ", 4) == 0 && avail >= 16)
        {
            format = get16 (chunk + 8);
            channels = get16 (chunk + 10);
            rate = get32 (chunk + 12);
            bits = get16 (chunk + 22);
            if (format == 0xFFFE && avail >= 40)
                format = get16 (chunk + 8 + 24); // sub-format GUID starts with the plain format tag
        }
        else if (std::memcmp (chunk, "data", 4) == 0)
        {
            data = chunk + 8;
            dataBytes = avail;
        }
        pos += 8 + size + (size & 1);
    }
    const bool isFloat = format == 3 && bits == 32, isPcm16 = format == 1 && bits == 16;
    if (data == nullptr || (! isFloat && ! isPcm16) || channels < 1 || channels > 2 || rate < 1000 || rate > 1000000)
        return error = path + ": only mono or stereo 32-bit float or 16-bit PCM is read", false;
    const size_t frameBytes = size_t (channels) * size_t (bits / 8);
    const size_t frames = dataBytes / frameBytes;
    r.sampleRate = float (rate);
    r.left.resize (frames);
    r.right.resize (frames);
    for (size_t i = 0; i < frames; ++i)
    {
        float s[2] = {0, 0};
        for (int c = 0; c < channels; ++c)
        {
            const unsigned char* p = data + i * frameBytes + size_t (c) * size_t (bits / 8);
            if (isFloat)
            {
                const uint32_t u = get32 (p);
                std::memcpy (&s[c], &u, 4);
            }
            else
                s[c] = float (int16_t (get16 (p))) / 32768.0f;
        }
        r.left[i] = s[0];
        r.right[i] = channels == 2 ? s[1] : s[0];
    }
    return true;
}

} // namespace vorlix_bank
