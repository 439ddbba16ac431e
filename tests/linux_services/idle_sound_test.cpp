#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>  // std::chrono without <chrono>, whose micro sign GBK cannot hold

#include "platform/linux/linux_idle.h"
#include "platform/linux/linux_sound.h"
#include "resources/resource_data.h"

namespace platform::linuxos {
namespace {

class FixedClock : public Clock {
 public:
  std::uint32_t tick = 0;
  std::uint32_t TickCount() override { return tick; }
  LocalTime Now() override { return {}; }
};

TEST(LinuxIdle, WithoutADisplayTheUserCountsAsPresent) {
  const char* display = std::getenv("DISPLAY");
  const std::optional<std::string> saved =
      display ? std::optional<std::string>(display) : std::nullopt;
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_SESSION_TYPE");
  FixedClock clock;
  clock.tick = 7;
  LinuxIdle idle(clock);
  EXPECT_EQ(idle.IdleMilliseconds(), std::nullopt);
  EXPECT_EQ(idle.LastInputTick(), 7u);
  if (saved) setenv("DISPLAY", saved->c_str(), 1);
}

TEST(LinuxIdle, OnAnX11DisplayTheLastInputLiesBeforeNowAcrossTheWrap) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X11 display";
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_SESSION_TYPE");
  FixedClock clock;
  clock.tick = 5;  // just after a wrap of the tick count
  LinuxIdle idle(clock);
  const std::optional<std::uint64_t> ms = idle.IdleMilliseconds();
  ASSERT_TRUE(ms.has_value()) << "the screen-saver extension did not answer";
  const std::uint32_t last = idle.LastInputTick();
  EXPECT_GE(static_cast<std::uint32_t>(clock.tick - last), *ms);
}

TEST(LinuxSound, ReadsTheAlarmRingsAndRejectsOtherFiles) {
  struct Ring {
    int id;
    double seconds;
  } const rings[] = {{136, 3.3}, {138, 9.3}, {139, 5.6}};
  for (const Ring& ring : rings) {
    const auto file = resources::Find(resources::Kind::Wave, ring.id);
    ASSERT_TRUE(file.has_value()) << ring.id;
    const std::optional<WaveData> wave = ParseWave(*file);
    ASSERT_TRUE(wave.has_value()) << ring.id;
    EXPECT_EQ(wave->channels, 2);
    EXPECT_EQ(wave->sampleRate, 44100);
    EXPECT_EQ(wave->bitsPerSample, 8);
    EXPECT_NEAR(static_cast<double>(wave->samples.size()) / (2 * 44100), ring.seconds, 0.05);
  }

  const std::string good(*resources::Find(resources::Kind::Wave, 136));
  EXPECT_FALSE(ParseWave(good.substr(0, 60)).has_value()) << "cut off in the data chunk";
  std::string compressed = good;
  compressed[20] = 2;  // not PCM
  EXPECT_FALSE(ParseWave(compressed).has_value());
  EXPECT_FALSE(ParseWave("RIFF").has_value());
}

TEST(LinuxSound, PlaysAndStopsWithoutComplaintWhateverTheMachineHas) {
  LinuxSound sound;
  const auto start = std::chrono::steady_clock::now();
  sound.PlayLooped(136);
  sound.PlayLooped(139);  // replaces the first
  sound.Stop();
  sound.PlayLooped(999);  // no such resource: silent
  sound.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace platform::linuxos
