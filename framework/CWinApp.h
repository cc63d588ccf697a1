// The application base: the one application object with its start-up (InitInstance), the event
// loop, the registered document templates, the main window, the profile with the recent-file
// list, the command line, and the dialogs and messages the framework shows — overridable, so
// tests can answer them.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "framework/CCmdTarget.h"
#include "framework/CDocManager.h"
#include "framework/GdiTypes.h"

class CCommandLineInfo;
class CDocument;
class CMDIFrameWnd;
class CMultiDocTemplate;
class CPrintInfo;
class CProfile;
class CRecentFileList;
class QPrinter;

class CWinApp : public CCmdTarget {
 public:
  // Makes the one application object; a QApplication must exist already. appName names the
  // profile; empty takes the QApplication's name. Handles Exit and the recent-file entries.
  explicit CWinApp(const QString& appName = QString());
  ~CWinApp() override;

  // Start-up, called once by Run; false ends the program. The base returns true.
  virtual bool InitInstance();
  // Called when the program ends; returns its exit code: 0, or 1 when InitInstance failed, or
  // what a print from the command line set (ProcessShellCommand).
  virtual int ExitInstance();
  // Runs InitInstance and, when it succeeds, the event loop until the last window closes;
  // returns ExitInstance's code.
  int Run();
  // Called whenever the event loop is about to wait: refreshes the main window's command states.
  virtual void OnIdle();

  const QString& GetAppName() const { return m_strAppName; }

  // Documents.
  CDocManager* GetDocManager() { return &m_docManager; }
  // Registers a template for File Open, File New, the recent-file list and the command line;
  // the caller keeps ownership.
  void AddDocTemplate(CMultiDocTemplate* docTemplate);
  // Opens a file (or activates it when already open); null when it could not be opened.
  virtual CDocument* OpenDocumentFile(const QString& path);
  bool SaveAllModified();
  void CloseAllDocuments(bool endSession);

  // Profile. SetProfileName chooses the INI file before the first use; the default is
  // "<user configuration directory>/<appName>.ini".
  void SetProfileName(const QString& fileName);
  CProfile* GetProfile();
  // Reads the recent-file list of maxMru entries from the profile.
  void LoadStdProfileSettings(int maxMru = 4);
  CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
  // Puts a file at the top of the recent-file list and writes the list to the profile.
  virtual void AddToRecentFileList(const QString& path);
  int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
  bool WriteProfileInt(const QString& section, const QString& entry, int value);
  QString GetProfileString(const QString& section, const QString& entry,
                           const QString& defaultValue = QString());
  bool WriteProfileString(const QString& section, const QString& entry, const QString& value);

  // Command line: reads QApplication's arguments, then carries out the shell command: open the
  // file (false when it cannot be opened), File New when there is none (false without a main
  // window), or print the file's active window without dialog on the default or the named
  // printer, close it and return false so that the program ends. A print sets the program's exit
  // code: 0 when the page was printed; otherwise 1, after a message on standard error saying why;
  // 2 after a usage line on standard error when the file, or the printer of /PT, is missing.
  void ParseCommandLine(CCommandLineInfo& info);
  // The program's arguments, the program first: QApplication's unless set (tests set their own).
  QStringList GetCommandLine() const;
  void SetCommandLine(const QStringList& arguments) { m_arguments = arguments; }
  bool ProcessShellCommand(CCommandLineInfo& info);
  // True while the shell command prints: messages then go to standard error, as nobody sits at
  // a window to answer them.
  bool IsShellPrinting() const { return m_bShellPrinting; }

  // Command handlers an application may register: File New, File Open (file dialog, then
  // OpenDocumentFile), Print Setup, Exit (closes the main window after the save questions), and
  // a recent-file entry (an entry that no longer opens leaves the list).
  void OnFileNew();
  void OnFileOpen();
  void OnFilePrintSetup();
  void OnAppExit();
  bool OnOpenRecentFile(int id);

  // What the framework asks the user; override to answer without a dialog. DoMessageBox returns
  // IDOK, IDYES, IDNO or IDCANCEL; DoPrintDialog true to print (it may narrow info's page
  // range); DoPromptFileName true with *fileName set to the chosen file.
  virtual int DoMessageBox(const QString& prompt, UINT type);
  virtual bool DoPrintDialog(QPrinter* printer, CPrintInfo* info);
  virtual bool DoPromptFileName(QString* fileName, const QString& title, bool openFileDialog,
                                CMultiDocTemplate* docTemplate);
  // The printer whose settings every print and preview uses (made on first use).
  QPrinter* GetPrinter();

  // The main window; set by InitInstance. Null when the program runs without one. The
  // application deletes a main window that is still there when the application ends.
  CMDIFrameWnd* m_pMainWnd = nullptr;

  // The one application object, or null.
  static CWinApp* Instance() { return s_pInstance; }

 private:
  void OnUpdateRecentFileMenu(CCmdUI* cmdUI);
  bool PrintFromShell(const CCommandLineInfo& info);

  static CWinApp* s_pInstance;

  QString m_strAppName;
  std::optional<QStringList> m_arguments;
  QString m_strProfileName;
  CDocManager m_docManager;
  std::unique_ptr<CProfile> m_pProfile;
  std::unique_ptr<CRecentFileList> m_pRecentFileList;
  std::unique_ptr<QPrinter> m_pPrinter;
  int m_nExitCode = 0;
  std::optional<int> m_shellExitCode;  // set by a print from the command line
  bool m_bShellPrinting = false;
};

// The application object, and its main window; null when there is none.
CWinApp* AfxGetApp();
CMDIFrameWnd* AfxGetMainWnd();
// Shows a message through the application (or a plain message box without one). The wait cursor,
// when shown, is taken off while the message is up.
int AfxMessageBox(const QString& prompt, UINT type = 0);
// The print dialog and the file dialog through the application, or plain dialogs without one.
bool AfxPrintDialog(QPrinter* printer, CPrintInfo* info);
bool AfxPromptFileName(QString* fileName, const QString& title, bool openFileDialog,
                       CMultiDocTemplate* docTemplate);
