#include "tools/render/ProgramAccess.h"

#include "editor/UserFile.h"
#include "formats/vst3/IVorlixPresetAccess.h"
#include "tools/host/HostMemoryStream.h"
#include "tools/presets/VstPresetFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Steinberg;

namespace Vorlix::Render {

namespace {

IPtr<IVorlixPresetAccess> access (const Vorlix::Host::PluginInstance& instance, std::string& error)
{
    IPtr<IVorlixPresetAccess> a = instance.query<IVorlixPresetAccess> ();
    if (!a)
        error = "the module offers no program and preset access";
    return a;
}

bool allDigits (const std::string& s)
{
    return !s.empty () && s.size () < 10 && std::all_of (s.begin (), s.end (), [] (char c) { return c >= '0' && c <= '9'; });
}
} // namespace

bool listPrograms (const Vorlix::Host::PluginInstance& instance, std::vector<std::string>& names, std::string& error)
{
    IPtr<IVorlixPresetAccess> a = access (instance, error);
    if (!a)
        return false;
    names.clear ();
    const int32 count = a->getProgramCount ();
    for (int32 i = 0; i < count; ++i)
    {
        char8 name[256] = {};
        if (a->getProgramName (i, name, static_cast<int32> (sizeof name)) != kResultOk)
        {
            error = "the module cannot name program " + std::to_string (i);
            return false;
        }
        name[sizeof name - 1] = 0;
        names.emplace_back (name);
    }
    return true;
}

bool selectProgram (const Vorlix::Host::PluginInstance& instance, const std::string& which, std::string& error)
{
    std::vector<std::string> names;
    if (!listPrograms (instance, names, error))
        return false;
    int index = -1;
    if (allDigits (which))
        index = std::stoi (which);
    else if (auto it = std::find (names.begin (), names.end (), which); it != names.end ())
        index = static_cast<int> (it - names.begin ());
    if (index < 0 || index >= static_cast<int> (names.size ()))
    {
        error = "unknown program '" + which + "' (see --list-programs)";
        return false;
    }
    IPtr<IVorlixPresetAccess> a = access (instance, error);
    if (a->selectProgram (index) != kResultOk)
    {
        error = "the module refused program " + std::to_string (index);
        return false;
    }
    return true;
}

bool importPresetFile (const Vorlix::Host::PluginInstance& instance, const TUID classId, const std::string& path,
                       std::string& error)
{
    std::string text;
    switch (const UserFileError why = readUserFile (path, kMaxPresetFileBytes, text))
    {
    case UserFileError::kNone:
        break;
    case UserFileError::kTooLarge:
        error = path + ": too large for a preset document";
        return false;
    default:
        error = "cannot read preset file " + path + " (" + userFileErrorText (why) + ")";
        return false;
    }
    if (const Presets::Bytes bytes (text.begin (), text.end ()); Presets::looksLikeVstPreset (bytes))
    {
        std::string why;
        if (!Presets::loadPresetFile (bytes, FUID::fromTUID (classId), instance.component (), instance.controller (), why))
        {
            error = path + ": " + why;
            return false;
        }
        return true;
    }
    IPtr<IVorlixPresetAccess> a = access (instance, error);
    if (!a)
        return false;
    if (a->importPreset (text.data (), static_cast<int32> (text.size ())) != kResultOk)
    {
        error = path + ": not a Vorlix307 preset document (not valid JSON, not a JSON object, or another plug-in's)";
        return false;
    }
    return true;
}

bool saveComponentState (const Vorlix::Host::PluginInstance& instance, const std::string& path, std::string& error)
{
    Host::HostMemoryStream state;
    if (instance.component ()->getState (&state) != kResultOk)
    {
        error = "the component did not give its state";
        return false;
    }
    std::ofstream out (std::filesystem::path (path), std::ios::binary | std::ios::trunc);
    out.write (state.getData (), static_cast<std::streamsize> (state.getSize ()));
    out.close ();
    if (!out)
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool exportPresetFile (const Vorlix::Host::PluginInstance& instance, const std::string& path, std::string& error)
{
    IPtr<IVorlixPresetAccess> a = access (instance, error);
    if (!a)
        return false;
    int32 needed = 0;
    std::string text (4096, '\0');
    // Asked twice at most: the first answer says how much room the document needs.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (a->exportPreset (text.data (), static_cast<int32> (text.size ()), &needed) == kResultOk)
        {
            text.resize (text.find ('\0'));
            std::ofstream out (std::filesystem::path (path), std::ios::binary | std::ios::trunc);
            out << text;
            out.close ();
            if (!out)
            {
                error = "cannot write " + path;
                return false;
            }
            return true;
        }
        if (needed <= static_cast<int32> (text.size ()))
            break;
        text.assign (static_cast<size_t> (needed), '\0');
    }
    error = "the module gave no preset document";
    return false;
}

bool setOscillatorMode (const Vorlix::Host::PluginInstance& instance, bool precise, std::string& error)
{
    constexpr int64 kClassicBytes = 148; // program index and 36 values
    Host::HostMemoryStream state;
    if (instance.component ()->getState (&state) != kResultOk || state.getSize () < kClassicBytes)
    {
        error = "the component did not give its state";
        return false;
    }
    state.setSize (kClassicBytes);
    if (precise)
    {
        const char marker[4] = {1, 0, 0, 0}; // little-endian 32-bit 1
        int32 written = 0;
        state.seek (kClassicBytes, IBStream::kIBSeekSet, nullptr);
        state.write (const_cast<char*> (marker), 4, &written);
    }
    state.seek (0, IBStream::kIBSeekSet, nullptr);
    if (instance.component ()->setState (&state) != kResultOk)
    {
        error = "the component refused its own state";
        return false;
    }
    return true;
}

} // namespace Vorlix::Render
