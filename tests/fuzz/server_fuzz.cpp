// A libFuzzer target over the vendor server's endpoints below HTTP: the first
// input byte picks a path, the rest is the raw query. One account (id 100001,
// password "secret1", level 1) exists, so the task service gets past its checks
// when the input says so. Built and run by run.sh beside this file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "server/service.h"
#include "server/sqlite_store.h"

namespace {

struct World {
  std::unique_ptr<server::Store> store;
  std::unique_ptr<server::VendorService> service;
};

World& TheWorld() {
  static World* world = [] {
    auto* w = new World;
    const char* dir = std::getenv("ORVANE_FUZZ_DATA");
    std::string path = std::string(dir ? dir : ".") + "/fuzz.db";
    std::remove(path.c_str());
    std::string error;
    w->store = server::OpenSqliteStore(path, &error);
    if (!w->store) std::abort();
    server::ServiceOptions options;
    options.hashLimits = {1, 8};
    w->service = std::make_unique<server::VendorService>(*w->store, options);
    std::int64_t id = 0;
    w->service->Register("fuzz", "secret1", "fuzz@example.com", 1, "", "127.0.0.1", &id);
    std::optional<server::Account> account = w->store->FindAccount(id);
    if (!account) std::abort();
    account->level = 1;
    w->store->UpdateAccount(*account);
    return w;
  }();
  return *world;
}

const char* const kPaths[] = {
    "/",
    "/SoftWare/userroom/stRegulation.php",
    "/SoftWare/userroom/stLogin.php",
    "/SoftWare/userroom/stMember.php",
    "/SoftWare/userroom/stComments.php",
    "/SoftWare/Program/Orvane/Task.php",
    "/SoftWare/userroom/stUser.php",
    "/Too/daohang.php",
    "/SoftWare/userroom/register.php",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  World& world = TheWorld();
  const char* path = kPaths[data[0] % (sizeof kPaths / sizeof kPaths[0])];
  std::string query(reinterpret_cast<const char*>(data) + 1, size - 1);
  world.service->Handle(path, query, "127.0.0.1", "127.0.0.1:8617");
  return 0;
}
