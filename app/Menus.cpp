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
        {ID_FILE_CLOSE, kIdsMenuClose},
        kSeparator,
        {ID_FILE_PRINT, kIdsMenuPrint},
        {ID_FILE_PRINT_PREVIEW, kIdsMenuPrintPreview},
        kPrintSetupItem,
        kSeparator,
        kExitItem},
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
