#include "resources/resource_data.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct BitmapCase {
  int id;
  int width;
  int height;
};

// The sizes the pages are laid out for.
TEST(ResourceData, BitmapsAreBmpFilesOfTheirSize) {
  const BitmapCase cases[] = {
      {142, 450, 290}, {155, 100, 20}, {130, 20, 20}, {143, 20, 20}, {166, 150, 30},  {159, 24, 24},
      {160, 24, 24},   {161, 24, 24},  {162, 24, 24}, {163, 24, 24}, {183, 100, 100},
  };
  for (const BitmapCase& c : cases) {
    SCOPED_TRACE(c.id);
    auto bytes = resources::Find(resources::Kind::Bitmap, c.id);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GT(bytes->size(), 54u);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    EXPECT_EQ(Le32(*bytes, 2), bytes->size());
    EXPECT_EQ(Le32(*bytes, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(Le32(*bytes, 22), static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[28]), 24);  // bits per pixel
  }
}

TEST(ResourceData, IconsAreIcoFilesAndKindsAreSeparate) {
  for (int id : {128, 151}) {
    auto bytes = resources::Find(resources::Kind::Icon, id);
    ASSERT_TRUE(bytes.has_value()) << id;
    EXPECT_EQ(bytes->substr(0, 4), std::string("\0\0\1\0", 4)) << id;
    EXPECT_FALSE(resources::Find(resources::Kind::Bitmap, id).has_value()) << id;
  }
  EXPECT_FALSE(resources::Find(resources::Kind::Bitmap, 99999).has_value());
  EXPECT_FALSE(resources::Find(resources::Kind::Icon, 142).has_value());
}

std::uint16_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// The alarm rings: 8-bit stereo PCM at 44.1 kHz, of their lengths.
TEST(ResourceData, SoundsAreWaveFilesOfTheirFormatAndLength) {
  const struct {
    int id;
    double seconds;
  } cases[] = {{136, 3.3}, {138, 9.3}, {139, 5.6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    auto bytes = resources::Find(resources::Kind::Wave, c.id);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GT(bytes->size(), 44u);
    EXPECT_EQ(bytes->substr(0, 4), "RIFF");
    EXPECT_EQ(bytes->substr(8, 4), "WAVE");
    std::size_t fmt = 0;
    std::uint32_t dataSize = 0;
    for (std::size_t at = 12; at + 8 <= bytes->size();
         at += 8 + ((Le32(*bytes, at + 4) + 1) & ~1u)) {
      if (bytes->substr(at, 4) == "fmt ") fmt = at + 8;
      if (bytes->substr(at, 4) == "data") dataSize = Le32(*bytes, at + 4);
    }
    ASSERT_NE(fmt, 0u);
    EXPECT_EQ(Le16(*bytes, fmt), 1);           // PCM
    EXPECT_EQ(Le16(*bytes, fmt + 2), 2);       // channels
    EXPECT_EQ(Le32(*bytes, fmt + 4), 44100u);  // samples per second
    EXPECT_EQ(Le16(*bytes, fmt + 14), 8);      // bits per sample
    EXPECT_NEAR(dataSize / (2.0 * 44100), c.seconds, 0.05);
  }
}

}  // namespace
