#include "tools/render/RenderOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

namespace Vorlix::Render {

namespace {

using Store = std::function<bool (const std::string& value, RenderOptions& o, std::string& error)>;

struct OptionSpec
{
    const char* name;
    const char* valueName; // null: a flag without value
    const char* help;
    Store store;
};

bool toDouble (const std::string& text, double& v)
{
    const char* end = text.data () + text.size ();
    auto [p, ec] = std::from_chars (text.data (), end, v);
    return ec == std::errc () && p == end && std::isfinite (v);
}

bool toInt (const std::string& text, long long& v)
{
    const char* end = text.data () + text.size ();
    auto [p, ec] = std::from_chars (text.data (), end, v);
    return ec == std::errc () && p == end;
}

Store text (std::string RenderOptions::*field)
{
    return [field] (const std::string& v, RenderOptions& o, std::string& error) {
        if (v.empty ())
        {
            error = "empty value";
            return false;
        }
        o.*field = v;
        return true;
    };
}

Store flag (bool RenderOptions::*field)
{
    return [field] (const std::string&, RenderOptions& o, std::string&) {
        o.*field = true;
        return true;
    };
}

const std::vector<OptionSpec>& optionTable ()
{
    static const std::vector<OptionSpec> table {
        {"--plugin", "DIR.vst3", "the plug-in bundle (default ~/.vst3/Vorlix307.vst3, else next to this program)",
         text (&RenderOptions::plugin)},
        {"--program", "N|NAME", "built-in program by index or exact name",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             if (v.empty ())
             {
                 error = "empty value";
                 return false;
             }
             o.program = v;
             return true;
         }},
        {"--preset", "FILE", "load a preset: a JSON preset document or a .vstpreset file (after --program)",
         text (&RenderOptions::preset)},
        {"--oscillators", "classic|precise",
         "oscillator mode (default: a new instance's, precise, or what --preset stores; after --preset)",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             if (v != "classic" && v != "precise")
             {
                 error = "expected classic or precise, got '" + v + "'";
                 return false;
             }
             o.precise = v == "precise";
             return true;
         }},
        {"--midi", "FILE.mid", "play a Standard MIDI File (default: the built-in demo phrase)", text (&RenderOptions::midi)},
        {"--seconds", "S", "length of the render (default: the notes plus the release tail)",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             double s = 0;
             if (!toDouble (v, s) || s <= 0 || s > 3600)
             {
                 error = "expected seconds between 0 and 3600, got '" + v + "'";
                 return false;
             }
             o.seconds = s;
             return true;
         }},
        {"--rate", "HZ", "sample rate (default 48000)",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             long long r = 0; // whole hertz: the WAV header holds an integer rate
             if (!toInt (v, r) || r < 8000 || r > 384000)
             {
                 error = "expected a sample rate between 8000 and 384000 Hz, got '" + v + "'";
                 return false;
             }
             o.rate = static_cast<double> (r);
             return true;
         }},
        {"--block", "N", "samples per processing block (default 256)",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             long long n = 0;
             if (!toInt (v, n) || n < 1 || n > 8192)
             {
                 error = "expected a block size between 1 and 8192, got '" + v + "'";
                 return false;
             }
             o.block = static_cast<int> (n);
             return true;
         }},
        {"--out", "FILE.wav", "output file, 32-bit float stereo WAV (default vorlix.wav)", text (&RenderOptions::out)},
        {"--export-preset", "FILE.json", "write the sound as a JSON preset document, as the editor exports it, after "
                                         "--program and --preset",
         text (&RenderOptions::exportPreset)},
        {"--save-state", "FILE", "write the component's state, as a host stores it, after --program and --preset",
         text (&RenderOptions::saveState)},
        {"--screenshot", "FILE.png", "open the editor as a host would (Xvfb when there is no display) and save its "
                                     "picture instead of rendering audio",
         text (&RenderOptions::screenshot)},
        {"--scale", "F", "editor scale for --screenshot, 1 to 3, as a host sets it (default: the desktop's, as in a "
                         "host that gives none: VORLIX_UI_SCALE, else Xft.dpi)",
         [] (const std::string& v, RenderOptions& o, std::string& error) {
             double s = 0;
             if (!toDouble (v, s) || s < 1 || s > 3)
             {
                 error = "expected a scale between 1 and 3, got '" + v + "'";
                 return false;
             }
             o.scale = static_cast<float> (s);
             return true;
         }},
        {"--info", nullptr, "describe the module, its class and its parameters", flag (&RenderOptions::info)},
        {"--list-programs", nullptr, "list the built-in programs as \"N name\"", flag (&RenderOptions::listPrograms)},
        {"--help", nullptr, "show this text", flag (&RenderOptions::help)},
    };
    return table;
}

} // namespace

bool parseRenderOptions (const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    for (size_t i = 0; i < args.size (); ++i)
    {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find ('='); name.rfind ("--", 0) == 0 && eq != std::string::npos)
        {
            inlineValue = name.substr (eq + 1);
            name.resize (eq);
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : optionTable ())
            if (name == s.name)
                spec = &s;
        if (spec == nullptr)
        {
            error = name.rfind ("-", 0) == 0 ? "unknown option " + name + " (see --help)"
                                             : "unexpected argument '" + name + "' (see --help)";
            return false;
        }
        std::string value;
        if (spec->valueName == nullptr)
        {
            if (inlineValue)
            {
                error = name + " takes no value";
                return false;
            }
        }
        else if (inlineValue)
            value = *inlineValue;
        else if (i + 1 < args.size () && args[i + 1].rfind ("--", 0) != 0)
            value = args[++i];
        else
        {
            error = name + " needs a value " + spec->valueName;
            return false;
        }
        std::string why;
        if (!spec->store (value, options, why))
        {
            error = name + ": " + why;
            return false;
        }
    }
    return true;
}

std::string renderUsage ()
{
    std::string u = "usage: vorlix-render [options]\n"
                    "Renders a MIDI file or the demo phrase through the Vorlix307 VST 3 module into a WAV file.\n\n";
    for (const OptionSpec& s : optionTable ())
    {
        std::string left = std::string ("  ") + s.name + (s.valueName ? std::string (" ") + s.valueName : "");
        left.resize (std::max<size_t> (left.size () + 2, 26), ' ');
        u += left + s.help + "\n";
    }
    return u;
}

} // namespace Vorlix::Render
