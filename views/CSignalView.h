// The scrolling view that draws ECG leads on ECG paper at 25 mm/s and 10 mm/mV, zooms in steps of
// 1.4, and offers the printing primitives (dotted paper, black traces) of the rhythm and
// average-beat pages.
#pragma once

#include <QCursor>
#include <QPointF>
#include <QString>

#include <cstdint>
#include <vector>

#include "framework/CScrollView.h"
#include "framework/GdiObjects.h"
#include "framework/GdiTypes.h"
#include "leads/LeadTables.h"
#include "scp/ScpLeads.h"
#include "views/PatientHeaderPrinter.h"

class CDC;
class CQuillonDoc;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

// What the signal views draw with besides the leads: the colours of the screen paper and the
// five fiducial times (P onset, P offset, QRS onset, QRS offset, T offset) in milliseconds from
// the start of the beat, drawn as markers on every lead.
struct SignalStyle {
  COLORREF background = RGB(192, 192, 192);
  COLORREF grid = RGB(128, 128, 128);
  COLORREF text = RGB(64, 64, 64);
  COLORREF trace = RGB(0, 0, 128);
  COLORREF marker = RGB(255, 0, 0);
  uint16_t fiducials[kFiducialCount] = {0, 0, 0, 0, 0};
};

class CSignalView : public CScrollView {
  Q_OBJECT

 public:
  static constexpr int kMaxLeads = 16;

  // The part of a lead's description the view keeps: its sample numbers and its code.
  struct LeadSlot {
    int32_t startSample = 0;
    int32_t endSample = 0;
    uint8_t leadCode = 0;
  };

  // Loads the magnifier cursor (kCursorMagnifier) and handles the zoom commands.
  explicit CSignalView(QWidget* parent = nullptr);

  // Sets the scales from a lead's amplitude multiplier (nanovolts per unit) and sample interval
  // (microseconds), at the paper speed and gain in force (25 mm per second across and 10 mm per mV
  // up unless SetReadingScales chose others).
  void SetScales(uint16_t amplitudeMultiplier, uint16_t sampleInterval);
  // Sets the paper speed (mm/s) and gain (mm/mV), whatever the zoom, and the scales from them.
  void SetReadingScales(double speed, double gain);
  double Speed() const { return m_dSpeed; }
  double Gain() const { return m_dGain; }
  // Draws and prints every lead through the display filters in the set (kLeadFilterNone: as
  // stored). The Document's samples never change.
  void SetFilters(unsigned filters);
  unsigned Filters() const { return m_filters; }

  // Appends a lead: its span (start and end sample numbers, lead code) and its samples, of which
  // the caller holds heldSamples (drawing never reads past them). A seventeenth lead is ignored.
  // The samples must outlive the view.
  void AddLead(const ScpLeadSignal& span, const int16_t* samples, int heldSamples);

  // Sets the scroll sizes to the paper at zoom 1, after the derived view has set the paper.
  void OnInitialUpdate() override;

  // Screen drawing: paper, then for each lead its markers (when asked) and its trace with its
  // label (when asked), rowsPerColumn rows to a column.
  void DrawLeads(CDC* dc, int rowsPerColumn, bool withLabels, bool withMarkers);
  // The screen paper: background over the client area, a 5 mm grid and the border, zoomed.
  void DrawPaper(CDC* dc, double scaleX, double scaleY);
  // One lead on the screen from x (updated to one step past the last point), zero line at y.
  void DrawTrace(CDC* dc, int lead, const CFont& font, double& x, double y, double dx, double dy,
                 bool withLabel);
  // The five fiducial markers of one lead whose trace starts at x, zero line at y.
  void DrawFiducials(CDC* dc, double x, double y, double dx, double dy);
  // A 1 mV calibration pulse 200 ms wide rising from (x, y), with the current scales multiplied by
  // zoomX and zoomY, in the current pen.
  void DrawCalibrationPulse(CDC* dc, double x, double y, double zoomX, double zoomY);
  // Samples first to first + count - 1 of a lead (those it holds) as a line from x on, one dx a
  // sample, zero line at y, in the current pen; segments far outside the clip box are skipped.
  void DrawLaneTrace(CDC* dc, int lead, int first, int count, double x, double y, double dx,
                     double dy);
  // The dotted paper of a printed page over rect (logical units of the metric mapping).
  void DrawPrintPaper(CDC* dc, const CRect& rect);
  // One lead on paper: at most count samples, from x shifted by the lead's start time; x is
  // updated to one step past the last point.
  void PrintTrace(CDC* dc, int lead, int count, const CFont& font, double& x, double y, double dx,
                  double dy, bool withLabel);

  // The calipers: a span between two points of the paper, in 0.1 mm at zoom 1 (y up), measured
  // at the current speed and gain. A Shift+drag sets them, or a plain drag while the calipers
  // tool is on (kCmdCaliperTool turns it on and off); Esc clears them.
  void SetCaliper(QPointF from, QPointF to);
  void ClearCaliper();
  bool HasCaliper() const { return m_bCaliper; }
  void SetCaliperTool(bool on) { m_bCaliperTool = on; }
  bool CaliperTool() const { return m_bCaliperTool; }
  // "Δt 800 ms  75 bpm  ΔV 1000 µV" for the span of the calipers; empty without them.
  QString CaliperText() const;
  // The calipers over the screen paper, with their reading next to them.
  void DrawCaliper(CDC* dc);
  // What the status bar's reading pane shows while there are no calipers.
  virtual QString ReadingText() const;

  // Sets both zoom factors and the scroll sizes; false, and no change, when a factor is 0.4 or
  // less or the zoomed paper would pass 32767 units.
  bool SetZoom(double zoomX, double zoomY);
  void ZoomIn();
  void ZoomOut();
  // Zooms in or out one step keeping the paper under the viewport point `at` (device pixels)
  // where it is.
  void ZoomAbout(QPoint at, bool zoomIn);

  // The colours and fiducial times in force: the Document's, or those set by SetDetachedStyle
  // while the view has no Document.
  SignalStyle Style() const;
  void SetDetachedStyle(const SignalStyle& style) { m_detachedStyle = style; }

  // Truncates a real paper coordinate toward zero, as every conversion to logical units does.
  // Beyond ±2^28 units (27 km of paper) it saturates, so that the spans of a corrupt lead table
  // cannot overflow an int; no paper or page comes near.
  static int Trunc(double value);

  // A number as the session's language writes it ("12.5", Italian "12,5"): with `decimals`
  // places, or as few as it needs when negative.
  static QString DecimalText(double value, int decimals = -1);

  // The paper, in the fields the derived views set at their initial update and read to draw.
  QCursor m_hCursor;
  LOGFONT m_logFont;
  int m_nPaperWidth = 10;
  int m_nPaperHeight = 10;
  double m_dZoomX = 1.0;
  double m_dZoomY = 1.0;
  int m_nRowsPerColumn = 1;
  int m_nLeads = 0;
  int m_nStep = 1;
  double m_dXScale = 1.0;
  double m_dYScale = 1.0;
  LeadSlot m_leads[kMaxLeads];
  const int16_t* m_pSamples[kMaxLeads] = {};
  int m_nLeftMargin = 0;               // x of the first trace, never zoomed
  int m_nTopMargin = 0;                // from the paper top to the first zero line, at zoom 1
  int m_nRowPitch = 0;                 // between zero lines, at zoom 1
  int m_nSamples[kMaxLeads] = {};      // from the span: endSample - startSample + 1
  int m_nHeldSamples[kMaxLeads] = {};  // what the sample array holds; drawing stops there

 protected:
  // The Document this view shows, or null.
  CQuillonDoc* GetQuillonDoc() const;
  // The rectangle a printed page leaves for the traces: inside the patient frame when the Document
  // holds a record, else the whole printable area. Draws nothing.
  CRect PrintTraceArea(CDC* dc) const;
  // Frames a printed page with the patient data when the Document holds a record, the footer
  // saying the view's speed, gain and the display filters in force, then `shown` (which part of
  // the recording the page holds, or empty); returns PrintTraceArea.
  CRect PrintPageFrame(CDC* dc, const QString& shown = QString());
  // The scales and note of that footer.
  PageScales PrintedScales(const QString& shown) const;
  // The label font of a printed page: 3 mm high, whatever the zoom.
  CFont PrintLabelFont();

  // How a printed page lays out its leads: `rows` leads to a column, their zero lines rowPitch
  // apart from the top margin down; each further column starts columnGap after the end of the
  // trace to its left.
  struct PrintColumns {
    int rows;
    int rowPitch;
    int columnGap;
  };
  // Clips to traceArea, covers it with dotted paper and prints every lead on it down the columns:
  // at most samplesShown[lead] samples of each, labelled, after its markers when withMarkers.
  void PrintLeads(CDC* dc, const CRect& traceArea, const PrintColumns& columns,
                  const int* samplesShown, bool withMarkers);

  // The left button with Shift, or alone while the calipers tool is on, starts the calipers at
  // the pointer; moving spans them.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  // Esc clears the calipers.
  void keyPressEvent(QKeyEvent* event) override;
  // A left release zooms in, a right one out, about the pointer; not the release of the click
  // that brought the window forward.
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Ctrl with the wheel zooms about the pointer; the wheel alone scrolls.
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  SignalStyle m_detachedStyle;
  bool m_bActivatingClick = false;  // the button now down brought the view the focus
  bool m_bCaliper = false;
  bool m_bCaliperTool = false;  // a plain drag measures instead of a click zooming
  bool m_bCaliperDragging = false;
  QPointF m_caliperFrom;  // 0.1 mm of paper at zoom 1, y up
  QPointF m_caliperTo;

  // The paper point, in 0.1 mm at zoom 1, under a viewport point.
  QPointF PaperPoint(QPoint at) const;
  uint16_t m_nAmplitudeMultiplier = 0;
  uint16_t m_nSampleInterval = 0;
  double m_dSpeed = 25.0;
  double m_dGain = 10.0;
  unsigned m_filters = 0;
  unsigned m_appliedFilters = 0;  // those of m_filters the leads' sampling rate allows
  const int16_t* m_pStoredSamples[kMaxLeads] = {};  // the Document's, as AddLead was given them
  std::vector<int16_t> m_filtered[kMaxLeads];       // drawn instead while filters are on
};
