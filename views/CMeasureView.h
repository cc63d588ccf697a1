// The measurement view: the global measurements of the first reference beat and a table of the
// per-lead measurements, on screen and as the measurement block of the average-beat page; and
// its child frame, captioned "MEASUREMENT".
#pragma once

#include "document/MeasurementModel.h"
#include "framework/CScrollView.h"
#include "framework/GdiObjects.h"
#include "views/CDocumentFrame.h"

class CDC;

// Prints the measurement block of `model` at the top of rect (in MM_LOMETRIC) with a font made
// from logFont (its height set to 3 mm), and returns the part of rect left free: below the block
// for a rect taller than wide, to the right of the last lead column otherwise. Without a lead
// table the block counts as having no rows and no columns.
CRect PrintMeasurementBlock(CDC* dc, const CRect& rect, const MeasurementModel& model,
                            LOGFONT* logFont);

// The view shows its own copy of the document's measurement model, taken at its initial update.
class CMeasureView : public CScrollView, public MeasurementModel {
  Q_OBJECT

 public:
  explicit CMeasureView(QWidget* parent = nullptr);

  // Takes the document's measurements and, when both sections were read, registers the view with
  // the Document as its measurement view.
  void OnInitialUpdate() override;
  // Takes the measurements of `model`; the scroll width then reaches the last lead column.
  void TakeMeasurements(const MeasurementModel& model);

  // The screen table, in pixels.
  void OnDraw(CDC* dc) override;
  // Prints this view's measurement block; see PrintMeasurementBlock.
  CRect PrintMeasurements(CDC* dc, const CRect& rect);

  LOGFONT m_logFont;
  int m_nColumns = 0;
};

class CMeasureFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CMeasureFrame();
};
