#include "app/Toolbar.h"

#include <QPixmap>

#include "resources/ResourceIds.h"

namespace {

#include "app/images/Calipers.xpm"
#include "app/images/Open.xpm"
#include "app/images/Print.xpm"
#include "app/images/PrintPreview.xpm"
#include "app/images/Save.xpm"

struct ButtonImage {
  int commandId;
  const char* const* xpm;
};

constexpr ButtonImage kButtonImages[] = {
    {ID_FILE_OPEN, kOpenXpm},        {ID_FILE_SAVE, kSaveXpm},
    {ID_FILE_PRINT, kPrintXpm},      {ID_FILE_PRINT_PREVIEW, kPrintPreviewXpm},
    {kCmdCaliperTool, kCalipersXpm},
};

}  // namespace

const std::vector<ToolbarItem>& ToolbarResource(int id) {
  // The speed and gain buttons have no image: they show their tips, "25 mm/s" and so on.
  static const std::vector<ToolbarItem> kMainFrame = {
      {ID_FILE_OPEN},          {ID_FILE_SAVE},      {ID_SEPARATOR},       {ID_FILE_PRINT},
      {ID_FILE_PRINT_PREVIEW}, {ID_SEPARATOR},      {kCmdSpeedFirst + 0}, {kCmdSpeedFirst + 1},
      {kCmdSpeedFirst + 2},    {ID_SEPARATOR},      {kCmdGainFirst + 0},  {kCmdGainFirst + 1},
      {kCmdGainFirst + 2},     {kCmdGainFirst + 3}, {ID_SEPARATOR},       {kCmdCaliperTool}};
  static const std::vector<ToolbarItem> kNone;
  return id == kIdrMainFrame ? kMainFrame : kNone;
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
