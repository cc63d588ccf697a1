// The average-beat view: the reference beat of every lead, three leads per column, with the five
// fiducial markers on every beat, and its printed page with the measurement block; and its child
// frame, captioned "AVG".
#pragma once

#include "scp/ScpDecode.h"
#include "views/CDocumentFrame.h"
#include "views/CSignalView.h"

class CAvgView : public CSignalView {
  Q_OBJECT

 public:
  // Handles Print, direct print and Print Preview besides the zoom commands.
  explicit CAvgView(QWidget* parent = nullptr);

  // Sets the view up from the Document's reference beats and registers it as the average-beat
  // view.
  void OnInitialUpdate() override;
  // The scales, leads, margins and paper of refCount reference beats (the first 16 are kept):
  // four columns, each as wide as the first beat and an 8 mm gap.
  void SetUpLeads(const ScpReferenceBeat* refLeads, int refCount);

  // Three rows per column, labelled, with markers.
  void OnDraw(CDC* dc) override;
  void OnPrint(CDC* dc, CPrintInfo* info) override;
  // Draws the page: the patient frame, the measurement block when the Document has a
  // measurement view, then dotted paper with markers and black beats in what is left.
  void PrintPage(CDC* dc);
};

class CAvgFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CAvgFrame();
};
