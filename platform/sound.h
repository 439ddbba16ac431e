#pragma once

namespace platform {

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays the program's WAVE resource in a loop until Stop; silent when no device exists.
  virtual void PlayLooped(int waveResourceId) = 0;
  virtual void Stop() = 0;
};

}  // namespace platform
