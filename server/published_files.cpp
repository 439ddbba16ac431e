#include "server/published_files.h"

#include <sodium.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace server {

namespace fs = std::filesystem;

std::optional<std::string> FileSha256(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  crypto_hash_sha256_state state;
  crypto_hash_sha256_init(&state);
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(buffer),
                              static_cast<unsigned long long>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  unsigned char digest[crypto_hash_sha256_BYTES];
  crypto_hash_sha256_final(&state, digest);
  char hex[crypto_hash_sha256_BYTES * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
  return std::string(hex);
}

std::optional<std::string> PublishFile(const std::string& source, const std::string& folder,
                                       const std::string& name, std::string* error) {
  std::error_code ec;
  if (!fs::is_regular_file(source, ec) || fs::file_size(source, ec) == 0) {
    *error = source + " is no file with content";
    return std::nullopt;
  }
  const fs::path target = fs::path(folder) / name;
  const fs::path temp =
      fs::path(folder) / ("." + name + "." + std::to_string(::getpid()) + ".publishing");
  if (!fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec)) {
    *error = "cannot copy " + source + ": " + ec.message();
    return std::nullopt;
  }
  fs::permissions(temp,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                      fs::perms::others_read,
                  ec);
  std::optional<std::string> digest = FileSha256(temp.string());
  if (!digest) {
    *error = "cannot read " + temp.string();
    fs::remove(temp, ec);
    return std::nullopt;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    *error = "cannot put the file in place: " + ec.message();
    fs::remove(temp, ec);
    return std::nullopt;
  }
  return digest;
}

}  // namespace server
