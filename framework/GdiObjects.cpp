#include "framework/GdiObjects.h"

#include "framework/CDC.h"

bool LOGFONT::operator==(const LOGFONT& other) const {
  return lfHeight == other.lfHeight && lfWidth == other.lfWidth &&
         lfEscapement == other.lfEscapement && lfOrientation == other.lfOrientation &&
         lfWeight == other.lfWeight && lfItalic == other.lfItalic &&
         lfUnderline == other.lfUnderline && lfStrikeOut == other.lfStrikeOut &&
         lfCharSet == other.lfCharSet && lfOutPrecision == other.lfOutPrecision &&
         lfClipPrecision == other.lfClipPrecision && lfQuality == other.lfQuality &&
         lfPitchAndFamily == other.lfPitchAndFamily && lfFaceName == other.lfFaceName;
}

bool CPen::CreatePen(int style, int width, COLORREF color) {
  m_nStyle = style;
  m_nWidth = width;
  m_color = color;
  return true;
}

CPen CPen::Stock(int stockId) {
  switch (stockId) {
    case WHITE_PEN:
      return CPen(PS_SOLID, 0, RGB(255, 255, 255));
    case NULL_PEN:
      return CPen(PS_NULL, 0, RGB(0, 0, 0));
    default:
      return CPen(PS_SOLID, 0, RGB(0, 0, 0));
  }
}

bool CBrush::CreateSolidBrush(COLORREF color) {
  m_nStyle = BS_SOLID;
  m_color = color;
  return true;
}

CBrush CBrush::Stock(int stockId) {
  switch (stockId) {
    case LTGRAY_BRUSH:
      return CBrush(RGB(192, 192, 192));
    case GRAY_BRUSH:
      return CBrush(RGB(128, 128, 128));
    case DKGRAY_BRUSH:
      return CBrush(RGB(64, 64, 64));
    case BLACK_BRUSH:
      return CBrush(RGB(0, 0, 0));
    case NULL_BRUSH: {
      CBrush hollow;
      hollow.m_nStyle = BS_NULL;
      return hollow;
    }
    default:
      return CBrush(RGB(255, 255, 255));
  }
}

CFont::CFont() {
  m_logFont.lfFaceName = QStringLiteral("Arial");
}

bool CFont::CreateFontIndirect(const LOGFONT* logFont) {
  if (logFont == nullptr) {
    return false;
  }
  m_logFont = *logFont;
  return true;
}

bool CBitmap::CreateBitmap(int width, int height, UINT /*planes*/, UINT bitsPerPixel) {
  if (width <= 0 || height <= 0) {
    return false;
  }
  const bool mono = bitsPerPixel == 1;
  QImage image(width, height, mono ? QImage::Format_Mono : QImage::Format_RGB32);
  if (image.isNull()) {
    return false;
  }
  if (mono) {
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(0);
  } else {
    image.fill(qRgb(0, 0, 0));
  }
  m_image = image;
  return true;
}

bool CBitmap::CreateCompatibleBitmap(const CDC* dc, int width, int height) {
  const CBitmap* selected = dc != nullptr ? dc->GetSelectedBitmap() : nullptr;
  const bool mono =
      dc != nullptr && dc->IsMemoryDC() && (selected == nullptr || selected->IsMonochrome());
  return CreateBitmap(width, height, 1, mono ? 1 : 32);
}
