// The display filters on a synthetic ECG with ST elevation, mains hum and baseline wander: each
// takes away what it is for and leaves the waves, their levels and their times.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "leads/LeadFilters.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kIntervalUs = 2000;  // 500 Hz
constexpr double kRateHz = 500.0;
constexpr int kSamples = 5000;           // 10 s
constexpr double kUnitMicrovolts = 5.0;  // one sample unit

double Bump(double t, double centre, double width) {
  const double u = (t - centre) / width;
  return std::exp(-0.5 * u * u);
}

double Ramp(double t, double from, double to) {
  if (t <= from) {
    return 0;
  }
  if (t >= to) {
    return 1;
  }
  const double u = (t - from) / (to - from);
  return u * u * (3 - 2 * u);
}

// One beat in microvolts at t seconds from its R peak: P, QRS, a 150 uV ST elevation and T.
double BeatMicrovolts(double t) {
  const double st = 150.0 * Ramp(t, 0.03, 0.07) * (1 - Ramp(t, 0.20, 0.26));
  return 150 * Bump(t, -0.16, 0.02) - 100 * Bump(t, -0.02, 0.006) + 1200 * Bump(t, 0, 0.01) -
         300 * Bump(t, 0.02, 0.007) + st + 300 * Bump(t, 0.30, 0.05);
}

struct Ecg {
  std::vector<double> clean;  // microvolts
  std::vector<int> rPeaks;    // sample index of each R peak
};

// Ten seconds cut from a rhythm that runs on before and after them, as any recording is: the
// beats just outside leave their waves at the ends.
Ecg SyntheticEcg(double beatsPerMinute) {
  Ecg ecg;
  ecg.clean.assign(kSamples, 0.0);
  const double period = 60.0 / beatsPerMinute;
  std::vector<int> beats;
  for (int beat = -2; 0.4 + beat * period < kSamples / kRateHz + 2 * period; ++beat) {
    const double r = 0.4 + beat * period;
    const int peak = static_cast<int>(std::lround(r * kRateHz));
    beats.push_back(peak);
    if (beat >= 0 && r < kSamples / kRateHz - 0.45) {
      ecg.rPeaks.push_back(peak);  // those whose ST and the level before them lie in the record
    }
  }
  for (int k = 0; k < kSamples; ++k) {
    for (int peak : beats) {
      ecg.clean[k] += BeatMicrovolts((k - peak) / kRateHz);
    }
  }
  return ecg;
}

// The stored samples of clean plus a sine of the given frequency and amplitude.
std::vector<int16_t> Stored(const std::vector<double>& clean, double hz, double microvolts) {
  std::vector<int16_t> units(clean.size());
  for (size_t k = 0; k < clean.size(); ++k) {
    const double value = clean[k] + microvolts * std::sin(2 * kPi * hz * k / kRateHz + 0.7);
    units[k] = static_cast<int16_t>(std::lround(value / kUnitMicrovolts));
  }
  return units;
}

std::vector<double> Filtered(const std::vector<int16_t>& units, unsigned filters) {
  std::vector<double> out(units.size());
  EXPECT_EQ(FilterLeadSamples(units.data(), static_cast<int32_t>(units.size()), kIntervalUs,
                              filters, out.data()),
            filters);
  for (double& value : out) {
    value *= kUnitMicrovolts;
  }
  return out;
}

// The amplitude of the component at hz (a whole number of cycles over the record).
double AmplitudeAt(const std::vector<double>& signal, double hz) {
  double re = 0;
  double im = 0;
  for (size_t k = 0; k < signal.size(); ++k) {
    re += signal[k] * std::cos(2 * kPi * hz * k / kRateHz);
    im += signal[k] * std::sin(2 * kPi * hz * k / kRateHz);
  }
  return 2 * std::hypot(re, im) / static_cast<double>(signal.size());
}

double Mean(const std::vector<double>& signal, int from, int to) {
  double sum = 0;
  for (int k = from; k < to; ++k) {
    sum += signal[k];
  }
  return sum / (to - from);
}

// The ST level of the beat at peak: 100 to 180 ms after R against 80 to 120 ms before it.
double StLevel(const std::vector<double>& signal, int peak) {
  return Mean(signal, peak + 50, peak + 90) - Mean(signal, peak - 60, peak - 40);
}

class MainsNotch : public ::testing::TestWithParam<double> {};

TEST_P(MainsNotch, TakesTheMainsDown40DbAndKeepsTheRestWithin15Microvolts) {
  const double mainsHz = GetParam();
  const unsigned filter = mainsHz == 50 ? kLeadFilterMains50 : kLeadFilterMains60;
  const Ecg ecg = SyntheticEcg(71);
  const std::vector<double> out = Filtered(Stored(ecg.clean, mainsHz, 200), filter);

  double squares = 0;
  for (size_t k = 0; k < out.size(); ++k) {
    squares += (out[k] - ecg.clean[k]) * (out[k] - ecg.clean[k]);
  }
  EXPECT_LE(AmplitudeAt(out, mainsHz), 200 / 100.0);  // 40 dB
  EXPECT_LE(std::sqrt(squares / static_cast<double>(out.size())), 15.0);
}

INSTANTIATE_TEST_SUITE_P(FiftyAndSixtyHertz, MainsNotch, ::testing::Values(50.0, 60.0));

class BaselineFilter : public ::testing::TestWithParam<double> {};

TEST_P(BaselineFilter, TakesWanderDown30DbAndKeepsEachStLevelAndEveryRPeak) {
  const Ecg ecg = SyntheticEcg(GetParam());
  const std::vector<int16_t> stored = Stored(ecg.clean, 0.2, 500);
  std::vector<double> in(stored.size());
  for (size_t k = 0; k < stored.size(); ++k) {
    in[k] = stored[k] * kUnitMicrovolts;
  }
  const std::vector<double> out = Filtered(stored, kLeadFilterBaseline);

  EXPECT_LE(AmplitudeAt(out, 0.2), AmplitudeAt(in, 0.2) / std::pow(10.0, 30 / 20.0));
  for (int peak : ecg.rPeaks) {
    EXPECT_NEAR(StLevel(out, peak), StLevel(ecg.clean, peak), 20.0) << "beat at " << peak;
    int highest = peak - 25;
    for (int k = peak - 25; k <= peak + 25; ++k) {
      highest = out[k] > out[highest] ? k : highest;
    }
    EXPECT_EQ(highest, peak);
  }
}

INSTANTIATE_TEST_SUITE_P(SlowToFastRates, BaselineFilter, ::testing::Values(45.0, 75.0, 120.0));

TEST(LowPass, KeepsTheRPeakAtItsSampleAndTakes100HzDown) {
  const Ecg ecg = SyntheticEcg(75);
  const std::vector<double> out = Filtered(Stored(ecg.clean, 100, 100), kLeadFilterLowPass40);
  std::vector<double> error(out.size());
  for (size_t k = 0; k < out.size(); ++k) {
    error[k] = out[k] - ecg.clean[k];
  }
  EXPECT_LE(AmplitudeAt(error, 100), 100 / 10.0);
  for (int peak : ecg.rPeaks) {
    EXPECT_GT(out[peak], out[peak - 1]);
    EXPECT_GT(out[peak], out[peak + 1]);
  }
}

TEST(LeadFilters, LeaveAConstantLeadAsItIsExceptTheBaselineWhichTakesItToZero) {
  const std::vector<int16_t> flat(1000, 40);
  std::vector<double> out(flat.size());
  FilterLeadSamples(flat.data(), 1000, kIntervalUs, kLeadFilterMains50 | kLeadFilterLowPass40,
                    out.data());
  for (double value : out) {
    EXPECT_NEAR(value, 40.0, 1e-6);
  }
  FilterLeadSamples(flat.data(), 1000, kIntervalUs, kLeadFilterBaseline, out.data());
  for (double value : out) {
    EXPECT_NEAR(value, 0.0, 1e-6);
  }
}

TEST(LeadFilters, SkipWhatTheSamplingRateCannotHoldAndHandleTinyLeads) {
  const int16_t samples[3] = {1, 200, -5};
  double out[3] = {};
  // 100 samples per second: nothing at or above 50 Hz.
  EXPECT_EQ(FilterLeadSamples(samples, 3, 10000, kLeadFilterAll, out),
            kLeadFilterBaseline | kLeadFilterLowPass40);
  EXPECT_EQ(FilterLeadSamples(samples, 1, 0, kLeadFilterAll, out), kLeadFilterNone);
  EXPECT_EQ(out[0], 1.0);
  EXPECT_EQ(FilterLeadSamples(samples, 0, kIntervalUs, kLeadFilterAll, out), kLeadFilterNone);
}

TEST(LeadFilters, ReadAndNameTheirListAndRefuseUnknownNames) {
  unsigned filters = kLeadFilterLowPass40;
  EXPECT_TRUE(ParseLeadFilters("baseline,60hz", &filters));
  EXPECT_EQ(filters, kLeadFilterBaseline | kLeadFilterMains60);
  EXPECT_EQ(LeadFilterNames(kLeadFilterAll), "baseline,50hz,60hz,40hz");
  for (const char* bad : {"", "baseline,", "70hz", "baseline,,40hz"}) {
    EXPECT_FALSE(ParseLeadFilters(bad, &filters)) << bad;
  }
  EXPECT_EQ(filters, kLeadFilterBaseline | kLeadFilterMains60);
}

TEST(LeadFilters, RoundToUnitsAndSaturate) {
  const double in[4] = {1.49, -2.5, 40000.0, -40000.0};
  int16_t out[4] = {};
  RoundFilteredSamples(in, 4, out);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], -3);
  EXPECT_EQ(out[2], 32767);
  EXPECT_EQ(out[3], -32768);
}

}  // namespace
