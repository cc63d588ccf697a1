// A deterministic synthetic resting 12-lead ECG: the P, QRS and T waves of a cardiac dipole,
// projected on the axes of the standard leads, at about 70 beats per minute.
#pragma once

#include <cstdint>
#include <vector>

namespace scpgen {

// The eight leads an SCP-ECG record stores (I, II, V1 to V6) by lead code; the limb leads III,
// aVR, aVL and aVF follow from I and II.
constexpr int kIndependentLeadCount = 8;
constexpr uint8_t kIndependentLeadCodes[kIndependentLeadCount] = {1, 2, 3, 4, 5, 6, 7, 8};

// Lead codes of the twelve standard leads in display order: I, II, III, aVR, aVL, aVF, V1 to V6.
constexpr int kStandardLeadCount = 12;
constexpr uint8_t kStandardLeadCodes[kStandardLeadCount] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};

// Where each wave of a beat begins and ends, in milliseconds from the beat's fiducial point (the R
// peak). The waves are smooth bumps that are exactly zero outside these bounds.
constexpr int kPOnsetMs = -216;
constexpr int kPOffsetMs = -104;
constexpr int kQrsOnsetMs = -40;
constexpr int kQrsOffsetMs = 44;
constexpr int kTOnsetMs = 140;
constexpr int kTOffsetMs = 330;

struct SyntheticEcgOptions {
  uint32_t seed = 1;               // drives the beat-to-beat variation, the wander phase and noise
  double heartRate = 70.0;         // mean beats per minute
  int32_t sampleCount = 5000;      // samples per lead
  uint16_t sampleInterval = 2000;  // microseconds (500 Hz)
  uint16_t unitNanovolts = 5000;   // one sample unit, nanovolts (5 uV)
  double wanderMicrovolts = 40.0;  // amplitude of the respiratory baseline wander
  double noiseMicrovolts = 0.0;    // RMS of the independent noise added to every stored lead
};

struct SyntheticEcg {
  uint16_t sampleInterval = 0;     // microseconds
  uint16_t unitNanovolts = 0;      // nanovolts per sample unit
  std::vector<int32_t> fiducials;  // 0-based sample index of every beat's R peak, ascending
  // The independent leads in the order of kIndependentLeadCodes, sampleCount samples each, in
  // units of unitNanovolts.
  std::vector<std::vector<int16_t>> leads;

  // Returns the samples of an independent lead (codes 1 to 8); null for any other code.
  const std::vector<int16_t>* Lead(uint8_t leadCode) const;
};

// Builds the ECG. The same options always give the same samples. Beats start 350 ms into the
// recording and follow one another at 60000 / heartRate ms with a 4-second respiratory swing of
// +-3 % and up to +-1.5 % of random variation; every beat whose QRS complex ends inside the
// recording is included. Respiration also modulates the beat amplitude by +-5 %. Samples are
// rounded to the nearest unit and clipped to 16 bits.
SyntheticEcg GenerateSyntheticEcg(const SyntheticEcgOptions& options);

// Returns the value, in microvolts, of one beat of any of the twelve standard leads at `ms`
// milliseconds from its fiducial point: the noise-free, unmodulated waveform without wander, from
// which the per-lead measurements are taken. 0 for a lead code that is not standard.
double BeatMicrovolts(uint8_t leadCode, double ms);

// The mean electrical axes of the beat in the frontal plane, degrees (0 points to the patient's
// left, +90 to the feet).
struct FrontalAxes {
  int16_t p;
  int16_t qrs;
  int16_t t;
};
FrontalAxes BeatAxes();

}  // namespace scpgen
