#pragma once
#include <gtk/gtk.h>

#include "ui/backend/gtk/gtk_port.h"

// Signal handlers of the controls and the small helpers they share.
namespace ui::gtk {

GtkPort& Port();

gpointer PackControl(WindowId window, int id);
WindowId WindowOf(gpointer data);
int ControlOf(gpointer data);

std::string ControlCssName(const GtkWin& w, int id);

// List stores: a pixbuf, then one text column per list column.
constexpr int kListPixbufColumn = 0;
constexpr int kListTextColumn = 1;
constexpr int kListMaxColumns = 16;
GtkListStore* NewListStore();
void SelectListRow(GtkControl& c, int index);

// Before GTK starts: none of our windows or pages draws with GL, so the
// program process is kept from loading the GL stack.
void KeepGlOutOfTheProgram();
GtkWidget* NewWebView(WindowId window, int id);
void LoadWebAddress(GtkControl& c, const std::string& urlUtf8);

void OnButtonClicked(GtkButton* button, gpointer data);
void OnCheckToggled(GtkToggleButton* button, gpointer data);
void OnEntryInsert(GtkEditable* editable, gchar* text, gint length, gint* position, gpointer data);
void OnBufferInsert(GtkTextBuffer* buffer, GtkTextIter* location, gchar* text, gint length,
                    gpointer data);
void OnEditChanged(GObject* source, gpointer data);
void OnComboChanged(GtkComboBox* combo, gpointer data);
void OnComboEditChanged(GtkEntry* entry, gpointer data);
void OnComboPopup(GObject* combo, GParamSpec* property, gpointer data);
gboolean OnListPress(GtkWidget* view, GdkEventButton* event, gpointer data);
gboolean OnStaticPress(GtkWidget* box, GdkEventButton* event, gpointer data);
gboolean OnControlFocus(GtkWidget* widget, GdkEvent* event, gpointer data);

}  // namespace ui::gtk
