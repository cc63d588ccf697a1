// A multiple-document template: binds a resource id to a document class, a child frame class and
// a view class. It makes documents (and owns them), makes a frame with its view for any document,
// and opens files.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CDocument;
class CMDIChildWnd;
class CView;

class CMultiDocTemplate {
 public:
  using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
  using FrameFactory = std::function<CMDIChildWnd*()>;
  using ViewFactory = std::function<CView*()>;

  // The fields of the document string, in order, separated by '\n'.
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName
  };

  CMultiDocTemplate(int resourceId, DocumentFactory makeDocument, FrameFactory makeFrame,
                    ViewFactory makeView);
  // A template for default-constructible document, frame and view classes.
  template <class Document, class Frame, class View>
  static std::unique_ptr<CMultiDocTemplate> Make(int resourceId) {
    return std::make_unique<CMultiDocTemplate>(
        resourceId, [] { return std::unique_ptr<CDocument>(new Document); },
        [] { return new Frame; }, [] { return new View; });
  }
  // Destroys the documents it still holds, with their frames.
  ~CMultiDocTemplate();
  CMultiDocTemplate(const CMultiDocTemplate&) = delete;
  CMultiDocTemplate& operator=(const CMultiDocTemplate&) = delete;

  int GetResourceId() const { return m_nResourceId; }
  // The document string; by default the string-table entry of the resource id.
  void SetDocString(const QString& docString) { m_strDocString = docString; }
  // One field of the document string; empty when absent.
  QString GetDocString(DocStringIndex index) const;
  // A file-dialog filter from the filter name and extension, e.g. "Quillon Files (*.scp *.SCP)".
  QString GetFileFilter() const;

  // Makes a document that this template owns.
  CDocument* CreateNewDocument();
  // Makes a frame holding a new view of document, created in the application's main window
  // (or standing alone without one), and attaches the view to the document. The frame is not
  // shown and the view has had no initial update. Null when the frame refuses to be created.
  CMDIChildWnd* CreateNewFrame(CDocument* document);
  // Gives the frame's view its initial update and, when makeVisible, shows and activates it.
  void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool makeVisible = true);
  // Opens path in a new document with a new frame: OnOpenDocument (OnNewDocument for an empty
  // path) runs after the frame exists; on success the path becomes the document's, the frame's
  // view gets its initial update (after any windows the document opened itself) and the
  // document is returned. On failure every window of the document and the document are
  // destroyed and null is returned.
  CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true);

  // The documents, oldest first.
  std::vector<CDocument*> GetDocuments() const;
  // Destroys a document of this template (its frames must be gone); others are left alone.
  void RemoveDocument(CDocument* document);
  // Asks each modified document; false as soon as one answers Cancel or fails to save.
  bool SaveAllModified();
  // Closes every document with its windows.
  void CloseAllDocuments(bool endSession);

 private:
  int m_nResourceId;
  DocumentFactory m_makeDocument;
  FrameFactory m_makeFrame;
  ViewFactory m_makeView;
  QString m_strDocString;
  int m_nUntitledCount = 0;
  std::vector<std::unique_ptr<CDocument>> m_documents;
};
