// The words for a failed read of a user-named file, the same on every platform.
#include "editor/UserFile.h"

namespace Vorlix {

const char* userFileErrorText(UserFileError error) {
    switch (error) {
        case UserFileError::kNone: return "";
        case UserFileError::kCannotOpen: return "cannot be opened";
        case UserFileError::kNotRegular: return "not a regular file";
        case UserFileError::kTooLarge: return "too large";
        case UserFileError::kReadFailed: return "read failed";
    }
    return "read failed";
}

} // namespace Vorlix
