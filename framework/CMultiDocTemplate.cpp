#include "framework/CMultiDocTemplate.h"

#include <QIcon>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CView.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/ResourceTable.h"

namespace {

constexpr DWORD kChildFrameStyle = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;

}  // namespace

CMultiDocTemplate::CMultiDocTemplate(int resourceId, DocumentFactory makeDocument,
                                     FrameFactory makeFrame, ViewFactory makeView)
    : m_nResourceId(resourceId),
      m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame)),
      m_makeView(std::move(makeView)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
  for (const std::unique_ptr<CDocument>& document : m_documents) {
    for (CMDIChildWnd* frame : document->GetFrames()) {
      frame->DestroyWindow();
    }
  }
}

QString CMultiDocTemplate::GetDocString(DocStringIndex index) const {
  const QString docString = m_strDocString.isEmpty() ? LoadString(m_nResourceId) : m_strDocString;
  const QStringList fields = docString.split(QLatin1Char('\n'));
  return index < fields.size() ? fields[index] : QString();
}

QString CMultiDocTemplate::GetFileFilter() const {
  QString name = GetDocString(filterName);
  const QString extension = GetDocString(filterExt);
  if (extension.isEmpty()) {
    return name;
  }
  const int bracket = name.indexOf(QLatin1Char('('));
  if (bracket >= 0) {
    name = name.left(bracket).trimmed();
  }
  // File names on this platform are case-sensitive: offer both spellings of the extension.
  return QStringLiteral("%1 (*%2 *%3)").arg(name, extension.toLower(), extension.toUpper());
}

CDocument* CMultiDocTemplate::CreateNewDocument() {
  std::unique_ptr<CDocument> document = m_makeDocument();
  if (document == nullptr) {
    return nullptr;
  }
  document->m_pDocTemplate = this;
  m_documents.push_back(std::move(document));
  return m_documents.back().get();
}

CMDIChildWnd* CMultiDocTemplate::CreateNewFrame(CDocument* document) {
  CMDIChildWnd* frame = m_makeFrame();
  CView* view = m_makeView();
  frame->SetView(view);
  if (document != nullptr) {
    document->AddView(view);
  }
  const QIcon icon = LoadIcon(m_nResourceId);
  if (!icon.isNull()) {
    frame->setWindowIcon(icon);
  }
  if (!frame->Create(GetDocString(windowTitle), kChildFrameStyle, AfxGetMainWnd())) {
    delete frame;  // the view goes with it and leaves the document
    return nullptr;
  }
  return frame;
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document,
                                           bool makeVisible) {
  if (CView* view = frame->GetActiveView()) {
    view->OnInitialUpdate();
  }
  if (document != nullptr) {
    document->UpdateFrameCounts();
  }
  frame->OnUpdateFrameTitle();
  if (makeVisible) {
    frame->ActivateFrame();
  }
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible) {
  CDocument* document = CreateNewDocument();
  if (document == nullptr) {
    return nullptr;
  }
  CMDIChildWnd* frame = CreateNewFrame(document);
  if (frame == nullptr) {
    RemoveDocument(document);
    return nullptr;
  }
  if (path.isEmpty()) {
    document->SetTitle(QStringLiteral("%1%2").arg(GetDocString(docName)).arg(++m_nUntitledCount));
    if (!document->OnNewDocument()) {
      document->OnCloseDocument();  // destroys its windows and the document
      return nullptr;
    }
  } else {
    CWaitCursor wait;
    if (!document->OnOpenDocument(path)) {
      document->OnCloseDocument();
      return nullptr;
    }
    document->SetPathName(path);
  }
  InitialUpdateFrame(frame, document, makeVisible);
  return document;
}

std::vector<CDocument*> CMultiDocTemplate::GetDocuments() const {
  std::vector<CDocument*> documents;
  for (const std::unique_ptr<CDocument>& document : m_documents) {
    documents.push_back(document.get());
  }
  return documents;
}

void CMultiDocTemplate::RemoveDocument(CDocument* document) {
  const auto found = std::find_if(
      m_documents.begin(), m_documents.end(),
      [document](const std::unique_ptr<CDocument>& held) { return held.get() == document; });
  if (found == m_documents.end()) {
    return;
  }
  const std::unique_ptr<CDocument> removed = std::move(*found);
  m_documents.erase(found);
}

bool CMultiDocTemplate::SaveAllModified() {
  for (CDocument* document : GetDocuments()) {
    if (!document->SaveModified()) {
      return false;
    }
  }
  return true;
}

void CMultiDocTemplate::CloseAllDocuments(bool /*endSession*/) {
  for (CDocument* document : GetDocuments()) {
    document->OnCloseDocument();
  }
}
