#pragma once
#include <string>
#include <string_view>

#include "app/shared_state.h"
#include "platform/file_system.h"
#include "platform/profile.h"

// The account file (Config/q.ini, section "X"): the remembered id ("i") and the
// password coded as hexadecimal digits ("n").
namespace app {

inline constexpr char kAccountSection[] = "X";
inline constexpr char kKeyAccountId[] = "i";
inline constexpr char kKeyPassword[] = "n";

// Exactly 100 upper-case hexadecimal digits: the first 50 bytes of the password,
// padded with zero bytes, high half of each byte first.
std::string EncodePassword(std::string_view password);

// Pairs of digits back to bytes: "0" to "9" count their value, any other
// character its low four bits + 9 (so "A" to "F" and "a" to "f" give 10 to 15).
// A lone last digit is ignored; the password ends at the first zero byte.
std::string DecodePassword(std::string_view digits);

struct StoredAccount {
  std::string id;        // as stored, "0" when missing
  std::string password;  // decoded when usable, else the stored text
  bool usable = false;   // both values present and neither empty nor "0"
};

// What the sign-in page reads each time it is shown (default "0", 260-byte buffers).
StoredAccount ReadAccountFile(platform::ProfileFiles& profiles, const AppPaths& paths);

// After a successful sign-in: "n" first, then "i"; both empty when not remembered.
// The file holds a password anyone could decode: where the system has file
// modes, a new one is made readable by its owner only.
void WriteAccountFile(platform::FileSystem& files, platform::ProfileFiles& profiles,
                      const AppPaths& paths, bool remember, const std::string& id,
                      const std::string& password);

// No usable stored account: "Hp" and "Tp" to "0" in the settings file, then "n"
// and "i" emptied in the account file. The flags in memory are left alone.
void ForgetStoredAccount(platform::FileSystem& files, platform::ProfileFiles& profiles,
                         const AppPaths& paths);

}  // namespace app
