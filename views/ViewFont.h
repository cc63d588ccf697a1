// The font the views write their labels and tables in: Arial, upright, of normal weight.
#pragma once

#include "framework/GdiObjects.h"
#include "framework/GdiTypes.h"

// The views' font description at a height in logical units; the views change only the height
// afterwards, as they move between screen and paper.
inline LOGFONT ViewFont(int height) {
  LOGFONT logFont;
  logFont.lfHeight = height;
  logFont.lfOutPrecision = OUT_TT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = PROOF_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH;
  logFont.lfFaceName = QStringLiteral("Arial");
  return logFont;
}
