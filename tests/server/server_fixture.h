#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "online/server_request.h"
#include "online/server_text.h"
#include "platform/linux/curl_http.h"
#include "tests/platform/temp_dir.h"

extern char** environ;

namespace server_test {

using Args = std::vector<std::string>;

struct Outcome {
  int exitCode = -1;
  std::string out;
};

// Starts `args` with stdout on a pipe; returns the pid and the read end.
inline pid_t Spawn(const Args& args, int* readEnd) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  *readEnd = pipeEnds[0];
  return pid;
}

// One administration command against a data folder.
inline Outcome Admin(const std::string& data, const Args& args) {
  Args all = {ORVANE_SERVER_PATH, "--data", data, "--hash-limits", "1,8"};
  all.insert(all.end(), args.begin(), args.end());
  int readEnd = -1;
  pid_t pid = Spawn(all, &readEnd);
  Outcome outcome;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(readEnd, buffer, sizeof buffer)) > 0) outcome.out.append(buffer, n);
  ::close(readEnd);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    outcome.exitCode = WEXITSTATUS(status);
  return outcome;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// orvane-server on 127.0.0.1 with a free port, its data in a folder of the test.
// The hash cost is the lowest, so the tests spend their time on behaviour.
class ServerProcess {
 public:
  explicit ServerProcess(std::string data) : data_(std::move(data)) { Start(); }
  ~ServerProcess() { Stop(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  void Start() {
    pid_ = Spawn(
        {ORVANE_SERVER_PATH, "--data", data_, "--listen", "127.0.0.1:0", "--hash-limits", "1,8"},
        &out_);
    ASSERT_GT(pid_, 0);
    std::string line;
    char c;
    while (::read(out_, &c, 1) == 1 && c != '\n') line += c;
    const std::string marker = "http://127.0.0.1:";
    std::size_t at = line.find(marker);
    ASSERT_NE(at, std::string::npos) << line;
    base_ = line.substr(at);
  }

  // SIGTERM, then the exit code (0 for a clean stop).
  int Stop(int signal = SIGTERM) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    ::close(out_);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  const std::string& base() const { return base_; }
  const std::string& data() const { return data_; }

 private:
  std::string data_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string base_;
};

// A page as a browser gets it: status and body, for the pages the program
// only shows.
struct Answer {
  bool ok = false;
  int status = 0;
  std::string text;
};

inline Answer Ask(const std::string& url) {
  platform::CurlHttp http;
  platform::DownloadOptions options;
  options.userAgent = "Orvane";
  platform::HttpResult result = http.Get(url, options);
  return {result.ok, result.status, result.body};
}

// A text request as the program makes it, with its own client code.
inline online::TextReply Request(const std::string& url) {
  platform::CurlHttp http;
  return online::ServerTextRequest(http, url);
}

using online::Field;
using online::UrlFormEncode;

// A running server with its data folder.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_ = std::make_unique<ServerProcess>(dir_.path() + "/data"); }

  std::string Url(const std::string& pathAndQuery) const { return server_->base() + pathAndQuery; }
  Answer Get(const std::string& pathAndQuery) const { return Ask(Url(pathAndQuery)); }
  // The joined reply lines of a text endpoint; a failed request fails the test.
  std::string Text(const std::string& pathAndQuery) const {
    online::TextReply reply = Request(Url(pathAndQuery));
    EXPECT_TRUE(reply.ok()) << pathAndQuery.substr(0, 200);
    return reply.Joined();
  }

  // An account made by the administration command; its id.
  std::string CreateAccount(const std::string& password, int level = 1, int points = 0,
                            const std::string& nickname = "tester") {
    Outcome made =
        Admin(data(), {"account", "create", "--nickname", nickname, "--password", password,
                       "--level", std::to_string(level), "--points", std::to_string(points)});
    EXPECT_EQ(made.exitCode, 0);
    std::string id = made.out.substr(0, made.out.find('\n'));
    return id;
  }

  std::string SignIn(const std::string& id, const std::string& password) const {
    return Text("/SoftWare/userroom/stLogin.php?dlu=1&dl=" + id + "&password=" + password);
  }

  std::string data() const { return dir_.path() + "/data"; }

  testing_support::TempDir dir_;
  std::unique_ptr<ServerProcess> server_;
};

}  // namespace server_test
