// The component's private program and preset interface, and its place in queryInterface.
#include "VorlixVst3Plugin.h"

#include "instrument/VorlixPresetBank.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

/** The private program and preset interface for the project's own tools, handed out by
    queryInterface. It shares the component's reference count and identity. */
class VorlixVst3Plugin::PresetAccess : public Vorlix::IVorlixPresetAccess
{
public:
    explicit PresetAccess (VorlixVst3Plugin& p) : plugin (p) {}
    virtual ~PresetAccess () = default;

    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
    uint32 PLUGIN_API release () SMTG_OVERRIDE;

    int32 PLUGIN_API getProgramCount () SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramName (int32 index, char8* name, int32 size) SMTG_OVERRIDE;
    tresult PLUGIN_API selectProgram (int32 index) SMTG_OVERRIDE;
    int32 PLUGIN_API getCurrentProgram () SMTG_OVERRIDE;
    tresult PLUGIN_API exportPreset (char8* text, int32 size, int32* needed) SMTG_OVERRIDE;
    tresult PLUGIN_API importPreset (const char8* text, int32 length) SMTG_OVERRIDE;

private:
    VorlixVst3Plugin& plugin;
};

// Defined here, where PresetAccess is complete.
VorlixVst3Plugin::VorlixVst3Plugin ()
: presetAccess (std::make_unique<PresetAccess> (*this))
, editor (core)
{
    core.setListener (this);
}

VorlixVst3Plugin::~VorlixVst3Plugin () = default;

namespace Vorlix {
DEF_CLASS_IID (IVorlixPresetAccess)
}

tresult PLUGIN_API VorlixVst3Plugin::queryInterface (const TUID iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    if (FUnknownPrivate::iidEqual (iid, Vorlix::IVorlixPresetAccess::iid))
    {
        addRef ();
        *obj = static_cast<Vorlix::IVorlixPresetAccess*> (presetAccess.get ());
        return kResultOk;
    }
    if (FUnknownPrivate::iidEqual (iid, Vst::IMidiMapping::iid))
    {
        addRef ();
        *obj = static_cast<Vst::IMidiMapping*> (this);
        return kResultOk;
    }
    return SingleComponentEffect::queryInterface (iid, obj);
}

tresult PLUGIN_API VorlixVst3Plugin::PresetAccess::queryInterface (const TUID iid, void** obj)
{
    return plugin.queryInterface (iid, obj);
}

uint32 PLUGIN_API VorlixVst3Plugin::PresetAccess::addRef ()
{
    return plugin.addRef ();
}

uint32 PLUGIN_API VorlixVst3Plugin::PresetAccess::release ()
{
    return plugin.release ();
}

int32 PLUGIN_API VorlixVst3Plugin::PresetAccess::getProgramCount ()
{
    return num_programs;
}

tresult PLUGIN_API VorlixVst3Plugin::PresetAccess::getProgramName (int32 index, char8* name, int32 size)
{
    if (index < 0 || index >= num_programs || !name || size <= 0)
        return kInvalidArgument;
    const char* source = VorlixPresetBank::programName (index);
    const size_t length = std::min (std::strlen (source), static_cast<size_t> (size - 1));
    std::memcpy (name, source, length);
    name[length] = '\0';
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::PresetAccess::selectProgram (int32 index)
{
    if (index < 0 || index >= num_programs)
        return kInvalidArgument;
    plugin.handleUiControlTag (kPresetListBox, static_cast<float> (index));
    return kResultOk;
}

int32 PLUGIN_API VorlixVst3Plugin::PresetAccess::getCurrentProgram ()
{
    return plugin.core.currentProgramIndex ();
}

tresult PLUGIN_API VorlixVst3Plugin::PresetAccess::exportPreset (char8* text, int32 size, int32* needed)
{
    const std::string document = plugin.core.exportPresetJson ();
    const auto required = static_cast<int32> (document.size () + 1);
    if (needed)
        *needed = required;
    if (!text || size < required)
        return kResultFalse;
    std::memcpy (text, document.c_str (), static_cast<size_t> (required));
    return kResultOk;
}

tresult PLUGIN_API VorlixVst3Plugin::PresetAccess::importPreset (const char8* text, int32 length)
{
    if (length < 0 || (!text && length > 0))
        return kInvalidArgument;
    const std::string document = text ? std::string (text, static_cast<size_t> (length)) : std::string ();
    return plugin.core.importPresetJson (document) ? kResultOk : kResultFalse;
}
