// The one reader of user-named files on Windows: the same rules as on Linux, with the Win32 calls.
#include "editor/UserFile.h"

#include <windows.h>

#include <cstdint>

namespace Vorlix {
namespace {

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

} // namespace

UserFileError readUserFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    // Shared for reading and writing: a file another program has open still reads. The type is
    // checked on the open handle: a pipe or a console never reaches ReadFile, which would wait.
    Handle file{CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return UserFileError::kCannotOpen;
    if (GetFileType(file.h) != FILE_TYPE_DISK) return UserFileError::kNotRegular;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.h, &size)) return UserFileError::kReadFailed;
    if (size.QuadPart < 0 || static_cast<std::uintmax_t>(size.QuadPart) > maxBytes) return UserFileError::kTooLarge;

    out.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    while (true) {
        // One byte past the limit is enough to know that the file grew beyond it.
        const std::size_t left = maxBytes - out.size();
        DWORD n = 0;
        if (!ReadFile(file.h, buffer, static_cast<DWORD>(left < sizeof buffer ? left + 1 : sizeof buffer), &n, nullptr)) {
            out.clear();
            return UserFileError::kReadFailed;
        }
        if (n == 0) return UserFileError::kNone;
        out.append(buffer, n);
        if (out.size() > maxBytes) {
            out.clear();
            return UserFileError::kTooLarge;
        }
    }
}

std::wstring wideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

} // namespace Vorlix
