#include "tools/render/WavWriter.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace Vorlix::Render {

namespace {
constexpr int kChannels = 2;
constexpr std::uint32_t kBytesPerFrame = kChannels * sizeof (float);
// RIFF header, "fmt " chunk of a WAVE_FORMAT_IEEE_FLOAT stream (18 bytes: cbSize is present),
// "fact" chunk (required for formats other than PCM), "data" chunk header.
constexpr std::uint32_t kHeaderBytes = 12 + 8 + 18 + 8 + 4 + 8;
// RIFF sizes are 32-bit: the data must leave room for the rest of the header.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - kHeaderBytes;

void put16 (unsigned char*& p, std::uint32_t v)
{
    *p++ = static_cast<unsigned char> (v);
    *p++ = static_cast<unsigned char> (v >> 8);
}
void put32 (unsigned char*& p, std::uint32_t v)
{
    put16 (p, v & 0xFFFFu);
    put16 (p, v >> 16);
}
void putTag (unsigned char*& p, const char (&tag)[5])
{
    std::memcpy (p, tag, 4);
    p += 4;
}

std::string reason ()
{
    return errno != 0 ? std::strerror (errno) : "input/output error";
}
} // namespace

WavWriter::~WavWriter ()
{
    std::string ignored;
    close (ignored);
}

bool WavWriter::writeHeader (std::uint32_t dataBytes)
{
    unsigned char header[kHeaderBytes];
    unsigned char* p = header;
    putTag (p, "RIFF");
    put32 (p, kHeaderBytes - 8 + dataBytes);
    putTag (p, "WAVE");
    putTag (p, "fmt ");
    put32 (p, 18);
    put16 (p, 3); // WAVE_FORMAT_IEEE_FLOAT
    put16 (p, kChannels);
    put32 (p, static_cast<std::uint32_t> (rate));
    put32 (p, static_cast<std::uint32_t> (rate) * kBytesPerFrame);
    put16 (p, kBytesPerFrame);
    put16 (p, 32);
    put16 (p, 0);
    putTag (p, "fact");
    put32 (p, 4);
    put32 (p, dataBytes / kBytesPerFrame);
    putTag (p, "data");
    put32 (p, dataBytes);
    file.seekp (0);
    file.write (reinterpret_cast<const char*> (header), sizeof header);
    return static_cast<bool> (file);
}

bool WavWriter::open (const std::string& path, int sampleRate, std::string& error)
{
    errno = 0;
    file.open (std::filesystem::path (path), std::ios::binary | std::ios::trunc);
    rate = sampleRate;
    if (!file.is_open () || !writeHeader (0))
    {
        error = "cannot write " + path + ": " + reason ();
        file.close ();
        return false;
    }
    filePath = path;
    return true;
}

bool WavWriter::write (const float* left, const float* right, int frames, std::string& error)
{
    if (frames <= 0)
        return true;
    if (static_cast<std::uint64_t> (framesWritten + frames) * kBytesPerFrame > kMaxDataBytes)
    {
        error = "cannot write " + filePath + ": too long for a WAV file";
        return false;
    }
    bytes.resize (static_cast<size_t> (frames) * kBytesPerFrame);
    unsigned char* p = bytes.data ();
    for (int i = 0; i < frames; ++i)
    {
        for (const float s : {left[i], right[i]})
        {
            if (!std::isfinite (s))
                ++nonFinite;
            else
                peakValue = std::fmax (peakValue, std::fabs (s));
            put32 (p, std::bit_cast<std::uint32_t> (s));
        }
    }
    errno = 0;
    file.write (reinterpret_cast<const char*> (bytes.data ()), static_cast<std::streamsize> (bytes.size ()));
    if (!file)
    {
        error = "cannot write " + filePath + ": " + reason ();
        return false;
    }
    framesWritten += frames;
    return true;
}

bool WavWriter::close (std::string& error)
{
    if (!file.is_open ())
        return true;
    errno = 0;
    const bool ok = static_cast<bool> (file) && writeHeader (static_cast<std::uint32_t> (framesWritten * kBytesPerFrame));
    file.close ();
    if (!ok || file.fail ())
    {
        error = "cannot finish " + filePath + ": " + reason ();
        return false;
    }
    return true;
}

} // namespace Vorlix::Render
