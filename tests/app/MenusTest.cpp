#include "app/Menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Toolbar.h"
#include "views/CommandIds.h"

namespace {

std::vector<int> Commands(const MenuPopup& popup) {
  std::vector<int> commands;
  for (const MenuItem& item : popup.items) {
    commands.push_back(item.commandId);
  }
  return commands;
}

constexpr int kSeparator = 0;

TEST(Menus, MainFrameMenuOffersFileAndAboutOnly) {
  const std::vector<MenuPopup>& menu = MenuResource(kMenuMainFrame);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_STREQ(menu[0].title, "&File");
  EXPECT_EQ(Commands(menu[0]),
            (std::vector<int>{kCmdFileNew, kCmdFileOpen, kSeparator, kCmdFilePrintSetup, kSeparator,
                              kCmdFileMruFirst, kSeparator, kCmdAppExit}));
  EXPECT_STREQ(menu[1].title, "&?");
  EXPECT_EQ(Commands(menu[1]), (std::vector<int>{kSeparator, kCmdAppAbout}));
  EXPECT_FALSE(menu[0].listsWindows);
}

TEST(Menus, DocumentMenuAddsSavingPrintingAndTheWindowList) {
  const std::vector<MenuPopup>& menu = MenuResource(kMenuDocument);
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_STREQ(menu[0].title, "&File");
  EXPECT_EQ(Commands(menu[0]),
            (std::vector<int>{kCmdFileOpen, kCmdFileSave, kCmdFileSaveAs, kCmdFileClose, kSeparator,
                              kCmdFilePrint, kCmdFilePrintPreview, kCmdFilePrintSetup, kSeparator,
                              kCmdAppExit}));
  EXPECT_STREQ(menu[1].title, "&Window");
  EXPECT_EQ(Commands(menu[1]), (std::vector<int>{kCmdWindowCascade, kCmdWindowTileHorizontally}));
  EXPECT_TRUE(menu[1].listsWindows);
  EXPECT_STREQ(menu[2].title, "&?");
  EXPECT_EQ(Commands(menu[2]), (std::vector<int>{kSeparator, kCmdAppAbout}));
}

TEST(Menus, GivesEveryItemATextWithAMnemonicAndSeparatorsNone) {
  for (int id : {kMenuMainFrame, kMenuDocument}) {
    for (const MenuPopup& popup : MenuResource(id)) {
      for (const MenuItem& item : popup.items) {
        if (item.IsSeparator()) {
          EXPECT_EQ(item.text, nullptr);
        } else if (item.commandId != kCmdAppAbout) {
          ASSERT_NE(item.text, nullptr);
          EXPECT_NE(std::string(item.text).find('&'), std::string::npos) << item.text;
        }
      }
    }
  }
  EXPECT_STREQ(MenuResource(kMenuDocument)[0].items[6].text, "Print P&review");
  EXPECT_STREQ(MenuResource(kMenuDocument)[2].items[1].text, "Information on Quillon...");
}

TEST(Menus, KnowsNoOtherMenuOrToolbar) {
  EXPECT_TRUE(MenuResource(130).empty());
  EXPECT_TRUE(MenuResource(0).empty());
  EXPECT_TRUE(ToolbarResource(129).empty());
}

TEST(Toolbar, HoldsOpenSaveAGapPrintAndPrintPreview) {
  std::vector<int> commands;
  for (const ToolbarItem& item : ToolbarResource(kToolbarMainFrame)) {
    commands.push_back(item.commandId);
  }
  EXPECT_EQ(commands, (std::vector<int>{kCmdFileOpen, kCmdFileSave, kSeparator, kCmdFilePrint,
                                        kCmdFilePrintPreview}));
}

}  // namespace
