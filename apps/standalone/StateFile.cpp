#include "apps/standalone/StateFile.h"

#include "VorlixPrograms.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Vorlix::App {

namespace {

bool plausible (const VorlixInstrumentState::Record& r)
{
    if (r.count != kNumParams || r.program < 0 || r.program >= num_programs)
        return false;
    for (float v : r.values)
        if (!(v >= 0.0f && v <= 1.0f)) // NaN fails too
            return false;
    return true;
}

bool exists (const std::string& path)
{
    struct stat st {};
    return ::lstat (path.c_str (), &st) == 0;
}

std::string moveAside (const std::string& path)
{
    std::string target = path + ".bad";
    for (int n = 1; exists (target) && n < 1000; ++n)
        target = path + ".bad." + std::to_string (n);
    if (exists (target) || std::rename (path.c_str (), target.c_str ()) != 0)
        return {};
    return target;
}

bool makeDirectories (const std::string& dir)
{
    for (size_t at = 1; at <= dir.size (); ++at)
        if (at == dir.size () || dir[at] == '/')
        {
            const std::string part = dir.substr (0, at);
            if (::mkdir (part.c_str (), 0755) != 0 && errno != EEXIST)
                return false;
        }
    return true;
}

} // namespace

std::string stateDirectory ()
{
    const char* xdg = std::getenv ("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return std::string (xdg) + "/vorlix307";
    const char* home = std::getenv ("HOME");
    if (home && home[0] == '/')
        return std::string (home) + "/.config/vorlix307";
    return {};
}

StateLoad loadStateFile (const std::string& path)
{
    StateLoad result;
    std::ifstream in (path, std::ios::binary);
    if (!in)
        return result;
    // Read one byte more than a record holds: a longer file is damaged too.
    std::vector<char> bytes (VorlixInstrumentState::kMaxBytes + 1);
    in.read (bytes.data (), static_cast<std::streamsize> (bytes.size ()));
    const size_t size = static_cast<size_t> (in.gcount ());
    const bool readFailed = in.bad ();
    in.close ();
    // A whole record: the classic 148 bytes, or those and the precise oscillators' marker.
    if (!readFailed && (size == VorlixInstrumentState::kBytes || size == VorlixInstrumentState::kMaxBytes))
    {
        auto record = VorlixInstrumentState::fromBytes (reinterpret_cast<const std::uint8_t*> (bytes.data ()), size);
        if (record && plausible (*record))
        {
            result.record = record;
            return result;
        }
    }
    const std::string aside = moveAside (path);
    result.warning = "the saved sound in " + path + " is damaged; starting with the default sound ("
                     + (aside.empty () ? std::string ("the file could not be moved aside and is left as it is")
                                       : "the file is kept as " + aside)
                     + ")";
    return result;
}

bool saveStateFile (const std::string& path, const VorlixInstrumentState::Record& record, std::string& error)
{
    const size_t slash = path.rfind ('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories (path.substr (0, slash)))
    {
        error = "cannot create " + path.substr (0, slash) + ": " + std::strerror (errno);
        return false;
    }
    const auto bytes = VorlixInstrumentState::toBytes (record);
    const std::string temp = path + ".tmp";
    const int fd = ::open (temp.c_str (), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        error = "cannot write " + temp + ": " + std::strerror (errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size)
    {
        const ssize_t n = ::write (fd, bytes.data.data () + done, bytes.size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t> (n);
    }
    // The data must be on disk before the rename makes it the file, or a power cut could leave
    // an empty state behind the new name.
    const bool ok = done == bytes.size && ::fsync (fd) == 0;
    const int savedErrno = errno;
    ::close (fd);
    if (!ok || std::rename (temp.c_str (), path.c_str ()) != 0)
    {
        error = "cannot write " + path + ": " + std::strerror (ok ? errno : savedErrno);
        ::unlink (temp.c_str ());
        return false;
    }
    if (slash != std::string::npos)
        if (const int dir = ::open (slash == 0 ? "/" : path.substr (0, slash).c_str (), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            dir >= 0)
        {
            ::fsync (dir);
            ::close (dir);
        }
    return true;
}

} // namespace Vorlix::App
