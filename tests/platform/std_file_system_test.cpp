#include "platform/files/std_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/files/path_text.h"
#include "platform/text_codec.h"
#include "tests/platform/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

struct StdFileSystemTest : ::testing::Test {
  TempDir dir;
  platform::StdFileSystem files;
};

TEST_F(StdFileSystemTest, AtomicWriteReplacesBytesKeepsModeLeavesNothingBeside) {
  const std::string target = dir / "a.ini";
  ASSERT_TRUE(files.WriteFileAtomic(target, "old"));
  ::chmod(target.c_str(), 0640);
  ASSERT_TRUE(files.WriteFileAtomic(target, std::string("new\0bytes", 9)));
  EXPECT_EQ(files.ReadFile(target), std::string("new\0bytes", 9));
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  const auto entries = files.List(dir.path());
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, "a.ini");
}

TEST_F(StdFileSystemTest, AtomicWriteThroughLinkKeepsLink) {
  ASSERT_TRUE(files.WriteFileAtomic(dir / "real", "1"));
  fs::create_symlink("real", dir / "link");
  ASSERT_TRUE(files.WriteFileAtomic(dir / "link", "2"));
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(files.ReadFile(dir / "real"), "2");
}

TEST_F(StdFileSystemTest, MissingFolderOrFileFails) {
  EXPECT_FALSE(files.WriteFileAtomic(dir / "no/a.ini", "x"));
  EXPECT_FALSE(files.AppendFile(dir / "no/a.txt", "x"));
  EXPECT_FALSE(files.ReadFile(dir / "none").has_value());
  EXPECT_FALSE(files.ReadFile(dir.path()).has_value());
  EXPECT_FALSE(files.List(dir / "none").has_value());
  EXPECT_FALSE(files.WriteFileAtomic(dir.path(), "x"));
}

TEST_F(StdFileSystemTest, ConcurrentAppendsStayWhole) {
  const std::string target = dir / "out.txt";
  const int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      platform::StdFileSystem own;
      const std::string line = std::string(4000, static_cast<char>('a' + t)) + "\n";
      for (int i = 0; i < kLines; ++i) own.AppendFile(target, line);
    });
  }
  for (auto& thread : threads) thread.join();
  const std::string all = files.ReadFile(target).value_or("");
  ASSERT_EQ(all.size(), static_cast<std::size_t>(kThreads * kLines * 4001));
  for (std::size_t at = 0; at < all.size(); at += 4001) {
    ASSERT_EQ(all.find_first_not_of(all[at], at), at + 4000) << at;
  }
}

TEST_F(StdFileSystemTest, WithdrawTakesBackOwnBlocksOnlyWhileTheyEndTheFile) {
  const std::string target = dir / "out.txt";
  ASSERT_TRUE(files.AppendFile(target, "old;"));
  auto first = files.OpenForAppend(target);
  ASSERT_TRUE(first && first->Append("a;") && first->Append("b;"));
  ASSERT_TRUE(first->Withdraw());
  EXPECT_EQ(files.ReadFile(target), "old;");

  ASSERT_TRUE(first->Append("c;"));
  ASSERT_TRUE(files.AppendFile(target, "other;"));
  EXPECT_FALSE(first->Withdraw());  // cutting now would take the other writer's block too
  EXPECT_EQ(files.ReadFile(target), "old;c;other;");
  EXPECT_FALSE(files.OpenForAppend(dir / "no/out.txt"));
}

TEST_F(StdFileSystemTest, GbkNamesAreUtf8OnDisk) {
  ASSERT_TRUE(files.CreateDirectory(dir / "中文"));
  EXPECT_TRUE(files.CreateDirectory(dir / "中文"));  // already there counts
  EXPECT_TRUE(fs::is_directory(dir.path() + "/" + u8"中文"));
  ASSERT_TRUE(files.WriteFileAtomic(dir / "中文/配置.ini", "x"));
  EXPECT_TRUE(fs::exists(dir.path() + "/" + u8"中文/配置.ini"));
  const auto entries = files.List(dir / "中文");
  ASSERT_TRUE(entries && entries->size() == 1);
  EXPECT_EQ((*entries)[0].name, "配置.ini");
}

TEST_F(StdFileSystemTest, ListGivesKindsAndIdentityOfLinkTargets) {
  ASSERT_TRUE(files.CreateDirectory(dir / "sub"));
  ASSERT_TRUE(files.WriteFileAtomic(dir / "file", ""));
  fs::create_directory_symlink("..", dir / "sub/up");
  struct stat root, sub;
  ASSERT_EQ(::stat(dir.path().c_str(), &root), 0);
  ASSERT_EQ(::stat((dir / "sub").c_str(), &sub), 0);

  const auto top = files.List(dir.path());
  ASSERT_TRUE(top && top->size() == 2);
  for (const auto& e : *top) {
    SCOPED_TRACE(e.name);
    EXPECT_FALSE(e.isLink);
    EXPECT_EQ(e.isDirectory, e.name == "sub");
    if (e.isDirectory) {
      EXPECT_EQ(e.inode, static_cast<std::uint64_t>(sub.st_ino));
    }
  }
  const auto inner = files.List(dir / "sub");
  ASSERT_TRUE(inner && inner->size() == 1);
  const auto& up = (*inner)[0];
  EXPECT_TRUE(up.isLink && up.isDirectory);
  EXPECT_EQ(up.device, static_cast<std::uint64_t>(root.st_dev));
  EXPECT_EQ(up.inode, static_cast<std::uint64_t>(root.st_ino));
}

struct stat Stat(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST_F(StdFileSystemTest, RewriteKeepsOwnerGroupModeAndOtherNames) {
  const std::string owned = dir / "owned.txt";
  Put(owned, "old");
  ::chmod(owned.c_str(), 0600);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(files.RewriteFile(owned, "new"));
  EXPECT_EQ(files.ReadFile(owned), "new");
  EXPECT_EQ(Stat(owned).st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(Stat(owned).st_uid, 65534u);
    EXPECT_EQ(Stat(owned).st_gid, 65534u);
  }

  // A file with a second name stays one file.
  const std::string linked = dir / "linked.txt";
  Put(linked, "old bytes");
  ASSERT_EQ(::link(linked.c_str(), (dir / "other-name").c_str()), 0);
  ASSERT_TRUE(files.RewriteFileParts(linked, "\xEF\xBB\xBF", "new"));
  EXPECT_EQ(files.ReadFile(dir / "other-name"), "\xEF\xBB\xBFnew");
  EXPECT_EQ(Stat(linked).st_nlink, 2u);
  EXPECT_EQ(EntriesIn(dir.path()), 3u);  // nothing left beside
}

TEST_F(StdFileSystemTest, ReadOnlyFilesAreRefusedEvenToRoot) {
  const std::string locked = dir / "ro.txt";
  Put(locked, "keep");
  ::chmod(locked.c_str(), 0444);
  EXPECT_FALSE(files.RewriteFile(locked, "new"));
  EXPECT_FALSE(files.WriteFileAtomic(locked, "new"));
  EXPECT_EQ(files.ReadFile(locked), "keep");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST_F(StdFileSystemTest, OnlyRegularFilesAreRead) {
  ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir / "zero.txt");
  fs::create_symlink("missing", dir / "broken.txt");
  // A pipe without a writer would block the open; the device would never end.
  EXPECT_EQ(files.ReadFile(dir / "pipe.txt"), std::nullopt);
  EXPECT_EQ(files.ReadFile(dir / "zero.txt"), std::nullopt);
  EXPECT_EQ(files.ReadFile(dir / "broken.txt"), std::nullopt);
  EXPECT_FALSE(files.RewriteFile(dir / "pipe.txt", "x"));
}

TEST_F(StdFileSystemTest, TheTemporaryNameDoesNotGrowWithTheFileName) {
  std::string name;
  for (int i = 0; i < 81; ++i) name += "\xD6\xD0";  // 81 GBK characters, 243 bytes in UTF-8
  name += ".txt";
  const std::string path = dir / name;
  ASSERT_TRUE(files.WriteFileAtomic(path, "1"));
  EXPECT_TRUE(files.RewriteFile(path, "22"));
  EXPECT_EQ(files.ReadFile(path), "22");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST_F(StdFileSystemTest, AbandonedTemporariesGoLiveOnesStay) {
  EXPECT_TRUE(platform::IsRewriteTemporaryName(".orvane-12-0.tmp"));
  for (const char* name : {".orvane-12.tmp", "orvane-12-0.tmp", ".orvane-1x-0.tmp", "a.txt"}) {
    EXPECT_FALSE(platform::IsRewriteTemporaryName(name)) << name;
  }
  const std::string abandoned = dir / ".orvane-999999999-3.tmp";  // no such process
  const std::string live = dir / ".orvane-1-4.tmp";               // a process that runs
  const std::string ours = dir / (".orvane-" + std::to_string(::getpid()) + "-5.tmp");
  const std::string user = dir / "orvane-999999999-1.tmp";
  for (const std::string& path : {abandoned, live, ours, user}) Put(path, "x");
  EXPECT_TRUE(files.RemoveAbandoned(abandoned));
  EXPECT_FALSE(files.RemoveAbandoned(live));
  EXPECT_FALSE(files.RemoveAbandoned(ours));
  EXPECT_FALSE(files.RemoveAbandoned(user));
  EXPECT_FALSE(fs::exists(abandoned));
  EXPECT_TRUE(fs::exists(live) && fs::exists(ours) && fs::exists(user));
}

TEST_F(StdFileSystemTest, NamesGbkCannotSpellStillLeadToTheirOwnFiles) {
  // Side by side with a.txt: "â" has only a best-fit "a" in GBK, the emoji has
  // nothing, and the last name is not UTF-8 at all.
  const std::vector<std::string> names = {"a.txt", u8"\u00e2.txt", u8"\U0001F600.txt",
                                          "bad\xFF.txt", u8"\u4e2d.txt"};
  for (const std::string& name : names) Put(dir.path() + "/" + name, name);
  const auto entries = files.List(dir.path());
  ASSERT_TRUE(entries);
  std::set<std::string> listed;
  for (const auto& entry : *entries) {
    listed.insert(entry.name);
    EXPECT_EQ(files.ReadFile(dir / entry.name), platform::Utf8FromPathText(entry.name));
    ASSERT_TRUE(files.RewriteFile(dir / entry.name, "new " + entry.name));
  }
  EXPECT_EQ(listed.size(), names.size());
  EXPECT_TRUE(listed.count("\xD6\xD0.txt"));  // plain GBK as ever
  EXPECT_TRUE(listed.count("a.txt"));
  for (const std::string& name : names) {
    std::ifstream in(dir.path() + "/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(platform::Utf8FromPathText(bytes.substr(4)), name);
  }
  EXPECT_EQ(EntriesIn(dir.path()), names.size());
  // Shown in GBK, each byte GBK cannot spell is one "?".
  EXPECT_EQ(text::GbkToUtf8(platform::PathTextFromUtf8(u8"\U0001F600.txt")), "????.txt");
}

TEST_F(StdFileSystemTest, ReplaceKeepingBackupKeepsTheOldOneAndRefusesWhatItMayNotReplace) {
  const std::string real = dir / "orvane-6.1.2";
  const std::string link = dir / "orvane";
  const std::string incoming = dir / "orvane.new";
  const std::string backup = dir / "orvane.bak";
  ASSERT_TRUE(files.WriteFileAtomic(real, "old"));
  ::chmod(real.c_str(), 0751);
  ASSERT_EQ(::symlink("orvane-6.1.2", link.c_str()), 0);
  ASSERT_TRUE(files.WriteFileAtomic(incoming, "new"));
  ASSERT_TRUE(files.WriteFileAtomic(backup, "an older backup"));

  // Through a link the file it names is replaced, and the link stays.
  ASSERT_TRUE(files.ReplaceKeepingBackup(link, incoming, backup));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(files.ReadFile(real), "new");
  EXPECT_EQ(Stat(real).st_mode & 07777, 0751u);
  EXPECT_EQ(files.ReadFile(backup), "old");
  EXPECT_FALSE(files.Exists(incoming));

  // Read-only, missing or not a file: refused, with nothing changed or left.
  ASSERT_TRUE(files.WriteFileAtomic(incoming, "newer"));
  ASSERT_TRUE(files.Remove(backup));
  ::chmod(real.c_str(), 0555);
  EXPECT_FALSE(files.ReplaceKeepingBackup(real, incoming, backup));
  EXPECT_FALSE(files.ReplaceKeepingBackup(dir / "missing", incoming, backup));
  EXPECT_FALSE(files.ReplaceKeepingBackup(dir.path(), incoming, backup));
  EXPECT_EQ(files.ReadFile(real), "new");
  EXPECT_FALSE(files.Exists(backup));
  EXPECT_EQ(files.ReadFile(incoming), "newer");
}

TEST_F(StdFileSystemTest, RenameRemoveAndDirectories) {
  ASSERT_TRUE(files.AppendFile(dir / "a", "1"));
  ASSERT_TRUE(files.AppendFile(dir / "a", "2"));
  EXPECT_TRUE(files.Rename(dir / "a", dir / "b"));
  EXPECT_FALSE(files.Exists(dir / "a"));
  EXPECT_EQ(files.ReadFile(dir / "b"), "12");
  EXPECT_FALSE(files.IsDirectory(dir / "b"));
  EXPECT_TRUE(files.IsDirectory(dir.path()));
  EXPECT_TRUE(files.Remove(dir / "b"));
  EXPECT_FALSE(files.Remove(dir / "b"));
  EXPECT_FALSE(files.CreateDirectory(dir / "x/y"));
  EXPECT_EQ(files.Separator(), '/');
  EXPECT_EQ(files.CurrentDirectory(), fs::current_path().string());
  EXPECT_EQ(files.ExecutableDirectory(), fs::read_symlink("/proc/self/exe").parent_path().string());
}

}  // namespace
