#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace server {

// Texts are UTF-8 here; the wire's GBK is made where a reply is written.
struct Account {
  std::int64_t id = 0;
  std::string nickname;
  std::string email;  // may be empty for accounts made by the administrator
  int sex = 0;        // 0 unknown, 1 male, 2 female
  std::string qq;
  int level = 0;
  std::int64_t points = 0;
  std::string passwordHash;
  std::int64_t createdAt = 0;  // Unix seconds
};

enum class CreateOutcome { Created, EmailTaken, QuotaUsedUp, Failed };

struct CreateResult {
  CreateOutcome outcome = CreateOutcome::Failed;
  std::int64_t id = 0;
};

// One task slot of an account. `content` is the pipe text exactly as the
// client sent it (GBK bytes); an empty content is a free slot.
struct StoredTask {
  std::string content;
  std::int64_t serverId = 0;
};
constexpr int kTaskSlots = 9;
using TaskSlots = std::array<StoredTask, kTaskSlots>;  // slots 1 to 9

struct Feedback {
  std::int64_t id = 0;
  std::int64_t at = 0;
  std::int64_t accountId = 0;
  int level = 0;
  std::string name;
  std::string email;
  std::string product;
  std::string message;
};

// Everything the server keeps. One narrow interface, so that another database
// can stand in for the embedded one. Every method is safe to call from many
// threads at once; failures of the database come back as false or nullopt.
class Store {
 public:
  virtual ~Store() = default;

  virtual std::optional<Account> FindAccount(std::int64_t id) = 0;
  // New account with the next id. `useQuota` takes one registration from the
  // quota (when one is set) in the same transaction.
  virtual CreateResult CreateAccount(const Account& account, bool useQuota) = 0;
  // Writes every field but id and createdAt.
  virtual bool UpdateAccount(const Account& account) = 0;
  virtual std::vector<Account> ListAccounts() = 0;

  virtual std::optional<TaskSlots> LoadTasks(std::int64_t accountId) = 0;
  // Runs `edit` on the account's slots inside one transaction and saves them
  // when it returns true; `newId` hands out server ids never used before.
  using TaskEdit =
      std::function<bool(TaskSlots& slots, const std::function<std::int64_t()>& newId)>;
  virtual bool EditTasks(std::int64_t accountId, const TaskEdit& edit) = 0;

  virtual bool AddFeedback(const Feedback& feedback) = 0;
  virtual std::vector<Feedback> ListFeedback() = 0;

  // Small named values of the administration: latest version, advertisement,
  // registration quota. nullopt clears.
  virtual std::optional<std::string> Setting(const std::string& key) = 0;
  virtual bool SetSetting(const std::string& key, const std::optional<std::string>& value) = 0;
};

}  // namespace server
