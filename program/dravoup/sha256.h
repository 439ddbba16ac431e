#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256, for checking a downloaded program against the digest the server
// names for it.
namespace dravoup {

class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  // The digest of everything given so far; the object is spent afterwards.
  std::array<std::uint8_t, 32> Finish();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace dravoup
