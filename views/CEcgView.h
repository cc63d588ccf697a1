// The rhythm view: every rhythm lead of the record, one lead per row in a single column (12x1) or
// in the grid of a standard 12-lead report with calibration pulses, at the chosen paper speed and
// gain, and its printed page: the standard page (3x4+1, landscape) unless the reader chooses
// another; and its child frame, captioned "ECG".
#pragma once

#include <QString>

#include "scp/ScpDecode.h"
#include "views/CDocumentFrame.h"
#include "views/CSignalView.h"
#include "views/RhythmLayout.h"

class CEcgView : public CSignalView {
  Q_OBJECT

 public:
  // Handles Print, direct print and Print Preview besides the zoom commands.
  explicit CEcgView(QWidget* parent = nullptr);

  // Sets the view up from the Document's rhythm leads and registers it as the rhythm view.
  void OnInitialUpdate() override;
  // The scales, leads, margins and paper of rhythmCount rhythm leads (the first 16 are kept). The
  // time scale is that of the first reference beat when refCount is not 0 (a rhythm rebuilt with
  // reference beats is spaced by their interval), else that of the first rhythm lead.
  void SetUpLeads(const ScpRhythmSignal* rhythmLeads, int rhythmCount,
                  const ScpReferenceBeat* refLeads, int refCount);

  // Chooses the layout of the window and of its page together, with the lead of the 3x4+1 strip.
  void SetLayout(RhythmLayout layout, uint8_t stripLeadCode);
  // Chooses the layout of the page alone (the window keeps its own).
  void SetPageLayout(RhythmLayout layout) { m_pageLayout = layout; }
  RhythmLayout Layout() const { return m_layout; }
  RhythmLayout PageLayout() const { return m_pageLayout; }
  uint8_t StripLeadCode() const { return m_stripLeadCode; }
  // Sets the paper speed (mm/s) and gain (mm/mV) of window and page; the paper follows.
  void SetSpeedAndGain(double speed, double gain);

  // The reading settings in force with a layout, as the status bar and the page show them:
  // "25 mm/s  10 mm/mV  3x4+1", then "  baseline,50hz" when filters are on.
  QString SettingsText(RhythmLayout layout) const;
  // The settings of the window's layout, for the status bar.
  QString ReadingText() const override;

  // 12x1: one row per lead, labelled, without markers. Every layout leads each row with a
  // calibration pulse and clips each trace to its own lane.
  void OnDraw(CDC* dc) override;
  // Turns the printer to landscape for a grid page, to portrait for a 12x1 page (not for a direct
  // print, whose caller has set the printer up).
  bool OnPreparePrinting(CPrintInfo* info) override;
  // The page count is 1.
  void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
  void OnPrint(CDC* dc, CPrintInfo* info) override;
  // Draws the page: the patient frame, whose footer carries the speed, gain and display filters
  // and which seconds the page shows, then dotted paper and black traces in what it leaves.
  void PrintPage(CDC* dc);

  // Samples of lead 0 a page of the layout shows at the current speed on traceArea: for a grid,
  // all of them when they fit across; for 12x1, its share of the recording (70 % portrait, half
  // landscape) as far as it fits after the labels and pulses.
  int SamplesShownOnPage(RhythmLayout layout, const CRect& traceArea) const;

 private:
  // The View menu's and toolbar's commands, and the status bar's reading pane.
  void CreateReadingCommands();
  // Takes the speed, gain, layout and strip lead remembered in the application's profile (the
  // usual ones where it holds none, or values no menu offers); writes them back on every change.
  void LoadReadingSettings();
  void SaveReadingSettings();
  // How a 12x1 page lays out its leads: 12 rows of the first 70 % on a page taller than wide,
  // otherwise two columns of 6 rows of the first half.
  struct OneLeadARowPage {
    PrintColumns columns;
    int tenthsShown;
  };
  static OneLeadARowPage OneLeadARowPageOf(const CRect& traceArea);
  // The 12x1 window: each row its label, its calibration pulse and its trace clipped to its lane.
  void DrawOneLeadARow(CDC* dc);
  // The 12x1 page on traceArea (paper already drawn): samplesShown samples of every lead, each
  // row led by its label and pulse, each trace clipped to its lane.
  void PrintOneLeadARow(CDC* dc, const CRect& traceArea, int samplesShown);
  // What starts a 12x1 row at left: the lead's label ending 1 mm before it and the calibration
  // pulse from it, scaled by zoomX and zoomY; on paper in black and 0.2 mm lines.
  void DrawRowStart(CDC* dc, int lead, const CFont& font, double left, double zeroLineY,
                    double zoomX, double zoomY, bool onPaper);
  // The grid of a layout over the first shownSamples samples of the view's leads.
  RhythmGrid GridOf(RhythmLayout layout, int shownSamples) const;
  // The paper of the window's layout at zoom 1.
  void SizePaper();
  // The grid with its pulses, labels and traces: rows from gridTop down rowPitch apart, lanes
  // from left, all scaled by zoomX and zoomY; on paper in black and 0.2 mm lines.
  void DrawGrid(CDC* dc, const RhythmGrid& grid, int left, int gridTop, int rowPitch, double zoomX,
                double zoomY, bool onPaper);
  // The stretch of the recording a page shows, "Shows 0.0-5.0 s of 10.0 s" in the language of the
  // string table, or empty when the whole recording is shown.
  QString SecondsShownText(int samplesShown) const;

  RhythmLayout m_layout = RhythmLayout::k12x1;
  RhythmLayout m_pageLayout = kStandardPageLayout;
  uint8_t m_stripLeadCode = 2;  // lead II
};

class CEcgFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CEcgFrame();
};
