// The layout the task pages set up that scenarios cannot read: the editor's
// narrowed text box and the list's column widths.
#include <gtest/gtest.h>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/sim/sim_platform.h"
#include "resources/templates/templates.h"
#include "tasks/edit_dlg.h"
#include "tasks/task_dlg.h"
#include "ui/backend/headless/headless_backend.h"

namespace tasks {
namespace {

class TaskPages : public ::testing::Test {
 protected:
  TaskPages() {
    ui::Backend::SetCurrent(&backend);
    resources::RegisterTemplates();
  }
  ~TaskPages() override { ui::Backend::SetCurrent(nullptr); }

  void SignIn(int level, int sync) {
    app::SharedState& shared = app::Shared();
    shared.session.signedIn = 1;
    shared.session.accountLevel = level;
    shared.settings.syncTasks = sync;
  }

  platform::sim::SimPlatform sim;
  app::SharedStateScope state;
  app::ServicesScope servicesScope{sim.Get()};
  ui::headless::HeadlessBackend backend{sim.Clock()};
};

TEST_F(TaskPages, SynchronisingEditorNarrowsItsTextBox) {
  const ui::DialogTemplate* t = ui::FindTemplate(kEditTemplate);
  ASSERT_NE(t, nullptr);
  const ui::DluRect dlu = t->FindControl(kEditParameterText)->rect;
  const ui::Rect full = ui::Rect::FromSize(dlu.x * ui::kPixelsPerDluX, dlu.y * ui::kPixelsPerDluY,
                                           dlu.w * ui::kPixelsPerDluX, dlu.h * ui::kPixelsPerDluY);
  for (int sync : {0, 1}) {
    SignIn(1, sync);
    CEditDlg editor(nullptr);
    ASSERT_TRUE(editor.Create());
    const ui::Rect r = backend.GetControlRect(editor.GetSafeHwnd(), kEditParameterText);
    EXPECT_EQ(r.left, full.left);
    EXPECT_EQ(r.top, full.top);
    EXPECT_EQ(r.Height(), full.Height());
    EXPECT_EQ(r.Width(), sync ? 103 : full.Width()) << "sync " << sync;
    editor.DestroyWindow();
  }
}

TEST_F(TaskPages, ListColumnsAreCentredNinthAndFifths) {
  CTaskDlg list(nullptr);
  ASSERT_TRUE(list.Create());
  const int width = backend.GetControlRect(list.GetSafeHwnd(), kListView).Width();
  const auto columns = backend.ListColumnFormats(list.GetSafeHwnd(), kListView);
  ASSERT_EQ(columns.size(), 5u);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    EXPECT_EQ(columns[c].width, c == 0 ? width / 9 : width / 5) << c;
    EXPECT_TRUE(columns[c].centred) << c;
  }
  list.DestroyWindow();
}

}  // namespace
}  // namespace tasks
