#include <gtest/gtest.h>

#include <string>

#include "program/dravoup/sha256.h"
#include "program/dravoup/update_parameters.h"

namespace dravoup {
namespace {

constexpr char kQuery[] = "/SoftWare/userroom/stRegulation.php?updownload=Orvane";

TEST(UpdateParameters, TakeDomainProductAndQueryOrRefuseTheText) {
  struct Case {
    const char* name;
    std::string text;
    const char* address;  // nullptr: refused
  };
  const Case cases[] = {
      {"path on the domain", std::string("vendor.example:8617|Orvane|") + kQuery,
       "http://vendor.example:8617/SoftWare/userroom/stRegulation.php?updownload=Orvane"},
      {"whole address on the domain, any letter case",
       std::string("Vendor.Example|Orvane|http://vendor.example") + kQuery,
       "http://vendor.example/SoftWare/userroom/stRegulation.php?updownload=Orvane"},
      {"whole https address", std::string("v.example|Orvane|https://v.example") + kQuery,
       "https://v.example/SoftWare/userroom/stRegulation.php?updownload=Orvane"},
      {"empty text", "", nullptr},
      {"no separator", "vendor.example", nullptr},
      {"query missing", "vendor.example|Orvane", nullptr},
      {"empty query", "vendor.example|Orvane|", nullptr},
      {"empty domain", std::string("|Orvane|") + kQuery, nullptr},
      {"extra part", std::string("vendor.example|Orvane|") + kQuery + "|x", nullptr},
      {"extra bar at the end", std::string("vendor.example|Orvane|") + kQuery + "|", nullptr},
      {"another product", std::string("vendor.example|Other|") + kQuery, nullptr},
      {"domain with a path", std::string("vendor.example/x|Orvane|") + kQuery, nullptr},
      {"domain with user info", std::string("me@evil.example|Orvane|") + kQuery, nullptr},
      {"address on another host", std::string("vendor.example|Orvane|http://evil.example") + kQuery,
       nullptr},
      {"address whose host only starts with the domain",
       std::string("vendor.example|Orvane|http://vendor.example.evil") + kQuery, nullptr},
      {"not a web address", "vendor.example|Orvane|file:///etc/passwd", nullptr},
      {"space in the query", "vendor.example|Orvane|/a b", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<UpdateParameters> parsed = ParseUpdateParameters(c.text);
    if (!c.address) {
      EXPECT_FALSE(parsed);
      continue;
    }
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->product, "Orvane");
    EXPECT_EQ(parsed->queryAddress, c.address);
  }
}

TEST(DownloadOffer, AnAddressAndMaybeItsDigest) {
  const std::string digest(64, 'a');
  const std::string upper(64, 'A');
  struct Case {
    const char* name;
    std::string reply;
    const char* address;  // nullptr: refused
    std::string sha256;
  };
  const Case cases[] = {
      {"address alone", "http://h/SoftWare/download/Orvane.exe",
       "http://h/SoftWare/download/Orvane.exe", ""},
      {"address and digest", "http://h/o.exe|" + digest, "http://h/o.exe", digest},
      {"digest in upper case", "http://h/o.exe|" + upper, "http://h/o.exe", digest},
      {"the server's no", "404m", nullptr, ""},
      {"empty reply", "", nullptr, ""},
      {"digest too short", "http://h/o.exe|abc", nullptr, ""},
      {"digest not hexadecimal", "http://h/o.exe|" + std::string(64, 'g'), nullptr, ""},
      {"empty digest after the bar", "http://h/o.exe|", nullptr, ""},
      {"a third field", "http://h/o.exe|" + digest + "|x", nullptr, ""},
      {"no host", "http:///o.exe", nullptr, ""},
      {"not a web address", "file:///C:/o.exe", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<DownloadOffer> offer = ParseDownloadOffer(c.reply);
    if (!c.address) {
      EXPECT_FALSE(offer);
      continue;
    }
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->address, c.address);
    EXPECT_EQ(offer->sha256, c.sha256);
  }
}

TEST(Sha256, KnownDigestsWholeAndInPieces) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the padding needs a second block.
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  const std::string million(1000000, 'a');
  EXPECT_EQ(Sha256Hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

  // Pieces of every size across the block edges give the same digest.
  const std::string text(300, 'x');
  const std::string whole = Sha256Hex(text);
  for (std::size_t piece : {1u, 7u, 63u, 64u, 65u, 200u}) {
    Sha256 hash;
    for (std::size_t at = 0; at < text.size(); at += piece) {
      hash.Update(std::string_view(text).substr(at, piece));
    }
    std::string hex;
    for (std::uint8_t byte : hash.Finish()) {
      static const char kHex[] = "0123456789abcdef";
      hex += kHex[byte >> 4];
      hex += kHex[byte & 0xF];
    }
    EXPECT_EQ(hex, whole) << piece;
  }
}

}  // namespace
}  // namespace dravoup
