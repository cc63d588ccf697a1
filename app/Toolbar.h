// Toolbar 128: its buttons, left to right, and their 21 x 20 images.
#pragma once

#include <QIcon>
#include <QImage>

#include <vector>

constexpr int kToolbarImageWidth = 21;
constexpr int kToolbarImageHeight = 20;

// One place of the toolbar: a button issuing a command, or a gap (command 0).
struct ToolbarItem {
  int commandId;

  bool IsSeparator() const { return commandId == 0; }
};

// Returns the places of toolbar `id` left to right (Open, Save, a gap, Print, Print Preview for
// toolbar 128); an empty list for any other id.
const std::vector<ToolbarItem>& ToolbarResource(int id);

// Returns the 21 x 20 image of the button that issues `commandId`, with a transparent background,
// or a null image when no button issues it.
QImage ToolbarButtonImage(int commandId);

// Returns the button image as an icon, or a null icon. Needs a running QGuiApplication.
QIcon ToolbarButtonIcon(int commandId);
