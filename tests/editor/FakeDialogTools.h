// Stand-in zenity / kdialog scripts for tests: a folder on PATH whose fake tools record their
// arguments and answer with $FAKE_DIALOG_OUTPUT and exit status $FAKE_DIALOG_STATUS.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace Vorlix::test {

namespace fs = std::filesystem;

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder with fake dialog tools; each invocation appends its arguments (one per line, then
// "--") to calls.log, prints $FAKE_DIALOG_OUTPUT and exits with $FAKE_DIALOG_STATUS.
class FakeDialogTools : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vorlix-dialogs-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "bin");
        const char* oldPath = std::getenv("PATH");
        savedPath = oldPath ? oldPath : "";
        setenv("PATH", (dir / "bin").c_str(), 1);
        unsetenv("FAKE_DIALOG_OUTPUT");
        unsetenv("FAKE_DIALOG_STATUS");
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(dir);
    }

    void installTool(const std::string& name) {
        const fs::path script = dir / "bin" / name;
        std::ofstream out(script);
        out << "#!/bin/sh\n"
            << "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << (dir / "calls.log").string() << "'; done\n"
            << "echo -- >> '" << (dir / "calls.log").string() << "'\n"
            << "[ -n \"$FAKE_DIALOG_OUTPUT\" ] && printf '%s\\n' \"$FAKE_DIALOG_OUTPUT\"\n"
            << "exit ${FAKE_DIALOG_STATUS:-0}\n";
        out.close();
        fs::permissions(script, fs::perms::owner_all);
    }

    // Each invocation as its list of arguments.
    std::vector<std::vector<std::string>> calls() const {
        std::vector<std::vector<std::string>> result(1);
        std::ifstream in(dir / "calls.log");
        for (std::string line; std::getline(in, line);) {
            if (line == "--") result.emplace_back();
            else result.back().push_back(line);
        }
        result.pop_back();
        return result;
    }

    static bool has(const std::vector<std::string>& args, const std::string& a) {
        for (const auto& x : args)
            if (x == a) return true;
        return false;
    }

    fs::path dir;
    std::string savedPath;
};


} // namespace Vorlix::test
