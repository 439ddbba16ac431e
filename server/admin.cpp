#include "server/admin.h"

#include <pthread.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "platform/text_codec.h"
#include "server/http_server.h"
#include "server/published_files.h"
#include "server/query.h"
#include "server/service.h"
#include "server/sqlite_store.h"

namespace server {
namespace {

namespace fs = std::filesystem;

std::string DefaultDataDirectory() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    return (fs::path(xdg) / "orvane-server").string();
  if (const char* home = std::getenv("HOME"); home && *home)
    return (fs::path(home) / ".local" / "share" / "orvane-server").string();
  return "orvane-server-data";
}

struct Paths {
  std::string data;
  std::string database;
  std::string files;
  std::string log;
};

std::optional<Paths> PrepareData(const std::string& data) {
  Paths paths{data, (fs::path(data) / "orvane.db").string(), (fs::path(data) / "files").string(),
              (fs::path(data) / "server.log").string()};
  std::error_code error;
  fs::create_directories(paths.files, error);
  if (error) {
    std::cerr << "orvane-server: cannot create " << paths.files << ": " << error.message() << "\n";
    return std::nullopt;
  }
  return paths;
}

std::unique_ptr<Store> OpenStore(const Paths& paths) {
  std::string error;
  auto store = OpenSqliteStore(paths.database, &error);
  if (!store) std::cerr << "orvane-server: cannot open " << paths.database << ": " << error << "\n";
  return store;
}

bool ParseHashLimits(const std::string& text, HashLimits* limits) {
  unsigned long long passes = 0, kib = 0;
  char comma = 0;
  std::istringstream in(text);
  if (!(in >> passes >> comma >> kib) || comma != ',' || passes == 0 || kib < 8) return false;
  limits->passes = passes;
  limits->memoryKiB = static_cast<std::size_t>(kib);
  return true;
}

bool ParseListen(const std::string& text, std::string* host, int* port) {
  std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string hostPart = text.substr(0, colon);
  if (hostPart.size() > 2 && hostPart.front() == '[' && hostPart.back() == ']')
    hostPart = hostPart.substr(1, hostPart.size() - 2);
  std::optional<int> number = text.substr(colon + 1) == "0"
                                  ? std::optional<int>(0)
                                  : ParseSmallNumber(text.substr(colon + 1), 65535);
  if (!number) return false;
  *host = hostPart;
  *port = *number;
  return true;
}

// Nicknames travel in GBK inside "|" separated replies.
std::optional<std::string> CheckNickname(const std::string& utf8) {
  bool valid = true;
  text::Utf8ToUtf16(utf8, &valid);
  bool unmapped = false;
  std::string gbk = text::Utf16ToGbk(text::Utf8ToUtf16(utf8), &unmapped);
  if (!valid || unmapped || gbk.empty() || gbk.size() > 40 || !IsCleanGbk(gbk) ||
      gbk.find_first_of("|^") != std::string::npos) {
    return std::nullopt;
  }
  return utf8;
}

std::atomic<bool> gServing{false};

int Serve(const Paths& paths, const std::string& listen, const HashLimits& limits, unsigned threads,
          std::size_t maxConnections, const std::string& publicBase) {
  std::string host;
  int port = 0;
  if (!ParseListen(listen, &host, &port)) {
    std::cerr << "orvane-server: --listen wants HOST:PORT, not " << listen << "\n";
    return 2;
  }
  auto store = OpenStore(paths);
  if (!store) return 1;

  // Signals arrive at one thread of ours, which stops the server cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  ServiceOptions serviceOptions;
  serviceOptions.hashLimits = limits;
  serviceOptions.concurrentHashes = std::max(1u, std::thread::hardware_concurrency());
  serviceOptions.filesDirectory = paths.files;
  serviceOptions.publicBase =
      publicBase.empty() ? store->Setting("public_base").value_or("") : publicBase;
  VendorService service(*store, serviceOptions);

  HttpOptions httpOptions;
  httpOptions.host = host;
  httpOptions.port = port;
  httpOptions.threads = threads;
  httpOptions.maxConnections = maxConnections;
  httpOptions.logPath = paths.log;
  httpOptions.filesDirectory = paths.files;
  HttpServer http(service, httpOptions);
  std::string error;
  int bound = http.Bind(&error);
  if (bound < 0) {
    std::cerr << "orvane-server: " << error << "\n";
    return 1;
  }
  std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  std::cout << "orvane-server: listening on http://" << shown << ":" << bound << std::endl;

  gServing = true;
  std::thread watcher([&] {
    timespec wait{0, 200 * 1000 * 1000};
    while (gServing) {
      if (sigtimedwait(&stopSignals, nullptr, &wait) > 0) {
        http.Stop();
        return;
      }
    }
  });
  bool ok = http.Run();
  gServing = false;
  watcher.join();
  std::cout << "orvane-server: stopped" << std::endl;
  return ok ? 0 : 1;
}

void PrintAccount(const Account& account) {
  std::cout << account.id << "\tlevel " << account.level << "\tpoints " << account.points << "\t"
            << account.nickname << "\t" << (account.email.empty() ? "-" : account.email) << "\n";
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"orvane-server: the vendor web server of Orvane"};
  app.require_subcommand(0, 1);
  std::string data = DefaultDataDirectory();
  // The address the program is built to ask unless told otherwise.
  std::string listen = "127.0.0.1:8617";
  std::string hashText = "2,19456";
  unsigned threads = 32;
  std::size_t maxConnections = 1024;
  std::string publicBase;
  app.add_option("--data", data, "folder of the database, the log and the files")
      ->capture_default_str();
  app.add_option("--listen", listen, "HOST:PORT to serve on; port 0 picks a free one")
      ->capture_default_str();
  app.add_option("--hash-limits", hashText,
                 "Argon2id cost of new password hashes: passes,KiB of memory")
      ->capture_default_str();
  app.add_option("--threads", threads, "connections served at once")
      ->capture_default_str()
      ->check(CLI::Range(1u, 1024u));
  app.add_option("--max-connections", maxConnections,
                 "connections served or waiting before new ones get 503")
      ->capture_default_str()
      ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 20));
  app.add_option("--public-base", publicBase,
                 "base address the download replies name (default: the address asked)");

  // account
  CLI::App* account = app.add_subcommand("account", "create, change and list accounts");
  account->require_subcommand(1);
  CLI::App* create = account->add_subcommand("create", "create an account; prints its id");
  std::string nickname, password, email, qq;
  int level = 0, sex = 0;
  std::int64_t points = 0;
  create->add_option("--nickname", nickname, "nickname (UTF-8)")->required();
  create->add_option("--password", password, "password")->required();
  create->add_option("--email", email, "e-mail address");
  create->add_option("--level", level, "account level: 0 or 1 (1 synchronises tasks)")
      ->check(CLI::Range(0, 1));
  create->add_option("--points", points, "points")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 40));
  create->add_option("--sex", sex, "0 unknown, 1 male, 2 female")->check(CLI::Range(0, 2));
  create->add_option("--qq", qq, "QQ number");
  CLI::App* set = account->add_subcommand("set", "change an account");
  std::int64_t accountId = 0;
  std::optional<int> newLevel;
  std::optional<std::int64_t> newPoints;
  std::optional<std::string> newPassword, newNickname;
  set->add_option("id", accountId, "account id")->required();
  set->add_option("--level", newLevel, "account level: 0 or 1")->check(CLI::Range(0, 1));
  set->add_option("--points", newPoints, "points")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 40));
  set->add_option("--password", newPassword, "new password");
  set->add_option("--nickname", newNickname, "new nickname (UTF-8)");
  CLI::App* list = account->add_subcommand("list", "list the accounts");

  // version
  CLI::App* version = app.add_subcommand("version", "the latest version the version query names");
  version->require_subcommand(1);
  CLI::App* versionSet = version->add_subcommand("set", "set the latest version");
  std::string versionText, notes;
  versionSet->add_option("version", versionText, "for example 6.1.3")->required();
  versionSet->add_option("--notes", notes, "release notes (UTF-8), after the '^'");
  CLI::App* versionShow = version->add_subcommand("show", "print the latest version");

  // ad
  CLI::App* ad = app.add_subcommand("ad", "the advertisement");
  ad->require_subcommand(1);
  CLI::App* adSet = ad->add_subcommand("set", "show an HTML page or fragment (UTF-8) from a file");
  std::string adFile;
  adSet->add_option("file", adFile, "HTML file")->required()->check(CLI::ExistingFile);
  CLI::App* adClear = ad->add_subcommand("clear", "show no advertisement");
  CLI::App* adShow = ad->add_subcommand("show", "print the advertisement");

  // quota
  CLI::App* quota = app.add_subcommand("quota", "registrations still open");
  quota->require_subcommand(1);
  CLI::App* quotaSet = quota->add_subcommand("set", "allow this many more registrations");
  std::int64_t quotaCount = 0;
  quotaSet->add_option("count", quotaCount, "number of registrations")
      ->required()
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 40));
  CLI::App* quotaClear = quota->add_subcommand("clear", "no limit on registrations");
  CLI::App* quotaShow = quota->add_subcommand("show", "print the registrations left");

  // publish
  CLI::App* publish =
      app.add_subcommand("publish", "put a new file where the download addresses lead");
  publish->require_subcommand(1);
  CLI::App* publishProduct = publish->add_subcommand(
      "product", "publish a new version of the program and name it in the version query");
  std::string productFile, productVersion, productNotes;
  publishProduct->add_option("file", productFile, "the program's executable")
      ->required()
      ->check(CLI::ExistingFile);
  publishProduct->add_option("--version", productVersion, "its version, for example 6.1.5")
      ->required();
  publishProduct->add_option("--notes", productNotes, "release notes (UTF-8), after the '^'");
  CLI::App* publishUpdater =
      publish->add_subcommand("updater", "publish the updater the program fetches");
  std::string updaterFile;
  publishUpdater->add_option("file", updaterFile, "the updater's executable")
      ->required()
      ->check(CLI::ExistingFile);

  CLI::App* feedback = app.add_subcommand("feedback", "feedback from users");
  feedback->require_subcommand(1);
  CLI::App* feedbackList = feedback->add_subcommand("list", "print every feedback");

  CLI11_PARSE(app, argc, argv);

  HashLimits limits;
  if (!ParseHashLimits(hashText, &limits)) {
    std::cerr << "orvane-server: --hash-limits wants PASSES,KIB (KiB at least 8)\n";
    return 2;
  }
  std::optional<Paths> paths = PrepareData(data);
  if (!paths) return 1;
  if (app.get_subcommands().empty())
    return Serve(*paths, listen, limits, threads, maxConnections, publicBase);

  auto store = OpenStore(*paths);
  if (!store) return 1;
  PasswordChecker passwords(limits, 1);
  auto fail = [](const std::string& message) {
    std::cerr << "orvane-server: " << message << "\n";
    return 1;
  };

  if (create->parsed()) {
    if (!CheckNickname(nickname))
      return fail("the nickname must be 1 to 40 bytes of GBK without '|' or '^'");
    if (password.empty() || password.size() > 128)
      return fail("the password must be 1 to 128 bytes");
    if (!email.empty() && !IsEmailAddress(email)) return fail("not an e-mail address: " + email);
    std::optional<std::string> hash = passwords.Hash(text::Utf8ToGbk(password));
    if (!hash) return fail("out of memory for the password hash");
    Account newAccount;
    newAccount.nickname = nickname;
    newAccount.email = email;
    newAccount.sex = sex;
    newAccount.qq = qq;
    newAccount.level = level;
    newAccount.points = points;
    newAccount.passwordHash = *hash;
    CreateResult result = store->CreateAccount(newAccount, false);
    if (result.outcome == CreateOutcome::EmailTaken)
      return fail("the e-mail address is registered already");
    if (result.outcome != CreateOutcome::Created) return fail("the account could not be stored");
    std::cout << result.id << std::endl;
    return 0;
  }
  if (set->parsed()) {
    std::optional<Account> found = store->FindAccount(accountId);
    if (!found) return fail("no account " + std::to_string(accountId));
    if (newLevel) found->level = *newLevel;
    if (newPoints) found->points = *newPoints;
    if (newNickname) {
      if (!CheckNickname(*newNickname))
        return fail("the nickname must be 1 to 40 bytes of GBK without '|' or '^'");
      found->nickname = *newNickname;
    }
    if (newPassword) {
      if (newPassword->empty() || newPassword->size() > 128)
        return fail("the password must be 1 to 128 bytes");
      std::optional<std::string> hash = passwords.Hash(text::Utf8ToGbk(*newPassword));
      if (!hash) return fail("out of memory for the password hash");
      found->passwordHash = *hash;
    }
    if (!store->UpdateAccount(*found)) return fail("the account could not be stored");
    PrintAccount(*found);
    return 0;
  }
  if (list->parsed()) {
    for (const Account& item : store->ListAccounts()) PrintAccount(item);
    return 0;
  }
  auto validVersion = [](const std::string& text) {
    return !text.empty() && text.find_first_of("|^") == std::string::npos;
  };
  auto storeVersion = [&](const std::string& text, const std::string& releaseNotes) {
    return store->SetSetting("latest_version", text) &&
           store->SetSetting("version_notes",
                             releaseNotes.empty() ? std::nullopt : std::optional(releaseNotes));
  };
  if (versionSet->parsed()) {
    if (!validVersion(versionText)) return fail("the version must not be empty or hold '|' or '^'");
    if (!storeVersion(versionText, notes)) return fail("the version could not be stored");
    return 0;
  }
  if (publishProduct->parsed() || publishUpdater->parsed()) {
    const bool product = publishProduct->parsed();
    if (product && !validVersion(productVersion))
      return fail("the version must not be empty or hold '|' or '^'");
    const char* name = product ? kProductFileName : kUpdaterFileName;
    std::string error;
    std::optional<std::string> digest =
        PublishFile(product ? productFile : updaterFile, paths->files, name, &error);
    if (!digest) return fail(error);
    // The file comes first: a version is never named before it can be fetched.
    if (product && !storeVersion(productVersion, productNotes))
      return fail("the version could not be stored");
    std::cout << name << (product ? " " + productVersion : "") << " sha256 " << *digest << "\n";
    return 0;
  }
  if (versionShow->parsed()) {
    std::cout << store->Setting("latest_version").value_or("6.1.2") << "\n";
    return 0;
  }
  if (adSet->parsed()) {
    std::ifstream in(adFile, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    if (content.str().empty()) return fail("the advertisement file is empty");
    if (!store->SetSetting("advertisement", content.str()))
      return fail("the advertisement could not be stored");
    return 0;
  }
  if (adClear->parsed()) return store->SetSetting("advertisement", std::nullopt) ? 0 : 1;
  if (adShow->parsed()) {
    std::optional<std::string> content = store->Setting("advertisement");
    std::cout << (content ? *content : "(no advertisement)\n");
    return 0;
  }
  if (quotaSet->parsed())
    return store->SetSetting("registration_quota", std::to_string(quotaCount)) ? 0 : 1;
  if (quotaClear->parsed()) return store->SetSetting("registration_quota", std::nullopt) ? 0 : 1;
  if (quotaShow->parsed()) {
    std::cout << store->Setting("registration_quota").value_or("unlimited") << "\n";
    return 0;
  }
  if (feedbackList->parsed()) {
    for (const Feedback& item : store->ListFeedback()) {
      std::time_t at = static_cast<std::time_t>(item.at);
      std::tm parts{};
      localtime_r(&at, &parts);
      char stamp[32];
      std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M", &parts);
      std::cout << "#" << item.id << " " << stamp << " account " << item.accountId << " level "
                << item.level << " " << item.product << "\n  " << item.name << " <" << item.email
                << ">\n  " << item.message << "\n";
    }
    return 0;
  }
  return 0;
}

}  // namespace server
