#include "app/Menus.h"

#include "resources/ResourceIds.h"

namespace {

constexpr MenuItem kSeparator = {0, 0};
constexpr MenuItem kAboutItem = {ID_APP_ABOUT, kIdsMenuAbout};
constexpr MenuItem kOpenItem = {ID_FILE_OPEN, kIdsMenuOpen};
constexpr MenuItem kPrintSetupItem = {ID_FILE_PRINT_SETUP, kIdsMenuPrintSetup};
constexpr MenuItem kExitItem = {ID_APP_EXIT, kIdsMenuExit};

const std::vector<MenuPopup>& MainFrameMenu() {
  static const std::vector<MenuPopup> kMenu = {
      {kIdsMenuFile,
       {{ID_FILE_NEW, kIdsMenuNew},
        kOpenItem,
        kSeparator,
        kPrintSetupItem,
        kSeparator,
        {ID_FILE_MRU_FILE1, kIdsMenuRecentFile},
        kSeparator,
        kExitItem},
       false},
      {kIdsMenuHelp, {kSeparator, kAboutItem}, false},
  };
  return kMenu;
}

const std::vector<MenuPopup>& DocumentMenu() {
  static const std::vector<MenuPopup> kMenu = {
      {kIdsMenuFile,
       {kOpenItem,
        {ID_FILE_SAVE, kIdsMenuSave},
        {ID_FILE_SAVE_AS, kIdsMenuSaveAs},
        {kCmdFileExport, kIdsMenuExport},
        {ID_FILE_CLOSE, kIdsMenuClose},
        kSeparator,
        {ID_FILE_PRINT, kIdsMenuPrint},
        {ID_FILE_PRINT_PREVIEW, kIdsMenuPrintPreview},
        kPrintSetupItem,
        kSeparator,
        kExitItem},
       false},
      {kIdsMenuView,
       {{kCmdLayoutFirst + 0, kIdsMenuLayoutFirst + 0},
        {kCmdLayoutFirst + 1, kIdsMenuLayoutFirst + 1},
        {kCmdLayoutFirst + 2, kIdsMenuLayoutFirst + 2},
        {kCmdLayoutFirst + 3, kIdsMenuLayoutFirst + 3},
        {kCmdLayoutFirst + 4, kIdsMenuLayoutFirst + 4},
        kSeparator,
        {kCmdSpeedFirst + 0, kIdsMenuSpeedFirst + 0},
        {kCmdSpeedFirst + 1, kIdsMenuSpeedFirst + 1},
        {kCmdSpeedFirst + 2, kIdsMenuSpeedFirst + 2},
        kSeparator,
        {kCmdGainFirst + 0, kIdsMenuGainFirst + 0},
        {kCmdGainFirst + 1, kIdsMenuGainFirst + 1},
        {kCmdGainFirst + 2, kIdsMenuGainFirst + 2},
        {kCmdGainFirst + 3, kIdsMenuGainFirst + 3},
        kSeparator,
        {kCmdFilterFirst + 0, kIdsMenuFilterFirst + 0},
        {kCmdFilterFirst + 1, kIdsMenuFilterFirst + 1},
        {kCmdFilterFirst + 2, kIdsMenuFilterFirst + 2},
        {kCmdFilterFirst + 3, kIdsMenuFilterFirst + 3},
        kSeparator,
        {kCmdCaliperTool, kIdsMenuCaliperTool}},
       false},
      {kIdsMenuWindow,
       {{ID_WINDOW_CASCADE, kIdsMenuCascade}, {ID_WINDOW_TILE_HORZ, kIdsMenuTileHorz}},
       true},
      {kIdsMenuHelp, {kSeparator, kAboutItem}, false},
  };
  return kMenu;
}

}  // namespace

const std::vector<MenuPopup>& MenuResource(int id) {
  static const std::vector<MenuPopup> kNone;
  switch (id) {
    case kIdrMainFrame:
      return MainFrameMenu();
    case kIdrDocument:
      return DocumentMenu();
    default:
      return kNone;
  }
}
