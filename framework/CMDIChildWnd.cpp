#include "framework/CMDIChildWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>

#include "framework/CDocument.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CView.h"
#include "framework/FrameworkConstants.h"

CMDIChildWnd::CMDIChildWnd() {
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The window menu's own keys (Ctrl+W, Ctrl+F4) would clash with the main window's commands
  // while the focus is in this window; the main window's commands keep them.
  if (QMenu* menu = systemMenu()) {
    for (QAction* action : menu->actions()) {
      action->setShortcuts({});
    }
  }
}

CMDIChildWnd::~CMDIChildWnd() {
  if (m_pView != nullptr && m_pView->GetDocument() != nullptr) {
    m_pView->GetDocument()->RemoveView(m_pView);
  }
}

void CMDIChildWnd::SetView(CView* view) {
  m_pView = view;
  setWidget(view);
}

CDocument* CMDIChildWnd::GetActiveDocument() const {
  return m_pView != nullptr ? m_pView->GetDocument() : nullptr;
}

bool CMDIChildWnd::Create(const QString& title, DWORD style, CMDIFrameWnd* parent) {
  CREATESTRUCT cs;
  cs.style = style;
  cs.lpszName = title;
  if (!PreCreateWindow(cs)) {
    return false;
  }
  m_dwStyle = cs.style;
  m_strTitle = cs.lpszName;
  m_pMDIFrame = parent;
  OnUpdateFrameTitle();
  if (parent != nullptr) {
    parent->AddChildFrame(this);
  }
  return true;
}

bool CMDIChildWnd::PreCreateWindow(CREATESTRUCT& /*cs*/) {
  return true;
}

void CMDIChildWnd::OnUpdateFrameTitle() {
  CDocument* document = GetActiveDocument();
  if ((m_dwStyle & FWS_ADDTOTITLE) == 0 || document == nullptr) {
    SetCaption(m_strTitle);
    return;
  }
  int windows = 0;
  int number = 0;
  for (CMDIChildWnd* frame : document->GetFrames()) {
    if ((frame->GetStyle() & FWS_ADDTOTITLE) != 0) {
      ++windows;
      if (frame == this) {
        number = windows;
      }
    }
  }
  QString caption = document->GetCaption();
  if (windows > 1) {
    caption += QStringLiteral(":%1").arg(number);
  }
  SetCaption(caption);
}

void CMDIChildWnd::SetCaption(const QString& caption) {
  setWindowTitle(caption);
  if (m_pMDIFrame != nullptr && m_pMDIFrame->MDIGetActive() == this) {
    m_pMDIFrame->OnUpdateFrameTitle();
  }
}

void CMDIChildWnd::ActivateFrame() {
  if (m_pMDIFrame == nullptr) {
    return;
  }
  if (!m_bShown) {
    m_bShown = true;
    if ((m_dwStyle & WS_MINIMIZE) != 0) {
      showMinimized();
    } else if ((m_dwStyle & WS_MAXIMIZE) != 0) {
      showMaximized();
    } else {
      show();
    }
  }
  m_pMDIFrame->MDIActivate(this);
}

void CMDIChildWnd::OnClose() {
  CDocument* document = GetActiveDocument();
  if (document == nullptr) {
    DestroyWindow();
    return;
  }
  if (!document->CanCloseFrame(this)) {
    return;
  }
  if (document->GetFrames().size() == 1) {
    document->OnCloseDocument();  // destroys this frame too
  } else {
    DestroyWindow();
  }
}

void CMDIChildWnd::DestroyWindow() {
  if (m_bDestroyed) {
    return;
  }
  m_bDestroyed = true;
  if (CDocument* document = GetActiveDocument()) {
    document->RemoveView(m_pView);
    document->UpdateFrameCounts();
  }
  hide();
  if (mdiArea() != nullptr) {
    mdiArea()->removeSubWindow(this);
  }
  delete this;
}

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
  // Qt must not close the window on its own: OnClose decides, right after this event, so that
  // it may destroy the frame outside the frame's own event handling.
  event->ignore();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [frame = QPointer<CMDIChildWnd>(this)] {
        if (frame != nullptr) {
          frame->OnClose();
        }
      },
      Qt::QueuedConnection);
}
