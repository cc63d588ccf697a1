#include "tools/scpgen/SyntheticEcg.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace scpgen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMicrovoltsPerMillivolt = 1000.0;
constexpr double kNanovoltsPerMicrovolt = 1000.0;
constexpr double kMicrosecondsPerMillisecond = 1000.0;
constexpr double kMillisecondsPerMinute = 60000.0;

constexpr double kFirstBeatMs = 350.0;
constexpr double kFirstBeatJitterMs = 20.0;
constexpr double kRespirationPeriodMs = 4000.0;
constexpr double kRespiratoryRrSwing = 0.03;         // +-3 % of the mean RR interval
constexpr double kRandomRrSpread = 0.015;            // +-1.5 %
constexpr double kRespiratoryAmplitudeSwing = 0.05;  // +-5 % of the beat amplitude
constexpr double kSecondWanderPeriodMs = 5500.0;

// A direction in the body: x to the patient's left, y to the feet, z to the front.
struct Vector3 {
  double x;
  double y;
  double z;
};

double Dot(const Vector3& a, const Vector3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// One wave of the cardiac dipole: a bump that rises over `leftMs` before its centre and falls
// over `rightMs` after it, pointing along `millivolts`.
struct Wave {
  double centreMs;
  double leftMs;
  double rightMs;
  Vector3 millivolts;
};

// P; septal, early and late ventricular, and basal depolarisation (the QRS complex); T. The
// supports end exactly at the kP..., kQrs... and kT... bounds of the header.
constexpr Wave kP = {-160, 56, 56, {0.09, 0.13, 0.03}};
constexpr Wave kSeptal = {-22, 18, 18, {-0.15, 0.05, 0.15}};
constexpr Wave kEarlyVentricular = {-6, 20, 20, {0.5, 0.5, 0.35}};
constexpr Wave kLateVentricular = {8, 20, 20, {0.6, 0.6, -0.45}};
constexpr Wave kBasal = {28, 16, 16, {-0.2, -0.25, -0.1}};
constexpr Wave kT = {250, 110, 80, {0.20, 0.22, 0.15}};
constexpr Wave kWaves[] = {kP, kSeptal, kEarlyVentricular, kLateVentricular, kBasal, kT};
constexpr Wave kQrsWaves[] = {kSeptal, kEarlyVentricular, kLateVentricular, kBasal};

static_assert(kP.centreMs - kP.leftMs == kPOnsetMs && kP.centreMs + kP.rightMs == kPOffsetMs);
static_assert(kSeptal.centreMs - kSeptal.leftMs == kQrsOnsetMs);
static_assert(kBasal.centreMs + kBasal.rightMs == kQrsOffsetMs);
static_assert(kT.centreMs - kT.leftMs == kTOnsetMs && kT.centreMs + kT.rightMs == kTOffsetMs);

// The triweight kernel (1 - u^2)^3: Gaussian-like, smooth, and exactly zero from |u| = 1 on.
double Bump(const Wave& wave, double ms) {
  const double u = (ms - wave.centreMs) / (ms < wave.centreMs ? wave.leftMs : wave.rightMs);
  if (u <= -1.0 || u >= 1.0) {
    return 0.0;
  }
  const double v = 1.0 - u * u;
  return v * v * v;
}

// The area of a bump relative to its peak, in milliseconds.
double BumpArea(const Wave& wave) {
  return 16.0 / 35.0 * (wave.leftMs + wave.rightMs);
}

// Lead axes. The limb leads are weighted sums of the axes of I and II (III = II - I,
// aVR = -(I + II) / 2, aVL = I - II / 2, aVF = II - I / 2); the chest leads lie in the horizontal
// plane at their angle from the left toward the front, each with the gain its closeness to the
// heart gives it.
constexpr Vector3 kAxisI = {1.0, 0.0, 0.0};
constexpr Vector3 kAxisII = {0.5, 0.86602540378443865, 0.0};  // 60 degrees

struct LimbLead {
  uint8_t code;
  double weightI;
  double weightII;
};
constexpr LimbLead kLimbLeads[] = {{1, 1.0, 0.0},    {2, 0.0, 1.0},   {61, -1.0, 1.0},
                                   {62, -0.5, -0.5}, {63, 1.0, -0.5}, {64, -0.5, 1.0}};

struct ChestLead {
  uint8_t code;
  double degreesFromLeft;
  double gain;
};
constexpr ChestLead kChestLeads[] = {{3, 115, 1.6}, {4, 95, 2.2}, {5, 75, 2.2},
                                     {6, 55, 2.0},  {7, 30, 1.6}, {8, 0, 1.2}};

bool LeadAxis(uint8_t leadCode, Vector3* axis) {
  for (const LimbLead& lead : kLimbLeads) {
    if (lead.code == leadCode) {
      *axis = {lead.weightI * kAxisI.x + lead.weightII * kAxisII.x,
               lead.weightI * kAxisI.y + lead.weightII * kAxisII.y, 0.0};
      return true;
    }
  }
  for (const ChestLead& lead : kChestLeads) {
    if (lead.code == leadCode) {
      const double radians = lead.degreesFromLeft * kPi / 180.0;
      *axis = {lead.gain * std::cos(radians), 0.0, lead.gain * std::sin(radians)};
      return true;
    }
  }
  return false;
}

// SplitMix64: a small generator whose sequence is the same on every platform.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  // Uniform in [0, 1).
  double Uniform() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }

  // Uniform in [-1, 1).
  double Symmetric() { return 2.0 * Uniform() - 1.0; }

  // Roughly normal with unit variance: the sum of four uniforms, centred and scaled.
  double Normal() {
    const double sum = Uniform() + Uniform() + Uniform() + Uniform();
    return (sum - 2.0) * std::sqrt(3.0);
  }

 private:
  uint64_t state_;
};

int16_t ToUnits(double microvolts, uint16_t unitNanovolts) {
  const double units = std::round(microvolts * kNanovoltsPerMicrovolt / unitNanovolts);
  return static_cast<int16_t>(std::clamp(units,
                                         static_cast<double>(std::numeric_limits<int16_t>::min()),
                                         static_cast<double>(std::numeric_limits<int16_t>::max())));
}

}  // namespace

const std::vector<int16_t>* SyntheticEcg::Lead(uint8_t leadCode) const {
  for (int i = 0; i < kIndependentLeadCount && i < static_cast<int>(leads.size()); ++i) {
    if (kIndependentLeadCodes[i] == leadCode) {
      return &leads[i];
    }
  }
  return nullptr;
}

SyntheticEcg GenerateSyntheticEcg(const SyntheticEcgOptions& options) {
  SyntheticEcg ecg;
  ecg.sampleInterval = options.sampleInterval;
  ecg.unitNanovolts = options.unitNanovolts;
  const double intervalMs = options.sampleInterval / kMicrosecondsPerMillisecond;
  const double durationMs = options.sampleCount * intervalMs;
  Random random(options.seed);
  const double respirationPhase = 2.0 * kPi * random.Uniform();
  const double wanderPhase = 2.0 * kPi * random.Uniform();
  auto respiration = [&](double ms, double phase) {
    return std::sin(2.0 * kPi * ms / kRespirationPeriodMs + phase);
  };

  // Beats: fiducial indexes and amplitudes.
  std::vector<double> amplitudes;
  const double meanRrMs = kMillisecondsPerMinute / options.heartRate;
  double beatMs = kFirstBeatMs + kFirstBeatJitterMs * random.Symmetric();
  while (beatMs + kQrsOffsetMs < durationMs) {
    const int32_t index = static_cast<int32_t>(std::lround(beatMs / intervalMs));
    ecg.fiducials.push_back(index);
    amplitudes.push_back(1.0 + kRespiratoryAmplitudeSwing * respiration(beatMs, respirationPhase));
    const double rrMs = meanRrMs * (1.0 + kRespiratoryRrSwing * respiration(beatMs, 0.0)) *
                        (1.0 + kRandomRrSpread * random.Symmetric());
    beatMs += rrMs;
  }

  // Baseline wander: a slow drift of the dipole, following respiration.
  auto wander = [&](double ms) {
    const double a = options.wanderMicrovolts / kMicrovoltsPerMillivolt;
    return Vector3{a * respiration(ms, respirationPhase),
                   0.8 * a * respiration(ms, respirationPhase + 1.0),
                   0.5 * a * std::sin(2.0 * kPi * ms / kSecondWanderPeriodMs + wanderPhase)};
  };

  ecg.leads.assign(kIndependentLeadCount, std::vector<int16_t>(options.sampleCount, 0));
  for (int lead = 0; lead < kIndependentLeadCount; ++lead) {
    Vector3 axis{};
    LeadAxis(kIndependentLeadCodes[lead], &axis);
    size_t firstBeat = 0;
    for (int32_t i = 0; i < options.sampleCount; ++i) {
      const double ms = i * intervalMs;
      double millivolts = Dot(wander(ms), axis);
      while (firstBeat < ecg.fiducials.size() &&
             ms - ecg.fiducials[firstBeat] * intervalMs >= kTOffsetMs) {
        ++firstBeat;
      }
      for (size_t b = firstBeat; b < ecg.fiducials.size(); ++b) {
        const double fromFiducial = ms - ecg.fiducials[b] * intervalMs;
        if (fromFiducial <= kPOnsetMs) {
          break;
        }
        for (const Wave& wave : kWaves) {
          millivolts += amplitudes[b] * Bump(wave, fromFiducial) * Dot(wave.millivolts, axis);
        }
      }
      double microvolts = millivolts * kMicrovoltsPerMillivolt;
      if (options.noiseMicrovolts > 0.0) {
        microvolts += options.noiseMicrovolts * random.Normal();
      }
      ecg.leads[lead][i] = ToUnits(microvolts, options.unitNanovolts);
    }
  }
  return ecg;
}

double BeatMicrovolts(uint8_t leadCode, double ms) {
  Vector3 axis{};
  if (!LeadAxis(leadCode, &axis)) {
    return 0.0;
  }
  double millivolts = 0.0;
  for (const Wave& wave : kWaves) {
    millivolts += Bump(wave, ms) * Dot(wave.millivolts, axis);
  }
  return millivolts * kMicrovoltsPerMillivolt;
}

FrontalAxes BeatAxes() {
  auto axisOf = [](const Wave* waves, size_t count) {
    double x = 0.0;
    double y = 0.0;
    for (size_t i = 0; i < count; ++i) {
      x += waves[i].millivolts.x * BumpArea(waves[i]);
      y += waves[i].millivolts.y * BumpArea(waves[i]);
    }
    return static_cast<int16_t>(std::lround(std::atan2(y, x) * 180.0 / kPi));
  };
  return {axisOf(&kP, 1), axisOf(kQrsWaves, std::size(kQrsWaves)), axisOf(&kT, 1)};
}

}  // namespace scpgen
