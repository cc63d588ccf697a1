// The drawing objects a device context selects: pens, brushes, fonts from a font description,
// and bitmaps. Pens, brushes and fonts are small values; a bitmap owns its pixels.
#pragma once

#include <QImage>
#include <QString>

#include "framework/GdiTypes.h"

class CDC;

// A font description. lfHeight is in logical units of the device context the font is selected
// into: positive is the cell height (ascent + descent), negative the character height (em), zero
// a default of 12 points. Escapement and orientation are kept but text is always drawn upright.
struct LOGFONT {
  int lfHeight = 0;
  int lfWidth = 0;
  int lfEscapement = 0;
  int lfOrientation = 0;
  int lfWeight = FW_NORMAL;
  unsigned char lfItalic = 0;
  unsigned char lfUnderline = 0;
  unsigned char lfStrikeOut = 0;
  unsigned char lfCharSet = DEFAULT_CHARSET;
  unsigned char lfOutPrecision = 0;
  unsigned char lfClipPrecision = 0;
  unsigned char lfQuality = 0;
  unsigned char lfPitchAndFamily = 0;
  QString lfFaceName;

  bool operator==(const LOGFONT& other) const;
  bool operator!=(const LOGFONT& other) const { return !(*this == other); }
};

// A pen: style, width in logical units (0 draws one device pixel whatever the mapping) and colour.
class CPen {
 public:
  CPen() = default;  // the default pen of a device context: solid, width 0, black
  CPen(int style, int width, COLORREF color) : m_nStyle(style), m_nWidth(width), m_color(color) {}
  // Sets the pen's values; always true.
  bool CreatePen(int style, int width, COLORREF color);
  // BLACK_PEN, WHITE_PEN or NULL_PEN; any other id gives the black pen.
  static CPen Stock(int stockId);

  int Style() const { return m_nStyle; }
  int Width() const { return m_nWidth; }
  COLORREF Color() const { return m_color; }
  bool operator==(const CPen& other) const {
    return m_nStyle == other.m_nStyle && m_nWidth == other.m_nWidth && m_color == other.m_color;
  }
  bool operator!=(const CPen& other) const { return !(*this == other); }

 private:
  int m_nStyle = PS_SOLID;
  int m_nWidth = 0;
  COLORREF m_color = RGB(0, 0, 0);
};

// A brush: solid in one colour, or hollow (BS_NULL) so that shapes are not filled.
class CBrush {
 public:
  CBrush() = default;  // the default brush of a device context: solid white
  explicit CBrush(COLORREF color) : m_nStyle(BS_SOLID), m_color(color) {}
  // Sets a solid brush of the colour; always true.
  bool CreateSolidBrush(COLORREF color);
  // WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH or NULL_BRUSH; any other id
  // gives the white brush.
  static CBrush Stock(int stockId);

  UINT Style() const { return m_nStyle; }
  COLORREF Color() const { return m_color; }
  bool operator==(const CBrush& other) const {
    return m_nStyle == other.m_nStyle && m_color == other.m_color;
  }
  bool operator!=(const CBrush& other) const { return !(*this == other); }

 private:
  UINT m_nStyle = BS_SOLID;
  COLORREF m_color = RGB(255, 255, 255);
};

// A font made from a font description. The description is kept as given; the device context
// turns it into a Qt font at the scale of its mapping mode when text is drawn or measured.
class CFont {
 public:
  CFont();  // the default font of a device context: 12 points, "Arial", normal weight
  // Takes the description; false (and no change) when logFont is null.
  bool CreateFontIndirect(const LOGFONT* logFont);
  const LOGFONT& LogFont() const { return m_logFont; }
  bool operator==(const CFont& other) const { return m_logFont == other.m_logFont; }
  bool operator!=(const CFont& other) const { return !(*this == other); }

 private:
  LOGFONT m_logFont;
};

// A bitmap: monochrome (one bit per pixel, 0 black and 1 white) or 32-bit colour. A memory device
// context draws into the bitmap selected into it; BitBlt copies it onto another context.
class CBitmap {
 public:
  // Makes a bitmap of width × height pixels; bitsPerPixel 1 gives a monochrome bitmap, anything
  // else a colour one. The pixels start black. False when a size is not positive or the memory
  // cannot be had; the bitmap then stays as it was.
  bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel);
  // Makes a bitmap in the format of dc: monochrome for a memory device context (which starts
  // with no colour bitmap of its own), colour for any other. False as for CreateBitmap.
  bool CreateCompatibleBitmap(const CDC* dc, int width, int height);

  bool IsNull() const { return m_image.isNull(); }
  bool IsMonochrome() const { return m_image.format() == QImage::Format_Mono; }
  CSize GetSize() const { return CSize(m_image.width(), m_image.height()); }
  const QImage& Image() const { return m_image; }
  QImage& Image() { return m_image; }

 private:
  QImage m_image;
};
