#include "views/CEcgView.h"

#include <cstdint>
#include <cstdlib>

#include "doc/CQuillonDoc.h"
#include "framework/CDC.h"

namespace {

constexpr int kIdsEcgCaption = 149;

// Screen paper.
constexpr int kLeftMarginLometric = 80;   // 8 mm to the start of the traces
constexpr int kTopMarginLometric = 200;   // 20 mm to the first zero line
constexpr int kRowPitchLometric = 400;    // 40 mm between zero lines
constexpr int kRightMarginLometric = 80;  // 8 mm after the end of lead 0
constexpr int kBottomMarginLometric = 200;

// Printed page: a page taller than wide shows 12 rows of the first 70 % of the recording, one
// wider than tall 6 rows of the first half in two columns.
constexpr int kPortraitRows = 12;
constexpr int kPortraitRowPitchLometric = 200;  // 20 mm
constexpr int kPortraitTenthsShown = 7;
constexpr int kLandscapeRows = 6;
constexpr int kLandscapeRowPitchLometric = 280;  // 28 mm
constexpr int kLandscapeTenthsShown = 5;
constexpr int kColumnGapLometric = 100;  // 10 mm after the end of the lead to the left

}  // namespace

CEcgView::CEcgView(QWidget* parent) : CSignalView(parent) {
  EnablePrintCommands();
}

void CEcgView::SetUpLeads(const ScpRhythmSignal* rhythmLeads, int rhythmCount,
                          const ScpReferenceBeat* refLeads, int refCount) {
  const uint16_t sampleInterval =
      refCount != 0 ? refLeads[0].sampleInterval : rhythmLeads[0].sampleInterval;
  SetScales(rhythmLeads[0].amplitudeMultiplier, sampleInterval);
  for (int lead = 0; lead < rhythmCount; ++lead) {
    const ScpRhythmSignal& rhythm = rhythmLeads[lead];
    AddLead(rhythm, rhythm.samples, rhythm.sampleCount);
  }
  m_nLeftMargin = kLeftMarginLometric;
  m_nTopMargin = kTopMarginLometric;
  m_nRowPitch = kRowPitchLometric;
  m_nPaperWidth = kLeftMarginLometric + Trunc(m_nSamples[0] * m_dXScale + kRightMarginLometric);
  m_nPaperHeight = Trunc(m_nLeads * m_nRowPitch * m_dZoomY + kBottomMarginLometric);
}

void CEcgView::OnInitialUpdate() {
  CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr) {
    SetUpLeads(doc->m_rhythmLeads, doc->m_nRhythmLeads, doc->m_refLeads, doc->m_nRefLeads);
  }
  CSignalView::OnInitialUpdate();
  if (doc != nullptr) {
    doc->m_pEcgView = this;
  }
}

void CEcgView::OnDraw(CDC* dc) {
  m_nRowsPerColumn = m_nLeads;
  DrawLeads(dc, m_nRowsPerColumn, true, false);
}

void CEcgView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* info) {
  info->SetMaxPage(1);
}

void CEcgView::OnPrint(CDC* dc, CPrintInfo* /*info*/) {
  PrintPage(dc);
}

void CEcgView::PrintPage(CDC* dc) {
  dc->SetMapMode(MM_LOMETRIC);
  const CRect traceArea = PrintPageFrame(dc);
  dc->IntersectClipRect(traceArea);
  const double dx = m_nStep * m_dXScale;
  const double dy = m_dYScale;
  DrawPrintPaper(dc, traceArea);
  const CFont labelFont = PrintLabelFont();

  const bool portrait =
      std::abs(traceArea.top - traceArea.bottom) > std::abs(traceArea.left - traceArea.right);
  const int rows = portrait ? kPortraitRows : kLandscapeRows;
  const int rowPitch = portrait ? kPortraitRowPitchLometric : kLandscapeRowPitchLometric;
  const int tenthsShown = portrait ? kPortraitTenthsShown : kLandscapeTenthsShown;
  const int samplesShown = static_cast<int>(int64_t{m_nSamples[0]} * tenthsShown / 10);

  double traceEndX[kMaxLeads] = {};
  double zeroLineY[kMaxLeads] = {};
  for (int lead = 0; lead < m_nLeads; ++lead) {
    double x = 0;
    if (lead < rows) {
      x = m_nLeftMargin + traceArea.left;
      zeroLineY[lead] = traceArea.top - (m_nTopMargin + lead * rowPitch);
    } else {
      x = traceEndX[lead - rows] + kColumnGapLometric;
      zeroLineY[lead] = zeroLineY[lead - rows];
    }
    PrintTrace(dc, lead, samplesShown, labelFont, x, zeroLineY[lead], dx, dy, true);
    traceEndX[lead] = x;
  }
}

CEcgFrame::CEcgFrame() : CDocumentFrame(kIdsEcgCaption, DocWindow::kRhythm) {}
