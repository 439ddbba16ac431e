#pragma once
#include <atomic>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/sound.h"

namespace platform::linuxos {

// The PCM samples of a WAVE file and their format.
struct WaveData {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  std::string_view samples;
};

// Reads the "fmt " and "data" chunks of a RIFF WAVE file (uncompressed PCM
// only); nullopt for anything else or a cut-off file.
std::optional<WaveData> ParseWave(std::string_view file);

// Plays the program's WAVE resources through PulseAudio on a thread of its
// own. Without a sound server, or for a resource it cannot play, it stays
// silent and says nothing.
class LinuxSound : public Sound {
 public:
  LinuxSound() = default;
  ~LinuxSound() override;
  LinuxSound(const LinuxSound&) = delete;
  LinuxSound& operator=(const LinuxSound&) = delete;

  // Replaces whatever is playing, as a new looped sound does on Windows.
  void PlayLooped(int waveResourceId) override;
  void Stop() override;

 private:
  std::thread player_;
  std::atomic<bool> stop_{false};
};

}  // namespace platform::linuxos
