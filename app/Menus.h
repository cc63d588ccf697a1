// Menus kIdrMainFrame (no document open) and kIdrDocument (a document window active) as data for
// the main frame.
#pragma once

#include <vector>

#include "resources/ResourceIds.h"

// One line of a popup: a command with its text, or a separator.
struct MenuItem {
  int commandId;  // ID_SEPARATOR for a separator
  int textId;     // the string of its text, '&' before the mnemonic; 0 for a separator

  bool IsSeparator() const { return commandId == ID_SEPARATOR; }
};

// One popup of the menu bar. The item ID_FILE_MRU_FILE1 marks where the recent files are listed.
struct MenuPopup {
  int titleId;  // the string of its title
  std::vector<MenuItem> items;
  bool listsWindows;  // the frame appends its list of open document windows after the items
};

// Returns the popups of menu `id`, left to right; an empty list for an id that is not a menu.
const std::vector<MenuPopup>& MenuResource(int id);
