// The document base: one open file with its path, title, modified flag and views, and the
// open, save and close operations a document class overrides.
#pragma once

#include <QString>
#include <vector>

#include "framework/CCmdTarget.h"

class CMDIChildWnd;
class CMultiDocTemplate;
class CView;

class CDocument : public CCmdTarget {
 public:
  // Handles File Save, File Save As and File Close.
  CDocument();
  // Detaches the views still attached; they no longer refer to this document.
  ~CDocument() override;

  const QString& GetTitle() const { return m_strTitle; }
  // The title as the windows show it: the title, then whatever a document class adds about its
  // state. The base shows the title alone.
  virtual QString GetCaption() const { return m_strTitle; }
  // Sets the title and refreshes the captions of the frames that show it.
  virtual void SetTitle(const QString& title);
  const QString& GetPathName() const { return m_strPathName; }
  // Takes the path as an absolute path, makes its file name the title and, when addToMru is
  // set and an application exists, puts it at the top of the recent-file list.
  virtual void SetPathName(const QString& path, bool addToMru = true);

  bool IsModified() const { return m_bModified; }
  virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  // The template that made this document, or null.
  CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  // The views, in the order they were added.
  const std::vector<CView*>& GetViews() const { return m_views; }
  void AddView(CView* view);
  void RemoveView(CView* view);
  // Calls OnUpdate of every view but sender.
  void UpdateAllViews(CView* sender, long hint = 0);
  // The frames of the views, each once, in the order of the views.
  std::vector<CMDIChildWnd*> GetFrames() const;
  // Refreshes the captions of the frames (their numbers change as windows come and go).
  void UpdateFrameCounts();

  // Makes an empty document: DeleteContents, clears the modified flag, true.
  virtual bool OnNewDocument();
  // Opens path: the base empties the document (DeleteContents), clears the flag and returns true.
  // A document class reads the file here and returns false when it cannot.
  virtual bool OnOpenDocument(const QString& path);
  // Writes the document to path; true when it was written. The base writes nothing and returns
  // true. A document class shows its own message when a write fails.
  virtual bool OnSaveDocument(const QString& path);
  // Destroys every frame of the document, then calls DeleteContents; then, when the document
  // belongs to a template and is auto-deleted (the default), the template destroys it: do not
  // touch the document after this call.
  virtual void OnCloseDocument();
  // Frees what the document holds; the base does nothing.
  virtual void DeleteContents();

  // Before losing changes: when modified, asks "Salvare le modifiche a %1?" with the title.
  // Yes saves (DoFileSave) and returns whether the save succeeded; No returns true; Cancel false.
  virtual bool SaveModified();
  // Whether the frame may close: true unless it is the document's last frame and SaveModified
  // says no.
  virtual bool CanCloseFrame(CMDIChildWnd* frame);

  // Saves to the document's path, or asks for one first (Save As) when it has none or the file
  // is read-only. False when nothing was saved (cancelled or failed); the flag then stays set.
  bool DoFileSave();
  // Saves to path, asking for one when path is empty. On success clears the modified flag and,
  // when replace is set, takes the path as the document's. False when cancelled or when
  // OnSaveDocument failed; the document then keeps its flag and path.
  bool DoSave(const QString& path, bool replace = true);

  // Command handlers: File Save, File Save As, File Close (asks SaveModified first).
  void OnFileSave() { DoFileSave(); }
  void OnFileSaveAs() { DoSave(QString()); }
  void OnFileClose();

  // False keeps the document alive when OnCloseDocument runs (its owner destroys it).
  void SetAutoDelete(bool autoDelete) { m_bAutoDelete = autoDelete; }

 private:
  friend class CMultiDocTemplate;

  QString m_strTitle;
  QString m_strPathName;
  bool m_bModified = false;
  bool m_bAutoDelete = true;
  CMultiDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_views;
};
