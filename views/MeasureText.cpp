#include "views/MeasureText.h"

#include "framework/ResourceTable.h"

namespace {

// Values that are markers, not measurements, and the strings that name them.
constexpr int kValueNotDone = 29999;
constexpr int kValueError = 29998;
constexpr int kValueNotTested = 19999;
constexpr int kIdsNotDone = 98;     // "N.D."
constexpr int kIdsError = 99;       // "Error"
constexpr int kIdsNotTested = 100;  // "N.T."

// Morphology code c (0 to 8) is named by string 101 + c ("??", "P", "N", ... "W").
constexpr int kIdsFirstMorphology = 101;
constexpr int kMorphologyCodes = 9;

// The row groups of a lead block and how each shows its value.
constexpr int kLastDurationRow = 8;    // rows 0..8: durations, unsigned
constexpr int kLastAmplitudeRow = 19;  // rows 9..19: amplitudes and ST slope, signed
constexpr int kPMorphologyRow = 20;
constexpr int kTMorphologyRow = 21;
constexpr int kLastSegmentRow = 24;  // rows 22..24: segments and intrinsic deflection, unsigned
constexpr int kQualityRow = 25;      // its value is never shown

constexpr double kMillisecondsPerMinute = 60000.0;

}  // namespace

QString MeasureValueText(int row, int value) {
  if (value == kValueNotTested) {
    return LoadString(kIdsNotTested);
  }
  if (value == kValueError) {
    return LoadString(kIdsError);
  }
  if (value == kValueNotDone) {
    return LoadString(kIdsNotDone);
  }
  if (row < 0 || row >= kMeasureRows) {
    return QString();
  }
  if (row <= kLastDurationRow) {
    return QString::asprintf("%5u", static_cast<unsigned>(value));
  }
  if (row <= kLastAmplitudeRow) {
    return QString::asprintf("%5d", value);
  }
  if (row == kPMorphologyRow || row == kTMorphologyRow) {
    const bool known = value >= 0 && value < kMorphologyCodes;
    return LoadString(known ? kIdsFirstMorphology + value : kIdsNotDone);
  }
  if (row <= kLastSegmentRow) {
    return QString::asprintf("%5u", static_cast<unsigned>(value));
  }
  if (row == kQualityRow) {
    return QStringLiteral("???");
  }
  return QString::asprintf("%5d", value);
}

QString HeartRateText(uint16_t rrIntervalMs) {
  if (rrIntervalMs == 0) {
    return LoadString(kIdsNotDone);
  }
  const int beatsPerMinute = static_cast<int>(kMillisecondsPerMinute / rrIntervalMs);
  return QString::asprintf("%d bpm", beatsPerMinute);
}

QString TimeText(uint16_t milliseconds, const char* suffix) {
  return QString::number(milliseconds) + QLatin1String(suffix);
}

QString AxisText(int16_t degrees) {
  return QString::number(degrees) + QStringLiteral(" \u00B0");
}
