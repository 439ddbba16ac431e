// The batch replace page on GTK with edits made on the page while its worker
// runs: the worker reads the fields through its page's link, so no widget is
// touched off the GTK thread. Every file gets one of the replacements typed
// during the run, and every line arrives.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/tools/page_harness.h"
#include "ui/backend/gtk/gtk_backend.h"

namespace {

TEST(GtkReplacePage, EditsDuringARunApplyFileByFileWithoutTouchingWidgetsOffTheirThread) {
  int argc = 0;
  char** argv = nullptr;
  std::unique_ptr<ui::gtk::GtkBackend> port = ui::gtk::CreateGtkBackend(argc, argv);
  if (!port) GTEST_SKIP() << "no display";
  {
    tools_test::PageHarness h(*port, *port);
    h.Open<tools::CPiTiHuanDlg>();
    constexpr int kFiles = 1000;
    std::string script =
        u8R"S(
folder "$/t"
type 173 1124 "$/t"
type 173 1128 "txt"
choose 173 1057 0
type 173 1129 "KEY"
type 173 1088 "r0"
)S";
    for (int i = 0; i < kFiles; ++i) {
      script += "file \"$/t/f" + std::to_string(1000 + i) + ".txt\" \"KEY\"\n";
    }
    script += "click 173 1112\n";
    // Edits while the run goes on, each one a real GTK change of the field.
    for (int i = 1; i <= 200; ++i) script += "type 173 1088 \"r" + std::to_string(i) + "\"\n";
    script += u8"wait-text 173 1132 \"处理完成！\" 60s\nwait 500ms\nexpect enabled 173 1112 1\n";
    ASSERT_TRUE(h.Run(script));

    ASSERT_EQ(h.lines.size(), static_cast<std::size_t>(kFiles + 1));
    EXPECT_EQ(h.lines.back(), "处理完成！");
    std::set<std::string> seen;
    for (int i = 0; i < kFiles; ++i) {
      auto bytes = h.files.ReadFile(h.dir / ("t/f" + std::to_string(1000 + i) + ".txt"));
      ASSERT_TRUE(bytes);
      ASSERT_GE(bytes->size(), 3u);
      const std::string text = bytes->substr(3);  // after the UTF-8 mark
      ASSERT_EQ(text[0], 'r') << text;
      seen.insert(text);
    }
    // Files are taken in name order and the replacement only moves forward.
    int last = -1;
    for (int i = 0; i < kFiles; ++i) {
      auto bytes = h.files.ReadFile(h.dir / ("t/f" + std::to_string(1000 + i) + ".txt"));
      const int n = std::stoi(bytes->substr(4));
      EXPECT_GE(n, last);
      last = n;
    }
  }
  port.reset();
}

}  // namespace
