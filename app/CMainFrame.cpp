#include "app/CMainFrame.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QToolBar>
#include <memory>
#include <vector>

#include "app/ExportDialog.h"
#include "app/HelpGuide.h"
#include "app/Menus.h"
#include "app/Resources.h"
#include "app/StringTable.h"
#include "app/Toolbar.h"
#include "document/CQuillonDoc.h"
#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CStatusBar.h"
#include "framework/FrameworkConstants.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kPatientPaneWidth = 400;  // pixels

// The commands the help keys and the framework's help ids reach; all show the built-in guide.
constexpr int kHelpCommands[] = {ID_HELP_FINDER, ID_DEFAULT_HELP, ID_HELP, ID_CONTEXT_HELP};

// Desktop shortcuts added to commands that the menus already offer by mnemonic, and to zooming,
// which the mouse does in the signal views.
struct Shortcut {
  int commandId;
  QKeySequence::StandardKey key;
};
constexpr Shortcut kShortcuts[] = {
    {ID_FILE_OPEN, QKeySequence::Open},         {ID_FILE_SAVE, QKeySequence::Save},
    {ID_FILE_PRINT, QKeySequence::Print},       {ID_FILE_CLOSE, QKeySequence::Close},
    {ID_APP_EXIT, QKeySequence::Quit},          {kCmdZoomIn, QKeySequence::ZoomIn},
    {kCmdZoomOut, QKeySequence::ZoomOut},       {ID_HELP, QKeySequence::HelpContents},
    {ID_CONTEXT_HELP, QKeySequence::WhatsThis},
};

// Keys added to the standard ones: Ctrl+= is Ctrl++ without Shift on most keyboards.
struct ExtraShortcut {
  int commandId;
  const char* key;
};
constexpr ExtraShortcut kExtraShortcuts[] = {{kCmdZoomIn, "Ctrl+="}};

// The record's patient name and acquisition date, or empty without a record.
QString PatientPaneText(const CQuillonDoc* doc) {
  return doc != nullptr ? doc->Patient().PatientText() : QString();
}

}  // namespace

CMainFrame::CMainFrame() {
  setWindowTitle(StringText(kIdrMainFrame));
  setWindowIcon(ResourceIcon(kIdrMainFrame));
}

int CMainFrame::OnCreate() {
  CreateCommands();
  if (!CreateToolBar128() || !CreateStatusPanes()) {
    return -1;
  }
  CreateMenus();
  CreateShortcuts();
  return 0;
}

void CMainFrame::SetPatientText(const QString& text) {
  m_strPatientText = text;
}

// Every command of the menus and the toolbar gets its prompt from the string table; the help
// commands show the guide and the patient pane shows m_strPatientText at every refresh.
void CMainFrame::CreateCommands() {
  for (int menu : {kIdrMainFrame, kIdrDocument}) {
    for (const MenuPopup& popup : MenuResource(menu)) {
      for (const MenuItem& item : popup.items) {
        if (!item.IsSeparator()) {
          SetCommandText(item.commandId, StringText(item.textId));
          SetCommandPrompt(item.commandId, StringText(item.commandId));
        }
      }
    }
  }
  for (const ToolbarItem& button : ToolbarResource(kIdrMainFrame)) {
    if (!button.IsSeparator()) {
      SetCommandPrompt(button.commandId, StringText(button.commandId));
    }
  }
  for (int help : kHelpCommands) {
    OnCommand(help, [this] { OnHelp(); });
  }
  OnCommand(kCmdFileExport, [this] { OnFileExport(); });
  OnUpdateCommandUI(kIdsPatientPane, [this](CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetText(m_strPatientText);
  });
}

// The shortcuts belong to the window, so they work whichever menu is shown; a command that is
// disabled at the moment ignores its key.
void CMainFrame::CreateShortcuts() {
  for (const Shortcut& shortcut : kShortcuts) {
    QAction* action = CommandAction(shortcut.commandId);
    action->setShortcuts(shortcut.key);
    addAction(action);
  }
  for (const ExtraShortcut& extra : kExtraShortcuts) {
    QAction* action = CommandAction(extra.commandId);
    QList<QKeySequence> keys = action->shortcuts();
    const QKeySequence key(QString::fromLatin1(extra.key), QKeySequence::PortableText);
    if (!keys.contains(key)) {
      action->setShortcuts(keys << key);
    }
  }
}

bool CMainFrame::CreateToolBar128() {
  std::vector<int> buttons;
  std::vector<QImage> images;
  for (const ToolbarItem& item : ToolbarResource(kIdrMainFrame)) {
    buttons.push_back(item.IsSeparator() ? ID_SEPARATOR : item.commandId);
    if (!item.IsSeparator()) {
      images.push_back(ToolbarButtonImage(item.commandId));
    }
  }
  m_pToolBar = CreateToolBar(buttons, images, QSize(kToolbarImageWidth, kToolbarImageHeight));
  if (m_pToolBar == nullptr) {
    return false;
  }
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_pToolBar->setMovable(true);
  return true;
}

bool CMainFrame::CreateStatusPanes() {
  CStatusBar* bar = GetStatusBar();
  if (!bar->SetIndicators({ID_SEPARATOR, kIdsReadingPane, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                           ID_INDICATOR_SCRL, kIdsPatientPane})) {
    return false;
  }
  bar->SetPaneInfo(bar->CommandToIndex(kIdsPatientPane), kIdsPatientPane, SBPS_NOBORDERS,
                   kPatientPaneWidth);
  return true;
}

// Menus 128 and 129 from their resources: the recent files at their place in the File menu and
// the list of open windows at the end of the Window menu.
void CMainFrame::CreateMenus() {
  const auto build = [this](int id) {
    std::vector<std::unique_ptr<QMenu>> menus;
    for (const MenuPopup& popup : MenuResource(id)) {
      auto menu = std::make_unique<QMenu>(StringText(popup.titleId));
      for (const MenuItem& item : popup.items) {
        if (item.IsSeparator()) {
          menu->addSeparator();
        } else if (item.commandId == ID_FILE_MRU_FILE1) {
          AppendRecentFileActions(menu.get());
        } else {
          menu->addAction(CommandAction(item.commandId));
        }
      }
      if (popup.listsWindows) {
        AppendWindowList(menu.get());
      }
      menus.push_back(std::move(menu));
    }
    return menus;
  };
  SetMenus(build(kIdrMainFrame), build(kIdrDocument));
}

void CMainFrame::OnHelp() {
  ShowHelpGuide(this);
}

void CMainFrame::OnFileExport() {
  CMDIChildWnd* active = MDIGetActive();
  auto* doc = dynamic_cast<CQuillonDoc*>(active != nullptr ? active->GetActiveDocument() : nullptr);
  if (doc != nullptr) {
    RunExportDialog(this, *doc);
  }
}

// The title names the active window's document after the application's, as the main window
// was created to add it.
void CMainFrame::OnUpdateFrameTitle() {
  QString title = StringText(kIdrMainFrame);
  CMDIChildWnd* active = MDIGetActive();
  CDocument* document = active != nullptr ? active->GetActiveDocument() : nullptr;
  if (document != nullptr && !document->GetTitle().isEmpty()) {
    title += QStringLiteral(" - ") + document->GetCaption();
  }
  setWindowTitle(title);
  m_strPatientText = PatientPaneText(dynamic_cast<const CQuillonDoc*>(document));
}
