#include "server/sqlite_store.h"

#include <sqlite3.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <vector>

namespace server {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS accounts (
  id INTEGER PRIMARY KEY,
  nickname TEXT NOT NULL,
  email TEXT NOT NULL DEFAULT '',
  sex INTEGER NOT NULL DEFAULT 0,
  qq TEXT NOT NULL DEFAULT '',
  level INTEGER NOT NULL DEFAULT 0,
  points INTEGER NOT NULL DEFAULT 0,
  password_hash TEXT NOT NULL,
  created_at INTEGER NOT NULL
);
CREATE UNIQUE INDEX IF NOT EXISTS accounts_email ON accounts(lower(email)) WHERE email <> '';
CREATE TABLE IF NOT EXISTS tasks (
  account_id INTEGER NOT NULL REFERENCES accounts(id),
  slot INTEGER NOT NULL,
  server_id INTEGER NOT NULL,
  content BLOB NOT NULL,
  PRIMARY KEY (account_id, slot)
);
CREATE TABLE IF NOT EXISTS feedback (
  id INTEGER PRIMARY KEY,
  at INTEGER NOT NULL,
  account_id INTEGER NOT NULL,
  level INTEGER NOT NULL,
  name TEXT NOT NULL,
  email TEXT NOT NULL,
  product TEXT NOT NULL,
  message TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS settings (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
)sql";

// Account ids start high enough to look like account numbers.
constexpr std::int64_t kFirstAccountId = 100001;

class Statement {
 public:
  explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
  ~Statement() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& Bind(int index, const std::string& value) {
    sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindBlob(int index, const std::string& value) {
    sqlite3_bind_blob(statement_, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return sqlite3_step(statement_); }
  bool Run() { return Step() == SQLITE_DONE; }

  std::int64_t Int(int column) { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) {
    const void* data = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string();
  }

 private:
  sqlite3_stmt* statement_;
};

class Connection {
 public:
  explicit Connection(sqlite3* db) : db_(db) {}
  ~Connection() {
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* db() { return db_; }

  // Prepared once per connection; nullptr on a database error.
  sqlite3_stmt* Prepare(const char* sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
      return nullptr;
    }
    statements_.emplace(sql, statement);
    return statement;
  }

  bool Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* db_;
  std::map<const char*, sqlite3_stmt*> statements_;
};

std::unique_ptr<Connection> OpenConnection(const std::string& path, std::string* error) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    if (error) *error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return nullptr;
  }
  auto connection = std::make_unique<Connection>(db);
  sqlite3_busy_timeout(db, 10000);
  // Every commit reaches the disk before the reply goes out: accounts and tasks
  // are worth an fsync, and writes are rare next to reads.
  if (!connection->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; "
                        "PRAGMA foreign_keys=ON;")) {
    if (error) *error = sqlite3_errmsg(db);
    return nullptr;
  }
  return connection;
}

// Commits when asked, rolls back otherwise.
class Transaction {
 public:
  explicit Transaction(Connection& connection) : connection_(connection) {
    // IMMEDIATE takes the write lock now, so two writers of one account's
    // tasks run one after the other on the state the first one left.
    open_ = connection_.Exec("BEGIN IMMEDIATE");
  }
  ~Transaction() {
    if (open_) connection_.Exec("ROLLBACK");
  }
  bool open() const { return open_; }
  bool Commit() {
    if (!open_) return false;
    open_ = false;
    if (connection_.Exec("COMMIT")) return true;
    connection_.Exec("ROLLBACK");
    return false;
  }

 private:
  Connection& connection_;
  bool open_ = false;
};

Account ReadAccount(Statement& row) {
  Account account;
  account.id = row.Int(0);
  account.nickname = row.Text(1);
  account.email = row.Text(2);
  account.sex = static_cast<int>(row.Int(3));
  account.qq = row.Text(4);
  account.level = static_cast<int>(row.Int(5));
  account.points = row.Int(6);
  account.passwordHash = row.Text(7);
  account.createdAt = row.Int(8);
  return account;
}

// Parameters 2 to 8: the fields after the id, in the order of the table.
void BindAccountFields(Statement& statement, const Account& account) {
  statement.Bind(2, account.nickname).Bind(3, account.email);
  statement.Bind(4, std::int64_t{account.sex}).Bind(5, account.qq);
  statement.Bind(6, std::int64_t{account.level}).Bind(7, account.points);
  statement.Bind(8, account.passwordHash);
}

class SqliteStore : public Store {
 public:
  explicit SqliteStore(std::string path) : path_(std::move(path)) {}

  bool Initialise(std::string* error) {
    auto connection = OpenConnection(path_, error);
    if (!connection) return false;
    if (!connection->Exec(kSchema)) {
      if (error) *error = sqlite3_errmsg(connection->db());
      return false;
    }
    Give(std::move(connection));
    return true;
  }

  std::optional<Account> FindAccount(std::int64_t id) override {
    return With(std::optional<Account>(), [&](Connection& connection) -> std::optional<Account> {
      sqlite3_stmt* prepared = connection.Prepare(
          "SELECT id, nickname, email, sex, qq, level, points, password_hash, created_at "
          "FROM accounts WHERE id = ?1");
      if (!prepared) return std::nullopt;
      Statement statement(prepared);
      statement.Bind(1, id);
      if (statement.Step() != SQLITE_ROW) return std::nullopt;
      return ReadAccount(statement);
    });
  }

  CreateResult CreateAccount(const Account& account, bool useQuota) override {
    return With(CreateResult(),
                [&](Connection& connection) { return CreateIn(connection, account, useQuota); });
  }

  bool UpdateAccount(const Account& account) override {
    return With(false, [&](Connection& connection) {
      sqlite3_stmt* prepared = connection.Prepare(
          "UPDATE accounts SET nickname = ?2, email = ?3, sex = ?4, qq = ?5, level = ?6, "
          "points = ?7, password_hash = ?8 WHERE id = ?1");
      if (!prepared) return false;
      Statement statement(prepared);
      statement.Bind(1, account.id);
      BindAccountFields(statement, account);
      return statement.Run() && sqlite3_changes(connection.db()) == 1;
    });
  }

  std::vector<Account> ListAccounts() override {
    return With(std::vector<Account>(), [&](Connection& connection) {
      std::vector<Account> accounts;
      sqlite3_stmt* prepared = connection.Prepare(
          "SELECT id, nickname, email, sex, qq, level, points, password_hash, created_at "
          "FROM accounts ORDER BY id");
      if (!prepared) return accounts;
      Statement statement(prepared);
      while (statement.Step() == SQLITE_ROW) accounts.push_back(ReadAccount(statement));
      return accounts;
    });
  }

  std::optional<TaskSlots> LoadTasks(std::int64_t accountId) override {
    return With(std::optional<TaskSlots>(),
                [&](Connection& connection) { return LoadIn(connection, accountId); });
  }

  bool EditTasks(std::int64_t accountId, const TaskEdit& edit) override {
    return With(false, [&](Connection& connection) { return EditIn(connection, accountId, edit); });
  }

  bool AddFeedback(const Feedback& feedback) override {
    return With(false, [&](Connection& connection) {
      sqlite3_stmt* prepared = connection.Prepare(
          "INSERT INTO feedback (at, account_id, level, name, email, product, message) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
      if (!prepared) return false;
      Statement statement(prepared);
      statement.Bind(1, feedback.at).Bind(2, feedback.accountId);
      statement.Bind(3, std::int64_t{feedback.level}).Bind(4, feedback.name);
      statement.Bind(5, feedback.email).Bind(6, feedback.product).Bind(7, feedback.message);
      return statement.Run();
    });
  }

  std::vector<Feedback> ListFeedback() override {
    return With(std::vector<Feedback>(), [&](Connection& connection) {
      std::vector<Feedback> list;
      sqlite3_stmt* prepared = connection.Prepare(
          "SELECT id, at, account_id, level, name, email, product, message FROM feedback "
          "ORDER BY id");
      if (!prepared) return list;
      Statement statement(prepared);
      while (statement.Step() == SQLITE_ROW) {
        Feedback item;
        item.id = statement.Int(0);
        item.at = statement.Int(1);
        item.accountId = statement.Int(2);
        item.level = static_cast<int>(statement.Int(3));
        item.name = statement.Text(4);
        item.email = statement.Text(5);
        item.product = statement.Text(6);
        item.message = statement.Text(7);
        list.push_back(std::move(item));
      }
      return list;
    });
  }

  std::optional<std::string> Setting(const std::string& key) override {
    return With(std::optional<std::string>(),
                [&](Connection& connection) { return SettingIn(connection, key); });
  }

  bool SetSetting(const std::string& key, const std::optional<std::string>& value) override {
    return With(false,
                [&](Connection& connection) { return SetSettingIn(connection, key, value); });
  }

 private:
  // Runs `body` on a borrowed connection; `fallback` when none can be opened.
  template <typename T, typename Body>
  T With(T fallback, Body body) {
    auto connection = Borrow();
    if (!connection) return fallback;
    T result = body(*connection);
    Give(std::move(connection));
    return result;
  }

  std::unique_ptr<Connection> Borrow() {
    {
      std::lock_guard lock(mutex_);
      if (!idle_.empty()) {
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return connection;
      }
    }
    return OpenConnection(path_, nullptr);
  }

  void Give(std::unique_ptr<Connection> connection) {
    std::lock_guard lock(mutex_);
    // More idle connections than this only hold file handles.
    if (idle_.size() < 64) idle_.push_back(std::move(connection));
  }

  static std::optional<std::string> SettingIn(Connection& connection, const std::string& key) {
    sqlite3_stmt* prepared = connection.Prepare("SELECT value FROM settings WHERE key = ?1");
    if (!prepared) return std::nullopt;
    Statement statement(prepared);
    statement.Bind(1, key);
    if (statement.Step() != SQLITE_ROW) return std::nullopt;
    return statement.Text(0);
  }

  static bool SetSettingIn(Connection& connection, const std::string& key,
                           const std::optional<std::string>& value) {
    sqlite3_stmt* prepared = value ? connection.Prepare(
                                         "INSERT INTO settings (key, value) VALUES (?1, ?2) "
                                         "ON CONFLICT(key) DO UPDATE SET value = excluded.value")
                                   : connection.Prepare("DELETE FROM settings WHERE key = ?1");
    if (!prepared) return false;
    Statement statement(prepared);
    statement.Bind(1, key);
    if (value) statement.Bind(2, *value);
    return statement.Run();
  }

  static CreateResult CreateIn(Connection& connection, const Account& account, bool useQuota) {
    Transaction transaction(connection);
    if (!transaction.open()) return {};
    if (!account.email.empty()) {
      sqlite3_stmt* prepared =
          connection.Prepare("SELECT 1 FROM accounts WHERE lower(email) = lower(?1)");
      if (!prepared) return {};
      Statement statement(prepared);
      statement.Bind(1, account.email);
      if (statement.Step() == SQLITE_ROW) return {CreateOutcome::EmailTaken, 0};
    }
    if (useQuota) {
      std::optional<std::string> quota = SettingIn(connection, "registration_quota");
      if (quota) {
        long long left = std::atoll(quota->c_str());
        if (left <= 0) return {CreateOutcome::QuotaUsedUp, 0};
        if (!SetSettingIn(connection, "registration_quota", std::to_string(left - 1))) return {};
      }
    }
    std::int64_t id = kFirstAccountId;
    {
      sqlite3_stmt* prepared = connection.Prepare("SELECT MAX(id) FROM accounts");
      if (!prepared) return {};
      Statement statement(prepared);
      if (statement.Step() == SQLITE_ROW && statement.Int(0) >= kFirstAccountId)
        id = statement.Int(0) + 1;
    }
    {
      sqlite3_stmt* prepared = connection.Prepare(
          "INSERT INTO accounts (id, nickname, email, sex, qq, level, points, password_hash, "
          "created_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
      if (!prepared) return {};
      Statement statement(prepared);
      statement.Bind(1, id);
      BindAccountFields(statement, account);
      statement.Bind(9, static_cast<std::int64_t>(std::time(nullptr)));
      if (!statement.Run()) return {};
    }
    if (!transaction.Commit()) return {};
    return {CreateOutcome::Created, id};
  }

  static std::optional<TaskSlots> LoadIn(Connection& connection, std::int64_t accountId) {
    sqlite3_stmt* prepared =
        connection.Prepare("SELECT slot, server_id, content FROM tasks WHERE account_id = ?1");
    if (!prepared) return std::nullopt;
    Statement statement(prepared);
    statement.Bind(1, accountId);
    TaskSlots slots;
    int step;
    while ((step = statement.Step()) == SQLITE_ROW) {
      std::int64_t slot = statement.Int(0);
      if (slot < 1 || slot > kTaskSlots) continue;
      slots[static_cast<std::size_t>(slot - 1)] = {statement.Text(2), statement.Int(1)};
    }
    if (step != SQLITE_DONE) return std::nullopt;
    return slots;
  }

  static bool EditIn(Connection& connection, std::int64_t accountId, const TaskEdit& edit) {
    Transaction transaction(connection);
    if (!transaction.open()) return false;
    std::optional<TaskSlots> before = LoadIn(connection, accountId);
    if (!before) return false;
    TaskSlots slots = *before;
    bool idFailed = false;
    auto newId = [&]() -> std::int64_t {
      std::optional<std::string> last = SettingIn(connection, "last_task_id");
      std::int64_t next = (last ? std::atoll(last->c_str()) : 0) + 1;
      if (!SetSettingIn(connection, "last_task_id", std::to_string(next))) idFailed = true;
      return next;
    };
    if (!edit(slots, newId) || idFailed) return false;
    for (int i = 0; i < kTaskSlots; ++i) {
      const StoredTask& now = slots[static_cast<std::size_t>(i)];
      const StoredTask& was = (*before)[static_cast<std::size_t>(i)];
      if (now.content == was.content && now.serverId == was.serverId) continue;
      sqlite3_stmt* prepared =
          now.content.empty()
              ? connection.Prepare("DELETE FROM tasks WHERE account_id = ?1 AND slot = ?2")
              : connection.Prepare(
                    "INSERT INTO tasks (account_id, slot, server_id, content) "
                    "VALUES (?1, ?2, ?3, ?4) ON CONFLICT(account_id, slot) DO UPDATE SET "
                    "server_id = excluded.server_id, content = excluded.content");
      if (!prepared) return false;
      Statement statement(prepared);
      statement.Bind(1, accountId).Bind(2, std::int64_t{i + 1});
      if (!now.content.empty()) statement.Bind(3, now.serverId).BindBlob(4, now.content);
      if (!statement.Run()) return false;
    }
    return transaction.Commit();
  }

  std::string path_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Connection>> idle_;
};

}  // namespace

std::unique_ptr<Store> OpenSqliteStore(const std::string& path, std::string* error) {
  auto store = std::make_unique<SqliteStore>(path);
  if (!store->Initialise(error)) return nullptr;
  return store;
}

}  // namespace server
