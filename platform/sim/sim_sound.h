#pragma once
#include "platform/sim/call_log.h"
#include "platform/sound.h"

namespace platform::sim {

// "sound.play <id>", "sound.stop".
class SimSound : public Sound {
 public:
  explicit SimSound(CallLog& log) : log_(log) {}
  void PlayLooped(int waveResourceId) override;
  void Stop() override;

  // The resource playing now, 0 when silent.
  int Playing() const { return playing_; }

 private:
  CallLog& log_;
  int playing_ = 0;
};

}  // namespace platform::sim
