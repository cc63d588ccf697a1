// Quillon's main window: the MDI frame with toolbar 128, the status bar with the keyboard
// indicators and the patient pane, menus 128 and 129, the keyboard shortcuts people expect of a
// desktop program, and the built-in help.
#pragma once

#include <QString>

#include "framework/CMDIFrameWnd.h"
#include "views/PatientFormHost.h"

class QToolBar;

class CMainFrame : public CMDIFrameWnd, public IPatientTextHolder {
  Q_OBJECT

 public:
  // The window's title is the application title; OnCreate builds the rest.
  CMainFrame();

  // Builds the bars, the menus and the commands' texts: the toolbar (docked at the top, movable
  // to any side), the status bar panes (caps, num and scroll lock, then the patient pane, 400
  // pixels wide without a border), the help commands and the shortcuts. Returns −1 when a bar
  // cannot be built, 0 otherwise.
  int OnCreate();

  // Sets the patient pane's text; it stays until another document window becomes active.
  void SetPatientText(const QString& text) override;
  // Names the active document window's record after the application's title, and shows that
  // record's patient in the patient pane (empty when no document window is active).
  void OnUpdateFrameTitle() override;

  QToolBar* GetToolBar() const { return m_pToolBar; }

  // The text of the status bar's patient pane: the active record's patient name and date.
  QString m_strPatientText;

 private:
  void CreateCommands();
  void CreateShortcuts();
  bool CreateToolBar128();
  bool CreateStatusPanes();
  void CreateMenus();
  void OnHelp();
  void OnFileExport();
  void UpdateFrameTitle();

  QToolBar* m_pToolBar = nullptr;
};
