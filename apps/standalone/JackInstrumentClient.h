// The instrument as a JACK client: two audio outputs and one MIDI input with stable names, the
// server's rate and buffer size followed. A thin adapter: the process callback turns JACK's MIDI
// events into the core's notes at their frame offsets and renders; everything about the sound
// is the core's.
//
// Threads: the process callback runs on JACK's real-time thread and takes no lock, allocates
// nothing and makes no system call. The notification callbacks (shutdown, rate, xrun) only set
// atomics and wake the main thread through a pipe. Everything else is the main thread's, which is
// the instrument's user-interface thread.
#pragma once

#include "apps/standalone/AppOptions.h"
#include "apps/standalone/MidiToInstrument.h"
#include "apps/standalone/NoteQueue.h"

#include <jack/jack.h>

#include <atomic>
#include <string>
#include <vector>

class VorlixInstrument;

namespace Vorlix::App {

class JackInstrumentClient
{
public:
    /** Port short names; patchbays remember connections by them, so they never change. */
    static constexpr const char* kLeftPort = "out_L";
    static constexpr const char* kRightPort = "out_R";
    static constexpr const char* kMidiPort = "midi_in";

    enum class OpenResult
    {
        ok,
        noServer, // nothing to connect to: the caller says which server to start
        failed,   // a server, but the client or its ports could not be made
    };

    explicit JackInstrumentClient (VorlixInstrument& instrument);
    ~JackInstrumentClient ();
    JackInstrumentClient (const JackInstrumentClient&) = delete;
    JackInstrumentClient& operator= (const JackInstrumentClient&) = delete;

    /** Opens the client (never starts a server), registers the ports, sets the instrument up at
        the server's rate and activates. On failure nothing stays open and `error` is one line. */
    OpenResult open (const std::string& clientName, std::string& error);
    /** Makes the connections the options ask for; each one that fails adds a line to `warnings`. */
    void connect (const AppOptions& options, std::vector<std::string>& warnings);
    /** Deactivates, unregisters the ports and closes. Safe when not open. */
    void close ();
    bool isOpen () const { return client != nullptr; }
    /** The name the server gave (it appends a number when the asked one is taken). */
    std::string clientName () const;

    /** Readable when the main thread has something to do: call service (). */
    int wakeFd () const { return wakePipe[0]; }
    /** Main thread: applies a rate change and MIDI program changes; returns false when the
        server has gone away (the client is then closed and may be opened again). */
    bool service ();

    /** Main thread. A note for the start of the next cycle (the computer keyboard's); false when
        the queue is full (offer it again later). */
    bool postNote (int pitch, int velocity);

    /** Xruns seen since opening (any thread). */
    int xruns () const { return xrunCount.load (std::memory_order_relaxed); }

private:
    static int processCallback (jack_nframes_t frames, void* self);
    static int sampleRateCallback (jack_nframes_t rate, void* self);
    static int xrunCallback (void* self);
    static void shutdownCallback (jack_status_t code, const char* reason, void* self);
    int process (jack_nframes_t frames);
    void wake ();
    void followRate ();

    VorlixInstrument& instrument;
    jack_client_t* client = nullptr;
    jack_port_t* left = nullptr;
    jack_port_t* right = nullptr;
    jack_port_t* midiIn = nullptr;
    int wakePipe[2] = {-1, -1};

    // Audio thread only.
    MidiStreamParser parser;
    MidiToInstrument midi;
    NoteQueue uiNotes; // main thread to audio thread

    std::atomic<bool> serverGone {false};
    std::atomic<jack_nframes_t> serverRate {0};
    float instrumentRate = 0.f; // main thread: the rate the instrument is set up for
    std::atomic<int> xrunCount {0};
};

/** The one-line message for a missing server, naming what to start. */
std::string noServerMessage ();

} // namespace Vorlix::App
