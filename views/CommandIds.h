// Command ids shared by the views, the frames, the menus and the toolbar.
//
// A command's status-bar prompt is the string-table entry with the same id ("prompt\ntip").
#pragma once

// Zooming the signal views; issued by mouse clicks only, by no menu item or button.
constexpr int kCmdZoomIn = 32771;
constexpr int kCmdZoomOut = 32772;

// File menu.
constexpr int kCmdFileNew = 57600;  // has no handler, so it is always disabled
constexpr int kCmdFileOpen = 57601;
constexpr int kCmdFileClose = 57602;
constexpr int kCmdFileSave = 57603;
constexpr int kCmdFileSaveAs = 57604;
constexpr int kCmdFilePrintSetup = 57606;
constexpr int kCmdFilePrint = 57607;
constexpr int kCmdFilePrintDirect = 57608;  // printing without the print dialog; no menu item
constexpr int kCmdFilePrintPreview = 57609;
constexpr int kCmdFileMruFirst = 57616;  // first recent-file entry; the menu item marks their place
constexpr int kCmdFileMruCount = 4;      // entries kCmdFileMruFirst to kCmdFileMruFirst + 3

// Window menu.
constexpr int kCmdWindowCascade = 57650;
constexpr int kCmdWindowTileHorizontally = 57651;

// "?" menu and the application.
constexpr int kCmdAppAbout = 57664;
constexpr int kCmdAppExit = 57665;

// Help commands the main frame routes to the help system; no menu item issues them.
constexpr int kCmdHelpIndex = 57667;
constexpr int kCmdHelpContext = 57669;
constexpr int kCmdHelp = 57670;
constexpr int kCmdHelpTopics = 57671;  // opens the help index too
