// The main window base: an MDI area of document windows, commands as actions routed to the
// active view, its document, its frame, this window and the application, a toolbar, a status
// bar with indicator panes, menus that follow whether a document window is active, tiling and
// cascading, and files dropped from the desktop.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

#include "framework/CCmdTarget.h"

class CMDIChildWnd;
class CStatusBar;
class CView;
class QAction;
class QMdiArea;
class QMenu;
class QImage;
class QToolBar;

class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
  Q_OBJECT

 public:
  // Builds the MDI area and the status bar; handles Cascade, Tile Horizontally and Tile
  // Vertically, and shows the keyboard indicators while their lock key is on (blank where the
  // window system does not tell). Activating a document window never maximises it, whatever
  // state the window active before was in. The window deletes itself once it has closed.
  CMDIFrameWnd();
  // Leaves the application (its m_pMainWnd becomes null).
  ~CMDIFrameWnd() override;

  QMdiArea* MdiArea() const { return m_pMdiArea; }
  CStatusBar* GetStatusBar() const { return m_pStatusBar; }
  // The active document window, or null.
  CMDIChildWnd* MDIGetActive() const;
  // The document windows, oldest first.
  std::vector<CMDIChildWnd*> GetChildFrames() const;
  // Adds a created child frame to the MDI area (CMDIChildWnd::Create calls it).
  void AddChildFrame(CMDIChildWnd* frame);
  // Makes frame the active document window. While this window is hidden Qt activates nothing,
  // so the frame is activated again when this window is shown.
  void MDIActivate(CMDIChildWnd* frame);
  // Called when another document window becomes active (or none is) and when the active one's
  // caption changes; a main window class names the active document in its title here. The base
  // does nothing.
  virtual void OnUpdateFrameTitle() {}

  // Arranges the document windows that are not minimised side by side (MDITILE_VERTICAL: in
  // columns, two windows in two columns, three in three, four in two columns of two) or one
  // above the other (MDITILE_HORIZONTAL). Maximised windows are restored first; minimised ones
  // stay icons along the bottom, above which the others are placed.
  void MDITile(int how);
  void MDICascade();

  // The action that issues a command; made on first use with the command's id as its data.
  // Triggering it routes the command.
  QAction* CommandAction(int id);
  // Sets a command's menu text, and its prompt "status text\ntool tip" (the tip may be absent).
  void SetCommandText(int id, const QString& menuText);
  void SetCommandPrompt(int id, const QString& prompt);
  // The targets a command is offered to: the active view, its document, its frame, this
  // window, the application.
  std::vector<CCmdTarget*> GetCommandChain() const;
  // Offers the command along the chain; false when no target handles it.
  bool RouteCommand(int id);
  // Runs the state-update handlers of every command action and every status-bar pane. The
  // application calls it whenever the event loop is idle.
  void UpdateCommandUI();

  // A toolbar of command buttons (ID_SEPARATOR for a gap), with one image of buttonSize for each
  // button in the same order (gaps take none); the button's tip and status text are the
  // command's prompt. A button without an image shows its tip as text.
  QToolBar* CreateToolBar(const std::vector<int>& buttons, const std::vector<QImage>& images,
                          const QSize& buttonSize);
  // The menus shown while no document window is active, and while one is. The window owns them
  // from then on; menus set before are deleted.
  void SetMenus(std::vector<std::unique_ptr<QMenu>> withoutDocument,
                std::vector<std::unique_ptr<QMenu>> withDocument);
  // Appends the actions of the recent-file entries (ID_FILE_MRU_FILE1 to 4) to menu.
  void AppendRecentFileActions(QMenu* menu);
  // Makes menu end with the list of open document windows, refreshed each time it opens.
  void AppendWindowList(QMenu* menu);

  // Lets files be dropped on the window; each dropped file is opened by the application.
  void DragAcceptFiles(bool accept = true);
  // Files dropped on the window: brings it forward and opens each through the application.
  void OnDropFiles(const QStringList& paths);

  // The close request: the base asks the application to save changed documents (any Cancel
  // keeps the window open) and closes every document, then lets the window close.
  virtual void OnClose();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void UpdateMenus();
  void UpdatePanes(const std::vector<CCmdTarget*>& chain);

  QMdiArea* m_pMdiArea;
  QPointer<CMDIChildWnd> m_pLastActivated;
  CStatusBar* m_pStatusBar;
  std::map<int, QAction*> m_actions;
  std::vector<std::unique_ptr<QMenu>> m_menusWithoutDocument;
  std::vector<std::unique_ptr<QMenu>> m_menusWithDocument;
  bool m_bMenusShown = false;
  bool m_bShowingDocumentMenus = false;
  bool m_bCloseAccepted = false;
};
