#include "tools/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tool_test_support.h"

namespace {

using tools_test::Gbk;
using tools_test::TempDir;
using tools_test::WriteBytes;

struct FilterCase {
  const char* name;
  std::string file;
  std::string filter;
  bool matches;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << c.name;
}

class SuffixFilter : public testing::TestWithParam<FilterCase> {};
TEST_P(SuffixFilter, Matches) {
  EXPECT_EQ(tools::MatchesSuffix(GetParam().file, GetParam().filter), GetParam().matches);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, SuffixFilter,
    testing::Values(FilterCase{"plain", "a.txt", "txt", true},
                    FilterCase{"no dot needed", "notatxt", "txt", true},
                    FilterCase{"wildcard is literal", "a.txt", "*.txt", false},
                    FilterCase{"case ignored", "a.txt", "TXT", true},
                    FilterCase{"empty takes all", "README", "", true},
                    FilterCase{"longer than name", "t", "txt", false},
                    // The second byte of a GBK character is not a letter to fold.
                    FilterCase{"trail byte kept", "\x81\x41", "\x81\x61", false},
                    FilterCase{"gbk suffix", Gbk(u8"报告.文本"), Gbk(u8"文本"), true}));

class ExtensionListFilter : public testing::TestWithParam<FilterCase> {};
TEST_P(ExtensionListFilter, Matches) {
  EXPECT_EQ(tools::MatchesExtensionList(GetParam().file, GetParam().filter), GetParam().matches);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionListFilter,
    testing::Values(FilterCase{"upper name", "A.TXT", "txt;htm", true},
                    FilterCase{"second token", "b.htm", "txt;htm", true},
                    FilterCase{"upper filter", "b.htm", "TXT;HTM", true},
                    FilterCase{"dot in token", "a.txt", ".txt", false},
                    FilterCase{"star dot", "a.txt", "*.txt", false},
                    FilterCase{"lone star", "a.txt", "*", false},
                    FilterCase{"empty matches nothing", "a.txt", "", false},
                    FilterCase{"last extension counts", "a.txt.bak", "txt", false},
                    FilterCase{"no dot, not listed", "README", "txt", false},
                    FilterCase{"no dot, whole name", "README", "txt;readme", true},
                    FilterCase{"tokens not trimmed", "b.htm", "txt; htm", false},
                    FilterCase{"empty tokens skipped", "a.txt", ";;txt;", true}));

class PatternFilter : public testing::TestWithParam<FilterCase> {};
TEST_P(PatternFilter, Matches) {
  EXPECT_EQ(tools::MatchesPattern(GetParam().file, GetParam().filter), GetParam().matches);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, PatternFilter,
    testing::Values(FilterCase{"star ext", "a.txt", "*.txt", true},
                    FilterCase{"case ignored", "A.TXT", "*.txt", true},
                    FilterCase{"second mask", "b.htm", "*.txt;*.htm", true},
                    FilterCase{"space before mask", "b.htm", "*.txt; *.htm", true},
                    FilterCase{"whole name", "a.txt.bak", "*.txt", false},
                    FilterCase{"star dot star takes all", "README", "*.*", true},
                    FilterCase{"empty format rule", "README", "*.", false},
                    FilterCase{"question mark", "a.txt", "?.txt", true},
                    FilterCase{"question is one character", "ab.txt", "?.txt", false},
                    FilterCase{"question takes a gbk character", Gbk(u8"中.txt"), "?.txt", true},
                    FilterCase{"star in middle", "abcdef", "a*d*f", true},
                    FilterCase{"star backtracks", "aXbXc", "a*b*c", true},
                    FilterCase{"no match", "abc", "a*d", false}));

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(FolderWalk, ListsMatchingFilesInEveryFolderWithFullPaths) {
  TempDir dir;
  WriteBytes(dir / "a.txt", "");
  WriteBytes(dir / "b.htm", "");
  WriteBytes(dir / "sub/c.TXT", "");
  WriteBytes(dir / "sub/.hidden/d.txt", "");
  WriteBytes(dir / "sub/deeper/e.txt.bak", "");
  platform::StdFileSystem files;

  EXPECT_EQ(Sorted(tools::ScanFolderBySuffix(files, dir.path(), "txt")),
            Sorted({dir / "a.txt", dir / "sub/.hidden/d.txt", dir / "sub/c.TXT"}));
  EXPECT_EQ(Sorted(tools::ScanFolderByPattern(files, dir.path(), "*.htm;*.bak")),
            Sorted({dir / "b.htm", dir / "sub/deeper/e.txt.bak"}));

  std::vector<std::string> visited;
  int filterReads = 0;
  tools::ScanFolderByExtensionList(
      files, dir.path(),
      [&] {
        ++filterReads;
        return std::string("htm");
      },
      [&](const std::string& path) { visited.push_back(path); });
  EXPECT_EQ(visited, std::vector<std::string>{dir / "b.htm"});
  EXPECT_EQ(filterReads, 5);  // once for every file tested

  EXPECT_TRUE(tools::ScanFolderBySuffix(files, dir / "missing", "").empty());
  // The separator is put in even after one the folder text ends with.
  EXPECT_EQ(tools::ScanFolderByPattern(files, dir / "sub/deeper/", "*.bak"),
            std::vector<std::string>{dir / "sub/deeper//e.txt.bak"});
}

TEST(FolderWalk, LinksBackUpTheTreeAreNotFollowed) {
  TempDir dir;
  WriteBytes(dir / "root/a.txt", "");
  WriteBytes(dir / "root/sub/b.txt", "");
  WriteBytes(dir / "elsewhere/c.txt", "");
  std::filesystem::create_directory_symlink(dir / "root", dir / "root/sub/up");
  std::filesystem::create_directory_symlink(dir / "root/sub", dir / "root/sub/self");
  std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "root/sub/side");
  platform::StdFileSystem files;

  // Each file once; a link to a folder outside the walk is walked like any folder.
  EXPECT_EQ(Sorted(tools::ScanFolderBySuffix(files, dir / "root", "txt")),
            Sorted({dir / "root/a.txt", dir / "root/sub/b.txt", dir / "root/sub/side/c.txt"}));
}

TEST(FolderWalk, EachFolderAndFileOnceHoweverManyWaysLeadThere) {
  TempDir dir;
  WriteBytes(dir / "root/a/f.txt", "");
  WriteBytes(dir / "root/b/g.txt", "");
  std::filesystem::create_directory_symlink("../a", dir / "root/b/toa");
  std::filesystem::create_hard_link(dir / "root/b/g.txt", dir / "root/b/second-name.txt");
  std::filesystem::create_symlink("f.txt", dir / "root/a/link.txt");
  // Eight folders that all link to one another, one file in each.
  for (int i = 0; i < 8; ++i) WriteBytes(dir / ("root/m" + std::to_string(i) + "/x.txt"), "");
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 8; ++j) {
      if (i == j) continue;
      std::filesystem::create_directory_symlink(
          "../m" + std::to_string(j),
          dir / ("root/m" + std::to_string(i) + "/to" + std::to_string(j)));
    }
  }
  int listed = 0;
  tools_test::FaultyFileSystem counting;
  counting.onList = [&] { ++listed; };
  std::vector<std::string> found = tools::ScanFolderBySuffix(counting, dir / "root", "txt");
  EXPECT_EQ(found.size(), 2u + 8u);  // f.txt (or its link) and g.txt (or its second name)
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), found.size());
  EXPECT_EQ(listed, 1 + 2 + 8);  // root, a, b and the eight, each once
}

TEST(FolderWalk, SkipsRewriteTemporariesAndRemovesAbandonedOnes) {
  TempDir dir;
  WriteBytes(dir / "a.tmp", "");
  WriteBytes(dir / ".orvane-999999999-0.tmp", "left by a killed run");
  platform::StdFileSystem files;
  EXPECT_EQ(tools::ScanFolderBySuffix(files, dir.path(), "tmp"),
            std::vector<std::string>{dir / "a.tmp"});
  EXPECT_FALSE(std::filesystem::exists(dir / ".orvane-999999999-0.tmp"));
}

}  // namespace
