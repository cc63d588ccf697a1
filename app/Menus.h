// Menus 128 (no document open) and 129 (a document window active) as data for the main frame.
#pragma once

#include <vector>

// One line of a popup: a command with its text, or a separator.
struct MenuItem {
  int commandId;     // 0 for a separator
  const char* text;  // English only, with '&' before the mnemonic; null for a separator

  bool IsSeparator() const { return commandId == 0; }
};

// One popup of the menu bar. The item ID_FILE_MRU_FILE1 marks where the recent files are listed.
struct MenuPopup {
  const char* title;
  std::vector<MenuItem> items;
  bool listsWindows;  // the frame appends its list of open document windows after the items
};

// Returns the popups of menu `id`, left to right; an empty list for an id that is not a menu.
const std::vector<MenuPopup>& MenuResource(int id);
