// The editor inside a GTK 3 GtkSocket, as a GTK host embeds a plug-in's view (Xvfb): the socket
// redirects the window's map request to itself and keeps a child unmapped while its _XEMBED_INFO
// says so. The editor must end up mapped and drawn exactly as a plain parent shows it, and close
// without leftovers. Only this test links GTK; the plug-in never does.
#include <gtest/gtest.h>

#include "HostedEditor.h"

// After gtest: X11's macros (None, Bool) clash with its names.
#include <gtk/gtk.h>
#include <gtk/gtkx.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace Vorlix::test;

namespace {

void runGtk() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

// A host window with one socket, at the bottom right of the screen (other display tests open
// their windows at the top left).
struct GtkHostWindow {
    GtkWidget* window = nullptr;
    GtkWidget* socket = nullptr;
    int plugsRemoved = 0;

    explicit GtkHostWindow(Display* screen) {
        window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        socket = gtk_socket_new();
        // Kept after its plug is gone, so that the host can close the window itself.
        g_signal_connect(socket, "plug-removed", G_CALLBACK(+[](GtkSocket*, gpointer self) -> gboolean {
                             ++static_cast<GtkHostWindow*>(self)->plugsRemoved;
                             return TRUE;
                         }), this);
        gtk_container_add(GTK_CONTAINER(window), socket);
        gtk_window_move(GTK_WINDOW(window), DisplayWidth(screen, DefaultScreen(screen)) - kEditorWidth - 8,
                        DisplayHeight(screen, DefaultScreen(screen)) - kEditorHeight - 8);
        gtk_widget_show_all(window);
        runGtk();
    }
    ~GtkHostWindow() {
        gtk_widget_destroy(window);
        runGtk();
    }

    unsigned long socketId() const { return gtk_socket_get_id(GTK_SOCKET(socket)); }
    bool embedded() const { return gtk_socket_get_plug_window(GTK_SOCKET(socket)) != nullptr; }
};

} // namespace

TEST(EditorEmbedding, GtkSocket) {
    const auto reference = editorPictureInBareParent();
    ASSERT_FALSE(reference.empty()) << "the editor does not draw in a bare parent";

    ::setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus on a test display
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "no X display";
    Display* screenReader = XOpenDisplay(nullptr);
    ASSERT_NE(screenReader, nullptr);
    {
        GtkHostWindow host(screenReader);
        HostedEditor e;
        std::string error;
        ASSERT_TRUE(e.open(host.socketId(), error)) << error;
        std::vector<unsigned char> shown;
        const bool drawn = e.frame.pumpUntil([&] {
            runGtk();
            int w = 0, h = 0;
            const auto rgb = vexagui::test::grabWindowRgb(screenReader, host.socketId(), w, h);
            shown = editorRegion(rgb, w, h);
            return host.embedded() && shown == reference;
        }, 5000);
        EXPECT_TRUE(drawn) << "not drawn as in a bare parent; embedded: " << host.embedded()
                           << ", socket size " << gtk_widget_get_allocated_width(host.socket) << " x "
                           << gtk_widget_get_allocated_height(host.socket);

        e.close();
        EXPECT_TRUE(e.frame.pumpUntil([&] {
            runGtk();
            return host.plugsRemoved == 1;
        }));
        EXPECT_FALSE(host.embedded());
    }
    runGtk();
    XCloseDisplay(screenReader);
}
