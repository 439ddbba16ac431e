#include "server/credentials.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace server {
namespace {

// How long a full check stands in for later ones.
constexpr std::int64_t kVerifiedMillis = 15 * 60 * 1000;
// Bounds the memory of the cache; beyond it the oldest half would do, but
// starting over costs only one Argon2id run per active account.
constexpr std::size_t kMaxVerified = 200000;
// Failures this far back are forgotten.
constexpr std::int64_t kForgetMillis = 15 * 60 * 1000;

struct SodiumInit {
  SodiumInit() {
    if (sodium_init() < 0) std::abort();
  }
};

void EnsureSodium() {
  static SodiumInit init;
}

}  // namespace

std::int64_t SteadyMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

PasswordChecker::PasswordChecker(HashLimits limits, unsigned concurrentHashes)
    : limits_(limits), gate_(static_cast<std::ptrdiff_t>(std::clamp(concurrentHashes, 1u, 64u))) {
  EnsureSodium();
  limits_.passes = std::max<unsigned long long>(limits_.passes, crypto_pwhash_OPSLIMIT_MIN);
  limits_.memoryKiB = std::max<std::size_t>(limits_.memoryKiB, crypto_pwhash_MEMLIMIT_MIN / 1024);
  randombytes_buf(key_, sizeof key_);
}

std::optional<std::string> PasswordChecker::Hash(std::string_view password) {
  char out[crypto_pwhash_STRBYTES];
  gate_.acquire();
  int rc = crypto_pwhash_str_alg(out, password.data(), password.size(), limits_.passes,
                                 limits_.memoryKiB * 1024, crypto_pwhash_ALG_ARGON2ID13);
  gate_.release();
  if (rc != 0) return std::nullopt;
  return std::string(out);
}

PasswordChecker::Digest PasswordChecker::DigestOf(std::int64_t accountId,
                                                  const std::string& storedHash,
                                                  std::string_view password) const {
  crypto_generichash_state state;
  crypto_generichash_init(&state, key_, sizeof key_, sizeof(Digest::bytes));
  unsigned char idBytes[8];
  for (int i = 0; i < 8; ++i) idBytes[i] = static_cast<unsigned char>(accountId >> (8 * i));
  // Lengths first, so no two different triples feed the same bytes.
  unsigned char lengths[16];
  std::uint64_t hashSize = storedHash.size(), passwordSize = password.size();
  for (int i = 0; i < 8; ++i) {
    lengths[i] = static_cast<unsigned char>(hashSize >> (8 * i));
    lengths[8 + i] = static_cast<unsigned char>(passwordSize >> (8 * i));
  }
  crypto_generichash_update(&state, idBytes, sizeof idBytes);
  crypto_generichash_update(&state, lengths, sizeof lengths);
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(storedHash.data()),
                            storedHash.size());
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(password.data()),
                            password.size());
  Digest digest;
  crypto_generichash_final(&state, digest.bytes, sizeof digest.bytes);
  return digest;
}

bool PasswordChecker::Verify(std::int64_t accountId, const std::string& storedHash,
                             std::string_view password, bool full) {
  Digest digest = DigestOf(accountId, storedHash, password);
  std::int64_t now = SteadyMillis();
  if (!full) {
    std::lock_guard lock(mutex_);
    auto found = verified_.find(accountId);
    if (found != verified_.end() && found->second.expires > now &&
        sodium_memcmp(found->second.digest.bytes, digest.bytes, sizeof digest.bytes) == 0) {
      return true;
    }
  }
  gate_.acquire();
  bool ok = crypto_pwhash_str_verify(storedHash.c_str(), password.data(), password.size()) == 0;
  gate_.release();
  if (ok) {
    std::lock_guard lock(mutex_);
    if (verified_.size() >= kMaxVerified) verified_.clear();
    verified_[accountId] = {digest, now + kVerifiedMillis};
  }
  return ok;
}

bool PasswordChecker::NeedsRehash(const std::string& storedHash) const {
  return crypto_pwhash_str_needs_rehash(storedHash.c_str(), limits_.passes,
                                        limits_.memoryKiB * 1024) != 0;
}

FailureThrottle::FailureThrottle(int freeFailures, std::int64_t maxDelayMillis)
    : freeFailures_(freeFailures), maxDelay_(maxDelayMillis) {}

bool FailureThrottle::Allowed(const std::string& key, std::int64_t now) {
  std::lock_guard lock(mutex_);
  auto found = states_.find(key);
  return found == states_.end() || found->second.blockedUntil <= now;
}

void FailureThrottle::Failed(const std::string& key, std::int64_t now) {
  std::lock_guard lock(mutex_);
  if (states_.size() > 100000) {
    std::erase_if(states_,
                  [&](const auto& item) { return now - item.second.last > kForgetMillis; });
  }
  State& state = states_[key];
  if (now - state.last > kForgetMillis) state.failures = 0;
  state.failures += 1;
  state.last = now;
  int over = state.failures - freeFailures_;
  if (over >= 0) {
    std::int64_t delay = over >= 20 ? maxDelay_ : std::min<std::int64_t>(maxDelay_, 1000LL << over);
    state.blockedUntil = now + delay;
  }
}

void FailureThrottle::Succeeded(const std::string& key) {
  std::lock_guard lock(mutex_);
  states_.erase(key);
}

}  // namespace server
