// Host-side value texts, both ways, through the controller interface.
#include "PluginTestSupport.h"

#include "VorlixParamID.h"
#include "tests/support/CommaDecimalLocale.h"

#include "pluginterfaces/base/ustring.h"

#include <optional>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace VorlixTest;

namespace {

std::string text (IEditController* c, int id, double v)
{
    String128 s {};
    EXPECT_EQ (c->getParamStringByValue (static_cast<ParamID> (id), v, s), kResultOk);
    char a[129] = {};
    UString (s, 128).toAscii (a, 128);
    return a;
}

bool value (IEditController* c, int id, const char* t, double& out)
{
    String128 s {};
    UString (s, 128).fromAscii (t);
    return c->getParamValueByString (static_cast<ParamID> (id), s, out) == kResultOk;
}

} // namespace

TEST (ParamText, ShowsWhatTheKnobMeans)
{
    Linked l = makeLinked ();
    IEditController* c = l.controller ();
    const struct
    {
        int id;
        double v;
        const char* shown;
    } cases[] = {
        {kOsc1WaveType, 0.0, "Saw"},          {kOsc1WaveType, 0.1, "Square"},
        {kOsc2WaveType, 0.6, "Sine"},         {kOsc2WaveType, 1.0, "PinkNoise"},
        {kOsc1Attack, 0.5, "0.312 s"},        {kOsc1Release, 1.0, "30.00 s"},
        {kFilt1Decay, 0.5, "0.438 s"},        {kOsc1Invert, 0.49, "Off"},
        {kUseLegato, 0.5, "On"},              {kUseUnison, 0.0, "Off"},
        {kUseUnison, 0.5, "Stereo"},          {kUseUnison, 0.8, "Wide"},
        {kUseExp, 0.3, "Spline"},             {kMaxPoly, 0.0, "1 voice"},
        {kMaxPoly, 1.0, "10 voices"},         {kMaxPoly, 0.5, "5 voices"},
        {kSubOscOctave, 0.2, "-1 oct"},       {kSubOscOctave, 0.5, "-2 oct"},
        {kFilt1Cutoff, 0.25, "25.0 %"},       {kUnisonDetune, 0.25, "-50.0 %"},
        {kRes, NAN, "0.0 %"},                 {kRes, 7.0, "100.0 %"},
    };
    for (const auto& k : cases)
        EXPECT_EQ (text (c, k.id, k.v), k.shown) << k.id << " " << k.v;
    String128 s {};
    EXPECT_EQ (c->getParamStringByValue (36, 0.5, s), kInvalidArgument);
}

TEST (ParamText, ParsesItsOwnTextsBackToTheSameMeaning)
{
    Linked l = makeLinked ();
    IEditController* c = l.controller ();
    // Every parameter, a spread of values: text -> value -> text is stable, and the same texts
    // under a host's comma-decimal locale.
    std::vector<std::string> shownInC;
    for (bool comma : {false, true})
    {
        std::optional<Vorlix::test::CommaDecimalLocale> locale;
        if (comma)
        {
            locale.emplace ();
            ASSERT_TRUE (locale->active) << locale->kMissing;
        }
        std::size_t n = 0;
        for (int id = 0; id < 36; ++id)
            for (double v : {0.0, 0.13, 0.25, 0.5, 0.61, 0.75, 0.9, 1.0})
            {
                const std::string shown = text (c, id, v);
                double parsed = -1.0;
                ASSERT_TRUE (value (c, id, shown.c_str (), parsed)) << id << " '" << shown << "'";
                EXPECT_GE (parsed, 0.0);
                EXPECT_LE (parsed, 1.0);
                EXPECT_EQ (text (c, id, parsed), shown) << id << " " << v;
                if (!comma)
                    shownInC.push_back (shown);
                else
                    EXPECT_EQ (shown, shownInC[n++]) << id << " " << v << " (de_DE)";
            }
        double parsed = -1.0;
        ASSERT_TRUE (value (c, kOsc1Attack, "312.5 ms", parsed));
        EXPECT_NEAR (parsed, 0.5, 1e-6) << (comma ? "de_DE" : "C");
    }
    const struct
    {
        int id;
        const char* typed;
        double expected;
    } typed[] = {{kOsc1Attack, "5", 1.0},      {kOsc1Attack, "312.5 ms", 0.5}, {kUseLegato, "ON", 1.0},
                 {kUseUnison, " wide ", 1.0},  {kMaxPoly, "10", 1.0},          {kFilt1Cutoff, "50", 0.5},
                 {kFilt1Cutoff, "250 %", 1.0}, {kUnisonDetune, "0 %", 0.5},    {kOsc1WaveType, "sine", 0.6}};
    for (const auto& t : typed)
    {
        double parsed = -1.0;
        ASSERT_TRUE (value (c, t.id, t.typed, parsed)) << t.typed;
        EXPECT_NEAR (parsed, t.expected, 1e-6) << t.typed;
    }
    for (const char* bad : {"", "abc", "nan", "inf", "1e999", "Sine wave", "3 dB"})
    {
        double parsed = 0.0;
        EXPECT_FALSE (value (c, kFilt1Cutoff, bad, parsed)) << bad;
        EXPECT_FALSE (value (c, kOsc1WaveType, bad, parsed)) << bad;
    }
}
