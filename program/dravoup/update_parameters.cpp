#include "program/dravoup/update_parameters.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "online/server_text.h"
#include "platform/http.h"

namespace dravoup {
namespace {

bool IsHostByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == ':' || c == '[' || c == ']';
}

bool IsPlainHost(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host) {
    if (!IsHostByte(c)) return false;
  }
  return true;
}

// Nothing a request line could take for its end or a second request.
bool IsQueryText(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
  }
  return true;
}

// The host (and port) of a web address, letter case as written.
std::string_view HostOf(std::string_view address) {
  const std::size_t start = address.find("://") + 3;
  const std::size_t end = address.find_first_of("/?#", start);
  return address.substr(start, end == std::string_view::npos ? address.npos : end - start);
}

bool SameHost(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsHexDigest(std::string_view text) {
  if (text.size() != 64) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

std::optional<UpdateParameters> ParseUpdateParameters(const std::string& text) {
  if (std::count(text.begin(), text.end(), '|') != 2) return std::nullopt;
  const std::vector<std::string> parts = online::SplitFields(text, '|', 3);
  UpdateParameters parameters{parts[0], parts[1], {}};
  const std::string& query = parts[2];
  if (!IsPlainHost(parameters.domain) || parameters.product != kProductName ||
      !IsQueryText(query)) {
    return std::nullopt;
  }
  if (!query.empty() && query.front() == '/') {
    parameters.queryAddress = "http://" + parameters.domain + query;
  } else if (platform::IsWebUrl(query) && SameHost(HostOf(query), parameters.domain)) {
    // The program hands over the whole address; it must lead to the domain named.
    parameters.queryAddress = query;
  } else {
    return std::nullopt;
  }
  return parameters;
}

std::optional<DownloadOffer> ParseDownloadOffer(const std::string& reply) {
  const auto bars = std::count(reply.begin(), reply.end(), '|');
  if (bars > 1) return std::nullopt;
  DownloadOffer offer{online::Field(reply, '|', 0), online::Field(reply, '|', 1)};
  if (!platform::IsWebUrl(offer.address) || !IsQueryText(offer.address) ||
      HostOf(offer.address).empty()) {
    return std::nullopt;
  }
  if (bars == 1 && !IsHexDigest(offer.sha256)) return std::nullopt;
  for (char& c : offer.sha256) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  }
  return offer;
}

}  // namespace dravoup
