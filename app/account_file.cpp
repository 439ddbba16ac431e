#include "app/account_file.h"

#include <memory>

#include "app/settings_file.h"

namespace app {

namespace {

constexpr std::size_t kCodedBytes = 50;
constexpr unsigned kBufferSize = 260;

unsigned DigitValue(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return c >= '0' && c <= '9' ? byte - '0' : (byte & 0x0Fu) + 9;
}

// The account file is made owner-only before its first write; the writes
// after keep its mode.
void PrepareAccountFile(platform::FileSystem& files, const AppPaths& paths) {
  if (!files.Exists(paths.accountPath)) files.CreateOwnerOnlyFile(paths.accountPath);
}

}  // namespace

std::string EncodePassword(std::string_view password) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string digits;
  digits.reserve(kCodedBytes * 2);
  for (std::size_t i = 0; i < kCodedBytes; ++i) {
    const auto byte = i < password.size() ? static_cast<unsigned char>(password[i]) : 0u;
    digits += kDigits[byte >> 4];
    digits += kDigits[byte & 0x0F];
  }
  return digits;
}

std::string DecodePassword(std::string_view digits) {
  std::string password;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    const auto byte = static_cast<char>((DigitValue(digits[i]) << 4) + DigitValue(digits[i + 1]));
    if (byte == '\0') break;
    password += byte;
  }
  return password;
}

StoredAccount ReadAccountFile(platform::ProfileFiles& profiles, const AppPaths& paths) {
  StoredAccount account;
  const std::unique_ptr<platform::ProfileReader> file = profiles.Read(paths.accountPath);
  account.id = file->GetString(kAccountSection, kKeyAccountId, "0", kBufferSize);
  const std::string coded = file->GetString(kAccountSection, kKeyPassword, "0", kBufferSize);
  auto present = [](const std::string& s) { return !s.empty() && s != "0"; };
  account.usable = present(account.id) && present(coded);
  account.password = account.usable ? DecodePassword(coded) : coded;
  return account;
}

void WriteAccountFile(platform::FileSystem& files, platform::ProfileFiles& profiles,
                      const AppPaths& paths, bool remember, const std::string& id,
                      const std::string& password) {
  PrepareAccountFile(files, paths);
  profiles.WriteString(kAccountSection, kKeyPassword, remember ? EncodePassword(password) : "",
                       paths.accountPath);
  profiles.WriteString(kAccountSection, kKeyAccountId, remember ? id : "", paths.accountPath);
}

void ForgetStoredAccount(platform::FileSystem& files, platform::ProfileFiles& profiles,
                         const AppPaths& paths) {
  WriteSettingsFlag(profiles, paths, kKeyRememberPassword, 0);
  WriteSettingsFlag(profiles, paths, kKeyAutoSignIn, 0);
  PrepareAccountFile(files, paths);
  profiles.WriteString(kAccountSection, kKeyPassword, "", paths.accountPath);
  profiles.WriteString(kAccountSection, kKeyAccountId, "", paths.accountPath);
}

}  // namespace app
