// What the standalone app costs while it plays: holds N notes in a running vorlix307 through its
// MIDI input and reads the app's CPU time and memory from /proc over a few seconds. A JACK
// client rather than a Google Benchmark case, because the figure that matters is the real-time
// process's load at the server's own buffer size.
//   vorlix-app-load PID [CLIENT] [VOICES] [SECONDS]
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

jack_port_t* midiOut = nullptr;
std::atomic<int> toSend {0};

int process (jack_nframes_t frames, void*)
{
    void* buffer = jack_port_get_buffer (midiOut, frames);
    jack_midi_clear_buffer (buffer);
    // Notes 43, 46, ... as the engine benchmarks hold them; one per cycle until all are down.
    if (const int left = toSend.load (); left > 0)
    {
        const int index = toSend.exchange (left - 1) - 1;
        const unsigned char on[3] = {0x90, static_cast<unsigned char> (43 + 3 * index), 100};
        jack_midi_event_write (buffer, 0, on, 3);
    }
    return 0;
}

double cpuSeconds (int pid)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/stat");
    std::string text ((std::istreambuf_iterator<char> (in)), {});
    std::istringstream fields (text.substr (text.rfind (')') + 2));
    std::string f;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i)
        if (i == 14)
            utime = std::stoull (f);
        else if (i == 15)
            stime = std::stoull (f);
    return static_cast<double> (utime + stime) / static_cast<double> (sysconf (_SC_CLK_TCK));
}

std::string memory (int pid)
{
    std::ifstream in ("/proc/" + std::to_string (pid) + "/status");
    std::string line, out;
    while (std::getline (in, line))
        if (line.rfind ("VmRSS:", 0) == 0 || line.rfind ("VmHWM:", 0) == 0)
            out += line.substr (0, 6) + " " + std::to_string (std::atol (line.c_str () + 6) / 1024) + " MiB  ";
    return out;
}

} // namespace

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf (stderr, "usage: vorlix-app-load PID [CLIENT] [VOICES] [SECONDS]\n");
        return 2;
    }
    const int pid = std::atoi (argv[1]);
    const std::string app = argc > 2 ? argv[2] : "vorlix307";
    const int voices = argc > 3 ? std::atoi (argv[3]) : 10;
    const double seconds = argc > 4 ? std::atof (argv[4]) : 10.0;
    jack_client_t* client = jack_client_open ("vorlix-app-load", JackNoStartServer, nullptr);
    if (!client)
    {
        std::fprintf (stderr, "vorlix-app-load: no JACK server\n");
        return 2;
    }
    midiOut = jack_port_register (client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback (client, &process, nullptr);
    jack_activate (client);
    if (jack_connect (client, jack_port_name (midiOut), (app + ":midi_in").c_str ()) != 0)
    {
        std::fprintf (stderr, "vorlix-app-load: cannot connect to %s:midi_in\n", app.c_str ());
        return 1;
    }
    const double idleStart = cpuSeconds (pid);
    std::this_thread::sleep_for (std::chrono::duration<double> (seconds));
    const double idle = (cpuSeconds (pid) - idleStart) / seconds;
    toSend.store (voices);
    std::this_thread::sleep_for (std::chrono::seconds (1)); // all down, attacks over
    const double start = cpuSeconds (pid);
    std::this_thread::sleep_for (std::chrono::duration<double> (seconds));
    const double busy = (cpuSeconds (pid) - start) / seconds;
    std::printf ("rate %u Hz, buffer %u frames: idle %.1f %% of a core, %d voices %.1f %% of a core "
                 "(JACK DSP load %.1f %%); %s\n",
                 jack_get_sample_rate (client), jack_get_buffer_size (client), 100 * idle, voices, 100 * busy,
                 jack_cpu_load (client), memory (pid).c_str ());
    jack_client_close (client);
    return 0;
}
