// The MIDI reader on files built byte by byte: timing through tempo changes and SMPTE time,
// running status, track merging, and refusal of malformed or truncated files.
#include "MidiBytes.h"
#include "tools/render/MidiFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace MidiBytes;
using Vorlix::Render::NoteEvent;
using Vorlix::Render::NoteSequence;
using Vorlix::Render::parseMidiFile;

namespace {
NoteSequence parse (const Bytes& b)
{
    NoteSequence s;
    std::string error;
    EXPECT_TRUE (parseMidiFile (b.data (), b.size (), s, error)) << error;
    return s;
}

void expectNote (const NoteEvent& e, double seconds, bool on, int pitch, float velocity, int channel = 0)
{
    EXPECT_NEAR (e.seconds, seconds, 1e-9);
    EXPECT_EQ (e.on, on);
    EXPECT_EQ (e.pitch, pitch);
    EXPECT_FLOAT_EQ (e.velocity, velocity);
    EXPECT_EQ (e.channel, channel);
}
} // namespace

TEST (MidiFile, FormatZeroWithRunningStatusAndZeroVelocityNoteOff)
{
    Bytes t;
    event (t, 0, {0x91, 60, 127});   // channel 1
    event (t, 240, {62, 64});        // running status: another note-on
    event (t, 240, {60, 0});         // note-on with velocity 0 ends note 60
    event (t, 0, {0xC1, 5});         // program change: skipped, keeps running status valid
    event (t, 480, {0x81, 62, 32});  // explicit note-off with release velocity
    endOfTrack (t, 480);
    const NoteSequence s = parse (file (0, 480, {t}));
    ASSERT_EQ (s.events.size (), 4u);
    expectNote (s.events[0], 0.0, true, 60, 1.f, 1);
    expectNote (s.events[1], 0.25, true, 62, 64 / 127.f, 1);
    expectNote (s.events[2], 0.5, false, 60, 0.f, 1);
    expectNote (s.events[3], 1.0, false, 62, 32 / 127.f, 1);
    EXPECT_NEAR (s.lengthSeconds, 1.5, 1e-9); // the end of track counts, not just the last note
}

TEST (MidiFile, FormatOneMergesTracksThroughTempoChanges)
{
    Bytes conductor;
    tempo (conductor, 0, 250000);    // 240 bpm: a quarter is 0.25 s
    tempo (conductor, 960, 1000000); // from tick 960 (0.5 s): a quarter is 1 s
    endOfTrack (conductor);
    Bytes a;
    event (a, 480, {0x90, 48, 100});  // 0.25 s
    event (a, 960, {0x80, 48, 0});    // tick 1440: 0.5 s + one quarter at 1 s = 1.5 s
    endOfTrack (a);
    Bytes b;
    event (b, 480, {0x92, 72, 90});   // same tick as track a: comes after it
    event (b, 1920, {0x92, 72, 0});   // tick 2400: 0.5 + 1440/480 = 3.5 s
    endOfTrack (b);
    const NoteSequence s = parse (file (1, 480, {conductor, a, b}));
    ASSERT_EQ (s.events.size (), 4u);
    expectNote (s.events[0], 0.25, true, 48, 100 / 127.f);
    expectNote (s.events[1], 0.25, true, 72, 90 / 127.f, 2);
    expectNote (s.events[2], 1.5, false, 48, 0.f);
    expectNote (s.events[3], 3.5, false, 72, 0.f, 2);
    EXPECT_NEAR (s.lengthSeconds, 3.5, 1e-9);
}

TEST (MidiFile, SmpteTimeIgnoresTempoAndSkipsOtherChunksAndEvents)
{
    Bytes t;
    tempo (t, 0, 1000000);                             // no effect with SMPTE time
    event (t, 0, {0xF0, 0x03, 0x7E, 0x09, 0xF7});      // system exclusive: skipped
    event (t, 0, {0xFF, 0x03, 0x04, 'l', 'e', 'a', 'd'}); // track name: skipped
    event (t, 1000, {0x90, 64, 127});
    endOfTrack (t);
    Bytes bytes = header (0, 1, 0xE728); // -25 fps, 40 ticks per frame: 1 ms per tick
    const Bytes junk = chunk ("XFIH", {1, 2, 3});
    bytes.insert (bytes.end (), junk.begin (), junk.end ());
    const Bytes track = chunk ("MTrk", t);
    bytes.insert (bytes.end (), track.begin (), track.end ());
    const NoteSequence s = parse (bytes);
    ASSERT_EQ (s.events.size (), 1u);
    expectNote (s.events[0], 1.0, true, 64, 1.f);
}

TEST (MidiFile, RefusesMalformedAndTruncatedFiles)
{
    auto withTrack = [] (std::initializer_list<int> body) {
        Bytes t;
        append (t, body);
        return file (0, 96, {t});
    };
    Bytes good;
    event (good, 0, {0x90, 60, 100});
    event (good, 96, {0x80, 60, 0});
    endOfTrack (good);
    const Bytes whole = file (0, 96, {good});
    Bytes cutInEvent = whole;
    cutInEvent.resize (whole.size () - 5);
    Bytes cutChunkBody = file (0, 96, {good});
    cutChunkBody[21] = static_cast<std::uint8_t> (cutChunkBody[21] + 1); // chunk claims one byte more
    Bytes wrongMagic = whole;
    wrongMagic[3] = 'x';
    Bytes eventCutInChunk;
    event (eventCutInChunk, 0, {0x90, 60}); // the chunk ends inside the note-on

    struct Case
    {
        const char* what;
        Bytes bytes;
        const char* expected;
    };
    const std::vector<Case> cases {
        {"empty", {}, "no MThd"},
        {"wrong magic", wrongMagic, "no MThd"},
        {"header only half there", Bytes (whole.begin (), whole.begin () + 10), "truncated MIDI header"},
        {"format 2", file (2, 96, {good}), "format 2"},
        {"no tracks", header (0, 0, 96), "0 tracks"},
        {"zero division", file (0, 0, {good}), "0 ticks"},
        {"bad SMPTE rate", file (0, 0xEA28, {good}), "SMPTE"},
        {"file cut inside an event", cutInEvent, "truncated"},
        {"chunk longer than file", cutChunkBody, "truncated"},
        {"event cut at chunk end", file (0, 96, {eventCutInChunk}), "truncated"},
        {"missing track", header (0, 2, 96), "2 tracks announced, 0 found"},
        {"data without status", withTrack ({0x00, 60, 100}), "without a status byte"},
        {"running status after meta", withTrack ({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 62, 100}),
         "without a status byte"},
        {"status byte as data", withTrack ({0x00, 0x90, 60, 0x90}), "status byte where a data byte"},
        {"system common in file", withTrack ({0x00, 0xF4}), "unexpected status byte 0xF4"},
        {"five-byte delta", withTrack ({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}), "longer than 4 bytes"},
        {"meta length past end", withTrack ({0x00, 0xFF, 0x01, 0x10, 'a'}), "truncated"},
    };
    for (const Case& c : cases)
    {
        NoteSequence s;
        std::string error;
        EXPECT_FALSE (parseMidiFile (c.bytes.data (), c.bytes.size (), s, error)) << c.what;
        EXPECT_NE (error.find (c.expected), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ (error.find ('\n'), std::string::npos) << c.what;
    }
    // The intact file reads.
    EXPECT_EQ (parse (whole).events.size (), 2u);
}

TEST (MidiFile, ReadErrorsNameThePath)
{
    const std::string dir = std::filesystem::temp_directory_path ().string ();
    const std::string path = dir + "/vorlix-midi-test-" + std::to_string (::getpid ()) + ".mid";
    write (path, header (0, 1, 96));
    struct Case
    {
        std::string path;
        std::string expected;
    };
    // A FIFO without a writer and an endless device are refused at once, not waited on or read.
    const std::string fifo = path + ".fifo";
    ASSERT_EQ (::mkfifo (fifo.c_str (), 0600), 0);
    const Case cases[] = {{dir + "/no-such-file.mid", "cannot read MIDI file"},
                          {dir, "cannot read MIDI file " + dir + " (not a regular file)"},
                          {fifo, "cannot read MIDI file " + fifo + " (not a regular file)"},
                          {"/dev/zero", "cannot read MIDI file /dev/zero (not a regular file)"},
                          {path, path + ": truncated file: 1 tracks announced, 0 found"}};
    for (const Case& c : cases)
    {
        NoteSequence s;
        std::string error;
        EXPECT_FALSE (Vorlix::Render::readMidiFile (c.path, s, error));
        EXPECT_NE (error.find (c.expected), std::string::npos) << error;
    }
    std::filesystem::remove (path);
    std::filesystem::remove (fifo);
}
