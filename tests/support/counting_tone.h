#pragma once
// A silent tone that counts what it was asked to play.
#include "framework/tone.h"

class CountingTone : public framework::Tone {
 public:
  void Play(int frequencyHz, int durationMs) override {
    ++plays;
    lastFrequency = frequencyHz;
    lastDuration = durationMs;
  }
  int plays = 0;
  int lastFrequency = 0;
  int lastDuration = 0;
};
