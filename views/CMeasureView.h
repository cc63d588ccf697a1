// The measurement view: the global measurements of the first reference beat and a table of the
// per-lead measurements, on screen and as the measurement block of the average-beat page; and
// its child frame, captioned "MEASUREMENT".
#pragma once

#include "framework/CScrollView.h"
#include "framework/GdiObjects.h"
#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"
#include "views/CDocumentFrame.h"

class CMeasureView : public CScrollView {
  Q_OBJECT

 public:
  static constexpr int kMaxLeadBlocks = 16;

  explicit CMeasureView(QWidget* parent = nullptr);

  // Reads the record's measurements and, when both sections were read, registers the view with
  // the Document as its measurement view.
  void OnInitialUpdate() override;
  // Reads the global measurements (section 7 header and block 0) and, only when they were read,
  // the per-lead table (section 10 header and its first 16 lead blocks). A lead block that cannot
  // be read keeps its previous content. The scroll width then reaches the last lead column.
  void ReadMeasurements(const ScpRecord* record);

  // The screen table, in pixels.
  void OnDraw(CDC* dc) override;
  // Prints the measurement block at the top of rect (in MM_LOMETRIC) and returns the part of rect
  // left free: below the block for a rect taller than wide, to the right of the last lead column
  // otherwise. Without a lead table the block counts as having no rows and no columns.
  CRect PrintMeasurements(CDC* dc, const CRect& rect);

  // The number of lead columns shown: the section's lead count, at most 16.
  int ShownLeads() const;

  LOGFONT m_logFont;
  int m_nColumns = 0;
  ScpMeasurementHeader m_globalHeader = {};
  ScpBeatMeasurements m_beat = {};
  ScpLeadMeasurementHeader m_leadHeader = {};
  ScpLeadMeasurements m_leads[kMaxLeadBlocks] = {};
  int m_bHasLeadTable = 0;
  int m_bHasGlobals = 0;

 private:
  // Where the nine global values go: label and value x of each column, y of each row.
  struct GlobalsLayout {
    int labelX[3];
    int valueX[3];
    int rowY[3];
  };
  // Draws the nine labels and values; secondColumnSuffix follows the times of the second column.
  void DrawGlobals(CDC* dc, const GlobalsLayout& layout, const char* secondColumnSuffix);
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
  // Draws the row labels, then for each shown lead its name and its values right-aligned.
  void DrawLeadTable(CDC* dc, const LeadTableLayout& layout);
};

class CMeasureFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CMeasureFrame();
};
