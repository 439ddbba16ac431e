#pragma once
#include <memory>
#include <string>

#include "server/store.h"

namespace server {

// The embedded store: one SQLite file in WAL mode. Each thread borrows a
// connection of its own from a small pool, so readers never wait on a lock of
// ours; writers take SQLite's write lock for the length of one transaction.
// Returns nullptr (and sets `error`) when the file cannot be opened or set up.
std::unique_ptr<Store> OpenSqliteStore(const std::string& path, std::string* error);

}  // namespace server
