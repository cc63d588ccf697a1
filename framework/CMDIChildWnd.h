// A document window inside the main window's MDI area: a frame around one view, with a caption,
// a style word (maximised, minimised, caption with the document's title) and a close request
// that a frame class may ignore.
#pragma once

#include <QMdiSubWindow>
#include <QString>

#include "framework/CCmdTarget.h"
#include "framework/GdiTypes.h"

class CDocument;
class CMDIFrameWnd;
class CView;

// What a frame is about to be created with; PreCreateWindow may change it.
struct CREATESTRUCT {
  DWORD style = 0;
  QString lpszName;  // the caption
};

class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
  Q_OBJECT

 public:
  // Takes the keys off the window menu, so that they never clash with the main window's.
  CMDIChildWnd();
  ~CMDIChildWnd() override;

  // Puts the view in the frame; the frame owns it from then on.
  void SetView(CView* view);
  CView* GetActiveView() const { return m_pView; }
  CDocument* GetActiveDocument() const;

  // Creates the window: PreCreateWindow may change title and style, then the frame keeps them
  // and joins parent's MDI area. Without a parent the frame stands alone and is never shown,
  // which lets its view draw and print without a window. A frame class overrides Create to
  // change the title or the style before calling this one. False when PreCreateWindow refuses.
  virtual bool Create(const QString& title, DWORD style, CMDIFrameWnd* parent);
  // Adjusts what the frame is created with; the base accepts it as it is.
  virtual bool PreCreateWindow(CREATESTRUCT& cs);

  DWORD GetStyle() const { return m_dwStyle; }
  const QString& GetTitle() const { return m_strTitle; }
  CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }

  // Sets the caption: the document's caption when the style has FWS_ADDTOTITLE (followed by ":n"
  // when the document has several such windows), else the frame's title.
  virtual void OnUpdateFrameTitle();
  // Shows caption and, when this is the active document window, lets the main window's title
  // follow it.
  void SetCaption(const QString& caption);
  // Shows the frame as its style asks (WS_MAXIMIZE maximised, WS_MINIMIZE as an icon, else
  // normal) the first time, and makes it the active document window. Does nothing without a
  // parent.
  virtual void ActivateFrame();

  // The close request (close box, window menu, keyboard), handled as soon as the close event is
  // over. The base closes the frame and, when it is its document's last one, asks the document
  // first (CanCloseFrame) and closes the document. A frame class overrides it with an empty
  // body to keep the window open.
  virtual void OnClose();
  // Destroys the frame now: its view leaves the document and the window leaves the MDI area.
  // Not to be called from the frame's own event handlers.
  void DestroyWindow();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CView* m_pView = nullptr;
  CMDIFrameWnd* m_pMDIFrame = nullptr;
  DWORD m_dwStyle = 0;
  QString m_strTitle;
  bool m_bShown = false;
  bool m_bDestroyed = false;
};
