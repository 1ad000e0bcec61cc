// The one reader of user-named files, shared by the editor's preset import and vorlix-render.
#include "editor/UserFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Vorlix {
namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

UserFileError readUserFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer; O_NOCTTY: a
    // terminal device never becomes the host's controlling terminal.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return UserFileError::kCannotOpen;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return UserFileError::kReadFailed;
    if (!S_ISREG(info.st_mode)) return UserFileError::kNotRegular;
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) return UserFileError::kTooLarge;

    out.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        // One byte past the limit is enough to know that the file grew beyond it.
        const std::size_t left = maxBytes - out.size();
        const ssize_t n = ::read(file.fd, buffer, left < sizeof buffer ? left + 1 : sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            if (out.size() > maxBytes) {
                out.clear();
                return UserFileError::kTooLarge;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return UserFileError::kNone;
        out.clear();
        return UserFileError::kReadFailed;
    }
}

} // namespace Vorlix
