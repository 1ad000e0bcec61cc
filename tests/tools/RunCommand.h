// Runs a program with arguments (no shell) and collects its exit code, standard output and
// standard error, for tests of command-line behaviour.
#pragma once

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct CommandResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline CommandResult runCommand (const std::string& program, const std::vector<std::string>& args)
{
    static int counter = 0;
    const std::filesystem::path dir = std::filesystem::temp_directory_path ();
    const std::string stem = "vorlix-cmd-" + std::to_string (::getpid ()) + "-" + std::to_string (counter++);
    const std::string outPath = (dir / (stem + ".out")).string ();
    const std::string errPath = (dir / (stem + ".err")).string ();

    std::vector<char*> argv;
    argv.push_back (const_cast<char*> (program.c_str ()));
    for (const std::string& a : args)
        argv.push_back (const_cast<char*> (a.c_str ()));
    argv.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 1, outPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen (&actions, 2, errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    CommandResult result;
    pid_t pid = 0;
    if (posix_spawn (&pid, program.c_str (), &actions, nullptr, argv.data (), environ) == 0)
    {
        int status = 0;
        waitpid (pid, &status, 0);
        result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
    }
    posix_spawn_file_actions_destroy (&actions);
    auto slurp = [] (const std::string& p) {
        std::ifstream in (p, std::ios::binary);
        return std::string ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
    };
    result.out = slurp (outPath);
    result.err = slurp (errPath);
    std::filesystem::remove (outPath);
    std::filesystem::remove (errPath);
    return result;
}
