// The registered document templates and what spans them: opening a file (or finding it already
// open), saving and closing every document.
#pragma once

#include <QString>
#include <vector>

class CDocument;
class CMultiDocTemplate;

class CDocManager {
 public:
  // Registers a template; the caller keeps ownership and keeps it alive while registered.
  void AddDocTemplate(CMultiDocTemplate* docTemplate);
  const std::vector<CMultiDocTemplate*>& GetTemplates() const { return m_templates; }

  // The open document of a registered template whose path names the same file, or null.
  CDocument* FindOpenDocument(const QString& path) const;
  // Activates the document already open for path (the frame of its first view) and returns it;
  // otherwise opens path with the first registered template. Null when there is no template or
  // the open failed.
  CDocument* OpenDocumentFile(const QString& path);
  // File New: a new document through the first template; null when the document refuses.
  CDocument* OnFileNew();

  // Asks every modified document; false as soon as one is not to be closed.
  bool SaveAllModified();
  void CloseAllDocuments(bool endSession);
  int GetOpenDocumentCount() const;

 private:
  std::vector<CMultiDocTemplate*> m_templates;
};
