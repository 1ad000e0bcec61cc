// Writes the bundle's descriptions from the instrument's own tables at build time: manifest.ttl,
// the plug-in and UI description with one control port per parameter, and the built-in programs
// as presets. Usage: vorlix-lv2-bundle <bundle directory> <plug-in binary> <UI binary>
#include "Vorlix307Lv2Uris.h"
#include "VorlixLv2PortValue.h"
#include "VorlixParamID.h"
#include "VorlixParameters.h"
#include "VorlixParamText.h"
#include "VorlixPresetBank.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const char* const prefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                             "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                             "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                             "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                             "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                             "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                             "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                             "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                             "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                             "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                             "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
                             "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

/** A float as a Turtle number that reads back as the same float. */
std::string number (float v)
{
    char text[32];
    std::snprintf (text, sizeof text, "%.9g", static_cast<double> (v));
    std::string s = text;
    if (s.find_first_of (".e") == std::string::npos)
        s += ".0";
    return s;
}

/** A Turtle string literal; the names are ASCII, but quotes and backslashes would break it. */
std::string quoted (const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string title (int id)
{
    return VorlixParameters::title (id);
}

/** A C identifier for the port symbol: the title with its first letter in lower case. */
std::string symbol (int id)
{
    std::string s = title (id);
    if (!s.empty () && s[0] >= 'A' && s[0] <= 'Z')
        s[0] = static_cast<char> (s[0] - 'A' + 'a');
    return s;
}

std::string presetUri (int program)
{
    return "<" VORLIX_LV2_PRESET_PREFIX + std::to_string (program) + ">";
}

std::string manifest (const std::string& binary, const std::string& uiBinary)
{
    std::ostringstream t;
    t << prefixes;
    t << "<" VORLIX_LV2_URI ">\n    a lv2:InstrumentPlugin, lv2:Plugin ;\n    lv2:binary <" << binary
      << "> ;\n    rdfs:seeAlso <Vorlix307.ttl> .\n\n";
    t << "<" VORLIX_LV2_UI_URI ">\n    a ui:X11UI ;\n    ui:binary <" << uiBinary
      << "> ;\n    rdfs:seeAlso <Vorlix307.ttl> .\n";
    for (int p = 0; p < num_programs; ++p)
        t << "\n" << presetUri (p) << "\n    a pset:Preset ;\n    lv2:appliesTo <" VORLIX_LV2_URI
          << "> ;\n    rdfs:label " << quoted (VorlixPresetBank::programName (p))
          << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return t.str ();
}

void writeParameterPort (std::ostringstream& t, int id)
{
    const float initial = VorlixLv2PortValue::toPort (id, VorlixParameters::defaultValue (id));
    t << "        a lv2:InputPort, lv2:ControlPort ;\n";
    t << "        lv2:index " << id << " ;\n";
    t << "        lv2:symbol " << quoted (symbol (id)) << " ;\n";
    t << "        lv2:name " << quoted (title (id)) << " ;\n";
    t << "        lv2:default " << number (initial) << " ;\n";
    t << "        lv2:minimum " << number (VorlixLv2PortValue::minimum (id)) << " ;\n";
    t << "        lv2:maximum " << number (VorlixLv2PortValue::maximum (id));
    if (!VorlixLv2PortValue::isDiscrete (id))
        return;
    const int first = VorlixParamText::firstPosition (id);
    const int count = VorlixParamText::positionCount (id);
    char label[64];
    VorlixParamText::format (id, 0.0f, label, sizeof label);
    if (count == 2 && std::string (label) == "Off")
    {
        t << " ;\n        lv2:portProperty lv2:toggled";
        return;
    }
    t << " ;\n        lv2:portProperty lv2:integer, lv2:enumeration";
    for (int p = first; p < first + count; ++p)
    {
        VorlixParamText::format (id, VorlixParamText::valueOfPosition (id, p), label, sizeof label);
        t << " ;\n        lv2:scalePoint [ rdfs:label " << quoted (label) << " ; rdf:value " << p << " ]";
    }
}

std::string description ()
{
    using namespace VorlixLv2Ports;
    std::ostringstream t;
    t << prefixes << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n";
    t << "<" VORLIX_LV2_URI ">\n"
         "    a lv2:InstrumentPlugin, lv2:Plugin ;\n"
         "    doap:name \"Vorlix307\" ;\n"
         "    lv2:minorVersion 0 ;\n"
         "    lv2:microVersion 0 ;\n"
         "    lv2:requiredFeature urid:map ;\n"
         "    lv2:optionalFeature lv2:hardRTCapable, work:schedule ;\n"
         "    lv2:extensionData state:interface, work:interface ;\n"
         "    ui:ui <" VORLIX_LV2_UI_URI "> ;\n"
         "    lv2:port [\n";
    for (int id = 0; id < kNumParams; ++id)
    {
        writeParameterPort (t, id);
        t << "\n    ] , [\n";
    }
    t << "        a lv2:InputPort, atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        atom:supports midi:MidiEvent ;\n"
         "        lv2:designation lv2:control ;\n"
         "        lv2:index " << kControl << " ;\n"
         "        lv2:symbol \"control\" ;\n"
         "        lv2:name \"Control\"\n"
         "    ] , [\n"
         "        a lv2:OutputPort, lv2:AudioPort ;\n"
         "        lv2:index " << kLeft << " ;\n"
         "        lv2:symbol \"out_l\" ;\n"
         "        lv2:name \"Left\"\n"
         "    ] , [\n"
         "        a lv2:OutputPort, lv2:AudioPort ;\n"
         "        lv2:index " << kRight << " ;\n"
         "        lv2:symbol \"out_r\" ;\n"
         "        lv2:name \"Right\"\n"
         "    ] , [\n"
         "        a lv2:OutputPort, atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        lv2:designation lv2:control ;\n"
         "        lv2:index " << kNotify << " ;\n"
         "        lv2:symbol \"notify\" ;\n"
         "        lv2:name \"Notify\"\n"
         "    ] , [\n"
         "        a lv2:OutputPort, lv2:ControlPort ;\n"
         "        lv2:index " << kVoices << " ;\n"
         "        lv2:symbol \"voices\" ;\n"
         "        lv2:name \"Voices playing\" ;\n"
         "        lv2:minimum 0 ;\n"
         "        lv2:maximum 32 ;\n"
         "        lv2:portProperty lv2:integer\n"
         "    ] , [\n"
         "        a lv2:OutputPort, lv2:ControlPort ;\n"
         "        lv2:index " << kProgram << " ;\n"
         "        lv2:symbol \"program\" ;\n"
         "        lv2:name \"Program\" ;\n"
         "        lv2:minimum 0 ;\n"
         "        lv2:maximum " << (num_programs - 1) << " ;\n"
         "        lv2:portProperty lv2:integer\n"
         "    ] .\n\n";
    t << "<" VORLIX_LV2_UI_URI ">\n"
         "    a ui:X11UI ;\n"
         "    lv2:requiredFeature ui:parent, urid:map ;\n"
         "    lv2:optionalFeature ui:resize, ui:idleInterface, opts:options ;\n"
         "    lv2:extensionData ui:idleInterface ;\n"
         "    opts:supportedOption ui:scaleFactor ;\n"
         "    ui:portNotification [\n"
         "        ui:plugin <" VORLIX_LV2_URI "> ;\n"
         "        lv2:symbol \"notify\" ;\n"
         "        ui:protocol atom:eventTransfer\n"
         "    ] .\n";
    return t.str ();
}

std::string presets ()
{
    std::ostringstream t;
    t << prefixes;
    for (int p = 0; p < num_programs; ++p)
    {
        t << presetUri (p) << "\n    a pset:Preset ;\n    lv2:appliesTo <" VORLIX_LV2_URI ">";
        t << " ;\n    rdfs:label " << quoted (VorlixPresetBank::programName (p));
        for (int id = 0; id < kNumParams; ++id)
            t << " ;\n    lv2:port [ lv2:symbol " << quoted (symbol (id)) << " ; pset:value "
              << number (VorlixLv2PortValue::toPort (id, VorlixPresetBank::programValue (p, id))) << " ]";
        // The state makes a host's preset load a program pick, with the program's exact values.
        t << " ;\n    state:state [ <" VORLIX_LV2_PROGRAM "> \"" << p << "\"^^xsd:int ] .\n\n";
    }
    return t.str ();
}

bool writeFile (const std::string& path, const std::string& text)
{
    std::ofstream out (path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close ();
    if (!out)
    {
        std::cerr << "vorlix-lv2-bundle: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: vorlix-lv2-bundle <bundle directory> <plug-in binary> <UI binary>\n";
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = writeFile (dir + "/manifest.ttl", manifest (argv[2], argv[3])) &&
                    writeFile (dir + "/Vorlix307.ttl", description ()) &&
                    writeFile (dir + "/presets.ttl", presets ());
    return ok ? 0 : 1;
}
