#include "app/Toolbar.h"

#include <QPixmap>

#include "views/CommandIds.h"

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
    {kCmdFileOpen, kOpenXpm},
    {kCmdFileSave, kSaveXpm},
    {kCmdFilePrint, kPrintXpm},
    {kCmdFilePrintPreview, kPrintPreviewXpm},
};

}  // namespace

const std::vector<ToolbarItem>& ToolbarResource(int id) {
  static const std::vector<ToolbarItem> mainFrame = {
      {kCmdFileOpen}, {kCmdFileSave}, {0}, {kCmdFilePrint}, {kCmdFilePrintPreview}};
  static const std::vector<ToolbarItem> none;
  return id == kToolbarMainFrame ? mainFrame : none;
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
