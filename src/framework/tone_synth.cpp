#include "framework/tone_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace framework {

std::vector<std::int16_t> SynthesizeTone(int frequencyHz, int durationMs, int sampleRate,
                                         double amplitude) {
  if (durationMs <= 0 || sampleRate <= 0) return {};
  const long long count = static_cast<long long>(sampleRate) * durationMs / 1000;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  const double peak = 32767.0 * std::clamp(std::isfinite(amplitude) ? amplitude : 0.0, 0.0, 1.0);
  // 5 ms of linear fade in and out, never more than half the tone.
  const long long fade = std::min<long long>(sampleRate / 200, count / 2);
  const double omega = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
  for (long long i = 0; i < count; ++i) {
    double envelope = 1.0;
    if (fade > 0) {
      if (i < fade) envelope = static_cast<double>(i) / fade;
      if (count - 1 - i < fade)
        envelope = std::min(envelope, static_cast<double>(count - 1 - i) / fade);
    }
    const double v = peak * envelope * std::sin(omega * static_cast<double>(i));
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(v));
  }
  return samples;
}

}  // namespace framework
