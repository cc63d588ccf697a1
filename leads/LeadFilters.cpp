#include "leads/LeadFilters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMicrosecondsPerSecond = 1000000.0;
constexpr double kButterworthQ = 0.70710678118654752440;  // 1 / sqrt(2): a flat passband
constexpr double kMainsNotchQ = 5.0;  // 10 Hz wide at 50 Hz per pass, settling in 30 ms
constexpr double kLowPassHz = 40.0;
constexpr double kMains50Hz = 50.0;
constexpr double kMains60Hz = 60.0;
// Each end of a lead is mirrored this far out before filtering, so the filters have settled on
// something like the signal by the time they reach its first and last samples.
constexpr double kEdgePaddingSeconds = 1.0;
constexpr int kMaxSections = kLeadFilterCount;

// One second-order section, normalised so that a0 is 1, run in transposed direct form II.
struct Section {
  double b0, b1, b2, a1, a2;
};

// The state of one section: its two delays.
struct SectionState {
  double z1, z2;
};

struct FilterInfo {
  unsigned bit;
  const char* name;
};
constexpr FilterInfo kFilters[kLeadFilterCount] = {{kLeadFilterBaseline, "baseline"},
                                                   {kLeadFilterMains50, "50hz"},
                                                   {kLeadFilterMains60, "60hz"},
                                                   {kLeadFilterLowPass40, "40hz"}};

// The bilinear-transform sections of a second-order high-pass, low-pass and notch at frequency
// hz for a rate of rateHz samples per second.
Section HighPass(double hz, double rateHz) {
  const double w = 2 * kPi * hz / rateHz;
  const double alpha = std::sin(w) / (2 * kButterworthQ);
  const double a0 = 1 + alpha;
  const double c = std::cos(w);
  return {(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

Section LowPass(double hz, double rateHz) {
  const double w = 2 * kPi * hz / rateHz;
  const double alpha = std::sin(w) / (2 * kButterworthQ);
  const double a0 = 1 + alpha;
  const double c = std::cos(w);
  return {(1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

Section Notch(double hz, double rateHz) {
  const double w = 2 * kPi * hz / rateHz;
  const double alpha = std::sin(w) / (2 * kMainsNotchQ);
  const double a0 = 1 + alpha;
  const double c = std::cos(w);
  return {1 / a0, -2 * c / a0, 1 / a0, -2 * c / a0, (1 - alpha) / a0};
}

// The state each section holds after a long run of the constant `value` at the cascade's input,
// so that a filter starting on a signal does not first ring on the step up to it.
void SettleOn(const Section* sections, int count, double value, SectionState* states) {
  double input = value;
  for (int i = 0; i < count; ++i) {
    const Section& s = sections[i];
    const double output = input * (s.b0 + s.b1 + s.b2) / (1 + s.a1 + s.a2);
    states[i].z2 = s.b2 * input - s.a2 * output;
    states[i].z1 = output - s.b0 * input;
    input = output;
  }
}

// Runs the cascade over data in place, from first towards last (either way round).
void RunCascade(const Section* sections, int count, double* data, std::ptrdiff_t first,
                std::ptrdiff_t last) {
  SectionState states[kMaxSections];
  SettleOn(sections, count, data[first], states);
  const std::ptrdiff_t step = last >= first ? 1 : -1;
  for (std::ptrdiff_t k = first;; k += step) {
    double value = data[k];
    for (int i = 0; i < count; ++i) {
      const Section& s = sections[i];
      SectionState& z = states[i];
      const double output = s.b0 * value + z.z1;
      z.z1 = s.b1 * value - s.a1 * output + z.z2;
      z.z2 = s.b2 * value - s.a2 * output;
      value = output;
    }
    data[k] = value;
    if (k == last) {
      break;
    }
  }
}

// The median of samples from to end - 1: the level the lead rests at there, which the few samples
// of a QRS complex or a T wave hardly move.
double MedianLevel(const int16_t* in, std::ptrdiff_t from, std::ptrdiff_t end) {
  std::vector<int16_t> values(in + from, in + end);
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// How far the resting level drifts per sample over the `span` samples from `from` on, taken as
// the change between the medians of its two halves.
double DriftPerSample(const int16_t* in, std::ptrdiff_t from, std::ptrdiff_t span) {
  const std::ptrdiff_t half = span / 2;
  if (half < 1) {
    return 0.0;
  }
  return (MedianLevel(in, from + half, from + 2 * half) - MedianLevel(in, from, from + half)) /
         static_cast<double>(half);
}

}  // namespace

std::string LeadFilterName(unsigned filter) {
  for (const FilterInfo& info : kFilters) {
    if (info.bit == filter) {
      return info.name;
    }
  }
  return std::string();
}

std::string LeadFilterNames(unsigned filters) {
  std::string names;
  for (const FilterInfo& info : kFilters) {
    if ((filters & info.bit) != 0) {
      names += (names.empty() ? "" : ",") + std::string(info.name);
    }
  }
  return names;
}

bool ParseLeadFilters(const std::string& text, unsigned* filters) {
  unsigned parsed = kLeadFilterNone;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string name = text.substr(start, comma - start);
    unsigned bit = kLeadFilterNone;
    for (const FilterInfo& info : kFilters) {
      if (name == info.name) {
        bit = info.bit;
      }
    }
    if (bit == kLeadFilterNone) {
      return false;
    }
    parsed |= bit;
    start = comma + 1;
  }
  *filters = parsed;
  return true;
}

unsigned FilterLeadSamples(const int16_t* in, int32_t count, uint32_t sampleInterval,
                           unsigned filters, double* out) {
  if (count <= 0) {
    return kLeadFilterNone;
  }
  const double rateHz = sampleInterval > 0 ? kMicrosecondsPerSecond / sampleInterval : 0.0;
  const double nyquistHz = rateHz / 2;
  Section sections[kMaxSections];
  int sectionCount = 0;
  unsigned applied = kLeadFilterNone;
  const auto add = [&](unsigned bit, double hz, Section (*design)(double, double)) {
    if ((filters & bit) != 0 && hz < nyquistHz) {
      sections[sectionCount++] = design(hz, rateHz);
      applied |= bit;
    }
  };
  add(kLeadFilterBaseline, kBaselineCutoffHz, HighPass);
  add(kLeadFilterMains50, kMains50Hz, Notch);
  add(kLeadFilterMains60, kMains60Hz, Notch);
  add(kLeadFilterLowPass40, kLowPassHz, LowPass);

  if (sectionCount == 0 || count < 2) {
    std::copy(in, in + count, out);
    return applied;
  }
  // The lead mirrored at each end, so that the beats go on upright past the ends and the filters
  // have settled on them by the first and last samples; each mirror image is tilted by twice the
  // drift at its end, so that a wandering baseline carries on in the same direction rather than
  // turning back with a kink the baseline filter would ring on.
  const std::ptrdiff_t padding = std::min<std::ptrdiff_t>(
      count - 1, static_cast<std::ptrdiff_t>(rateHz * kEdgePaddingSeconds));
  std::vector<double> extended(static_cast<size_t>(count + 2 * padding));
  const double firstDrift = DriftPerSample(in, 0, padding + 1);
  const double lastDrift = DriftPerSample(in, count - 1 - padding, padding + 1);
  for (std::ptrdiff_t k = 1; k <= padding; ++k) {
    extended[static_cast<size_t>(padding - k)] = in[k] - 2 * firstDrift * k;
    extended[static_cast<size_t>(padding + count - 1 + k)] = in[count - 1 - k] + 2 * lastDrift * k;
  }
  std::copy(in, in + count, extended.begin() + padding);
  const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(extended.size()) - 1;
  RunCascade(sections, sectionCount, extended.data(), 0, end);
  RunCascade(sections, sectionCount, extended.data(), end, 0);
  std::copy(extended.begin() + padding, extended.begin() + padding + count, out);
  return applied;
}

void RoundFilteredSamples(const double* in, int32_t count, int16_t* out) {
  constexpr double kLow = std::numeric_limits<int16_t>::min();
  constexpr double kHigh = std::numeric_limits<int16_t>::max();
  for (int32_t k = 0; k < count; ++k) {
    const double value = in[k] == in[k] ? std::round(in[k]) : 0.0;
    out[k] = static_cast<int16_t>(std::clamp(value, kLow, kHigh));
  }
}
