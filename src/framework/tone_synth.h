#pragma once
// The warning tone as sound samples: a sine of a given frequency and duration, 16-bit
// signed mono PCM, with a few milliseconds of fade at each end so it starts and stops
// without a click.
#include <cstdint>
#include <vector>

namespace framework {

inline constexpr int kToneSampleRate = 44100;

// `sampleRate` × `durationMs` / 1000 samples (none for a duration or rate of 0 or less).
// `amplitude` is the peak as a fraction of full scale, held to 0 … 1.
std::vector<std::int16_t> SynthesizeTone(int frequencyHz, int durationMs,
                                         int sampleRate = kToneSampleRate, double amplitude = 0.5);

}  // namespace framework
