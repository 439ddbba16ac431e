#include "tools/batch_extract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "tool_test_support.h"
#include "tools/ansi_text.h"

namespace {

using tools_test::Gbk;
using tools_test::ReadBytes;
using tools_test::RecordingSink;
using tools_test::TempDir;
using tools_test::WriteBytes;
using Lines = std::vector<std::string>;

TEST(CombineLine, FillsTokensFromValuesDefaultsAndTheFileName) {
  const std::array<std::string, 4> values = {"12", "ab", "", ""};
  const std::string path = "/in/list.txt";
  struct Case {
    const char* lineTemplate;
    const char* line;
  } cases[] = {
      {"[1]-[2]", "12-ab"},   {"[*]", "12ab"},
      {"[3|none]", ""},       {"[1]/[3|none]", "12/none"},
      {"[1][3|.]", "12list"}, {"[1][3|_.]", "12 list"},
      {"[1][9]", "12"},       {"<a href=\"[1]\">x</a>", "<a href=\"12\">x</a>"},
      {"[1][x]", "12"},       {"[01]", "12"},
      {"[2|fallback]", "ab"}, {"[1] [", "12 ["},
      {"no tokens", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools::CombineLine(c.lineTemplate, values, path), c.line) << c.lineTemplate;
  }
  // Inserted text is not read as a token again.
  EXPECT_EQ(tools::CombineLine("[1][2]", {"[2]", "x", "", ""}, path), "[2]x");
  EXPECT_EQ(tools::CombineLine("[*|empty]", {"", "", "", ""}, path), "");
  EXPECT_EQ(tools::CombineLine("[1][2|_.]", {"v", "", "", ""}, "/in/a.b.txt"), "v a");
}

TEST(FindPieces, CutsBetweenMarkersInOrder) {
  EXPECT_EQ(tools::FindPieces("x{{1}}y{{2}}", "{{", "}}", false), (Lines{"1", "2"}));
  EXPECT_EQ(tools::FindPieces("x{{1}}y", "{{", "}}", true), (Lines{"{{1}}"}));
  EXPECT_EQ(tools::FindPieces("{{1}} {{2 {{3}}", "{{", "}}", false), (Lines{"1", "2 {{3"}));
  EXPECT_EQ(tools::FindPieces("{{1}} {{2", "{{", "}}", false), (Lines{"1"}));
  EXPECT_EQ(tools::FindPieces("abc", "", "c", false), Lines{});
  EXPECT_EQ(tools::FindPieces("Ab ab", "a", "b", false), (Lines{""}));
  // "\x81[" is one GBK character: its second byte is not a "[".
  EXPECT_EQ(tools::FindPieces("\x81[x]", "[", "]", false), Lines{});
  EXPECT_EQ(tools::FindPieces("\x81[[x]", "[", "]", false), (Lines{"x"}));
}

TEST(FindAnsi, MatchesOnlyWhereACharacterStarts) {
  struct Case {
    const char* text;
    const char* needle;
    std::size_t from;
    std::size_t found;
  } cases[] = {
      {"\xB0\x41\x41", "A", 0, 2},  // the first A is the second byte of B0 41
      {"\xB0\xB0\x41", "A", 0, 2},  // B0 B0 is a character, A stands alone
      {"\xB0\xB0\xB0\x41", "A", 0, tools::kNotFound},
      {"x\xB0\xB0\xB0"
       "AA",
       "A", 0, 5},
      {"\xB0\x41\xB0\x41", "\x41\xB0", 0, tools::kNotFound},
      {"\xB0\xB0\xB0\x41", "A", 1, 3},  // from 1, B0 B0 pairs up first
      {"a\xB0", "\xB0", 0, 1},          // a lone lead byte at the end
      {"ab", "", 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools::FindAnsi(c.text, c.needle, c.from), c.found) << c.text << " " << c.from;
  }
}

TEST(ExtractLines, RowsOrOnePerPiece) {
  tools::ExtractFields fields;
  fields.startMarkers = {"a<", "b<", "", ""};
  fields.endMarkers = {">", ">", "", ""};
  fields.lineTemplate = "[1]-[2]";
  const std::string text = "a<a1> a<a2> b<b1> a<a3>";

  EXPECT_EQ(tools::ExtractLines(fields, text, "f.txt"), (Lines{"a1-b1", "a2-", "a3-"}));
  fields.eachIdentifier = true;
  EXPECT_EQ(tools::ExtractLines(fields, text, "f.txt"), (Lines{"a1-", "a2-", "a3-", "-b1"}));
  fields.lineTemplate = "[2]";
  EXPECT_EQ(tools::ExtractLines(fields, text, "f.txt"), (Lines{"b1"}));  // empty lines go
}

TEST(EachFileName, NamesOneFilePerLine) {
  struct Case {
    const char* saveFile;
    int number, count;
    const char* name;
  } cases[] = {
      {"JieQu.txt", 1, 2, "list_JieQu(1).txt"},
      {"JieQu.txt", 2, 2, "list_JieQu(2).txt"},
      {"JieQu.txt", 1, 1, "list_JieQu.txt"},
      {"txt", 1, 2, "list(1).txt"},
      {"txt", 1, 1, "list.txt"},
      {"", 1, 1, "list"},
      {"", 2, 3, "list(2)"},
      {"out", 1, 1, "list_out"},
      {"a.b.csv", 1, 1, "list_a.b.csv"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools::EachFileName("list", c.saveFile, c.number, c.count), c.name) << c.saveFile;
  }
  EXPECT_EQ(tools::EachFileName("", "", 1, 1), "_result.txt");
  EXPECT_EQ(tools::EachFileName("", "", 2, 2), "(2)");
}

TEST(AppendLines, AppendsSkipsRepeatsOfTheCallAndEndsLinesOnce) {
  TempDir dir;
  platform::StdFileSystem files;
  WriteBytes(dir / "out/r.txt", "old\r\n");
  tools::AppendLines(files, dir / "out", "r.txt", {"a", "", "b\r\n", "a", "old"}, true, true);
  EXPECT_EQ(ReadBytes(dir / "out/r.txt"), "old\r\na\r\nb\r\nold\r\n");
  tools::AppendLines(files, dir / "new", "r.txt", {"a", "a"}, false, false);
  EXPECT_EQ(ReadBytes(dir / "new/r.txt"), "aa");
}

TEST(AppendLines, OverlappingCallsKeepTheirLinesTogether) {
  TempDir dir;
  platform::StdFileSystem files;
  constexpr int kCalls = 8;
  constexpr int kLines = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kCalls; ++t) {
    threads.emplace_back([&, t] {
      Lines lines(kLines, "run" + std::to_string(t) + "\r\n");
      tools::AppendLines(files, dir.path(), "r.txt", lines, false, true);
    });
  }
  for (std::thread& t : threads) t.join();
  std::string all = ReadBytes(dir / "r.txt");
  ASSERT_EQ(all.size(), kCalls * kLines * std::string("run0\r\n").size());
  // Each call's block is one run of equal lines: kCalls - 1 changes at most.
  int changes = 0;
  for (std::size_t at = 6; at < all.size(); at += 6) {
    changes += all.compare(at, 6, all, at - 6, 6) != 0;
  }
  EXPECT_EQ(changes, kCalls - 1);
}

TEST(AppendLines, AnAppendThatDoesNotFitLeavesTheFileAsItWas) {
  TempDir dir;
  platform::StdFileSystem files;
  WriteBytes(dir / "r.txt", "old\r\n");
  tools_test::FileSizeLimit limit(4096);
  EXPECT_FALSE(
      tools::AppendLines(files, dir.path(), "r.txt", {std::string(5000, 'x')}, false, true));
  EXPECT_EQ(ReadBytes(dir / "r.txt"), "old\r\n");
  EXPECT_TRUE(tools::AppendLines(files, dir.path(), "r.txt", {"a"}, false, true));
  EXPECT_EQ(ReadBytes(dir / "r.txt"), "old\r\na\r\n");
}

// The real file system with its root moved into a folder of the test's.
class RootedFiles : public platform::StdFileSystem {
 public:
  explicit RootedFiles(std::string root) : root_(std::move(root)) {}
  std::vector<std::string> asked;  // every path the tool named, as it named it

  bool CreateDirectory(const std::string& path) override {
    return StdFileSystem::CreateDirectory(At(path));
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return StdFileSystem::ReadFile(At(path));
  }
  std::unique_ptr<platform::AppendTarget> OpenForAppend(const std::string& path) override {
    return StdFileSystem::OpenForAppend(At(path));
  }
  std::optional<std::vector<platform::DirectoryEntry>> List(const std::string& dir) override {
    return StdFileSystem::List(At(dir));
  }
  std::optional<platform::DirectoryEntry> Inspect(const std::string& path) override {
    return StdFileSystem::Inspect(At(path));
  }

 private:
  std::string At(const std::string& path) {
    asked.push_back(path);
    return root_ + path;
  }
  std::string root_;
};

TEST(RunExtract, EmptyFoldersMeanTheRoot) {
  TempDir dir;
  WriteBytes(dir / "a.txt", "<x>");
  RootedFiles files(dir.path());
  tools::ExtractFields fields;
  fields.format = "txt";
  fields.startMarkers[0] = "<";
  fields.endMarkers[0] = ">";
  fields.lineTemplate = "[1]";
  RecordingSink sink;
  EXPECT_TRUE(tools::RunExtract(files, fields, sink));
  EXPECT_EQ(ReadBytes(dir / "JieQu.txt"), "x");
  for (const char* path : {"/", "/a.txt", "/JieQu.txt"}) {
    EXPECT_NE(std::find(files.asked.begin(), files.asked.end(), path), files.asked.end()) << path;
  }
}

TEST(RunExtract, AResultThatCannotBeWrittenIsReportedAndTakenBack) {
  TempDir dir;
  platform::StdFileSystem files;
  // Enough lines to need several blocks, so that the last one fails.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "<" + std::string(100, 'a' + i % 26) + ">";
  for (int i = 0; i < 10; ++i) WriteBytes(dir / ("in/" + std::to_string(i) + ".txt"), text);
  WriteBytes(dir / "file", "");
  WriteBytes(dir / "out/JieQu.txt", "old\r\n");
  tools::ExtractFields fields;
  fields.folder = dir / "in";
  fields.startMarkers[0] = "<";
  fields.endMarkers[0] = ">";
  fields.lineTemplate = "[1]";
  fields.autoLine = true;

  struct Case {
    const char* name;
    std::string saveFolder;
    bool eachFile;
    rlim_t sizeLimit;
  } cases[] = {
      {"save folder is a file", dir / "file", false, RLIM_INFINITY},
      {"save folder two levels down", dir / "one/two", false, RLIM_INFINITY},
      {"each file, save folder is a file", dir / "file", true, RLIM_INFINITY},
      {"disk full after some blocks", dir / "out", false, 2'000'000},
  };
  for (const Case& c : cases) {
    fields.saveFolder = c.saveFolder;
    fields.eachFile = c.eachFile;
    RecordingSink sink;
    bool completed;
    {
      tools_test::FileSizeLimit limit(c.sizeLimit);
      completed = tools::RunExtract(files, fields, sink);
    }
    EXPECT_FALSE(completed) << c.name;
    ASSERT_FALSE(sink.lines.empty());
    EXPECT_TRUE(sink.lines.back().starts_with(Gbk(u8"结果文件写入失败：") + c.saveFolder))
        << c.name;
    EXPECT_EQ(sink.finished, 1) << c.name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "one"));
  EXPECT_EQ(ReadBytes(dir / "file"), "");
  EXPECT_EQ(ReadBytes(dir / "out/JieQu.txt"), "old\r\n");
}

TEST(RunExtract, AppendsTheRunsLinesOrOneFilePerLine) {
  TempDir dir;
  platform::StdFileSystem files;
  WriteBytes(dir / "in/list.txt", "<a><b>");
  WriteBytes(dir / "in/sub/other.htm", "<c>");
  tools::ExtractFields fields;
  fields.folder = dir / "in";
  fields.format = "txt";
  fields.startMarkers[0] = "<";
  fields.endMarkers[0] = ">";
  fields.lineTemplate = "[1]";
  fields.saveFolder = dir / "out";
  fields.autoLine = true;

  RecordingSink sink;
  EXPECT_TRUE(tools::RunExtract(files, fields, sink));
  EXPECT_EQ(sink.lines, (Lines{Gbk(u8"正在处理：list (1/1)"), Gbk(u8"处理完成！")}));
  EXPECT_EQ(ReadBytes(dir / "out/JieQu.txt"), "a\r\nb\r\n");
  tools::RunExtract(files, fields, sink);  // a second run appends again
  EXPECT_EQ(ReadBytes(dir / "out/JieQu.txt"), "a\r\nb\r\na\r\nb\r\n");

  fields.saveFile = "";
  tools::RunExtract(files, fields, sink);
  EXPECT_EQ(ReadBytes(dir / "out/result.txt"), "a\r\nb\r\n");

  fields.eachFile = true;
  fields.saveFile = "JieQu.txt";
  tools::RunExtract(files, fields, sink);
  EXPECT_EQ(ReadBytes(dir / "out/list_JieQu(1).txt"), "a\r\n");
  EXPECT_EQ(ReadBytes(dir / "out/list_JieQu(2).txt"), "b\r\n");

  // Repeats are dropped across the files of one run, never against what an
  // earlier run wrote: each run appends a, b and c once.
  WriteBytes(dir / "in/sub/again.txt", "<b><c><a>");
  fields.eachFile = false;
  fields.checkDuplicate = true;
  fields.saveFile = "dup.txt";
  tools::RunExtract(files, fields, sink);
  tools::RunExtract(files, fields, sink);
  const std::string dup = ReadBytes(dir / "out/dup.txt");
  EXPECT_EQ(dup.size(), 6 * 3u) << dup;
  for (const char* line : {"a\r\n", "b\r\n", "c\r\n"}) {
    EXPECT_EQ(dup.find(line, dup.find(line) + 1), dup.find(line) + 9) << dup;
  }
}

}  // namespace
