#include "apps/standalone/StateFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace Vorlix::App;
namespace fs = std::filesystem;

namespace {

struct TempDir
{
    fs::path path = fs::temp_directory_path () / ("vorlix-state-" + std::to_string (::getpid ()));
    TempDir () { fs::remove_all (path); }
    ~TempDir () { fs::remove_all (path); }
};

std::string readAll (const fs::path& p)
{
    std::ifstream in (p, std::ios::binary);
    return {std::istreambuf_iterator<char> (in), {}};
}

void writeAll (const fs::path& p, const std::string& bytes)
{
    std::ofstream (p, std::ios::binary) << bytes;
}

VorlixInstrumentState::Record sampleRecord ()
{
    VorlixInstrumentState::Record r;
    r.program = 7;
    r.count = kNumParams;
    for (int i = 0; i < kNumParams; ++i)
        r.values[i] = static_cast<float> (i) / static_cast<float> (kNumParams);
    return r;
}

} // namespace

TEST (StateFile, SavedSoundComesBackAndNewDirectoriesAreMade)
{
    TempDir dir;
    const std::string path = (dir.path / "deep" / "vorlix307" / "state").string ();
    std::string error;
    ASSERT_TRUE (saveStateFile (path, sampleRecord (), error)) << error;
    EXPECT_FALSE (fs::exists (path + ".tmp"));
    EXPECT_EQ (fs::file_size (path), VorlixInstrumentState::kBytes); // the plug-in's own state record

    // Saved twice: the same bytes (nothing accumulates).
    const std::string first = readAll (path);
    ASSERT_TRUE (saveStateFile (path, sampleRecord (), error)) << error;
    EXPECT_EQ (readAll (path), first);

    const StateLoad load = loadStateFile (path);
    ASSERT_TRUE (load.record);
    EXPECT_TRUE (load.warning.empty ());
    EXPECT_EQ (load.record->program, 7);
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ (load.record->values[i], sampleRecord ().values[i]);

    // The precise oscillators travel with their marker, as in the plug-in's state.
    VorlixInstrumentState::Record precise = sampleRecord ();
    precise.preciseOscillators = true;
    ASSERT_TRUE (saveStateFile (path, precise, error)) << error;
    EXPECT_EQ (fs::file_size (path), VorlixInstrumentState::kMaxBytes);
    ASSERT_TRUE (loadStateFile (path).record);
    EXPECT_TRUE (loadStateFile (path).record->preciseOscillators);

    EXPECT_FALSE (loadStateFile ((dir.path / "none").string ()).record); // no file: quietly nothing
    EXPECT_TRUE (loadStateFile ((dir.path / "none").string ()).warning.empty ());
}

TEST (StateFile, DamagedFilesAreKeptAsideWithOneLineWarning)
{
    const std::string whole (reinterpret_cast<const char*> (VorlixInstrumentState::toBytes (sampleRecord ()).data.data ()),
                             VorlixInstrumentState::kBytes);
    auto withProgram = [&] (std::int32_t program) {
        std::string b = whole;
        for (int k = 0; k < 4; ++k)
            b[static_cast<size_t> (k)] = static_cast<char> ((static_cast<std::uint32_t> (program) >> (8 * k)) & 0xFF);
        return b;
    };
    auto withValue = [&] (float v) {
        std::string b = whole;
        std::memcpy (b.data () + 4, &v, 4);
        return b;
    };
    const struct
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"short", whole.substr (0, 20)},
        {"one byte too long", whole + "x"},
        {"text", std::string (VorlixInstrumentState::kBytes, 'a')},
        {"program past the bank", withProgram (61)},
        {"negative program", withProgram (-1)},
        {"value not a number", withValue (std::nanf (""))},
        {"value above 1", withValue (2.0f)},
    };
    for (const auto& c : cases)
    {
        TempDir dir;
        fs::create_directories (dir.path);
        const fs::path path = dir.path / "state";
        // An older damaged file is not overwritten by the next one.
        writeAll (dir.path / "state.bad", "older");
        writeAll (path, c.bytes);
        const StateLoad load = loadStateFile (path.string ());
        EXPECT_FALSE (load.record) << c.what;
        EXPECT_NE (load.warning.find ("damaged"), std::string::npos) << c.what;
        EXPECT_NE (load.warning.find ("state.bad.1"), std::string::npos) << load.warning;
        EXPECT_EQ (load.warning.find ('\n'), std::string::npos) << c.what;
        EXPECT_FALSE (fs::exists (path)) << c.what;
        EXPECT_EQ (readAll (dir.path / "state.bad"), "older") << c.what;
        EXPECT_EQ (readAll (dir.path / "state.bad.1"), c.bytes) << c.what;
    }
}

TEST (StateFile, DirectoryFollowsXdgRules)
{
    const char* savedXdg = std::getenv ("XDG_CONFIG_HOME");
    const std::string keepXdg = savedXdg ? savedXdg : "";
    ::setenv ("HOME", std::getenv ("HOME") ? std::getenv ("HOME") : "/root", 1);
    const std::string home = std::getenv ("HOME");
    ::setenv ("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ (stateDirectory (), "/tmp/cfg/vorlix307");
    ::setenv ("XDG_CONFIG_HOME", "relative/cfg", 1); // not absolute: to be ignored
    EXPECT_EQ (stateDirectory (), home + "/.config/vorlix307");
    ::unsetenv ("XDG_CONFIG_HOME");
    EXPECT_EQ (stateDirectory (), home + "/.config/vorlix307");
    if (savedXdg)
        ::setenv ("XDG_CONFIG_HOME", keepXdg.c_str (), 1);
}
