#include "app/Menus.h"

#include "resources/ResourceIds.h"

namespace {

constexpr MenuItem kSeparator = {0, nullptr};
constexpr MenuItem kAboutItem = {ID_APP_ABOUT, "Information on Quillon..."};
constexpr MenuItem kOpenItem = {ID_FILE_OPEN, "&Open"};
constexpr MenuItem kPrintSetupItem = {ID_FILE_PRINT_SETUP, "Print Set&up"};
constexpr MenuItem kExitItem = {ID_APP_EXIT, "&Exit"};

const std::vector<MenuPopup>& MainFrameMenu() {
  static const std::vector<MenuPopup> kMenu = {
      {"&File",
       {{ID_FILE_NEW, "&New"},
        kOpenItem,
        kSeparator,
        kPrintSetupItem,
        kSeparator,
        {ID_FILE_MRU_FILE1, "&Last File Used"},
        kSeparator,
        kExitItem},
       false},
      {"&?", {kSeparator, kAboutItem}, false},
  };
  return kMenu;
}

const std::vector<MenuPopup>& DocumentMenu() {
  static const std::vector<MenuPopup> kMenu = {
      {"&File",
       {kOpenItem,
        {ID_FILE_SAVE, "&Save"},
        {ID_FILE_SAVE_AS, "Save &As"},
        {kCmdFileExport, "Expor&t..."},
        {ID_FILE_CLOSE, "&Close"},
        kSeparator,
        {ID_FILE_PRINT, "&Print"},
        {ID_FILE_PRINT_PREVIEW, "Print P&review"},
        kPrintSetupItem,
        kSeparator,
        kExitItem},
       false},
      {"&View",
       {{kCmdLayoutFirst + 0, "&12x1"},
        {kCmdLayoutFirst + 1, "&6x2"},
        {kCmdLayoutFirst + 2, "&3x4"},
        {kCmdLayoutFirst + 3, "3x4+&1"},
        {kCmdLayoutFirst + 4, "3x4+3"},
        kSeparator,
        {kCmdSpeedFirst + 0, "12.5 mm/s"},
        {kCmdSpeedFirst + 1, "25 mm/s"},
        {kCmdSpeedFirst + 2, "50 mm/s"},
        kSeparator,
        {kCmdGainFirst + 0, "2.5 mm/mV"},
        {kCmdGainFirst + 1, "5 mm/mV"},
        {kCmdGainFirst + 2, "10 mm/mV"},
        {kCmdGainFirst + 3, "20 mm/mV"},
        kSeparator,
        {kCmdFilterFirst + 0, "&Baseline filter"},
        {kCmdFilterFirst + 1, "50 Hz filter"},
        {kCmdFilterFirst + 2, "60 Hz filter"},
        {kCmdFilterFirst + 3, "40 Hz low-pass"}},
       false},
      {"&Window",
       {{ID_WINDOW_CASCADE, "&Cascade"}, {ID_WINDOW_TILE_HORZ, "Tile &Horizontally"}},
       true},
      {"&?", {kSeparator, kAboutItem}, false},
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
