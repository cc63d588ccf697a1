#include "framework/CMDIFrameWnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <utility>

#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CStatusBar.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/LockKeys.h"
#include "framework/FrameworkIds.h"

namespace {

const char* const kWindowListEntry = "quillonWindowListEntry";

}  // namespace

CMDIFrameWnd::CMDIFrameWnd() : m_pMdiArea(new QMdiArea(this)), m_pStatusBar(new CStatusBar(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // Qt would maximise each newly activated window while the active one is maximised; the style
  // word of each document window alone decides its state.
  m_pMdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
  setCentralWidget(m_pMdiArea);
  setStatusBar(m_pStatusBar);
  connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this] {
    UpdateMenus();
    UpdateCommandUI();
  });
  OnCommand(ID_WINDOW_CASCADE, [this] { MDICascade(); });
  OnCommand(ID_WINDOW_TILE_HORZ, [this] { MDITile(MDITILE_HORIZONTAL); });
  OnCommand(ID_WINDOW_TILE_VERT, [this] { MDITile(MDITILE_VERTICAL); });
  OnUpdateCommandUIRange(ID_INDICATOR_CAPS, ID_INDICATOR_SCRL, [](CCmdUI* cmdUI) {
    const LockKeyState keys = ReadLockKeys();
    const bool on = cmdUI->m_nID == ID_INDICATOR_CAPS  ? keys.capsLock
                    : cmdUI->m_nID == ID_INDICATOR_NUM ? keys.numLock
                                                       : keys.scrollLock;
    cmdUI->Enable(on);
  });
}

CMDIFrameWnd::~CMDIFrameWnd() {
  // Qt hides the document windows after this destructor has run, which activates others: no
  // handler of this window may hear of it.
  disconnect(m_pMdiArea, nullptr, this, nullptr);
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
  }
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
  return qobject_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const {
  std::vector<CMDIChildWnd*> frames;
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* frame = qobject_cast<CMDIChildWnd*>(window)) {
      frames.push_back(frame);
    }
  }
  return frames;
}

void CMDIFrameWnd::AddChildFrame(CMDIChildWnd* frame) {
  m_pMdiArea->addSubWindow(frame);
}

void CMDIFrameWnd::MDIActivate(CMDIChildWnd* frame) {
  m_pLastActivated = frame;
  m_pMdiArea->setActiveSubWindow(frame);
}

void CMDIFrameWnd::MDITile(int how) {
  std::vector<QMdiSubWindow*> windows;
  int iconHeight = 0;
  QList<QMdiSubWindow*> stacking = m_pMdiArea->subWindowList(QMdiArea::StackingOrder);
  std::reverse(stacking.begin(), stacking.end());  // topmost first
  for (QMdiSubWindow* window : stacking) {
    if (window->isHidden()) {
      continue;
    }
    if (window->isMinimized()) {
      iconHeight = std::max(iconHeight, window->height());
      continue;
    }
    windows.push_back(window);
  }
  if (windows.empty()) {
    return;
  }
  const QRect area = m_pMdiArea->viewport()->rect();
  const int height = std::max(1, area.height() - iconHeight);
  const int total = static_cast<int>(windows.size());
  int rows = static_cast<int>(std::sqrt(static_cast<double>(total)));
  int columns = total / rows;
  if (how == MDITILE_HORIZONTAL) {
    std::swap(rows, columns);
  }
  const int columnWidth = area.width() / columns;
  int index = 0;
  for (int column = 0; column < columns && index < total; ++column) {
    if (column == columns - 1) {
      rows = total - index;  // the last column takes the windows left over
    }
    const int rowHeight = height / rows;
    for (int row = 0; row < rows && index < total; ++row, ++index) {
      QMdiSubWindow* window = windows[static_cast<size_t>(index)];
      if (window->isMaximized()) {
        window->showNormal();
      }
      window->setGeometry(column * columnWidth, row * rowHeight, columnWidth, rowHeight);
    }
  }
}

void CMDIFrameWnd::MDICascade() {
  m_pMdiArea->cascadeSubWindows();
}

QAction* CMDIFrameWnd::CommandAction(int id) {
  const auto found = m_actions.find(id);
  if (found != m_actions.end()) {
    return found->second;
  }
  auto* action = new QAction(this);
  action->setData(id);
  connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
  m_actions[id] = action;
  return action;
}

void CMDIFrameWnd::SetCommandText(int id, const QString& menuText) {
  CommandAction(id)->setText(menuText);
}

void CMDIFrameWnd::SetCommandPrompt(int id, const QString& prompt) {
  const int split = prompt.indexOf(QLatin1Char('\n'));
  const QString status = split < 0 ? prompt : prompt.left(split);
  const QString tip = split < 0 ? prompt : prompt.mid(split + 1);
  QAction* action = CommandAction(id);
  action->setStatusTip(status);
  action->setToolTip(tip);
}

std::vector<CCmdTarget*> CMDIFrameWnd::GetCommandChain() const {
  CMDIChildWnd* frame = MDIGetActive();
  CView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
  CDocument* document = view != nullptr ? view->GetDocument() : nullptr;
  return {view, document, frame, const_cast<CMDIFrameWnd*>(this), AfxGetApp()};
}

bool CMDIFrameWnd::RouteCommand(int id) {
  const bool handled = ::RouteCommand(GetCommandChain(), id);
  UpdateMenus();
  return handled;
}

void CMDIFrameWnd::UpdateCommandUI() {
  UpdateMenus();
  const std::vector<CCmdTarget*> chain = GetCommandChain();
  std::vector<int> ids;
  for (const auto& entry : m_actions) {
    ids.push_back(entry.first);
  }
  for (int id : ids) {
    QAction* action = m_actions[id];
    CCmdUI cmdUI(id, action);
    RouteCommandUI(chain, &cmdUI);
    action->setEnabled(cmdUI.IsEnabled());
    if (cmdUI.GetCheck() != 0) {
      action->setCheckable(true);
      action->setChecked(true);
    } else if (action->isCheckable()) {
      action->setChecked(false);
    }
    if (cmdUI.HasText()) {
      action->setText(cmdUI.GetText());
    }
  }
  UpdatePanes(chain);
}

void CMDIFrameWnd::UpdatePanes(const std::vector<CCmdTarget*>& chain) {
  for (int index = 0; index < m_pStatusBar->GetCount(); ++index) {
    CCmdUI cmdUI(m_pStatusBar->GetItemID(index));
    const bool handled = std::any_of(chain.begin(), chain.end(), [&cmdUI](CCmdTarget* target) {
      return target != nullptr && target->OnUpdateCmdMsg(&cmdUI);
    });
    if (!handled) {
      continue;  // a pane without a handler keeps its text
    }
    QString text;
    if (cmdUI.IsEnabled()) {
      text = cmdUI.HasText() ? cmdUI.GetText() : m_pStatusBar->GetPaneDefaultText(index);
    }
    m_pStatusBar->SetPaneText(index, text);
  }
}

QToolBar* CMDIFrameWnd::CreateToolBar(const std::vector<int>& buttons,
                                      const std::vector<QImage>& images, const QSize& buttonSize) {
  QToolBar* bar = addToolBar(QString());
  bar->setObjectName(QStringLiteral("toolbar%1").arg(AFX_IDW_TOOLBAR));
  bar->setIconSize(buttonSize);
  size_t image = 0;
  for (int id : buttons) {
    if (id == ID_SEPARATOR) {
      bar->addSeparator();
      continue;
    }
    QAction* action = CommandAction(id);
    if (image < images.size() && !images[image].isNull()) {
      action->setIcon(QIcon(QPixmap::fromImage(images[image])));
    }
    ++image;
    bar->addAction(action);
  }
  return bar;
}

void CMDIFrameWnd::SetMenus(std::vector<std::unique_ptr<QMenu>> withoutDocument,
                            std::vector<std::unique_ptr<QMenu>> withDocument) {
  menuBar()->clear();
  m_menusWithoutDocument = std::move(withoutDocument);
  m_menusWithDocument = std::move(withDocument);
  m_bMenusShown = false;
  UpdateMenus();
}

void CMDIFrameWnd::UpdateMenus() {
  const bool withDocument = MDIGetActive() != nullptr;
  if (m_bMenusShown && withDocument == m_bShowingDocumentMenus) {
    return;
  }
  m_bMenusShown = true;
  m_bShowingDocumentMenus = withDocument;
  menuBar()->clear();
  for (const std::unique_ptr<QMenu>& menu :
       withDocument ? m_menusWithDocument : m_menusWithoutDocument) {
    menuBar()->addMenu(menu.get());
  }
}

void CMDIFrameWnd::AppendRecentFileActions(QMenu* menu) {
  for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
    QAction* action = CommandAction(id);
    action->setVisible(id == ID_FILE_MRU_FILE1);
    menu->addAction(action);
  }
}

void CMDIFrameWnd::AppendWindowList(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    for (QAction* action : menu->actions()) {
      if (action->property(kWindowListEntry).toBool()) {
        menu->removeAction(action);
        delete action;
      }
    }
    const std::vector<CMDIChildWnd*> frames = GetChildFrames();
    if (frames.empty()) {
      return;
    }
    menu->addSeparator()->setProperty(kWindowListEntry, true);
    int number = 1;
    for (CMDIChildWnd* frame : frames) {
      QAction* entry =
          menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(frame->windowTitle()));
      entry->setProperty(kWindowListEntry, true);
      entry->setCheckable(true);
      entry->setChecked(frame == MDIGetActive());
      const QPointer<CMDIChildWnd> target(frame);
      connect(entry, &QAction::triggered, this, [this, target] {
        if (target != nullptr) {
          m_pMdiArea->setActiveSubWindow(target);
        }
      });
    }
  });
}

void CMDIFrameWnd::DragAcceptFiles(bool accept) {
  setAcceptDrops(accept);
}

void CMDIFrameWnd::OnClose() {
  if (CWinApp* app = AfxGetApp()) {
    if (!app->SaveAllModified()) {
      return;
    }
    app->CloseAllDocuments(false);
  }
  m_bCloseAccepted = true;
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event) {
  m_bCloseAccepted = false;
  OnClose();
  event->setAccepted(m_bCloseAccepted);
}

void CMDIFrameWnd::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_pLastActivated != nullptr && m_pLastActivated->mdiArea() == m_pMdiArea) {
    m_pMdiArea->setActiveSubWindow(m_pLastActivated);
  }
}

void CMDIFrameWnd::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
    event->acceptProposedAction();
  }
}

void CMDIFrameWnd::dropEvent(QDropEvent* event) {
  QStringList paths;
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) {
      paths << url.toLocalFile();
    }
  }
  OnDropFiles(paths);
  event->acceptProposedAction();
}

void CMDIFrameWnd::OnDropFiles(const QStringList& paths) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return;
  }
  activateWindow();
  for (const QString& path : paths) {
    app->OpenDocumentFile(path);
  }
}
