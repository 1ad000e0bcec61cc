// The LV2 UI: the synthesizer's editor inside the host's window (ui:parent), in a binary of its
// own. It reaches the plug-in only through ports and atoms, never through the instance, so it
// also runs where a host keeps the UI and the DSP apart:
// - a knob or switch writes its control port; the host tells the UI of port changes;
// - program picks and the detune copies go to the plug-in's control port as Tag messages, an
//   imported preset document as an Apply message carrying the state it makes;
// - the plug-in answers every change it made itself with a Values message on its notify port,
//   which the UI shows and writes back to the control ports, so the host's copy of them follows.
// The UI keeps a mirror instrument (never active, no audio) for what the editor reads, and for
// the preset documents' rules, which live in the instrument.
// Everything runs on the host's UI thread; frames and X events are pumped by idle ().
#include "Vorlix307Lv2Uris.h"
#include "VorlixEditorBinding.h"
#include "VorlixInstrument.h"
#include "VorlixInstrumentState.h"
#include "VorlixLv2PortValue.h"
#include "VorlixPresetBank.h"

#include "editor/PresetFileDialogs.h"
#include "editor/UiScale.h"
#include "editor/VorlixEditor.h"
#include "vexagui/platform/VexaDpiScale.h"
#include "vexagui/platform/x11/VexaOpenGLContextGLX.h"
#include "vexagui/platform/x11/VexaViewX11.h"
#include "vexagui/platform/x11/VexaX11DesktopScale.h"
#include "vexagui/render/opengl/VexaRendererOpenGL.h"
#include "vexagui/views/VexaEditor.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

using namespace VorlixLv2Ports;
static_assert (kPreciseOscillatorsTag == Vorlix::kPreciseOscillators, "the plug-in reads the editor's number");

class VorlixLv2Ui
{
public:
    VorlixLv2Ui (LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_URID_Map* map,
                 const LV2UI_Resize* resize, float scale)
    : write (write), controller (controller), resize (resize), scale (scale)
    {
        auto m = [map] (const char* uri) { return map->map (map->handle, uri); };
        atomChunk = m (LV2_ATOM__Chunk);
        atomObject = m (LV2_ATOM__Object);
        eventTransfer = m (LV2_ATOM__eventTransfer);
        stateKey = m (VORLIX_LV2_STATE);
        tagMessage = m (VORLIX_LV2_TAG);
        tagId = m (VORLIX_LV2_TAG_ID);
        tagValue = m (VORLIX_LV2_TAG_VALUE);
        applyMessage = m (VORLIX_LV2_APPLY);
        valuesMessage = m (VORLIX_LV2_VALUES);
        requestMessage = m (VORLIX_LV2_REQUEST);
        lv2_atom_forge_init (&forge, const_cast<LV2_URID_Map*> (map));

        mirror.initialize ();
        for (int id = 0; id < kNumParams; ++id)
            knownPort[id] = VorlixLv2PortValue::toPort (id, mirror.normalizedParam (id));
        editor = std::make_unique<Vorlix::VorlixEditor> (callbacks ());
        renderer.setResources (editor->resourceList ());
        editor->guiRoot ().setContext (&renderer);
        editor->syncFromHost ();
    }

    ~VorlixLv2Ui ()
    {
        if (renderer.glContext == &context)
        {
            renderer.detachFromSurface ();
            renderer.glContext = nullptr;
            renderer.redrawCallback = nullptr;
        }
        view.detach ();
    }

    /** The child window inside `parent`, or 0 when it could not be made. */
    unsigned long open (unsigned long parent)
    {
        view.setEventCallback ([this] (const vexagui::VexaWindowEvent& e) { dispatch (e); });
        view.setDrawCallback ([this] (std::int32_t w, std::int32_t h) { draw (w, h); });
        view.setContentScale (scale);
        if (!view.attachToSurface (vexagui::VexaNativeSurface::x11Window (parent), logicalWidth (),
                                   logicalHeight ()))
            return 0;
        renderer.glContext = &context;
        renderer.redrawCallback = [this] { view.requestRedraw (); };
        renderer.attachToSurface (view.nativeSurface ()); // failure: frames draw nothing
        if (resize)
            resize->ui_resize (resize->handle, scaled (logicalWidth ()), scaled (logicalHeight ()));
        sendObject (requestMessage, nullptr);
        editor->guiRoot ().syncContext ();
        view.requestRedraw ();
        return reinterpret_cast<std::uintptr_t> (view.nativeView ());
    }

    void portEvent (std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);

    int idle ()
    {
        view.processEvents ();
        view.drawIfRequested ();
        return 0;
    }

    const Vorlix::VorlixEditor& editorModel () const { return *editor; }

private:
    int logicalWidth () const { return static_cast<int> (editor->guiRoot ().width ()); }
    int logicalHeight () const { return static_cast<int> (editor->guiRoot ().height ()); }
    int scaled (int logical) const { return static_cast<int> (std::lround (static_cast<float> (logical) * scale)); }

    /** The editor bound to the mirror as a plug-in's editor is bound to its instrument; what the
        mirror does is then passed on to the plug-in. */
    Vorlix::VorlixEditor::HostCallbacks callbacks ()
    {
        Vorlix::VorlixEditor::HostCallbacks c = VorlixEditorBinding::callbacksFor (mirror, renderer);
        c.onControlTag = [this, onMirror = c.onControlTag] (int tag, float value) {
            onMirror (tag, value);
            // Commands that are not parameters run in the plug-in as well; the plug-in answers
            // with its values, which the ports then follow.
            if (tag == kSyncNow1 || tag == kSyncNow2 || tag == kPresetListBox || tag == kPreciseOscillatorsTag)
                sendTag (tag, value);
            writePorts (); // a knob's port, and a detune a sync switch re-centred
        };
        c.getActiveVoiceCount = [this] { return voicesPlaying; };
        return c;
    }

    /** Writes every control port whose value the mirror changed. */
    void writePorts ()
    {
        for (int id = 0; id < kNumParams; ++id)
        {
            const float v = VorlixLv2PortValue::toPort (id, mirror.normalizedParam (id));
            if (v == knownPort[id])
                continue;
            knownPort[id] = v;
            write (controller, static_cast<std::uint32_t> (id), sizeof (float), 0, &v);
        }
    }

    void sendTag (int tag, float value)
    {
        std::uint8_t buffer[128];
        lv2_atom_forge_set_buffer (&forge, buffer, sizeof buffer);
        LV2_Atom_Forge_Frame frame;
        auto* atom = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &frame, 0, tagMessage));
        lv2_atom_forge_key (&forge, tagId);
        lv2_atom_forge_int (&forge, tag);
        lv2_atom_forge_key (&forge, tagValue);
        lv2_atom_forge_float (&forge, value);
        lv2_atom_forge_pop (&forge, &frame);
        write (controller, kControl, lv2_atom_total_size (atom), eventTransfer, atom);
    }

    /** An object message with, optionally, the mirror's state record under the state key. */
    void sendObject (LV2_URID type, const VorlixInstrumentState::Record* record)
    {
        std::uint8_t buffer[64 + VorlixInstrumentState::kMaxBytes];
        lv2_atom_forge_set_buffer (&forge, buffer, sizeof buffer);
        LV2_Atom_Forge_Frame frame;
        auto* atom = reinterpret_cast<LV2_Atom*> (lv2_atom_forge_object (&forge, &frame, 0, type));
        if (record)
        {
            const auto bytes = VorlixInstrumentState::toBytes (*record);
            lv2_atom_forge_key (&forge, stateKey);
            lv2_atom_forge_atom (&forge, static_cast<std::uint32_t> (bytes.size), atomChunk);
            lv2_atom_forge_write (&forge, bytes.data.data (), static_cast<std::uint32_t> (bytes.size));
        }
        lv2_atom_forge_pop (&forge, &frame);
        write (controller, kControl, lv2_atom_total_size (atom), eventTransfer, atom);
    }

    void dispatch (const vexagui::VexaWindowEvent& event)
    {
        switch (event.type)
        {
            case vexagui::VexaWindowEvent::kPointerDown: editor->pointerDown (event.x, event.y, event.buttons); break;
            case vexagui::VexaWindowEvent::kPointerMove: editor->pointerMove (event.x, event.y, event.buttons); break;
            case vexagui::VexaWindowEvent::kPointerUp: editor->pointerUp (event.x, event.y, event.buttons); break;
            default: return;
        }
        editor->guiRoot ().syncContext ();
        drainHostRequest ();
        view.requestRedraw ();
    }

    void draw (std::int32_t width, std::int32_t height)
    {
        editor->guiRoot ().syncContext ();
        renderer.render (editor->guiRoot ().width (), editor->guiRoot ().height (), width, height);
        drainHostRequest ();
    }

    /** The preset file dialogs, asked for by the export and import buttons. */
    void drainHostRequest ()
    {
        if (!renderer.pendingRequest.pending ())
            return;
        const vexagui::HostRequest request = renderer.pendingRequest;
        renderer.clearPendingHostRequest ();
        if (request.kind == vexagui::HostRequest::kSaveFileDialog)
            Vorlix::runPresetExportDialog (request.text, [this] { return mirror.exportPresetJson (); });
        else if (request.kind == vexagui::HostRequest::kOpenFileDialog)
            Vorlix::runPresetImportDialog ([this] (const std::string& text) {
                if (!mirror.importPresetJson (text))
                    return false;
                const VorlixInstrumentState::Record record = mirror.stateRecord ();
                sendObject (applyMessage, &record);
                showMirror ();
                return true;
            });
    }

    void showMirror ()
    {
        editor->syncFromHost ();
        editor->guiRoot ().syncContext ();
        view.requestRedraw ();
    }

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Resize* resize;
    float scale;
    LV2_Atom_Forge forge {};
    LV2_URID atomChunk = 0, atomObject = 0, eventTransfer = 0, stateKey = 0, tagMessage = 0, tagId = 0,
             tagValue = 0, applyMessage = 0, valuesMessage = 0, requestMessage = 0;

    VorlixInstrument mirror;
    float knownPort[kNumParams] {};
    int voicesPlaying = 0;

    vexagui::VexaRendererOpenGL renderer;
    vexagui::VexaViewX11 view;
    vexagui::VexaOpenGLContextGLX context;
    std::unique_ptr<Vorlix::VorlixEditor> editor; // refers to the mirror and the renderer
};

void VorlixLv2Ui::portEvent (std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer)
{
    if (!buffer)
        return;
    if (format == 0 && size == sizeof (float))
    {
        float v = 0.0f;
        std::memcpy (&v, buffer, sizeof v);
        if (port < static_cast<std::uint32_t> (kNumParams))
        {
            const int id = static_cast<int> (port);
            // The echo of a value the mirror holds changes nothing (a position port would round a
            // program's in-between value).
            if (v == knownPort[id] || !(v == v))
                return;
            knownPort[id] = v;
            if (VorlixLv2PortValue::changes (id, v, mirror.normalizedParam (id)))
                mirror.setParamFromHost (id, VorlixLv2PortValue::fromPort (id, v));
            writePorts (); // a sync switch may have re-centred its detune
        }
        else if (port == kVoices)
        {
            voicesPlaying = v > 0.0f && v < 1000.0f ? static_cast<int> (v) : 0;
            editor->refreshDisplays ();
            editor->guiRoot ().syncContext ();
            view.requestRedraw ();
            return;
        }
        else
        {
            return;
        }
        showMirror ();
        return;
    }
    if (format != eventTransfer || port != kNotify || size < sizeof (LV2_Atom_Object))
        return;
    const auto* object = static_cast<const LV2_Atom_Object*> (buffer);
    if (object->atom.type != atomObject || object->body.otype != valuesMessage ||
        lv2_atom_total_size (&object->atom) > size)
        return;
    const LV2_Atom* chunk = nullptr;
    lv2_atom_object_get (object, stateKey, &chunk, 0);
    if (!chunk || chunk->type != atomChunk || chunk->size < VorlixInstrumentState::kBytes ||
        chunk->size > VorlixInstrumentState::kMaxBytes)
        return;
    const auto record =
        VorlixInstrumentState::fromBytes (static_cast<const std::uint8_t*> (LV2_ATOM_BODY_CONST (chunk)), chunk->size);
    if (!record)
        return;
    mirror.restoreState (*record);
    writePorts ();
    showMirror ();
}

//--- the C entry points ---------------------------------------------------------------------------

const LV2_Feature* feature (const LV2_Feature* const* features, const char* uri)
{
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp (features[i]->URI, uri) == 0)
            return features[i];
    return nullptr;
}

/** The host's ui:scaleFactor option, clamped to 1..3; else the desktop's. */
float hostScale (const LV2_Feature* const* features, const LV2_URID_Map* map)
{
    const LV2_Feature* f = feature (features, LV2_OPTIONS__options);
    if (f && f->data)
    {
        const LV2_URID scaleKey = map->map (map->handle, LV2_UI__scaleFactor);
        const LV2_URID floatType = map->map (map->handle, LV2_ATOM__Float);
        for (const auto* o = static_cast<const LV2_Options_Option*> (f->data); o->key != 0; ++o)
            if (o->key == scaleKey && o->type == floatType && o->size == sizeof (float) && o->value)
            {
                float s = 1.0f;
                std::memcpy (&s, o->value, sizeof s);
                return vexagui::clampContentScale (s);
            }
    }
    if (const std::optional<float> forced = Vorlix::forcedUiScale ())
        return *forced;
    return vexagui::x11::desktopScale ();
}

LV2UI_Handle instantiate (const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                          LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    const LV2_Feature* parent = feature (features, LV2_UI__parent);
    const LV2_Feature* map = feature (features, LV2_URID__map);
    const LV2_Feature* resize = feature (features, LV2_UI__resize);
    if (!parent || !map || !map->data || !write || !widget || !pluginUri ||
        std::strcmp (pluginUri, VORLIX_LV2_URI) != 0)
        return nullptr;
    const auto* urids = static_cast<const LV2_URID_Map*> (map->data);
    auto* ui = new (std::nothrow) VorlixLv2Ui (write, controller, urids,
                                               resize ? static_cast<const LV2UI_Resize*> (resize->data) : nullptr,
                                               hostScale (features, urids));
    if (!ui)
        return nullptr;
    const unsigned long child = ui->open (static_cast<unsigned long> (reinterpret_cast<std::uintptr_t> (parent->data)));
    if (child == 0)
    {
        delete ui;
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget> (static_cast<std::uintptr_t> (child));
    return ui;
}

VorlixLv2Ui* self (LV2UI_Handle h)
{
    return static_cast<VorlixLv2Ui*> (h);
}

int idle (LV2UI_Handle h)
{
    return self (h)->idle ();
}

const void* extensionData (const char* uri)
{
    static const LV2UI_Idle_Interface idleInterface {idle};
    return std::strcmp (uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}

const LV2UI_Descriptor descriptor {
    VORLIX_LV2_UI_URI,
    instantiate,
    [] (LV2UI_Handle h) { delete self (h); },
    [] (LV2UI_Handle h, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
        self (h)->portEvent (port, size, format, buffer);
    },
    extensionData,
};

} // namespace

extern "C" __attribute__ ((visibility ("default"))) const LV2UI_Descriptor* lv2ui_descriptor (std::uint32_t index)
{
    return index == 0 ? &descriptor : nullptr;
}
