#include "tools/batch_replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "tool_test_support.h"

namespace {

using tools_test::FaultyFileSystem;
using tools_test::Gbk;
using tools_test::ReadBytes;
using tools_test::RecordingSink;
using tools_test::TempDir;
using tools_test::WriteBytes;

std::u16string Apply(int mode, std::u16string text, std::u16string_view keyword,
                     std::u16string_view end, std::u16string_view with) {
  if (mode == tools::kDirectReplace) {
    tools::DirectReplace(text, keyword, with);
  } else {
    tools::RangeReplace(text, keyword, end, with, mode == tools::kRangeReplace);
  }
  return text;
}

TEST(ReplaceModes, WorkedExamplesAndEdges) {
  struct Case {
    const char* name;
    int mode;
    std::u16string text, keyword, end, with, result;
  } cases[] = {
      {"direct", 0, u"a{{1}}b{{2}}c", u"{{", u"}}", u"([*])", u"a([*])1}}b([*])2}}c"},
      {"range", 1, u"a{{1}}b{{2}}c", u"{{", u"}}", u"([*])", u"a{{(1)}}b{{(2)}}c"},
      {"marker", 2, u"a{{1}}b{{2}}c", u"{{", u"}}", u"([*])", u"a(1)b(2)c"},
      {"range, empty end", 1, u"a{{1{{2", u"{{", u"", u"<[*]>", u"a{{<>1{{<>2"},
      {"marker, empty end", 2, u"a{{1{{2", u"{{", u"", u"<[*]>", u"a<>1<>2"},
      {"inner twice", 1, u"x[ab]y", u"[", u"]", u"[*][*]", u"x[abab]y"},
      {"marker output not searched", 2, u"{{1}}{{2}}", u"{{", u"}}", u"{{[*]}}", u"{{1}}{{2}}"},
      {"direct output not searched", 0, u"aa", u"a", u"", u"aa", u"aaaa"},
      {"no end marker after keyword", 1, u"{{1 and no end", u"{{", u"}}", u"x", u"{{1 and no end"},
      {"keyword across lines", 0, u"a\r\nb a\nb", u"a\r\nb", u"", u"X", u"X a\nb"},
      {"empty keyword, direct", 0, u"abc", u"", u"", u"x", u"abc"},
      {"empty keyword, range", 1, u"abc", u"", u"", u"", u"abc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Apply(c.mode, c.text, c.keyword, c.end, c.with), c.result) << c.name;
  }
}

struct ReplaceRun {
  TempDir dir;
  FaultyFileSystem files;
  RecordingSink sink;

  bool Run(tools::ReplaceSource& source) { return tools::RunReplace(files, source, sink); }
  bool Run(tools::ReplaceFields fields) {
    tools::FixedReplaceSource source(std::move(fields));
    return Run(source);
  }
};

TEST(RunReplace, RewritesEveryMatchingFileAndReportsEach) {
  ReplaceRun run;
  WriteBytes(run.dir / "gbk.txt", Gbk(u8"旧值和旧值"));
  WriteBytes(run.dir / "sub/ascii.TXT", "no keyword here");
  WriteBytes(run.dir / "le.txt", std::string("\xFF\xFE\xE7\x65\x3C\x50", 6));  // 旧值
  WriteBytes(run.dir / "skip.bak", Gbk(u8"旧值"));

  EXPECT_TRUE(
      run.Run({run.dir.path(), "txt", tools::kDirectReplace, Gbk(u8"旧"), "", Gbk(u8"新")}));

  EXPECT_EQ(ReadBytes(run.dir / "gbk.txt"), Gbk(u8"新值和新值"));
  EXPECT_EQ(ReadBytes(run.dir / "sub/ascii.TXT"), "\xEF\xBB\xBFno keyword here");
  EXPECT_EQ(ReadBytes(run.dir / "le.txt"), std::string("\xFF\xFE\xB0\x65\x3C\x50", 6));
  EXPECT_EQ(ReadBytes(run.dir / "skip.bak"), Gbk(u8"旧值"));
  std::vector<std::string> expected = {
      "[" + (run.dir / "gbk.txt") + Gbk(u8"] 处理完成，编码：936"),
      "[" + (run.dir / "sub/ascii.TXT") + Gbk(u8"] 处理完成，编码：65001"),
      "[" + (run.dir / "le.txt") + Gbk(u8"] 处理完成，编码：1200"),
  };
  std::vector<std::string> lines(run.sink.lines.begin(), run.sink.lines.end() - 1);
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(run.sink.lines.back(), Gbk(u8"处理完成！"));
  EXPECT_EQ(run.sink.finished, 1);
}

TEST(RunReplace, ReportsFilesItCannotReadWriteOrPlaceAndGoesOn) {
  ReplaceRun run;
  WriteBytes(run.dir / "a.txt", "key");
  run.files.unreadable.insert(run.dir / "a.txt");
  run.Run({run.dir.path(), "txt", tools::kDirectReplace, "key", "", "new"});
  EXPECT_EQ(run.sink.lines, (std::vector<std::string>{(run.dir / "a.txt") + Gbk(u8" 文件读取失败"),
                                                      Gbk(u8"处理完成！")}));

  run.files.unreadable.clear();
  run.files.unwritable.insert(run.dir / "a.txt");
  run.sink.lines.clear();
  run.Run({run.dir.path(), "txt", tools::kDirectReplace, "key", "", "new"});
  EXPECT_EQ(run.sink.lines[0], (run.dir / "a.txt") + Gbk(u8" 文件保存失败"));
  EXPECT_EQ(ReadBytes(run.dir / "a.txt"), "key");

  // A first use has no mode selected: every file is reported and left alone.
  run.sink.lines.clear();
  run.Run({run.dir.path(), "txt", tools::kReplaceModeNone, "key", "", "new"});
  EXPECT_EQ(run.sink.lines,
            (std::vector<std::string>{Gbk(u8"错误：未知替换模式"), Gbk(u8"处理完成！")}));
  EXPECT_EQ(ReadBytes(run.dir / "a.txt"), "key");
}

TEST(RunReplace, FilesWhoseBytesWouldNotSurviveAreLeftAndReported) {
  using namespace std::string_literals;
  ReplaceRun run;
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7 % 256);
  binary +=
      "\x81\x20"
      "A";  // a lead byte without its second byte: no text at all
  const std::string left[] = {
      binary,
      "\xD6\xD0\x81\x20\xCE\xC4",      // GBK with a broken pair
      "\xEF\xBB\xBF\xE4\xB8\xAD\xFF",  // UTF-8 with a bad byte
      "\xE4\xB8\xAD\xFF",              // the same without the mark
      "\xFF\xFE\x61\x00\x62"s,         // UTF-16 with an odd byte
  };
  for (std::size_t i = 0; i < std::size(left); ++i) {
    WriteBytes(run.dir / ("left" + std::to_string(i) + ".txt"), left[i]);
  }
  // Valid GBK whose bytes also pass the UTF-8 shape test (练习); a GBK second
  // byte that is an ASCII letter is no match for it.
  WriteBytes(run.dir / "gbk.txt", "\xC1\xB7\xCF\xB0\r\n");
  WriteBytes(run.dir / "trail.txt",
             "\x81\x41"
             "A");
  EXPECT_TRUE(run.Run({run.dir.path(), "txt", tools::kDirectReplace, "A", "", "B"}));

  for (std::size_t i = 0; i < std::size(left); ++i) {
    std::string path = run.dir / ("left" + std::to_string(i) + ".txt");
    EXPECT_TRUE(ReadBytes(path) == left[i]) << i;
    EXPECT_TRUE(std::count(run.sink.lines.begin(), run.sink.lines.end(),
                           path + Gbk(u8" 文件编码无法无损转换，未修改")))
        << i;
  }
  EXPECT_EQ(ReadBytes(run.dir / "gbk.txt"), "\xC1\xB7\xCF\xB0\r\n");
  EXPECT_EQ(ReadBytes(run.dir / "trail.txt"),
            "\x81\x41"
            "B");
  EXPECT_TRUE(std::count(run.sink.lines.begin(), run.sink.lines.end(),
                         "[" + (run.dir / "gbk.txt") + Gbk(u8"] 处理完成，编码：936")));
}

TEST(RunReplace, EachFileOnceAndNamesGbkCannotSpellAreTheirOwn) {
  ReplaceRun run;
  WriteBytes(run.dir / "t/a.txt", "k");
  WriteBytes(run.dir / ("t/" + std::string(u8"\u00e2.txt")), "k");  // best fit in GBK: "a"
  WriteBytes(run.dir / ("t/" + std::string(u8"\U0001F600.txt")), "k");
  std::filesystem::create_directory_symlink(run.dir / "t", run.dir / "t/again");
  std::filesystem::create_hard_link(run.dir / "t/a.txt", run.dir / "t/second.txt");
  EXPECT_TRUE(run.Run({run.dir / "t", "txt", tools::kDirectReplace, "k", "", "kk"}));
  for (const char* name : {"a.txt", u8"\u00e2.txt", u8"\U0001F600.txt", "second.txt"}) {
    EXPECT_EQ(ReadBytes(run.dir / ("t/" + std::string(name))), "\xEF\xBB\xBFkk") << name;
  }
  EXPECT_EQ(run.sink.lines.size(), 3u + 1u);
}

TEST(RunReplace, ExceptionsEndTheRunWithTheirStatus) {
  struct Case {
    std::function<void()> fault;
    const char* status;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, u8"内存不足！"},
      {[] { throw std::system_error(std::make_error_code(std::errc::io_error)); },
       u8"文件操作失败！"},
      {[] { throw std::runtime_error("x"); }, u8"发生未知错误！"},
  };
  for (const Case& c : cases) {
    ReplaceRun run;
    run.files.onList = c.fault;
    EXPECT_FALSE(run.Run({run.dir.path(), "txt", tools::kDirectReplace, "k", "", ""}));
    EXPECT_EQ(run.sink.lines, std::vector<std::string>{Gbk(c.status)});
    EXPECT_EQ(run.sink.finished, 1);
  }
}

// A page answers from its controls: what the user changes mid-run applies from
// the next file on.
class ChangingSource : public tools::ReplaceSource {
 public:
  explicit ChangingSource(std::string folder) : folder_(std::move(folder)) {}
  std::string Folder() override { return folder_; }
  std::string Format() override { return "txt"; }
  tools::ReplaceFields Edit() override {
    ++edits;
    tools::ReplaceFields f;
    f.mode = edits == 1 ? tools::kDirectReplace : tools::kMarkerReplace;
    f.keyword = "<";
    f.endMarker = ">";
    f.replacement = edits == 1 ? "first" : "second";
    return f;
  }
  int edits = 0;

 private:
  std::string folder_;
};

TEST(RunReplace, ReadsTheEditFieldsAgainForEachFile) {
  ReplaceRun run;
  WriteBytes(run.dir / "a.txt", "<x>");
  WriteBytes(run.dir / "b.txt", "<x>");
  ChangingSource source(run.dir.path());
  run.Run(source);
  EXPECT_EQ(source.edits, 2);
  std::multiset<std::string> results{ReadBytes(run.dir / "a.txt"), ReadBytes(run.dir / "b.txt")};
  EXPECT_EQ(results, (std::multiset<std::string>{"\xEF\xBB\xBF"
                                                 "firstx>",
                                                 "\xEF\xBB\xBF"
                                                 "second"}));
}

TEST(ReplaceStart, NeedsFolderAndKeywordAndModeComesFromTheStoredText) {
  EXPECT_EQ(tools::CheckReplaceStart({"", "txt", 0, "k", "", ""}), Gbk(u8"请填写必要参数！"));
  EXPECT_EQ(tools::CheckReplaceStart({"d", "txt", 0, "", "", ""}), Gbk(u8"请填写必要参数！"));
  EXPECT_EQ(tools::CheckReplaceStart({"d", "", -1, "k", "", ""}), std::nullopt);

  EXPECT_EQ(tools::ReplaceFieldsFromSettings(std::nullopt).mode, tools::kReplaceModeNone);
  for (auto [stored, mode] : {std::pair{u8"范围替换", 1}, std::pair{u8"包含标记替换", 2},
                              std::pair{u8"直接替换", 0}, std::pair{u8"", 0}}) {
    tools::ToolSettings settings;
    settings.Set("tihuanmoshi", Gbk(stored));
    EXPECT_EQ(tools::ReplaceFieldsFromSettings(settings).mode, mode);
  }
}

}  // namespace
