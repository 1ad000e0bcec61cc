// The editor's binding to the instrument it shows: the screen model and its renderer, the host
// callbacks through which the screen reaches the instrument, and the preset file requests that
// the export and import buttons post for whichever plug view runs the dialogs. UI thread only.
#pragma once

#include "editor/VorlixEditor.h"
#include "vexagui/render/opengl/VexaRendererOpenGL.h"

#include <memory>

class VorlixInstrument;

class VorlixEditorBinding
{
public:
    explicit VorlixEditorBinding (VorlixInstrument& instrument);
    ~VorlixEditorBinding ();
    VorlixEditorBinding (const VorlixEditorBinding&) = delete;
    VorlixEditorBinding& operator= (const VorlixEditorBinding&) = delete;

    /** The callbacks a screen model uses to reach `instrument` (the channel row and the keyboard
        are not shown with a plug-in: their callbacks stay empty). */
    static Vorlix::VorlixEditor::HostCallbacks callbacksFor (VorlixInstrument& instrument,
                                                             vexagui::VexaRendererOpenGL& renderer);

    /** The screen model, built when a view first asks for it (most instances never show one);
        it then lives as long as the binding. */
    Vorlix::VorlixEditor& model ();
    const Vorlix::VorlixEditor* modelIfBuilt () const { return editor.get (); }
    vexagui::VexaRendererOpenGL& renderer () { return glRenderer; }

    /** The editor's command entry: the preset export and import buttons post their file dialog
        requests, everything else goes to the instrument. */
    void handleControlTag (int tag, float value);
    /** Pulls the instrument's values into a built screen model. */
    void refresh ();

private:
    static void command (VorlixInstrument& instrument, vexagui::VexaRendererOpenGL& renderer, int tag, float value);

    VorlixInstrument& instrument;
    // Declared before the editor: the editor draws into it until it is gone.
    vexagui::VexaRendererOpenGL glRenderer;
    std::unique_ptr<Vorlix::VorlixEditor> editor;
};
