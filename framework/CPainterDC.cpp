#include "framework/CPainterDC.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QColor ToQColor(COLORREF color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

bool IsSolidPenStyle(int style) {
  return style != PS_DASH && style != PS_DOT && style != PS_NULL;
}

// The rectangle of the pixels a one-pixel line along a row or column inks: from its start up to
// but not including its end, as a line leaves out its end point; one pixel for a line of no
// length. False for a slanting line.
bool LevelOrPlumbLinePixels(const QLine& line, QRect* pixels) {
  const int across = line.x2() - line.x1();
  const int down = line.y2() - line.y1();
  if (across != 0 && down != 0) {
    return false;
  }
  *pixels = QRect(std::min(line.x1(), line.x2()), std::min(line.y1(), line.y2()),
                  std::max(std::abs(across), 1), std::max(std::abs(down), 1));
  return true;
}

}  // namespace

void SplitThinPolyline(const QPoint* points, int count, std::vector<QLine>* lines) {
  int first = 0;
  while (first < count) {
    // The points of one pixel column: a line from the highest to one past the lowest inks them.
    const int column = points[first].x();
    int highest = points[first].y();
    int lowest = highest;
    int end = first + 1;
    for (; end < count && points[end].x() == column; ++end) {
      highest = std::min(highest, points[end].y());
      lowest = std::max(lowest, points[end].y());
    }
    lines->emplace_back(column, highest, column, lowest + 1);
    // The step to the next column. One to the neighbouring column by at most a row inks only its
    // two ends, which the columns ink already.
    if (end < count) {
      const QPoint& from = points[end - 1];
      const QPoint& to = points[end];
      if (std::abs(to.x() - from.x()) > 1 || std::abs(to.y() - from.y()) > 1) {
        lines->emplace_back(from, to);
      }
    }
    first = end;
  }
}

CPainterDC::CPainterDC(QPainter* painter, bool printing) : m_painter(painter) {
  Attach(printing);
}

CPainterDC::CPainterDC(std::unique_ptr<QPainter> ownedPainter, bool printing)
    : m_ownedPainter(std::move(ownedPainter)), m_painter(m_ownedPainter.get()) {
  Attach(printing);
}

CPainterDC::~CPainterDC() {
  if (m_painter->isActive()) {
    m_painter->restore();
  }
}

void CPainterDC::Attach(bool printing) {
  DeviceInfo device;
  device.printing = printing;
  if (const QPaintDevice* surface = m_painter->device()) {
    // A painter works in device-independent pixels. A widget states its resolution in those
    // already; an image or pixmap states the resolution of its own pixels, which a device pixel
    // ratio above 1 makes finer than the painter's.
    const bool ownPixels =
        surface->devType() == QInternal::Image || surface->devType() == QInternal::Pixmap;
    const double pixelRatio = ownPixels ? surface->devicePixelRatioF() : 1.0;
    device.dpiX = static_cast<int>(std::lround(surface->logicalDpiX() / pixelRatio));
    device.dpiY = static_cast<int>(std::lround(surface->logicalDpiY() / pixelRatio));
    device.widthPixels = static_cast<int>(surface->width() / pixelRatio);
    device.heightPixels = static_cast<int>(surface->height() / pixelRatio);
    device.widthMM = surface->widthMM();
    device.heightMM = surface->heightMM();
  }
  SetDeviceInfo(device);
  if (m_painter->isActive()) {
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->setClipping(false);
  }
}

QRect CPainterDC::DeviceQRect(const CRect& logical) const {
  CRect device = logical;
  LPtoDP(&device);
  device.NormalizeRect();
  return QRect(device.left, device.top, device.Width(), device.Height());
}

void CPainterDC::ApplyClip() {
  if (!HasClip()) {
    if (m_bClipApplied) {
      m_painter->setClipping(false);
      m_bClipApplied = false;
    }
    return;
  }
  const CRect& clip = DeviceClip();
  if (!m_bClipApplied || clip != m_appliedClip) {
    m_painter->setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    m_appliedClip = clip;
    m_bClipApplied = true;
  }
}

void CPainterDC::ApplyRop(bool usesRop2) {
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  const bool rasterOps = m_painter->paintEngine() != nullptr &&
                         m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
  if (usesRop2 && rasterOps) {
    switch (GetROP2()) {
      case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
      case R2_NOTXORPEN:
        mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
      case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
      default:
        break;
    }
  }
  if (m_painter->compositionMode() != mode) {
    m_painter->setCompositionMode(mode);
  }
}

QPen CPainterDC::DevicePen() const {
  const CPen& pen = GetCurrentPen();
  QColor color = ToQColor(pen.Color());
  if (GetROP2() == R2_BLACK) {
    color = Qt::black;
  } else if (GetROP2() == R2_WHITE) {
    color = Qt::white;
  }
  const double deviceWidth = pen.Width() * std::fabs(ScaleX());
  QPen qpen(color);
  if (deviceWidth <= 1.0) {
    // A one-pixel line leaves out its end point, so that joined segments touch without overlap.
    qpen.setWidth(1);
    qpen.setCapStyle(Qt::FlatCap);
  } else {
    qpen.setWidthF(deviceWidth);
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
  }
  switch (pen.Style()) {
    case PS_DASH:
      qpen.setStyle(Qt::DashLine);
      break;
    case PS_DOT:
      qpen.setStyle(Qt::DotLine);
      break;
    case PS_NULL:
      qpen.setStyle(Qt::NoPen);
      break;
    default:
      qpen.setStyle(Qt::SolidLine);
      break;
  }
  return qpen;
}

bool CPainterDC::DrawsThinLinesOnRaster() const {
  const CPen& pen = GetCurrentPen();
  const int rop = GetROP2();
  const QPaintEngine* engine = m_painter->paintEngine();
  const QPaintDevice* surface = m_painter->device();
  return IsSolidPenStyle(pen.Style()) && pen.Width() * std::fabs(ScaleX()) <= 1.0 &&
         (rop == R2_COPYPEN || rop == R2_BLACK || rop == R2_WHITE) && engine != nullptr &&
         engine->type() == QPaintEngine::Raster && surface != nullptr &&
         surface->devicePixelRatio() == 1.0 &&
         m_painter->worldTransform().type() == QTransform::TxNone;
}

void CPainterDC::DrawPolylines(const CPoint* points, const DWORD* counts, int polylines) {
  ApplyClip();
  ApplyRop(true);
  const QPen pen = DevicePen();
  const bool thin = DrawsThinLinesOnRaster();
  m_lines.clear();
  for (int polyline = 0; polyline < polylines; ++polyline) {
    const int count = static_cast<int>(counts[polyline]);
    m_devicePoints.assign(points, points + std::max(count, 0));
    LPtoDP(m_devicePoints.data(), count);
    m_qtPoints.resize(m_devicePoints.size());
    std::transform(m_devicePoints.begin(), m_devicePoints.end(), m_qtPoints.begin(),
                   [](const CPoint& point) { return QPoint(point.x, point.y); });
    if (thin && count >= 2) {
      SplitThinPolyline(m_qtPoints.data(), count, &m_lines);
    } else {
      for (int k = 1; k < count; ++k) {
        m_lines.emplace_back(m_qtPoints[static_cast<size_t>(k - 1)],
                             m_qtPoints[static_cast<size_t>(k)]);
      }
    }
    points += std::max(count, 0);
  }
  if (thin) {
    // Lines along a row or column are filled as rectangles, which the painter does several times
    // faster than it draws lines; the slanting ones are drawn. Both share the one opaque colour,
    // so the order does not matter.
    m_fills.clear();
    const auto filled = std::remove_if(m_lines.begin(), m_lines.end(), [this](const QLine& line) {
      QRect pixels;
      if (!LevelOrPlumbLinePixels(line, &pixels)) {
        return false;
      }
      m_fills.push_back(pixels);
      return true;
    });
    m_lines.erase(filled, m_lines.end());
    if (!m_fills.empty()) {
      m_painter->save();
      m_painter->setPen(Qt::NoPen);
      m_painter->setBrush(pen.color());
      m_painter->drawRects(m_fills.data(), static_cast<int>(m_fills.size()));
      m_painter->restore();
    }
  }
  if (!m_lines.empty()) {
    m_painter->setPen(pen);
    m_painter->drawLines(m_lines.data(), static_cast<int>(m_lines.size()));
  }
}

void CPainterDC::DoPolyPolyline(const CPoint* points, const DWORD* counts, int polylines) {
  const int rop = GetROP2();
  if (GetCurrentPen().Style() == PS_NULL ||
      (rop != R2_COPYPEN && rop != R2_BLACK && rop != R2_WHITE)) {
    // Inverting and exclusive-or pens change a pixel each time a segment crosses it: segment by
    // segment, as LineTo draws them.
    CDC::DoPolyPolyline(points, counts, polylines);
    return;
  }
  DrawPolylines(points, counts, polylines);
}

void CPainterDC::DoLine(CPoint from, CPoint to) {
  if (GetCurrentPen().Style() == PS_NULL) {
    return;
  }
  ApplyClip();
  ApplyRop(true);
  CPoint ends[2] = {from, to};
  LPtoDP(ends, 2);
  m_painter->setPen(DevicePen());
  m_painter->drawLine(QPoint(ends[0].x, ends[0].y), QPoint(ends[1].x, ends[1].y));
}

void CPainterDC::DoRectangle(const CRect& rect) {
  const QRect area = DeviceQRect(rect);
  if (area.width() <= 0 || area.height() <= 0) {
    return;
  }
  ApplyClip();
  ApplyRop(true);
  const CBrush& brush = GetCurrentBrush();
  if (brush.Style() != BS_NULL) {
    m_painter->fillRect(area, ToQColor(brush.Color()));
  }
  if (GetCurrentPen().Style() != PS_NULL) {
    m_painter->setPen(DevicePen());
    m_painter->setBrush(Qt::NoBrush);
    // The outline runs along the first and the last pixel inside the area.
    m_painter->drawRect(area.adjusted(0, 0, -1, -1));
  }
}

void CPainterDC::DoFill(const CRect& rect, COLORREF color) {
  ApplyClip();
  ApplyRop(false);
  m_painter->fillRect(DeviceQRect(rect), ToQColor(color));
}

void CPainterDC::DoText(int x, int y, UINT options, const CRect* rect, const QString& text) {
  ApplyClip();
  ApplyRop(false);
  const QFont font = DeviceFont(GetCurrentFont().LogFont());
  const QFontMetricsF metrics(font);
  CPoint reference(x, y);
  LPtoDP(&reference);

  const double width = metrics.horizontalAdvance(text);
  double left = reference.x;
  switch (GetTextAlign() & kTextAlignHorizontalMask) {
    case TA_RIGHT:
      left = reference.x - width;
      break;
    case TA_CENTER:
      left = reference.x - width / 2.0;
      break;
    default:
      break;
  }
  double baseline = reference.y + metrics.ascent();
  switch (GetTextAlign() & kTextAlignVerticalMask) {
    case TA_BASELINE:
      baseline = reference.y;
      break;
    case TA_BOTTOM:
      baseline = reference.y - metrics.descent();
      break;
    default:
      break;
  }

  m_painter->save();
  if (options & ETO_OPAQUE) {
    m_painter->fillRect(DeviceQRect(*rect), ToQColor(GetBkColor()));
  }
  if (options & ETO_CLIPPED) {
    m_painter->setClipRect(DeviceQRect(*rect), Qt::IntersectClip);
  }
  if (GetBkMode() == OPAQUE) {
    m_painter->fillRect(
        QRectF(left, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
        ToQColor(GetBkColor()));
  }
  m_painter->setFont(font);
  m_painter->setPen(ToQColor(GetTextColor()));
  m_painter->drawText(QPointF(left, baseline), text);
  m_painter->restore();
}

void CPainterDC::DoPattern(const CRect& rect, DWORD rop) {
  if (rop == PATCOPY) {
    FillRect(rect, GetCurrentBrush());
    return;
  }
  DoFill(rect, rop == WHITENESS ? RGB(255, 255, 255) : RGB(0, 0, 0));
}

COLORREF CPainterDC::DoPixel(int x, int y, COLORREF color) {
  ApplyClip();
  ApplyRop(false);
  CPoint point(x, y);
  LPtoDP(&point);
  m_painter->fillRect(QRect(point.x, point.y, 1, 1), ToQColor(color));
  return color;
}

void CPainterDC::DoBlock(const CRect& rect, const QImage& source, DWORD /*rop*/) {
  ApplyClip();
  ApplyRop(false);
  CPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
  LPtoDP(corners, 2);
  const bool mirrorX = corners[1].x < corners[0].x;
  const bool mirrorY = corners[1].y < corners[0].y;
  // Printers and PDF files take a monochrome image as a stencil; colour keeps white opaque.
  QImage block = source.convertToFormat(QImage::Format_RGB32);
  if (mirrorX || mirrorY) {
    block = block.mirrored(mirrorX, mirrorY);
  }
  m_painter->drawImage(DeviceQRect(rect), block);
}

void CPainterDC::DoDotLattice(const CRect& rect, CSize step, COLORREF color) {
  ApplyClip();
  ApplyRop(false);
  const QPaintEngine* engine = m_painter->paintEngine();
  if (engine != nullptr && engine->type() == QPaintEngine::Pdf) {
    StrokeDotRows(rect, step, color);
    return;
  }
  QVector<QRect> squares;
  for (const CRect& square : DotDeviceRects(rect, step)) {
    squares.append(QRect(square.left, square.top, square.Width(), square.Height()));
  }
  m_painter->save();
  m_painter->setPen(Qt::NoPen);
  m_painter->setBrush(ToQColor(color));
  m_painter->drawRects(squares);
  m_painter->restore();
}

void CPainterDC::StrokeDotRows(const CRect& rect, CSize step, COLORREF color) {
  // A PDF is drawn again by whatever shows or prints it: the dots stay vector squares, each row
  // one stroke whose dashes are the dots. The denser direction makes the rows.
  const bool alongX = step.cx <= step.cy;
  const int width = rect.right - rect.left;
  const int height = rect.top - rect.bottom;
  const CSize side = DotDeviceSize();
  const double dotLength = alongX ? side.cx : side.cy;
  const double thickness = alongX ? side.cy : side.cx;
  const double period = (alongX ? step.cx * ScaleX() : -step.cy * ScaleY());
  QPen pen(ToQColor(color), thickness, Qt::CustomDashLine, Qt::FlatCap);
  pen.setDashPattern({dotLength / thickness, (period - dotLength) / thickness});
  m_painter->save();
  m_painter->setPen(pen);
  m_painter->setBrush(Qt::NoBrush);
  const int rows = alongX ? (height + step.cy - 1) / step.cy : (width + step.cx - 1) / step.cx;
  const int dotsPerRow =
      alongX ? (width + step.cx - 1) / step.cx : (height + step.cy - 1) / step.cy;
  for (int row = 0; row < rows; ++row) {
    const int x = alongX ? 0 : row * step.cx;
    const int y = alongX ? row * step.cy : 0;
    CRect first = CRect(rect.left + x, rect.bottom + y + 1, rect.left + x + 1, rect.bottom + y);
    LPtoDP(&first);
    first.NormalizeRect();
    const double length = (dotsPerRow - 1) * period + dotLength;
    if (alongX) {
      const double centreY = first.top + thickness / 2;
      m_painter->drawLine(QPointF(first.left, centreY), QPointF(first.left + length, centreY));
    } else {
      // Upward on the paper is downward on the device: the row runs from the lowest dot up.
      const double centreX = first.left + thickness / 2;
      m_painter->drawLine(QPointF(centreX, first.top + dotLength),
                          QPointF(centreX, first.top + dotLength - length));
    }
  }
  m_painter->restore();
}

CImageDC::CImageDC(QImage* image, bool printing)
    : CPainterDC(std::make_unique<QPainter>(image), printing) {}
