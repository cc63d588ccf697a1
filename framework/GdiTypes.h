// Plain geometry and colour values of the drawing layer: points, sizes, rectangles, colours and
// the numeric constants that name mapping modes, text alignment, raster operations and styles.
#pragma once

#include <cstdint>

using COLORREF = std::uint32_t;  // 0x00BBGGRR
using DWORD = std::uint32_t;
using UINT = unsigned int;

// Packs red, green and blue (0..255 each) into a COLORREF.
constexpr COLORREF RGB(int red, int green, int blue) {
  return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF color) {
  return static_cast<int>(color & 0xFF);
}
constexpr int GetGValue(COLORREF color) {
  return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF color) {
  return static_cast<int>((color >> 16) & 0xFF);
}

struct CPoint {
  int x = 0;
  int y = 0;
  constexpr CPoint() = default;
  constexpr CPoint(int px, int py) : x(px), y(py) {}
  constexpr bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
  constexpr bool operator!=(const CPoint& other) const { return !(*this == other); }
};

struct CSize {
  int cx = 0;
  int cy = 0;
  constexpr CSize() = default;
  constexpr CSize(int width, int height) : cx(width), cy(height) {}
  constexpr bool operator==(const CSize& other) const { return cx == other.cx && cy == other.cy; }
  constexpr bool operator!=(const CSize& other) const { return !(*this == other); }
};

// A rectangle by its edges. In MM_LOMETRIC top is above bottom, so top > bottom; nothing here
// assumes either order. Width() and Height() are right − left and bottom − top, signed.
struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr CPoint TopLeft() const { return CPoint(left, top); }
  constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
  // Swaps edges so that left <= right and top <= bottom.
  void NormalizeRect() {
    if (left > right) {
      const int swap = left;
      left = right;
      right = swap;
    }
    if (top > bottom) {
      const int swap = top;
      top = bottom;
      bottom = swap;
    }
  }
  constexpr bool operator==(const CRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
  constexpr bool operator!=(const CRect& other) const { return !(*this == other); }
};

// Mapping modes.
constexpr int MM_TEXT = 1;      // one logical unit is one device pixel, y grows downward
constexpr int MM_LOMETRIC = 2;  // one logical unit is 0.1 mm, y grows upward

// Text alignment (SetTextAlign); one horizontal and one vertical value may be combined.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT kTextAlignHorizontalMask = 6;
constexpr UINT kTextAlignVerticalMask = 24;

// Background modes (SetBkMode).
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// ExtTextOut options.
constexpr UINT ETO_OPAQUE = 2;
constexpr UINT ETO_CLIPPED = 4;

// Binary raster operations (SetROP2): how the pen combines with what is already drawn.
constexpr int R2_BLACK = 1;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_COPYPEN = 13;
constexpr int R2_WHITE = 16;

// Block transfer operations (PatBlt, BitBlt).
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Device capabilities (GetDeviceCaps).
constexpr int HORZSIZE = 4;     // width of the drawing area, millimetres
constexpr int VERTSIZE = 6;     // height of the drawing area, millimetres
constexpr int HORZRES = 8;      // width of the drawing area, pixels
constexpr int VERTRES = 10;     // height of the drawing area, pixels
constexpr int LOGPIXELSX = 88;  // pixels per inch across
constexpr int LOGPIXELSY = 90;  // pixels per inch down

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;

// Brush styles.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// Font description values.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr unsigned char DEFAULT_CHARSET = 1;
constexpr unsigned char OUT_TT_PRECIS = 4;
constexpr unsigned char CLIP_DEFAULT_PRECIS = 0;
constexpr unsigned char PROOF_QUALITY = 2;
constexpr unsigned char DEFAULT_PITCH = 0;
