#include "views/CAvgView.h"

#include <cstdlib>

#include "document/CQuillonDoc.h"
#include "framework/CDC.h"
#include "resources/ResourceIds.h"
#include "views/CMeasureView.h"
#include "views/ViewFont.h"

namespace {

// The measurement block printed above the beats: its font is set to 3 mm when it prints.
constexpr int kMeasureFontHeightLometric = 30;

// Screen paper: four columns of three beats.
constexpr int kRowsPerColumn = 3;
constexpr int kColumns = 4;
constexpr int kLeftMarginLometric = 80;  // 8 mm to the start of the first column
constexpr int kTopMarginLometric = 200;  // 20 mm to the first zero line
constexpr int kRowPitchLometric = 400;   // 40 mm between zero lines
constexpr int kColumnGapLometric = 80;   // 8 mm after each beat
constexpr int kBottomMarginLometric = 200;

// Printed page: a page taller than wide shows columns of 6 beats, one wider than tall of 3.
constexpr int kPortraitRows = 6;
constexpr int kPortraitRowPitchLometric = 280;  // 28 mm
constexpr int kLandscapeRows = 3;
constexpr int kLandscapeRowPitchLometric = 400;  // 40 mm
constexpr int kPrintColumnGapLometric = 100;     // 10 mm after the end of the beat to the left

}  // namespace

CAvgView::CAvgView(QWidget* parent) : CSignalView(parent) {
  EnablePrintCommands();
}

void CAvgView::SetUpLeads(const ScpReferenceBeat* refLeads, int refCount) {
  SetScales(refLeads[0].amplitudeMultiplier, refLeads[0].sampleInterval);
  for (int lead = 0; lead < refCount; ++lead) {
    const ScpReferenceBeat& beat = refLeads[lead];
    AddLead(beat, beat.samples, beat.sampleCount);
  }
  m_nLeftMargin = kLeftMarginLometric;
  m_nTopMargin = kTopMarginLometric;
  m_nRowPitch = kRowPitchLometric;
  const int columnWidth = Trunc(m_nSamples[0] * m_dXScale + kColumnGapLometric);
  m_nPaperWidth = kLeftMarginLometric + kColumns * columnWidth;
  m_nPaperHeight = Trunc(kRowsPerColumn * m_nRowPitch * m_dZoomY + kBottomMarginLometric);
}

void CAvgView::OnInitialUpdate() {
  CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr) {
    SetUpLeads(doc->m_refLeads, doc->m_nRefLeads);
    doc->m_pAvgView = this;
  }
  CSignalView::OnInitialUpdate();
}

void CAvgView::OnDraw(CDC* dc) {
  m_nRowsPerColumn = kRowsPerColumn;
  DrawLeads(dc, m_nRowsPerColumn, true, true);
}

void CAvgView::OnPrint(CDC* dc, CPrintInfo* /*info*/) {
  PrintPage(dc);
}

void CAvgView::PrintPage(CDC* dc) {
  dc->SetMapMode(MM_LOMETRIC);
  CRect traceArea = PrintPageFrame(dc);
  const CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr && doc->Measurements().IsComplete()) {
    LOGFONT measureFont = ViewFont(kMeasureFontHeightLometric);
    traceArea = PrintMeasurementBlock(dc, traceArea, doc->Measurements(), &measureFont);
  }
  const bool portrait =
      std::abs(traceArea.top - traceArea.bottom) > std::abs(traceArea.left - traceArea.right);
  const PrintColumns columns =
      portrait ? PrintColumns{kPortraitRows, kPortraitRowPitchLometric, kPrintColumnGapLometric}
               : PrintColumns{kLandscapeRows, kLandscapeRowPitchLometric, kPrintColumnGapLometric};
  // Every beat is printed whole.
  PrintLeads(dc, traceArea, columns, m_nSamples, true);
}

CAvgFrame::CAvgFrame() : CDocumentFrame(kIdsAvgCaption, DocWindow::kAverage) {}
