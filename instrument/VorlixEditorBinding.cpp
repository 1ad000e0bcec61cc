// The editor's binding to the instrument.
#include "VorlixEditorBinding.h"

#include "VorlixInstrument.h"
#include "VorlixPresetBank.h"

VorlixEditorBinding::VorlixEditorBinding (VorlixInstrument& i)
: instrument (i)
{
}

VorlixEditorBinding::~VorlixEditorBinding () = default;

Vorlix::VorlixEditor::HostCallbacks VorlixEditorBinding::callbacksFor (VorlixInstrument& instrument,
                                                                      vexagui::VexaRendererOpenGL& renderer)
{
    Vorlix::VorlixEditor::HostCallbacks callbacks;
    VorlixInstrument* target = &instrument;
    vexagui::VexaRendererOpenGL* glRenderer = &renderer;
    callbacks.onControlTag = [target, glRenderer] (int tag, float value) { command (*target, *glRenderer, tag, value); };
    callbacks.getParamValue = [target] (int id) { return target->normalizedParam (id); };
    callbacks.getCurrentProgram = [target] { return target->currentProgramIndex (); };
    callbacks.getActiveVoiceCount = [target] { return target->activeVoiceCount (); };
    callbacks.getPreciseOscillators = [target] { return target->preciseOscillators (); };
    callbacks.getProgramCount = [] { return num_programs; };
    callbacks.getProgramName = [] (int index) { return VorlixPresetBank::programName (index); };
    return callbacks;
}

Vorlix::VorlixEditor& VorlixEditorBinding::model ()
{
    if (!editor)
    {
        editor = std::make_unique<Vorlix::VorlixEditor> (callbacksFor (instrument, glRenderer));
        glRenderer.setResources (editor->resourceList ());
        editor->guiRoot ().setContext (&glRenderer);
        refresh (); // as if it had followed every change since construction
    }
    return *editor;
}

void VorlixEditorBinding::command (VorlixInstrument& instrument, vexagui::VexaRendererOpenGL& renderer, int tag,
                                   float value)
{
    if (tag == Vorlix::kExportPreset)
        // The plug view runs the save dialog and writes the instrument's preset document.
        renderer.requestSaveFileDialog (instrument.currentProgramName ());
    else if (tag == Vorlix::kImportPreset)
        renderer.requestOpenFileDialog ();
    else if (tag == Vorlix::kPreciseOscillators)
        instrument.setPreciseOscillators (value >= 0.5f);
    instrument.handleUiControlTag (tag, value);
}

void VorlixEditorBinding::handleControlTag (int tag, float value)
{
    command (instrument, glRenderer, tag, value);
}

void VorlixEditorBinding::refresh ()
{
    if (!editor)
        return; // built from the current values when the first view is created
    editor->syncFromHost ();
    editor->guiRoot ().syncContext ();
}
