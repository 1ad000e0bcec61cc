#include "apps/standalone/AppWindow.h"

#include "VorlixEditorBinding.h"
#include "VorlixInstrument.h"
#include "editor/PresetFileDialogs.h"
#include "editor/UiScale.h"
#include "vexagui/platform/x11/VexaOpenGLContextGLX.h"
#include "vexagui/platform/x11/VexaViewX11.h"
#include "vexagui/platform/x11/VexaX11DesktopScale.h"
#include "vexagui/views/VexaEditor.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cmath>
#include <deque>

namespace Vorlix::App {

struct AppWindow::Native
{
    explicit Native (VorlixInstrument& instrument)
    : binding (instrument)
    {
    }
    VorlixEditorBinding binding;
    Display* display = nullptr; // the top-level window's own connection
    Window window = 0;
    Atom deleteWindow = 0;
    Atom netWmName = 0;
    Atom utf8String = 0;
    float scale = 1.f;
    vexagui::VexaViewX11 view;
    vexagui::VexaOpenGLContextGLX context;
    std::deque<ComputerKeyboard::Note> unsent;
};

AppWindow::AppWindow (VorlixInstrument& i, NoteSink notes)
: instrument (i)
, noteSink (std::move (notes))
{
}

AppWindow::~AppWindow () { close (); }

bool AppWindow::open (std::string& error)
{
    close ();
    native = std::make_unique<Native> (instrument);
    Native& n = *native;
    n.display = XOpenDisplay (nullptr);
    if (!n.display)
    {
        native.reset ();
        error = "cannot open the X display";
        return false;
    }
    Vorlix::VorlixEditor& model = n.binding.model ();
    vexagui::VexaEditor& editor = model.guiRoot ();
    const std::optional<float> forced = Vorlix::forcedUiScale ();
    n.scale = forced ? *forced : vexagui::x11::desktopScale ();
    const auto width = static_cast<unsigned> (std::lround (editor.width () * n.scale));
    const auto height = static_cast<unsigned> (std::lround (editor.height () * n.scale));
    const int screen = DefaultScreen (n.display);
    n.window = XCreateSimpleWindow (n.display, RootWindow (n.display, screen), 0, 0, width, height, 0, 0,
                                    BlackPixel (n.display, screen));
    // The editor has one size: the window manager is asked not to offer another.
    XSizeHints* size = XAllocSizeHints ();
    size->flags = PMinSize | PMaxSize;
    size->min_width = size->max_width = static_cast<int> (width);
    size->min_height = size->max_height = static_cast<int> (height);
    XWMHints* hints = XAllocWMHints ();
    hints->flags = InputHint;
    hints->input = True;
    XClassHint* klass = XAllocClassHint ();
    char resName[] = "vorlix307";
    char resClass[] = "Vorlix307";
    klass->res_name = resName;
    klass->res_class = resClass;
    XSetWMProperties (n.display, n.window, nullptr, nullptr, nullptr, 0, size, hints, klass);
    XFree (size);
    XFree (hints);
    XFree (klass);
    n.deleteWindow = XInternAtom (n.display, "WM_DELETE_WINDOW", False);
    n.netWmName = XInternAtom (n.display, "_NET_WM_NAME", False);
    n.utf8String = XInternAtom (n.display, "UTF8_STRING", False);
    XSetWMProtocols (n.display, n.window, &n.deleteWindow, 1);
    // Keys pressed over the editor pass up to this window (the view takes none), so they play
    // wherever the pointer is; losing the focus releases what is held.
    XSelectInput (n.display, n.window, KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
    // Held keys send one press and one release instead of a stream of both.
    XkbSetDetectableAutoRepeat (n.display, True, nullptr);
    updateTitle ();
    XMapWindow (n.display, n.window);
    XFlush (n.display);

    n.view.setEventCallback ([this] (const vexagui::VexaWindowEvent& event) {
        vexagui::VexaEditor& root = native->binding.model ().guiRoot ();
        switch (event.type)
        {
            case vexagui::VexaWindowEvent::kPointerDown: root.pointerDown (event.x, event.y, event.buttons); break;
            case vexagui::VexaWindowEvent::kPointerMove: root.pointerMove (event.x, event.y, event.buttons); break;
            case vexagui::VexaWindowEvent::kPointerUp: root.pointerUp (event.x, event.y, event.buttons); break;
            default: return;
        }
        root.syncContext ();
        native->view.requestRedraw ();
    });
    n.view.setDrawCallback ([this] (int32_t w, int32_t h) {
        vexagui::VexaEditor& root = native->binding.model ().guiRoot ();
        root.syncContext ();
        native->binding.renderer ().render (root.width (), root.height (), w, h);
    });
    n.view.setKeyboardInputEnabled (false);
    n.view.setContentScale (n.scale);
    if (!n.view.attachToSurface (vexagui::VexaNativeSurface::x11Window (n.window),
                                 static_cast<int> (editor.width ()), static_cast<int> (editor.height ())))
    {
        close ();
        error = "cannot show the editor in a window";
        return false;
    }
    vexagui::VexaRendererOpenGL& renderer = n.binding.renderer ();
    renderer.glContext = &n.context;
    renderer.redrawCallback = [this] { native->view.requestRedraw (); };
    renderer.attachToSurface (n.view.nativeSurface ()); // failure: frames draw nothing
    editor.syncContext ();
    n.view.requestRedraw ();
    return true;
}

int AppWindow::windowFd () const { return native ? ConnectionNumber (native->display) : -1; }
int AppWindow::viewFd () const { return native ? native->view.connectionFileDescriptor () : -1; }

void AppWindow::pump ()
{
    if (!native)
        return;
    Native& n = *native;
    while (XPending (n.display) > 0)
    {
        XEvent event {};
        XNextEvent (n.display, &event);
        switch (event.type)
        {
            case KeyPress:
            case KeyRelease:
                handleKey (XLookupKeysym (&event.xkey, 0), event.type == KeyPress);
                break;
            case FocusOut:
                // Whatever is held now would never see its release.
                keyboard.releaseAll ([&] (ComputerKeyboard::Note note) { n.unsent.push_back (note); });
                break;
            case ClientMessage:
                if (static_cast<Atom> (event.xclient.data.l[0]) == n.deleteWindow)
                    closing = true;
                break;
            default:
                break;
        }
    }
    flushNotes ();
    n.view.processEvents ();

    // Host requests of the export and import buttons: the same dialogs as in a plug-in.
    vexagui::VexaRendererOpenGL& renderer = n.binding.renderer ();
    if (renderer.pendingRequest.kind != vexagui::HostRequest::kNone)
    {
        const vexagui::HostRequest request = renderer.pendingRequest;
        renderer.clearPendingHostRequest ();
        if (request.kind == vexagui::HostRequest::kOpenFileDialog)
            runPresetImportDialog ([this] (const std::string& text) { return instrument.importPresetJson (text); });
        else if (request.kind == vexagui::HostRequest::kSaveFileDialog)
            runPresetExportDialog (request.text, [this] { return instrument.exportPresetJson (); });
        refresh ();
    }
    if (instrument.currentProgramIndex () != titledProgram)
        updateTitle ();
    // The voice read-out follows the sound, not the user.
    if (const int voices = instrument.activeVoiceCount (); voices != shownVoices)
    {
        shownVoices = voices;
        n.binding.model ().refreshDisplays ();
        n.binding.model ().guiRoot ().syncContext ();
        n.view.requestRedraw ();
    }
    n.view.drawIfRequested ();
}

void AppWindow::refresh ()
{
    if (!native)
        return;
    native->binding.refresh ();
    native->view.requestRedraw ();
}

void AppWindow::handleKey (unsigned long keysym, bool down)
{
    const ComputerKeyboard::Note note = down ? keyboard.press (keysym) : keyboard.release (keysym);
    if (note.pitch >= 0)
        native->unsent.push_back (note);
}

void AppWindow::flushNotes ()
{
    auto& unsent = native->unsent;
    while (!unsent.empty () && noteSink && noteSink (unsent.front ().pitch, unsent.front ().velocity))
        unsent.pop_front ();
}

void AppWindow::updateTitle ()
{
    Native& n = *native;
    titledProgram = instrument.currentProgramIndex ();
    const std::string title = std::string ("Vorlix307 - ") + instrument.currentProgramName ();
    XStoreName (n.display, n.window, title.c_str ());
    XChangeProperty (n.display, n.window, n.netWmName, n.utf8String, 8, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (title.data ()), static_cast<int> (title.size ()));
    XFlush (n.display);
}

void AppWindow::close ()
{
    if (!native)
        return;
    Native& n = *native;
    // Notes still held are released: the instrument plays on without the window.
    keyboard.releaseAll ([&] (ComputerKeyboard::Note note) { n.unsent.push_back (note); });
    flushNotes ();
    vexagui::VexaRendererOpenGL& renderer = n.binding.renderer ();
    if (renderer.glContext == &n.context)
    {
        renderer.detachFromSurface ();
        renderer.glContext = nullptr;
        renderer.redrawCallback = nullptr;
    }
    n.view.detach ();
    if (n.display)
    {
        if (n.window)
            XDestroyWindow (n.display, n.window);
        XCloseDisplay (n.display);
    }
    native.reset ();
}

} // namespace Vorlix::App
