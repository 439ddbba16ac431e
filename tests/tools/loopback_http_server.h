#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tools_test {

// A one-thread HTTP/1.1 server on 127.0.0.1 with an ephemeral port, for the
// download runs. Each connection gets one answer and is closed.
class LoopbackHttpServer {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    // When set, Content-Length says this much more and the connection is cut.
    std::size_t promisedExtra = 0;
    // Instead of cutting, hold the connection open until the server stops.
    bool stall = false;
    std::string location;  // sent as a Location header when set
  };
  using Route = std::function<Reply(const std::string& path)>;

  explicit LoopbackHttpServer(Route route) : route_(std::move(route)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  int Answered() const {
    std::lock_guard lock(mutex_);
    return answered_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Answer(client);
      ::close(client);
    }
  }

  void Answer(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      pollfd p{client, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) return;
      ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    std::size_t start = request.find(' ') + 1;
    std::string path = request.substr(start, request.find(' ', start) - start);
    Reply reply = route_(path);
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " X\r\nContent-Length: " +
                       std::to_string(reply.body.size() + reply.promisedExtra) +
                       (reply.location.empty() ? "" : "\r\nLocation: " + reply.location) +
                       "\r\nConnection: close\r\n\r\n";
    std::string all = head + reply.body;
    ::send(client, all.data(), all.size(), MSG_NOSIGNAL);
    {
      std::lock_guard lock(mutex_);
      ++answered_;
    }
    for (int waited = 0; reply.stall && !stop_ && waited < 10000; waited += 20) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  Route route_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  int answered_ = 0;
};

}  // namespace tools_test
