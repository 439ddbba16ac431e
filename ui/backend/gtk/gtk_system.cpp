// System dialogs: message boxes, the file and folder pickers, the tray icon.
#include <gdk/gdkx.h>

#include <algorithm>

#include "ui/backend/gtk/gtk_port.h"
#include "ui/backend/gtk/gtk_signals.h"

namespace ui::gtk {

namespace {

struct BoxRef {
  bool* answered;
  int* result;
  unsigned buttons;
};

void OnBoxResponse(GtkDialog*, gint response, gpointer data) {
  const BoxRef* ref = static_cast<const BoxRef*>(data);
  int result = response;
  if (response < 0) {
    // Closed by Esc or the window's close button: what Windows answers then.
    if (ref->buttons == mb::kYesNo) return;  // such a box cannot be closed
    result = ref->buttons == mb::kOkCancel ? IDCANCEL : IDOK;
  }
  *ref->result = result;
  *ref->answered = true;
  g_main_context_wakeup(nullptr);
}

const char* IconNameOf(unsigned type) {
  switch (type & mb::kIconMask) {
    case mb::kIconError:
      return "dialog-error-symbolic";
    case mb::kIconQuestion:
      return "dialog-question-symbolic";
    case mb::kIconWarning:
      return "dialog-warning-symbolic";
    case mb::kIconInformation:
      return "dialog-information-symbolic";
    default:
      return nullptr;
  }
}

GtkMessageType MessageTypeOf(unsigned type) {
  switch (type & mb::kIconMask) {
    case mb::kIconError:
      return GTK_MESSAGE_ERROR;
    case mb::kIconQuestion:
      return GTK_MESSAGE_QUESTION;
    case mb::kIconWarning:
      return GTK_MESSAGE_WARNING;
    case mb::kIconInformation:
      return GTK_MESSAGE_INFO;
    default:
      return GTK_MESSAGE_OTHER;
  }
}

gboolean OnTrayPress(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
  std::uint32_t message = 0;
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1) message = msg::kLButtonDblClk;
  if (event->type == GDK_BUTTON_PRESS && event->button == 1) message = msg::kLButtonDown;
  if (event->type == GDK_BUTTON_PRESS && event->button == 3) message = msg::kRButtonDown;
  if (message) Port().TrayMouse(WindowOf(data), ControlOf(data), message);
  return TRUE;
}

gboolean OnTrayRelease(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
  if (event->button == 1) Port().TrayMouse(WindowOf(data), ControlOf(data), msg::kLButtonUp);
  if (event->button == 3) Port().TrayMouse(WindowOf(data), ControlOf(data), msg::kRButtonUp);
  return TRUE;
}

void OnPickerResponse(GtkDialog*, gint response, gpointer data) {
  *static_cast<gint*>(data) = response;
  g_main_context_wakeup(nullptr);
}

}  // namespace

// --- message boxes -----------------------------------------------------------------------

int GtkPort::MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                        unsigned type) {
  if (quit_) return 0;
  auto box = std::make_unique<Box>();
  box->view = MessageBoxView{std::string(text), std::string(caption), type};
  box->owner = Find(owner) ? owner : 0;
  Box* self = box.get();
  boxes_.push_back(std::move(box));

  GtkWin* ownerWindow = Find(self->owner);
  GtkWidget* dialog = gtk_message_dialog_new(
      ownerWindow ? GTK_WINDOW(ownerWindow->toplevel) : nullptr, GTK_DIALOG_MODAL,
      MessageTypeOf(type), GTK_BUTTONS_NONE, "%s", ToUtf8(text).c_str());
  self->dialog = dialog;
  gtk_window_set_title(GTK_WINDOW(dialog), ToUtf8(caption).c_str());
  // The caption in a title bar of our own, so it shows with or without a
  // window manager; the icon beside the text, as Windows draws it.
  GtkWidget* titleBar = gtk_header_bar_new();
  gtk_header_bar_set_title(GTK_HEADER_BAR(titleBar), ToUtf8(caption).c_str());
  gtk_widget_show(titleBar);
  gtk_window_set_titlebar(GTK_WINDOW(dialog), titleBar);
  if (const char* iconName = IconNameOf(type)) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog),
                                 gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_DIALOG));
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  gtk_window_set_position(GTK_WINDOW(dialog),
                          ownerWindow ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  if (type & mb::kTopmost) gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  const unsigned buttons = type & mb::kButtonsMask;
  GtkDialog* d = GTK_DIALOG(dialog);
  if (buttons == mb::kYesNo) {
    gtk_dialog_add_button(d, ToUtf8("是").c_str(), IDYES);
    gtk_dialog_add_button(d, ToUtf8("否").c_str(), IDNO);
    gtk_window_set_deletable(GTK_WINDOW(dialog), FALSE);
    gtk_dialog_set_default_response(d, IDYES);
  } else {
    gtk_dialog_add_button(d, ToUtf8("确定").c_str(), IDOK);
    if (buttons == mb::kOkCancel) gtk_dialog_add_button(d, ToUtf8("取消").c_str(), IDCANCEL);
    gtk_dialog_set_default_response(d, IDOK);
  }
  BoxRef ref{&self->answered, &self->result, buttons};
  g_signal_connect(dialog, "response", G_CALLBACK(OnBoxResponse), &ref);

  const bool ownerWasEnabled = self->owner && IsEnabled(self->owner);
  if (self->owner) EnableWindow(self->owner, false);
  FocusWhenMapped(dialog);
  gtk_widget_show_all(dialog);

  RunLoopUntil([self] { return self->answered; });

  const int result = self->answered ? self->result : 0;
  gtk_widget_destroy(dialog);
  if (self->owner && ownerWasEnabled) EnableWindow(self->owner, true);
  boxes_.erase(std::find_if(boxes_.begin(), boxes_.end(),
                            [self](const auto& b) { return b.get() == self; }));
  return result;
}

std::optional<MessageBoxView> GtkPort::OpenMessageBox() {
  if (boxes_.empty()) return std::nullopt;
  return boxes_.back()->view;
}

bool GtkPort::AnswerMessageBox(int result) {
  actionError_ = common::AnswerError(boxes_.empty() ? nullptr : &boxes_.back()->view, result);
  if (!actionError_.empty()) return false;
  Box& box = *boxes_.back();
  // Press the real button, as a user would.
  GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(box.dialog), result);
  if (button) gtk_button_clicked(GTK_BUTTON(button));
  if (!box.answered) {
    box.answered = true;
    box.result = result;
  }
  return true;
}

// --- pickers -------------------------------------------------------------------------------

void GtkPort::SetNextPickerAnswer(std::optional<std::string> path) {
  pickerAnswer_ = std::move(path);
}

std::optional<std::string> GtkPort::RunPicker(WindowId owner, GtkWidget* chooser) {
  gint response = GTK_RESPONSE_NONE;
  g_signal_connect(chooser, "response", G_CALLBACK(OnPickerResponse), &response);
  const bool ownerWasEnabled = owner && IsEnabled(owner);
  if (owner) EnableWindow(owner, false);
  gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
  FocusWhenMapped(chooser);
  gtk_widget_show_all(chooser);
  RunLoopUntil([&response] { return response != GTK_RESPONSE_NONE; });
  std::optional<std::string> path;
  if (response == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser))) {
      path = FromUtf8(name);
      g_free(name);
    }
  }
  gtk_widget_destroy(chooser);
  if (owner && ownerWasEnabled) EnableWindow(owner, true);
  return path;
}

std::optional<std::string> GtkPort::PickOpenFile(WindowId owner,
                                                 const std::vector<FileFilter>& filters) {
  if (pickerAnswer_ || script_) {
    // A scenario answers pickers itself; one it did not answer is cancelled.
    std::optional<std::string> answer;
    if (pickerAnswer_) answer = *pickerAnswer_;
    pickerAnswer_.reset();
    return answer;
  }
  GtkWin* w = Find(owner);
  GtkWidget* chooser = gtk_file_chooser_dialog_new(
      ToUtf8("打开").c_str(), w ? GTK_WINDOW(w->toplevel) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN,
      ToUtf8("取消").c_str(), GTK_RESPONSE_CANCEL, ToUtf8("打开").c_str(), GTK_RESPONSE_ACCEPT,
      nullptr);
  for (const FileFilter& f : filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, ToUtf8(f.description).c_str());
    std::string patterns = f.pattern;
    std::size_t start = 0;
    while (start <= patterns.size()) {
      const std::size_t end = std::min(patterns.find(';', start), patterns.size());
      std::string one = patterns.substr(start, end - start);
      if (one == "*.*") one = "*";
      if (!one.empty()) gtk_file_filter_add_pattern(filter, ToUtf8(one).c_str());
      start = end + 1;
    }
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
  }
  return RunPicker(w ? owner : 0, chooser);
}

std::optional<std::string> GtkPort::PickFolder(WindowId owner, std::string_view title) {
  if (pickerAnswer_ || script_) return PickOpenFile(owner, {});
  GtkWin* w = Find(owner);
  GtkWidget* chooser = gtk_file_chooser_dialog_new(
      ToUtf8(title).c_str(), w ? GTK_WINDOW(w->toplevel) : nullptr,
      GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, ToUtf8("取消").c_str(), GTK_RESPONSE_CANCEL,
      ToUtf8("确定").c_str(), GTK_RESPONSE_ACCEPT, nullptr);
  return RunPicker(w ? owner : 0, chooser);
}

// --- tray ----------------------------------------------------------------------------------

// GtkStatusIcon is deprecated, but it is what X11 notification areas speak.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

bool GtkPort::TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
                      std::uint32_t callbackMessage) {
  const auto key = std::make_pair(owner, iconId);
  if (tray_.count(key)) return false;
  GdkPixbuf* pixbuf = Icon(iconResource, 32);
  GtkStatusIcon* icon = pixbuf ? gtk_status_icon_new_from_pixbuf(pixbuf) : gtk_status_icon_new();
  const std::string shortTip = common::TrayTip(tip);
  gtk_status_icon_set_tooltip_text(icon, ToUtf8(shortTip).c_str());
  gtk_status_icon_set_title(icon, ToUtf8(shortTip).c_str());
  const gpointer data = PackControl(owner, iconId);
  g_signal_connect(icon, "button-press-event", G_CALLBACK(OnTrayPress), data);
  g_signal_connect(icon, "button-release-event", G_CALLBACK(OnTrayRelease), data);
  gtk_status_icon_set_visible(icon, TRUE);
  Tray& tray = tray_[key];
  tray.view = TrayIconView{owner, iconId, iconResource, shortTip};
  tray.callback = callbackMessage;
  tray.icon = G_OBJECT(icon);
  return true;
}

// A notification area owns the screen's system-tray selection.
bool NotificationAreaPresent() {
  GdkDisplay* display = gdk_display_get_default();
  if (!GDK_IS_X11_DISPLAY(display)) return false;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(x));
  return XGetSelectionOwner(x, XInternAtom(x, selection.c_str(), False)) != None;
}

std::optional<int> GtkPort::UnseenTrayIcon(WindowId window) {
  for (const auto& [key, tray] : tray_) {
    if (key.first != window) continue;
    if (gtk_status_icon_is_embedded(GTK_STATUS_ICON(tray.icon)) || NotificationAreaPresent()) {
      return std::nullopt;
    }
    return key.second;
  }
  return std::nullopt;
}

bool GtkPort::TrayDelete(WindowId owner, int iconId) {
  auto it = tray_.find({owner, iconId});
  if (it == tray_.end()) return false;
  gtk_status_icon_set_visible(GTK_STATUS_ICON(it->second.icon), FALSE);
  g_object_unref(it->second.icon);
  tray_.erase(it);
  return true;
}

G_GNUC_END_IGNORE_DEPRECATIONS

std::vector<TrayIconView> GtkPort::TrayIcons() {
  return common::TrayViews(tray_);
}

void GtkPort::TrayMouse(WindowId owner, int iconId, std::uint32_t mouseMessage) {
  auto it = tray_.find({owner, iconId});
  GtkWin* w = Find(owner);
  if (it == tray_.end() || !w || !w->client) return;
  w->client->HandleMessage(common::TrayMessage(it->second, iconId, mouseMessage));
}

bool GtkPort::ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) {
  actionError_.clear();
  DrivingScope driving(*this);
  if (!tray_.count({owner, iconId})) return Fail("no such tray icon");
  GtkWin* w = Find(owner);
  if (!w || !w->client) return Fail("the tray icon's window is gone");
  TrayMouse(owner, iconId, mouseMessage);
  Pump();
  return true;
}

void GtkPort::AppendSystemMenu(WindowId window, unsigned command, std::string_view text) {
  if (GtkWin* w = Find(window)) w->systemMenu.emplace_back(command, std::string(text));
}

}  // namespace ui::gtk
