#include "server/service.h"

#include <ctime>
#include <filesystem>

#include "platform/text_codec.h"
#include "server/pages.h"
#include "server/published_files.h"
#include "server/query.h"
#include "server/task_service.h"

namespace server {
namespace {

constexpr const char* kProductName = "Orvane";
constexpr const char* kDefaultVersion = "6.1.2";
constexpr std::size_t kMaxPassword = 128;
constexpr std::size_t kMaxTaskText = 2000;

Reply Text(std::string body) {
  return {200, "text/plain; charset=GBK", std::move(body)};
}
Reply Html(std::string body, int status = 200) {
  return {status, "text/html; charset=utf-8", std::move(body)};
}

std::string Date(std::int64_t at, const char* format) {
  std::time_t time = static_cast<std::time_t>(at);
  std::tm parts{};
  localtime_r(&time, &parts);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, format, &parts);
  return buffer;
}

// Text that travels inside "|" and "^" separated replies must not hold either.
bool HoldsSeparator(std::string_view text) {
  return text.find('|') != std::string_view::npos || text.find('^') != std::string_view::npos;
}

bool IsDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool HasControlBytes(std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

// GBK message text may hold line breaks and tabs, nothing else below a space.
bool IsMessageText(std::string_view text) {
  std::string flat(text);
  for (char& c : flat) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return IsCleanGbk(flat);
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

bool IsSafeHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    if (!ok) return false;
  }
  return true;
}

int CountTasks(const std::optional<TaskSlots>& slots) {
  int count = 0;
  if (slots) {
    for (const StoredTask& task : *slots) count += task.content.empty() ? 0 : 1;
  }
  return count;
}

}  // namespace

const std::vector<std::string_view>& VendorService::SecretKeys() {
  static const std::vector<std::string_view> keys = {"password", "pd", "pasd", "pasd2"};
  return keys;
}

VendorService::VendorService(Store& store, ServiceOptions options)
    : store_(store),
      options_(std::move(options)),
      passwords_(options_.hashLimits, options_.concurrentHashes),
      // An account owner mistypes a few times; a guesser keeps going.
      accountThrottle_(5, 5 * 60 * 1000),
      // One address may hold many people (a school, an office behind NAT).
      addressThrottle_(20, 5 * 60 * 1000),
      registrationThrottle_(20, 5 * 60 * 1000) {}

Reply VendorService::Handle(const std::string& path, const std::string& rawQuery,
                            const std::string& remoteAddress, const std::string& host) {
  const bool tooLong = rawQuery.size() > kMaxQueryLength;
  Query query = Query::Parse(tooLong ? std::string_view() : std::string_view(rawQuery));
  if (path == "/" || path == "/index.php" || path == "/index.html") return Html(HomePage());
  if (path == "/SoftWare/userroom/stRegulation.php") {
    if (tooLong) return Text("404m");
    return Regulation(query, host);
  }
  if (path == "/SoftWare/userroom/stLogin.php") {
    if (tooLong) return Text("404u");
    return SignIn(query, remoteAddress);
  }
  if (path == "/SoftWare/userroom/stMember.php") {
    if (tooLong) return Text("404m");
    return Registration(query, remoteAddress);
  }
  if (path == "/SoftWare/userroom/stComments.php") {
    if (tooLong) return Text("404m");
    return Comment(query);
  }
  if (path == "/SoftWare/Program/Orvane/Task.php") {
    if (tooLong) return Text("task404");
    return Task(query, remoteAddress);
  }
  if (path == "/SoftWare/userroom/stUser.php") {
    if (tooLong) return Html(RefusalPage());
    return PersonalCentre(query, remoteAddress);
  }
  if (path == "/Too/daohang.php") return Navigation(tooLong ? Query() : query, remoteAddress);
  if (path == kRegistrationSitePath)
    return RegistrationSite(tooLong ? Query() : query, remoteAddress);
  return Html(NotFoundPage(), 404);
}

VendorService::Check VendorService::CheckAccount(const std::optional<std::string>& id,
                                                 const std::optional<std::string>& password,
                                                 const std::string& remoteAddress, Account* account,
                                                 bool full) {
  std::optional<std::int64_t> number = id ? ParseAccountId(*id) : std::nullopt;
  if (!number) return Check::UnknownAccount;
  std::optional<Account> found = store_.FindAccount(*number);
  if (!found) return Check::UnknownAccount;
  if (!password || password->empty() || password->size() > kMaxPassword)
    return Check::WrongPassword;
  const std::string accountKey = std::to_string(*number);
  const std::string addressKey = remoteAddress;
  const std::int64_t now = SteadyMillis();
  if (!accountThrottle_.Allowed(accountKey, now) || !addressThrottle_.Allowed(addressKey, now))
    return Check::WrongPassword;
  if (!passwords_.Verify(*number, found->passwordHash, *password, full)) {
    accountThrottle_.Failed(accountKey, now);
    addressThrottle_.Failed(addressKey, now);
    return Check::WrongPassword;
  }
  accountThrottle_.Succeeded(accountKey);
  if (passwords_.NeedsRehash(found->passwordHash)) {
    // Moves old hashes to the current cost; the next check pays it once.
    if (std::optional<std::string> hash = passwords_.Hash(*password)) {
      found->passwordHash = *hash;
      store_.UpdateAccount(*found);
    }
  }
  *account = std::move(*found);
  return Check::Ok;
}

// Sign-in and the task service refuse an account with the same two codes.
const char* VendorService::CheckCode(Check check) {
  return check == Check::UnknownAccount ? "404u" : "404ps";
}

Reply VendorService::SignIn(const Query& query, const std::string& remoteAddress) {
  if (query.Raw("dlu") != "1") return Text("404u");
  std::optional<std::string> password = query.Raw("password");
  Account account;
  Check check = CheckAccount(query.Raw("dl"), password, remoteAddress, &account, true);
  if (check != Check::Ok) return Text(CheckCode(check));
  // Code, level, nickname, e-mail, sex, QQ, member since, synchronised tasks,
  // points, id, password, and two fields kept empty.
  std::string reply = "login111|";
  reply += std::to_string(account.level) + "|";
  reply += text::Utf8ToGbk(account.nickname) + "|";
  reply += account.email + "|";
  reply += std::to_string(account.sex) + "|";
  reply += account.qq + "|";
  reply += Date(account.createdAt, "%Y-%m-%d") + "|";
  reply += std::to_string(CountTasks(store_.LoadTasks(account.id))) + "|";
  reply += std::to_string(account.points) + "|";
  reply += std::to_string(account.id) + "|";
  reply += *password + "||";
  return Text(reply);
}

RegistrationCode VendorService::Register(const std::string& nickname, const std::string& password,
                                         const std::string& email, int sex, const std::string& qq,
                                         const std::string& remoteAddress, std::int64_t* id) {
  if (!IsEmailAddress(email)) return RegistrationCode::BadEmail;
  bool blank = nickname.find_first_not_of(' ') == std::string::npos;
  if (blank || nickname.size() > 40 || !IsCleanGbk(nickname) || HoldsSeparator(nickname))
    return RegistrationCode::Failed;
  if (password.size() < 6 || password.size() > kMaxPassword || HasControlBytes(password))
    return RegistrationCode::Failed;
  if (sex < 0 || sex > 2) return RegistrationCode::Failed;
  if (!qq.empty() && (qq.size() < 5 || qq.size() > 12 || !IsDigits(qq)))
    return RegistrationCode::Failed;
  const std::int64_t now = SteadyMillis();
  if (!registrationThrottle_.Allowed(remoteAddress, now)) return RegistrationCode::Failed;
  registrationThrottle_.Failed(remoteAddress, now);
  std::optional<std::string> hash = passwords_.Hash(password);
  if (!hash) return RegistrationCode::Failed;
  Account account;
  account.nickname = text::GbkToUtf8(nickname);
  account.email = email;
  account.sex = sex;
  account.qq = qq;
  account.passwordHash = *hash;
  CreateResult result = store_.CreateAccount(account, true);
  switch (result.outcome) {
    case CreateOutcome::Created:
      *id = result.id;
      return RegistrationCode::Created;
    case CreateOutcome::EmailTaken:
      return RegistrationCode::EmailTaken;
    case CreateOutcome::QuotaUsedUp:
      return RegistrationCode::QuotaUsedUp;
    case CreateOutcome::Failed:
      break;
  }
  return RegistrationCode::Failed;
}

Reply VendorService::Registration(const Query& query, const std::string& remoteAddress) {
  if (query.Raw("cs") != "1" || query.Raw("qa") != "8" || query.Raw("vcar") != "1")
    return Text("404m");
  std::optional<std::string> nickname = query.Raw("usr");
  std::optional<std::string> password = query.Raw("pasd");
  std::optional<std::string> email = query.Raw("email");
  std::optional<std::string> sexText = query.Raw("nannv");
  std::optional<std::string> qq = query.Raw("qim");
  if (!email || !IsEmailAddress(*email)) return Text("404email");
  if (!nickname || !password || !sexText || !qq) return Text("404m");
  std::optional<int> sex = ParseSmallNumber(*sexText, 2);
  if (!sex) return Text("404m");
  std::int64_t id = 0;
  switch (Register(*nickname, *password, *email, *sex, *qq, remoteAddress, &id)) {
    case RegistrationCode::Created:
      return Text("mem111|" + std::to_string(id));
    case RegistrationCode::BadEmail:
      return Text("404email");
    case RegistrationCode::EmailTaken:
      return Text("404e");
    case RegistrationCode::QuotaUsedUp:
      return Text("403ui");
    case RegistrationCode::Failed:
      break;
  }
  return Text("404m");
}

Reply VendorService::Comment(const Query& query) {
  if (query.Raw("fk") != "1") return Text("404m");
  std::optional<std::string> id = query.Raw("mi");
  std::optional<std::string> level = query.Raw("tm");
  std::optional<std::string> name = query.Form("am");
  std::optional<std::string> email = query.Raw("me");
  std::optional<std::string> product = query.Raw("mt");
  std::optional<std::string> message = query.Form("mn");
  if (!email || !IsEmailAddress(*email)) return Text("404email");
  if (!id || !level || !name || !product || !message) return Text("404m");
  std::optional<std::int64_t> accountId =
      *id == "0" ? std::optional<std::int64_t>(0) : ParseAccountId(*id);
  std::optional<int> accountLevel = ParseSmallNumber(*level, 9);
  if (!accountId || !accountLevel) return Text("404m");
  if (name->empty() || name->size() > 100 || !IsCleanGbk(*name)) return Text("404m");
  if (product->empty() || product->size() > 40 || !IsCleanGbk(*product)) return Text("404m");
  if (message->empty() || message->size() > 4000 || !IsMessageText(*message)) return Text("404m");
  Feedback feedback;
  feedback.at = static_cast<std::int64_t>(std::time(nullptr));
  feedback.accountId = *accountId;
  feedback.level = *accountLevel;
  feedback.name = text::GbkToUtf8(*name);
  feedback.email = *email;
  feedback.product = text::GbkToUtf8(*product);
  feedback.message = text::GbkToUtf8(*message);
  return Text(store_.AddFeedback(feedback) ? "tj111" : "404m");
}

Reply VendorService::Task(const Query& query, const std::string& remoteAddress) {
  const bool fetch = query.Raw("qlu") == "1";
  const bool change = query.Raw("hlu") == "1";
  if (fetch == change) return Text("task404");
  Account account;
  Check check = CheckAccount(query.Raw("dl"), query.Raw("password"), remoteAddress, &account);
  if (check != Check::Ok) return Text(CheckCode(check));
  // Synchronisation belongs to the higher account level.
  if (account.level != 1) return Text("task404");
  if (change) return TaskChangeRequest(query, account.id);
  std::optional<TaskSlots> slots = store_.LoadTasks(account.id);
  if (!slots) return Text("task404");
  return Text(FetchReply(*slots));
}

Reply VendorService::TaskChangeRequest(const Query& query, std::int64_t accountId) {
  std::optional<std::string> content = query.Form("taskcontent");
  std::optional<std::string> inUse = query.Raw("tasktb");
  std::optional<std::string> oldText = query.Form("xgy");
  std::optional<std::string> taskId = query.Raw("zrid");
  std::optional<std::string> deletion = query.Raw("sctb");
  if (!content || !inUse || !oldText || !taskId) return Text("task404");
  auto storable = [](const std::string& text) {
    // '^' separates the records of a fetch: a text holding one could not come back.
    return !text.empty() && text.size() <= kMaxTaskText && IsCleanGbk(text) &&
           text.find('^') == std::string::npos;
  };
  if (!storable(*content) || !storable(*oldText)) return Text("task404");
  if (*inUse != "0" && *inUse != "1") return Text("task404");
  TaskChange request;
  request.content = *content;
  request.inUse = *inUse;
  request.oldText = *oldText;
  if (deletion) {
    std::optional<int> slot = ParseSmallNumber(*taskId, kTaskSlots);
    if (*deletion != "1" || !slot || *slot < 1) return Text("task404");
    request.isDeletion = true;
    request.slot = *slot;
  } else if (!taskId->empty()) {
    std::optional<std::int64_t> serverId = ParseAccountId(*taskId);
    if (!serverId) return Text("task404");
    request.serverId = *serverId;
  }
  TaskChangeOutcome outcome = TaskChangeOutcome::Stored;
  bool saved = store_.EditTasks(accountId, [&](TaskSlots& slots, const auto& newId) {
    outcome = ApplyTaskChange(slots, request, newId);
    return outcome == TaskChangeOutcome::Stored;
  });
  return Text(saved ? "task111" : "task404");
}

std::string VendorService::ServedFile(const std::string& name) const {
  if (!IsSafeFileName(name) || options_.filesDirectory.empty()) return {};
  std::filesystem::path folder(options_.filesDirectory);
  for (const std::string& candidate : {name + ".exe", name}) {
    std::error_code error;
    if (std::filesystem::is_regular_file(folder / candidate, error)) return candidate;
  }
  return {};
}

std::string VendorService::DownloadAddress(const std::string& name, const std::string& host) {
  const std::string file = ServedFile(name);
  if (file.empty()) return {};
  std::string base = options_.publicBase;
  if (base.empty()) {
    if (!IsSafeHost(host)) return {};
    base = "http://" + host;
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + kDownloadPath + file;
}

Reply VendorService::Regulation(const Query& query, const std::string& host) {
  if (std::optional<std::string> product = query.Raw("vBC")) {
    if (*product != kProductName) return Text("404m");
    std::string version = store_.Setting("latest_version").value_or(kDefaultVersion);
    std::string notes = store_.Setting("version_notes").value_or("");
    return Text(text::Utf8ToGbk(version) + "|" + kProductName + "^" + text::Utf8ToGbk(notes));
  }
  if (std::optional<std::string> name = query.Raw("updownload")) {
    std::string address = DownloadAddress(*name, host);
    if (address.empty()) return Text("404m");
    // The updater keeps the product's new version only when its digest matches.
    // It is taken from the file as it is now, so a file put there by hand
    // is described as truly as a published one.
    if (*name == kProductName) {
      std::optional<std::string> digest =
          FileSha256((std::filesystem::path(options_.filesDirectory) / ServedFile(*name)).string());
      if (!digest) return Text("404m");
      address += "|" + *digest;
    }
    return Text(address);
  }
  if (std::optional<std::string> product = query.Raw("DravoAD")) {
    std::optional<std::string> level = query.Raw("lx");
    if (*product != kProductName || (level && !ParseSmallNumber(*level, 9))) return Text("404m");
    std::optional<std::string> advertisement = store_.Setting("advertisement");
    if (!advertisement || advertisement->empty()) return Text("404m");
    return Html(AdvertisementPage(*advertisement));
  }
  if (std::optional<std::string> page = query.Raw("seleweb")) {
    if (*page == "OrvaneSM") return Html(InstructionsPage());
    return Html(NotFoundPage(), 404);
  }
  return Text("404m");
}

Reply VendorService::PersonalCentre(const Query& query, const std::string& remoteAddress) {
  Account account;
  if (query.Raw("dlu") != "1" ||
      CheckAccount(query.Raw("dl"), query.Raw("pd"), remoteAddress, &account) != Check::Ok) {
    return Html(RefusalPage());
  }
  return Html(PersonalPage(account, CountTasks(store_.LoadTasks(account.id))));
}

Reply VendorService::Navigation(const Query& query, const std::string& remoteAddress) {
  Account account;
  bool signedIn = query.Raw("dlu") == "1" && CheckAccount(query.Raw("dl"), query.Raw("pd"),
                                                          remoteAddress, &account) == Check::Ok;
  return Html(NavigationPage(signedIn ? &account : nullptr));
}

Reply VendorService::RegistrationSite(const Query& query, const std::string& remoteAddress) {
  if (!query.Has("email")) return Html(RegistrationPage({}, false));
  // The form is UTF-8; registration takes the program's GBK.
  std::string nickname = text::Utf8ToGbk(query.Form("usr").value_or(""));
  std::string password = query.Form("pasd").value_or("");
  std::string email = query.Form("email").value_or("");
  std::string qq = query.Form("qim").value_or("");
  std::optional<int> sex = ParseSmallNumber(query.Form("nannv").value_or("0"), 2);
  if (password != query.Form("pasd2").value_or("")) {
    return Html(RegistrationPage("两次输入的密码不同", false));
  }
  std::int64_t id = 0;
  switch (Register(nickname, password, email, sex.value_or(-1), qq, remoteAddress, &id)) {
    case RegistrationCode::Created:
      return Html(
          RegistrationPage("恭喜注册成功！请牢记您的登陆账号：" + std::to_string(id), true));
    case RegistrationCode::BadEmail:
      return Html(RegistrationPage("请输入正确的邮箱!", false));
    case RegistrationCode::EmailTaken:
      return Html(RegistrationPage("该邮箱已注册，请更换邮箱或登录", false));
    case RegistrationCode::QuotaUsedUp:
      return Html(RegistrationPage("十分抱歉！注册数量发放结束，请留意下一次发放时间！", false));
    case RegistrationCode::Failed:
      break;
  }
  return Html(
      RegistrationPage("注册失败! 昵称不能为空，密码至少 6 位，QQ 号为 5 到 12 位数字。", false));
}

}  // namespace server
