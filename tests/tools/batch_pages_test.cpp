// The batch tool pages on the headless backend, with their real workers over
// real files in a temporary folder.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/tools/loopback_http_server.h"
#include "tests/tools/page_harness.h"
#include "tools/download_dlg.h"
#include "tools/extract_dlg.h"
#include "ui/backend/headless/headless_backend.h"

namespace {

using tools_test::Recorded;

// The harness on a headless port of its own.
struct HeadlessPage {
  platform::sim::VirtualClock clock;
  ui::headless::HeadlessBackend port{clock};
};
struct PageHarness : HeadlessPage, tools_test::PageHarness {
  explicit PageHarness(bool realHttp = false) : tools_test::PageHarness(port, port, realHttp) {}
};

using Lines = std::vector<std::string>;

TEST(ReplacePage, FirstUseHasNoModeAndSkipsEveryFile) {
  PageHarness h;
  h.Open<tools::CPiTiHuanDlg>();
  ASSERT_TRUE(
      h.Run(u8R"S(
folder "$/t"
file "$/t/a.txt" "x{{1}}y"
file "$/t/b.txt" "{{2}}"
expect combo-items 173 1057 "直接替换" "范围替换" "包含标记替换"
expect combo-sel 173 1057 -1
expect visible 173 1130 1
expect visible 173 1131 1
expect control-rect 173 1129 - - - 32
expect window 173 topmost
picker "$/t"
click 173 1127
type 173 1128 "txt"
type 173 1129 "{{"
click 173 1112
wait-text 173 1132 "处理完成！" 10s
# The button comes back right after the last line.
wait 500ms
expect enabled 173 1112 1
expect text 173 1112 "开始替换"
expect file "$/t/a.txt" "x{{1}}y"
expect tool-setting replace "tihuanmoshi" ""
)S"));
  EXPECT_EQ(h.lines, (Lines{"错误：未知替换模式", "错误：未知替换模式", "处理完成！"}));
}

TEST(ReplacePage, RefusedStartStillSavesAndModeLayoutFollowsTheList) {
  PageHarness h;
  h.Open<tools::CPiTiHuanDlg>();
  ASSERT_TRUE(
      h.Run(u8R"S(
tool-settings-remove replace
type 173 1128 "txt;htm"
choose 173 1057 0
expect control-rect 173 1129 - - - 77
expect visible 173 1131 0
click 173 1112
msgbox ok text="请填写必要参数！" caption="Orvane" buttons=ok
expect tool-setting replace "fileformat" "txt;htm"
expect tool-setting replace "tihuanmoshi" "直接替换"
expect enabled 173 1112 1
choose 173 1057 2
expect control-rect 173 1129 - - - 32
expect visible 173 1131 1
# Esc neither closes nor hides; Ctrl+A selects a multi-line field whole.
key 173 esc
expect window 173 visible
type 173 1088 "第一行\r\n第二行"
key 173 1088 ctrl+a
expect selection 173 1088 0 14
# Enter breaks the line in a field that takes line breaks; elsewhere it
# confirms, which hides the page, and an idle hidden page frees itself.
key 173 1129 enter
expect text 173 1129 "\r\n"
expect window 173 visible
key 173 1124 enter
expect window 173 closed
)S"));
}

TEST(ReplacePage, RunsInWalkOrderAndAnEditAppliesFromTheNextFile) {
  PageHarness h;
  h.files.gatedFolder = h.dir / "t/z";
  h.Open<tools::CPiTiHuanDlg>();
  // The walk takes a.txt, then waits at the folder z until the keyword's
  // replacement has been changed on the page.
  ASSERT_TRUE(
      h.Run(u8R"S(
folder "$/t"
file "$/t/a.txt" "x{{1}}y"
file "$/t/z/b.txt" "x{{2}}y"
file "$/t/z/c.bak" "x{{3}}y"
type 173 1124 "$/t"
type 173 1128 "txt"
choose 173 1057 1
type 173 1129 "{{"
type 173 1131 "}}"
type 173 1088 "([*])"
click 173 1112
expect enabled 173 1112 0
wait-text 173 1132 "a.txt] 处理完成" 10s
expect enabled 173 1112 0
type 173 1088 "<[*]>"
open-gate
wait-text 173 1132 "处理完成！" 10s
# The button comes back right after the last line.
wait 500ms
expect enabled 173 1112 1
expect file "$/t/a.txt" "x{{(1)}}y" mark=utf8
expect file "$/t/z/b.txt" "x{{<2>}}y" mark=utf8
expect file "$/t/z/c.bak" "x{{3}}y"
)S"));
  const std::string root = h.dir.path();
  EXPECT_EQ(h.lines, (Lines{"[" + root + "/t/a.txt] 处理完成，编码：65001",
                            "[" + root + "/t/z/b.txt] 处理完成，编码：65001", "处理完成！"}));
}

// A direct replace of "a" over t/a.txt and t/z/b.txt, its walk held at z
// (the harness's gate) once a.txt is done.
constexpr const char* kRunHeldAtZ =
    u8R"S(
folder "$/t"
file "$/t/a.txt" "a"
file "$/t/z/b.txt" "b"
type 173 1124 "$/t"
type 173 1128 "txt"
type 173 1129 "a"
choose 173 1057 0
click 173 1112
wait-text 173 1132 "a.txt]" 10s
)S";

TEST(ReplacePage, APageClosedDuringItsRunKeepsItsLinesAndThenFreesItself) {
  PageHarness h;
  h.files.gatedFolder = h.dir / "t/z";
  h.Open<tools::CPiTiHuanDlg>();
  ASSERT_TRUE(h.Run(std::string(kRunHeldAtZ) + u8R"S(
click 173 1111
expect window 173 hidden
# A second page while the first still runs, hidden.
open-replace
expect windows 173 2
open-gate
wait 1s
expect windows 173 1
expect window 173 visible
)S"));
  ASSERT_EQ(h.lines.size(), 3u);
  EXPECT_EQ(h.lines.back(), "处理完成！");
}

TEST(ReplacePage, APageThatGoesDuringItsRunStopsItsWorkerAndDropsWhatItPosts) {
  PageHarness h;
  h.files.gatedFolder = h.dir / "t/z";
  h.Open<tools::CPiTiHuanDlg>();
  std::thread opener;
  h.runner.AddCommand("destroy-while-gated", [&](ui::ScenarioContext&, const ui::ScenarioCommand&) {
    // The page goes while its walk waits at z; the walk goes on only after,
    // and its next read of the page fails.
    opener = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      h.files.gate.set_value();
    });
    for (ui::WindowId w : h.user.FindWindows(173)) h.backend.DestroyWindow(w);
    return true;
  });
  ASSERT_TRUE(
      h.Run(u8R"S(
type 173 1088 "A"
)S" + std::string(kRunHeldAtZ) +
            u8R"S(
destroy-while-gated
expect windows 173 0
expect file "$/t/a.txt" "A" mark=utf8
expect file "$/t/z/b.txt" "b"
)S"));
  opener.join();
  EXPECT_EQ(h.lines.size(), 1u);
}

TEST(ExtractPage, DefaultsAndARunThatAppendsEveryRowInOrder) {
  PageHarness h;
  h.Open<tools::CPiHuoQuDlg>();
  ASSERT_TRUE(
      h.Run(u8R"S(
expect text 175 1135 "JieQu.txt"
expect text 175 1124 ""
expect checked 175 1100 0
folder "$/t"
file "$/t/a.txt" "<1><2>"
file "$/t/b.txt" "<3>"
type 175 1124 "$/t"
type 175 1128 "txt"
type 175 1139 "<"
type 175 1140 ">"
type 175 1088 "[1]"
# Each "选择" fills its own field with the folder picked; a cancel keeps it.
picker "$/out"
click 175 1129
expect text 175 1125 "$/out"
picker cancel
click 175 1127
expect text 175 1124 "$/t"
click 175 1101
click 175 1138
expect enabled 175 1138 1
wait-text 175 1132 "处理完成！" 10s
expect file "$/out/JieQu.txt" "1\r\n2\r\n3\r\n"
expect tool-setting extract "autoline" "1"
expect tool-setting extract "savefilename" "JieQu.txt"
key 175 1139 ctrl+a
key 175 esc
expect window 175 visible
)S"));
  EXPECT_EQ(h.lines, (Lines{"正在处理：a (1/2)", "正在处理：b (2/2)", "处理完成！"}));
}

// The existing-file questions and their answers, against a real server.
TEST(DownloadPage, QuestionsDecideWhatHappensToAFileThatExists) {
  tools_test::LoopbackHttpServer server([](const std::string& path) {
    tools_test::LoopbackHttpServer::Reply reply;
    reply.body = "body of " + path;
    return reply;
  });
  PageHarness h(true);
  h.Open<tools::CPiXiaZaiDlg>();
  std::string script =
      u8R"S(
folder "$/t"
file "$/t/list.txt" "<a.jpg>"
folder "$/out"
file "$/out/a.jpg" "old"
type 174 1124 "$/t"
type 174 1128 "txt"
type 174 1125 "$/out"
type 174 1129 "<"
type 174 1131 ">"
type 174 1136 "BASE/img/"
type 174 1138 "0"
# No: nothing runs.
click 174 1137
msgbox no text="确定不开启防重复功能？" caption="确认" buttons=yesno icon=question
expect enabled 174 1137 1
expect text 174 1137 "开始下载"
expect file "$/out/a.jpg" "old"
# Yes, then Cancel: the download is saved under a new name.
click 174 1137
msgbox yes
msgbox cancel text="文件冲突处理：\n\n点击【确定】为覆盖现有文件\n点击【取消】为重命名现有文件\n\n要中止操作请关闭此窗口" caption="选择冲突处理方式" buttons=okcancel icon=question
wait-text 174 1132 "下载成功: $/out/a(1).jpg" 10s
wait 500ms
# The start button and the interval are back while the closing box is open.
expect msgbox "所有文件处理完成！"
expect enabled 174 1137 1
expect text 174 1137 "开始下载"
expect enabled 174 1138 1
msgbox ok text="所有文件处理完成！" caption="完成" icon=info
expect file "$/out/a(1).jpg" "body of /img/a.jpg"
expect file "$/out/a.jpg" "old"
# Yes, then OK: the file is overwritten.
click 174 1137
expect text 174 1137 "处理中..."
msgbox yes
msgbox ok
wait-text 174 1132 "下载成功: $/out/a.jpg" 10s
wait 500ms
msgbox ok text="所有文件处理完成！"
expect file "$/out/a.jpg" "body of /img/a.jpg"
# With 防重复 ticked no question is asked and the file is skipped.
click 174 1099
click 174 1137
wait-text 174 1132 "文件已存在，跳过" 10s
wait 500ms
msgbox ok text="所有文件处理完成！"
expect tool-setting download "checkduplicate" "1"
key 174 esc
key 174 enter
expect window 174 visible
)S";
  script.replace(script.find("BASE"), 4, server.Base());
  ASSERT_TRUE(h.Run(script));
}

// First use: empty fields and no save mode. A folder that is no directory is
// refused with its box and gives back the start button and the interval; a
// page hidden while its run goes on still shows the closing box, then goes.
TEST(DownloadPage, FirstUseARefusedFolderAndARunThatEndsHidden) {
  PageHarness h;
  h.files.gatedFolder = h.dir / "t/z";
  h.Open<tools::CPiXiaZaiDlg>();
  ASSERT_TRUE(
      h.Run(u8R"S(
expect combo-items 174 1135 "直接下载保存" "按路径保存"
expect combo-sel 174 1135 -1
expect text 174 1124 ""
expect text 174 1138 ""
expect checked 174 1099 0
folder "$/t/z"
type 174 1124 "$/nowhere"
click 174 1099
click 174 1137
msgbox ok text="目标路径无效！" caption="错误" buttons=ok icon=error
expect enabled 174 1137 1
expect text 174 1137 "开始下载"
expect enabled 174 1138 1
expect tool-setting download "fileadd" "$/nowhere"
picker "$/t"
click 174 1127
expect text 174 1124 "$/t"
picker "$/save"
click 174 1133
expect text 174 1125 "$/save"
click 174 1137
expect text 174 1137 "处理中..."
expect enabled 174 1138 0
click 174 1111
expect window 174 hidden
open-gate
wait 1s
msgbox ok text="所有文件处理完成！" caption="完成" icon=info
wait 500ms
expect windows 174 0
)S"));
  EXPECT_EQ(h.lines, (Lines{"共发现 0 个文件"}));
}

// A fault the worker does not report itself (here the walk runs out of memory)
// ends the run with its status line, and the download page gets its start back
// without claiming that every file was done.
TEST(BatchPages, AFaultThatEndsARunIsShownAndTheStartComesBack) {
  PageHarness h;
  h.files.failingFolder = h.dir / "t/sub";
  h.Open<tools::CPiXiaZaiDlg>();
  h.Open<tools::CPiHuoQuDlg>();
  ASSERT_TRUE(
      h.Run(u8R"S(
folder "$/t/sub"
file "$/t/a.txt" "<a.jpg>"
type 174 1124 "$/t"
type 174 1128 "txt"
click 174 1099
click 174 1137
wait-text 174 1132 "内存不足！" 10s
wait 500ms
expect msgbox none
expect enabled 174 1137 1
expect text 174 1137 "开始下载"
expect enabled 174 1138 1
type 175 1124 "$/t"
click 175 1138
wait-text 175 1132 "内存不足！" 10s
)S"));
}

}  // namespace
