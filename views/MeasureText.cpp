#include "views/MeasureText.h"

#include "document/Qtc.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "scp/ScpFields.h"

namespace {

// Values that are markers, not measurements; kIdsValueNotDone and its neighbours name them.
constexpr int kValueNotDone = kMeasureNotDone;
constexpr int kValueError = kMeasureError;
constexpr int kValueNotTested = kMeasureNotTested;

// The table shows one row per value of a stored lead block.
static_assert(kMeasureRowCount == kScpLeadMeasurementValues, "one row per stored lead value");

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
    return LoadString(kIdsValueNotTested);
  }
  if (value == kValueError) {
    return LoadString(kIdsValueError);
  }
  if (value == kValueNotDone) {
    return LoadString(kIdsValueNotDone);
  }
  if (row < 0 || row >= kMeasureRowCount) {
    return QString();
  }
  if (row <= kLastDurationRow) {
    return QString::asprintf("%5u", static_cast<unsigned>(value));
  }
  if (row <= kLastAmplitudeRow) {
    return QString::asprintf("%5d", value);
  }
  if (row == kPMorphologyRow || row == kTMorphologyRow) {
    const bool known = value >= 0 && value < kMorphologyCount;
    return LoadString(known ? kIdsFirstMorphology + value : kIdsValueNotDone);
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
    return LoadString(kIdsValueNotDone);
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
