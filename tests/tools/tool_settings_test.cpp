#include "tools/tool_settings.h"

#include <gtest/gtest.h>

#include "platform/ini_profile_files.h"
#include "tool_test_support.h"
#include "tools/batch_download.h"
#include "tools/batch_extract.h"
#include "tools/batch_replace.h"

namespace {

using tools_test::Gbk;
using tools_test::ReadBytes;
using tools_test::TempDir;
using tools_test::WriteBytes;

struct SettingsBeside {
  TempDir dir;
  tools_test::FaultyFileSystem files;
  platform::IniProfileFiles profiles{files};
  SettingsBeside() { files.executableDirectory = dir.path(); }
  tools::ToolSettingsFile File(tools::ToolKind tool) { return {files, profiles, tool}; }
};

TEST(ToolSettingsFile, WithoutAFileEveryPageKeepsItsDefaults) {
  SettingsBeside beside;
  EXPECT_EQ(beside.File(tools::ToolKind::Replace).Path(), beside.dir / "config/Pitihuan.ini");
  EXPECT_EQ(beside.File(tools::ToolKind::Download).Path(), beside.dir / "config/Pidownload.ini");
  EXPECT_EQ(beside.File(tools::ToolKind::Extract).Path(), beside.dir / "config/Pijiequ.ini");
  EXPECT_FALSE(beside.File(tools::ToolKind::Replace).Load());
  EXPECT_FALSE(std::filesystem::exists(beside.dir / "config"));  // loading creates nothing

  tools::ExtractFields extract = tools::ExtractFieldsFromSettings(std::nullopt);
  EXPECT_EQ(extract.saveFile, "JieQu.txt");
  EXPECT_EQ(extract.lineTemplate, "");
  EXPECT_EQ(tools::ReplaceFieldsFromSettings(std::nullopt).mode, tools::kReplaceModeNone);
  EXPECT_EQ(tools::DownloadFieldsFromSettings(std::nullopt).modeText, "");

  std::filesystem::create_directories(beside.dir / "config/Pijiequ.ini");
  EXPECT_FALSE(beside.File(tools::ToolKind::Extract).Load());  // a folder is no file
}

TEST(ToolSettingsFile, SavesEveryKeyInOrderAndReadsBackCutTo259Bytes) {
  SettingsBeside beside;
  tools::ExtractFields fields;
  fields.folder = Gbk(u8"D:\\资料");
  fields.lineTemplate = std::string(300, 'x');
  fields.saveFile = "";
  fields.contain = true;
  fields.eachFile = true;
  beside.File(tools::ToolKind::Extract).Save(tools::ExtractFieldsToSettings(fields));

  std::string text = ReadBytes(beside.dir / "config/Pijiequ.ini");
  std::size_t last = 0;
  for (const tools::ToolSettingKey& key : tools::ToolSettingKeys(tools::ToolKind::Extract)) {
    std::size_t at = text.find(std::string("\n") + key.key + "=");
    ASSERT_NE(at, std::string::npos) << key.key;
    EXPECT_GT(at, last) << key.key;
    last = at;
  }
  EXPECT_NE(text.find("[Settings]"), std::string::npos);
  EXPECT_NE(text.find("\ncontain=1"), std::string::npos);
  EXPECT_NE(text.find("\nautoline=0"), std::string::npos);

  std::optional<tools::ToolSettings> loaded = beside.File(tools::ToolKind::Extract).Load();
  ASSERT_TRUE(loaded);
  tools::ExtractFields back = tools::ExtractFieldsFromSettings(loaded);
  EXPECT_EQ(back.folder, fields.folder);
  EXPECT_EQ(back.lineTemplate, std::string(259, 'x'));
  EXPECT_EQ(back.saveFile, "");  // a stored empty name stays empty
  EXPECT_TRUE(back.contain);
  EXPECT_TRUE(back.eachFile);
  EXPECT_FALSE(back.autoLine);
}

TEST(ToolSettingsFile, ListTextsSelectTheirEntries) {
  SettingsBeside beside;
  tools::ReplaceFields replace;
  replace.mode = tools::kMarkerReplace;
  beside.File(tools::ToolKind::Replace).Save(tools::ReplaceFieldsToSettings(replace));
  EXPECT_NE(
      ReadBytes(beside.dir / "config/Pitihuan.ini").find("tihuanmoshi=" + Gbk(u8"包含标记替换")),
      std::string::npos);
  EXPECT_EQ(tools::ReplaceFieldsFromSettings(beside.File(tools::ToolKind::Replace).Load()).mode,
            tools::kMarkerReplace);

  tools::DownloadFields download;
  download.modeText = "something else";
  download.checkDuplicate = true;
  beside.File(tools::ToolKind::Download).Save(tools::DownloadFieldsToSettings(download));
  tools::DownloadFields back =
      tools::DownloadFieldsFromSettings(beside.File(tools::ToolKind::Download).Load());
  EXPECT_EQ(back.modeText, tools::kFlatSaveText);
  EXPECT_TRUE(back.checkDuplicate);
}

}  // namespace
