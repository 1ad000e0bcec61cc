// zenity / kdialog preset dialogs and the file writing and reading behind them.
#include "editor/PresetFileDialogs.h"

#include "editor/UserFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Vorlix {
namespace {

constexpr const char* kZenityFilter = "JSON presets (*.json) | *.json";
constexpr const char* kKdialogFilter = "*.json|JSON presets (*.json)";

bool isExecutableOnPath(const char* name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr || *path == '\0') return false;
    std::string_view rest(path);
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        std::string candidate(dir.empty() ? std::string_view(".") : dir);
        candidate.push_back('/');
        candidate.append(name);
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        if (colon == std::string_view::npos) return false;
        rest.remove_prefix(colon + 1);
    }
}

std::optional<std::string> chosenPath(int status, std::string output) {
    if (status != 0) return std::nullopt;  // 1 = cancelled, anything else = the tool failed
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    if (output.empty()) return std::nullopt;
    return output;
}

void sayNoDialogTool() {
    std::fputs("Vorlix307: neither zenity nor kdialog is installed; preset files cannot be chosen\n", stderr);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

DialogTool findDialogTool() {
    if (isExecutableOnPath("zenity")) return DialogTool::kZenity;
    if (isExecutableOnPath("kdialog")) return DialogTool::kKdialog;
    return DialogTool::kNone;
}

std::vector<std::string> openDialogCommand(DialogTool tool) {
    switch (tool) {
    case DialogTool::kZenity:
        return {"zenity", "--file-selection", "--title=Import preset", std::string("--file-filter=") + kZenityFilter};
    case DialogTool::kKdialog:
        return {"kdialog", "--title", "Import preset", "--getopenfilename", ".", kKdialogFilter};
    case DialogTool::kNone: break;
    }
    return {};
}

std::vector<std::string> saveDialogCommand(DialogTool tool, const std::string& suggestedName) {
    // A name is a file name, never a path: a slash in a program name must not pick a folder.
    std::string fileName = suggestedName;
    for (char& c : fileName)
        if (c == '/') c = '_';
    if (!fileName.empty()) fileName += ".json";
    switch (tool) {
    case DialogTool::kZenity: {
        std::vector<std::string> cmd{"zenity", "--file-selection", "--save", "--confirm-overwrite",
                                     "--title=Export preset", std::string("--file-filter=") + kZenityFilter};
        if (!fileName.empty()) cmd.push_back("--filename=" + fileName);
        return cmd;
    }
    case DialogTool::kKdialog:
        // kdialog's save dialog asks before replacing an existing file on its own.
        return {"kdialog", "--title", "Export preset", "--getsavefilename", fileName.empty() ? "." : fileName,
                kKdialogFilter};
    case DialogTool::kNone: break;
    }
    return {};
}

std::vector<std::string> errorDialogCommand(DialogTool tool, const std::string& message) {
    switch (tool) {
    case DialogTool::kZenity: return {"zenity", "--error", "--title=Vorlix307", "--no-markup", "--text=" + message};
    case DialogTool::kKdialog: return {"kdialog", "--title", "Vorlix307", "--error", message};
    case DialogTool::kNone: break;
    }
    return {};
}

int runDialogCommand(const std::vector<std::string>& argv, std::string& output) {
    output.clear();
    if (argv.empty()) return -1;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return -1;
    }

    char buffer[4096];
    while (true) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    ::close(pipeFds[0]);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<std::string> askOpenPresetPath(DialogTool tool) {
    std::string output;
    const int status = runDialogCommand(openDialogCommand(tool), output);
    return chosenPath(status, std::move(output));
}

std::optional<std::string> askSavePresetPath(DialogTool tool, const std::string& suggestedName) {
    std::string output;
    const int status = runDialogCommand(saveDialogCommand(tool, suggestedName), output);
    return chosenPath(status, std::move(output));
}

void showPresetError(DialogTool tool, const std::string& message) {
    std::string ignored;
    if (runDialogCommand(errorDialogCommand(tool, message), ignored) < 0)
        std::fprintf(stderr, "Vorlix307: %s\n", message.c_str());
}

bool writeFileAtomically(const std::string& path, std::string_view data) {
    if (path.empty()) return false;
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // mkostemp creates the file private to the user; a preset is an ordinary document.
    ::fchmod(fd, 0644);
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

void runPresetExportDialog(const std::string& suggestedName, const std::function<std::string()>& exportJson) {
    const DialogTool tool = findDialogTool();
    if (tool == DialogTool::kNone) {
        sayNoDialogTool();
        return;
    }
    const std::optional<std::string> path = askSavePresetPath(tool, suggestedName);
    if (!path || !exportJson) return;
    if (!writeFileAtomically(*path, exportJson()))
        showPresetError(tool, "The preset could not be written to " + *path + ".");
}

void runPresetImportDialog(const std::function<bool(const std::string&)>& importJson) {
    const DialogTool tool = findDialogTool();
    if (tool == DialogTool::kNone) {
        sayNoDialogTool();
        return;
    }
    const std::optional<std::string> path = askOpenPresetPath(tool);
    if (!path || !importJson) return;
    std::string text;
    const UserFileError error = readUserFile(*path, kMaxPresetFileBytes, text);
    if (error == UserFileError::kCannotOpen) return;  // gone since it was chosen: nothing changes
    if (error != UserFileError::kNone) {
        showPresetError(tool, *path + " cannot be imported (" + userFileErrorText(error) + ").");
        return;
    }
    if (!importJson(text)) showPresetError(tool, *path + " is not a Vorlix307 preset document.");
}

} // namespace Vorlix
