#include "views/CEcgView.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "document/CQuillonDoc.h"
#include "framework/CDC.h"
#include "resources/ResourceIds.h"

namespace {

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
    doc->m_pEcgView = this;
  }
  CSignalView::OnInitialUpdate();
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
  const bool portrait =
      std::abs(traceArea.top - traceArea.bottom) > std::abs(traceArea.left - traceArea.right);
  const PrintColumns columns =
      portrait ? PrintColumns{kPortraitRows, kPortraitRowPitchLometric, kColumnGapLometric}
               : PrintColumns{kLandscapeRows, kLandscapeRowPitchLometric, kColumnGapLometric};
  // Every lead shows the same stretch: a share of the recording as long as lead 0.
  const int tenthsShown = portrait ? kPortraitTenthsShown : kLandscapeTenthsShown;
  int samplesShown[kMaxLeads];
  std::fill(std::begin(samplesShown), std::end(samplesShown),
            static_cast<int>(int64_t{m_nSamples[0]} * tenthsShown / 10));
  PrintLeads(dc, traceArea, columns, samplesShown, false);
}

CEcgFrame::CEcgFrame() : CDocumentFrame(kIdsEcgCaption, DocWindow::kRhythm) {}
