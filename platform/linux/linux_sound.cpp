#include "platform/linux/linux_sound.h"

#if ORVANE_HAVE_PULSE
#include <pulse/simple.h>
#endif

#include <algorithm>
#include <cstdint>
#include <functional>

#include "resources/resource_data.h"

namespace platform::linuxos {

namespace {

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

std::uint16_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

void Play(WaveData wave, std::atomic<bool>& stop) {
#if ORVANE_HAVE_PULSE
  pa_sample_spec sampleFormat{};
  sampleFormat.format = wave.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
  sampleFormat.channels = static_cast<std::uint8_t>(wave.channels);
  sampleFormat.rate = static_cast<std::uint32_t>(wave.sampleRate);
  int error = 0;
  pa_simple* stream = pa_simple_new(nullptr, "Orvane", PA_STREAM_PLAYBACK, nullptr, "alarm",
                                    &sampleFormat, nullptr, nullptr, &error);
  if (!stream) return;  // no sound server: the alarm stays silent

  // Small pieces, so Stop is heard within a tenth of a second.
  const std::size_t frame = static_cast<std::size_t>(wave.channels * wave.bitsPerSample / 8);
  const std::size_t piece = frame * static_cast<std::size_t>(wave.sampleRate) / 10;
  std::size_t at = 0;
  while (!stop.load()) {
    const std::size_t n = std::min(piece, wave.samples.size() - at);
    if (pa_simple_write(stream, wave.samples.data() + at, n, &error) < 0) break;
    at += n;
    if (at >= wave.samples.size()) at = 0;
  }
  pa_simple_flush(stream, &error);
  pa_simple_free(stream);
#else
  (void)wave;
  (void)stop;  // built without a sound library: silent
#endif
}

}  // namespace

std::optional<WaveData> ParseWave(std::string_view file) {
  if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::optional<WaveData> wave;
  bool haveFormat = false;
  WaveData data;
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    const std::string_view id = file.substr(at, 4);
    const std::uint32_t size = Le32(file, at + 4);
    const std::size_t body = at + 8;
    if (size > file.size() - body) return std::nullopt;  // cut off
    if (id == "fmt ") {
      if (size < 16 || Le16(file, body) != 1) return std::nullopt;  // PCM only
      data.channels = Le16(file, body + 2);
      data.sampleRate = static_cast<int>(Le32(file, body + 4));
      data.bitsPerSample = Le16(file, body + 14);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) return std::nullopt;
      data.samples = file.substr(body, size);
      wave = data;
      break;
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!wave || wave->channels < 1 || wave->channels > 2 || wave->sampleRate <= 0 ||
      (wave->bitsPerSample != 8 && wave->bitsPerSample != 16)) {
    return std::nullopt;
  }
  const std::size_t frame = static_cast<std::size_t>(wave->channels * wave->bitsPerSample / 8);
  if (wave->samples.size() < frame) return std::nullopt;
  wave->samples = wave->samples.substr(0, wave->samples.size() - wave->samples.size() % frame);
  return wave;
}

LinuxSound::~LinuxSound() {
  Stop();
}

void LinuxSound::PlayLooped(int waveResourceId) {
  Stop();
  const std::optional<std::string_view> file =
      resources::Find(resources::Kind::Wave, waveResourceId);
  if (!file) return;
  const std::optional<WaveData> wave = ParseWave(*file);
  if (!wave) return;
  stop_ = false;
  player_ = std::thread(Play, *wave, std::ref(stop_));
}

void LinuxSound::Stop() {
  stop_ = true;
  if (player_.joinable()) player_.join();
}

}  // namespace platform::linuxos
