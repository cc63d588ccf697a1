#include "framework/CWinApp.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <vector>

#include "framework/CCommandLineInfo.h"
#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/CPrintInfo.h"
#include "framework/CProfile.h"
#include "framework/CRecentFileList.h"
#include "framework/CView.h"
#include "framework/FrameworkConstants.h"
#include "framework/FrameworkIds.h"

CWinApp* CWinApp::s_pInstance = nullptr;

namespace {

constexpr int kFailedStartExitCode = 1;
constexpr int kPrintedExitCode = 0;
constexpr int kNotPrintedExitCode = 1;
const char* const kMruPlaceholderText = "quillonMruPlaceholderText";

// Takes every override cursor (the wait cursor) off while it lives and puts them back after, so
// that a message is never shown under the wait cursor.
class OverrideCursorPause {
 public:
  OverrideCursorPause() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      return;
    }
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
      m_cursors.push_back(*cursor);
      QGuiApplication::restoreOverrideCursor();
    }
  }
  ~OverrideCursorPause() {
    for (auto cursor = m_cursors.rbegin(); cursor != m_cursors.rend(); ++cursor) {
      QGuiApplication::setOverrideCursor(*cursor);
    }
  }
  OverrideCursorPause(const OverrideCursorPause&) = delete;
  OverrideCursorPause& operator=(const OverrideCursorPause&) = delete;

 private:
  std::vector<QCursor> m_cursors;
};

void WriteShellMessage(const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  std::fflush(stderr);
}

QWidget* DialogParent() {
  return AfxGetMainWnd();
}

int ShowMessageBox(const QString& prompt, UINT type) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(AfxGetApp() != nullptr ? AfxGetApp()->GetAppName()
                                            : QCoreApplication::applicationName());
  box.setText(prompt);
  switch (type & 0xF0) {
    case MB_ICONSTOP:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (type & 0x0F) {
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Ok:
      return IDOK;
    default:
      return IDCANCEL;
  }
}

bool ShowPrintDialog(QPrinter* printer, CPrintInfo* info) {
  QPrintDialog dialog(printer, DialogParent());
  if (info->GetMaxPage() != kPrintPageUnknown) {
    dialog.setMinMax(static_cast<int>(info->GetMinPage()), static_cast<int>(info->GetMaxPage()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  }
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
    info->SetFromPage(static_cast<UINT>(dialog.fromPage()));
    info->SetToPage(static_cast<UINT>(dialog.toPage()));
  }
  return true;
}

bool ShowFileDialog(QString* fileName, const QString& title, bool openFileDialog,
                    CMultiDocTemplate* docTemplate) {
  QString filter;
  if (docTemplate != nullptr && !docTemplate->GetFileFilter().isEmpty()) {
    filter = docTemplate->GetFileFilter() + QStringLiteral(";;");
  }
  filter += QFileDialog::tr("All files (*)");
  const QString chosen =
      openFileDialog ? QFileDialog::getOpenFileName(DialogParent(), title, *fileName, filter)
                     : QFileDialog::getSaveFileName(DialogParent(), title, *fileName, filter);
  if (chosen.isEmpty()) {
    return false;
  }
  *fileName = chosen;
  return true;
}

}  // namespace

CWinApp::CWinApp(const QString& appName)
    : m_strAppName(appName.isEmpty() ? QCoreApplication::applicationName() : appName) {
  s_pInstance = this;
  OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
  OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, [this](int id) { OnOpenRecentFile(id); });
  OnUpdateCommandUIRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4,
                         [this](CCmdUI* cmdUI) { OnUpdateRecentFileMenu(cmdUI); });
}

CWinApp::~CWinApp() {
  delete m_pMainWnd;  // a main window that never closed
  if (s_pInstance == this) {
    s_pInstance = nullptr;
  }
}

bool CWinApp::InitInstance() {
  return true;
}

int CWinApp::ExitInstance() {
  return m_nExitCode;
}

int CWinApp::Run() {
  if (!InitInstance()) {
    m_nExitCode = m_shellExitCode.value_or(kFailedStartExitCode);
    return ExitInstance();
  }
  QMetaObject::Connection idle;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                            QCoreApplication::instance(), [this] { OnIdle(); });
  }
  QApplication::exec();
  QObject::disconnect(idle);
  return ExitInstance();
}

void CWinApp::OnIdle() {
  if (m_pMainWnd != nullptr) {
    m_pMainWnd->UpdateCommandUI();
  }
}

void CWinApp::AddDocTemplate(CMultiDocTemplate* docTemplate) {
  m_docManager.AddDocTemplate(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
  return m_docManager.OpenDocumentFile(path);
}

bool CWinApp::SaveAllModified() {
  return m_docManager.SaveAllModified();
}

void CWinApp::CloseAllDocuments(bool endSession) {
  m_docManager.CloseAllDocuments(endSession);
}

void CWinApp::SetProfileName(const QString& fileName) {
  m_strProfileName = fileName;
  m_pProfile.reset();
}

CProfile* CWinApp::GetProfile() {
  if (m_pProfile == nullptr) {
    const QString fileName =
        m_strProfileName.isEmpty() ? CProfile::DefaultFileName(m_strAppName) : m_strProfileName;
    m_pProfile = std::make_unique<CProfile>(fileName);
  }
  return m_pProfile.get();
}

void CWinApp::LoadStdProfileSettings(int maxMru) {
  m_pRecentFileList = std::make_unique<CRecentFileList>(maxMru);
  m_pRecentFileList->ReadList(*GetProfile());
}

void CWinApp::AddToRecentFileList(const QString& path) {
  if (m_pRecentFileList == nullptr) {
    return;
  }
  m_pRecentFileList->Add(path);
  m_pRecentFileList->WriteList(*GetProfile());
}

int CWinApp::GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
  return GetProfile()->GetProfileInt(section, entry, defaultValue);
}

bool CWinApp::WriteProfileInt(const QString& section, const QString& entry, int value) {
  return GetProfile()->WriteProfileInt(section, entry, value);
}

QString CWinApp::GetProfileString(const QString& section, const QString& entry,
                                  const QString& defaultValue) {
  return GetProfile()->GetProfileString(section, entry, defaultValue);
}

bool CWinApp::WriteProfileString(const QString& section, const QString& entry,
                                 const QString& value) {
  return GetProfile()->WriteProfileString(section, entry, value);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  info.ParseArguments(GetCommandLine());
}

QStringList CWinApp::GetCommandLine() const {
  return m_arguments.value_or(QCoreApplication::arguments());
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      if (!OnCmdMsg(ID_FILE_NEW)) {
        OnFileNew();
      }
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      m_bShellPrinting = true;
      m_shellExitCode = PrintFromShell(info) ? kPrintedExitCode : kNotPrintedExitCode;
      m_bShellPrinting = false;
      return false;  // printed or not, the program ends
    case CCommandLineInfo::FileNothing:
      return true;
  }
  return false;
}

bool CWinApp::PrintFromShell(const CCommandLineInfo& info) {
  QPrinter* printer = GetPrinter();
  if (info.m_nShellCommand == CCommandLineInfo::FilePrintTo) {
    if (QPrinterInfo::printerInfo(info.m_strPrinterName).isNull()) {
      WriteShellMessage(QStringLiteral("%1: there is no printer named \"%2\".")
                            .arg(info.m_strFileName, info.m_strPrinterName));
      return false;
    }
    printer->setPrinterName(info.m_strPrinterName);
  }
  CDocument* document = OpenDocumentFile(info.m_strFileName);
  if (document == nullptr) {
    WriteShellMessage(
        QStringLiteral("%1: not printed, the file could not be opened.").arg(info.m_strFileName));
    return false;
  }
  CMDIChildWnd* frame = m_pMainWnd != nullptr ? m_pMainWnd->MDIGetActive() : nullptr;
  if (frame == nullptr || frame->GetActiveDocument() != document) {
    const std::vector<CMDIChildWnd*> frames = document->GetFrames();
    frame = frames.empty() ? nullptr : frames.back();
  }
  CView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
  bool printed = false;
  if (view == nullptr || !view->HasCommandHandler(ID_FILE_PRINT_DIRECT)) {
    WriteShellMessage(QStringLiteral("%1: the active window of the file cannot be printed.")
                          .arg(info.m_strFileName));
  } else if (!view->PrintTo(printer)) {
    const QString target = printer->outputFormat() == QPrinter::PdfFormat
                               ? printer->outputFileName()
                               : printer->printerName();
    WriteShellMessage(QStringLiteral("%1: not printed, the printer \"%2\" could not be opened.")
                          .arg(info.m_strFileName, target));
  } else {
    printed = true;
  }
  document->OnCloseDocument();
  return printed;
}

void CWinApp::OnFileNew() {
  m_docManager.OnFileNew();
}

void CWinApp::OnFileOpen() {
  QString fileName;
  const std::vector<CMultiDocTemplate*>& templates = m_docManager.GetTemplates();
  CMultiDocTemplate* docTemplate = templates.empty() ? nullptr : templates.front();
  if (!DoPromptFileName(&fileName, QString(), true, docTemplate)) {
    return;
  }
  OpenDocumentFile(fileName);
}

void CWinApp::OnFilePrintSetup() {
  QPageSetupDialog dialog(GetPrinter(), DialogParent());
  dialog.exec();
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd != nullptr) {
    m_pMainWnd->close();
    return;
  }
  if (SaveAllModified()) {
    CloseAllDocuments(false);
    QCoreApplication::quit();
  }
}

bool CWinApp::OnOpenRecentFile(int id) {
  if (m_pRecentFileList == nullptr) {
    return false;
  }
  const int index = id - ID_FILE_MRU_FILE1;
  const QString path = m_pRecentFileList->GetPath(index);
  if (path.isEmpty()) {
    return false;
  }
  if (OpenDocumentFile(path) == nullptr) {
    m_pRecentFileList->Remove(index);
    m_pRecentFileList->WriteList(*GetProfile());
  }
  return true;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* cmdUI) {
  const int index = cmdUI->m_nID - ID_FILE_MRU_FILE1;
  const int count = m_pRecentFileList != nullptr ? m_pRecentFileList->GetCount() : 0;
  QAction* action = cmdUI->m_pAction;
  if (action != nullptr && index == 0 && !action->property(kMruPlaceholderText).isValid()) {
    action->setProperty(kMruPlaceholderText, action->text());
  }
  if (index < count) {
    cmdUI->Enable(true);
    cmdUI->SetText(
        QStringLiteral("&%1 %2").arg(index + 1).arg(m_pRecentFileList->GetDisplayName(index)));
    if (action != nullptr) {
      action->setVisible(true);
    }
    return;
  }
  cmdUI->Enable(false);
  if (action == nullptr) {
    return;
  }
  if (index == 0) {
    cmdUI->SetText(action->property(kMruPlaceholderText).toString());  // "no recent file"
    action->setVisible(true);
  } else {
    action->setVisible(false);
  }
}

int CWinApp::DoMessageBox(const QString& prompt, UINT type) {
  return ShowMessageBox(prompt, type);
}

bool CWinApp::DoPrintDialog(QPrinter* printer, CPrintInfo* info) {
  return ShowPrintDialog(printer, info);
}

bool CWinApp::DoPromptFileName(QString* fileName, const QString& title, bool openFileDialog,
                               CMultiDocTemplate* docTemplate) {
  return ShowFileDialog(fileName, title, openFileDialog, docTemplate);
}

QPrinter* CWinApp::GetPrinter() {
  if (m_pPrinter == nullptr) {
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  }
  return m_pPrinter.get();
}

CWinApp* AfxGetApp() {
  return CWinApp::Instance();
}

CMDIFrameWnd* AfxGetMainWnd() {
  return CWinApp::Instance() != nullptr ? CWinApp::Instance()->m_pMainWnd : nullptr;
}

int AfxMessageBox(const QString& prompt, UINT type) {
  const OverrideCursorPause noWaitCursor;
  return AfxGetApp() != nullptr ? AfxGetApp()->DoMessageBox(prompt, type)
                                : ShowMessageBox(prompt, type);
}

bool AfxPrintDialog(QPrinter* printer, CPrintInfo* info) {
  return AfxGetApp() != nullptr ? AfxGetApp()->DoPrintDialog(printer, info)
                                : ShowPrintDialog(printer, info);
}

bool AfxPromptFileName(QString* fileName, const QString& title, bool openFileDialog,
                       CMultiDocTemplate* docTemplate) {
  return AfxGetApp() != nullptr
             ? AfxGetApp()->DoPromptFileName(fileName, title, openFileDialog, docTemplate)
             : ShowFileDialog(fileName, title, openFileDialog, docTemplate);
}
