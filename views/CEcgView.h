// The rhythm view: every rhythm lead of the record, full length, one lead per row in a single
// column, and its printed page of 12 rows (portrait) or two columns of 6 rows (landscape); and
// its child frame, captioned "ECG".
#pragma once

#include "scp/ScpDecode.h"
#include "views/CDocumentFrame.h"
#include "views/CSignalView.h"

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

  // One row per lead, labelled, without markers.
  void OnDraw(CDC* dc) override;
  // The page count is 1.
  void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
  void OnPrint(CDC* dc, CPrintInfo* info) override;
  // Draws the page: the patient frame, then dotted paper and black traces in what it leaves.
  void PrintPage(CDC* dc);
};

class CEcgFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CEcgFrame();
};
