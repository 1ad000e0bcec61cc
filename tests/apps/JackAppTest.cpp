// The app against a real JACK server (jackd's dummy back end, under a server name of its own): a
// test client plays MIDI into it and records its outputs.
#include "MidiBytes.h"
#include "RunCommand.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <png.h>
#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <unistd.h>

// Last: Xlib's macros (None, Status...) would clash with the test framework's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 256;

struct Spawned
{
    pid_t pid = -1;
    std::string errPath;

    /** Sends `sig` (0: none) and waits up to 10 s; the exit code, or 128 + the fatal signal. */
    int stop (int sig)
    {
        if (pid <= 0)
            return -1;
        if (sig)
            ::kill (pid, sig);
        int status = 0;
        for (int i = 0; i < 1000; ++i)
        {
            if (::waitpid (pid, &status, WNOHANG) == pid)
            {
                pid = -1;
                return WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
            }
            std::this_thread::sleep_for (10ms);
        }
        ::kill (pid, SIGKILL);
        ::waitpid (pid, &status, 0);
        pid = -1;
        return -2; // hung
    }
    std::string err () const
    {
        std::ifstream in (errPath);
        return {std::istreambuf_iterator<char> (in), {}};
    }
    ~Spawned () { stop (SIGKILL); }
};

Spawned spawn (const std::vector<std::string>& args, const std::string& errPath)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back (const_cast<char*> (a.c_str ()));
    argv.push_back (nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, 2, errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Spawned s;
    s.errPath = errPath;
    if (posix_spawnp (&s.pid, argv[0], &actions, nullptr, argv.data (), environ) != 0)
        s.pid = -1;
    posix_spawn_file_actions_destroy (&actions);
    return s;
}

void quiet (const char*) {}

/** The app under test: this build's, or VORLIX_TEST_APP (e.g. a sanitizer build of it). */
std::string appBinary ()
{
    const char* other = std::getenv ("VORLIX_TEST_APP");
    return other && *other ? other : VORLIX_APP_BINARY;
}

/** A MIDI event the test client sends at the start of a cycle (counted from when it starts). */
struct TimedMidi
{
    int cycle;
    std::vector<std::uint8_t> bytes;
};

/** Plays timed MIDI into the app and records the app's outputs, cycle by cycle from the first. */
class TestClient
{
public:
    bool open (const std::string& name)
    {
        client = jack_client_open (name.c_str (), JackNoStartServer, nullptr);
        if (!client)
            return false;
        midiOut = jack_port_register (client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        in[0] = jack_port_register (client, "in_L", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        in[1] = jack_port_register (client, "in_R", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback (client, &TestClient::processCallback, this);
        return midiOut && in[0] && in[1] && jack_activate (client) == 0;
    }
    ~TestClient () { close (); }
    void close ()
    {
        if (client)
            jack_client_close (client);
        client = nullptr;
    }
    /** Waits for the app's ports and connects to them. */
    bool connectTo (const std::string& app)
    {
        // The app's ports appear once it is up; a previous run's may still be on their way out.
        auto link = [] (int result) { return result == 0 || result == EEXIST; };
        for (int i = 0; i < 500; ++i)
        {
            if (jack_port_by_name (client, (app + ":midi_in").c_str ())
                && link (jack_connect (client, jack_port_name (midiOut), (app + ":midi_in").c_str ()))
                && link (jack_connect (client, (app + ":out_L").c_str (), jack_port_name (in[0])))
                && link (jack_connect (client, (app + ":out_R").c_str (), jack_port_name (in[1]))))
                return true;
            std::this_thread::sleep_for (10ms);
        }
        return false;
    }
    /** Waits until something is connected to each of its ports (the app connecting itself). */
    bool waitConnected ()
    {
        for (int i = 0; i < 500; ++i, std::this_thread::sleep_for (10ms))
            if (jack_port_connected (midiOut) && jack_port_connected (in[0]) && jack_port_connected (in[1]))
                return true;
        return false;
    }
    /** Plays `phrase` and records `cycles` cycles; blocks until done. */
    bool play (std::vector<TimedMidi> phrase, int cycles)
    {
        start (std::move (phrase), cycles);
        return wait ();
    }
    void start (std::vector<TimedMidi> phrase, int cycles)
    {
        events = std::move (phrase);
        recording[0].assign (static_cast<size_t> (cycles) * kPeriod, 0.f);
        recording[1].assign (recording[0].size (), 0.f);
        cycle = 0;
        done.store (false);
        running.store (true);
    }
    bool wait ()
    {
        for (int i = 0; i < 2000 && !done.load (); ++i)
            std::this_thread::sleep_for (10ms);
        running.store (false);
        return done.load ();
    }
    /** The loudest sample recorded between two times, in seconds from the start. */
    float peak (double from, double to) const
    {
        float p = 0.f;
        const auto a = static_cast<size_t> (from * kRate), b = std::min (recording[0].size (), static_cast<size_t> (to * kRate));
        for (size_t i = a; i < b; ++i)
            p = std::max ({p, std::fabs (recording[0][i]), std::fabs (recording[1][i])});
        return p;
    }
    std::vector<float> recording[2];

private:
    static int processCallback (jack_nframes_t n, void* self) { return static_cast<TestClient*> (self)->process (n); }
    int process (jack_nframes_t n)
    {
        void* midi = jack_port_get_buffer (midiOut, n);
        jack_midi_clear_buffer (midi);
        if (!running.load () || done.load () || n != kPeriod)
            return 0;
        for (const TimedMidi& e : events)
            if (e.cycle == cycle)
                jack_midi_event_write (midi, 0, e.bytes.data (), e.bytes.size ());
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto* src = static_cast<const float*> (jack_port_get_buffer (in[ch], n));
            std::copy (src, src + n, recording[ch].begin () + static_cast<long> (cycle) * kPeriod);
        }
        if (static_cast<size_t> (++cycle) * kPeriod >= recording[0].size ())
            done.store (true);
        return 0;
    }

    jack_client_t* client = nullptr;
    jack_port_t* midiOut = nullptr;
    jack_port_t* in[2] = {};
    std::vector<TimedMidi> events;
    int cycle = 0;
    std::atomic<bool> running {false};
    std::atomic<bool> done {false};
};

class JackApp : public ::testing::Test
{
protected:
    static void SetUpTestSuite ()
    {
        jack_set_error_function (&quiet);
        jack_set_info_function (&quiet);
        // JACK keeps a fixed number of server slots (eight) and frees a dead server's slot only
        // when a server of the same name starts: one name per user, not per run or build tree, so
        // a run killed half-way, or a fresh clone elsewhere, never uses a slot up for good. (Two
        // build trees cannot run this test at the same moment.)
        serverName = "vorlix-test-" + std::to_string (::getuid ());
        // A server that loses a client while shutting down should not die of SIGPIPE before it
        // has given its slot back (the ignored disposition is inherited through exec).
        std::signal (SIGPIPE, SIG_IGN);
        ::setenv ("JACK_DEFAULT_SERVER", serverName.c_str (), 1);
        // No real-time scheduling: test machines rarely grant it, and the dummy driver needs none.
        server = new Spawned (startServer ());
    }
    /** jackd's dummy back end under the current JACK_DEFAULT_SERVER; returns once it answers. */
    static Spawned startServer (int rate = kRate)
    {
        const char* name = std::getenv ("JACK_DEFAULT_SERVER");
        // Synchronous, with a generous client timeout: on a loaded machine (or with a sanitizer
        // build) a late client delays the cycle instead of leaving a hole in the recording.
        Spawned s = spawn ({"jackd", "--no-realtime", "--sync", "-t", "5000", "-n", name, "-d", "dummy", "-r", std::to_string (rate), "-p",
                            std::to_string (kPeriod)},
                           (fs::temp_directory_path () / (std::string (name) + ".log")).string ());
        for (int i = 0; i < 500 && !probeServer (); ++i)
            std::this_thread::sleep_for (10ms);
        return s;
    }
    static void TearDownTestSuite ()
    {
        if (server)
            server->stop (SIGTERM);
        delete server;
        server = nullptr;
    }
    void SetUp () override
    {
        config = fs::temp_directory_path () / ("vorlix-app-" + std::to_string (::getpid ()));
        fs::remove_all (config);
        fs::create_directories (config);
        ::setenv ("XDG_CONFIG_HOME", config.c_str (), 1);
        ASSERT_TRUE (probeServer ()) << "jackd did not start";
    }
    void TearDown () override { fs::remove_all (config); }

    static bool probeServer ()
    {
        jack_client_t* probe = jack_client_open ("probe", JackNoStartServer, nullptr);
        if (probe)
            jack_client_close (probe);
        return probe != nullptr;
    }
    /** The app under test; without connection options in `extra` it connects nothing. */
    Spawned startApp (std::vector<std::string> extra)
    {
        std::vector<std::string> args {appBinary (), "--headless", "--name", "vorlix-under-test"};
        if (std::find_if (extra.begin (), extra.end (), [] (const std::string& a) { return a.find ("-connect") != std::string::npos; })
            == extra.end ())
            args.push_back ("--no-connect");
        args.insert (args.end (), extra.begin (), extra.end ());
        return spawn (args, (config / "app.err").string ());
    }
    std::string stateBytes () const
    {
        std::ifstream in (config / "vorlix307" / "state", std::ios::binary);
        return {std::istreambuf_iterator<char> (in), {}};
    }

    static inline std::string serverName;
    static inline Spawned* server = nullptr;
    fs::path config;
};

std::vector<float> readWav (const std::string& path, int channel)
{
    SF_INFO info {};
    SNDFILE* f = sf_open (path.c_str (), SFM_READ, &info);
    if (!f || info.channels != 2)
        return {};
    std::vector<float> frames (static_cast<size_t> (info.frames) * 2);
    sf_readf_float (f, frames.data (), info.frames);
    sf_close (f);
    std::vector<float> out;
    for (size_t i = static_cast<size_t> (channel); i < frames.size (); i += 2)
        out.push_back (frames[i]);
    return out;
}

} // namespace

TEST_F (JackApp, RecordingEqualsTheCommandLineRenderOfTheSamePhrase)
{
    // The phrase, each event at the start of a cycle: notes on several channels, running status,
    // SysEx and a real-time byte that must change nothing.
    const std::vector<TimedMidi> phrase {
        {0, {0x90, 60, 100}},
        {3, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
        {12, {0x93, 64, 80, 67, 90}},
        {20, {0xF8}},
        {40, {0x80, 60, 0}},
        {55, {0x93, 64, 0}},
        {70, {0x8F, 67, 64}},
    };
    constexpr int kCycles = 120;
    // The app connects itself to the recorder, as --midi-connect and --audio-connect ask.
    TestClient tester;
    ASSERT_TRUE (tester.open ("recorder"));
    Spawned app = startApp ({"--program", "3", "--midi-connect", "recorder:midi_out", "--audio-connect", "recorder:in_L",
                             "recorder:in_R"});
    ASSERT_TRUE (tester.waitConnected ()) << app.err ();
    ASSERT_TRUE (tester.play (phrase, kCycles));
    EXPECT_EQ (app.stop (SIGTERM), 0) << app.err ();

    // The same notes as a MIDI file for vorlix-render: 3 ticks per quarter at 16000 us per
    // quarter make one tick exactly one 256-frame cycle at 48 kHz.
    MidiBytes::Bytes track;
    MidiBytes::tempo (track, 0, 16000);
    int last = 0;
    for (const auto& [cycle, bytes] : std::vector<std::pair<int, std::vector<int>>> {
             {0, {0x90, 60, 100}}, {12, {0x93, 64, 80}}, {12, {0x93, 67, 90}}, {40, {0x80, 60, 0}},
             {55, {0x93, 64, 0}}, {70, {0x8F, 67, 64}}})
    {
        const auto d = MidiBytes::vlq (static_cast<std::uint32_t> (cycle - last));
        track.insert (track.end (), d.begin (), d.end ());
        for (int b : bytes)
            track.push_back (static_cast<std::uint8_t> (b));
        last = cycle;
    }
    MidiBytes::endOfTrack (track);
    const std::string mid = (config / "phrase.mid").string ();
    const std::string wav = (config / "phrase.wav").string ();
    MidiBytes::write (mid, MidiBytes::file (0, 3, {track}));
    const CommandResult render = runCommand (VORLIX_RENDER_BINARY,
                                             {"--plugin", VORLIX_BUNDLE_DIR, "--program", "3", "--midi", mid, "--rate",
                                              "48000", "--block", "256", "--seconds", "1.6", "--out", wav});
    ASSERT_EQ (render.exitCode, 0) << render.err;

    // The recording starts with the cycle the first note was sent in; the app hears it in that
    // cycle or a later one, depending on where JACK orders the two clients, and the recorder
    // hears the app's output in the same or the next cycle. So the recording is the render
    // shifted by a whole number of cycles: find the shift, then every sample must match.
    for (int ch = 0; ch < 2; ++ch)
    {
        const std::vector<float> expected = readWav (wav, ch);
        const std::vector<float>& got = tester.recording[ch];
        ASSERT_GE (expected.size (), got.size ());
        int shift = -1;
        for (int k = 0; k < 4 && shift < 0; ++k)
        {
            const size_t offset = static_cast<size_t> (k) * kPeriod;
            bool silentBefore = true;
            for (size_t i = 0; i < offset; ++i)
                silentBefore = silentBefore && got[i] == 0.f;
            if (silentBefore && std::fabs (got[offset + 100] - expected[100]) < 1e-6f && expected[100] != 0.f)
                shift = k;
        }
        ASSERT_GE (shift, 0) << "no whole-cycle shift lines the recording up with the render (channel " << ch << ")";
        float worst = 0.f;
        for (size_t i = static_cast<size_t> (shift) * kPeriod; i < got.size (); ++i)
            worst = std::max (worst, std::fabs (got[i] - expected[i - static_cast<size_t> (shift) * kPeriod]));
        EXPECT_LE (worst, 1e-6f) << "channel " << ch << ", shift " << shift << " cycles";
    }
}

TEST_F (JackApp, ProgramChangeSignalsRestartsAndDamagedStates)
{
    // A program change picks the built-in program; SIGTERM saves it and exits 0.
    Spawned app = startApp ({"--program", "0"});
    TestClient tester;
    ASSERT_TRUE (tester.open ("recorder"));
    ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << app.err ();
    ASSERT_TRUE (tester.play ({{0, {0xC4, 17}}}, 20));
    std::this_thread::sleep_for (100ms); // the main thread loads it within its 20 ms poll
    EXPECT_EQ (app.stop (SIGTERM), 0) << app.err ();
    const std::string saved = stateBytes ();
    ASSERT_EQ (saved.size (), 152u); // the sound and the precise marker of a new instrument
    EXPECT_EQ (saved[0], 17) << "program index in the saved state";

    // A restart restores the sound: its own save on SIGINT is byte for byte the same.
    Spawned again = startApp ({});
    ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << again.err ();
    EXPECT_EQ (again.stop (SIGINT), 0) << again.err ();
    EXPECT_EQ (stateBytes (), saved);

    // A factory .vstpreset (written from the plug-in's state) gives the same sound, byte for
    // byte, as picking that built-in program.
    fs::path factory;
    for (const auto& entry : fs::recursive_directory_iterator (VORLIX_PRESETS_DIR))
        if (entry.path ().filename () == "bass-didgeribassic.vstpreset")
            factory = entry.path ();
    ASSERT_FALSE (factory.empty ());
    std::string fromChoice[2];
    int k = 0;
    for (const std::vector<std::string>& choice :
         {std::vector<std::string> {"--preset", factory.string ()}, std::vector<std::string> {"--program", "bass-didgeribassic"}})
    {
        Spawned chosen = startApp (choice);
        ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << chosen.err ();
        EXPECT_EQ (chosen.stop (SIGTERM), 0) << chosen.err ();
        fromChoice[k++] = stateBytes ();
    }
    EXPECT_EQ (fromChoice[0], fromChoice[1]);
    EXPECT_NE (fromChoice[0], saved);

    // A damaged file: one warning line, the default sound, the file kept.
    {
        std::ofstream (config / "vorlix307" / "state", std::ios::binary) << "not a state";
    }
    Spawned damaged = startApp ({});
    ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << damaged.err ();
    EXPECT_EQ (damaged.stop (SIGTERM), 0);
    const std::string err = damaged.err ();
    EXPECT_NE (err.find ("vorlix307: warning: the saved sound in"), std::string::npos) << err;
    std::ifstream bad (config / "vorlix307" / "state.bad", std::ios::binary);
    EXPECT_EQ (std::string (std::istreambuf_iterator<char> (bad), {}), "not a state");
    ASSERT_EQ (stateBytes ().size (), 152u);
    EXPECT_EQ (stateBytes ()[0], 0) << "the default program after a damaged state";
}

TEST_F (JackApp, ServerThatStopsAndComesBackAtAnotherRate)
{
    // A server of its own, so the others' server stays up.
    ::setenv ("JACK_DEFAULT_SERVER", (serverName + "-restart").c_str (), 1);
    struct Restore
    {
        ~Restore () { ::setenv ("JACK_DEFAULT_SERVER", serverName.c_str (), 1); }
    } restore;
    Spawned first = startServer ();
    Spawned app = startApp ({});
    TestClient tester;
    ASSERT_TRUE (tester.open ("recorder"));
    ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << app.err ();
    tester.close ();
    first.stop (SIGTERM); // (jackd may still die of SIGPIPE here, which is its own affair)
    std::this_thread::sleep_for (200ms);
    Spawned second = startServer (44100);
    ASSERT_TRUE (tester.open ("recorder"));
    // Back within about a second, under the same port names, playing at the new rate.
    EXPECT_TRUE (tester.connectTo ("vorlix-under-test")) << app.err ();
    ASSERT_TRUE (tester.play ({{0, {0x90, 60, 100}}}, 40));
    EXPECT_GT (tester.peak (0.05, 0.2), 0.01f);
    EXPECT_EQ (app.stop (SIGTERM), 0) << app.err ();
    EXPECT_NE (app.err ().find ("the JACK server is back"), std::string::npos) << app.err ();
}

TEST_F (JackApp, CommandLineAndServerErrorsAreOneLine)
{
    const struct
    {
        std::vector<std::string> args;
        const char* server;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"--headless", "--bogus"}, nullptr, 64, "vorlix307: unknown option '--bogus' (see --help)\n"},
        {{"--headless", "--program", "no-such-sound"}, nullptr, 1, "no built-in program 'no-such-sound'"},
        {{"--headless", "--preset", "/nonexistent.json"}, nullptr, 1, "/nonexistent.json: cannot be read"},
        {{"--headless"}, "vorlix-no-server-here", 2, "no JACK server is running: start one (jackd"},
        {{"--version"}, nullptr, 0, ""},
    };
    for (const auto& c : cases)
    {
        if (c.server)
            ::setenv ("JACK_DEFAULT_SERVER", c.server, 1);
        const CommandResult r = runCommand (appBinary (), c.args);
        ::setenv ("JACK_DEFAULT_SERVER", serverName.c_str (), 1);
        EXPECT_EQ (r.exitCode, c.exitCode) << r.err;
        EXPECT_NE (r.err.find (c.says), std::string::npos) << r.err;
        EXPECT_LE (std::count (r.err.begin (), r.err.end (), '\n'), 1) << r.err;
    }
}

namespace {

// The app's top-level window, found by its title's start.
Window findWindow (Display* x, Window under, const std::string& titleStart)
{
    char* name = nullptr;
    if (XFetchName (x, under, &name) && name)
    {
        const bool match = std::string (name).rfind (titleStart, 0) == 0;
        XFree (name);
        if (match)
            return under;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree (x, under, &root, &parent, &children, &count))
    {
        for (unsigned i = 0; i < count && !found; ++i)
            found = findWindow (x, children[i], titleStart);
        if (children)
            XFree (children);
    }
    return found;
}

struct Picture
{
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Picture grab (Display* x, Window w)
{
    XWindowAttributes a {};
    XGetWindowAttributes (x, w, &a);
    Picture p;
    XImage* image = XGetImage (x, w, 0, 0, static_cast<unsigned> (a.width), static_cast<unsigned> (a.height), AllPlanes, ZPixmap);
    if (!image)
        return p;
    p.width = a.width;
    p.height = a.height;
    for (int y = 0; y < a.height; ++y)
        for (int xx = 0; xx < a.width; ++xx)
        {
            const unsigned long px = XGetPixel (image, xx, y);
            p.rgb.insert (p.rgb.end (), {static_cast<unsigned char> (px >> 16), static_cast<unsigned char> (px >> 8),
                                         static_cast<unsigned char> (px)});
        }
    XDestroyImage (image);
    return p;
}

bool readPng (const std::string& path, Picture& out)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file (&image, path.c_str ()))
        return false;
    image.format = PNG_FORMAT_RGB;
    out.width = static_cast<int> (image.width);
    out.height = static_cast<int> (image.height);
    out.rgb.resize (PNG_IMAGE_SIZE (image));
    return png_image_finish_read (&image, nullptr, out.rgb.data (), 0, nullptr) != 0;
}

} // namespace

TEST_F (JackApp, WindowShowsTheEditorAndTheComputerKeyboardPlays)
{
    Display* x = XOpenDisplay (nullptr);
    if (!x)
        GTEST_SKIP () << "no display";
    int ev = 0, err = 0, major = 0, minor = 0;
    ASSERT_TRUE (XTestQueryExtension (x, &ev, &err, &major, &minor));

    // Program 0, as the editor screenshot shows it. Mesa's driver is unloaded at the app's exit
    // and what it allocated then looks leaked to a sanitizer build; the app's own memory is
    // checked by the headless cases, which run the same code without the window.
    const char* asan = std::getenv ("ASAN_OPTIONS");
    const std::string keptAsan = asan ? asan : "";
    ::setenv ("ASAN_OPTIONS", (keptAsan.empty () ? std::string () : keptAsan + ":").append ("detect_leaks=0").c_str (), 1);
    Spawned app = spawn ({appBinary (), "--no-connect", "--name", "vorlix-under-test", "--program", "0"},
                         (config / "app.err").string ());
    if (asan)
        ::setenv ("ASAN_OPTIONS", keptAsan.c_str (), 1);
    else
        ::unsetenv ("ASAN_OPTIONS");
    TestClient tester;
    ASSERT_TRUE (tester.open ("recorder"));
    ASSERT_TRUE (tester.connectTo ("vorlix-under-test")) << app.err ();
    Window window = 0;
    for (int i = 0; i < 500 && !window; ++i, std::this_thread::sleep_for (10ms))
        window = findWindow (x, DefaultRootWindow (x), "Vorlix307 - ");
    ASSERT_NE (window, 0u) << app.err ();
    char* title = nullptr;
    XFetchName (x, window, &title);
    ASSERT_NE (title, nullptr);
    EXPECT_STREQ (title, "Vorlix307 - InitSaw");
    XFree (title);

    // The picture settles once the artwork is up: then it is the editor's screenshot.
    Picture shown, previous;
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for (50ms))
    {
        shown = grab (x, window);
        if (!shown.rgb.empty () && shown.rgb == previous.rgb && std::count (shown.rgb.begin (), shown.rgb.end (), 0) < static_cast<long> (shown.rgb.size ()) / 2)
            break;
        previous = shown;
    }
    Picture reference;
    ASSERT_TRUE (readPng (VORLIX_SOURCE_DIR "/docs/editor.png", reference));
    ASSERT_EQ (shown.width, reference.width);
    ASSERT_EQ (shown.height, reference.height);
    long differing = 0;
    for (size_t i = 0; i < shown.rgb.size (); ++i)
        differing += shown.rgb[i] != reference.rgb[i];
    EXPECT_EQ (differing, 0) << "colour components that differ from the editor screenshot";

    // Keys typed into the window play; a key held when the focus leaves is released.
    tester.start ({}, 400); // about 2.1 s
    XSetInputFocus (x, window, RevertToPointerRoot, CurrentTime);
    XSync (x, False);
    std::this_thread::sleep_for (100ms);
    const KeyCode z = XKeysymToKeycode (x, XK_z);
    XTestFakeKeyEvent (x, z, True, CurrentTime);
    XSync (x, False);
    std::this_thread::sleep_for (400ms);
    XSetInputFocus (x, PointerRoot, RevertToPointerRoot, CurrentTime); // the key is still down
    XSync (x, False);
    ASSERT_TRUE (tester.wait ());
    XTestFakeKeyEvent (x, z, False, CurrentTime);
    XSync (x, False);
    EXPECT_EQ (app.stop (SIGTERM), 0) << app.err ();
    XCloseDisplay (x);

    EXPECT_GT (tester.peak (0.2, 0.5), 0.01f) << "the key played";
    EXPECT_LT (tester.peak (1.8, 2.1), 1e-4f) << "silent after the focus left: the note was released";
}
