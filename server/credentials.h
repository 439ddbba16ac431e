#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <semaphore>
#include <string>
#include <string_view>
#include <unordered_map>

namespace server {

// Argon2id cost: libsodium's opslimit (passes) and memlimit (KiB).
struct HashLimits {
  unsigned long long passes = 2;
  std::size_t memoryKiB = 19 * 1024;
};

// Checks passwords against their stored Argon2id hashes.
//
// Task requests carry the password every time, and an Argon2id run costs tens
// of milliseconds by design. Sign-in always runs the full check. After a full
// check succeeds, the account's entry remembers a keyed BLAKE2b digest of
// (account, stored hash, password) under a key that exists only in this
// process's memory, for a limited time. A later request with the same
// password produces the same digest and is accepted without running Argon2id
// again; any other password misses, pays the full check and counts as a
// failure. Changing the password changes the stored hash and so invalidates
// the entry. Nothing of this reaches the disk.
class PasswordChecker {
 public:
  PasswordChecker(HashLimits limits, unsigned concurrentHashes);

  // A new hash string for storage; nullopt when the system is out of memory.
  std::optional<std::string> Hash(std::string_view password);
  // True when `password` matches `storedHash`. `full` always runs Argon2id
  // (and renews the remembered digest); otherwise a remembered one may answer.
  bool Verify(std::int64_t accountId, const std::string& storedHash, std::string_view password,
              bool full);
  // True when a stored hash was made with other limits than the current ones.
  bool NeedsRehash(const std::string& storedHash) const;

  const HashLimits& limits() const { return limits_; }

 private:
  struct Digest {
    unsigned char bytes[32];
  };
  Digest DigestOf(std::int64_t accountId, const std::string& storedHash,
                  std::string_view password) const;

  HashLimits limits_;
  // Each hash holds its memory for its whole run: bound how many run at once.
  std::counting_semaphore<64> gate_;
  unsigned char key_[32];

  std::mutex mutex_;
  struct Entry {
    Digest digest;
    std::int64_t expires;  // steady milliseconds
  };
  std::unordered_map<std::int64_t, Entry> verified_;
};

// Slows down guessing: after a few failures a key (an account, an address)
// is refused for a while, doubling with each further failure.
class FailureThrottle {
 public:
  FailureThrottle(int freeFailures, std::int64_t maxDelayMillis);

  // Times in milliseconds of SteadyMillis. False while the key is held back;
  // such attempts are not checked at all.
  bool Allowed(const std::string& key, std::int64_t now);
  void Failed(const std::string& key, std::int64_t now);
  void Succeeded(const std::string& key);

 private:
  struct State {
    int failures = 0;
    std::int64_t last = 0;
    std::int64_t blockedUntil = 0;
  };
  int freeFailures_;
  std::int64_t maxDelay_;
  std::mutex mutex_;
  std::unordered_map<std::string, State> states_;
};

// Milliseconds of a monotonic clock.
std::int64_t SteadyMillis();

}  // namespace server
