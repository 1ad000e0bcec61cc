// The file dialogs behind the editor's preset export and import buttons on Linux: zenity, or
// kdialog when zenity is missing, run synchronously on the user-interface thread; the exported
// document is written atomically and an imported file is read whole (a regular file of preset
// size only).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vorlix {

enum class DialogTool { kNone, kZenity, kKdialog };

// The first of zenity and kdialog found on PATH (zenity preferred), or kNone.
DialogTool findDialogTool();

// Command lines of the three dialogs; argv[0] is the tool's name.
std::vector<std::string> openDialogCommand(DialogTool tool);
std::vector<std::string> saveDialogCommand(DialogTool tool, const std::string& suggestedName);
std::vector<std::string> errorDialogCommand(DialogTool tool, const std::string& message);

// Runs argv (searched on PATH, no shell) with stdin from /dev/null and waits for it. Returns the
// exit status (-1 when it could not be started or did not exit normally) and its standard output.
int runDialogCommand(const std::vector<std::string>& argv, std::string& output);

// The chosen file, or nothing when the user cancelled or the tool failed.
std::optional<std::string> askOpenPresetPath(DialogTool tool);
// Pre-filled with suggestedName + ".json" (nothing when the name is empty); the tool confirms
// overwriting an existing file.
std::optional<std::string> askSavePresetPath(DialogTool tool, const std::string& suggestedName);
void showPresetError(DialogTool tool, const std::string& message);

// Writes through a temporary file in the same folder, then renames it over `path`, so a crash or
// a full disk never leaves a half-written preset. False when anything failed (the target is untouched).
bool writeFileAtomically(const std::string& path, std::string_view data);

// The complete export and import gestures. `exportJson` yields the document; `importJson` applies
// one and says whether it was a valid preset. Without any dialog tool both only say so on stderr.
void runPresetExportDialog(const std::string& suggestedName, const std::function<std::string()>& exportJson);
void runPresetImportDialog(const std::function<bool(const std::string&)>& importJson);

} // namespace Vorlix
