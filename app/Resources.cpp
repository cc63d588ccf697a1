#include "app/Resources.h"

#include <QBitmap>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include "app/StringTable.h"
#include "resources/ResourceIds.h"

namespace {

#include "app/images/Magnifier.xpm"

// Both icons are drawn on a 32 x 32 design grid and scaled to the size asked for.
constexpr qreal kDesignSize = 32.0;
constexpr int kIconSizes[] = {16, 32, 48};
constexpr QPoint kLensCentre(10, 10);

const QColor kPaperColour(255, 236, 236);
const QColor kGridColour(240, 170, 170);
const QColor kTraceColour(0, 0, 128);
const QColor kOutlineColour(64, 64, 64);
const QColor kSheetColour(Qt::white);

// One beat across the design grid on a baseline at y = 18: P wave, QRS complex, T wave.
QPolygonF BeatTrace() {
  return QPolygonF({{3, 18},
                    {7, 18},
                    {8.5, 16},
                    {10, 18},
                    {12.5, 18},
                    {13.5, 20},
                    {15.5, 6},
                    {17.5, 25},
                    {19, 18},
                    {21, 18},
                    {23.5, 14.5},
                    {26, 18},
                    {29, 18}});
}

void DrawGrid(QPainter& painter, const QRectF& area, int step) {
  painter.setPen(QPen(kGridColour, 0.75));
  for (int offset = step; area.left() + offset < area.right(); offset += step) {
    const qreal x = area.left() + offset;
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
  for (int offset = step; area.top() + offset < area.bottom(); offset += step) {
    const qreal y = area.top() + offset;
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  }
}

void DrawTrace(QPainter& painter) {
  painter.setPen(QPen(kTraceColour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(BeatTrace());
}

// The application: a square of ECG paper with one beat on it.
void DrawApplicationIcon(QPainter& painter) {
  const QRectF paper(1.5, 1.5, 29, 29);
  painter.setPen(QPen(kOutlineColour, 1.0));
  painter.setBrush(kPaperColour);
  painter.drawRoundedRect(paper, 4, 4);
  DrawGrid(painter, paper.adjusted(1, 1, -1, -1), 5);
  DrawTrace(painter);
}

// A document: a sheet with a folded corner, carrying one beat on ECG paper.
void DrawDocumentIcon(QPainter& painter) {
  constexpr qreal kLeft = 4.5, kTop = 1.5, kRight = 27.5, kBottom = 30.5, kFold = 7;
  QPainterPath sheet;
  sheet.moveTo(kLeft, kTop);
  sheet.lineTo(kRight - kFold, kTop);
  sheet.lineTo(kRight, kTop + kFold);
  sheet.lineTo(kRight, kBottom);
  sheet.lineTo(kLeft, kBottom);
  sheet.closeSubpath();
  painter.setPen(QPen(kOutlineColour, 1.0));
  painter.setBrush(kSheetColour);
  painter.drawPath(sheet);

  const QRectF strip(kLeft + 2, 10, kRight - kLeft - 4, 16);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kPaperColour);
  painter.drawRect(strip);
  DrawGrid(painter, strip, 4);

  QPainterPath fold;
  fold.moveTo(kRight - kFold, kTop);
  fold.lineTo(kRight - kFold, kTop + kFold);
  fold.lineTo(kRight, kTop + kFold);
  painter.setPen(QPen(kOutlineColour, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(fold);

  painter.save();
  painter.setClipRect(strip);
  DrawTrace(painter);
  painter.restore();
}

}  // namespace

QImage IconImage(int id, int size) {
  if ((id != kIdrMainFrame && id != kIdrDocument) || size < 1) {
    return QImage();
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kDesignSize, size / kDesignSize);
  if (id == kIdrMainFrame) {
    DrawApplicationIcon(painter);
  } else {
    DrawDocumentIcon(painter);
  }
  return image;
}

QIcon ResourceIcon(int id) {
  QIcon icon;
  for (int size : kIconSizes) {
    const QImage image = IconImage(id, size);
    if (!image.isNull()) {
      icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}

QImage MagnifierImage() {
  return QImage(kMagnifierXpm).convertToFormat(QImage::Format_ARGB32);
}

QPoint MagnifierHotSpot() {
  return kLensCentre;
}

QCursor ResourceCursor(int id) {
  if (id != kCursorMagnifier) {
    return QCursor(Qt::ArrowCursor);
  }
  // A monochrome cursor: the bitmap marks the black pixels, the mask every pixel that is drawn.
  const QImage image = MagnifierImage();
  QImage black(image.size(), QImage::Format_Mono);
  QImage drawn(image.size(), QImage::Format_Mono);
  for (QImage* plane : {&black, &drawn}) {
    plane->setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});  // bit 1 is a set pixel
    plane->fill(0);
  }
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) != 0) {
        drawn.setPixel(x, y, 1);
        black.setPixel(x, y, qGray(pixel) < 128 ? 1 : 0);
      }
    }
  }
  return QCursor(QBitmap::fromImage(black), QBitmap::fromImage(drawn), kLensCentre.x(),
                 kLensCentre.y());
}

ResourceTable QuillonResourceTable() {
  ResourceTable table;
  table.loadString = [](int id) { return StringText(id); };
  table.loadCursor = ResourceCursor;
  table.loadIcon = ResourceIcon;
  return table;
}
