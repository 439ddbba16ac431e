#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/credentials.h"
#include "server/store.h"

namespace server {

class Query;

struct Reply {
  int status = 200;
  std::string contentType;
  std::string body;
};

struct ServiceOptions {
  HashLimits hashLimits;
  unsigned concurrentHashes = 2;
  std::string filesDirectory;  // the files the download addresses point at
  // Base of the download addresses; empty takes the Host the client asked.
  std::string publicBase;
};

enum class RegistrationCode { Created, BadEmail, EmailTaken, QuotaUsedUp, Failed };

// Every endpoint of the vendor server, apart from the HTTP transport: the
// path, the raw query and who asks in, the reply out. Text replies are GBK.
class VendorService {
 public:
  VendorService(Store& store, ServiceOptions options);

  Reply Handle(const std::string& path, const std::string& rawQuery,
               const std::string& remoteAddress, const std::string& host);

  // Longest query any endpoint reads; a longer one is refused as malformed.
  static constexpr std::size_t kMaxQueryLength = 6000;
  // Keys whose values never go to the log.
  static const std::vector<std::string_view>& SecretKeys();
  // The path of the registration site, which the advertisement may link to.
  static constexpr const char* kRegistrationSitePath = "/SoftWare/userroom/register.php";
  static constexpr const char* kDownloadPath = "/SoftWare/download/";

  // Creates an account the way registration does; `nickname` is GBK.
  RegistrationCode Register(const std::string& nickname, const std::string& password,
                            const std::string& email, int sex, const std::string& qq,
                            const std::string& remoteAddress, std::int64_t* id);

 private:
  enum class Check { Ok, UnknownAccount, WrongPassword };
  // `full` runs the whole hash (sign-in); the other requests of a signed-in
  // client may be answered from the checker's memory.
  Check CheckAccount(const std::optional<std::string>& id,
                     const std::optional<std::string>& password, const std::string& remoteAddress,
                     Account* account, bool full = false);
  static const char* CheckCode(Check check);

  Reply Regulation(const Query& query, const std::string& host);
  Reply SignIn(const Query& query, const std::string& remoteAddress);
  Reply Registration(const Query& query, const std::string& remoteAddress);
  Reply Comment(const Query& query);
  Reply Task(const Query& query, const std::string& remoteAddress);
  Reply TaskChangeRequest(const Query& query, std::int64_t accountId);
  Reply PersonalCentre(const Query& query, const std::string& remoteAddress);
  Reply Navigation(const Query& query, const std::string& remoteAddress);
  Reply RegistrationSite(const Query& query, const std::string& remoteAddress);
  std::string DownloadAddress(const std::string& name, const std::string& host);
  // The file served under `name` ("NAME.exe" or "NAME"); empty when none.
  std::string ServedFile(const std::string& name) const;

  Store& store_;
  ServiceOptions options_;
  PasswordChecker passwords_;
  FailureThrottle accountThrottle_;
  FailureThrottle addressThrottle_;
  // Each registration costs a hash: one address may not keep the hashes busy.
  FailureThrottle registrationThrottle_;
};

}  // namespace server
