#pragma once
#include <gtk/gtk.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend/common/window_book.h"
#include "ui/backend/gtk/gtk_backend.h"

typedef struct _WebKitWebView WebKitWebView;

namespace ui::gtk {

// One numbered control and the widgets that show it.
struct GtkControl : common::ControlRecord {
  int id = 0;
  GtkWidget* outer = nullptr;   // what sits in the window (event box, scroller, ...)
  GtkWidget* widget = nullptr;  // the label, entry, text view, combo, list or web view
  int check = 0;
  // What the program last put in, and its UTF-8 form: while the widget still
  // shows exactly that, reading answers the program's bytes unchanged.
  std::string setText;
  std::string setTextUtf8;
  // Combo entries; list columns, rows (item text, then sub-items), images.
  std::vector<std::string> items;
  std::vector<std::string> columns;
  std::vector<int> columnWidths;
  std::vector<bool> columnCentred;
  std::vector<std::vector<std::string>> rows;
  std::vector<int> rowImages;
  std::optional<Color> listBackground;
  int selection = -1;          // list selection
  std::string userNavigation;  // web view: address already reported by the driver
  // Web view: the WebKit view is made when the control first shows on the
  // screen; until then a placeholder stands in and `url` with the record's
  // history keeps what was asked of it.
  bool webViewMade = false;
  guint32 lastPressTime = 0;      // to tell a double click's second press
  bool selChangePending = false;  // combo: picked while its list was open
  bool closeUpPending = false;    // combo: its list has closed, the close-up is not sent yet
};

struct GtkWin : common::WindowRecord {
  WindowId id = 0;
  GtkWidget* toplevel = nullptr;
  GtkWidget* layout = nullptr;
  std::string name;  // CSS name of the toplevel
  Rect rect;         // screen pixels, client area
  bool visible = false;
  bool minimized = false;
  bool enabled = true;
  bool topmost = false;
  bool activateOnMap = false;  // shown to be the active window, not on the screen yet
  // Hidden to a tray icon that no notification area shows: the window waits
  // iconified in the task bar instead (UnseenTrayIcon).
  std::optional<int> waitsForTrayIcon;
  int focus = 0;        // last control the program or the driver focused
  Size reportedClient;  // client size the page last heard of (WM_SIZE)
  std::map<int, GtkControl> controls;
  struct Timer {
    guint source = 0;
    unsigned period = 0;
    std::uint64_t generation = 0;
  };
  std::map<int, Timer> timers;
  // System-menu entries the page added: an undecorated GTK window shows no
  // window menu, so they are kept, and reached through SystemCommand.
  std::vector<std::pair<unsigned, std::string>> systemMenu;
  unsigned draws = 0;
  // Mouse state for dragging by the background.
  bool dragging = false;  // a move we carry out ourselves (no window manager)
  bool buttonHeld = false;
  guint32 pressTime = 0;
  guint32 lastBackgroundPress = 0;
  double pressRootX = 0;
  double pressRootY = 0;
  Point dragWindowStart;
  std::optional<Point> expectedPosition;  // our own move, not yet confirmed
  gint64 expectedSince = 0;
};

class GtkPort : public GtkBackend {
 public:
  GtkPort();
  ~GtkPort() override;

  // --- Backend ---------------------------------------------------------------
  WindowId CreateDialogWindow(const DialogTemplate& dialogTemplate, WindowId owner,
                              WindowClient& client) override;
  void DestroyWindow(WindowId window) override;
  bool IsWindow(WindowId window) override;
  int RunModal(WindowId window) override;
  void EndModal(WindowId window, int result) override;
  int RunMessageLoop() override;
  void PostQuit(int exitCode) override;
  bool QuitPosted() override { return quit_; }
  int ExitCode() override { return exitCode_; }

  void Show(WindowId window, ShowCommand command) override;
  bool IsVisible(WindowId window) override;
  void EnableWindow(WindowId window, bool enable) override;
  bool IsEnabled(WindowId window) override;
  Rect GetWindowRect(WindowId window) override;
  Rect GetClientRect(WindowId window) override;
  void MoveWindow(WindowId window, const Rect& rect) override;
  void SetTopmost(WindowId window, bool topmost) override;
  bool IsTopmost(WindowId window) override;
  Size ScreenSize() override;
  Size WorkAreaSize() override;
  void SetWindowText(WindowId window, std::string_view text) override;
  void Invalidate(WindowId window, const std::optional<Rect>& rect, bool erase) override;
  void InvalidateControl(WindowId window, int id, bool erase) override;
  void SetForeground(WindowId window) override;

  std::string GetControlText(WindowId window, int id) override;
  void SetControlText(WindowId window, int id, std::string_view text) override;
  void EnableControl(WindowId window, int id, bool enable) override;
  bool IsControlEnabled(WindowId window, int id) override;
  void ShowControl(WindowId window, int id, bool show) override;
  bool IsControlVisible(WindowId window, int id) override;
  Rect GetControlRect(WindowId window, int id) override;
  void MoveControl(WindowId window, int id, const Rect& rect) override;
  int GetCheck(WindowId window, int id) override;
  void SetCheck(WindowId window, int id, int state) override;
  void SetEditLimit(WindowId window, int id, int bytes) override;
  void SetEditSelection(WindowId window, int id, int start, int end) override;
  void SetControlBitmap(WindowId window, int id, int bitmapId) override;
  void SetControlFont(WindowId window, int id, const FontSpec& font) override;
  void SetFocus(WindowId window, int id) override;
  int GetFocus(WindowId window) override;

  int ComboAddString(WindowId window, int id, std::string_view text) override;
  void ComboReset(WindowId window, int id) override;
  int ComboCount(WindowId window, int id) override;
  std::string ComboItemText(WindowId window, int id, int index) override;
  int ComboGetSel(WindowId window, int id) override;
  void ComboSetSel(WindowId window, int id, int index) override;

  void ListSetImageList(WindowId window, int id, const ImageList& images) override;
  void ListSetColors(WindowId window, int id, Color background, Color textBackground) override;
  void ListInsertColumn(WindowId window, int id, int column, std::string_view title, int width,
                        bool centred) override;
  void ListDeleteAllItems(WindowId window, int id) override;
  int ListInsertItem(WindowId window, int id, int index, std::string_view text, int image) override;
  void ListSetItemText(WindowId window, int id, int item, int subItem,
                       std::string_view text) override;
  std::string ListItemText(WindowId window, int id, int item, int subItem) override;
  int ListItemCount(WindowId window, int id) override;
  int ListColumnCount(WindowId window, int id) override;
  int ListSelected(WindowId window, int id) override;

  void WebNavigate(WindowId window, int id, std::string_view url) override;
  std::string WebLocation(WindowId window, int id) override;
  bool WebGo(WindowId window, int id, int delta) override;
  void WebRefresh(WindowId window, int id) override;

  void SetTimer(WindowId window, int timerId, unsigned periodMs) override;
  void KillTimer(WindowId window, int timerId) override;

  int MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                 unsigned type) override;
  std::optional<std::string> PickOpenFile(WindowId owner,
                                          const std::vector<FileFilter>& filters) override;
  std::optional<std::string> PickFolder(WindowId owner, std::string_view title) override;
  bool TrayAdd(WindowId owner, int iconId, int iconResource, std::string_view tip,
               std::uint32_t callbackMessage) override;
  bool TrayDelete(WindowId owner, int iconId) override;
  void AppendSystemMenu(WindowId window, unsigned command, std::string_view text) override;
  void BeginDrag(WindowId window, Point clientPoint) override;

  void Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
            std::unique_ptr<Payload> payload) override;

  // --- UserActions -------------------------------------------------------------
  void SetScript(Script* script) override;
  bool ScriptExhausted() override { return scriptExhausted_; }
  std::string ActionError() override { return actionError_; }

  std::vector<WindowId> FindWindows(int templateId) override;
  int TemplateOf(WindowId window) override;
  bool IsModalRunning(WindowId window) override;

  bool Click(WindowId window, int controlId) override;
  bool DoubleClick(WindowId window, int controlId) override;
  bool Type(WindowId window, int controlId, const std::string& text) override;
  bool ChooseCombo(WindowId window, int controlId, int index) override;
  bool TypeCombo(WindowId window, int controlId, const std::string& text) override;
  bool ClickList(WindowId window, int controlId, int item, int subItem) override;
  bool DoubleClickList(WindowId window, int controlId, int item, int subItem) override;
  bool PressKey(WindowId window, int controlId, int virtualKey, unsigned modifiers) override;
  bool Drag(WindowId window, Point from, Point to) override;
  bool DoubleClickAt(WindowId window, Point at) override;
  bool SystemClose(WindowId window) override;
  bool SystemCommand(WindowId window, unsigned command) override;

  std::optional<MessageBoxView> OpenMessageBox() override;
  bool AnswerMessageBox(int result) override;

  std::vector<TrayIconView> TrayIcons() override;
  bool ClickTray(WindowId owner, int iconId, std::uint32_t mouseMessage) override;
  void SetNextPickerAnswer(std::optional<std::string> path) override;
  bool RightClick(WindowId window, int controlId, bool& takenByPage) override;
  bool WebNavigateByUser(WindowId window, int controlId, const std::string& url,
                         bool newWindow) override;

  void Advance(unsigned milliseconds) override;
  bool SetLocalTime(int year, int month, int day, int hour, int minute, int second) override;
  void Pump() override;
  bool WaitUntil(const std::function<bool()>& done, unsigned milliseconds) override;

  std::vector<std::string> PaintLog(WindowId window) override;
  std::string WindowCaption(WindowId window) override;
  std::optional<FontSpec> ControlFont(WindowId window, int controlId) override;
  std::optional<ImageList> ListImages(WindowId window, int controlId) override;
  CtlColor ControlColor(WindowId window, int controlId) override;
  int EditLimit(WindowId window, int controlId) override;
  std::pair<int, int> EditSelection(WindowId window, int controlId) override;
  void Repaint(WindowId window) override;
  bool Screenshot(WindowId window, const std::string& path) override;

  // --- used by the signal handlers -----------------------------------------------
  GtkWin* Find(WindowId window);
  GtkControl* FindControl(WindowId window, int id);
  // Programmatic changes raise no notifications while this is above zero.
  bool Quiet() const { return quiet_ > 0; }
  void SendCommand(WindowId window, int id, int code);
  void SendNotify(WindowId window, const Notification& notification);
  void SendMouse(WindowId window, std::uint32_t message, Point at);
  // The dialog manager's handling of a key; true when it was used.
  bool DialogKey(WindowId window, int controlId, int virtualKey, unsigned modifiers);
  void ListClicked(WindowId window, int id, int item, int subItem, int code);
  void Painted(WindowId window, cairo_t* cr);
  void BackgroundPress(WindowId window, GdkEventButton* event);
  void BackgroundRelease(WindowId window);
  void BackgroundMotion(WindowId window, GdkEventMotion* event);
  void Configured(WindowId window, int x, int y);
  void CloseRequested(WindowId window);
  void TimerFired(WindowId window, int timerId, std::uint64_t generation);
  void DeliverNextPosted();
  void MessageBoxAnswered(int result);
  void TrayMouse(WindowId owner, int iconId, std::uint32_t mouseMessage);
  // The window's tray icon when no notification area can show it (a desktop
  // without one), or nullopt: hiding the window would lose it.
  std::optional<int> UnseenTrayIcon(WindowId window);
  bool WebDecide(WindowId window, int id, const std::string& urlUtf8, bool newWindow);
  void WebLoaded(WindowId window, int id, const std::string& urlUtf8);
  // A right-button message on a control, offered to the page first; true when
  // the page kept it from the control.
  bool ControlRightButton(WindowId window, int id, std::uint32_t message, Point at);
  // The layout got a new size: the page hears it as WM_SIZE.
  void LayoutSized(WindowId window, int width, int height);
  // Windows changed place or visibility: web views that now show get made
  // once the loop is idle, so a window passing over the screen on its way
  // off it does not make one.
  void QueueWebViewCheck();
  // Iconified or restored, by the program or the window manager: the page
  // hears a size change.
  void Minimized(WindowId window, bool minimized);
  void MakeShownWebViews();

  // Resources as pixbufs (owned by the cache); null when missing.
  GdkPixbuf* Bitmap(int bitmapId);
  GdkPixbuf* Icon(int iconId, int size);

 private:
  struct PostedMessage {
    WindowId window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::unique_ptr<Payload> payload;
  };
  struct Box {
    MessageBoxView view;
    GtkWidget* dialog = nullptr;
    WindowId owner = 0;
    bool answered = false;
    int result = 0;
  };
  struct Tray : common::TrayRecord {
    GObject* icon = nullptr;  // GtkStatusIcon
  };

  class QuietScope {
   public:
    explicit QuietScope(GtkPort& port) : port_(port) { ++port_.quiet_; }
    ~QuietScope() { --port_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

   private:
    GtkPort& port_;
  };

  // Window creation (gtk_windows.cpp) and controls (gtk_controls.cpp).
  void BuildControl(GtkWin& w, const ControlTemplate& t);
  // Names the control's widgets and puts them in the window at its rectangle.
  void PutControl(GtkWin& w, GtkControl& c);
  void MakeWebView(GtkWin& w, GtkControl& c);
  void ApplyControlState(GtkControl& c);
  void RefillList(GtkWin& w, GtkControl& c);
  void PlaceControls(GtkWin& w);
  void SetWidgetText(GtkControl& c, std::string_view gbk);
  std::string WidgetText(GtkControl& c);
  // The control a user may act on, or null with ActionError set.
  GtkControl* Reachable(WindowId window, int id);
  bool Fail(std::string why);
  void RunLoopUntil(const std::function<bool()>& done);
  void StartTimerSource(WindowId window, int timerId);
  void RemoveTimers(GtkWin& w);
  // Styles (gtk_paint.cpp).
  void SetCss(const std::string& key, std::string rules);
  void ReloadCss();
  std::optional<std::string> RunPicker(WindowId owner, GtkWidget* chooser);
  void WaitForDraw(GtkWin& w, unsigned milliseconds);

  common::WindowBook<GtkWin> windows_;
  WindowId nextWindow_ = 0x100;
  std::uint64_t sequence_ = 0;
  int quiet_ = 0;

  std::mutex postMutex_;
  std::deque<PostedMessage> posted_;
  guint postSource_ = 0;
  guint webCheckSource_ = 0;

  std::vector<std::unique_ptr<Box>> boxes_;  // innermost last
  std::map<common::TrayKey, Tray> tray_;
  std::optional<std::optional<std::string>> pickerAnswer_;

  GtkCssProvider* css_ = nullptr;
  std::map<std::string, std::string> cssRules_;
  std::map<int, GdkPixbuf*> bitmaps_;
  std::map<std::pair<int, int>, GdkPixbuf*> icons_;

  Script* script_ = nullptr;
  bool scriptExhausted_ = false;
  bool quit_ = false;
  int exitCode_ = 0;
  bool driving_ = false;        // the driver, not a person, is acting
  gboolean animations_ = TRUE;  // the setting before a script turned them off
  std::string actionError_;

  friend class DrivingScope;
};

// Marks the span of a driver action, so that a drag the page starts moves
// the window by the driver's offset instead of following the real pointer.
class DrivingScope {
 public:
  explicit DrivingScope(GtkPort& port) : port_(port), was_(port.driving_) { port_.driving_ = true; }
  ~DrivingScope() { port_.driving_ = was_; }
  DrivingScope(const DrivingScope&) = delete;
  DrivingScope& operator=(const DrivingScope&) = delete;

 private:
  GtkPort& port_;
  bool was_;
};

// Text at the edge: the program's GBK to GTK's UTF-8 and back.
std::string ToUtf8(std::string_view gbk);
std::string FromUtf8(std::string_view utf8);
// Byte offset in GBK text <-> character offset.
int GbkCharsBefore(std::string_view gbk, int byteOffset);
int GbkBytesOfChars(std::string_view gbk, int chars);
using common::CutGbk;
// Key values of GDK as Windows virtual keys (0 when there is none).
int VirtualKeyOf(guint keyval);
unsigned ModifiersOf(guint state);
// Gives a message box or a picker the keyboard as soon as it is on the screen
// (without a window manager nothing else does).
void FocusWhenMapped(GtkWidget* dialog);

}  // namespace ui::gtk
