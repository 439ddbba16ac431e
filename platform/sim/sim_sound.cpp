#include "platform/sim/sim_sound.h"

#include <string>

namespace platform::sim {

void SimSound::PlayLooped(int waveResourceId) {
  log_.Record("sound.play " + std::to_string(waveResourceId));
  playing_ = waveResourceId;
}

void SimSound::Stop() {
  log_.Record("sound.stop");
  playing_ = 0;
}

}  // namespace platform::sim
