#include "online/endpoints.h"

#include <cassert>
#include <cstdlib>

#ifndef ORVANE_DEFAULT_VENDOR_SERVER
#define ORVANE_DEFAULT_VENDOR_SERVER "http://127.0.0.1:8617"
#endif

namespace online {

std::string VendorServer() {
  const char* configured = std::getenv("ORVANE_VENDOR_SERVER");
  std::string base = configured && *configured ? configured : ORVANE_DEFAULT_VENDOR_SERVER;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

std::string VendorServerHost() {
  std::string base = VendorServer();
  const std::size_t scheme = base.find("://");
  return scheme == std::string::npos ? base : base.substr(scheme + 3);
}

std::string ServerAddress(const char* path) {
  return VendorServer() + path;
}

void FillServerUrls(app::ServerUrls& urls) {
  urls.productVersion = kProductVersion;
  urls.productVersionPrefix = kProductVersionPrefix;
  urls.productName = kProductName;
  urls.updaterName = kUpdaterName;
  urls.productDownloadQueryUrl = ServerAddress(kProductDownloadQueryPath);
  urls.updaterDownloadQueryUrl = ServerAddress(kUpdaterDownloadQueryPath);
  urls.updaterParameters =
      VendorServerHost() + "|" + kProductName + "|" + urls.productDownloadQueryUrl;
  urls.navigationPageUrl = ServerAddress(kNavigationPagePath);
  urls.instructionsPageUrl = ServerAddress(kInstructionsPagePath);
  urls.personalPageUrlFormat = ServerAddress(kPersonalPagePath);
  urls.versionQueryUrl = ServerAddress(kVersionQueryPath);
  urls.signInUrlFormat = ServerAddress(kSignInPath);
  urls.taskServiceUrl = ServerAddress(kTaskServicePath);
}

std::string FillTemplate(const std::string& format, std::initializer_list<TemplateValue> values) {
  std::string out;
  out.reserve(format.size() + 64);
  auto next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    const char kind = format[i + 1];
    if (kind == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (kind != 's' && kind != 'd') {
      out += c;
      continue;
    }
    ++i;
    const bool have = next != values.end();
    assert(have && "a template slot without a value");
    if (!have) continue;
    const TemplateValue& value = *next++;
    if (kind == 's') {
      const auto* text = std::get_if<std::string>(&value);
      assert(text && "a number for a text slot");
      if (text) out += *text;
    } else {
      const auto* number = std::get_if<long long>(&value);
      assert(number && "a text for a number slot");
      if (number) out += std::to_string(*number);
    }
  }
  assert(next == values.end() && "more values than template slots");
  return out;
}

}  // namespace online
