#include "server/http_server.h"

#include <httplib.h>

#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "server/query.h"

namespace server {
namespace {

// Set on the thread that answers connections beyond the limit.
thread_local bool tlOverflow = false;

// A fixed pool of workers with a bound on the connections that wait for one.
// Connections beyond the bound go to one extra thread that only answers 503:
// the accept loop hands over sockets inside opaque jobs, so answering is the
// only way to close them.
class BoundedPool : public httplib::TaskQueue {
 public:
  BoundedPool(unsigned threads, std::size_t maxConnections) : max_(maxConnections) {
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(false); });
    workers_.emplace_back([this] { Work(true); });
  }
  ~BoundedPool() override { shutdown(); }

  void enqueue(std::function<void()> fn) override {
    {
      std::lock_guard lock(mutex_);
      if (jobs_.size() + running_ >= max_) {
        overflow_.push_back(std::move(fn));
      } else {
        jobs_.push_back(std::move(fn));
      }
    }
    ready_.notify_all();
  }

  void shutdown() override {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      stopping_ = true;
    }
    ready_.notify_all();
    for (auto& worker : workers_) worker.join();
  }

 private:
  void Work(bool overflow) {
    tlOverflow = overflow;
    auto& queue = overflow ? overflow_ : jobs_;
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return stopping_ || !queue.empty(); });
        if (queue.empty()) return;
        job = std::move(queue.front());
        queue.pop_front();
        if (!overflow) ++running_;
      }
      job();
      if (!overflow) {
        std::lock_guard lock(mutex_);
        --running_;
      }
    }
  }

  const std::size_t max_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  std::deque<std::function<void()>> overflow_;
  std::size_t running_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// Control bytes of a request would reach the log as they came: a terminal that
// shows the log would obey an escape sequence in them.
std::string Printable(std::string text) {
  for (char& c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return text;
}

class AccessLog {
 public:
  explicit AccessLog(const std::string& path) {
    if (!path.empty()) file_ = std::fopen(path.c_str(), "a");
  }
  ~AccessLog() {
    if (file_) std::fclose(file_);
  }
  AccessLog(const AccessLog&) = delete;
  AccessLog& operator=(const AccessLog&) = delete;

  // The query goes in with every password replaced and cut to a sane length.
  void Write(const httplib::Request& request, const httplib::Response& response) {
    if (!file_) return;
    std::string target = request.path;
    std::size_t mark = request.target.find('?');
    if (mark != std::string::npos) {
      std::string query = Query::Redacted(std::string_view(request.target).substr(mark + 1),
                                          VendorService::SecretKeys());
      if (query.size() > 300) query = query.substr(0, 300) + "...";
      target += "?" + query;
    }
    target = Printable(std::move(target));
    // A request line the server could not parse leaves its method as it came.
    const std::string method = Printable(request.method);
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &parts);
    std::lock_guard lock(mutex_);
    std::fprintf(file_, "%s %s %s %s %d %zu\n", stamp, request.remote_addr.c_str(), method.c_str(),
                 target.c_str(), response.status, response.body.size());
    std::fflush(file_);
  }

 private:
  std::FILE* file_ = nullptr;
  std::mutex mutex_;
};

// The refusal each endpoint gives when its request cannot be served at all.
const char* RefusalFor(const std::string& path) {
  if (path == "/SoftWare/userroom/stLogin.php") return "404u";
  if (path == "/SoftWare/Program/Orvane/Task.php") return "task404";
  return "404m";
}

}  // namespace

struct HttpServer::Impl {
  VendorService& service;
  HttpOptions options;
  httplib::Server http;
  AccessLog log;

  Impl(VendorService& service, HttpOptions options)
      : service(service), options(std::move(options)), log(this->options.logPath) {}
};

HttpServer::HttpServer(VendorService& service, HttpOptions options)
    : impl_(std::make_unique<Impl>(service, std::move(options))) {
  Impl& impl = *impl_;
  httplib::Server& http = impl.http;
  const unsigned threads = impl.options.threads;
  const std::size_t maxConnections = impl.options.maxConnections;
  http.new_task_queue = [threads, maxConnections] {
    return new BoundedPool(threads, maxConnections);
  };
  // Small replies on kept-alive connections would otherwise wait for delayed
  // acknowledgements.
  http.set_tcp_nodelay(true);
  http.set_keep_alive_max_count(1000);
  // An idle kept-alive connection holds a worker; Stop() also waits for it.
  http.set_keep_alive_timeout(2);
  http.set_read_timeout(5);
  http.set_write_timeout(5);
  http.set_payload_max_length(4096);
  if (!impl.options.filesDirectory.empty()) {
    std::string mount = VendorService::kDownloadPath;
    mount.pop_back();
    http.set_mount_point(mount, impl.options.filesDirectory);
    http.set_file_extension_and_mimetype_mapping("exe", "application/octet-stream");
  }

  http.set_pre_routing_handler(
      [&impl](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        if (tlOverflow) {
          response.status = 503;
          response.set_header("Connection", "close");
          response.set_content(RefusalFor(request.path), "text/plain; charset=GBK");
          return httplib::Server::HandlerResponse::Handled;
        }
        if (request.method != "GET" && request.method != "HEAD") {
          response.status = 405;
          response.set_content("404m", "text/plain; charset=GBK");
          return httplib::Server::HandlerResponse::Handled;
        }
        if (request.path.rfind(VendorService::kDownloadPath, 0) == 0)
          return httplib::Server::HandlerResponse::Unhandled;
        std::string rawQuery;
        std::size_t mark = request.target.find('?');
        if (mark != std::string::npos) rawQuery = request.target.substr(mark + 1);
        Reply reply;
        try {
          reply = impl.service.Handle(request.path, rawQuery, request.remote_addr,
                                      request.get_header_value("Host"));
        } catch (...) {
          reply = {200, "text/plain; charset=GBK", RefusalFor(request.path)};
        }
        response.status = reply.status;
        response.set_content(reply.body, reply.contentType.c_str());
        return httplib::Server::HandlerResponse::Handled;
      });
  http.set_exception_handler(
      [](const httplib::Request& request, httplib::Response& response, std::exception_ptr) {
        response.status = 500;
        response.set_content(RefusalFor(request.path), "text/plain; charset=GBK");
      });
  // Requests refused before any handler ran (too long, malformed) still get a
  // short text and nothing about the server.
  http.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
    if (response.body.empty())
      response.set_content(RefusalFor(request.path), "text/plain; charset=GBK");
  });
  http.set_logger([&impl](const httplib::Request& request, const httplib::Response& response) {
    impl.log.Write(request, response);
  });
}

HttpServer::~HttpServer() = default;

int HttpServer::Bind(std::string* error) {
  httplib::Server& http = impl_->http;
  int port = impl_->options.port;
  if (port == 0) {
    port = http.bind_to_any_port(impl_->options.host);
  } else if (!http.bind_to_port(impl_->options.host, port)) {
    port = -1;
  }
  if (port <= 0) {
    if (error)
      *error =
          "cannot listen on " + impl_->options.host + ":" + std::to_string(impl_->options.port);
    return -1;
  }
  return port;
}

bool HttpServer::Run() {
  return impl_->http.listen_after_bind();
}

void HttpServer::Stop() {
  impl_->http.stop();
}

}  // namespace server
