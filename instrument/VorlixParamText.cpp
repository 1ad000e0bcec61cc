// Parameter value texts; the meanings follow the engine's value conversion.
#include "VorlixParamText.h"

#include "VorlixParamID.h"
#include "vexagui/text/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace VorlixParamText {
namespace {

enum class Kind
{
    wave,
    envelopeTime,
    switchOnOff,
    selector,
    voices,
    octave,
    bipolar,
    percent,
};

const char* const waveNames[6] = {"Saw", "Square", "Triangle", "Sine", "WhiteNoise", "PinkNoise"};

struct Selector
{
    int id;
    const char* names[3];
};

const Selector selectors[] = {
    {kUseFilterEnvVelocity, {"Off", "Sustain", "Amount"}},
    {kUseUnison, {"Off", "Stereo", "Wide"}},
    {kUseExp, {"Linear", "Spline", "Exponential"}},
    {kKeyboardTracking, {"Off", "Half", "Full"}},
    {kDistortionType, {"Type 1", "Type 2", "Type 3"}},
};

Kind kindOf (int id)
{
    switch (id)
    {
        case kOsc1WaveType:
        case kOsc2WaveType: return Kind::wave;
        case kOsc1Attack:
        case kOsc1Decay:
        case kOsc1Release:
        case kFilt1Attack:
        case kFilt1Decay:
        case kFilt1Release: return Kind::envelopeTime;
        case kOsc1Invert:
        case kOsc2Invert:
        case kUseLegato:
        case kUseUnisonNice:
        case kSyncOnTrigger:
        case kUseOscSync1:
        case kUseOscSync2: return Kind::switchOnOff;
        case kUseFilterEnvVelocity:
        case kUseUnison:
        case kUseExp:
        case kKeyboardTracking:
        case kDistortionType: return Kind::selector;
        case kMaxPoly: return Kind::voices;
        case kSubOscOctave: return Kind::octave;
        case kUnisonDetune: return Kind::bipolar;
        default: return Kind::percent;
    }
}

/** Longest envelope time in seconds; the knob follows a fourth-power curve up to it. */
float maxSeconds (int id)
{
    switch (id)
    {
        case kOsc1Attack:
        case kFilt1Attack: return 5.0f;
        case kOsc1Decay:
        case kFilt1Decay: return 7.0f;
        default: return 30.0f;
    }
}

const Selector* selectorOf (int id)
{
    for (const Selector& s : selectors)
        if (s.id == id)
            return &s;
    return nullptr;
}

float clampUnit (float v)
{
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

/** Position 0..2 of a three-way selector: rounded to the nearest of 0, 0.5, 1. */
int selectorPosition (float v)
{
    return v < 0.25f ? 0 : (v < 0.75f ? 1 : 2);
}

bool equalsIgnoreCase (const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower (static_cast<unsigned char> (*a)) != std::tolower (static_cast<unsigned char> (*b)))
            return false;
    return *a == *b;
}

/** Copies `text` without leading and trailing blanks into `out`. */
void trimmed (const char* text, char* out, std::size_t size)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    std::size_t n = std::strlen (text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t'))
        --n;
    if (n >= size)
        n = size - 1;
    std::memcpy (out, text, n);
    out[n] = '\0';
}

/** A leading number and what follows it (blanks skipped); false without a finite number. The
    host's locale plays no part: texts are written with '.' whatever it is, and read back so. */
bool leadingNumber (const char* text, double& number, const char*& rest)
{
    const std::size_t used = vexagui::leadingNumber (text, number);
    if (used == 0 || !std::isfinite (number))
        return false;
    const char* end = text + used;
    while (*end == ' ' || *end == '\t')
        ++end;
    rest = end;
    return true;
}

/** `value` with `decimals` decimals and then `unit`, e.g. "0.250 s". */
void formatNumber (double value, int decimals, const char* unit, char* out, std::size_t size)
{
    char number[48];
    if (!vexagui::formatFixed (value, decimals, number, sizeof number))
        std::snprintf (number, sizeof number, "%s", "?");
    std::snprintf (out, size, "%s %s", number, unit);
}

} // namespace

void format (int id, float value, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    const float v = clampUnit (value);
    switch (kindOf (id))
    {
        case Kind::wave:
        {
            int index = static_cast<int> (5.0f * v + 0.5f);
            std::snprintf (out, size, "%s", waveNames[index > 5 ? 5 : index]);
            break;
        }
        case Kind::envelopeTime:
        {
            const float seconds = maxSeconds (id) * v * v * v * v;
            formatNumber (static_cast<double> (seconds), seconds < 1.0f ? 3 : 2, "s", out, size);
            break;
        }
        case Kind::switchOnOff: std::snprintf (out, size, "%s", v < 0.5f ? "Off" : "On"); break;
        case Kind::selector:
            std::snprintf (out, size, "%s", selectorOf (id)->names[selectorPosition (v)]);
            break;
        case Kind::voices:
        {
            const int voices = static_cast<int> (std::floor (9.0f * v + 1.0f));
            std::snprintf (out, size, voices == 1 ? "%d voice" : "%d voices", voices);
            break;
        }
        case Kind::octave: std::snprintf (out, size, "%s", v < 0.5f ? "-1 oct" : "-2 oct"); break;
        case Kind::bipolar:
            formatNumber (static_cast<double> ((2.0f * v - 1.0f) * 100.0f), 1, "%", out, size);
            break;
        case Kind::percent: formatNumber (static_cast<double> (v * 100.0f), 1, "%", out, size); break;
    }
}

bool parse (int id, const char* text, float& value)
{
    if (!text || id < 0 || id >= kNumParams)
        return false;
    char t[128];
    trimmed (text, t, sizeof (t));
    double number = 0.0;
    const char* rest = "";
    switch (kindOf (id))
    {
        case Kind::wave:
            for (int i = 0; i < 6; ++i)
                if (equalsIgnoreCase (t, waveNames[i]))
                {
                    value = static_cast<float> (i) / 5.0f;
                    return true;
                }
            return false;
        case Kind::envelopeTime:
        {
            if (!leadingNumber (t, number, rest) || number < 0.0)
                return false;
            if (equalsIgnoreCase (rest, "ms"))
                number /= 1000.0;
            else if (*rest && !equalsIgnoreCase (rest, "s"))
                return false;
            const double ratio = number / maxSeconds (id);
            value = clampUnit (static_cast<float> (std::sqrt (std::sqrt (ratio < 1.0 ? ratio : 1.0))));
            return true;
        }
        case Kind::switchOnOff:
            if (equalsIgnoreCase (t, "on") || equalsIgnoreCase (t, "1"))
                value = 1.0f;
            else if (equalsIgnoreCase (t, "off") || equalsIgnoreCase (t, "0"))
                value = 0.0f;
            else
                return false;
            return true;
        case Kind::selector:
        {
            const Selector* s = selectorOf (id);
            for (int i = 0; i < 3; ++i)
                if (equalsIgnoreCase (t, s->names[i]))
                {
                    value = 0.5f * static_cast<float> (i);
                    return true;
                }
            return false;
        }
        case Kind::voices:
        {
            if (!leadingNumber (t, number, rest) || (*rest && !equalsIgnoreCase (rest, "voices") &&
                                                     !equalsIgnoreCase (rest, "voice")))
                return false;
            const double voices = std::round (number < 1.0 ? 1.0 : (number > 10.0 ? 10.0 : number));
            // The middle of that voice count's stretch of the knob, so rounding cannot slip a voice.
            value = clampUnit (static_cast<float> ((voices - 0.5) / 9.0));
            return true;
        }
        case Kind::octave:
            if (!leadingNumber (t, number, rest) || (*rest && !equalsIgnoreCase (rest, "oct")))
                return false;
            if (number == -1.0)
                value = 0.0f;
            else if (number == -2.0)
                value = 1.0f;
            else
                return false;
            return true;
        case Kind::bipolar:
        case Kind::percent:
        {
            if (!leadingNumber (t, number, rest) || (*rest && std::strcmp (rest, "%") != 0))
                return false;
            double v = number / 100.0;
            if (kindOf (id) == Kind::bipolar)
                v = (v + 1.0) * 0.5;
            value = clampUnit (static_cast<float> (v < -1.0 ? -1.0 : (v > 2.0 ? 2.0 : v)));
            return true;
        }
    }
    return false;
}

} // namespace VorlixParamText
