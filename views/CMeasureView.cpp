#include "views/CMeasureView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/CQuillonDoc.h"
#include "document/Qtc.h"
#include "framework/CDC.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "views/LeadLabel.h"
#include "views/MeasureText.h"
#include "views/ViewFont.h"

namespace {

// The labels of the nine global values, column by column: heart rate, P onset, P offset; QRS
// onset, QRS offset, T offset; P, QRS and T axes.
constexpr int kIdsGlobalLabels[3][3] = {{kIdsHeartRate, kIdsPOnset, kIdsPOffset},
                                        {kIdsQrsOnset, kIdsQrsOffset, kIdsTOffset},
                                        {kIdsPAxis, kIdsQrsAxis, kIdsTAxis}};

constexpr int kConstructionFontHeight = 18;

// Screen, in pixels with y downward.
constexpr int kScreenFontHeight = 15;
constexpr int kScreenBaseWidth = 235;   // scroll width without lead columns
constexpr int kScreenColumnWidth = 50;  // each lead column
constexpr int kScreenHeight = 720;
constexpr int kScreenRowLabelX = 10;
constexpr int kScreenFirstColumnRight = 225;  // the right edge of lead column 0
constexpr int kScreenLeadNameY = 100;
constexpr int kScreenFirstRowY = 130;
constexpr int kScreenRowPitch = 20;
constexpr int kScreenQtcY = 70;  // below the three rows of global values

// Paper, in 0.1 mm with y upward.
constexpr int kPaperFontHeight = 30;         // 3 mm
constexpr int kPortraitTopGapLometric = 20;  // 2 mm below the top of the area
constexpr int kPortraitBlockHeightLometric = 1340;
constexpr int kLandscapeBlockRight = 1815;     // the block's clip in a wide area
constexpr int kPaperGlobalsColumnPitch = 600;  // 60 mm between the three global columns
constexpr int kPaperGlobalsValueOffset = 350;  // a value ends 35 mm right of its label
constexpr int kPaperGlobalsFirstRowDrop = 10;  // 1 mm below the top
constexpr int kPaperGlobalsRowPitch = 40;
constexpr int kPaperFirstColumnRight = 600;  // the right edge of lead column 0, from left
constexpr int kPaperColumnWidth = 100;       // 10 mm per lead column
constexpr int kPaperLeadNameDrop = 140;
constexpr int kPaperFirstRowDrop = 180;
constexpr int kPaperRowPitch = 40;  // 4 mm

// Where the nine global values go: label and value x of each column, y of each row.
struct GlobalsLayout {
  int labelX[3];
  int valueX[3];
  int rowY[3];
};

// Where the per-lead table goes: x of the row labels, y of the lead names, right edge of lead
// column 0 and the width of each column, y of row 0 and the step to each next row (negative
// where y runs upward).
struct LeadTableLayout {
  int labelX;
  int leadNameY;
  int firstColumnRight;
  int columnWidth;
  int firstRowY;
  int rowStep;
};

// Draws the nine labels and values; secondColumnSuffix follows the times of the second column.
void DrawGlobals(CDC* dc, const MeasurementModel& m, const GlobalsLayout& layout,
                 const char* secondColumnSuffix) {
  const QString values[3][3] = {
      {HeartRateText(m.HeartRate()), TimeText(m.m_beat.pOnset, " ms  "),
       TimeText(m.m_beat.pOffset, " ms  ")},
      {TimeText(m.m_beat.qrsOnset, secondColumnSuffix),
       TimeText(m.m_beat.qrsOffset, secondColumnSuffix),
       TimeText(m.m_beat.tOffset, secondColumnSuffix)},
      {AxisText(m.m_beat.pAxis), AxisText(m.m_beat.qrsAxis), AxisText(m.m_beat.tAxis)},
  };
  dc->SetTextAlign(TA_LEFT | TA_TOP);
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) {
      dc->TextOut(layout.labelX[column], layout.rowY[row],
                  LoadString(kIdsGlobalLabels[column][row]));
    }
  }
  dc->SetTextAlign(TA_RIGHT);
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) {
      dc->TextOut(layout.valueX[column], layout.rowY[row], values[column][row]);
    }
  }
}

// The QT interval corrected by each formula, from QRS onset to T offset of the global
// measurements and their RR interval: "QTc  Bazett 399 ms  Fridericia 389 ms ...", with "N.D."
// for a formula that has nothing to work from.
QString QtcText(const MeasurementModel& m) {
  const int qrsOnset = m.m_beat.qrsOnset;
  const int tOffset = m.m_beat.tOffset;
  const bool qtKnown = !IsMeasureMarker(qrsOnset) && !IsMeasureMarker(tOffset);
  const int qt = qtKnown ? tOffset - qrsOnset : kScpValueNotDone;
  QString text = QStringLiteral("QTc");
  for (int formula = 0; formula < kQtcFormulaCount; ++formula) {
    const auto which = static_cast<QtcFormula>(formula);
    double qtc = 0;
    const QString value = CorrectedQt(which, qt, m.m_globalHeader.rrInterval, &qtc)
                              ? QStringLiteral("%1 ms").arg(std::lround(qtc))
                              : LoadString(kIdsValueNotDone);
    text += QStringLiteral("  %1 %2").arg(QString::fromLatin1(QtcFormulaName(which)), value);
  }
  return text;
}

// Draws the row labels, then for each shown lead its name and its values right-aligned.
void DrawLeadTable(CDC* dc, const MeasurementModel& m, const LeadTableLayout& layout) {
  dc->SetTextAlign(TA_LEFT);
  for (int row = 0; row < kMeasureRowCount; ++row) {
    dc->TextOut(layout.labelX, layout.firstRowY + layout.rowStep * row,
                LoadString(kIdsFirstMeasureRow + row));
  }
  dc->SetTextAlign(TA_RIGHT);
  for (int lead = 0; lead < m.ShownLeads(); ++lead) {
    const int columnRight = layout.firstColumnRight + layout.columnWidth * lead;
    dc->TextOut(columnRight, layout.leadNameY, LeadLabel(m.m_leads[lead].leadCode));
    for (int row = 0; row < kMeasureRowCount; ++row) {
      dc->TextOut(columnRight, layout.firstRowY + layout.rowStep * row,
                  MeasureValueText(row, m.m_leads[lead].values[row]));
    }
  }
}

}  // namespace

CMeasureView::CMeasureView(QWidget* parent)
    : CScrollView(parent), m_logFont(ViewFont(kConstructionFontHeight)) {}

void CMeasureView::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  SetScrollSizes(MM_TEXT, CSize(kScreenBaseWidth + kScreenColumnWidth * m_nColumns, kScreenHeight));
  auto* doc = dynamic_cast<CQuillonDoc*>(GetDocument());
  if (doc == nullptr) {
    return;
  }
  TakeMeasurements(doc->Measurements());
  if (IsComplete()) {
    doc->m_pMeasureView = this;
  }
}

void CMeasureView::TakeMeasurements(const MeasurementModel& model) {
  static_cast<MeasurementModel&>(*this) = model;
  // Wide enough to scroll to the last lead column.
  m_nColumns = ShownLeads();
  SetScrollSizes(MM_TEXT, CSize(kScreenBaseWidth + kScreenColumnWidth * m_nColumns, kScreenHeight));
}

void CMeasureView::OnDraw(CDC* dc) {
  m_logFont.lfHeight = kScreenFontHeight;
  CFont font;
  font.CreateFontIndirect(&m_logFont);
  const CFont oldFont = dc->SelectObject(font);
  dc->SetBkMode(TRANSPARENT);
  if (m_bHasGlobals) {
    const GlobalsLayout layout = {{10, 180, 360}, {140, 310, 490}, {10, 30, 50}};
    DrawGlobals(dc, *this, layout, " ms");
    dc->SetTextAlign(TA_LEFT | TA_TOP);
    dc->TextOut(kScreenRowLabelX, kScreenQtcY, QtcText(*this));
  }
  if (m_bHasLeadTable) {
    LeadTableLayout layout;
    layout.labelX = kScreenRowLabelX;
    layout.leadNameY = kScreenLeadNameY;
    layout.firstColumnRight = kScreenFirstColumnRight;
    layout.columnWidth = kScreenColumnWidth;
    layout.firstRowY = kScreenFirstRowY;
    layout.rowStep = kScreenRowPitch;
    DrawLeadTable(dc, *this, layout);
  }
  dc->SelectObject(oldFont);
}

CRect CMeasureView::PrintMeasurements(CDC* dc, const CRect& rect) {
  return PrintMeasurementBlock(dc, rect, *this, &m_logFont);
}

CRect PrintMeasurementBlock(CDC* dc, const CRect& rect, const MeasurementModel& model,
                            LOGFONT* logFont) {
  CRect block = rect;
  const bool portrait = std::abs(rect.bottom - rect.top) > std::abs(rect.right - rect.left);
  if (portrait) {
    block.top = rect.top - kPortraitTopGapLometric;
    block.bottom = block.top - kPortraitBlockHeightLometric;
  } else {
    block.right = kLandscapeBlockRight;
  }

  dc->SaveDC();
  logFont->lfHeight = kPaperFontHeight;
  CFont font;
  font.CreateFontIndirect(logFont);
  const CFont oldFont = dc->SelectObject(font);
  dc->IntersectClipRect(block);
  if (model.m_bHasGlobals) {
    GlobalsLayout layout;
    for (int column = 0; column < 3; ++column) {
      layout.labelX[column] = block.left + kPaperGlobalsColumnPitch * column;
      layout.valueX[column] = layout.labelX[column] + kPaperGlobalsValueOffset;
    }
    for (int row = 0; row < 3; ++row) {
      layout.rowY[row] = block.top - kPaperGlobalsFirstRowDrop - kPaperGlobalsRowPitch * row;
    }
    DrawGlobals(dc, model, layout, " ms ");
  }
  if (model.m_bHasLeadTable) {
    LeadTableLayout layout;
    layout.labelX = block.left;
    layout.leadNameY = block.top - kPaperLeadNameDrop;
    layout.firstColumnRight = block.left + kPaperFirstColumnRight;
    layout.columnWidth = kPaperColumnWidth;
    layout.firstRowY = block.top - kPaperFirstRowDrop;
    layout.rowStep = -kPaperRowPitch;
    DrawLeadTable(dc, model, layout);
  }
  dc->SelectObject(oldFont);
  dc->RestoreDC(-1);

  const int rows = model.m_bHasLeadTable ? kMeasureRowCount : 0;
  if (portrait) {
    return CRect(rect.left, block.top - kPaperFirstRowDrop - kPaperRowPitch * rows, rect.right,
                 rect.bottom);
  }
  return CRect(rect.left + kPaperFirstColumnRight + kPaperColumnWidth * model.ShownLeads(),
               rect.top, rect.right, rect.bottom);
}

CMeasureFrame::CMeasureFrame() : CDocumentFrame(kIdsMeasureCaption, DocWindow::kMeasurements) {}
