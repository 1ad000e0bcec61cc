#include "apps/standalone/MidiStreamParser.h"
#include "apps/standalone/MidiToInstrument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Vorlix::App;

namespace {

std::vector<std::string> parseAll (MidiStreamParser& p, const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> out;
    p.feed (bytes.data (), bytes.size (), [&] (const ChannelMessage& m) {
        char text[16];
        std::snprintf (text, sizeof text, "%02X %d %d", m.status, m.data1, m.data2);
        out.push_back (text);
    });
    return out;
}

// Records what the instrument would be told.
struct FakeBlock
{
    std::vector<std::string> calls;
    void midiMessage (const std::uint8_t* bytes, int size)
    {
        std::string call;
        for (int i = 0; i < size; ++i)
            call += (i ? " " : "") + std::to_string (bytes[i]);
        calls.push_back (call);
    }
};

} // namespace

TEST (MidiStreamParser, EveryShapeOfInputGivesWholeMessages)
{
    using S = std::vector<std::string>;
    const struct
    {
        const char* what;
        std::vector<std::uint8_t> bytes;
        S expected;
    } cases[] = {
        {"plain note on and off", {0x90, 60, 100, 0x80, 60, 0}, S {"90 60 100", "80 60 0"}},
        {"running status", {0x93, 60, 100, 64, 90, 60, 0}, S {"93 60 100", "93 64 90", "93 60 0"}},
        {"one data byte messages", {0xC2, 5, 7, 0xD0, 33}, S {"C2 5 0", "C2 7 0", "D0 33 0"}},
        {"stray data bytes before any status", {60, 100, 0x90, 61, 1}, S {"90 61 1"}},
        {"real-time bytes inside a message", {0x90, 0xF8, 60, 0xFE, 100}, S {"90 60 100"}},
        {"SysEx of any length is skipped", {0xF0, 0x7E, 0x40, 1, 2, 0xF7, 0x91, 62, 3}, S {"91 62 3"}},
        {"SysEx cancels running status", {0x90, 60, 100, 0xF0, 1, 0xF7, 61, 100}, S {"90 60 100"}},
        {"system common cancels running status", {0x90, 60, 100, 0xF2, 1, 2, 62, 1}, S {"90 60 100"}},
        {"a status cut short is replaced", {0x90, 60, 0xB0, 123, 0}, S {"B0 123 0"}},
        {"unterminated SysEx ends at the next status", {0xF0, 1, 2, 0x9F, 60, 1}, S {"9F 60 1"}},
    };
    for (const auto& c : cases)
    {
        MidiStreamParser p;
        EXPECT_EQ (parseAll (p, c.bytes), c.expected) << c.what;
    }
}

TEST (MidiStreamParser, MessagesSplitAcrossEventsArriveWhole)
{
    MidiStreamParser p;
    EXPECT_TRUE (parseAll (p, {0x90, 60}).empty ());
    EXPECT_EQ (parseAll (p, {100, 62}), std::vector<std::string> {"90 60 100"});
    EXPECT_EQ (parseAll (p, {90}), std::vector<std::string> {"90 62 90"});
    p.reset ();
    EXPECT_TRUE (parseAll (p, {64, 1}).empty ()); // nothing left to run on after a reset
}

TEST (MidiToInstrument, EveryChannelMessageButProgramChangeReachesTheCore)
{
    MidiToInstrument midi;
    FakeBlock block;
    for (ChannelMessage m : {ChannelMessage {0x90, 60, 127}, ChannelMessage {0x9F, 64, 0}, ChannelMessage {0x85, 60, 64},
                             ChannelMessage {0xE0, 0, 64}, ChannelMessage {0xB3, 64, 127}, ChannelMessage {0xC0, 5, 0}})
        midi.apply (block, m);
    EXPECT_EQ (block.calls, (std::vector<std::string> {"144 60 127", "159 64 0", "133 60 64", "224 0 64", "179 64 127"}));
}

TEST (MidiToInstrument, ProgramChangeIsHandedOverNewestFirst)
{
    MidiToInstrument midi;
    FakeBlock block;
    EXPECT_EQ (midi.takeProgramRequest (), -1);
    midi.apply (block, {0xC0, 5, 0});
    midi.apply (block, {0xCF, 9, 0}); // any channel; the newest wins
    EXPECT_EQ (midi.takeProgramRequest (), 9);
    EXPECT_EQ (midi.takeProgramRequest (), -1); // taken once
    EXPECT_TRUE (block.calls.empty ());
}
