// vorlix-render against the real bundle: the module describes itself and its programs, mistakes
// that need a module are reported in one line, and a MIDI file rendered through the bundle in
// another process gives exactly the samples of the same notes played through the component
// linked into this test.
#include "MidiBytes.h"
#include "RunCommand.h"

#include "VorlixVst3Plugin.h"
#include "tools/host/PluginInstance.h"
#include "tools/render/MidiFile.h"
#include "tools/render/ProgramAccess.h"
#include "tools/render/RenderSession.h"
#include "tools/presets/VstPresetFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <sys/stat.h>
#include <sstream>

namespace fs = std::filesystem;
using Vorlix::Host::PluginInstance;

namespace {
const std::string kRender = VORLIX_RENDER_BINARY;
const std::string kBundle = VORLIX_BUNDLE_DIR;

struct TempDir
{
    fs::path path = fs::temp_directory_path () / ("vorlix-bundle-test-" + std::to_string (::getpid ()));
    TempDir () { fs::create_directories (path); }
    ~TempDir () { fs::remove_all (path); }
    std::string operator/ (const std::string& name) const { return (path / name).string (); }
};

struct Wav
{
    int rate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> left, right;
};

Wav readWav (const std::string& path)
{
    Wav w;
    SF_INFO info {};
    SNDFILE* f = sf_open (path.c_str (), SFM_READ, &info);
    if (!f)
        return w;
    w.rate = info.samplerate;
    w.channels = info.channels;
    w.format = info.format;
    std::vector<float> interleaved (static_cast<size_t> (info.frames) * static_cast<size_t> (info.channels));
    sf_readf_float (f, interleaved.data (), info.frames);
    sf_close (f);
    for (sf_count_t i = 0; info.channels == 2 && i < info.frames; ++i)
    {
        w.left.push_back (interleaved[static_cast<size_t> (i) * 2]);
        w.right.push_back (interleaved[static_cast<size_t> (i) * 2 + 1]);
    }
    return w;
}

std::vector<std::string> lines (const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in (text);
    for (std::string line; std::getline (in, line);)
        out.push_back (line);
    return out;
}

// Format 1 with a tempo change, running status, a chord and notes that start inside blocks.
MidiBytes::Bytes testSong ()
{
    using namespace MidiBytes;
    Bytes conductor;
    tempo (conductor, 0, 400000);  // 150 bpm
    tempo (conductor, 480, 600000); // 100 bpm after the first quarter
    endOfTrack (conductor);
    Bytes melody;
    event (melody, 0, {0x90, 57, 100});
    event (melody, 0, {60, 90}); // running status
    event (melody, 0, {64, 80});
    event (melody, 300, {57, 0});
    event (melody, 0, {60, 0});
    event (melody, 0, {64, 0});
    event (melody, 37, {0x90, 69, 127});
    event (melody, 211, {0x80, 69, 64});
    event (melody, 5, {0x90, 45, 110});
    event (melody, 400, {0x80, 45, 0});
    endOfTrack (melody);
    return file (1, 480, {conductor, melody});
}

struct Peak
{
    float peak = 0.f;
    size_t nonFinite = 0;
};

Peak measure (const Wav& w)
{
    Peak p;
    for (const auto* ch : {&w.left, &w.right})
        for (float s : *ch)
        {
            if (!std::isfinite (s))
                ++p.nonFinite;
            else
                p.peak = std::max (p.peak, std::fabs (s));
        }
    return p;
}
} // namespace

TEST (BundleRender, ListsSixtyOnePrograms)
{
    const CommandResult r = runCommand (kRender, {"--plugin", kBundle, "--list-programs"});
    ASSERT_EQ (r.exitCode, 0) << r.err;
    const std::vector<std::string> l = lines (r.out);
    ASSERT_EQ (l.size (), 61u);
    EXPECT_EQ (l[0], "0 InitSaw");
    EXPECT_EQ (l[12], "12 bass-vorlix");
    EXPECT_EQ (l[60], "60 drums-snare2");
}

TEST (BundleRender, InfoDescribesClassAndThirtySixParameters)
{
    const CommandResult r = runCommand (kRender, {"--plugin", kBundle, "--info"});
    ASSERT_EQ (r.exitCode, 0) << r.err;
    for (const char* expected : {"module: ", "/Contents/x86_64-linux/Vorlix307.so\n", "class: Vorlix307\n",
                                 "category: Audio Module Class\n", "sub-categories: Instrument|Synth\n",
                                 "version: 2.0.0.0\n", "SDK version: VST 3.7.13\n", "parameters: 36\n",
                                 "  Osc1WaveType ", "  SubOscOctave ", "hidden parameters: 5\n"})
        EXPECT_NE (r.out.find (expected), std::string::npos) << expected << "\n" << r.out;
    const std::vector<std::string> l = lines (r.out);
    const auto params = std::count_if (l.begin (), l.end (), [] (const std::string& s) { return s.rfind ("  ", 0) == 0; });
    EXPECT_EQ (params, 36);
}

TEST (BundleRender, MistakesThatNeedTheModuleAreOneLine)
{
    TempDir tmp;
    std::ofstream (tmp / "broken.json") << "{\"program\": 3,";
    std::ofstream (tmp / "number.json") << "42";
    std::ofstream (tmp / "list.json") << "[]";
    std::ofstream (tmp / "foreign.json") << "{\"plugin\": \"Other\", \"program\": 3}";
    ASSERT_EQ (::mkfifo ((tmp / "fifo.json").c_str (), 0600), 0);
    struct Case
    {
        std::vector<std::string> args;
        std::string expected;
    };
    const std::vector<Case> cases {
        {{"--program", "no-such-sound"}, "unknown program 'no-such-sound'"},
        {{"--program", "61"}, "unknown program '61'"},
        {{"--program", "-1"}, "unknown program '-1'"},
        {{"--preset", tmp / "broken.json"}, "broken.json: not a Vorlix307 preset document"},
        {{"--preset", tmp / "number.json"}, "number.json: not a Vorlix307 preset document"},
        {{"--preset", tmp / "list.json"}, "list.json: not a Vorlix307 preset document"},
        {{"--preset", tmp / "foreign.json"}, "foreign.json: not a Vorlix307 preset document"},
        {{"--preset", tmp / "missing.json"}, "cannot read preset file"},
        // Refused at once: a FIFO without a writer would block, a device never ends.
        {{"--preset", tmp / "fifo.json"}, "cannot read preset file " + tmp / "fifo.json" + " (not a regular file)"},
        {{"--preset", "/dev/zero"}, "cannot read preset file /dev/zero (not a regular file)"},
        {{"--out", tmp / "no-such-dir/x.wav", "--seconds", "0.1"}, "cannot write " + tmp / "no-such-dir/x.wav"},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> args {"--plugin", kBundle};
        args.insert (args.end (), c.args.begin (), c.args.end ());
        const CommandResult r = runCommand (kRender, args);
        EXPECT_EQ (r.exitCode, 1) << c.args[1];
        EXPECT_NE (r.err.find (c.expected), std::string::npos) << r.err;
        EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
    }
}

TEST (BundleRender, DemoIsAudibleFiniteAndBelowFullScale)
{
    TempDir tmp;
    const CommandResult r = runCommand (kRender, {"--plugin", kBundle, "--out", tmp / "demo.wav"});
    ASSERT_EQ (r.exitCode, 0) << r.err;
    EXPECT_NE (r.out.find ("peak"), std::string::npos) << r.out;
    const Wav w = readWav (tmp / "demo.wav");
    EXPECT_EQ (w.rate, 48000);
    EXPECT_EQ (w.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const double seconds = static_cast<double> (w.left.size ()) / 48000.0;
    EXPECT_GE (seconds, 8.0); // four bars at 120 bpm, then the release tail
    EXPECT_LE (seconds, 18.5);
    const Peak p = measure (w);
    EXPECT_EQ (p.nonFinite, 0u);
    EXPECT_GT (p.peak, 0.01f);
    EXPECT_LE (p.peak, 1.0f);
}

TEST (BundleRender, BundleInAnotherProcessMatchesTheComponentInProcess)
{
    TempDir tmp;
    const std::string midi = tmp / "song.mid";
    MidiBytes::write (midi, testSong ());
    const double rate = 44100;
    const int block = 100;
    std::vector<float> previous;
    for (const auto& [program, oscillators] : {std::pair {"0", "precise"}, {"bass-vorlix", "classic"}, {"44", "classic"},
                                              {"44", "precise"}})
    {
        const CommandResult r = runCommand (kRender, {"--plugin", kBundle, "--midi", midi, "--program", program,
                                                      "--oscillators", oscillators, "--rate", "44100", "--block",
                                                      "100", "--seconds", "2.5", "--out", tmp / "bundle.wav"});
        ASSERT_EQ (r.exitCode, 0) << r.err;
        const Wav viaBundle = readWav (tmp / "bundle.wav");
        ASSERT_EQ (viaBundle.left.size (), 110250u);

        std::string error;
        std::unique_ptr<PluginInstance> instance = PluginInstance::adopt (VorlixVst3Plugin::createInstance (nullptr), error);
        ASSERT_TRUE (instance) << error;
        ASSERT_TRUE (Vorlix::Render::selectProgram (*instance, program, error)) << error;
        ASSERT_TRUE (Vorlix::Render::setOscillatorMode (*instance, std::string (oscillators) == "precise", error))
            << error;
        ASSERT_TRUE (instance->start ({rate, block}, error)) << error;
        Vorlix::Render::NoteSequence notes;
        ASSERT_TRUE (Vorlix::Render::readMidiFile (midi, notes, error)) << error;
        Vorlix::Render::RenderLength length;
        length.seconds = 2.5;
        Wav inProcess;
        ASSERT_TRUE (Vorlix::Render::renderSequence (
            *instance, notes, rate, block, length,
            [&] (const float* l, const float* r, int n, std::string&) {
                inProcess.left.insert (inProcess.left.end (), l, l + n);
                inProcess.right.insert (inProcess.right.end (), r, r + n);
                return true;
            },
            nullptr, error));

        ASSERT_EQ (inProcess.left.size (), viaBundle.left.size ());
        EXPECT_TRUE (inProcess.left == viaBundle.left) << "program " << program;
        EXPECT_TRUE (inProcess.right == viaBundle.right) << "program " << program;
        EXPECT_GT (measure (viaBundle).peak, 0.001f) << "program " << program;
        // The same program in the other mode is another sound (pitch and band limit).
        if (std::string (program) == "44" && std::string (oscillators) == "precise")
            EXPECT_FALSE (previous == viaBundle.left);
        previous = viaBundle.left;
    }
}

TEST (BundleRender, AVstPresetFileRendersLikePickingItsProgram)
{
    // The factory presets the build wrote, loaded the way a host loads them.
    TempDir tmp;
    const std::string folder = std::string (VORLIX_PRESETS_DIR) + "/Vorlix Instruments/Vorlix307/";
    for (const char* program : {"bass-juno", "InitSaw", "drums-snare"})
    {
        const CommandResult picked = runCommand (kRender, {"--plugin", kBundle, "--program", program, "--seconds", "2",
                                                           "--out", tmp / "picked.wav"});
        ASSERT_EQ (picked.exitCode, 0) << picked.err;
        const std::string presetPath = folder + program + ".vstpreset";
        const CommandResult loaded = runCommand (kRender, {"--plugin", kBundle, "--program", "7", "--preset", presetPath,
                                                           "--seconds", "2", "--out", tmp / "loaded.wav",
                                                           "--save-state", tmp / "state.bin"});
        ASSERT_EQ (loaded.exitCode, 0) << loaded.err;
        const Wav a = readWav (tmp / "picked.wav"), b = readWav (tmp / "loaded.wav");
        EXPECT_GT (measure (a).peak, 0.001f) << program;
        EXPECT_TRUE (a.left == b.left && a.right == b.right) << program;

        // The state saved after loading is the preset's own state, byte for byte.
        const auto bytesOf = [] (const std::string& path) {
            std::ifstream in (path, std::ios::binary);
            return Vorlix::Presets::Bytes (std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char> ());
        };
        Vorlix::Presets::ParsedPreset parsed;
        std::string why;
        ASSERT_TRUE (Vorlix::Presets::readPresetFile (bytesOf (presetPath), parsed, why)) << why;
        EXPECT_EQ (bytesOf (tmp / "state.bin"), parsed.componentState) << program;

        // Its exported JSON document, imported over another program, brings the same sound back.
        ASSERT_EQ (runCommand (kRender, {"--plugin", kBundle, "--preset", presetPath, "--export-preset",
                                         tmp / "sound.json", "--seconds", "0.1", "--out", tmp / "unused.wav"})
                       .exitCode,
                   0);
        const CommandResult imported = runCommand (kRender, {"--plugin", kBundle, "--program", "7", "--preset",
                                                             tmp / "sound.json", "--seconds", "2", "--out",
                                                             tmp / "imported.wav"});
        ASSERT_EQ (imported.exitCode, 0) << imported.err;
        const Wav c = readWav (tmp / "imported.wav");
        EXPECT_TRUE (a.left == c.left && a.right == c.right) << program;
    }

    // A preset of another plug-in is refused in one line.
    Vorlix::Presets::Bytes other;
    ASSERT_TRUE (Vorlix::Presets::writePresetFile (Steinberg::FUID (1, 2, 3, 4), Vorlix::Presets::Bytes (148, 0), "", other));
    std::ofstream (tmp / "other.vstpreset", std::ios::binary).write (reinterpret_cast<const char*> (other.data ()),
                                                                    static_cast<std::streamsize> (other.size ()));
    const CommandResult r = runCommand (kRender, {"--plugin", kBundle, "--preset", tmp / "other.vstpreset"});
    EXPECT_EQ (r.exitCode, 1);
    EXPECT_NE (r.err.find ("belongs to another plug-in"), std::string::npos) << r.err;
    EXPECT_EQ (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
}
