// The app's window: the instrument's editor in a top-level X11 window at the desktop's scale,
// titled with the program's name, played from the computer keyboard. The editor itself is the
// same screen model and renderer a plug-in view shows (VorlixEditorBinding); this adds the
// top-level window a plug-in host would otherwise provide. UI (main) thread only.
#pragma once

#include "apps/standalone/ComputerKeyboard.h"

#include <functional>
#include <memory>
#include <string>

class VorlixInstrument;

namespace Vorlix::App {

class AppWindow
{
public:
    /** Where the computer keyboard's notes go; false when they cannot be taken now (offered
        again at the next pump, so a release is never lost). */
    using NoteSink = std::function<bool (int pitch, int velocity)>;

    AppWindow (VorlixInstrument& instrument, NoteSink notes);
    ~AppWindow ();
    AppWindow (const AppWindow&) = delete;
    AppWindow& operator= (const AppWindow&) = delete;

    /** Opens the window on $DISPLAY. False with a one-line `error` (nothing stays open). */
    bool open (std::string& error);
    /** Descriptors to poll for input (the window's and the editor view's connections). */
    int windowFd () const;
    int viewFd () const;
    /** Reads what arrived, plays keys, follows program changes in the title, draws when due. */
    void pump ();
    /** The user closed the window. */
    bool closeRequested () const { return closing; }
    /** The instrument's values changed elsewhere (a program change over MIDI): show them. */
    void refresh ();
    void close ();

private:
    struct Native;
    void handleKey (unsigned long keysym, bool down);
    void flushNotes ();
    void updateTitle ();

    VorlixInstrument& instrument;
    NoteSink noteSink;
    ComputerKeyboard keyboard;
    std::unique_ptr<Native> native;
    bool closing = false;
    int titledProgram = -1;
    int shownVoices = -1;
};

} // namespace Vorlix::App
