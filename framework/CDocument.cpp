#include "framework/CDocument.h"

#include <QFileInfo>
#include <algorithm>

#include "framework/CMDIChildWnd.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/CView.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/FrameworkMessages.h"
#include "framework/FrameworkIds.h"

CDocument::CDocument() {
  OnCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
  OnCommand(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
  OnCommand(ID_FILE_CLOSE, [this] { OnFileClose(); });
}

CDocument::~CDocument() {
  for (CView* view : m_views) {
    view->m_pDocument = nullptr;
  }
}

void CDocument::SetTitle(const QString& title) {
  m_strTitle = title;
  UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
  for (CMDIChildWnd* frame : GetFrames()) {
    frame->OnUpdateFrameTitle();
  }
}

void CDocument::SetPathName(const QString& path, bool addToMru) {
  const QFileInfo file(path);
  m_strPathName = file.absoluteFilePath();
  SetTitle(file.fileName());
  if (addToMru && AfxGetApp() != nullptr) {
    AfxGetApp()->AddToRecentFileList(m_strPathName);
  }
}

void CDocument::AddView(CView* view) {
  if (view == nullptr || view->m_pDocument == this) {
    return;
  }
  if (view->m_pDocument != nullptr) {
    view->m_pDocument->RemoveView(view);
  }
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  const auto found = std::find(m_views.begin(), m_views.end(), view);
  if (found == m_views.end()) {
    return;
  }
  m_views.erase(found);
  view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, long hint) {
  const std::vector<CView*> views = m_views;
  for (CView* view : views) {
    if (view != sender) {
      view->OnUpdate(sender, hint);
    }
  }
}

std::vector<CMDIChildWnd*> CDocument::GetFrames() const {
  std::vector<CMDIChildWnd*> frames;
  for (CView* view : m_views) {
    CMDIChildWnd* frame = view->GetParentFrame();
    if (frame != nullptr && std::find(frames.begin(), frames.end(), frame) == frames.end()) {
      frames.push_back(frame);
    }
  }
  return frames;
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const QString& /*path*/) {
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const QString& /*path*/) {
  return true;
}

void CDocument::OnCloseDocument() {
  for (CMDIChildWnd* frame : GetFrames()) {
    frame->DestroyWindow();
  }
  DeleteContents();
  if (m_bAutoDelete && m_pDocTemplate != nullptr) {
    m_pDocTemplate->RemoveDocument(this);  // destroys this document
  }
}

void CDocument::DeleteContents() {}

bool CDocument::SaveModified() {
  if (!IsModified()) {
    return true;
  }
  const QString question = FrameworkMessage(AFX_IDP_ASK_TO_SAVE).arg(GetTitle());
  switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
      return DoFileSave();
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool CDocument::CanCloseFrame(CMDIChildWnd* frame) {
  for (CMDIChildWnd* other : GetFrames()) {
    if (other != frame) {
      return true;  // another window keeps the document open
    }
  }
  return SaveModified();
}

bool CDocument::DoFileSave() {
  const QFileInfo file(m_strPathName);
  if (m_strPathName.isEmpty() || (file.exists() && !file.isWritable())) {
    return DoSave(QString());
  }
  return DoSave(m_strPathName);
}

bool CDocument::DoSave(const QString& path, bool replace) {
  QString target = path;
  if (target.isEmpty()) {
    target = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
    if (!AfxPromptFileName(&target, QString(), false, m_pDocTemplate)) {
      return false;
    }
  }
  CWaitCursor wait;
  if (!OnSaveDocument(target)) {
    return false;
  }
  SetModifiedFlag(false);
  if (replace) {
    SetPathName(target);
  }
  return true;
}

void CDocument::OnFileClose() {
  if (!SaveModified()) {
    return;
  }
  OnCloseDocument();
}
