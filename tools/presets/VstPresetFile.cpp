// The .vstpreset container through the SDK's PresetFile, with the bounds checks that the SDK's
// reader leaves to its callers.
#include "tools/presets/VstPresetFile.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;
using Steinberg::Vst::PresetFile;

namespace Vorlix::Presets {

namespace {

// "VST3", format version, 32 ASCII hex digits of the class ID, chunk-list offset.
constexpr size_t kHeaderSize = 4 + 4 + 32 + 8;

std::string xmlEscaped (std::string_view text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c; break;
        }
    }
    return out;
}

std::string classIdText (const FUID& id)
{
    char8 text[33] = {};
    id.toString (text);
    return text;
}

/** The file's bytes behind a stream the SDK can read; the stream never writes. */
struct FileStream
{
    explicit FileStream (const Bytes& file)
    : copy (file)
    , stream (copy.empty () ? nullptr : copy.data (), static_cast<TSize> (copy.size ()))
    {
    }
    Bytes copy;
    MemoryStream stream;
};

} // namespace

std::string metaInfoXml (const MetaInfo& info)
{
    auto attr = [] (const char* id, std::string_view value, bool writeProtected) {
        return std::string ("\t<Attr id=\"") + id + "\" value=\"" + xmlEscaped (value) + "\" type=\"string\"" +
               (writeProtected ? " flags=\"writeProtected\"" : "") + "/>\n";
    };
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<MetaInfo>\n";
    xml += attr ("MediaType", "VstPreset", true);
    xml += attr ("Name", info.name, false);
    xml += attr ("PlugInName", info.pluginName, true);
    xml += attr ("PlugInCategory", info.pluginCategory, true);
    xml += attr ("MusicalInstrument", info.category, false);
    xml += "</MetaInfo>\n";
    return xml;
}

std::string categoryOf (std::string_view programName)
{
    const size_t dash = programName.find ('-');
    if (dash == std::string_view::npos || dash == 0)
        return "init";
    return std::string (programName.substr (0, dash));
}

std::string safeFileName (std::string_view name)
{
    if (name.empty () || name == "." || name == "..")
        return "_";
    // A NUL cannot be part of a file name either.
    constexpr std::string_view unsafe ("<>:\"/\\|?*\0", 10);
    std::string out (name);
    for (char& c : out)
        if (unsafe.find (c) != std::string_view::npos)
            c = '_';
    return out;
}

bool writePresetFile (const FUID& classId, const Bytes& componentState, const std::string& metaXml, Bytes& file)
{
    FileStream state (componentState);
    MemoryStream out;
    if (!PresetFile::savePreset (&out, classId, &state.stream, nullptr, metaXml.data (),
                                 static_cast<int32> (metaXml.size ())))
        return false;
    const char* data = out.getData ();
    file.assign (data, data + out.getSize ());
    return true;
}

bool looksLikeVstPreset (const Bytes& file)
{
    return file.size () >= kHeaderSize && std::memcmp (file.data (), "VST3", 4) == 0;
}

bool readPresetFile (const Bytes& file, ParsedPreset& preset, std::string& error)
{
    preset = ParsedPreset {};
    if (!looksLikeVstPreset (file))
    {
        error = "not a VST 3 preset file (no \"VST3\" header)";
        return false;
    }
    FileStream source (file);
    PresetFile reader (&source.stream);
    if (!reader.readChunkList ())
    {
        error = "damaged VST 3 preset file (its chunk list cannot be read)";
        return false;
    }
    // The SDK's parser reads non-hex digits as something; a class ID is 32 hex digits or nothing.
    const bool hexClassId = std::all_of (file.begin () + 8, file.begin () + 40, [] (std::uint8_t c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
    preset.classId = reader.getClassID ();
    if (!hexClassId || !preset.classId.isValid ())
    {
        error = "damaged VST 3 preset file (no class ID)";
        return false;
    }
    // The SDK seeks to whatever the list says; a chunk must lie inside the file before anything
    // is read from it.
    const auto fileSize = static_cast<std::int64_t> (file.size ());
    for (int32 i = 0; i < reader.getEntryCount (); ++i)
    {
        const PresetFile::Entry& e = reader.at (i);
        if (e.offset < 0 || e.size < 0 || e.offset > fileSize || e.size > fileSize - e.offset)
        {
            error = "damaged VST 3 preset file (a chunk lies outside the file)";
            return false;
        }
        Chunk chunk {std::string (e.id, sizeof (e.id)), e.offset, e.size};
        const auto* begin = file.data () + e.offset;
        if (chunk.id == "Comp" && preset.componentState.empty ())
            preset.componentState.assign (begin, begin + e.size);
        else if (chunk.id == "Info" && preset.metaXml.empty ())
            preset.metaXml.assign (reinterpret_cast<const char*> (begin), static_cast<size_t> (e.size));
        preset.chunks.push_back (std::move (chunk));
    }
    return true;
}

bool loadPresetFile (const Bytes& file, const FUID& classId, Vst::IComponent* component,
                     Vst::IEditController* controller, std::string& error)
{
    ParsedPreset preset;
    if (!readPresetFile (file, preset, error))
        return false;
    if (preset.classId != classId)
    {
        error = "the preset belongs to another plug-in (class " + classIdText (preset.classId) + ")";
        return false;
    }
    if (preset.componentState.empty ())
    {
        error = "the preset holds no component state";
        return false;
    }
    if (!component)
    {
        error = "no component to load the preset into";
        return false;
    }
    FileStream source (file);
    PresetFile reader (&source.stream);
    bool ok = reader.readChunkList () && reader.restoreComponentState (component);
    if (ok && controller)
    {
        ok = reader.restoreComponentState (controller);
        if (ok && reader.contains (Vst::kControllerState))
            ok = reader.restoreControllerState (controller);
    }
    if (!ok)
        error = "the plug-in did not accept the preset's state";
    return ok;
}

} // namespace Vorlix::Presets
