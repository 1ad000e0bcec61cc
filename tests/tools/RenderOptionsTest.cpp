// The command line: every option in both spellings, and one clear line for each mistake.
#include "tools/render/RenderOptions.h"

#include <gtest/gtest.h>

using Vorlix::Render::parseRenderOptions;
using Vorlix::Render::RenderOptions;

TEST (RenderOptions, ReadsEveryOption)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE (parseRenderOptions ({"--plugin", "/p/V.vst3", "--program", "bass-vorlix", "--preset=x.json", "--midi",
                                      "song.mid", "--seconds", "2.5", "--rate=44100", "--block", "64", "--out", "o.wav",
                                      "--save-state", "s.bin", "--export-preset", "p.json", "--info", "--list-programs",
                                      "--oscillators", "classic"},
                                     o, error))
        << error;
    EXPECT_EQ (o.plugin, "/p/V.vst3");
    EXPECT_EQ (o.program, "bass-vorlix");
    EXPECT_EQ (o.preset, "x.json");
    EXPECT_EQ (o.midi, "song.mid");
    EXPECT_EQ (o.seconds, 2.5);
    EXPECT_EQ (o.rate, 44100.0);
    EXPECT_EQ (o.block, 64);
    EXPECT_EQ (o.out, "o.wav");
    EXPECT_EQ (o.saveState, "s.bin");
    EXPECT_EQ (o.exportPreset, "p.json");
    EXPECT_TRUE (o.info);
    EXPECT_TRUE (o.listPrograms);
    EXPECT_EQ (o.precise, false);
    ASSERT_TRUE (parseRenderOptions ({"--oscillators=precise"}, o, error)) << error;
    EXPECT_EQ (o.precise, true);

    RenderOptions defaults;
    ASSERT_TRUE (parseRenderOptions ({}, defaults, error));
    EXPECT_EQ (defaults.out, "vorlix.wav");
    EXPECT_EQ (defaults.rate, 48000.0);
    EXPECT_FALSE (defaults.seconds.has_value ());
    EXPECT_FALSE (defaults.program.has_value ());
    EXPECT_TRUE (defaults.midi.empty ());
    EXPECT_FALSE (defaults.precise.has_value ()); // the instance's own choice
}

TEST (RenderOptions, RefusesMistakesWithOneLine)
{
    struct Case
    {
        std::vector<std::string> args;
        const char* expected;
    };
    const std::vector<Case> cases {
        {{"--bogus"}, "unknown option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"song.mid"}, "unexpected argument 'song.mid'"},
        {{"--midi"}, "--midi needs a value FILE.mid"},
        {{"--out", "--info"}, "--out needs a value"},
        {{"--out="}, "--out: empty value"},
        {{"--info=1"}, "--info takes no value"},
        {{"--rate", "abc"}, "--rate: expected a sample rate"},
        {{"--rate", "1000"}, "--rate: expected a sample rate"},
        {{"--rate", "nan"}, "--rate: expected a sample rate"},
        {{"--rate", "44100.5"}, "--rate: expected a sample rate"},
        {{"--block", "0"}, "--block: expected a block size"},
        {{"--block", "64.5"}, "--block: expected a block size"},
        {{"--block", "99999999999999999999"}, "--block: expected a block size"},
        {{"--seconds", "-1"}, "--seconds: expected seconds"},
        {{"--seconds", "inf"}, "--seconds: expected seconds"},
        {{"--seconds", "1e9"}, "--seconds: expected seconds"},
        {{"--oscillators", "exact"}, "--oscillators: expected classic or precise"},
        {{"--oscillators=Precise"}, "--oscillators: expected classic or precise"},
    };
    for (const Case& c : cases)
    {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE (parseRenderOptions (c.args, o, error)) << c.args[0];
        EXPECT_NE (error.find (c.expected), std::string::npos) << error;
        EXPECT_EQ (error.find ('\n'), std::string::npos) << error;
    }
}
