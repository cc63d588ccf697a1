#include "framework/CDC.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kLometricUnitsPerInch = 254.0;  // 0.1 mm units in 25.4 mm
constexpr double kDefaultFontPoints = 12.0;
constexpr double kPointsPerInch = 72.0;
constexpr int kReferencePixelSize = 1000;  // size at which a face's cell/em ratio is measured

// Rounds half away from zero, as std::lround does, without its library call: drawing converts
// every point of every trace. The fraction value - trunc(value) is exact for any double.
int RoundToInt(double value) {
  const auto whole = static_cast<long long>(value);
  const double fraction = value - static_cast<double>(whole);
  return static_cast<int>(whole + (fraction >= 0.5 ? 1 : 0) - (fraction <= -0.5 ? 1 : 0));
}

// A monochrome bitmap stores white as 1 and black as 0; a colour turns white when it is light.
bool IsLight(COLORREF color) {
  return GetRValue(color) + GetGValue(color) + GetBValue(color) >= 3 * 128;
}

CRect Intersect(const CRect& a, const CRect& b) {
  CRect result(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom));
  if (result.right < result.left) {
    result.right = result.left;
  }
  if (result.bottom < result.top) {
    result.bottom = result.top;
  }
  return result;
}

// Sets every pixel of area to value: a colour, or a colour index in a monochrome image.
void FillArea(QImage& image, const CRect& area, uint value) {
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      image.setPixel(x, y, value);
    }
  }
}

}  // namespace

CDC::CDC() = default;
CDC::~CDC() = default;

bool CDC::CreateCompatibleDC(const CDC* dc) {
  if (m_bMemory) {
    return false;
  }
  DeviceInfo device;
  if (dc != nullptr) {
    device.dpiX = dc->m_device.dpiX;
    device.dpiY = dc->m_device.dpiY;
  }
  device.printing = false;
  m_device = device;
  m_bMemory = true;
  return true;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  CBitmap* previous = m_pBitmap;
  if (!m_bMemory) {
    return previous;
  }
  m_pBitmap = bitmap;
  const CSize size = bitmap != nullptr ? bitmap->GetSize() : CSize();
  m_device.widthPixels = size.cx;
  m_device.heightPixels = size.cy;
  m_device.widthMM = RoundToInt(size.cx * 25.4 / m_device.dpiX);
  m_device.heightMM = RoundToInt(size.cy * 25.4 / m_device.dpiY);
  return previous;
}

// --- Mapping -------------------------------------------------------------------------------

int CDC::SetMapMode(int mapMode) {
  if (mapMode != MM_TEXT && mapMode != MM_LOMETRIC) {
    return 0;
  }
  return std::exchange(m_state.mapMode, mapMode);
}

CPoint CDC::SetWindowOrg(int x, int y) {
  return std::exchange(m_state.windowOrg, CPoint(x, y));
}

CPoint CDC::SetViewportOrg(int x, int y) {
  return std::exchange(m_state.viewportOrg, CPoint(x, y));
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint previous = m_state.viewportOrg;
  m_state.viewportOrg = CPoint(previous.x + dx, previous.y + dy);
  return previous;
}

double CDC::ScaleX() const {
  if (m_state.mapMode == MM_LOMETRIC) {
    return m_device.dpiX / kLometricUnitsPerInch;
  }
  return 1.0;
}

double CDC::ScaleY() const {
  if (m_state.mapMode == MM_LOMETRIC) {
    return -m_device.dpiY / kLometricUnitsPerInch;
  }
  return 1.0;
}

void CDC::LPtoDP(CPoint* points, int count) const {
  const double scaleX = ScaleX();
  const double scaleY = ScaleY();
  for (int i = 0; i < count; ++i) {
    CPoint& point = points[i];
    point.x = RoundToInt((point.x - m_state.windowOrg.x) * scaleX) + m_state.viewportOrg.x;
    point.y = RoundToInt((point.y - m_state.windowOrg.y) * scaleY) + m_state.viewportOrg.y;
  }
}

void CDC::LPtoDP(CRect* rect) const {
  CPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
  LPtoDP(corners, 2);
  *rect = CRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

void CDC::LPtoDP(CSize* size) const {
  size->cx = RoundToInt(std::fabs(size->cx * ScaleX()));
  size->cy = RoundToInt(std::fabs(size->cy * ScaleY()));
}

void CDC::DPtoLP(CPoint* points, int count) const {
  for (int i = 0; i < count; ++i) {
    CPoint& point = points[i];
    point.x = RoundToInt((point.x - m_state.viewportOrg.x) / ScaleX()) + m_state.windowOrg.x;
    point.y = RoundToInt((point.y - m_state.viewportOrg.y) / ScaleY()) + m_state.windowOrg.y;
  }
}

void CDC::DPtoLP(CRect* rect) const {
  CPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
  DPtoLP(corners, 2);
  *rect = CRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

void CDC::DPtoLP(CSize* size) const {
  size->cx = RoundToInt(std::fabs(size->cx / ScaleX()));
  size->cy = RoundToInt(std::fabs(size->cy / ScaleY()));
}

CRect CDC::DeviceRect(const CRect& logical) const {
  CRect device = logical;
  LPtoDP(&device);
  device.NormalizeRect();
  return device;
}

// --- Objects and attributes -----------------------------------------------------------------

CPen CDC::SelectObject(const CPen& pen) {
  return std::exchange(m_state.pen, pen);
}

CBrush CDC::SelectObject(const CBrush& brush) {
  return std::exchange(m_state.brush, brush);
}

CFont CDC::SelectObject(const CFont& font) {
  return std::exchange(m_state.font, font);
}

COLORREF CDC::SetTextColor(COLORREF color) {
  return std::exchange(m_state.textColor, color);
}

COLORREF CDC::SetBkColor(COLORREF color) {
  return std::exchange(m_state.bkColor, color);
}

int CDC::SetBkMode(int mode) {
  const int previous = m_state.bkMode;
  if (mode == OPAQUE || mode == TRANSPARENT) {
    m_state.bkMode = mode;
  }
  return previous;
}

UINT CDC::SetTextAlign(UINT align) {
  return std::exchange(m_state.textAlign, align);
}

int CDC::SetROP2(int rop) {
  return std::exchange(m_state.rop2, rop);
}

// --- Saved states and clipping -----------------------------------------------------------

int CDC::SaveDC() {
  m_saved.push_back(m_state);
  return static_cast<int>(m_saved.size());
}

bool CDC::RestoreDC(int savedDC) {
  const int levels = static_cast<int>(m_saved.size());
  const int level = savedDC < 0 ? levels + 1 + savedDC : savedDC;
  if (savedDC == 0 || level < 1 || level > levels) {
    return false;
  }
  m_state = m_saved[static_cast<size_t>(level - 1)];
  m_saved.resize(static_cast<size_t>(level - 1));
  return true;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  const CRect device = DeviceRect(CRect(left, top, right, bottom));
  m_state.clipDevice = m_state.hasClip ? Intersect(m_state.clipDevice, device) : device;
  m_state.hasClip = true;
  const CRect& clip = m_state.clipDevice;
  return clip.Width() > 0 && clip.Height() > 0 ? SIMPLEREGION : NULLREGION;
}

void CDC::SelectClipRgn(std::nullptr_t) {
  m_state.hasClip = false;
  m_state.clipDevice = CRect();
}

int CDC::GetClipBox(CRect* rect) const {
  CRect device = m_state.hasClip ? m_state.clipDevice
                                 : CRect(0, 0, m_device.widthPixels, m_device.heightPixels);
  DPtoLP(&device);
  *rect = device;
  const bool empty = device.left == device.right || device.top == device.bottom;
  return empty ? NULLREGION : SIMPLEREGION;
}

// --- Drawing -----------------------------------------------------------------------------

CPoint CDC::MoveTo(int x, int y) {
  return std::exchange(m_state.currentPos, CPoint(x, y));
}

bool CDC::LineTo(int x, int y) {
  const CPoint from = std::exchange(m_state.currentPos, CPoint(x, y));
  DoLine(from, CPoint(x, y));
  return true;
}

bool CDC::Polyline(const CPoint* points, int count) {
  if (points == nullptr || count < 2) {
    return true;
  }
  const DWORD counts[1] = {static_cast<DWORD>(count)};
  DoPolyPolyline(points, counts, 1);
  return true;
}

bool CDC::PolyPolyline(const CPoint* points, const DWORD* counts, int polylines) {
  if (points == nullptr || counts == nullptr || polylines <= 0) {
    return true;
  }
  DoPolyPolyline(points, counts, polylines);
  return true;
}

bool CDC::Rectangle(int left, int top, int right, int bottom) {
  DoRectangle(CRect(left, top, right, bottom));
  return true;
}

void CDC::FillRect(const CRect& rect, const CBrush& brush) {
  if (brush.Style() == BS_NULL) {
    return;
  }
  DoFill(rect, brush.Color());
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
  DoFill(rect, color);
}

bool CDC::TextOut(int x, int y, const QString& text) {
  DoText(x, y, 0, nullptr, text);
  return true;
}

bool CDC::ExtTextOut(int x, int y, UINT options, const CRect* rect, const QString& text) {
  if (rect == nullptr) {
    options &= ~(ETO_OPAQUE | ETO_CLIPPED);
  }
  DoText(x, y, options, rect, text);
  return true;
}

QFont CDC::DeviceFont(const LOGFONT& logFont) const {
  QFont font(logFont.lfFaceName.isEmpty() ? QStringLiteral("Arial") : logFont.lfFaceName);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setWeight(static_cast<QFont::Weight>(
      std::clamp(logFont.lfWeight == 0 ? FW_NORMAL : logFont.lfWeight, 100, 900)));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);
  font.setStrikeOut(logFont.lfStrikeOut != 0);

  double emPixels = 0.0;
  if (logFont.lfHeight > 0) {
    // A positive height is the cell (ascent + descent); find the em that gives that cell.
    QFont reference = font;
    reference.setPixelSize(kReferencePixelSize);
    const QFontMetricsF metrics(reference);
    const double cellPerEm = (metrics.ascent() + metrics.descent()) / kReferencePixelSize;
    emPixels = logFont.lfHeight * std::fabs(ScaleY()) / (cellPerEm > 0.0 ? cellPerEm : 1.0);
  } else if (logFont.lfHeight < 0) {
    emPixels = -logFont.lfHeight * std::fabs(ScaleY());
  } else {
    emPixels = kDefaultFontPoints * m_device.dpiY / kPointsPerInch;
  }
  font.setPixelSize(std::max(1, RoundToInt(emPixels)));
  return font;
}

CSize CDC::GetTextExtent(const QString& text) const {
  const QFontMetricsF metrics(DeviceFont(m_state.font.LogFont()));
  CSize size(RoundToInt(metrics.horizontalAdvance(text)),
             RoundToInt(metrics.ascent() + metrics.descent()));
  DPtoLP(&size);
  return size;
}

bool CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
  if (metrics == nullptr) {
    return false;
  }
  const QFontMetricsF fontMetrics(DeviceFont(m_state.font.LogFont()));
  const double scaleY = std::fabs(ScaleY());
  metrics->tmAscent = RoundToInt(fontMetrics.ascent() / scaleY);
  metrics->tmDescent = RoundToInt(fontMetrics.descent() / scaleY);
  metrics->tmHeight = metrics->tmAscent + metrics->tmDescent;
  metrics->tmAveCharWidth = RoundToInt(fontMetrics.averageCharWidth() / std::fabs(ScaleX()));
  return true;
}

bool CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
  if (rop != WHITENESS && rop != BLACKNESS && rop != PATCOPY) {
    return false;
  }
  DoPattern(CRect(x, y, x + width, y + height), rop);
  return true;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  return DoPixel(x, y, color);
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (!m_bMemory || m_pBitmap == nullptr || m_pBitmap->IsNull()) {
    return CLR_INVALID;
  }
  CPoint point(x, y);
  LPtoDP(&point);
  const QImage& image = m_pBitmap->Image();
  if (!image.valid(point.x, point.y)) {
    return CLR_INVALID;
  }
  const QColor color = image.pixelColor(point.x, point.y);
  return RGB(color.red(), color.green(), color.blue());
}

void CDC::FillDotLattice(const CRect& rect, int xStep, int yStep, COLORREF color) {
  if (xStep >= 1 && yStep >= 1) {
    DoDotLattice(rect, CSize(xStep, yStep), color);
  }
}

CSize CDC::DotDeviceSize() const {
  return CSize(std::max(1, RoundToInt(std::fabs(ScaleX()))),
               std::max(1, RoundToInt(std::fabs(ScaleY()))));
}

std::vector<CRect> CDC::DotDeviceRects(const CRect& rect, CSize step) const {
  const int width = rect.right - rect.left;
  const int height = rect.top - rect.bottom;
  const CSize side = DotDeviceSize();
  // The block of side pixels centred nearest the centre of the dot's unit square, which it
  // therefore always covers, however small the square is on the device.
  auto blockStart = [](double centre, int pixels) {
    return static_cast<int>(std::floor(centre - pixels / 2.0 + 0.5));
  };
  std::vector<CRect> squares;
  for (int y = 0; y < height; y += step.cy) {
    const double centreY =
        (rect.bottom + y + 0.5 - m_state.windowOrg.y) * ScaleY() + m_state.viewportOrg.y;
    const int top = blockStart(centreY, side.cy);
    for (int x = 0; x < width; x += step.cx) {
      const double centreX =
          (rect.left + x + 0.5 - m_state.windowOrg.x) * ScaleX() + m_state.viewportOrg.x;
      const int left = blockStart(centreX, side.cx);
      squares.emplace_back(left, top, left + side.cx, top + side.cy);
    }
  }
  return squares;
}

bool CDC::BitBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc,
                 DWORD rop) {
  if (rop != SRCCOPY || source == nullptr || source->m_pBitmap == nullptr ||
      source->m_pBitmap->IsNull()) {
    return false;
  }
  // The source block is taken in the source's device pixels, then laid over the destination.
  CPoint sourceCorners[2] = {CPoint(xSrc, ySrc), CPoint(xSrc + width, ySrc + height)};
  source->LPtoDP(sourceCorners, 2);
  CRect sourceRect(sourceCorners[0].x, sourceCorners[0].y, sourceCorners[1].x, sourceCorners[1].y);
  sourceRect.NormalizeRect();
  const QImage block = source->m_pBitmap->Image().copy(sourceRect.left, sourceRect.top,
                                                       sourceRect.Width(), sourceRect.Height());
  DoBlock(CRect(x, y, x + width, y + height), block, rop);
  return true;
}

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case HORZSIZE:
      return m_device.widthMM;
    case VERTSIZE:
      return m_device.heightMM;
    case HORZRES:
      return m_device.widthPixels;
    case VERTRES:
      return m_device.heightPixels;
    case LOGPIXELSX:
      return m_device.dpiX;
    case LOGPIXELSY:
      return m_device.dpiY;
    default:
      return 0;
  }
}

// --- Memory context primitives -----------------------------------------------------------

CRect CDC::BitmapArea(const CRect& deviceRect) const {
  const QImage& image = m_pBitmap->Image();
  const CRect area = Intersect(deviceRect, CRect(0, 0, image.width(), image.height()));
  return m_state.hasClip ? Intersect(area, m_state.clipDevice) : area;
}

void CDC::FillBitmap(const CRect& deviceRect, bool white) {
  QImage& image = m_pBitmap->Image();
  const CRect area = BitmapArea(deviceRect);
  if (image.format() == QImage::Format_Mono) {
    const uint index = white ? 1 : 0;
    if (area == CRect(0, 0, image.width(), image.height())) {
      image.fill(index);
      return;
    }
    FillArea(image, area, index);
    return;
  }
  FillArea(image, area, white ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
}

void CDC::DoLine(CPoint /*from*/, CPoint /*to*/) {}

void CDC::DoPolyPolyline(const CPoint* points, const DWORD* counts, int polylines) {
  for (int polyline = 0; polyline < polylines; ++polyline) {
    const DWORD count = counts[polyline];
    for (DWORD k = 1; k < count; ++k) {
      DoLine(points[k - 1], points[k]);
    }
    points += count;
  }
}

void CDC::DoRectangle(const CRect& /*rect*/) {}

void CDC::DoFill(const CRect& rect, COLORREF color) {
  if (m_pBitmap == nullptr || m_pBitmap->IsNull()) {
    return;
  }
  if (m_pBitmap->IsMonochrome()) {
    FillBitmap(DeviceRect(rect), IsLight(color));
    return;
  }
  FillArea(m_pBitmap->Image(), BitmapArea(DeviceRect(rect)),
           qRgb(GetRValue(color), GetGValue(color), GetBValue(color)));
}

void CDC::DoText(int /*x*/, int /*y*/, UINT /*options*/, const CRect* /*rect*/,
                 const QString& /*text*/) {}

void CDC::DoPattern(const CRect& rect, DWORD rop) {
  if (rop == PATCOPY) {
    FillRect(rect, m_state.brush);
    return;
  }
  if (m_pBitmap == nullptr || m_pBitmap->IsNull()) {
    return;
  }
  FillBitmap(DeviceRect(rect), rop == WHITENESS);
}

COLORREF CDC::DoPixel(int x, int y, COLORREF color) {
  if (m_pBitmap == nullptr || m_pBitmap->IsNull()) {
    return CLR_INVALID;
  }
  CPoint point(x, y);
  LPtoDP(&point);
  QImage& image = m_pBitmap->Image();
  if (!image.valid(point.x, point.y)) {
    return CLR_INVALID;
  }
  if (m_state.hasClip) {
    const CRect& clip = m_state.clipDevice;
    if (point.x < clip.left || point.x >= clip.right || point.y < clip.top ||
        point.y >= clip.bottom) {
      return CLR_INVALID;
    }
  }
  if (image.format() == QImage::Format_Mono) {
    const bool white = IsLight(color);
    image.setPixel(point.x, point.y, white ? 1 : 0);
    return white ? RGB(255, 255, 255) : RGB(0, 0, 0);
  }
  image.setPixel(point.x, point.y, qRgb(GetRValue(color), GetGValue(color), GetBValue(color)));
  return color;
}

void CDC::DoBlock(const CRect& /*rect*/, const QImage& /*source*/, DWORD /*rop*/) {}

void CDC::DoDotLattice(const CRect& rect, CSize step, COLORREF color) {
  if (m_pBitmap == nullptr || m_pBitmap->IsNull()) {
    return;
  }
  QImage& image = m_pBitmap->Image();
  const uint value = image.format() == QImage::Format_Mono
                         ? (IsLight(color) ? 1U : 0U)
                         : qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
  for (const CRect& square : DotDeviceRects(rect, step)) {
    FillArea(image, BitmapArea(square), value);
  }
}
