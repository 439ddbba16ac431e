#include "app/account_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_file.h"
#include "platform/sim/sim_platform.h"
#include "tests/platform/temp_dir.h"

namespace {

TEST(AccountFile, PasswordCoding) {
  EXPECT_EQ(app::EncodePassword("abc"), "616263" + std::string(94, '0'));
  EXPECT_EQ(app::EncodePassword(""), std::string(100, '0'));
  // Only the first 50 bytes are kept.
  EXPECT_EQ(app::EncodePassword(std::string(60, '\xFF')), std::string(100, 'F'));
  EXPECT_EQ(app::DecodePassword(app::EncodePassword("密码x")), "密码x");
  // Up to 50 bytes come back whole, with or without padding after them.
  for (const std::size_t length : {26u, 49u, 50u}) {
    const std::string password(length, 'p');
    EXPECT_EQ(app::DecodePassword(app::EncodePassword(password)), password) << length;
  }

  const struct {
    const char* digits;
    std::string password;
  } decode[] = {
      {"6a6B", "jk"},        // lower case digits count like upper case
      {"616200ff41", "ab"},  // ends at the first zero byte
      {"61626", "ab"},       // a lone last digit is dropped
      {"", ""},
      {"b9c3", "\xB9\xC3"},
  };
  for (const auto& c : decode) {
    SCOPED_TRACE(c.digits);
    EXPECT_EQ(app::DecodePassword(c.digits), c.password);
  }
}

struct AccountFileTest : ::testing::Test {
  testing_support::TempDir dir;
  platform::sim::SimPlatform sim;
  app::AppPaths paths = app::DeriveAppPaths(dir.path(), '/', 10);
  void SetUp() override { ASSERT_TRUE(sim.Files().CreateDirectory(dir / "Config")); }
};

TEST_F(AccountFileTest, RememberedAccountReadsBack) {
  app::WriteAccountFile(sim.Files(), sim.Profiles(), paths, true, "user1", "abc");
  EXPECT_EQ(sim.Files().ReadFile(paths.accountPath),
            "[X]\r\nn=616263" + std::string(94, '0') + "\r\ni=user1\r\n");
  const app::StoredAccount stored = app::ReadAccountFile(sim.Profiles(), paths);
  EXPECT_TRUE(stored.usable);
  EXPECT_EQ(stored.id, "user1");
  EXPECT_EQ(stored.password, "abc");
}

TEST_F(AccountFileTest, UnusableAccountsAndForgetting) {
  EXPECT_FALSE(app::ReadAccountFile(sim.Profiles(), paths).usable);  // no file
  app::WriteAccountFile(sim.Files(), sim.Profiles(), paths, false, "user1", "abc");
  EXPECT_EQ(sim.Files().ReadFile(paths.accountPath), "[X]\r\nn=\r\ni=\r\n");
  EXPECT_FALSE(app::ReadAccountFile(sim.Profiles(), paths).usable);
  sim.Profiles().WriteString("X", "i", "0", paths.accountPath);
  sim.Profiles().WriteString("X", "n", "6162", paths.accountPath);
  EXPECT_FALSE(app::ReadAccountFile(sim.Profiles(), paths).usable);
  sim.Profiles().WriteString("X", "i", "", paths.accountPath);
  EXPECT_FALSE(app::ReadAccountFile(sim.Profiles(), paths).usable);

  app::ForgetStoredAccount(sim.Files(), sim.Profiles(), paths);
  EXPECT_EQ(sim.Files().ReadFile(paths.settingsPath), "[配置]\r\nHp=0\r\nTp=0\r\n");
  EXPECT_EQ(sim.Files().ReadFile(paths.accountPath), "[X]\r\nn=\r\ni=\r\n");
}

#ifndef _WIN32
TEST_F(AccountFileTest, ANewAccountFileIsReadableByItsOwnerOnly) {
  namespace fs = std::filesystem;
  auto mode = [&] { return fs::status(paths.accountPath).permissions() & fs::perms::all; };
  const fs::perms ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
  app::WriteAccountFile(sim.Files(), sim.Profiles(), paths, true, "user1", "abc");
  EXPECT_EQ(mode(), ownerOnly);
  app::ForgetStoredAccount(sim.Files(), sim.Profiles(), paths);
  EXPECT_EQ(mode(), ownerOnly);  // later writes keep it

  // A file that is there already keeps the mode it has.
  ASSERT_TRUE(sim.Files().Remove(paths.accountPath));
  ASSERT_TRUE(sim.Files().WriteFileAtomic(paths.accountPath, "[X]\r\n"));
  fs::permissions(paths.accountPath,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  app::WriteAccountFile(sim.Files(), sim.Profiles(), paths, true, "user1", "abc");
  EXPECT_EQ(mode(), ownerOnly | fs::perms::group_read);
}
#endif

}  // namespace
