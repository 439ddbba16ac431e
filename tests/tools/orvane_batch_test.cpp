// End-to-end runs of the built orvane-batch over small fixture trees.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "loopback_http_server.h"
#include "tool_test_support.h"

namespace {

using namespace std::string_literals;
using tools_test::ReadBytes;
using tools_test::TempDir;
using tools_test::WriteBytes;
using Lines = std::vector<std::string>;

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? "'\\''"s : std::string(1, c);
  return quoted + "'";
}

struct Result {
  int exitCode = -1;
  Lines out;  // standard output, one entry per line
  std::string err;
};

// Runs orvane-batch with the arguments; `prefix` is shell text put before it
// (limits, another user).
Result RunBatch(const Lines& args, const std::string& prefix = "",
                const std::string& program = ORVANE_BATCH_PATH) {
  TempDir scratch;
  std::string command = prefix + Quote(program);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote(scratch / "out") + " 2>" + Quote(scratch / "err");
  int status = std::system(("bash -c " + Quote(command)).c_str());
  Result result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::string out = ReadBytes(scratch / "out");
  for (std::size_t start = 0; start < out.size();) {
    std::size_t end = out.find('\n', start);
    result.out.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  result.err = ReadBytes(scratch / "err");
  return result;
}

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(OrvaneBatch, HelpDocumentsEveryOption) {
  struct Case {
    const char* tool;
    Lines options;
  } cases[] = {
      {"replace", {"--settings", "--folder", "--format", "--mode", "--keyword", "--end", "--with"}},
      {"extract",
       {"--settings", "--folder", "--format", "--start1", "--start2", "--start3", "--start4",
        "--end1", "--end2", "--end3", "--end4", "--template", "--save-folder", "--save-file",
        "--contain", "--no-duplicates", "--auto-line", "--each-identifier", "--each-file"}},
      {"download",
       {"--settings", "--folder", "--format", "--save-folder", "--start", "--end", "--url",
        "--mirror", "--interval", "--skip-existing", "--on-conflict"}},
  };
  for (const Case& c : cases) {
    Result help = RunBatch({c.tool, "--help"});
    EXPECT_EQ(help.exitCode, 0);
    std::string text;
    for (const std::string& line : help.out) text += line + "\n";
    for (const std::string& option : c.options) {
      EXPECT_NE(text.find(option + " "), std::string::npos) << c.tool << " " << option;
    }
  }
  EXPECT_NE(RunBatch({}).exitCode, 0);
}

TEST(OrvaneBatch, ReplaceRewritesEachEncodingInPlaceAndKeepsPermissions) {
  TempDir dir;
  WriteBytes(dir / "t/ascii.txt", "a{{1}}b{{2}}c");
  WriteBytes(dir / "t/gbk.txt", "\xBE\xC9{{\xD6\xB5}}");  // 旧{{值}}
  WriteBytes(dir / "t/sub/utf8.htm",
             "\xEF\xBB\xBF"
             u8"{{中}}");
  WriteBytes(dir / "t/le.txt", "\xFF\xFE{\0{\0x\0}\0}\0"s);
  WriteBytes(dir / "t/be.txt", "\xFE\xFF\0{\0{\0x\0}\0}"s);
  WriteBytes(dir / "t/other.bak", "{{1}}");
  ::chmod((dir / "t/gbk.txt").c_str(), 0640);

  Result run = RunBatch({"replace", "--folder", dir / "t", "--format", "txt;htm", "--mode", "1",
                         "--keyword", "{{", "--end", "}}", "--with", u8"（[*]）"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir / "t/ascii.txt"),
            "\xEF\xBB\xBF"
            u8"a{{（1）}}b{{（2）}}c");
  EXPECT_EQ(ReadBytes(dir / "t/gbk.txt"), "\xBE\xC9{{\xA3\xA8\xD6\xB5\xA3\xA9}}");
  EXPECT_EQ(ReadBytes(dir / "t/sub/utf8.htm"),
            "\xEF\xBB\xBF"
            u8"{{（中）}}");
  EXPECT_EQ(ReadBytes(dir / "t/le.txt"), "\xFF\xFE{\0{\0\x08\xFFx\0\x09\xFF}\0}\0"s);
  EXPECT_EQ(ReadBytes(dir / "t/be.txt"), "\xFE\xFF\0{\0{\xFF\x08\0x\xFF\x09\0}\0}"s);
  EXPECT_EQ(ReadBytes(dir / "t/other.bak"), "{{1}}");
  EXPECT_EQ(Mode(dir / "t/gbk.txt"), 0640u);
  EXPECT_TRUE(Contains(run.out, "[" + (dir / "t/gbk.txt") + u8"] 处理完成，编码：936"));
  EXPECT_TRUE(Contains(run.out, "[" + (dir / "t/be.txt") + u8"] 处理完成，编码：1201"));
  EXPECT_EQ(run.out.size(), 6u);
  EXPECT_EQ(run.out.back(), u8"处理完成！");

  Result refused = RunBatch({"replace", "--folder", dir / "t"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, u8"请填写必要参数！\n");
  EXPECT_TRUE(refused.out.empty());
}

TEST(OrvaneBatch, UsageErrorsExitTwoAndNameTheArgument) {
  TempDir dir;
  WriteBytes(dir / "t/a.txt", "what?? really?");
  const std::string t = dir / "t";
  const std::string emoji = u8"😀";  // kept out of the macros, which spell their arguments in GBK
  struct Case {
    Lines args;
    const char* named;
  } cases[] = {
      // GBK has no 😀: it would become "??" and match or write something else.
      {{"replace", "--folder", t, "--format", "txt", "--mode", "0", "--keyword", emoji, "--with",
        "x"},
       "--keyword"},
      {{"replace", "--folder", t, "--format", "txt", "--mode", "0", "--keyword", "??", "--with",
        emoji},
       "--with"},
      {{"extract", "--folder", t, "--save-folder", dir / emoji}, "--save-folder"},
      {{"replace", "--folder", t, "--keyword", "k", "--mode", "9"}, "--mode"},
      {{"replace", "--folder", t, "--keyword", "k", "--no-such-option"}, "--no-such-option"},
      {{"download", "--folder", t, "--save-folder", t, "--on-conflict", "later"}, "--on-conflict"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    Result run = RunBatch(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.named << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << c.named;
  }
  EXPECT_EQ(ReadBytes(dir / "t/a.txt"), "what?? really?");
  EXPECT_FALSE(std::filesystem::exists(dir / emoji));
}

// AddressSanitizer reserves terabytes of shadow memory at start, so a process
// under an address-space limit cannot even begin.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimits = false;
#else
constexpr bool kAddressSpaceLimits = true;
#endif

TEST(OrvaneBatch, ARunEndedByAnErrorExitsOne) {
  if (!kAddressSpaceLimits) GTEST_SKIP() << "needs an address-space limit";
  TempDir dir;
  std::string original(20'000'000, 'k');
  WriteBytes(dir / "t/big.txt", original);
  // Too little memory for the file and its rewrite, and maybe for all the threads.
  Result run = RunBatch({"replace", "--folder", dir / "t", "--format", "txt", "--mode", "0",
                         "--keyword", "k", "--with", "kk"},
                        "ulimit -v 50000; ");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, Lines{u8"内存不足！"});
  EXPECT_EQ(ReadBytes(dir / "t/big.txt"), original);
}

TEST(OrvaneBatch, SettingsFileBesideTheProgramStartsTheFields) {
  TempDir dir;
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::copy_file(ORVANE_BATCH_PATH, dir / "bin/orvane-batch");
  WriteBytes(dir / "bin/config/Pitihuan.ini",
             "[Settings]\r\nfileadd=" + (dir / "t") +
                 "\r\nfileformat=txt\r\ntihuanmoshi=" + tools_test::Gbk(u8"范围替换") +
                 "\r\nguanjianci={{\r\nendguanjianci=}}\r\ntihuanneirong=old\r\n");
  WriteBytes(dir / "t/a.txt", "{{1}}");
  Result run =
      RunBatch({"replace", "--settings", "--with", "[*][*]"}, "", dir / "bin/orvane-batch");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir / "t/a.txt"), "\xEF\xBB\xBF{{11}}");
  EXPECT_EQ(ReadBytes(dir / "bin/config/Pitihuan.ini").find("[*]"), std::string::npos);
}

TEST(OrvaneBatch, AWriteOverTheFileSizeLimitFailsThatFileAndTheRunGoesOn) {
  TempDir dir;
  std::string original(20000, 'k');
  WriteBytes(dir / "t/big.txt", original);
  WriteBytes(dir / "t/sub/small.txt", "k");
  // What a killed run left beside a file; the next run over the folder clears it.
  WriteBytes(dir / "t/.orvane-999999999-0.tmp", std::string(100, 'k'));
  // A 4 KB file-size limit makes the write fail part way; the system's signal
  // for that would end the process.
  Result run = RunBatch({"replace", "--folder", dir / "t", "--format", "txt", "--mode", "0",
                         "--keyword", "k", "--with", "kk"},
                        "ulimit -f 4; ");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, (dir / "t/big.txt") + u8" 文件保存失败"));
  EXPECT_TRUE(Contains(run.out, "[" + (dir / "t/sub/small.txt") + u8"] 处理完成，编码：65001"));
  EXPECT_EQ(ReadBytes(dir / "t/big.txt"), original);
  EXPECT_EQ(ReadBytes(dir / "t/sub/small.txt"), "\xEF\xBB\xBFkk");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "t"), {}), 2);
}

TEST(OrvaneBatch, PipesAndDevicesAreReportedNotRead) {
  TempDir dir;
  WriteBytes(dir / "t/a.txt", "k");
  ASSERT_EQ(::mkfifo((dir / "t/p.txt").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", dir / "t/zero.txt");
  Result run =
      RunBatch({"replace", "--folder", dir / "t", "--format", "txt", "--mode", "0", "--keyword",
                "k", "--with", "kk"},
               kAddressSpaceLimits ? "ulimit -v 1000000; exec timeout 20 " : "exec timeout 20 ");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, (dir / "t/p.txt") + u8" 文件读取失败"));
  EXPECT_TRUE(Contains(run.out, (dir / "t/zero.txt") + u8" 文件读取失败"));
  EXPECT_EQ(ReadBytes(dir / "t/a.txt"), "\xEF\xBB\xBFkk");
}

TEST(OrvaneBatch, NamesGbkCannotSpellArePrintedAsTheyAre) {
  TempDir dir;
  WriteBytes(dir / "t/a.txt", "k");
  WriteBytes(dir / u8"t/\u00e2.txt", "k");
  Result run = RunBatch({"replace", "--folder", dir / "t", "--format", "txt", "--mode", "0",
                         "--keyword", "k", "--with", "kk"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir / "t/a.txt"), "\xEF\xBB\xBFkk");
  EXPECT_EQ(ReadBytes(dir / u8"t/\u00e2.txt"), "\xEF\xBB\xBFkk");
  EXPECT_TRUE(Contains(run.out, "[" + (dir / u8"t/\u00e2.txt") + u8"] 处理完成，编码：65001"));
}

TEST(OrvaneBatch, ReplaceLeavesAFileTheUserCannotWrite) {
  TempDir dir;
  WriteBytes(dir / "t/locked.txt", "key");
  WriteBytes(dir / "t/open.txt", "key");
  ::chmod((dir / "t/locked.txt").c_str(), 0444);
  std::string prefix;
  if (::geteuid() == 0) {
    // Root may write anything; run as an ordinary user who owns neither file.
    ::chmod(dir.path().c_str(), 0777);
    ::chmod((dir / "t").c_str(), 0777);
    ::chmod((dir / "t/open.txt").c_str(), 0666);
    prefix = "exec setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  Result run = RunBatch({"replace", "--folder", dir / "t", "--format", "txt", "--mode", "0",
                         "--keyword", "key", "--with", "new"},
                        prefix);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, (dir / "t/locked.txt") + u8" 文件保存失败"));
  EXPECT_EQ(ReadBytes(dir / "t/locked.txt"), "key");
  EXPECT_EQ(Mode(dir / "t/locked.txt"), 0444u);
  EXPECT_EQ(ReadBytes(dir / "t/open.txt"), "\xEF\xBB\xBFnew");
}

TEST(OrvaneBatch, ExtractAppendsCombinedLines) {
  TempDir dir;
  WriteBytes(dir / "in/list.txt", "<a href=\"1.htm\">One</a> <a href=\"2.htm\">Two</a>");
  WriteBytes(dir / "in/sub/more.TXT", "<a href=\"1.htm\">One</a>");
  WriteBytes(dir / "in/skip.htm", "<a href=\"9.htm\">Nine</a>");
  Lines args = {"extract",       "--folder",    dir / "in",
                "--format",      "txt",         "--start1",
                "href=\"",       "--end1",      "\"",
                "--start2",      "\">",         "--end2",
                "</a>",          "--template",  u8"[2]：[1] [3|.]",
                "--save-folder", dir / "out",   "--save-file",
                u8"结果.txt",    "--auto-line", "--no-duplicates"};
  Result run = RunBatch(args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.size(), 3u);
  EXPECT_EQ(run.out.back(), u8"处理完成！");
  // The result file holds GBK, like every text the tool writes itself.
  std::string result = ReadBytes(dir /
                                 "out/"
                                 u8"结果.txt");
  std::string colon = "\xA3\xBA";  // ：
  std::multiset<std::string> lines;
  for (std::size_t start = 0; start < result.size();) {
    std::size_t end = result.find("\r\n", start);
    lines.insert(result.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(lines,
            (std::multiset<std::string>{"One" + colon + "1.htm list", "Two" + colon + "2.htm list",
                                        "One" + colon + "1.htm more"}));
  // Pieces, the row rule and the each-file names are covered by the logic tests.
  // Empty folders stand for the drive's root on the page; a script must name them.
  EXPECT_EQ(RunBatch({"extract", "--save-folder", dir / "out"}).exitCode, 2);
  EXPECT_EQ(RunBatch({"extract", "--folder", dir / "in"}).exitCode, 2);
}

TEST(OrvaneBatch, ExtractThatCannotWriteItsResultFails) {
  TempDir dir;
  WriteBytes(dir / "in/a.txt", std::string(20000, 'x'));
  WriteBytes(dir / "file", "");
  WriteBytes(dir / "out/JieQu.txt", "old\r\n");
  Lines args = {"extract", "--folder",  dir / "in",   "--start1", "x",           "--end1",
                "x",       "--contain", "--template", "[1]",      "--auto-line", "--save-folder"};
  struct Case {
    std::string saveFolder;
    std::string prefix;
  } cases[] = {{dir / "file", ""}, {dir / "out", "trap '' XFSZ; ulimit -f 8; "}};
  for (const Case& c : cases) {
    Lines withFolder = args;
    withFolder.push_back(c.saveFolder);
    Result run = RunBatch(withFolder, c.prefix);
    EXPECT_EQ(run.exitCode, 1) << c.saveFolder;
    EXPECT_EQ(run.out.back(), u8"结果文件写入失败：" + c.saveFolder + "/JieQu.txt");
  }
  EXPECT_EQ(ReadBytes(dir / "out/JieQu.txt"), "old\r\n");
}

class DownloadRun : public testing::Test {
 protected:
  DownloadRun()
      : server_([this](const std::string& path) {
          using Reply = tools_test::LoopbackHttpServer::Reply;
          if (path == "/go") return Reply{302, "", 0, false, "file://" + dir_ / "secret.txt"};
          if (path == "/img/a.jpg") return Reply{200, "image a"};
          if (path == "/img/a%20b.jpg") return Reply{200, "image a b"};
          if (path == "/img/cut.jpg") return Reply{200, std::string(1000, 'c'), 50000};
          if (path == "/img/slow.jpg") return Reply{200, std::string(1000, 's'), 50000, true};
          return Reply{404, "not here"};
        }) {
    WriteBytes(dir_ / "in/page.html",
               "<img src=\"a.jpg\"><img src=\"missing.jpg\"><img src=\"cut.jpg\">"
               "<img src=\"a b.jpg\">");
    WriteBytes(dir_ / "in/again.html", "<img src=\"a.jpg\">");
  }

  Result Download(Lines extra) {
    Lines args = {"download",
                  "--folder",
                  dir_ / "in",
                  "--format",
                  "html",
                  "--save-folder",
                  dir_ / "save",
                  "--start",
                  "src=\"",
                  "--end",
                  "\"",
                  "--url",
                  server_.Base() + "/img/"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunBatch(args);
  }

  TempDir dir_;
  tools_test::LoopbackHttpServer server_;
};

TEST_F(DownloadRun, SavesCompleteBodiesOnlyAndReportsEachOutcome) {
  Result run = Download({"--skip-existing"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::string base = server_.Base() + "/img/";
  std::string save = dir_ / "save";
  EXPECT_EQ(run.out.front(), u8"共发现 2 个文件");
  EXPECT_TRUE(Contains(run.out, u8"下载成功: " + save + "/a.jpg"));
  EXPECT_TRUE(Contains(run.out, u8"无法打开URL: " + base + u8"missing.jpg (错误码: 22)"));
  EXPECT_TRUE(Contains(run.out, u8"下载失败: " + base + u8"cut.jpg (错误码: 18)"));
  EXPECT_TRUE(Contains(run.out,
                       "URL"
                       u8"部分: a.jpg"));
  EXPECT_EQ(ReadBytes(save + "/a.jpg"), "image a");
  // A found URL may hold a space; it goes out escaped.
  EXPECT_EQ(ReadBytes(save + "/a b.jpg"), "image a b");
  // Nothing else: no error page, no partial file, no temporary left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(save), {}), 2);
  // a.jpg appears in both files but is fetched once.
  Lines requests = server_.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_NE(requests[0].find("User-Agent: MFC Downloader\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("Accept-Charset: utf-8\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("Cache-Control: no-cache\r\n"), std::string::npos);
}

TEST_F(DownloadRun, ExistingFilesUnderEachPolicy) {
  std::string save = dir_ / "save";
  WriteBytes(save + "/a.jpg", "old");

  Result skip = Download({"--skip-existing"});
  EXPECT_TRUE(Contains(skip.out, u8"文件已存在，跳过: " + save + "/a.jpg"));
  EXPECT_EQ(ReadBytes(save + "/a.jpg"), "old");

  Result rename = Download({"--on-conflict", "rename"});
  EXPECT_TRUE(Contains(rename.out, u8"重命名为: " + save + "/a(1).jpg"));
  EXPECT_EQ(ReadBytes(save + "/a(1).jpg"), "image a");
  EXPECT_EQ(ReadBytes(save + "/a.jpg"), "old");

  // A failed download leaves the file it would have replaced.
  WriteBytes(save + "/missing.jpg", "old");
  WriteBytes(save + "/cut.jpg", "old");
  Result overwrite = Download({"--on-conflict", "overwrite"});
  EXPECT_TRUE(Contains(overwrite.out, u8"覆盖文件: " + save + "/a.jpg"));
  EXPECT_EQ(ReadBytes(save + "/a.jpg"), "image a");
  EXPECT_TRUE(Contains(overwrite.out, u8"覆盖文件: " + save + "/cut.jpg"));
  EXPECT_EQ(ReadBytes(save + "/missing.jpg"), "old");
  EXPECT_EQ(ReadBytes(save + "/cut.jpg"), "old");

  EXPECT_EQ(Download({}).exitCode, 2);  // the page would ask; a script must say
  Result refused = RunBatch({"download", "--folder", dir_ / "nowhere", "--save-folder",
                             dir_ / "save", "--skip-existing"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, u8"目标路径无效！\n");
}

TEST_F(DownloadRun, OnlyWebAddressesAreRequestedRedirectsIncluded) {
  WriteBytes(dir_ / "secret.txt", "local");
  std::string local = "file://" + dir_ / "secret.txt";
  std::string port = server_.Base().substr(server_.Base().rfind(':'));
  Lines urls = {local, server_.Base() + "/go", "dict://127.0.0.1" + port + "/x",
                "gopher://127.0.0.1" + port + "/x", "HTTP://127.0.0.1" + port + "/img/a.jpg"};
  std::string page;
  for (const std::string& url : urls) page += "<img src=\"" + url + "\">";
  WriteBytes(dir_ / "links/page.html", page);
  Result run = RunBatch({"download", "--folder", dir_ / "links", "--format", "html",
                         "--save-folder", dir_ / "save", "--start", "src=\"", "--end", "\"",
                         "--url", "[*]", "--skip-existing"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(Contains(run.out, u8"无法打开URL: " + urls[i] + u8" (错误码: 1)")) << urls[i];
  }
  EXPECT_TRUE(Contains(run.out, u8"下载成功: " + dir_ / "save/a.jpg"));
  // Only the two web addresses reached the server, and nothing local was copied.
  EXPECT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "save"), {}), 1);
}

TEST_F(DownloadRun, AKilledRunLeavesNoPartialFileUnderTheFinalName) {
  WriteBytes(dir_ / "slow/slow.html", "<img src=\"slow.jpg\">");
  std::string save = dir_ / "save";
  std::vector<std::string> args = {ORVANE_BATCH_PATH, "download",
                                   "--folder",        dir_ / "slow",
                                   "--format",        "html",
                                   "--save-folder",   save,
                                   "--start",         "src=\"",
                                   "--end",           "\"",
                                   "--url",           server_.Base() + "/img/",
                                   "--skip-existing"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  // Kill it once part of the body has gone out and had time to reach its file.
  for (int waited = 0; server_.Answered() == 0 && waited < 10000; waited += 10) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);

  ASSERT_EQ(server_.Answered(), 1);
  EXPECT_FALSE(std::filesystem::exists(save + "/slow.jpg"));
  // Skip-existing then does not trust a torn file: the next run fetches it again.
}

}  // namespace
