#include "framework/CDocManager.h"

#include <QFileInfo>
#include <algorithm>

#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CMultiDocTemplate.h"

namespace {

// Two paths name the same file when their canonical forms agree (links and ".." resolved); a
// path that does not exist is compared in its absolute form.
QString ComparablePath(const QString& path) {
  const QFileInfo file(path);
  const QString canonical = file.canonicalFilePath();
  return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

}  // namespace

void CDocManager::AddDocTemplate(CMultiDocTemplate* docTemplate) {
  if (docTemplate != nullptr &&
      std::find(m_templates.begin(), m_templates.end(), docTemplate) == m_templates.end()) {
    m_templates.push_back(docTemplate);
  }
}

CDocument* CDocManager::FindOpenDocument(const QString& path) const {
  if (path.isEmpty()) {
    return nullptr;
  }
  const QString wanted = ComparablePath(path);
  for (CMultiDocTemplate* docTemplate : m_templates) {
    for (CDocument* document : docTemplate->GetDocuments()) {
      if (!document->GetPathName().isEmpty() && ComparablePath(document->GetPathName()) == wanted) {
        return document;
      }
    }
  }
  return nullptr;
}

CDocument* CDocManager::OpenDocumentFile(const QString& path) {
  if (CDocument* open = FindOpenDocument(path)) {
    const std::vector<CMDIChildWnd*> frames = open->GetFrames();
    if (!frames.empty()) {
      frames.front()->ActivateFrame();
    }
    return open;
  }
  if (m_templates.empty()) {
    return nullptr;
  }
  return m_templates.front()->OpenDocumentFile(path);
}

CDocument* CDocManager::OnFileNew() {
  if (m_templates.empty()) {
    return nullptr;
  }
  return m_templates.front()->OpenDocumentFile(QString());
}

bool CDocManager::SaveAllModified() {
  return std::all_of(m_templates.begin(), m_templates.end(),
                     [](CMultiDocTemplate* docTemplate) { return docTemplate->SaveAllModified(); });
}

void CDocManager::CloseAllDocuments(bool endSession) {
  for (CMultiDocTemplate* docTemplate : m_templates) {
    docTemplate->CloseAllDocuments(endSession);
  }
}

int CDocManager::GetOpenDocumentCount() const {
  size_t count = 0;
  for (CMultiDocTemplate* docTemplate : m_templates) {
    count += docTemplate->GetDocuments().size();
  }
  return static_cast<int>(count);
}
