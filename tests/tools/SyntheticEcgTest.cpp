// The synthetic ECG: deterministic, about 70 bpm, plausible amplitudes and consistent leads.
#include "tools/scpgen/SyntheticEcg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace scpgen;

constexpr uint8_t kLeadI = 1;
constexpr uint8_t kLeadII = 2;
constexpr uint8_t kLeadIII = 61;
constexpr uint8_t kLeadAVR = 62;
constexpr uint8_t kLeadAVL = 63;
constexpr uint8_t kLeadAVF = 64;
constexpr uint8_t kLeadV1 = 3;
constexpr uint8_t kLeadV5 = 7;

TEST(SyntheticEcg, TheSameSeedGivesTheSameSignalAndAnotherSeedAnother) {
  SyntheticEcgOptions options;
  options.noiseMicrovolts = 5.0;
  const SyntheticEcg first = GenerateSyntheticEcg(options);
  const SyntheticEcg again = GenerateSyntheticEcg(options);
  EXPECT_EQ(first.leads, again.leads);
  EXPECT_EQ(first.fiducials, again.fiducials);
  options.seed = 2;
  const SyntheticEcg other = GenerateSyntheticEcg(options);
  EXPECT_NE(first.leads, other.leads);
  EXPECT_NE(first.fiducials, other.fiducials);
}

TEST(SyntheticEcg, BeatsComeAtAboutSeventyPerMinuteWithSlightVariation) {
  const SyntheticEcg ecg = GenerateSyntheticEcg(SyntheticEcgOptions{});
  ASSERT_EQ(ecg.leads.size(), static_cast<size_t>(kIndependentLeadCount));
  for (const auto& lead : ecg.leads) {
    EXPECT_EQ(lead.size(), 5000u);
  }
  ASSERT_GE(ecg.fiducials.size(), 11u);
  ASSERT_LE(ecg.fiducials.size(), 12u);
  double sum = 0.0;
  int shortest = 5000;
  int longest = 0;
  for (size_t i = 1; i < ecg.fiducials.size(); ++i) {
    const int rr = ecg.fiducials[i] - ecg.fiducials[i - 1];  // samples of 2 ms
    sum += rr;
    shortest = std::min(shortest, rr);
    longest = std::max(longest, rr);
  }
  const double meanRrMs = 2.0 * sum / (ecg.fiducials.size() - 1);
  EXPECT_NEAR(60000.0 / meanRrMs, 70.0, 3.0);
  EXPECT_GT(longest, shortest);                 // it varies ...
  EXPECT_LT(2.0 * (longest - shortest), 90.0);  // ... but only slightly (ms)
}

TEST(SyntheticEcg, RPeaksSitAtTheFiducialsWithPlausibleAmplitudes) {
  const SyntheticEcg ecg = GenerateSyntheticEcg(SyntheticEcgOptions{});
  const std::vector<int16_t>& leadII = *ecg.Lead(kLeadII);
  for (int32_t fiducial : ecg.fiducials) {
    // Lead II's largest sample within 100 ms lies within 6 ms of the fiducial, at 0.8-1.6 mV.
    const auto begin = leadII.begin() + std::max(fiducial - 50, 0);
    const auto end = leadII.begin() + std::min(fiducial + 50, 5000);
    const auto peak = std::max_element(begin, end);
    EXPECT_LE(std::abs(static_cast<int>(peak - leadII.begin()) - fiducial), 3);
    EXPECT_GE(*peak * 5, 800);  // units of 5 uV
    EXPECT_LE(*peak * 5, 1600);
  }
  EXPECT_EQ(ecg.Lead(61), nullptr);  // III is derived, not stored
}

TEST(SyntheticEcg, LimbLeadsFollowFromIAndIIAndChestLeadsProgress) {
  for (int ms = kPOnsetMs; ms <= kTOffsetMs; ms += 2) {
    const double leadI = BeatMicrovolts(kLeadI, ms);
    const double leadII = BeatMicrovolts(kLeadII, ms);
    EXPECT_NEAR(BeatMicrovolts(kLeadIII, ms), leadII - leadI, 1e-9);
    EXPECT_NEAR(BeatMicrovolts(kLeadAVR, ms), -(leadI + leadII) / 2, 1e-9);
    EXPECT_NEAR(BeatMicrovolts(kLeadAVL, ms), leadI - leadII / 2, 1e-9);
    EXPECT_NEAR(BeatMicrovolts(kLeadAVF, ms), leadII - leadI / 2, 1e-9);
  }
  // V1 is mostly negative during the QRS complex (rS), V5 mostly positive (qR).
  double areaV1 = 0.0;
  double areaV5 = 0.0;
  for (int ms = kQrsOnsetMs; ms <= kQrsOffsetMs; ms += 2) {
    areaV1 += BeatMicrovolts(kLeadV1, ms);
    areaV5 += BeatMicrovolts(kLeadV5, ms);
  }
  EXPECT_LT(areaV1, 0.0);
  EXPECT_GT(areaV5, 0.0);
}

TEST(SyntheticEcg, WavesAreZeroOutsideTheirBoundsAndPresentWithin) {
  for (uint8_t code : kStandardLeadCodes) {
    SCOPED_TRACE(static_cast<int>(code));
    EXPECT_EQ(BeatMicrovolts(code, kPOnsetMs - 2), 0.0);
    EXPECT_EQ(BeatMicrovolts(code, kTOffsetMs + 2), 0.0);
    EXPECT_EQ(BeatMicrovolts(code, (kPOffsetMs + kQrsOnsetMs) / 2.0), 0.0);  // PR segment
    EXPECT_EQ(BeatMicrovolts(code, (kQrsOffsetMs + kTOnsetMs) / 2.0), 0.0);  // ST segment
    EXPECT_NE(BeatMicrovolts(code, 0), 0.0);
  }
  EXPECT_EQ(BeatMicrovolts(9, 0), 0.0);  // V7 is not modelled
  const FrontalAxes axes = BeatAxes();
  EXPECT_GE(axes.qrs, -30);  // a normal axis
  EXPECT_LE(axes.qrs, 90);
  EXPECT_GE(axes.p, 0);
  EXPECT_LE(axes.p, 75);
}

}  // namespace
