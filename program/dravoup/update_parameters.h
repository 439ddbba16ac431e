#pragma once
#include <optional>
#include <string>

// The parameter text the program starts the updater with: the server's domain,
// the product's name and the query of the product's download address, joined
// by "|".
namespace dravoup {

// The one product the updater knows how to wait for and replace.
inline constexpr const char* kProductName = "Orvane";

struct UpdateParameters {
  std::string domain;   // host, maybe with a port
  std::string product;  // kProductName
  // Where to ask for the download address: "http://" + domain + the query, or
  // the query itself when it is a whole address on that domain.
  std::string queryAddress;
};

// nullopt unless the text has exactly three parts, a plain host (and port), the
// product's name and a query that is a path or an address on that host.
std::optional<UpdateParameters> ParseUpdateParameters(const std::string& text);

// What the download-address query answers: the address of the new program,
// then, after a "|", its SHA-256 in hexadecimal when the server names one.
struct DownloadOffer {
  std::string address;
  std::string sha256;  // lower case; empty when the reply names none
};

// nullopt for a reply that is no web address (the server's "404m" among
// them) or names a digest that is not 64 hexadecimal digits.
std::optional<DownloadOffer> ParseDownloadOffer(const std::string& reply);

}  // namespace dravoup
