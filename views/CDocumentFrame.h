// The child frame shared by the document windows: a caption from the string table followed by the
// record's file name, the window-state bits the application keeps for that kind of window, and a
// close request that is ignored (the windows of a document close together with it).
#pragma once

#include "document/DocWindows.h"
#include "framework/CMDIChildWnd.h"
#include "framework/GdiTypes.h"

// Implemented by the application: the window-state bits (WS_MAXIMIZE or WS_MINIMIZE) it adds to
// the style of every document window of a kind, as its command-line switches chose them.
class IDocFrameStyles {
 public:
  virtual ~IDocFrameStyles() = default;
  virtual DWORD GetDocFrameStyle(DocWindow kind) const = 0;
};

// Returns the application's window-state bits for a kind of document window; WS_MAXIMIZE when
// there is no application or it does not keep any.
DWORD DocFrameStyle(DocWindow kind);

class CDocumentFrame : public CMDIChildWnd {
  Q_OBJECT

 public:
  // captionId: the string that is the caption; kind: whose window-state bits the style gets.
  CDocumentFrame(int captionId, DocWindow kind);

  // Creates the frame with its caption string; the document's caption follows it
  // (OnUpdateFrameTitle).
  bool Create(const QString& title, DWORD style, CMDIFrameWnd* parent) override;
  // Shows the caption string, then the document's caption (its file name and state), so that
  // the windows of different records can be told apart: "ECG - demo.scp".
  void OnUpdateFrameTitle() override;
  // Adds the application's window-state bits for this kind of window.
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  // Ignored: the window goes away only when its document is closed.
  void OnClose() override;

 private:
  int m_nCaptionId;
  DocWindow m_kind;
};
