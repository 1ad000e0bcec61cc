// Reading a file that a user named (a preset to import, a MIDI file to render): only a regular
// file, and never more than a limit, so that a FIFO, a device or a huge file cannot hang or
// exhaust the process that reads it (a host's user-interface thread, for the editor).
#pragma once

#include <cstddef>
#include <string>

namespace Vorlix {

// A preset document or .vstpreset file is a few kilobytes; nothing legitimate comes near this.
inline constexpr std::size_t kMaxPresetFileBytes = std::size_t(1) << 20;

enum class UserFileError { kNone, kCannotOpen, kNotRegular, kTooLarge, kReadFailed };

// The whole of `path` into `out` when it is a regular file of at most `maxBytes` bytes. Opening
// never waits (a FIFO without a writer), the file's type is checked on the open descriptor (no
// swap between a check and the open), and reading stops after maxBytes + 1 bytes (a file that
// grows meanwhile). `out` is empty unless the result is kNone. Any thread.
UserFileError readUserFile(const std::string& path, std::size_t maxBytes, std::string& out);

// Why a read failed, in a few words ("not a regular file"); empty for kNone.
const char* userFileErrorText(UserFileError error);

#ifdef _WIN32
/** Paths travel as UTF-8 and become wide strings only at the Windows calls. */
std::wstring wideFromUtf8(const std::string& utf8);
#endif

} // namespace Vorlix
