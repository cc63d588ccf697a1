#include "views/MeasureText.h"

#include "document/Qtc.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "scp/ScpFields.h"

namespace {

// The table shows one row per value of a stored lead block.
static_assert(kMeasureRowCount == kScpLeadMeasurementValues, "one row per stored lead value");

// The row groups of a lead block and how each shows its value.
constexpr int kLastDurationRow = 8;    // rows 0..8: durations, unsigned
constexpr int kLastAmplitudeRow = 19;  // rows 9..19: amplitudes and ST slope, signed
constexpr int kPMorphologyRow = 20;
constexpr int kTMorphologyRow = 21;
constexpr int kLastSegmentRow = 24;  // rows 22..24: segments and intrinsic deflection, unsigned
constexpr int kQualityRow = 25;      // its value is never shown

}  // namespace

QString MeasureValueText(int row, int value) {
  const MeasureMarker marker = MarkerOf(value);
  if (marker != MeasureMarker::kNone) {
    return MarkerText(marker);
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

QString HeartRateText(const DerivedValue& heartRate) {
  if (!heartRate.IsDetermined()) {
    return MarkerText(heartRate.marker);
  }
  return QString::asprintf("%d bpm", heartRate.value);
}

QString MarkerText(MeasureMarker marker) {
  switch (marker) {
    case MeasureMarker::kNotDone:
      return LoadString(kIdsValueNotDone);
    case MeasureMarker::kError:
      return LoadString(kIdsValueError);
    case MeasureMarker::kNotTested:
      return LoadString(kIdsValueNotTested);
    case MeasureMarker::kNone:
      break;
  }
  return QString();
}

QString TimeText(uint16_t milliseconds, const char* suffix) {
  return QString::number(milliseconds) + QLatin1String(suffix);
}

QString AxisText(int16_t degrees) {
  return QString::number(degrees) + QStringLiteral(" \u00B0");
}
