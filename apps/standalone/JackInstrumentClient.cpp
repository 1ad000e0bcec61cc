#include "apps/standalone/JackInstrumentClient.h"

#include "apps/standalone/PlayCycle.h"

#include "VorlixInstrument.h"
#include "VorlixPrograms.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Vorlix::App {

std::string noServerMessage ()
{
    return "no JACK server is running: start one (jackd, e.g. 'jackd -d alsa', or PipeWire's JACK "
           "via pipewire-jack) and try again";
}

JackInstrumentClient::JackInstrumentClient (VorlixInstrument& i)
: instrument (i)
{
    if (::pipe2 (wakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
        wakePipe[0] = wakePipe[1] = -1;
}

JackInstrumentClient::~JackInstrumentClient ()
{
    close ();
    for (int fd : wakePipe)
        if (fd >= 0)
            ::close (fd);
}

JackInstrumentClient::OpenResult JackInstrumentClient::open (const std::string& name, std::string& error)
{
    close ();
    jack_status_t status {};
    client = jack_client_open (name.c_str (), JackNoStartServer, &status);
    if (!client)
    {
        if (status & JackServerFailed)
        {
            error = noServerMessage ();
            return OpenResult::noServer;
        }
        error = (status & JackInvalidOption) || (status & JackNameNotUnique)
                    ? "JACK refused the client name '" + name + "'"
                    : "the JACK server refused the client (status 0x" + [&] {
                          char hex[16];
                          std::snprintf (hex, sizeof hex, "%x", static_cast<unsigned> (status));
                          return std::string (hex);
                      }() + ")";
        return OpenResult::failed;
    }
    serverGone.store (false);
    xrunCount.store (0);
    parser.reset ();
    left = jack_port_register (client, kLeftPort, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    right = jack_port_register (client, kRightPort, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    midiIn = jack_port_register (client, kMidiPort, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!left || !right || !midiIn)
    {
        error = "JACK would not register the ports";
        close ();
        return OpenResult::failed;
    }
    jack_set_process_callback (client, &processCallback, this);
    jack_set_sample_rate_callback (client, &sampleRateCallback, this);
    jack_set_xrun_callback (client, &xrunCallback, this);
    jack_on_info_shutdown (client, &shutdownCallback, this);

    // The float path renders any block length, so a buffer-size change needs nothing but the
    // next callback's frame count; only the rate is set up ahead.
    serverRate.store (jack_get_sample_rate (client));
    instrument.setActive (false);
    instrument.setupProcessing (static_cast<double> (serverRate.load ()), static_cast<int> (jack_get_buffer_size (client)));
    instrumentRate = static_cast<float> (serverRate.load ());
    instrument.setActive (true);
    if (jack_activate (client) != 0)
    {
        error = "JACK would not activate the client";
        close ();
        return OpenResult::failed;
    }
    return OpenResult::ok;
}

void JackInstrumentClient::connect (const AppOptions& options, std::vector<std::string>& warnings)
{
    if (!client || options.noConnect)
        return;
    auto link = [&] (const std::string& from, const std::string& to) {
        const int r = jack_connect (client, from.c_str (), to.c_str ());
        if (r != 0 && r != EEXIST)
            warnings.push_back ("cannot connect " + from + " to " + to);
    };
    const std::string self = clientName () + ":";
    std::vector<std::string> outs = options.audioConnect;
    if (outs.empty ())
    {
        if (const char** physical = jack_get_ports (client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                                    JackPortIsPhysical | JackPortIsInput))
        {
            for (int k = 0; physical[k] && k < 2; ++k)
                outs.push_back (physical[k]);
            jack_free (physical);
        }
        if (outs.size () == 1)
            outs.push_back (outs[0]); // a mono device hears both sides
    }
    if (outs.size () == 2)
    {
        link (self + kLeftPort, outs[0]);
        link (self + kRightPort, outs[1]);
    }
    for (const std::string& source : options.midiConnect)
        link (source, self + kMidiPort);
}

void JackInstrumentClient::close ()
{
    if (!client)
        return;
    if (!serverGone.load ())
    {
        jack_deactivate (client);
        for (jack_port_t* p : {left, right, midiIn})
            if (p)
                jack_port_unregister (client, p);
    }
    jack_client_close (client);
    client = nullptr;
    left = right = midiIn = nullptr;
    instrument.setActive (false);
}

std::string JackInstrumentClient::clientName () const
{
    return client ? std::string (jack_get_client_name (client)) : std::string ();
}

bool JackInstrumentClient::service ()
{
    char drain[64];
    while (wakePipe[0] >= 0 && ::read (wakePipe[0], drain, sizeof drain) > 0)
    {
    }
    if (!client)
        return true;
    if (serverGone.load ())
    {
        close ();
        return false;
    }
    followRate ();
    const int program = midi.takeProgramRequest ();
    // Program numbers past the bank select nothing, as on a hardware synth with fewer programs.
    if (program >= 0 && program < num_programs)
        instrument.selectProgram (static_cast<float> (program));
    return true;
}

void JackInstrumentClient::followRate ()
{
    const jack_nframes_t rate = serverRate.load ();
    if (rate == 0 || static_cast<float> (rate) == instrumentRate)
        return;
    // While inactive the process callback outputs silence: the engine is set up again from scratch.
    instrument.setActive (false);
    instrument.setupProcessing (static_cast<double> (rate), static_cast<int> (jack_get_buffer_size (client)));
    instrument.setActive (true);
    instrumentRate = static_cast<float> (rate);
}

bool JackInstrumentClient::postNote (int pitch, int velocity)
{
    if (pitch < 0 || pitch > 127)
        return true; // nothing to play: dropped, not retried
    return uiNotes.push ({static_cast<std::uint8_t> (pitch), static_cast<std::uint8_t> (std::clamp (velocity, 0, 127))});
}

void JackInstrumentClient::wake ()
{
    if (wakePipe[1] >= 0)
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write (wakePipe[1], &byte, 1); // full pipe: already awake
    }
}

int JackInstrumentClient::processCallback (jack_nframes_t frames, void* self)
{
    return static_cast<JackInstrumentClient*> (self)->process (frames);
}

int JackInstrumentClient::sampleRateCallback (jack_nframes_t rate, void* self)
{
    auto* me = static_cast<JackInstrumentClient*> (self);
    me->serverRate.store (rate);
    me->wake ();
    return 0;
}

int JackInstrumentClient::xrunCallback (void* self)
{
    // Nothing to repair: the next cycle renders on from where the engine is.
    static_cast<JackInstrumentClient*> (self)->xrunCount.fetch_add (1, std::memory_order_relaxed);
    return 0;
}

void JackInstrumentClient::shutdownCallback (jack_status_t, const char*, void* self)
{
    auto* me = static_cast<JackInstrumentClient*> (self);
    me->serverGone.store (true);
    me->wake ();
}

int JackInstrumentClient::process (jack_nframes_t frames)
{
    auto* outL = static_cast<float*> (jack_port_get_buffer (left, frames));
    auto* outR = static_cast<float*> (jack_port_get_buffer (right, frames));
    void* events = jack_port_get_buffer (midiIn, frames);

    VorlixInstrument::AudioBlock block (instrument);
    if (!block.ownsEngine ())
    {
        // The main thread is setting the engine up (a rate change): silence for this cycle.
        std::fill (outL, outL + frames, 0.f);
        std::fill (outR, outR + frames, 0.f);
        return 0;
    }
    // The computer keyboard's notes, then MIDI at its frames, then the rest of the cycle.
    playCycle (block, parser, midi, uiNotes, jack_midi_get_event_count (events),
               [events] (std::uint32_t i, CycleEvent& out) {
                   jack_midi_event_t event {};
                   if (jack_midi_event_get (&event, events, i) != 0)
                       return false;
                   out = {event.time, event.buffer, event.size};
                   return true;
               },
               outL, outR, frames);
    // A re-centred detune has no host to be told here: the instrument's own values already hold it.
    block.reportRecentredDetunes ([] (int, float) { return true; });
    return 0;
}

} // namespace Vorlix::App
