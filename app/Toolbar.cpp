#include "app/Toolbar.h"

#include <QPixmap>

#include "resources/ResourceIds.h"

namespace {

#include "app/images/Open.xpm"
#include "app/images/Print.xpm"
#include "app/images/PrintPreview.xpm"
#include "app/images/Save.xpm"

struct ButtonImage {
  int commandId;
  const char* const* xpm;
};

constexpr ButtonImage kButtonImages[] = {
    {ID_FILE_OPEN, kOpenXpm},
    {ID_FILE_SAVE, kSaveXpm},
    {ID_FILE_PRINT, kPrintXpm},
    {ID_FILE_PRINT_PREVIEW, kPrintPreviewXpm},
};

}  // namespace

const std::vector<ToolbarItem>& ToolbarResource(int id) {
  static const std::vector<ToolbarItem> mainFrame = {
      {ID_FILE_OPEN}, {ID_FILE_SAVE}, {0}, {ID_FILE_PRINT}, {ID_FILE_PRINT_PREVIEW}};
  static const std::vector<ToolbarItem> none;
  return id == kIdrMainFrame ? mainFrame : none;
}

QImage ToolbarButtonImage(int commandId) {
  for (const ButtonImage& button : kButtonImages) {
    if (button.commandId == commandId) {
      return QImage(button.xpm);
    }
  }
  return QImage();
}

QIcon ToolbarButtonIcon(int commandId) {
  const QImage image = ToolbarButtonImage(commandId);
  return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}
