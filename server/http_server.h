#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "server/service.h"

namespace server {

struct HttpOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0 picks a free one
  // Connections served at once; each holds one thread while it is open.
  unsigned threads = 32;
  // Connections served or waiting; beyond, a connection is answered 503 and closed.
  std::size_t maxConnections = 1024;
  std::string logPath;         // the access log; empty logs nothing
  std::string filesDirectory;  // served below VendorService::kDownloadPath
};

// The HTTP side: cpp-httplib in front of the service.
class HttpServer {
 public:
  HttpServer(VendorService& service, HttpOptions options);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // The port bound, or -1 with `error` set.
  int Bind(std::string* error);
  // Serves until Stop(); false when the listening socket failed.
  bool Run();
  // Safe from any thread; connections in progress finish their request.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace server
