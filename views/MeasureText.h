// The texts of the measurement table: global values and per-lead values, on screen and on paper.
#pragma once

#include <QString>

#include <cstdint>

#include "document/MeasurementModel.h"
#include "resources/ResourceIds.h"

// Returns the text of per-lead value `value` in row `row` (0 to kMeasureRowCount - 1, the rows of
// resources/ResourceIds.h). The markers 29999 ("N.D."),
// 29998 ("Error") and 19999 ("N.T.") win over every row's format; otherwise durations and segments
// show as "%5u", amplitudes and slopes as "%5d", morphologies by their name, the quality row as
// "???". A morphology code outside 0 to 8 shows as "N.D.".
QString MeasureValueText(int row, int value);

// Returns "<rate> bpm" for a determined heart rate, else its marker's text ("N.D.", "Error",
// "N.T.").
QString HeartRateText(const DerivedValue& heartRate);

// Returns the text of a marker: "N.D.", "Error" or "N.T."; empty for kNone.
QString MarkerText(MeasureMarker marker);

// Returns a fiducial time as "<ms>" followed by `suffix` (" ms  ", " ms", " ms "...).
QString TimeText(uint16_t milliseconds, const char* suffix);

// Returns an axis as "<degrees> °" (the degree sign, U+00B0).
QString AxisText(int16_t degrees);
