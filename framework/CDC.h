// The device context the views draw on: a mapping from logical to device coordinates, the
// selected pen, brush and font, text colours and alignment, clipping and saved states, and the
// drawing operations. This base class keeps all of that state; subclasses put the primitives on
// a surface (CPainterDC) or log them (CRecordingDC). A plain CDC becomes a memory device context
// through CreateCompatibleDC and then draws pixels into the bitmap selected into it.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "framework/GdiObjects.h"
#include "framework/GdiTypes.h"

// Region kinds returned by the clipping operations.
constexpr int kRegionError = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

// Returned by GetPixel outside the bitmap.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Metrics of the selected font, in logical units.
struct TEXTMETRIC {
  int tmHeight = 0;  // ascent + descent
  int tmAscent = 0;
  int tmDescent = 0;
  int tmAveCharWidth = 0;
};

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // --- Memory device context -------------------------------------------------------------
  // Makes this context a memory device context with the resolution of dc (96 dpi when dc is
  // null). It starts with no bitmap: select one with SelectObject(CBitmap*). Drawing on it
  // supports PatBlt, SetPixel, GetPixel, FillRect and FillSolidRect; other primitives draw
  // nothing. Returns false when this context is already attached to a surface.
  bool CreateCompatibleDC(const CDC* dc);
  bool IsMemoryDC() const { return m_bMemory; }
  // Selects a bitmap into a memory context and returns the one selected before (null at first).
  // The context draws into the bitmap object itself, which must outlive its selection.
  CBitmap* SelectObject(CBitmap* bitmap);
  const CBitmap* GetSelectedBitmap() const { return m_pBitmap; }

  // True for a printer, a PDF file and a print preview.
  bool IsPrinting() const { return m_device.printing; }

  // --- Mapping ---------------------------------------------------------------------------
  // MM_TEXT: one unit per device pixel, y down. MM_LOMETRIC: 0.1 mm per unit at the device's
  // logical resolution, y up. The window origin is the logical point that lands on the viewport
  // origin, which is in device pixels. Returns the previous mode; an unknown mode is refused
  // and 0 returned.
  int SetMapMode(int mapMode);
  int GetMapMode() const { return m_state.mapMode; }
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(CPoint point) { return SetWindowOrg(point.x, point.y); }
  CPoint GetWindowOrg() const { return m_state.windowOrg; }
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(CPoint point) { return SetViewportOrg(point.x, point.y); }
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const { return m_state.viewportOrg; }
  // Logical to device and back; each coordinate is rounded to the nearest integer.
  void LPtoDP(CPoint* points, int count = 1) const;
  void LPtoDP(CRect* rect) const;
  void LPtoDP(CSize* size) const;  // magnitudes: a size stays positive
  void DPtoLP(CPoint* points, int count = 1) const;
  void DPtoLP(CRect* rect) const;
  void DPtoLP(CSize* size) const;

  // --- Selected objects and attributes ---------------------------------------------------
  // Each selection returns the object selected before, to be selected again when done.
  CPen SelectObject(const CPen& pen);
  CBrush SelectObject(const CBrush& brush);
  CFont SelectObject(const CFont& font);
  const CPen& GetCurrentPen() const { return m_state.pen; }
  const CBrush& GetCurrentBrush() const { return m_state.brush; }
  const CFont& GetCurrentFont() const { return m_state.font; }
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const { return m_state.textColor; }
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const { return m_state.bkColor; }
  int SetBkMode(int mode);  // OPAQUE (the default) or TRANSPARENT
  int GetBkMode() const { return m_state.bkMode; }
  UINT SetTextAlign(UINT align);  // TA_LEFT | TA_TOP by default
  UINT GetTextAlign() const { return m_state.textAlign; }
  int SetROP2(int rop);  // R2_COPYPEN by default
  int GetROP2() const { return m_state.rop2; }

  // --- Saved states and clipping ---------------------------------------------------------
  // Saves mapping, origins, objects, colours, alignment, raster operation, current position
  // and clipping; returns the new save level (1 for the first save).
  int SaveDC();
  // Restores the state saved at level savedDC, or the last saved one for −1 (−n: n levels
  // back), dropping the saves above it. False, and no change, for a level that does not exist.
  bool RestoreDC(int savedDC);
  // Narrows the clipping area to the rectangle (any corner order). The clip is kept in device
  // pixels: a later change of mapping does not move it. Returns SIMPLEREGION or NULLREGION.
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(const CRect& rect) {
    return IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom);
  }
  // Removes all clipping.
  void SelectClipRgn(std::nullptr_t);
  // The clipping area (the whole device when nothing is clipped) in logical coordinates.
  int GetClipBox(CRect* rect) const;
  bool HasClip() const { return m_state.hasClip; }

  // --- Drawing ---------------------------------------------------------------------------
  // Moves the current position; returns the previous one.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(CPoint point) { return MoveTo(point.x, point.y); }
  CPoint GetCurrentPosition() const { return m_state.currentPos; }
  // Draws with the pen from the current position to (x, y), which becomes the current position.
  // The end point itself is not drawn, so joined segments draw each pixel once.
  bool LineTo(int x, int y);
  bool LineTo(CPoint point) { return LineTo(point.x, point.y); }
  // Draws with the pen from points[0] through each further point in one call: the lines MoveTo
  // and LineTo through them would draw and, with a one-pixel pen on an image or a screen of one
  // pixel per pixel, the pixel of every point too (LineTo leaves out each line's end), so a spike
  // keeps its tip however many points share a pixel. Neither uses nor moves the current position.
  // Fewer than two points draw nothing.
  bool Polyline(const CPoint* points, int count);
  // Draws `polylines` polylines as Polyline does, in one call; the i-th is made of the next
  // counts[i] points. A polyline of fewer than two points draws nothing but takes its points.
  bool PolyPolyline(const CPoint* points, const DWORD* counts, int polylines);
  // Outlines with the pen and fills with the brush; the right and bottom device edges are
  // outside the shape.
  bool Rectangle(int left, int top, int right, int bottom);
  bool Rectangle(const CRect& rect) {
    return Rectangle(rect.left, rect.top, rect.right, rect.bottom);
  }
  // Fills with a brush / a colour, without pen and without changing the selected objects or the
  // background colour.
  void FillRect(const CRect& rect, const CBrush& brush);
  void FillSolidRect(const CRect& rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), color);
  }
  // Writes text at the reference point (x, y) according to the text alignment, in the text
  // colour and the selected font, always upright. In OPAQUE mode the text cell is first filled
  // with the background colour.
  bool TextOut(int x, int y, const QString& text);
  // As TextOut; with ETO_OPAQUE the rectangle is filled with the background colour first, with
  // ETO_CLIPPED the text is clipped to the rectangle. rect may be null when no option is given.
  bool ExtTextOut(int x, int y, UINT options, const CRect* rect, const QString& text);
  // Width and height (ascent + descent) of the text in the selected font, logical units.
  CSize GetTextExtent(const QString& text) const;
  bool GetTextMetrics(TEXTMETRIC* metrics) const;
  // Fills the rectangle at (x, y) of width × height with WHITENESS, BLACKNESS or PATCOPY (the
  // brush). False for another operation.
  bool PatBlt(int x, int y, int width, int height, DWORD rop);
  // Sets one pixel (one device pixel at the point); returns the colour actually set, which for a
  // monochrome bitmap is black or white.
  COLORREF SetPixel(int x, int y, COLORREF color);
  // Only a memory context can read its pixels; CLR_INVALID elsewhere and outside the bitmap.
  COLORREF GetPixel(int x, int y) const;
  // Dots of a lattice over rect: one at each (rect.left + i·xStep, rect.bottom + j·yStep) with
  // 0 ≤ i·xStep < rect's width and 0 ≤ j·yStep < its height (rect.top > rect.bottom), covering
  // the logical unit square from there. Each dot is drawn at the device's own resolution as a
  // square of at least one device pixel, so no dot is lost on a coarse device; on a PDF each row
  // of dots is one dashed stroke, so the page stays small. Steps below 1 draw nothing.
  void FillDotLattice(const CRect& rect, int xStep, int yStep, COLORREF color);
  // Copies width × height pixels of source's bitmap from (xSrc, ySrc) so that source pixel
  // (xSrc + i, ySrc + j) covers the logical unit square at (x + i, y + j), scaled to the device
  // resolution. In a mapping with y upward the block therefore appears upside down, as with any
  // block transfer. A monochrome bitmap shows its 0 bits black and its 1 bits white. Only
  // SRCCOPY from a memory context with a bitmap is supported; false otherwise.
  bool BitBlt(int x, int y, int width, int height, const CDC* source, int xSrc, int ySrc,
              DWORD rop);

  // HORZSIZE, VERTSIZE (mm), HORZRES, VERTRES (pixels), LOGPIXELSX, LOGPIXELSY; 0 for others.
  int GetDeviceCaps(int index) const;

  // The Qt font for a description at this context's current mapping, sized in device pixels.
  QFont DeviceFont(const LOGFONT& logFont) const;

 protected:
  // What a subclass's surface is: resolution, size and whether it is a printed page.
  struct DeviceInfo {
    int dpiX = 96;
    int dpiY = 96;
    int widthPixels = 0;
    int heightPixels = 0;
    int widthMM = 0;
    int heightMM = 0;
    bool printing = false;
  };
  void SetDeviceInfo(const DeviceInfo& device) { m_device = device; }
  const DeviceInfo& Device() const { return m_device; }

  // The clip in device pixels (right and bottom exclusive); meaningful when HasClip().
  const CRect& DeviceClip() const { return m_state.clipDevice; }

  // The primitives, in logical coordinates, called with the state already current. The base
  // implementations draw into the bitmap of a memory context and do nothing otherwise.
  virtual void DoLine(CPoint from, CPoint to);
  // Polylines of at least two points each; by default one DoLine per segment, so a subclass
  // that logs or draws lines one by one sees exactly what MoveTo and LineTo would give it.
  virtual void DoPolyPolyline(const CPoint* points, const DWORD* counts, int polylines);
  virtual void DoRectangle(const CRect& rect);
  virtual void DoFill(const CRect& rect, COLORREF color);
  virtual void DoText(int x, int y, UINT options, const CRect* rect, const QString& text);
  virtual void DoPattern(const CRect& rect, DWORD rop);
  virtual COLORREF DoPixel(int x, int y, COLORREF color);
  virtual void DoBlock(const CRect& rect, const QImage& source, DWORD rop);
  virtual void DoDotLattice(const CRect& rect, CSize step, COLORREF color);
  // The device rectangle of each dot of FillDotLattice, row by row from rect's bottom: a block of
  // DotDeviceSize() pixels centred as near as can be on the centre of the dot's unit square, so it
  // always covers the pixel that holds that centre.
  std::vector<CRect> DotDeviceRects(const CRect& rect, CSize step) const;
  // The side of a dot in device pixels: the device's pixels per unit, rounded, at least 1.
  CSize DotDeviceSize() const;

  // Device-pixel scale of one logical unit across and down (signed: negative down for y up).
  double ScaleX() const;
  double ScaleY() const;

 private:
  struct State {
    int mapMode = MM_TEXT;
    CPoint windowOrg;
    CPoint viewportOrg;
    CPen pen;
    CBrush brush;
    CFont font;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int rop2 = R2_COPYPEN;
    CPoint currentPos;
    bool hasClip = false;
    CRect clipDevice;
  };

  // The device rectangle (normalised, right and bottom exclusive) of a logical rectangle.
  CRect DeviceRect(const CRect& logical) const;
  // The pixels of the selected bitmap that a device rectangle covers, within the clip if any.
  CRect BitmapArea(const CRect& deviceRect) const;
  void FillBitmap(const CRect& deviceRect, bool white);

  DeviceInfo m_device;
  State m_state;
  std::vector<State> m_saved;
  bool m_bMemory = false;
  CBitmap* m_pBitmap = nullptr;
};
