// The warning tone's samples: its pitch counted from zero crossings, its length, its level
// and its quiet ends.
#include "framework/tone_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using framework::SynthesizeTone;

// Rising zero crossings per second.
double MeasuredFrequency(const std::vector<std::int16_t>& s, int sampleRate) {
  int rising = 0;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) ++rising;
  }
  return rising * static_cast<double>(sampleRate) / static_cast<double>(s.size());
}

int Peak(const std::vector<std::int16_t>& s) {
  int peak = 0;
  for (auto v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

TEST(ToneSynthesis, WarningToneIsOneSecondAt1500Hz) {
  const auto pcm = SynthesizeTone(1500, 1000);
  ASSERT_EQ(pcm.size(), 44100u);
  EXPECT_NEAR(MeasuredFrequency(pcm, 44100), 1500.0, 1.0);
  EXPECT_NEAR(Peak(pcm), 16384, 40);  // half of full scale
}

TEST(ToneSynthesis, FollowsTheAskedPitchRateAndLength) {
  const auto a = SynthesizeTone(440, 250, 8000);
  ASSERT_EQ(a.size(), 2000u);
  EXPECT_NEAR(MeasuredFrequency(a, 8000), 440.0, 4.0);
  const auto b = SynthesizeTone(3000, 500, 48000, 1.0);
  ASSERT_EQ(b.size(), 24000u);
  EXPECT_NEAR(MeasuredFrequency(b, 48000), 3000.0, 2.0);
  EXPECT_GE(Peak(b), 32700);  // full scale without wrapping round
}

TEST(ToneSynthesis, StartsAndEndsInSilence) {
  const auto pcm = SynthesizeTone(1500, 1000);
  ASSERT_FALSE(pcm.empty());
  EXPECT_EQ(pcm.front(), 0);
  EXPECT_LE(std::abs(static_cast<int>(pcm.back())), 50);
  // The fade takes the first few milliseconds: the first cycle is far below the peak.
  const std::vector<std::int16_t> first(pcm.begin(), pcm.begin() + 30);
  EXPECT_LT(Peak(first), 16384 / 4);
}

TEST(ToneSynthesis, DegenerateRequestsGiveNoSamplesOrSilence) {
  EXPECT_TRUE(SynthesizeTone(1500, 0).empty());
  EXPECT_TRUE(SynthesizeTone(1500, -5).empty());
  EXPECT_TRUE(SynthesizeTone(1500, 1000, 0).empty());
  const auto quiet = SynthesizeTone(1500, 100, 44100, -3.0);
  ASSERT_EQ(quiet.size(), 4410u);
  EXPECT_EQ(Peak(quiet), 0);
  const auto loud = SynthesizeTone(1500, 100, 44100, 7.0);
  EXPECT_LE(Peak(loud), 32767);
  EXPECT_GE(Peak(loud), 32700);
}

}  // namespace
