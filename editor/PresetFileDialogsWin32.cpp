// The preset dialogs on Windows: the system's open and save dialogs (comdlg32) and a message box,
// modal on the user-interface thread; the same atomic writing and whole-file reading as on Linux.
// Paths travel as UTF-8 and become wide strings only at the system calls.
#include "editor/PresetFileDialogs.h"

#include "editor/UserFile.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <iterator>

namespace Vorlix {
namespace {

constexpr wchar_t kFilter[] = L"JSON presets (*.json)\0*.json\0All files (*.*)\0*.*\0";

std::string utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();  // the terminator
    return out;
}

// A name is a file name, never a path: separators and the characters Windows forbids become '_'.
std::wstring suggestedFileName(const std::string& name) {
    if (name.empty()) return {};
    std::wstring file = wideFromUtf8(name);
    for (wchar_t& c : file)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    return file + L".json";
}

std::optional<std::string> askPath(bool save, const std::string& suggestedName) {
    wchar_t file[32768] = {};
    const std::wstring suggested = suggestedFileName(suggestedName);
    if (suggested.size() < std::size(file)) suggested.copy(file, suggested.size());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = static_cast<DWORD>(std::size(file));
    dialog.lpstrDefExt = L"json";
    dialog.lpstrTitle = save ? L"Export preset" : L"Import preset";
    dialog.Flags = OFN_NOCHANGEDIR | OFN_EXPLORER |
                   (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen || file[0] == L'\0') return std::nullopt;  // cancelled, or the dialog failed
    return utf8(file);
}

void showError(const std::string& message) {
    MessageBoxW(GetActiveWindow(), wideFromUtf8(message).c_str(), L"Vorlix307", MB_OK | MB_ICONERROR);
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view data) {
    if (path.empty()) return false;
    const std::wstring target = wideFromUtf8(path);
    const std::wstring temp = target + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64());
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    while (ok && !data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, data.data(), chunk, &written, nullptr) && written > 0;
        if (ok) data.remove_prefix(written);
    }
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

void runPresetExportDialog(const std::string& suggestedName, const std::function<std::string()>& exportJson) {
    const std::optional<std::string> path = askPath(true, suggestedName);
    if (!path || !exportJson) return;
    if (!writeFileAtomically(*path, exportJson())) showError("The preset could not be written to " + *path + ".");
}

void runPresetImportDialog(const std::function<bool(const std::string&)>& importJson) {
    const std::optional<std::string> path = askPath(false, std::string());
    if (!path || !importJson) return;
    std::string text;
    const UserFileError error = readUserFile(*path, kMaxPresetFileBytes, text);
    if (error == UserFileError::kCannotOpen) return;  // gone since it was chosen: nothing changes
    if (error != UserFileError::kNone) {
        showError(*path + " cannot be imported (" + userFileErrorText(error) + ").");
        return;
    }
    if (!importJson(text)) showError(*path + " is not a Vorlix307 preset document.");
}

} // namespace Vorlix
