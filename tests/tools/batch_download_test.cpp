#include "tools/batch_download.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tool_test_support.h"

namespace {

using tools_test::Gbk;
using tools_test::ReadBytes;
using tools_test::RecordingSink;
using tools_test::TempDir;
using tools_test::WriteBytes;
using Lines = std::vector<std::string>;

tools::DownloadJob Job(const std::string& url, bool mirror, const std::string& saveFolder) {
  tools::DownloadFields fields;
  fields.urlText = url;
  fields.modeText = mirror ? tools::kMirrorSaveText : tools::kFlatSaveText;
  fields.saveFolder = saveFolder;
  fields.checkDuplicate = true;
  return tools::MakeDownloadJob(fields, tools::kSkipExisting);
}

TEST(DownloadPaths, UrlFileNameAndSavePathOfEachForm) {
  struct Case {
    const char* name;
    const char* urlText;
    bool mirror;
    const char* part;
    const char* url;
    const char* fileName;
    const char* savePath;
  } cases[] = {
      {"prefix", "http://h/img/", false, "a.jpg", "http://h/img/a.jpg", "a.jpg", "D:\\s\\a.jpg"},
      {"template", "http://h/[*]/full.png", false, "42", "http://h/42/full.png", "full.png",
       "D:\\s\\full.png"},
      {"template twice", "http://h/[*]/[*].png", false, "7", "http://h/7/7.png", "7.png",
       "D:\\s\\7.png"},
      {"name template", "http://h/p/big_[*.].png", false, "photos/cat.jpg",
       "http://h/p/big_photos/cat.jpg", "cat.png", "D:\\s\\cat.png"},
      {"name template without slash", "big_[*.]", false, "x.gif", "big_x.gif", "x", "D:\\s\\x"},
      {"url ending in slash", "http://h/", false, "dir/", "http://h/dir/", "dir/", "D:\\s\\dir/"},
      {"mirror", "http://h/", true, "a/b/c.jpg", "http://h/a/b/c.jpg", "c.jpg",
       "D:\\s\\\\a\\b\\c.jpg"},
      {"mirror decodes twice", "http://h/", true, "a%20b/q.php?x=1&y=%2520",
       "http://h/a%20b/q.php?x=1&y=%2520", "q.php?x=1&y=%2520", "D:\\s\\\\a b\\q.php?x=1&y= "},
      {"mirror drops end slashes", "http://h/", true, "dir//", "http://h/dir//", "dir//",
       "D:\\s\\\\dir"},
      {"mirror with name template", "http://h/p/big_[*.].png", true, "photos/cat.jpg",
       "http://h/p/big_photos/cat.jpg", "cat.png", "D:\\s\\\\p\\big_photos\\cat.png"},
      {"mirror of an unparsable url", "", true, "a.jpg", "a.jpg", "a.jpg", "D:\\s\\"},
  };
  for (const Case& c : cases) {
    tools::DownloadJob job = Job(c.urlText, c.mirror, "D:\\s");
    std::string url = tools::DownloadUrl(job, c.part);
    EXPECT_EQ(url, c.url) << c.name;
    std::string fileName = tools::DownloadFileName(job, c.part, url);
    EXPECT_EQ(fileName, c.fileName) << c.name;
    EXPECT_EQ(tools::DownloadSavePath(job, url, fileName, '\\'), c.savePath) << c.name;
  }
}

TEST(DownloadPaths, MirrorPathsThatClimbOutAreCaught) {
  struct Case {
    const char* url;
    bool leaves;
  } cases[] = {
      {"http://h/a/../../x.jpg", true},
      {"http://h/a/%2E%2E/%2e%2e/x.jpg", true},
      {"http://h/..%252F..%252Fx.jpg", true},  // made by the second decoding pass
      {"http://h/a/..", true},
      {"http://h/a..b/..c/x..", false},
      {"http://h/a/./x.jpg", false},
  };
  for (const Case& c : cases) {
    tools::DownloadJob job = Job("", true, "/s");
    std::string save = tools::DownloadSavePath(job, c.url, "x", '/');
    EXPECT_EQ(tools::LeavesSaveFolder(save, "/s"), c.leaves) << c.url << " -> " << save;
  }
}

TEST(DownloadJob, StartRulesForFormatIntervalAndConflicts) {
  EXPECT_EQ(tools::AdjustDownloadFormat("txt"), "*.txt");
  EXPECT_EQ(tools::AdjustDownloadFormat(""), "*.");
  EXPECT_EQ(tools::AdjustDownloadFormat("*.txt;*.htm"), "*.txt;*.htm");
  for (auto [text, seconds] : {std::pair{"3", 3}, std::pair{"  +7s", 7}, std::pair{"-2", 0},
                               std::pair{"", 0}, std::pair{"x1", 0}, std::pair{"\t12", 12}}) {
    EXPECT_EQ(tools::ParseIntervalSeconds(text), seconds) << text;
  }
  tools::DownloadFields fields;
  fields.checkDuplicate = true;
  tools::DownloadJob job = tools::MakeDownloadJob(fields, tools::kOverwrite);
  EXPECT_EQ(job.skipExisting, 1);
  EXPECT_EQ(job.conflictPolicy, tools::kSkipExisting);
  fields.checkDuplicate = false;
  job = tools::MakeDownloadJob(fields, tools::kRenameNew);
  EXPECT_EQ(job.skipExisting, 0);
  EXPECT_EQ(job.conflictPolicy, tools::kRenameNew);
}

TEST(FindUrlParts, EmptyMarkers) {
  EXPECT_EQ(tools::FindUrlParts("src=a.jpg; src=b.jpg;", "src=", ";"), (Lines{"a.jpg", "b.jpg"}));
  EXPECT_EQ(tools::FindUrlParts("a.jpg;b.jpg;c", "", ";"), (Lines{"a.jpg", "b.jpg"}));
  EXPECT_EQ(tools::FindUrlParts("anything", "", ""), Lines{});
}

TEST(RenamedSavePath, NumbersUntilFree) {
  TempDir dir;
  platform::StdFileSystem files;
  WriteBytes(dir / "x.jpg", "");
  EXPECT_EQ(tools::RenamedSavePath(files, dir / "x.jpg"), dir / "x(1).jpg");
  WriteBytes(dir / "x(1).jpg", "");
  EXPECT_EQ(tools::RenamedSavePath(files, dir / "x.jpg"), dir / "x(2).jpg");
  // No "." in the file name: the split falls in the folder's name.
  EXPECT_EQ(tools::RenamedSavePath(files, "/no.such/file"), "/no(1).such/file");
}

// Answers from a table by URL; a success writes the URL as the file's body,
// into folders the run must have made.
class FakeHttp : public platform::Http {
 public:
  std::map<std::string, platform::HttpResult> results;
  Lines calls;
  platform::DownloadOptions lastOptions;

  platform::HttpResult Get(const std::string&, const platform::DownloadOptions&) override {
    return {};
  }
  platform::HttpResult Download(const std::string& url, const std::string& path,
                                const platform::DownloadOptions& options) override {
    calls.push_back(url);
    lastOptions = options;
    platform::HttpResult result;
    result.ok = true;
    if (auto it = results.find(url); it != results.end()) result = it->second;
    if (!result.ok) return result;
    std::ofstream out(path, std::ios::binary);
    if (!(out << "body of " << url)) {
      result.ok = false;
      result.failure = platform::HttpFailure::CreateFile;
    }
    return result;
  }
};

struct DownloadRun {
  TempDir dir;
  platform::StdFileSystem files;
  FakeHttp http;
  RecordingSink sink;
  int waits = 0;

  tools::DownloadJob MakeJob(int policy, bool skip, bool mirror = false) {
    tools::DownloadFields fields;
    fields.folder = dir / "in";
    fields.format = "html";
    fields.saveFolder = dir / "save";
    fields.modeText = mirror ? tools::kMirrorSaveText : tools::kFlatSaveText;
    fields.startMarker = "src=\"";
    fields.endMarker = "\"";
    fields.urlText = "http://h/";
    fields.checkDuplicate = skip;
    return tools::MakeDownloadJob(fields, policy);
  }
  void Run(const tools::DownloadJob& job) {
    tools::RunDownload({files, http, [this] { ++waits; }}, job, sink);
  }
};

TEST(RunDownload, DownloadsEachPartOncePerRunAndReportsEveryStep) {
  DownloadRun run;
  WriteBytes(run.dir / "in/a.html", "src=\"x.jpg\" src=\"x.jpg\"");
  tools::DownloadJob job = run.MakeJob(tools::kSkipExisting, true);
  job.intervalSeconds = 2;
  run.Run(job);

  std::string save = run.dir / "save/x.jpg";
  EXPECT_EQ(run.sink.lines,
            (Lines{Gbk(u8"共发现 1 个文件"), Gbk(u8"正在处理：a.html (1/1)"),
                   Gbk(u8"URL部分: x.jpg\n下载URL: http://h/x.jpg\n保存路径: ") + save,
                   Gbk(u8"下载成功: ") + save, Gbk(u8"等待 2 秒..."), Gbk(u8"剩余等待时间: 1 秒"),
                   Gbk(u8"剩余等待时间: 0 秒")}));
  EXPECT_EQ(run.waits, 2);
  EXPECT_EQ(run.sink.finished, 1);
  EXPECT_EQ(run.http.lastOptions.userAgent, "MFC Downloader");
  EXPECT_EQ(run.http.lastOptions.connectTimeoutMs, 30000);
  EXPECT_EQ(run.http.lastOptions.receiveTimeoutMs, 30000);
  EXPECT_EQ(run.http.lastOptions.extraHeaders, "Accept-Charset: utf-8\r\n");

  // A second run meets the file it saved; skipped matches do not wait.
  run.sink.lines.clear();
  run.Run(job);
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"文件已存在，跳过: ") + save);
  EXPECT_EQ(run.http.calls.size(), 1u);
  EXPECT_EQ(run.waits, 2);

  // With the box clear too, a part met again in another file is not fetched
  // again in that run; the next run fetches it again.
  WriteBytes(run.dir / "in/b.html", "src=\"x.jpg\"");
  run.Run(run.MakeJob(tools::kOverwrite, false));
  EXPECT_EQ(run.http.calls.size(), 2u);
  run.Run(run.MakeJob(tools::kOverwrite, false));
  EXPECT_EQ(run.http.calls.size(), 3u);
}

TEST(RunDownload, ExistingFilesUnderEachPolicy) {
  DownloadRun run;
  WriteBytes(run.dir / "in/a.html", "src=\"x.jpg\"");
  WriteBytes(run.dir / "save/x.jpg", "old");
  WriteBytes(run.dir / "save/x(1).jpg", "old too");
  std::string save = run.dir / "save/x.jpg";

  run.Run(run.MakeJob(tools::kRenameNew, false));
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"重命名为: ") + (run.dir / "save/x(2).jpg"));
  EXPECT_EQ(ReadBytes(run.dir / "save/x(2).jpg"), "body of http://h/x.jpg");
  EXPECT_EQ(ReadBytes(save), "old");

  run.sink.lines.clear();
  run.Run(run.MakeJob(tools::kOverwrite, false));
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"覆盖文件: ") + save);
  EXPECT_EQ(ReadBytes(save), "body of http://h/x.jpg");

  // The old file goes only when a new one has come in its place.
  WriteBytes(save, "old");
  platform::HttpResult cut;
  cut.failure = platform::HttpFailure::Transfer;
  run.http.results["http://h/x.jpg"] = cut;
  run.sink.lines.clear();
  run.Run(run.MakeJob(tools::kOverwrite, false));
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"覆盖文件: ") + save);
  EXPECT_EQ(ReadBytes(save), "old");
  run.http.results.clear();

  // A folder in the way is not deleted.
  std::filesystem::remove(save);
  std::filesystem::create_directories(save + "/keep");
  run.sink.lines.clear();
  run.Run(run.MakeJob(tools::kOverwrite, false));
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"覆盖失败（删除失败）: ") + save);
  EXPECT_TRUE(std::filesystem::exists(save + "/keep"));
}

TEST(RunDownload, FailuresReportTheirStep) {
  struct Case {
    platform::HttpFailure failure;
    const char* prefix;
    bool names_url;
  } cases[] = {
      {platform::HttpFailure::Session, u8"无法初始化网络会话 (错误码: 9)", false},
      {platform::HttpFailure::OpenUrl, u8"无法打开URL: ", true},
      {platform::HttpFailure::CreateFile, u8"无法创建文件: ", false},
      {platform::HttpFailure::Transfer, u8"下载失败: ", true},
  };
  for (const Case& c : cases) {
    DownloadRun run;
    WriteBytes(run.dir / "in/a.html", "src=\"x.jpg\"");
    platform::HttpResult result;
    result.failure = c.failure;
    result.errorCode = 9;
    run.http.results["http://h/x.jpg"] = result;
    tools::DownloadJob job = run.MakeJob(tools::kSkipExisting, true);
    job.intervalSeconds = 1;
    run.Run(job);
    std::string expected = Gbk(c.prefix);
    if (c.failure == platform::HttpFailure::OpenUrl ||
        c.failure == platform::HttpFailure::Transfer) {
      expected += "http://h/x.jpg (" + Gbk(u8"错误码") + ": 9)";
    } else if (c.failure == platform::HttpFailure::CreateFile) {
      expected += (run.dir / "save/x.jpg") + " (" + Gbk(u8"错误码") + ": 9)";
    }
    EXPECT_EQ(run.sink.lines[3], expected);
    EXPECT_EQ(run.waits, 1);  // a failed download still waits
  }
}

TEST(RunDownload, MirrorPathOutsideTheSaveFolderIsRefused) {
  DownloadRun run;
  WriteBytes(run.dir / "in/a.html", "src=\"a/%2E%2E/%2E%2E/evil.jpg\" src=\"ok/b.jpg\"");
  run.Run(run.MakeJob(tools::kSkipExisting, true, true));

  std::string bad = run.dir / "save//a/../../evil.jpg";
  EXPECT_EQ(run.sink.lines[3], Gbk(u8"保存路径超出保存文件夹，跳过: ") + bad);
  EXPECT_EQ(run.http.calls, Lines{"http://h/ok/b.jpg"});
  EXPECT_FALSE(std::filesystem::exists(run.dir / "evil.jpg"));
  EXPECT_EQ(ReadBytes(run.dir / "save/ok/b.jpg"), "body of http://h/ok/b.jpg");
}

}  // namespace
