#include "online/server_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "online/endpoints.h"

namespace {

TEST(UrlFormEncode, KeepsOnlyLettersAndDigits) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"space", "a b", "a+b"},
      {"hyphen", "x-y", "x%2Dy"},
      {"punctuation", "._~|&=", "%2E%5F%7E%7C%26%3D"},
      {"gbk character", "中", "%D6%D0"},
      {"letters and digits", "Az09", "Az09"},
      {"control and high bytes", std::string("\n\xff", 2), "%0A%FF"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(online::UrlFormEncode(c.in), c.out) << c.name;
}

TEST(Fields, PiecesBetweenSeparatorsAndEmptyBeyond) {
  EXPECT_EQ(online::Field("login111|1|nick", '|', 0), "login111");
  EXPECT_EQ(online::Field("login111|1|nick", '|', 2), "nick");
  EXPECT_EQ(online::Field("login111|1|nick", '|', 3), "");
  EXPECT_EQ(online::Field("a||c|", '|', 1), "");
  EXPECT_EQ(online::Field("a||c|", '|', 3), "");
  EXPECT_EQ(online::Field("", '|', 0), "");

  const auto fields = online::SplitFields("login111|1", '|', 13);
  ASSERT_EQ(fields.size(), 13u);
  EXPECT_EQ(fields[0], "login111");
  EXPECT_EQ(fields[1], "1");
  for (int i = 2; i < 13; ++i) EXPECT_EQ(fields[i], "") << i;
  EXPECT_EQ(online::SplitFields("a|b|c|d", '|', 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(online::SplitFields("a|b|", '|', 4), (std::vector<std::string>{"a", "b", "", ""}));
}

TEST(Fields, NumbersFromTheLeadingDigits) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"1", 1},  {"12abc", 12}, {"", 0},    {"x1", 0},
      {" 1", 0}, {"-1", 0},     {"007", 7}, {"99999999999", 2147483647},
  };
  for (const auto& c : cases) EXPECT_EQ(online::LeadingNumber(c.text), c.value) << c.text;
}

TEST(Fields, VersionReplySplitsOnCaretThenBar) {
  const std::string reply = "6.1.5|2026-01-01^notes|x";
  EXPECT_EQ(online::Field(online::Field(reply, '^', 0), '|', 0), "6.1.5");
}

TEST(FillTemplate, FillsSlotsInOrder) {
  EXPECT_EQ(online::FillTemplate(online::kTaskDeleteFormat,
                                 {std::string("http://h/T.php"), std::string("12"),
                                  std::string("p&w"), std::string("0%7C1"), std::string("0"),
                                  std::string("1%7C1"), 1LL, std::string("3")}),
            "http://h/T.php?hlu=1&dl=12&password=p&w&taskcontent=0%7C1&tasktb=0&xgy=1%7C1&sctb=1"
            "&zrid=3");
  // Values longer than any fixed buffer fit whole.
  const std::string longId(5000, '9');
  EXPECT_EQ(online::FillTemplate("%s?qlu=1&dl=%s", {std::string("u"), longId}).size(),
            longId.size() + 11);
  EXPECT_EQ(online::FillTemplate("100%% %d", {-5LL}), "100% -5");
}

TEST(Endpoints, AddressesOnTheConfiguredBase) {
  // The tests run with the variable unset unless a scenario sets it.
  const char* before = std::getenv("ORVANE_VENDOR_SERVER");
  const std::string saved = before ? before : "";
#ifdef _WIN32
  _putenv_s("ORVANE_VENDOR_SERVER", "https://vendor.example:8443/");
#else
  setenv("ORVANE_VENDOR_SERVER", "https://vendor.example:8443/", 1);
#endif
  app::ServerUrls urls;
  online::FillServerUrls(urls);
  EXPECT_EQ(urls.signInUrlFormat,
            "https://vendor.example:8443/SoftWare/userroom/stLogin.php?dlu=1&dl=%s&password=%s");
  EXPECT_EQ(urls.taskServiceUrl, "https://vendor.example:8443/SoftWare/Program/Orvane/Task.php");
  EXPECT_EQ(urls.updaterParameters,
            "vendor.example:8443|Orvane|https://vendor.example:8443/SoftWare/userroom/"
            "stRegulation.php?updownload=Orvane");
  EXPECT_EQ(urls.productVersion, "6.1.2");
  EXPECT_EQ(urls.productVersionPrefix, "6.1");
#ifdef _WIN32
  _putenv_s("ORVANE_VENDOR_SERVER", saved.c_str());
#else
  if (before) {
    setenv("ORVANE_VENDOR_SERVER", saved.c_str(), 1);
  } else {
    unsetenv("ORVANE_VENDOR_SERVER");
  }
#endif
  if (!before) {
    EXPECT_EQ(online::VendorServer().rfind("http", 0), 0u);
  }
}

}  // namespace
