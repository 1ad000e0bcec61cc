// vorlix307: the instrument as a standalone JACK client.
#include "apps/standalone/AppOptions.h"
#include "apps/standalone/AppWindow.h"
#include "apps/standalone/JackInstrumentClient.h"
#include "apps/standalone/StartingSound.h"
#include "apps/standalone/StateFile.h"

#include "VorlixInstrument.h"

#include <jack/jack.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

using namespace Vorlix::App;

constexpr int kExitUsage = 64;  // a malformed command line (sysexits' EX_USAGE)
constexpr int kExitNoServer = 2;
constexpr int kExitFailure = 1;

void say (const std::string& line) { std::fprintf (stderr, "vorlix307: %s\n", line.c_str ()); }

// libjack's own diagnostics are several lines per failure; the app says what matters in one.
void quietJack (const char*) {}

/** Chooses the starting sound; false (after saying why) when the command line's choice fails. */
bool startingSound (VorlixInstrument& instrument, const AppOptions& options, const std::string& statePath)
{
    if (!options.program.empty ())
    {
        const int index = findProgram (options.program);
        if (index < 0)
        {
            say ("--program: no built-in program '" + options.program + "' (0-60 or an exact name)");
            return false;
        }
        instrument.loadProgram (index);
        return true;
    }
    if (!options.preset.empty ())
    {
        std::string error;
        if (!loadPresetFile (instrument, options.preset, error))
        {
            say ("--preset: " + error);
            return false;
        }
        return true;
    }
    if (statePath.empty ())
        return true;
    const StateLoad saved = loadStateFile (statePath);
    if (!saved.warning.empty ())
        say ("warning: " + saved.warning);
    if (saved.record)
        instrument.restoreState (*saved.record);
    return true;
}

} // namespace

int main (int argc, char** argv)
{
    AppOptions options;
    std::string error;
    if (!parseAppOptions (argc, argv, options, error))
    {
        say (error);
        return kExitUsage;
    }
    if (options.help)
    {
        std::fputs (appUsage ().c_str (), stdout);
        return 0;
    }
    if (options.version)
    {
        std::printf ("vorlix307 %s\n", VORLIX_VERSION);
        return 0;
    }
    if (!options.headless)
    {
        const char* display = std::getenv ("DISPLAY");
        if (!display || !*display)
        {
            say ("no display (DISPLAY is not set): running headless");
            options.headless = true;
        }
    }

    // SIGINT and SIGTERM arrive as readable data on a descriptor the main loop polls, never as a
    // handler interrupting whatever runs. Blocked before JACK starts its threads, which inherit
    // the mask, so only this descriptor ever sees them.
    sigset_t stopSignals;
    sigemptyset (&stopSignals);
    sigaddset (&stopSignals, SIGINT);
    sigaddset (&stopSignals, SIGTERM);
    sigaddset (&stopSignals, SIGHUP);
    pthread_sigmask (SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = signalfd (-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    if (signalFd < 0)
    {
        say ("cannot watch for signals");
        return kExitFailure;
    }

    // A server that goes away mid-write would otherwise end the app before it saves the sound.
    std::signal (SIGPIPE, SIG_IGN);
    jack_set_error_function (&quietJack);
    jack_set_info_function (&quietJack);

    const std::string stateDir = stateDirectory ();
    const std::string statePath = stateDir.empty () ? std::string () : stateDir + "/state";
    if (stateDir.empty ())
        say ("warning: neither XDG_CONFIG_HOME nor HOME is set; the sound will not be remembered");

    // What the instrument reports goes to the window, when there is one.
    struct ShowChanges : VorlixInstrument::Listener
    {
        Vorlix::App::AppWindow* window = nullptr;
        void valuesReloaded () override { refreshEditor (); }
        void refreshEditor () override
        {
            if (window)
                window->refresh ();
        }
    } showChanges;
    VorlixInstrument instrument;
    instrument.setListener (&showChanges);
    instrument.initialize ();
    if (!startingSound (instrument, options, statePath))
        return kExitFailure;

    JackInstrumentClient jack (instrument);
    switch (jack.open (options.clientName, error))
    {
        case JackInstrumentClient::OpenResult::ok:
            break;
        case JackInstrumentClient::OpenResult::noServer:
            say (error);
            return kExitNoServer;
        case JackInstrumentClient::OpenResult::failed:
            say (error);
            return kExitFailure;
    }
    std::vector<std::string> warnings;
    jack.connect (options, warnings);
    for (const std::string& w : warnings)
        say ("warning: " + w);
    std::fprintf (stderr, "vorlix307: running as JACK client '%s'\n", jack.clientName ().c_str ());

    AppWindow window (instrument, [&jack] (int pitch, int velocity) { return jack.postNote (pitch, velocity); });
    if (!options.headless)
    {
        if (window.open (error))
            showChanges.window = &window;
        else
            say (error + ": running headless");
    }

    // The main loop: signals, the server's news, program changes. A short timeout picks up MIDI
    // program changes, which the audio thread may not announce with a system call.
    bool running = true;
    bool waiting = false; // for a server that went away to come back
    int sinceAttempt = 0;
    while (running)
    {
        pollfd fds[4] = {{signalFd, POLLIN, 0}, {jack.wakeFd (), POLLIN, 0}, {window.windowFd (), POLLIN, 0},
                         {window.viewFd (), POLLIN, 0}};
        const int ready = ::poll (fds, 4, 20);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN)
        {
            signalfd_siginfo info {};
            while (::read (signalFd, &info, sizeof info) == static_cast<ssize_t> (sizeof info))
                running = false;
            continue;
        }
        window.pump ();
        if (window.closeRequested ())
            break;
        if (waiting)
        {
            if (++sinceAttempt < 50) // about once a second
                continue;
            sinceAttempt = 0;
            if (jack.open (options.clientName, error) == JackInstrumentClient::OpenResult::ok)
            {
                waiting = false;
                warnings.clear ();
                jack.connect (options, warnings);
                say ("the JACK server is back; running as '" + jack.clientName () + "'");
            }
            continue;
        }
        if (!jack.service ())
        {
            say ("the JACK server stopped; waiting for it to come back (Ctrl+C quits)");
            waiting = true;
        }
    }

    showChanges.window = nullptr;
    window.close ();
    jack.close ();
    if (!statePath.empty ())
        if (!saveStateFile (statePath, instrument.stateRecord (), error))
        {
            say ("warning: the sound was not saved: " + error);
            return kExitFailure;
        }
    ::close (signalFd);
    return 0;
}
