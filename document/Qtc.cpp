#include "document/Qtc.h"

#include <cmath>

namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr double kFraminghamSlopeMs = 154.0;
constexpr double kHodgesMsPerBeat = 1.75;
constexpr double kReferenceRate = 60.0;  // beats per minute at an RR of one second

}  // namespace

bool IsMeasureMarker(int value) {
  return value == kScpValueNotDone || value == kScpValueError || value == kScpValueNotTested;
}

const char* QtcFormulaName(QtcFormula formula) {
  switch (formula) {
    case QtcFormula::kBazett:
      return "Bazett";
    case QtcFormula::kFridericia:
      return "Fridericia";
    case QtcFormula::kFramingham:
      return "Framingham";
    case QtcFormula::kHodges:
      return "Hodges";
  }
  return "";
}

bool CorrectedQt(QtcFormula formula, int qtMs, int rrMs, double* qtcMs) {
  if (IsMeasureMarker(qtMs) || IsMeasureMarker(rrMs) || qtMs <= 0 || rrMs <= 0) {
    return false;
  }
  const double qt = qtMs;
  const double rrSeconds = rrMs / kMsPerSecond;
  switch (formula) {
    case QtcFormula::kBazett:
      *qtcMs = qt / std::sqrt(rrSeconds);
      return true;
    case QtcFormula::kFridericia:
      *qtcMs = qt / std::cbrt(rrSeconds);
      return true;
    case QtcFormula::kFramingham:
      *qtcMs = qt + kFraminghamSlopeMs * (1 - rrSeconds);
      return true;
    case QtcFormula::kHodges:
      *qtcMs = qt + kHodgesMsPerBeat * (kReferenceRate / rrSeconds - kReferenceRate);
      return true;
  }
  return false;
}
