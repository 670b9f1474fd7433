#pragma once
// A tone of a given frequency and duration. The desktop program plays it without blocking
// the window; the CLI and tests stay silent or count.
#include <cstdint>
#include <vector>

namespace framework {

class Tone {
 public:
  virtual ~Tone() = default;
  virtual void Play(int frequencyHz, int durationMs) = 0;
};

}  // namespace framework
