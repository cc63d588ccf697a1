// What the printed pages ask of the patient form: to frame the page with the patient and
// examination data and say what is left for the traces.
#pragma once

#include "framework/GdiTypes.h"

class CDC;

// Implemented by the patient form of a document.
class IPatientHeaderPrinter {
 public:
  virtual ~IPatientHeaderPrinter() = default;
  // Draws the header and footer boxes of a page on dc (in MM_LOMETRIC) and returns the rectangle
  // between them, in logical units.
  virtual CRect PrintPatientHeader(CDC* dc) = 0;
};
