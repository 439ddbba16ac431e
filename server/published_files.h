#pragma once
#include <optional>
#include <string>

// The files the download addresses lead to: the product's new version and the
// updater, published into the server's files folder.
namespace server {

inline constexpr const char* kProductFileName = "Orvane.exe";
inline constexpr const char* kUpdaterFileName = "DravoUP.exe";

// The SHA-256 of a file in lower-case hexadecimal; nullopt when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);

// Copies `source` into `folder` as `name`, whole or not at all: a download
// under way keeps reading the file it opened. The digest of what was copied;
// nullopt (with `error` set) when it could not be.
std::optional<std::string> PublishFile(const std::string& source, const std::string& folder,
                                       const std::string& name, std::string* error);

}  // namespace server
