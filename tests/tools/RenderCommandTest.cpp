// vorlix-render as a user meets it without a working module: usage mistakes exit with 2, failures
// with 1, each with exactly one line on standard error and nothing on standard output.
#include "MidiBytes.h"
#include "RunCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
const std::string kRender = VORLIX_RENDER_BINARY;

struct TempDir
{
    fs::path path = fs::temp_directory_path () / ("vorlix-render-test-" + std::to_string (::getpid ()));
    TempDir () { fs::create_directories (path); }
    ~TempDir () { fs::remove_all (path); }
    std::string operator/ (const std::string& name) const { return (path / name).string (); }
};
} // namespace

TEST (RenderCommand, HelpListsEveryOption)
{
    const CommandResult r = runCommand (kRender, {"--help"});
    EXPECT_EQ (r.exitCode, 0);
    for (const char* option : {"--plugin", "--program", "--preset", "--oscillators", "--midi", "--seconds", "--rate",
                               "--block", "--out", "--save-state", "--export-preset", "--info", "--list-programs"})
        EXPECT_NE (r.out.find (option), std::string::npos) << option;
}

TEST (RenderCommand, ErrorsAreOneLineAndNonZero)
{
    TempDir tmp;
    MidiBytes::Bytes truncated = MidiBytes::header (1, 2, 96);
    MidiBytes::write (tmp / "truncated.mid", truncated);
    const fs::path noFactoryLib (VORLIX_FAKE_MODULE_WITHOUT_FACTORY);
    const fs::path noFactory = tmp.path / "NoFactory.vst3";
    fs::create_directories (noFactory / "Contents" / "x86_64-linux");
    fs::copy_file (noFactoryLib, noFactory / "Contents" / "x86_64-linux" / "NoFactory.so");

    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string expected;
    };
    const std::vector<Case> cases {
        {{"--frobnicate"}, 2, "unknown option --frobnicate"},
        {{"--block", "0"}, 2, "--block: expected a block size"},
        {{"--plugin", tmp / "Missing.vst3", "--info"}, 1, "plug-in bundle not found: " + tmp / "Missing.vst3"},
        {{"--plugin", noFactory.string (), "--list-programs"}, 1, "does not export GetPluginFactory"},
        {{"--midi", tmp / "none.mid", "--plugin", noFactory.string ()}, 1, "cannot read MIDI file"},
        {{"--midi", tmp / "truncated.mid", "--plugin", noFactory.string ()}, 1, "truncated file"},
    };
    for (const Case& c : cases)
    {
        const CommandResult r = runCommand (kRender, c.args);
        EXPECT_EQ (r.exitCode, c.exitCode) << c.args[0] << "\n" << r.err;
        EXPECT_EQ (r.err.rfind ("vorlix-render: ", 0), 0u) << r.err;
        EXPECT_NE (r.err.find (c.expected), std::string::npos) << r.err;
        EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
        EXPECT_TRUE (r.out.empty ()) << r.out;
    }
}
