#include "views/CEcgView.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

#include <QPageLayout>
#include <QPrinter>

#include "document/CQuillonDoc.h"
#include "framework/CDC.h"
#include "framework/CPrintInfo.h"
#include "framework/CWinApp.h"
#include "framework/ResourceTable.h"
#include "leads/LeadFilters.h"
#include "resources/ResourceIds.h"
#include "views/LeadLabel.h"

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

// Grid layouts, on screen and paper (zoomed on screen): the calibration pulse 5 mm in, the traces
// 3 mm after it, rows 3 mV of the gain apart (never less than 15 mm) on screen.
constexpr int kGridLeftMarginLometric = 50;
constexpr int kPulseGapLometric = 30;
constexpr int kGridRightMarginLometric = 80;
constexpr int kGridTopMarginLometric = 100;     // on screen, above the first row
constexpr int kGridBottomMarginLometric = 100;  // on screen, below the last row
constexpr double kGridRowMillivolts = 3.0;
constexpr int kMinGridRowPitchLometric = 150;
constexpr int kLometricPerMillimetre = 10;
constexpr double kPulseSeconds = 0.2;
constexpr int kGridLabelHeightLometric = 40;       // 4 mm on screen, whatever the zoom
constexpr int kPrintGridLabelHeightLometric = 30;  // 3 mm on paper
constexpr int kLabelInsetLometric = 10;            // 1 mm inside the lane's top left corner
constexpr UINT kGridLabelAlign = TA_LEFT | TA_TOP;
constexpr int kPrintPenWidthLometric = 2;  // 0.2 mm
constexpr COLORREF kPrintInk = RGB(0, 0, 0);

// Printed grid: 5 mm of paper above the first row and below the last.
constexpr int kPageTopGapLometric = 50;
constexpr int kPageBottomGapLometric = 50;
constexpr double kPageRowMillivolts = 5.0;

// 12x1 labels: right-aligned 1 mm before the calibration pulse, on the lead's zero line.
constexpr int kRowLabelHeightLometric = 40;  // 4 mm on screen, whatever the zoom
constexpr int kRowLabelGapLometric = 10;
constexpr UINT kRowLabelAlign = TA_RIGHT | TA_BASELINE;

}  // namespace

namespace {

// Where the reading settings are remembered: speed and gain in tenths, the layout by its index.
const QString kReadingSection = QStringLiteral("Reading");
const QString kLayoutEntry = QStringLiteral("Layout");
const QString kStripLeadEntry = QStringLiteral("StripLead");
const QString kSpeedEntry = QStringLiteral("SpeedTenths");
const QString kGainEntry = QStringLiteral("GainTenths");
constexpr double kTenths = 10.0;

// The choice among `choices` whose value in tenths is `tenths`, or fallback.
double ChoiceOfTenths(int tenths, const double* choices, int count, double fallback) {
  for (int i = 0; i < count; ++i) {
    if (static_cast<int>(choices[i] * kTenths) == tenths) {
      return choices[i];
    }
  }
  return fallback;
}

}  // namespace

CEcgView::CEcgView(QWidget* parent) : CSignalView(parent) {
  EnablePrintCommands();
  CreateReadingCommands();
}

void CEcgView::CreateReadingCommands() {
  OnCommandRange(kCmdLayoutFirst, kCmdLayoutLast, [this](int id) {
    SetLayout(static_cast<RhythmLayout>(id - kCmdLayoutFirst), m_stripLeadCode);
    SaveReadingSettings();
  });
  OnUpdateCommandUIRange(kCmdLayoutFirst, kCmdLayoutLast, [this](CCmdUI* cmdUI) {
    cmdUI->SetCheck(static_cast<int>(m_layout) == cmdUI->m_nID - kCmdLayoutFirst ? 1 : 0);
  });
  OnCommandRange(kCmdSpeedFirst, kCmdSpeedLast, [this](int id) {
    SetSpeedAndGain(kSpeeds[id - kCmdSpeedFirst], Gain());
    SaveReadingSettings();
  });
  OnUpdateCommandUIRange(kCmdSpeedFirst, kCmdSpeedLast, [this](CCmdUI* cmdUI) {
    cmdUI->SetCheck(kSpeeds[cmdUI->m_nID - kCmdSpeedFirst] == Speed() ? 1 : 0);
  });
  OnCommandRange(kCmdGainFirst, kCmdGainLast, [this](int id) {
    SetSpeedAndGain(Speed(), kGains[id - kCmdGainFirst]);
    SaveReadingSettings();
  });
  OnUpdateCommandUIRange(kCmdGainFirst, kCmdGainLast, [this](CCmdUI* cmdUI) {
    cmdUI->SetCheck(kGains[cmdUI->m_nID - kCmdGainFirst] == Gain() ? 1 : 0);
  });
  // Filters are never remembered: a record opens as it is stored.
  OnCommandRange(kCmdFilterFirst, kCmdFilterLast,
                 [this](int id) { SetFilters(Filters() ^ (1u << (id - kCmdFilterFirst))); });
  OnUpdateCommandUIRange(kCmdFilterFirst, kCmdFilterLast, [this](CCmdUI* cmdUI) {
    cmdUI->SetCheck((Filters() & (1u << (cmdUI->m_nID - kCmdFilterFirst))) != 0 ? 1 : 0);
  });
}

QString CEcgView::ReadingText() const {
  return SettingsText(m_layout);
}

void CEcgView::LoadReadingSettings() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return;
  }
  const double speed = ChoiceOfTenths(
      app->GetProfileInt(kReadingSection, kSpeedEntry, static_cast<int>(kStandardSpeed * kTenths)),
      kSpeeds, kSpeedCount, kStandardSpeed);
  const double gain = ChoiceOfTenths(
      app->GetProfileInt(kReadingSection, kGainEntry, static_cast<int>(kStandardGain * kTenths)),
      kGains, kGainCount, kStandardGain);
  SetReadingScales(speed, gain);
  const int layout = app->GetProfileInt(kReadingSection, kLayoutEntry, 0);
  const int strip = app->GetProfileInt(kReadingSection, kStripLeadEntry, kLeadCodeII);
  bool stripKnown = false;
  for (uint8_t code : kDisplayLeadCodes) {
    stripKnown |= code == strip;
  }
  m_stripLeadCode = stripKnown ? static_cast<uint8_t>(strip) : kLeadCodeII;
  if (layout > 0 && layout < kRhythmLayoutCount) {
    m_layout = static_cast<RhythmLayout>(layout);
    m_pageLayout = m_layout;
  }
  SizePaper();
}

void CEcgView::SaveReadingSettings() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return;
  }
  app->WriteProfileInt(kReadingSection, kLayoutEntry, static_cast<int>(m_layout));
  app->WriteProfileInt(kReadingSection, kStripLeadEntry, m_stripLeadCode);
  app->WriteProfileInt(kReadingSection, kSpeedEntry, static_cast<int>(Speed() * kTenths));
  app->WriteProfileInt(kReadingSection, kGainEntry, static_cast<int>(Gain() * kTenths));
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
  SizePaper();
}

namespace {

// The width of the calibration pulse at zoom 1 at a paper speed, and where the traces start.
double PulseWidth(double speed) {
  return kPulseSeconds * speed * kLometricPerMillimetre;
}

double TraceOffset(double speed) {
  return kGridLeftMarginLometric + PulseWidth(speed) + kPulseGapLometric;
}

// In 12x1 each row's pulse stands where the row starts and its trace follows this far on.
double PulseAndGap(double speed) {
  return PulseWidth(speed) + kPulseGapLometric;
}

// The lane of a row whose zero line is zeroLineY, pitch high, from left to right: what its trace
// may draw on.
CRect RowLane(int left, double zeroLineY, double pitch, int right) {
  return CRect(left, CSignalView::Trunc(zeroLineY + pitch / 2), right,
               CSignalView::Trunc(zeroLineY - pitch / 2));
}

int ScreenRowPitch(double gain) {
  return std::max(kMinGridRowPitchLometric,
                  static_cast<int>(kGridRowMillivolts * gain * kLometricPerMillimetre));
}

// On paper the rows share the height, but stay at most 5 mV of the gain apart.
int PageRowPitchLimit(double gain) {
  return static_cast<int>(kPageRowMillivolts * gain * kLometricPerMillimetre);
}

}  // namespace

void CEcgView::SizePaper() {
  if (m_layout == RhythmLayout::k12x1) {
    m_nPaperWidth = kLeftMarginLometric +
                    Trunc(PulseAndGap(Speed()) + m_nSamples[0] * m_dXScale + kRightMarginLometric);
    m_nPaperHeight = Trunc(m_nLeads * m_nRowPitch * m_dZoomY + kBottomMarginLometric);
    return;
  }
  const RhythmGrid grid = GridOf(m_layout, m_nSamples[0]);
  m_nPaperWidth =
      Trunc(TraceOffset(Speed()) + m_nSamples[0] * m_dXScale + kGridRightMarginLometric);
  m_nPaperHeight =
      kGridTopMarginLometric + grid.rows * ScreenRowPitch(Gain()) + kGridBottomMarginLometric;
}

RhythmGrid CEcgView::GridOf(RhythmLayout layout, int shownSamples) const {
  uint8_t codes[kMaxLeads] = {};
  for (int lead = 0; lead < m_nLeads; ++lead) {
    codes[lead] = m_leads[lead].leadCode;
  }
  return LayRhythmGrid(layout, codes, m_nLeads, shownSamples, m_stripLeadCode);
}

void CEcgView::SetLayout(RhythmLayout layout, uint8_t stripLeadCode) {
  m_layout = layout;
  m_pageLayout = layout;
  m_stripLeadCode = stripLeadCode;
  SizePaper();
  SetScrollSizes(MM_LOMETRIC,
                 CSize(Trunc(m_nPaperWidth * m_dZoomX), Trunc(m_nPaperHeight * m_dZoomY)));
  Invalidate(true);
}

void CEcgView::SetSpeedAndGain(double speed, double gain) {
  SetReadingScales(speed, gain);
  SizePaper();
  SetScrollSizes(MM_LOMETRIC,
                 CSize(Trunc(m_nPaperWidth * m_dZoomX), Trunc(m_nPaperHeight * m_dZoomY)));
  Invalidate(true);
}

QString CEcgView::SettingsText(RhythmLayout layout) const {
  QString text = QStringLiteral("%1 mm/s  %2 mm/mV  %3")
                     .arg(DecimalText(Speed()), DecimalText(Gain()),
                          QString::fromLatin1(RhythmLayoutName(layout)));
  if (Filters() != kLeadFilterNone) {
    text += QStringLiteral("  ") + QString::fromStdString(LeadFilterNames(Filters()));
  }
  return text;
}

QString CEcgView::SecondsShownText(int samplesShown) const {
  if (samplesShown >= m_nSamples[0] || Speed() <= 0) {
    return QString();
  }
  const double secondsPerSample = m_dXScale / (Speed() * kLometricPerMillimetre);
  const auto seconds = [](double value) { return DecimalText(value, 1); };
  return LoadString(kIdsPageSecondsShown)
      .arg(seconds(0), seconds(samplesShown * secondsPerSample),
           seconds(m_nSamples[0] * secondsPerSample));
}

int CEcgView::SamplesShownOnPage(RhythmLayout layout, const CRect& traceArea) const {
  const double dx = m_nStep * m_dXScale;
  const double width = std::abs(traceArea.right - traceArea.left);
  if (layout != RhythmLayout::k12x1) {
    const double across = width - TraceOffset(Speed()) - kGridLeftMarginLometric;
    if (dx <= 0 || across <= 0) {
      return 0;
    }
    return std::min(m_nSamples[0], Trunc(across / dx));
  }
  // A share of the recording, as much of it as the columns hold after the labels and pulses: a
  // trace starts one step late per sample its lead's start lies beyond the first.
  const OneLeadARowPage page = OneLeadARowPageOf(traceArea);
  const int share = static_cast<int>(int64_t{m_nSamples[0]} * page.tenthsShown / 10);
  const double across = width - m_nLeftMargin - PulseAndGap(Speed()) -
                        (page.columns.rows < m_nLeads ? kColumnGapLometric : 0);
  const int columnCount = page.columns.rows < m_nLeads ? 2 : 1;
  if (dx <= 0 || across <= 0) {
    return 0;
  }
  const int startSteps = std::max(0, m_nLeads > 0 ? m_leads[0].startSample : 0) / m_nStep;
  const int fitting = Trunc(across / columnCount / dx) - startSteps;
  return std::max(0, std::min(share, fitting));
}

CEcgView::OneLeadARowPage CEcgView::OneLeadARowPageOf(const CRect& traceArea) {
  const bool portrait =
      std::abs(traceArea.top - traceArea.bottom) > std::abs(traceArea.left - traceArea.right);
  return portrait
             ? OneLeadARowPage{{kPortraitRows, kPortraitRowPitchLometric, kColumnGapLometric},
                               kPortraitTenthsShown}
             : OneLeadARowPage{{kLandscapeRows, kLandscapeRowPitchLometric, kColumnGapLometric},
                               kLandscapeTenthsShown};
}

void CEcgView::DrawGrid(CDC* dc, const RhythmGrid& grid, int left, int gridTop, int rowPitch,
                        double zoomX, double zoomY, bool onPaper) {
  const SignalStyle style = Style();
  const double dx = m_nStep * m_dXScale * zoomX;
  const double dy = m_dYScale * zoomY;
  const double pitch = rowPitch * zoomY;
  const double pulseLeft = left + kGridLeftMarginLometric * zoomX;
  const double traceLeft = left + TraceOffset(Speed()) * zoomX;
  const CPen oldPen = dc->SelectObject(onPaper ? CPen(PS_SOLID, kPrintPenWidthLometric, kPrintInk)
                                               : CPen(PS_SOLID, 0, style.trace));
  m_logFont.lfHeight = onPaper ? kPrintGridLabelHeightLometric : kGridLabelHeightLometric;
  CFont labelFont;
  labelFont.CreateFontIndirect(&m_logFont);
  const CFont oldFont = dc->SelectObject(labelFont);
  const UINT oldAlign = dc->SetTextAlign(kGridLabelAlign);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(onPaper ? kPrintInk : style.text);

  // Each row: its lane from laneTop down one pitch, the zero line in its middle, led by the pulse.
  // A pulse may rise past its lane when the rows are close at a high gain: only pulses stand
  // above it, and a cut pulse would misstate the gain.
  const auto laneTop = [&](int row) { return gridTop - row * pitch; };
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(Trunc(pulseLeft), gridTop, Trunc(traceLeft), Trunc(laneTop(grid.rows)));
  for (int row = 0; row < grid.rows; ++row) {
    DrawCalibrationPulse(dc, pulseLeft, laneTop(row) - pitch / 2, zoomX, zoomY);
  }
  dc->RestoreDC(saved);
  for (const RhythmLane& lane : grid.lanes) {
    const double top = laneTop(lane.row);
    const double zeroLineY = top - pitch / 2;
    const double x = traceLeft + lane.firstSample * dx;
    const double xEnd = x + lane.sampleCount * dx;
    const int laneSaved = dc->SaveDC();
    dc->IntersectClipRect(Trunc(x), Trunc(top), Trunc(xEnd) + 1, Trunc(top - pitch));
    dc->TextOut(Trunc(x) + kLabelInsetLometric, Trunc(top) - kLabelInsetLometric,
                LeadLabel(m_leads[lane.lead].leadCode));
    DrawLaneTrace(dc, lane.lead, lane.firstSample, lane.sampleCount, x, zeroLineY, dx, dy);
    if (lane.column > 0) {
      // A short bar where one column's stretch of time ends and the next one's begins.
      dc->MoveTo(Trunc(x), Trunc(zeroLineY - pitch / 6));
      dc->LineTo(Trunc(x), Trunc(zeroLineY + pitch / 6));
    }
    dc->RestoreDC(laneSaved);
  }
  dc->SetBkMode(oldMode);
  dc->SetTextAlign(oldAlign);
  dc->SelectObject(oldFont);
  dc->SelectObject(oldPen);
}

void CEcgView::OnInitialUpdate() {
  CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr) {
    SetUpLeads(doc->m_rhythmLeads, doc->m_nRhythmLeads, doc->m_refLeads, doc->m_nRefLeads);
    LoadReadingSettings();
    doc->m_pEcgView = this;
  }
  CSignalView::OnInitialUpdate();
}

void CEcgView::OnDraw(CDC* dc) {
  dc->SetMapMode(MM_LOMETRIC);
  DrawPaper(dc, m_dZoomX, m_dZoomY);
  if (m_layout == RhythmLayout::k12x1) {
    DrawOneLeadARow(dc);
    DrawCaliper(dc);
    return;
  }
  const RhythmGrid grid = GridOf(m_layout, m_nSamples[0]);
  m_nRowsPerColumn = grid.rows;
  DrawGrid(dc, grid, 0, Trunc(-kGridTopMarginLometric * m_dZoomY), ScreenRowPitch(Gain()), m_dZoomX,
           m_dZoomY, false);
  DrawCaliper(dc);
}

bool CEcgView::OnPreparePrinting(CPrintInfo* info) {
  // A direct print keeps the printer as its caller set it up.
  if (info->m_pPrinter != nullptr && !info->m_bDirect) {
    info->m_pPrinter->setPageOrientation(
        m_pageLayout == RhythmLayout::k12x1 ? QPageLayout::Portrait : QPageLayout::Landscape);
  }
  return CSignalView::OnPreparePrinting(info);
}

void CEcgView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* info) {
  info->SetMaxPage(1);
}

void CEcgView::OnPrint(CDC* dc, CPrintInfo* /*info*/) {
  PrintPage(dc);
}

void CEcgView::PrintPage(CDC* dc) {
  dc->SetMapMode(MM_LOMETRIC);
  // The footer says which seconds the page shows, so they are known before the frame is drawn.
  const CRect traceArea = PrintTraceArea(dc);
  const int samplesShown = SamplesShownOnPage(m_pageLayout, traceArea);
  PrintPageFrame(dc, SecondsShownText(samplesShown));
  dc->IntersectClipRect(traceArea);
  DrawPrintPaper(dc, traceArea);
  if (m_pageLayout == RhythmLayout::k12x1) {
    PrintOneLeadARow(dc, traceArea, samplesShown);
    return;
  }
  const RhythmGrid grid = GridOf(m_pageLayout, samplesShown);
  const int gridHeight =
      std::abs(traceArea.top - traceArea.bottom) - kPageTopGapLometric - kPageBottomGapLometric;
  const int rowPitch =
      std::min(PageRowPitchLimit(Gain()), grid.rows > 0 ? gridHeight / grid.rows : gridHeight);
  DrawGrid(dc, grid, traceArea.left, traceArea.top - kPageTopGapLometric, rowPitch, 1.0, 1.0, true);
}

void CEcgView::DrawRowStart(CDC* dc, int lead, const CFont& font, double left, double zeroLineY,
                            double zoomX, double zoomY, bool onPaper) {
  const SignalStyle style = Style();
  const CFont oldFont = dc->SelectObject(font);
  const UINT oldAlign = dc->SetTextAlign(kRowLabelAlign);
  dc->SetTextColor(onPaper ? kPrintInk : style.text);
  if (!onPaper) {
    dc->SetBkColor(style.background);
  }
  dc->TextOut(Trunc(left) - kRowLabelGapLometric, Trunc(zeroLineY),
              LeadLabel(m_leads[lead].leadCode));
  dc->SetTextAlign(oldAlign);
  dc->SelectObject(oldFont);
  const CPen oldPen = dc->SelectObject(onPaper ? CPen(PS_SOLID, kPrintPenWidthLometric, kPrintInk)
                                               : CPen(PS_SOLID, 0, style.trace));
  DrawCalibrationPulse(dc, left, zeroLineY, zoomX, zoomY);
  dc->SelectObject(oldPen);
}

void CEcgView::DrawOneLeadARow(CDC* dc) {
  m_nRowsPerColumn = m_nLeads;
  const double dx = m_nStep * m_dXScale * m_dZoomX;
  const double dy = m_dYScale * m_dZoomY;
  const double rowPitch = m_nRowPitch * m_dZoomY;
  const int paperRight = Trunc(m_nPaperWidth * m_dZoomX);
  m_logFont.lfHeight = kRowLabelHeightLometric;
  CFont labelFont;
  labelFont.CreateFontIndirect(&m_logFont);
  for (int lead = 0; lead < m_nLeads; ++lead) {
    const double zeroLineY = -(static_cast<double>(m_nRowPitch) * lead + m_nTopMargin) * m_dZoomY;
    DrawRowStart(dc, lead, labelFont, m_nLeftMargin, zeroLineY, m_dZoomX, m_dZoomY, false);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(RowLane(0, zeroLineY, rowPitch, paperRight));
    double x = m_nLeftMargin + PulseAndGap(Speed()) * m_dZoomX;
    DrawTrace(dc, lead, labelFont, x, zeroLineY, dx, dy, false);
    dc->RestoreDC(saved);
  }
}

void CEcgView::PrintOneLeadARow(CDC* dc, const CRect& traceArea, int samplesShown) {
  const PrintColumns columns = OneLeadARowPageOf(traceArea).columns;
  const double dx = m_nStep * m_dXScale;
  const double dy = m_dYScale;
  const CFont labelFont = PrintLabelFont();
  double traceEndX[kMaxLeads] = {};
  for (int lead = 0; lead < m_nLeads; ++lead) {
    const int row = lead % columns.rows;
    const double zeroLineY = traceArea.top - (m_nTopMargin + row * columns.rowPitch);
    double x = 0;
    bool withLabel = true;
    if (lead < columns.rows) {
      // Each row starts with its label and pulse; the second column carries on from the first.
      const double rowLeft = m_nLeftMargin + traceArea.left;
      DrawRowStart(dc, lead, labelFont, rowLeft, zeroLineY, 1.0, 1.0, true);
      x = rowLeft + PulseAndGap(Speed());
      withLabel = false;
    } else {
      x = traceEndX[lead - columns.rows] + columns.columnGap;
    }
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(RowLane(traceArea.left, zeroLineY, columns.rowPitch, traceArea.right));
    PrintTrace(dc, lead, samplesShown, labelFont, x, zeroLineY, dx, dy, withLabel);
    dc->RestoreDC(saved);
    traceEndX[lead] = x;
  }
}

CEcgFrame::CEcgFrame() : CDocumentFrame(kIdsEcgCaption, DocWindow::kRhythm) {}
