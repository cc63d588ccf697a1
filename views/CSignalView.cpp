#include "views/CSignalView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "document/CQuillonDoc.h"
#include "framework/CDC.h"
#include "framework/ResourceTable.h"
#include "leads/LeadFilters.h"
#include "resources/ResourceIds.h"
#include "views/LeadLabel.h"
#include "views/PatientFormHost.h"
#include "views/PatientHeaderPrinter.h"
#include "views/RhythmLayout.h"
#include "views/ViewFont.h"

namespace {

// Scales: 10 mm per millivolt and 25 mm per second, in 0.1 mm.
constexpr double kNanovoltsPerMillivolt = 1000000.0;
constexpr int kLometricPerMillimetre = 10;
constexpr double kMicrosecondsPerSecond = 1000000.0;
constexpr double kCalibrationSeconds = 0.2;  // the calibration pulse is 200 ms wide

// Screen paper and labels.
constexpr int kGridPitchLometric = 50;      // 5 mm between grid lines, zoomed
constexpr int kFineGridPitchLometric = 10;  // 1 mm, drawn once it spans kFineGridMinPixels
constexpr int kFineGridMinPixels = 4;
constexpr double kLometricPerInch = 254.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kCaliperReachLometric = 100;  // each caliper arm reaches 10 mm up and down
constexpr int kColumnGapLometric = 80;      // 8 mm between a trace's end and the next column
constexpr int kLabelHeightLometric = 40;    // 4 mm, zoomed
constexpr int kLabelGapLometric = 10;       // 1 mm between a label's right end and its trace
constexpr UINT kLabelAlign = TA_RIGHT | TA_BASELINE;
constexpr int kMarkerReachUnits = 100;    // a marker spans 100 amplitude units each way
constexpr double kMarkerMsPerStep = 2.0;  // markers take one sample step as 2 ms

// A segment is skipped on screen only when it lies this far outside the visible area, so that
// what is drawn is exactly what a full redraw would show there.
constexpr int kCullMarginLometric = 20;

// Printed paper: dots of 0.1 mm on a 0.1 mm lattice.
constexpr int kDotPitchPixels = 10;        // a dot every 1 mm both ways
constexpr int kLinePitchPixels = 50;       // dotted lines every 5 mm
constexpr int kLineDotPitchPixels = 5;     // one dot per 0.5 mm along them
constexpr int kPrintPenWidthLometric = 2;  // 0.2 mm
constexpr COLORREF kPrintInk = RGB(0, 0, 0);
constexpr int kPrintLabelHeightLometric = 30;  // 3 mm

// Zoom.
constexpr double kZoomStep = 1.4;
constexpr double kMinZoom = 0.4;             // a factor must stay above this
constexpr double kMaxZoomedPaper = 32767.0;  // the zoomed paper must not pass this, in 0.1 mm

constexpr double kTruncLimit = 268435456.0;  // 2^28

// True when the segment from a to b may touch the visible rectangle (normalised, in logical
// units) widened by the cull margin.
bool SegmentMayShow(CPoint a, CPoint b, const CRect& visible) {
  const int left = std::min(a.x, b.x);
  const int right = std::max(a.x, b.x);
  const int low = std::min(a.y, b.y);
  const int high = std::max(a.y, b.y);
  return right >= visible.left - kCullMarginLometric &&
         left <= visible.right + kCullMarginLometric && high >= visible.top - kCullMarginLometric &&
         low <= visible.bottom + kCullMarginLometric;
}

// A polyline drawn point by point that lifts the pen over segments that cannot show in the
// visible rectangle, so the segments drawn are exactly those of a full redraw. Each stretch drawn
// without lifting the pen goes to the device context in one Polyline call, which a screen draws
// at the cost of its pixel columns rather than of its samples. Finish draws what is pending and
// leaves the current position at the last point; the destructor finishes too.
class CulledPolyline {
 public:
  CulledPolyline(CDC* dc, CPoint start) : m_pDC(dc), m_previous(start) {
    dc->GetClipBox(&m_visible);
    m_visible.NormalizeRect();
    m_stretch.reserve(kStretchReserve);
    m_stretch.push_back(start);
  }
  CulledPolyline(const CulledPolyline&) = delete;
  CulledPolyline& operator=(const CulledPolyline&) = delete;
  ~CulledPolyline() { Finish(); }

  void LineTo(CPoint point) {
    if (SegmentMayShow(m_previous, point, m_visible)) {
      if (m_stretch.empty()) {
        m_stretch.push_back(m_previous);
      }
      m_stretch.push_back(point);
    } else {
      DrawStretch();
    }
    m_previous = point;
  }

  void Finish() {
    DrawStretch();
    m_pDC->MoveTo(m_previous);
  }

 private:
  void DrawStretch() {
    if (m_stretch.size() >= 2) {
      m_pDC->Polyline(m_stretch.data(), static_cast<int>(m_stretch.size()));
    }
    m_stretch.clear();
  }

  static constexpr size_t kStretchReserve = 8192;  // points: a 10 s lead at 500 per second fits

  CDC* m_pDC;
  CRect m_visible;
  CPoint m_previous;
  std::vector<CPoint> m_stretch;  // points since the pen last went down, the first included
};

// The last screen grid line at or before `from` (0 at the paper's edge): each line lies the
// truncated pitch after the one before, so the lines fall on multiples of it.
int FirstScreenGridLine(int from, double pitch) {
  const int step = CSignalView::Trunc(pitch);
  return step > 0 && from > 0 ? from / step * step : 0;
}

}  // namespace

CSignalView::CSignalView(QWidget* parent)
    : CScrollView(parent),
      m_hCursor(LoadCursor(kCursorMagnifier)),
      m_logFont(ViewFont(kLabelHeightLometric)) {
  viewport()->setMouseTracking(true);
  SetViewCursor(m_hCursor);
  OnCommand(kCmdZoomIn, [this] { ZoomIn(); });
  OnCommand(kCmdZoomOut, [this] { ZoomOut(); });
  OnCommand(kCmdCaliperTool, [this] { SetCaliperTool(!m_bCaliperTool); });
  OnUpdateCommandUI(kCmdCaliperTool, [this](CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck(m_bCaliperTool ? 1 : 0);
  });
  OnUpdateCommandUI(kIdsReadingPane, [this](CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetText(m_bCaliper ? CaliperText() : ReadingText());
  });
}

QString CSignalView::ReadingText() const {
  return QStringLiteral("%1 mm/s  %2 mm/mV").arg(DecimalText(m_dSpeed), DecimalText(m_dGain));
}

QString CSignalView::DecimalText(double value, int decimals) {
  QString text = decimals < 0 ? QString::number(value) : QString::number(value, 'f', decimals);
  const QString sign = LoadString(kIdsDecimalSign);
  return sign.isEmpty() ? text : text.replace(QLatin1Char('.'), sign);
}

void CSignalView::SetCaliper(QPointF from, QPointF to) {
  m_caliperFrom = from;
  m_caliperTo = to;
  m_bCaliper = true;
  Invalidate(true);
}

void CSignalView::ClearCaliper() {
  m_bCaliper = false;
  m_bCaliperDragging = false;
  Invalidate(true);
}

QString CSignalView::CaliperText() const {
  if (!m_bCaliper || m_dSpeed <= 0 || m_dGain <= 0) {
    return QString();
  }
  constexpr double kMsPerSecond = 1000.0;
  constexpr double kMicrovoltsPerMillivolt = 1000.0;
  const double seconds =
      std::abs(m_caliperTo.x() - m_caliperFrom.x()) / (m_dSpeed * kLometricPerMillimetre);
  const double millivolts =
      (m_caliperTo.y() - m_caliperFrom.y()) / (m_dGain * kLometricPerMillimetre);
  QString text = QStringLiteral("\u0394t %1 ms").arg(std::lround(seconds * kMsPerSecond));
  if (seconds > 0) {
    text += QStringLiteral("  %1 bpm").arg(std::lround(60.0 / seconds));
  }
  text +=
      QStringLiteral("  \u0394V %1 \u00B5V").arg(std::lround(millivolts * kMicrovoltsPerMillivolt));
  return text;
}

QPointF CSignalView::PaperPoint(QPoint at) const {
  const double dpiX = viewport()->logicalDpiX();
  const double dpiY = viewport()->logicalDpiY();
  const double x = (horizontalScrollBar()->value() + at.x()) * kLometricPerInch / dpiX;
  const double y = (verticalScrollBar()->value() + at.y()) * kLometricPerInch / dpiY;
  return QPointF(x / m_dZoomX, -y / m_dZoomY);
}

void CSignalView::DrawCaliper(CDC* dc) {
  if (!m_bCaliper) {
    return;
  }
  const SignalStyle style = Style();
  const CPoint from(Trunc(m_caliperFrom.x() * m_dZoomX), Trunc(m_caliperFrom.y() * m_dZoomY));
  const CPoint to(Trunc(m_caliperTo.x() * m_dZoomX), Trunc(m_caliperTo.y() * m_dZoomY));
  const CPen oldPen = dc->SelectObject(CPen(PS_SOLID, 0, style.marker));
  const int reach = Trunc(kCaliperReachLometric * m_dZoomY);
  for (const CPoint& end : {from, to}) {
    dc->MoveTo(end.x, end.y - reach);
    dc->LineTo(end.x, end.y + reach);
  }
  dc->MoveTo(from);
  dc->LineTo(to);
  dc->SelectObject(oldPen);
  m_logFont.lfHeight = kLabelHeightLometric;
  CFont font;
  font.CreateFontIndirect(&m_logFont);
  const CFont oldFont = dc->SelectObject(font);
  const UINT oldAlign = dc->SetTextAlign(TA_LEFT | TA_BOTTOM);
  dc->SetTextColor(style.marker);
  dc->SetBkColor(style.background);
  dc->TextOut(std::max(from.x, to.x) + kLabelGapLometric, std::max(from.y, to.y) + reach,
              CaliperText());
  dc->SetTextAlign(oldAlign);
  dc->SelectObject(oldFont);
}

int CSignalView::Trunc(double value) {
  if (value >= kTruncLimit) {
    return static_cast<int>(kTruncLimit);
  }
  if (value <= -kTruncLimit) {
    return -static_cast<int>(kTruncLimit);
  }
  if (value != value) {  // not a number
    return 0;
  }
  return static_cast<int>(value);
}

CQuillonDoc* CSignalView::GetQuillonDoc() const {
  return dynamic_cast<CQuillonDoc*>(GetDocument());
}

SignalStyle CSignalView::Style() const {
  const CQuillonDoc* doc = GetQuillonDoc();
  if (doc == nullptr) {
    return m_detachedStyle;
  }
  SignalStyle style;
  style.background = doc->m_clrBackground;
  style.grid = doc->m_clrGrid;
  style.text = doc->m_clrText;
  style.trace = doc->m_clrTrace;
  style.marker = doc->m_clrMarker;
  for (int k = 0; k < kFiducialCount; ++k) {
    style.fiducials[k] = doc->GetFiducial(k);
  }
  return style;
}

// --- Set-up ----------------------------------------------------------------------------------

void CSignalView::SetScales(uint16_t amplitudeMultiplier, uint16_t sampleInterval) {
  m_nAmplitudeMultiplier = amplitudeMultiplier;
  m_nSampleInterval = sampleInterval;
  m_dYScale = amplitudeMultiplier * (m_dGain * kLometricPerMillimetre) / kNanovoltsPerMillivolt;
  m_dXScale = sampleInterval * (m_dSpeed * kLometricPerMillimetre) / kMicrosecondsPerSecond;
  m_nStep = 1;
}

void CSignalView::SetReadingScales(double speed, double gain) {
  m_dSpeed = speed;
  m_dGain = gain;
  SetScales(m_nAmplitudeMultiplier, m_nSampleInterval);
}

void CSignalView::SetFilters(unsigned filters) {
  m_filters = filters;
  m_appliedFilters = kLeadFilterNone;
  std::vector<double> filtered;
  for (int lead = 0; lead < m_nLeads; ++lead) {
    const int held = m_nHeldSamples[lead];
    if (filters == kLeadFilterNone || held <= 0) {
      m_pSamples[lead] = m_pStoredSamples[lead];
      m_filtered[lead].clear();
      continue;
    }
    filtered.resize(static_cast<size_t>(held));
    m_appliedFilters |= FilterLeadSamples(m_pStoredSamples[lead], held, m_nSampleInterval, filters,
                                          filtered.data());
    m_filtered[lead].resize(static_cast<size_t>(held));
    RoundFilteredSamples(filtered.data(), held, m_filtered[lead].data());
    m_pSamples[lead] = m_filtered[lead].data();
  }
  Invalidate(true);
}

void CSignalView::AddLead(const ScpLeadSignal& span, const int16_t* samples, int heldSamples) {
  if (m_nLeads >= kMaxLeads) {
    return;
  }
  LeadSlot& slot = m_leads[m_nLeads];
  slot.startSample = span.startSample;
  slot.endSample = span.endSample;
  slot.leadCode = span.leadCode;
  m_pSamples[m_nLeads] = samples;
  m_pStoredSamples[m_nLeads] = samples;
  const int64_t spanSamples = int64_t{span.endSample} - span.startSample + 1;
  m_nSamples[m_nLeads] = Trunc(static_cast<double>(spanSamples));
  m_nHeldSamples[m_nLeads] = samples != nullptr ? std::max(heldSamples, 0) : 0;
  ++m_nLeads;
}

void CSignalView::OnInitialUpdate() {
  CScrollView::OnInitialUpdate();
  SetScrollSizes(MM_LOMETRIC, CSize(m_nPaperWidth, m_nPaperHeight));
}

// --- Screen ----------------------------------------------------------------------------------

void CSignalView::DrawLeads(CDC* dc, int rowsPerColumn, bool withLabels, bool withMarkers) {
  const int rows = std::max(rowsPerColumn, 1);
  const double dx = m_nStep * m_dXScale * m_dZoomX;
  const double dy = m_dYScale * m_dZoomY;
  dc->SetMapMode(MM_LOMETRIC);
  DrawPaper(dc, m_dZoomX, m_dZoomY);

  // Labels keep their size whatever the zoom, so they stay readable at the smallest and do not
  // crowd the traces at the largest.
  m_logFont.lfHeight = kLabelHeightLometric;
  CFont labelFont;
  labelFont.CreateFontIndirect(&m_logFont);

  const int columnPitch = Trunc(m_nSamples[0] * dx + kColumnGapLometric * m_dZoomX);
  for (int lead = 0; lead < m_nLeads; ++lead) {
    const int column = lead / rows;
    const int row = lead % rows;
    double x = m_nLeftMargin + static_cast<double>(column) * columnPitch;
    const double zeroLineY = -(static_cast<double>(m_nRowPitch) * row + m_nTopMargin) * m_dZoomY;
    if (withMarkers) {
      DrawFiducials(dc, x, zeroLineY, dx, dy);
    }
    DrawTrace(dc, lead, labelFont, x, zeroLineY, dx, dy, withLabels);
  }
  DrawCaliper(dc);
}

void CSignalView::DrawPaper(CDC* dc, double scaleX, double scaleY) {
  const SignalStyle style = Style();
  CRect client;
  GetClientRect(&client);
  dc->DPtoLP(&client);
  dc->FillRect(client, CBrush(style.background));
  dc->SetBkColor(style.background);

  const int paperWidth = Trunc(m_nPaperWidth * scaleX);
  const int paperHeight = Trunc(m_nPaperHeight * scaleY);
  // Only the grid lines the window shows are drawn, each only as far as it shows, so a repaint
  // costs the window's size however long the paper is.
  CRect visible;
  dc->GetClipBox(&visible);
  visible.NormalizeRect();
  const int left = std::max(0, visible.left);
  const int right = std::min(paperWidth, visible.right);
  const int top = std::max(0, -visible.bottom);  // distances down from the paper's top edge
  const int bottom = std::min(paperHeight, -visible.top);
  // Each grid goes to the device context as one batch of two-point lines.
  std::vector<CPoint> ends;
  std::vector<DWORD> counts;
  const auto addLine = [&](CPoint from, CPoint to) {
    ends.push_back(from);
    ends.push_back(to);
    counts.push_back(2);
  };
  const auto drawBatch = [&] {
    dc->PolyPolyline(ends.data(), counts.data(), static_cast<int>(counts.size()));
    ends.clear();
    counts.clear();
  };
  const auto drawLines = [&](int pitch) {
    const double pitchX = pitch * scaleX;
    for (int x = FirstScreenGridLine(left, pitchX); x < paperWidth && x <= right;) {
      addLine(CPoint(x, -top), CPoint(x, -bottom));
      const int nextX = Trunc(x + pitchX);
      if (nextX <= x) {
        break;  // a scale this small would never reach the edge
      }
      x = nextX;
    }
    const double pitchY = pitch * scaleY;
    for (int y = FirstScreenGridLine(top, pitchY); y < paperHeight && y <= bottom;) {
      addLine(CPoint(left, -y), CPoint(right, -y));
      const int nextY = Trunc(y + pitchY);
      if (nextY <= y) {
        break;
      }
      y = nextY;
    }
  };
  // The 1 mm grid, halfway between the paper and the 5 mm grid in colour, once a millimetre is
  // wide enough on the screen to tell its lines apart.
  const double millimetrePixels =
      std::min(dc->GetDeviceCaps(LOGPIXELSX) * scaleX, dc->GetDeviceCaps(LOGPIXELSY) * scaleY) /
      kMillimetresPerInch;
  if (millimetrePixels >= kFineGridMinPixels) {
    const COLORREF fine = RGB((GetRValue(style.background) + GetRValue(style.grid)) / 2,
                              (GetGValue(style.background) + GetGValue(style.grid)) / 2,
                              (GetBValue(style.background) + GetBValue(style.grid)) / 2);
    const CPen finePen = dc->SelectObject(CPen(PS_SOLID, 0, fine));
    drawLines(kFineGridPitchLometric);
    drawBatch();
    dc->SelectObject(finePen);
  }
  const CPen oldPen = dc->SelectObject(CPen(PS_SOLID, 0, style.grid));
  drawLines(kGridPitchLometric);
  addLine(CPoint(0, 0), CPoint(0, -paperHeight));
  addLine(CPoint(paperWidth, 0), CPoint(paperWidth, -paperHeight));
  addLine(CPoint(0, 0), CPoint(paperWidth, 0));
  addLine(CPoint(0, -paperHeight), CPoint(paperWidth, -paperHeight));
  drawBatch();
  dc->SelectObject(oldPen);
}

void CSignalView::DrawTrace(CDC* dc, int lead, const CFont& font, double& x, double y, double dx,
                            double dy, bool withLabel) {
  if (lead < 0 || lead >= m_nLeads) {
    return;
  }
  const SignalStyle style = Style();
  if (withLabel) {
    const CFont oldFont = dc->SelectObject(font);
    dc->SetTextColor(style.text);
    dc->SetBkColor(style.background);
    const UINT oldAlign = dc->SetTextAlign(kLabelAlign);
    dc->TextOut(Trunc(x) - kLabelGapLometric, Trunc(y), LeadLabel(m_leads[lead].leadCode));
    dc->SelectObject(oldFont);
    dc->SetTextAlign(oldAlign);
  }

  const int16_t* samples = m_pSamples[lead];
  const int held = m_nHeldSamples[lead];
  if (held <= 0 || m_dYScale == 0) {
    // A lead without samples has no trace, nor has one whose unit is 0 nV: drawn flat, it
    // would look like asystole.
    return;
  }
  const CPen oldPen = dc->SelectObject(CPen(PS_SOLID, 0, style.trace));
  const int count = m_nSamples[lead];
  const int step = m_nStep;
  CulledPolyline trace(dc, CPoint(Trunc(x), Trunc(samples[0] * dy + y)));
  for (int k = 0; k < count - 2 * step && k < held; k += step) {
    trace.LineTo(CPoint(Trunc(x), Trunc(samples[k] * dy + y)));
    x += dx;
  }
  trace.Finish();
  dc->SelectObject(oldPen);
}

void CSignalView::DrawFiducials(CDC* dc, double x, double y, double dx, double dy) {
  const SignalStyle style = Style();
  const CPen oldPen = dc->SelectObject(CPen(PS_SOLID, 0, style.marker));
  const int oldRop = dc->SetROP2(R2_COPYPEN);
  const int markerTop = Trunc(y - kMarkerReachUnits * dy);
  const int markerBottom = Trunc(y + kMarkerReachUnits * dy);
  for (int k = 0; k < kFiducialCount; ++k) {
    const uint16_t milliseconds = style.fiducials[k];
    const int markerX = Trunc(milliseconds * dx / kMarkerMsPerStep + x);
    dc->MoveTo(markerX, markerTop);
    dc->LineTo(markerX, markerBottom);
  }
  dc->SelectObject(oldPen);
  dc->SetROP2(oldRop);
}

void CSignalView::DrawCalibrationPulse(CDC* dc, double x, double y, double zoomX, double zoomY) {
  const int left = Trunc(x);
  const int right = Trunc(x + kCalibrationSeconds * m_dSpeed * kLometricPerMillimetre * zoomX);
  const int foot = Trunc(y);
  const int top = Trunc(y + m_dGain * kLometricPerMillimetre * zoomY);  // 1 mV up
  dc->MoveTo(left, foot);
  dc->LineTo(left, top);
  dc->LineTo(right, top);
  dc->LineTo(right, foot);
}

void CSignalView::DrawLaneTrace(CDC* dc, int lead, int first, int count, double x, double y,
                                double dx, double dy) {
  if (lead < 0 || lead >= m_nLeads || m_dYScale == 0 || first < 0) {
    return;  // a lead whose unit is 0 nV is not drawn: flat, it would look like asystole
  }
  const int16_t* samples = m_pSamples[lead];
  const int end = std::min(first + std::max(count, 0), m_nHeldSamples[lead]);
  if (samples == nullptr || first >= end) {
    return;
  }
  CulledPolyline trace(dc, CPoint(Trunc(x), Trunc(samples[first] * dy + y)));
  for (int k = first + 1; k < end; ++k) {
    x += dx;
    trace.LineTo(CPoint(Trunc(x), Trunc(samples[k] * dy + y)));
  }
  trace.Finish();
}

// --- Paper -----------------------------------------------------------------------------------

void CSignalView::DrawPrintPaper(CDC* dc, const CRect& rect) {
  // From the rectangle's lower left corner: a dot every 1 mm both ways, dotted vertical lines
  // every 5 mm with a dot per 0.5 mm, and dotted horizontal lines likewise. Each dot is 0.1 mm,
  // and the device draws it at its own resolution, never smaller than one of its pixels.
  dc->FillDotLattice(rect, kDotPitchPixels, kDotPitchPixels, kPrintInk);
  dc->FillDotLattice(rect, kLinePitchPixels, kLineDotPitchPixels, kPrintInk);
  dc->FillDotLattice(rect, kLineDotPitchPixels, kLinePitchPixels, kPrintInk);
}

void CSignalView::PrintTrace(CDC* dc, int lead, int count, const CFont& font, double& x, double y,
                             double dx, double dy, bool withLabel) {
  if (lead < 0 || lead >= m_nLeads) {
    return;
  }
  if (withLabel) {
    const CFont oldFont = dc->SelectObject(font);
    dc->SetTextColor(kPrintInk);
    const UINT oldAlign = dc->SetTextAlign(kLabelAlign);
    dc->TextOut(Trunc(x) - kLabelGapLometric, Trunc(y), LeadLabel(m_leads[lead].leadCode));
    dc->SelectObject(oldFont);
    dc->SetTextAlign(oldAlign);
  }

  const CPen oldPen = dc->SelectObject(CPen(PS_SOLID, kPrintPenWidthLometric, kPrintInk));
  const int step = m_nStep;
  // A lead that starts later is shifted right by its start time (the sample number taken as
  // unsigned); the first step of samples is not drawn.
  const uint32_t startSteps =
      static_cast<uint32_t>(m_leads[lead].startSample) / static_cast<uint32_t>(step);
  x += startSteps * dx;
  const int held = m_nHeldSamples[lead] - step;  // samples from the first one drawn
  if (m_dYScale == 0) {
    // Leads whose unit is 0 nV cannot be drawn to scale: no trace, but the column advances as
    // far as the trace would have reached.
    x += std::max(0, (std::min(count - 2 * step, held) + step - 1) / step) * dx;
  } else if (held > 0) {
    const int16_t* samples = m_pSamples[lead] + step;
    dc->MoveTo(Trunc(x), Trunc(samples[0] * dy + y));
    for (int k = 0; k < count - 2 * step && k < held; k += step) {
      dc->LineTo(Trunc(x), Trunc(samples[k] * dy + y));
      x += dx;
    }
  }
  dc->SelectObject(oldPen);
}

CRect CSignalView::PrintTraceArea(CDC* dc) const {
  const CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr && doc->m_pRecord != nullptr) {
    return PatientFrameInterior(dc);
  }
  const int printableWidth = dc->GetDeviceCaps(HORZSIZE) * kLometricPerMillimetre;
  const int printableHeight = dc->GetDeviceCaps(VERTSIZE) * kLometricPerMillimetre;
  return CRect(0, 0, printableWidth, -printableHeight);
}

CRect CSignalView::PrintPageFrame(CDC* dc, const QString& shown) {
  CQuillonDoc* doc = GetQuillonDoc();
  if (doc != nullptr && doc->m_pRecord != nullptr) {
    // Unsaved edits are printed; a value the record cannot take is not, and the status bar says
    // the page shows what the record holds.
    if (!doc->TakePatientEdits()) {
      ShowStatusMessage(LoadString(kIdsPrintRefusedEdits));
    }
    return PrintPatientHeader(dc, doc->Patient(), PrintedScales(shown));
  }
  return PrintTraceArea(dc);
}

namespace {

// The menu's text of a speed or gain among `choices` ("12.5 mm/s", Italian "12,5 mm/s"), or the
// number with its unit for any other value.
QString ScaleText(double value, const double* choices, int count, int firstId, const char* unit) {
  for (int i = 0; i < count; ++i) {
    QString text =
        choices[i] == value ? LoadString(firstId + i).remove(QLatin1Char('&')) : QString();
    if (!text.isEmpty()) {
      return text;
    }
  }
  return CSignalView::DecimalText(value) + QLatin1Char(' ') + QLatin1String(unit);
}

}  // namespace

PageScales CSignalView::PrintedScales(const QString& shown) const {
  PageScales scales;
  scales.speed = ScaleText(m_dSpeed, kSpeeds, kSpeedCount, kIdsMenuSpeedFirst, "mm/s");
  scales.gain = ScaleText(m_dGain, kGains, kGainCount, kIdsMenuGainFirst, "mm/mV");
  // Each filter by the short name of its command's tool tip ("Baseline", "50 Hz").
  QStringList filters;
  for (int bit = 0; bit < kLeadFilterCount; ++bit) {
    if ((m_appliedFilters & (1u << bit)) == 0) {
      continue;
    }
    const QString tip = LoadString(kCmdFilterFirst + bit).section(QLatin1Char('\n'), 1, 1);
    filters << (tip.isEmpty() ? QString::fromStdString(LeadFilterName(1u << bit)) : tip);
  }
  QStringList notes;
  if (!filters.isEmpty()) {
    notes << LoadString(kIdsPageFilters).arg(filters.join(QStringLiteral(", ")));
  }
  if (!shown.isEmpty()) {
    notes << shown;
  }
  scales.note = notes.join(QStringLiteral("  "));
  return scales;
}

CFont CSignalView::PrintLabelFont() {
  m_logFont.lfHeight = kPrintLabelHeightLometric;
  CFont labelFont;
  labelFont.CreateFontIndirect(&m_logFont);
  return labelFont;
}

void CSignalView::PrintLeads(CDC* dc, const CRect& traceArea, const PrintColumns& columns,
                             const int* samplesShown, bool withMarkers) {
  dc->IntersectClipRect(traceArea);
  const double dx = m_nStep * m_dXScale;
  const double dy = m_dYScale;
  DrawPrintPaper(dc, traceArea);
  const CFont labelFont = PrintLabelFont();

  double traceEndX[kMaxLeads] = {};
  double zeroLineY[kMaxLeads] = {};
  for (int lead = 0; lead < m_nLeads; ++lead) {
    double x = 0;
    if (lead < columns.rows) {
      x = m_nLeftMargin + traceArea.left;
      zeroLineY[lead] = traceArea.top - (m_nTopMargin + lead * columns.rowPitch);
    } else {
      x = traceEndX[lead - columns.rows] + columns.columnGap;
      zeroLineY[lead] = zeroLineY[lead - columns.rows];
    }
    if (withMarkers) {
      DrawFiducials(dc, x, zeroLineY[lead], dx, dy);
    }
    PrintTrace(dc, lead, samplesShown[lead], labelFont, x, zeroLineY[lead], dx, dy, true);
    traceEndX[lead] = x;
  }
}

// --- Zoom and mouse --------------------------------------------------------------------------

bool CSignalView::SetZoom(double zoomX, double zoomY) {
  if (zoomX <= kMinZoom || zoomY <= kMinZoom) {
    return false;
  }
  if (m_nPaperWidth * zoomX > kMaxZoomedPaper || m_nPaperHeight * zoomY > kMaxZoomedPaper) {
    return false;
  }
  m_dZoomX = zoomX;
  m_dZoomY = zoomY;
  SetScrollSizes(MM_LOMETRIC, CSize(Trunc(m_nPaperWidth * zoomX), Trunc(m_nPaperHeight * zoomY)));
  Invalidate(true);
  return true;
}

void CSignalView::ZoomIn() {
  SetZoom(m_dZoomX * kZoomStep, m_dZoomY * kZoomStep);
}

void CSignalView::ZoomOut() {
  SetZoom(m_dZoomX / kZoomStep, m_dZoomY / kZoomStep);
}

void CSignalView::mousePressEvent(QMouseEvent* event) {
  const bool measuring = m_bCaliperTool || (event->modifiers() & Qt::ShiftModifier) != 0;
  if (event->button() == Qt::LeftButton && measuring) {
    const QPointF at = PaperPoint(event->position().toPoint());
    SetCaliper(at, at);
    m_bCaliperDragging = true;
    event->accept();
    return;
  }
  CScrollView::mousePressEvent(event);
}

void CSignalView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && m_bCaliper) {
    ClearCaliper();
    event->accept();
    return;
  }
  CScrollView::keyPressEvent(event);
}

void CSignalView::mouseMoveEvent(QMouseEvent* event) {
  if (m_bCaliperDragging) {
    SetCaliper(m_caliperFrom, PaperPoint(event->position().toPoint()));
  }
  SetViewCursor(m_hCursor);
  CScrollView::mouseMoveEvent(event);
}

void CSignalView::ZoomAbout(QPoint at, bool zoomIn) {
  const double oldZoomX = m_dZoomX;
  const double oldZoomY = m_dZoomY;
  const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  if (zoomIn) {
    ZoomIn();
  } else {
    ZoomOut();
  }
  if (m_dZoomX == oldZoomX && m_dZoomY == oldZoomY) {
    return;  // refused: nothing moves
  }
  // The paper point under `at` moves with the zoom; scroll it back under `at`.
  horizontalScrollBar()->setValue(
      static_cast<int>(std::lround((scroll.x() + at.x()) * m_dZoomX / oldZoomX - at.x())));
  verticalScrollBar()->setValue(
      static_cast<int>(std::lround((scroll.y() + at.y()) * m_dZoomY / oldZoomY - at.y())));
}

void CSignalView::focusInEvent(QFocusEvent* event) {
  // A click into a window that did not have the focus only brings it forward.
  m_bActivatingClick = event->reason() == Qt::MouseFocusReason;
  CScrollView::focusInEvent(event);
}

void CSignalView::wheelEvent(QWheelEvent* event) {
  if ((event->modifiers() & Qt::ControlModifier) == 0) {
    CScrollView::wheelEvent(event);
    return;
  }
  const int steps = event->angleDelta().y();
  if (steps != 0) {
    ZoomAbout(event->position().toPoint(), steps > 0);
  }
  event->accept();
}

void CSignalView::mouseReleaseEvent(QMouseEvent* event) {
  const bool activating = m_bActivatingClick;
  m_bActivatingClick = false;
  if (m_bCaliperDragging) {
    m_bCaliperDragging = false;  // the calipers stay until Esc
  } else if (activating) {
    // nothing: the click only activated the window
  } else if (event->button() == Qt::LeftButton) {
    ZoomAbout(event->position().toPoint(), true);
  } else if (event->button() == Qt::RightButton) {
    ZoomAbout(event->position().toPoint(), false);
  }
  CScrollView::mouseReleaseEvent(event);
  SetViewCursor(m_hCursor);
  event->accept();
}
