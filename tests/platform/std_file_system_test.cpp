#include "platform/files/std_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <thread>

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
