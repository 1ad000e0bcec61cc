#include "apps/standalone/AppOptions.h"

#include <jack/jack.h>

namespace Vorlix::App {

namespace {

bool isOption (const std::string& arg) { return arg.size () > 1 && arg[0] == '-'; }

} // namespace

std::string appUsage ()
{
    return "usage: vorlix307 [options]\n"
           "Plays the Vorlix307 instrument as a JACK client: MIDI in, stereo audio out.\n"
           "\n"
           "  --headless             run without a window\n"
           "  --program N|NAME       start with built-in program N (0-60) or the one with this name\n"
           "  --preset FILE          start with a preset: a JSON preset document or a .vstpreset file\n"
           "  --midi-connect PORT... connect these JACK ports to the MIDI input\n"
           "  --audio-connect L R    connect the outputs to these ports (default: the first two\n"
           "                         physical playback ports)\n"
           "  --no-connect           connect nothing\n"
           "  --name NAME            JACK client name (default vorlix307)\n"
           "  --help                 show this text\n"
           "  --version              show the version\n"
           "\n"
           "The sound is saved on exit in $XDG_CONFIG_HOME/vorlix307/state (default ~/.config) and\n"
           "restored at start unless --program or --preset choose another.\n";
}

bool parseAppOptions (int argc, const char* const* argv, AppOptions& out, std::string& error)
{
    out = AppOptions {};
    std::vector<std::string> args (argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    bool audioSeen = false;
    bool midiSeen = false;
    for (size_t i = 0; i < args.size (); ++i)
    {
        const std::string& arg = args[i];
        // One value that must follow and may not be empty or look like an option.
        auto value = [&] (std::string& into) {
            if (i + 1 >= args.size () || isOption (args[i + 1]))
            {
                error = arg + " needs a value";
                return false;
            }
            if (args[i + 1].empty ())
            {
                error = arg + " needs a non-empty value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h")
            out.help = true;
        else if (arg == "--version")
            out.version = true;
        else if (arg == "--headless")
            out.headless = true;
        else if (arg == "--no-connect")
            out.noConnect = true;
        else if (arg == "--program")
        {
            if (!value (out.program))
                return false;
        }
        else if (arg == "--preset")
        {
            if (!value (out.preset))
                return false;
        }
        else if (arg == "--name")
        {
            if (!value (out.clientName))
                return false;
            if (out.clientName.size () >= static_cast<size_t> (jack_client_name_size ()))
            {
                error = "--name: longer than JACK allows (" + std::to_string (jack_client_name_size () - 1)
                        + " characters)";
                return false;
            }
        }
        else if (arg == "--midi-connect")
        {
            // Every following word up to the next option is a port.
            midiSeen = true;
            const size_t before = out.midiConnect.size ();
            while (i + 1 < args.size () && !isOption (args[i + 1]))
                if (!args[++i].empty ())
                    out.midiConnect.push_back (args[i]);
            if (out.midiConnect.size () == before)
            {
                error = "--midi-connect needs at least one port";
                return false;
            }
        }
        else if (arg == "--audio-connect")
        {
            if (audioSeen)
            {
                error = "--audio-connect given twice";
                return false;
            }
            audioSeen = true;
            std::string l, r;
            if (i + 2 >= args.size () || isOption (args[i + 1]) || isOption (args[i + 2]) || args[i + 1].empty ()
                || args[i + 2].empty ())
            {
                error = "--audio-connect needs two ports: L R";
                return false;
            }
            out.audioConnect = {args[i + 1], args[i + 2]};
            i += 2;
        }
        else if (isOption (arg))
        {
            error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
        else
        {
            error = "unexpected argument '" + arg + "' (see --help)";
            return false;
        }
    }
    if (out.noConnect && (audioSeen || midiSeen))
    {
        error = "--no-connect contradicts --audio-connect and --midi-connect";
        return false;
    }
    if (!out.program.empty () && !out.preset.empty ())
    {
        error = "--program and --preset both choose the starting sound; give one";
        return false;
    }
    return true;
}

} // namespace Vorlix::App
