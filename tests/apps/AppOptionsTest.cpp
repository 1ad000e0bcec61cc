#include "apps/standalone/AppOptions.h"

#include <gtest/gtest.h>

#include <vector>

using Vorlix::App::AppOptions;
using Vorlix::App::parseAppOptions;

namespace {

bool parse (std::vector<const char*> args, AppOptions& o, std::string& error)
{
    args.insert (args.begin (), "vorlix307");
    return parseAppOptions (static_cast<int> (args.size ()), args.data (), o, error);
}

} // namespace

TEST (AppOptions, AcceptedLinesSetWhatTheySay)
{
    AppOptions o;
    std::string error;
    ASSERT_TRUE (parse ({}, o, error)) << error;
    EXPECT_EQ (o.clientName, "vorlix307");
    EXPECT_FALSE (o.headless);
    EXPECT_TRUE (o.audioConnect.empty ()); // the physical ports by default
    EXPECT_TRUE (o.midiConnect.empty ());  // MIDI left unconnected

    ASSERT_TRUE (parse ({"--headless", "--program", "bass-juno", "--name", "synth2", "--midi-connect", "a:midi",
                         "b:capture", "--audio-connect", "sys:1", "sys:2"},
                        o, error))
        << error;
    EXPECT_TRUE (o.headless);
    EXPECT_EQ (o.program, "bass-juno");
    EXPECT_EQ (o.clientName, "synth2");
    EXPECT_EQ (o.midiConnect, (std::vector<std::string> {"a:midi", "b:capture"}));
    EXPECT_EQ (o.audioConnect, (std::vector<std::string> {"sys:1", "sys:2"}));

    ASSERT_TRUE (parse ({"--preset", "my sound.json", "--no-connect"}, o, error)) << error;
    EXPECT_EQ (o.preset, "my sound.json");
    EXPECT_TRUE (o.noConnect);
    EXPECT_TRUE (o.program.empty ()); // a second parse starts over
}

TEST (AppOptions, MalformedLinesGiveOneLineErrors)
{
    const struct
    {
        std::vector<const char*> args;
        const char* mentions;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--program"}, "--program needs a value"},
        {{"--program", "--headless"}, "--program needs a value"},
        {{"--program", ""}, "non-empty"},
        {{"--preset"}, "--preset needs a value"},
        {{"--name"}, "--name needs a value"},
        {{"--midi-connect"}, "at least one port"},
        {{"--midi-connect", "--headless"}, "at least one port"},
        {{"--audio-connect", "only-one"}, "two ports"},
        {{"--audio-connect", "a", "--headless"}, "two ports"},
        {{"--audio-connect", "a", "b", "--audio-connect", "c", "d"}, "twice"},
        {{"--no-connect", "--audio-connect", "a", "b"}, "contradicts"},
        {{"--midi-connect", "x", "--no-connect"}, "contradicts"},
        {{"--program", "3", "--preset", "f.json"}, "give one"},
        {{"--name", "a-name-much-longer-than-any-jack-server-accepts-for-a-client-name-at-all-really"}, "longer"},
    };
    for (const auto& c : cases)
    {
        AppOptions o;
        std::string error;
        EXPECT_FALSE (parse (c.args, o, error)) << c.mentions;
        EXPECT_NE (error.find (c.mentions), std::string::npos) << error;
        EXPECT_EQ (error.find ('\n'), std::string::npos) << error;
    }
}
