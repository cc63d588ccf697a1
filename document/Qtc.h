// The QT interval corrected for heart rate by the four formulas a reader compares, from a record's
// QT and RR intervals in milliseconds. Plain functions, no Qt.
#pragma once

#include "scp/ScpMeasurements.h"

// Returns whether value is one of the markers a measurement holds instead of a number (not done,
// an error, not tested). A corrected QT is never computed from one.
bool IsMeasureMarker(int value);

enum class QtcFormula { kBazett, kFridericia, kFramingham, kHodges };
constexpr int kQtcFormulaCount = 4;

// The formula's name as the measurement window shows it: "Bazett", "Fridericia", ...
const char* QtcFormulaName(QtcFormula formula);

// Computes the corrected QT in milliseconds into *qtcMs from qtMs and rrMs:
//   Bazett      QT / sqrt(RR)           Fridericia  QT / cbrt(RR)
//   Framingham  QT + 154 ms (1 - RR)    Hodges      QT + 1.75 ms (60 / RR - 60)
// with RR in seconds. Returns false, and leaves *qtcMs alone, when either interval is a marker or
// not positive.
bool CorrectedQt(QtcFormula formula, int qtMs, int rrMs, double* qtcMs);
