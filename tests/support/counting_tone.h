#pragma once
// A silent tone that records what it was asked to play.
#include <utility>
#include <vector>

#include "framework/tone.h"

class CountingTone : public framework::Tone {
 public:
  void Play(int frequencyHz, int durationMs) override {
    ++plays;
    lastFrequency = frequencyHz;
    lastDuration = durationMs;
    calls.emplace_back(frequencyHz, durationMs);
  }
  int plays = 0;
  int lastFrequency = 0;
  int lastDuration = 0;
  std::vector<std::pair<int, int>> calls;  // frequency and duration of each
};
