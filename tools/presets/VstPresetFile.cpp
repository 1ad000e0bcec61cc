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

std::int32_t int32At (const Bytes& file, size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | file[at + static_cast<size_t> (i)];
    return static_cast<std::int32_t> (v);
}

std::int64_t listOffsetOf (const Bytes& file)
{
    std::uint64_t offset = 0;
    for (int i = 7; i >= 0; --i)
        offset = offset << 8 | file[40 + static_cast<size_t> (i)];
    return static_cast<std::int64_t> (offset);
}

/** Whether the chunks lie back to back between the header and the chunk list, each ID once, as
    the SDK's writer puts them. A gap or an overlap is what a damaged offset or size leaves, and
    reading such a chunk would hand the plug-in some other chunk's bytes as its state. */
bool chunksFollowOneAnother (std::vector<Chunk> chunks, std::int64_t listOffset)
{
    std::sort (chunks.begin (), chunks.end (), [] (const Chunk& a, const Chunk& b) { return a.offset < b.offset; });
    std::int64_t end = static_cast<std::int64_t> (kHeaderSize);
    for (size_t i = 0; i < chunks.size (); ++i)
    {
        if (chunks[i].offset != end)
            return false;
        end += chunks[i].size;
        for (size_t j = 0; j < i; ++j)
            if (chunks[j].id == chunks[i].id)
                return false;
    }
    return end == listOffset;
}

/** The component's state as its getState writes it, to put back if a load fails halfway. */
bool saveComponentState (Vst::IComponent* component, MemoryStream& state)
{
    if (component->getState (&state) != kResultOk)
        return false;
    state.seek (0, IBStream::kIBSeekSet, nullptr);
    return true;
}

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
    // The list closes the file and holds as many entries as it says (the SDK's reader stops
    // quietly where they run out).
    const std::int64_t listOffset = listOffsetOf (file);
    const std::int64_t listSize = 8 + 20 * static_cast<std::int64_t> (reader.getEntryCount ());
    if (listOffset > fileSize - listSize || listOffset + listSize != fileSize ||
        int32At (file, static_cast<size_t> (listOffset) + 4) != reader.getEntryCount ())
    {
        error = "damaged VST 3 preset file (its chunk list does not close the file)";
        return false;
    }
    if (!chunksFollowOneAnother (preset.chunks, listOffset))
    {
        error = "damaged VST 3 preset file (its chunks overlap, leave gaps or appear twice)";
        return false;
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
    // A state the component refuses may still have been applied in part (a short one applies
    // what it holds); a failed load puts back what the instance had, so it changes nothing.
    MemoryStream before;
    const bool saved = saveComponentState (component, before);
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
    {
        error = "the plug-in did not accept the preset's state";
        if (saved)
        {
            component->setState (&before);
            if (controller)
            {
                before.seek (0, IBStream::kIBSeekSet, nullptr);
                controller->setComponentState (&before);
            }
        }
    }
    return ok;
}

} // namespace Vorlix::Presets
