#include "app/Menus.h"

#include "views/CommandIds.h"

namespace {

constexpr MenuItem kSeparator = {0, nullptr};
constexpr MenuItem kAboutItem = {kCmdAppAbout, "Information on Quillon..."};
constexpr MenuItem kOpenItem = {kCmdFileOpen, "&Open"};
constexpr MenuItem kPrintSetupItem = {kCmdFilePrintSetup, "Print Set&up"};
constexpr MenuItem kExitItem = {kCmdAppExit, "&Exit"};

const std::vector<MenuPopup>& MainFrameMenu() {
  static const std::vector<MenuPopup> menu = {
      {"&File",
       {{kCmdFileNew, "&New"},
        kOpenItem,
        kSeparator,
        kPrintSetupItem,
        kSeparator,
        {kCmdFileMruFirst, "&Last File Used"},
        kSeparator,
        kExitItem},
       false},
      {"&?", {kSeparator, kAboutItem}, false},
  };
  return menu;
}

const std::vector<MenuPopup>& DocumentMenu() {
  static const std::vector<MenuPopup> menu = {
      {"&File",
       {kOpenItem,
        {kCmdFileSave, "&Save"},
        {kCmdFileSaveAs, "Save &As"},
        {kCmdFileClose, "&Close"},
        kSeparator,
        {kCmdFilePrint, "&Print"},
        {kCmdFilePrintPreview, "Print P&review"},
        kPrintSetupItem,
        kSeparator,
        kExitItem},
       false},
      {"&Window",
       {{kCmdWindowCascade, "&Cascade"}, {kCmdWindowTileHorizontally, "Tile &Horizontally"}},
       true},
      {"&?", {kSeparator, kAboutItem}, false},
  };
  return menu;
}

}  // namespace

const std::vector<MenuPopup>& MenuResource(int id) {
  static const std::vector<MenuPopup> none;
  switch (id) {
    case kMenuMainFrame:
      return MainFrameMenu();
    case kMenuDocument:
      return DocumentMenu();
    default:
      return none;
  }
}
