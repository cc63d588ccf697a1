// Writes Quillon's application and document icons as PNG files in the freedesktop icon-theme
// layout, so the desktop shows the same pictures the program draws for its windows.
//
//   quillon_icon_export DIR   writes DIR/hicolor/NxN/apps/quillon.png and
//                             DIR/hicolor/NxN/mimetypes/application-x-scp-ecg.png
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "app/Resources.h"
#include "resources/ResourceIds.h"

namespace {

// The sizes desktops ask an icon theme for, in pixels.
constexpr int kThemeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool WriteIcon(const QString& themeDir, int id, int size, const char* context, const char* name) {
  const QString dir = QString("%1/hicolor/%2x%2/%3").arg(themeDir).arg(size).arg(context);
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "quillon_icon_export: cannot create %s\n", qPrintable(dir));
    return false;
  }
  const QString path = QString("%1/%2.png").arg(dir, name);
  if (!IconImage(id, size).save(path, "PNG")) {
    std::fprintf(stderr, "quillon_icon_export: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  // The icons are painted on plain images (no text, no window), so no Qt application and no
  // display are needed on the build machine.
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillon_icon_export DIR\n");
    return 2;
  }
  const QString themeDir = QString::fromLocal8Bit(argv[1]);
  for (int size : kThemeSizes) {
    if (!WriteIcon(themeDir, kIdrMainFrame, size, "apps", "quillon") ||
        !WriteIcon(themeDir, kIdrDocument, size, "mimetypes", "application-x-scp-ecg")) {
      return 1;
    }
  }
  return 0;
}
