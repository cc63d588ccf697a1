#include "app/CQuillonApp.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/StringTable.h"
#include "document/CQuillonDoc.h"
#include "document/DocMessages.h"
#include "framework/CCommandLineInfo.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/FrameworkConstants.h"
#include "resources/ResourceIds.h"
#include "views/CAvgView.h"
#include "views/CEcgView.h"
#include "views/CMeasureView.h"
#include "views/CPatientFrame.h"
#include "views/CPatientView.h"

namespace {

constexpr int kRecentFiles = 4;

// The main window starts at three quarters of the screen, as a desktop's default for a new
// program window would place it.
constexpr int kMainWindowShareNumerator = 3;
constexpr int kMainWindowShareDenominator = 4;

// The window-state bits of the four kinds for /A to /D: the chosen kind large, the others icons.
struct FrameStyles {
  DWORD ecg;
  DWORD avg;
  DWORD measure;
  DWORD patient;
};

FrameStyles StylesShowingLarge(DocWindow large) {
  const auto style = [large](DocWindow kind) { return kind == large ? WS_MAXIMIZE : WS_MINIMIZE; };
  return {style(DocWindow::kRhythm), style(DocWindow::kAverage), style(DocWindow::kMeasurements),
          style(DocWindow::kPatient)};
}

void SizeMainWindow(CMainFrame* frame) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  const QRect available = screen->availableGeometry();
  frame->resize(available.width() * kMainWindowShareNumerator / kMainWindowShareDenominator,
                available.height() * kMainWindowShareNumerator / kMainWindowShareDenominator);
}

}  // namespace

CQuillonApp::CQuillonApp() {
  OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
  OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
  OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
  OnUpdateCommandUI(ID_FILE_OPEN, [this](CCmdUI* cmdUI) { OnUpdateNeedsEditing(cmdUI); });
  OnUpdateCommandUI(ID_FILE_SAVE, [this](CCmdUI* cmdUI) { OnUpdateSave(cmdUI); });
  SetDocWindowOpener(this);
}

CQuillonApp::~CQuillonApp() {
  // The documents go with their windows while the templates and the main window still exist.
  CloseAllDocuments(true);
  SetDocMessageSink(nullptr);
  if (GetDocWindowOpener() == this) {
    SetDocWindowOpener(nullptr);
  }
}

bool CQuillonApp::InitInstance() {
  FollowQtTranslations(CurrentUiLanguage());
  LoadStdProfileSettings(kRecentFiles);
  CreateTemplates();

  CCommandLineInfo info;
  ParseCommandLine(info);
  ParseSwitches(GetCommandLine());
  AddDocTemplate(m_bEcgPrimary ? m_pEcgTemplate.get() : m_pAvgTemplate.get());

  auto* frame = new CMainFrame;
  if (frame->OnCreate() != 0) {
    delete frame;
    return false;
  }
  m_pMainWnd = frame;
  frame->DragAcceptFiles(true);
  SetDocMessageSink([this](const QString& message) { ShowDocumentMessage(message); });

  if (!ProcessShellCommand(info)) {
    return false;
  }
  SizeMainWindow(frame);
  frame->show();
  TileDocumentWindows();
  frame->UpdateCommandUI();
  return true;
}

void CQuillonApp::ParseSwitches(const QStringList& arguments) {
  m_bEditingAllowed = true;
  m_bEcgPrimary = true;
  m_dwEcgFrameStyle = m_dwAvgFrameStyle = m_dwMeasureFrameStyle = m_dwPatientFrameStyle =
      WS_MAXIMIZE;
  for (int index = 1; index < arguments.size(); ++index) {
    // A path, or any argument naming an existing file, is a file to open, never a switch.
    if (!CCommandLineInfo::IsFlag(arguments[index])) {
      continue;
    }
    const QString start = arguments[index].left(2);
    std::optional<DocWindow> large;
    if (start == QLatin1String("/N")) {
      m_bEditingAllowed = false;
    } else if (start == QLatin1String("/A")) {
      m_bEcgPrimary = false;
      large = DocWindow::kAverage;
    } else if (start == QLatin1String("/B")) {
      large = DocWindow::kRhythm;
    } else if (start == QLatin1String("/C")) {
      large = DocWindow::kMeasurements;
    } else if (start == QLatin1String("/D")) {
      large = DocWindow::kPatient;
    }
    if (large.has_value()) {
      const FrameStyles styles = StylesShowingLarge(*large);
      m_dwEcgFrameStyle = styles.ecg;
      m_dwAvgFrameStyle = styles.avg;
      m_dwMeasureFrameStyle = styles.measure;
      m_dwPatientFrameStyle = styles.patient;
    }
  }
}

CDocument* CQuillonApp::OpenDocumentFile(const QString& path) {
  CDocument* document = CWinApp::OpenDocumentFile(path);
  TileDocumentWindows();
  return document;
}

void CQuillonApp::TileDocumentWindows() {
  if (m_pMainWnd != nullptr) {
    m_pMainWnd->MDITile(MDITILE_VERTICAL);
  }
}

void CQuillonApp::OnAppAbout() {
  CAboutDlg about(m_pMainWnd);
  about.exec();
}

void CQuillonApp::OpenWindow(CQuillonDoc* doc, DocWindow kind) {
  CMultiDocTemplate* docTemplate = GetTemplate(kind);
  if (docTemplate == nullptr) {
    return;
  }
  if (CMDIChildWnd* frame = docTemplate->CreateNewFrame(doc)) {
    docTemplate->InitialUpdateFrame(frame, doc);
  }
}

DWORD CQuillonApp::GetDocFrameStyle(DocWindow kind) const {
  switch (kind) {
    case DocWindow::kRhythm:
      return m_dwEcgFrameStyle;
    case DocWindow::kAverage:
      return m_dwAvgFrameStyle;
    case DocWindow::kMeasurements:
      return m_dwMeasureFrameStyle;
    case DocWindow::kPatient:
      return m_dwPatientFrameStyle;
  }
  return WS_MAXIMIZE;
}

CMainFrame* CQuillonApp::GetMainFrame() const {
  return qobject_cast<CMainFrame*>(m_pMainWnd);
}

CMultiDocTemplate* CQuillonApp::GetTemplate(DocWindow kind) const {
  switch (kind) {
    case DocWindow::kRhythm:
      return m_pEcgTemplate.get();
    case DocWindow::kAverage:
      return m_pAvgTemplate.get();
    case DocWindow::kMeasurements:
      return m_pMeasureTemplate.get();
    case DocWindow::kPatient:
      return m_pPatientTemplate.get();
  }
  return nullptr;
}

// All four bind the one document class to resource 129; only one of them is registered.
void CQuillonApp::CreateTemplates() {
  m_pEcgTemplate = CMultiDocTemplate::Make<CQuillonDoc, CEcgFrame, CEcgView>(kIdrDocument);
  m_pAvgTemplate = CMultiDocTemplate::Make<CQuillonDoc, CAvgFrame, CAvgView>(kIdrDocument);
  m_pPatientTemplate =
      CMultiDocTemplate::Make<CQuillonDoc, CPatientFrame, CPatientView>(kIdrDocument);
  m_pMeasureTemplate =
      CMultiDocTemplate::Make<CQuillonDoc, CMeasureFrame, CMeasureView>(kIdrDocument);
}

// In the window a message is a box the person answers; while the command line prints, or
// without a main window, it goes to standard error.
void CQuillonApp::ShowDocumentMessage(const QString& message) {
  if (m_pMainWnd == nullptr || IsShellPrinting()) {
    WriteDocMessageToStderr(message);
    return;
  }
  AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
}

// Save needs editing and a record whose file can be written; the tip of a read-only record's
// grey Save points to Save As.
void CQuillonApp::OnUpdateSave(CCmdUI* cmdUI) {
  OnUpdateNeedsEditing(cmdUI);
  CMainFrame* frame = GetMainFrame();
  if (frame == nullptr) {
    return;
  }
  CMDIChildWnd* active = frame->MDIGetActive();
  const auto* doc =
      dynamic_cast<const CQuillonDoc*>(active != nullptr ? active->GetActiveDocument() : nullptr);
  const bool readOnly = doc != nullptr && doc->IsReadOnly();
  if (readOnly) {
    cmdUI->Enable(false);
  }
  const QString prompt = StringText(readOnly ? kIdsReadOnlySavePrompt : ID_FILE_SAVE);
  if (cmdUI->m_pAction != nullptr && cmdUI->m_pAction->statusTip() != StringField(prompt, 0)) {
    frame->SetCommandPrompt(ID_FILE_SAVE, prompt);
  }
}

// Open and Save need editing; otherwise they are enabled when something handles them.
void CQuillonApp::OnUpdateNeedsEditing(CCmdUI* cmdUI) {
  if (!m_bEditingAllowed) {
    cmdUI->Enable(false);
    return;
  }
  const std::vector<CCmdTarget*> chain =
      m_pMainWnd != nullptr ? m_pMainWnd->GetCommandChain() : std::vector<CCmdTarget*>{this};
  cmdUI->Enable(std::any_of(chain.begin(), chain.end(), [cmdUI](CCmdTarget* target) {
    return target != nullptr && target->HasCommandHandler(cmdUI->m_nID);
  }));
}
