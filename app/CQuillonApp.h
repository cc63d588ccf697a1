// Quillon's application object: the switches /N and /A to /D, the four document templates of
// which one is registered, the main window, the window opener and frame styles the documents
// and their frames ask for, the About box, tiling after every open, and where messages go.
#pragma once

#include <QStringList>
#include <memory>

#include "document/DocWindows.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/GdiTypes.h"
#include "views/CDocumentFrame.h"
#include "views/PatientFormHost.h"

class CMainFrame;
class CMultiDocTemplate;
class CQuillonDoc;

class CQuillonApp : public CWinApp,
                    public IDocWindowOpener,
                    public IDocFrameStyles,
                    public IEditingPermission {
 public:
  // Handles File Open, Print Setup and About; disables File Open and File Save under /N. Becomes
  // the documents' window opener.
  CQuillonApp();
  ~CQuillonApp() override;

  // Start-up: the recent-file list of 4, the four templates, the command line and the switches,
  // the registered template, the main window accepting dropped files, the shell command, then the
  // main window shown and its document windows tiled. False when the main window cannot be
  // built or the shell command fails (a file that does not open, or any print from the command
  // line, which ends the program with its own exit code).
  bool InitInstance() override;

  // Reads the program's own switches from the arguments (the first is the program): /N,
  // /A, /B, /C, /D, recognised by their first two characters in upper case. Every field first
  // gets its initial value.
  void ParseSwitches(const QStringList& arguments);

  // Opens the file (or activates it when open), then tiles every document window.
  CDocument* OpenDocumentFile(const QString& path) override;
  // Tiles the document windows side by side; minimised ones stay icons.
  void TileDocumentWindows();
  // Shows the About box, dialog 100.
  void OnAppAbout();

  // The documents' further windows, made by the template of each kind.
  bool IsEcgPrimary() const override { return m_bEcgPrimary; }
  void OpenWindow(CQuillonDoc* doc, DocWindow kind) override;
  // The window-state bits each kind of document window is created with.
  DWORD GetDocFrameStyle(DocWindow kind) const override;
  // What the patient form asks: false under /N.
  bool IsEditingAllowed() const override { return m_bEditingAllowed; }

  CMainFrame* GetMainFrame() const;
  CMultiDocTemplate* GetTemplate(DocWindow kind) const;

  bool m_bEditingAllowed = true;
  DWORD m_dwEcgFrameStyle = WS_MAXIMIZE;
  DWORD m_dwAvgFrameStyle = WS_MAXIMIZE;
  DWORD m_dwMeasureFrameStyle = WS_MAXIMIZE;
  DWORD m_dwPatientFrameStyle = WS_MAXIMIZE;
  bool m_bEcgPrimary = true;

  std::unique_ptr<CMultiDocTemplate> m_pEcgTemplate;
  std::unique_ptr<CMultiDocTemplate> m_pAvgTemplate;
  std::unique_ptr<CMultiDocTemplate> m_pPatientTemplate;
  std::unique_ptr<CMultiDocTemplate> m_pMeasureTemplate;

 private:
  void CreateTemplates();
  void ShowDocumentMessage(const QString& message);
  void OnUpdateNeedsEditing(CCmdUI* cmdUI);
  void OnUpdateSave(CCmdUI* cmdUI);
};
