// Device contexts that draw with a QPainter: on a widget during a paint, on a printer, a PDF file
// or a print preview, and on an image. Logical coordinates are turned into whole device pixels
// here, so what is drawn matches the pixel geometry a metric mapping promises.
#pragma once

#include <QLine>
#include <QPainter>
#include <QRect>
#include <memory>
#include <vector>

#include "framework/CDC.h"

class QImage;

// The lines that draw a polyline through device points with a one-pixel pen on an image, fewer
// when many points share a pixel column: the points within one column become one line down the
// column from the highest of them through the lowest, and each step to the next column stays a
// line. Every point's own pixel is inked, which a one-pixel line leaves out at its end, so no
// spike loses its tip; otherwise the lines ink exactly the pixels the segments drawn one by one
// ink. The lines are appended to `lines`.
void SplitThinPolyline(const QPoint* points, int count, std::vector<QLine>* lines);

class CPainterDC : public CDC {
 public:
  // Draws with painter, which must be active for as long as this context lives. The resolution
  // and size come from the painter's device; printing marks a printer, PDF or preview page. The
  // painter's state is saved now and restored when this context ends.
  CPainterDC(QPainter* painter, bool printing);
  ~CPainterDC() override;

  QPainter* Painter() const { return m_painter; }

 protected:
  // Takes ownership of a painter made for this context (see CImageDC).
  CPainterDC(std::unique_ptr<QPainter> ownedPainter, bool printing);

  void DoLine(CPoint from, CPoint to) override;
  // One pass of the painter for all the polylines; on an image a one-pixel pen draws them as
  // SplitThinPolyline's lines, with the pixel of every point inked.
  void DoPolyPolyline(const CPoint* points, const DWORD* counts, int polylines) override;
  void DoRectangle(const CRect& rect) override;
  void DoFill(const CRect& rect, COLORREF color) override;
  void DoText(int x, int y, UINT options, const CRect* rect, const QString& text) override;
  void DoPattern(const CRect& rect, DWORD rop) override;
  COLORREF DoPixel(int x, int y, COLORREF color) override;
  void DoBlock(const CRect& rect, const QImage& source, DWORD rop) override;
  // On a PDF, one dashed stroke per row of dots; elsewhere one filled square of pixels per dot.
  void DoDotLattice(const CRect& rect, CSize step, COLORREF color) override;

 private:
  void Attach(bool printing);
  // Brings the painter's clip and composition up to date with this context's state.
  void ApplyClip();
  void ApplyRop(bool usesRop2);
  void StrokeDotRows(const CRect& rect, CSize step, COLORREF color);
  QPen DevicePen() const;
  // True when the pen draws one device pixel wide, solid and opaque, on an image (or a window's
  // backing image) of one pixel per pixel, with no transformation of the painter's own. A screen
  // of two pixels per pixel draws lines and rectangles at different widths, so it gets lines.
  bool DrawsThinLinesOnRaster() const;
  // Draws polylines (at least one point each) in the current pen in one pass of the painter.
  void DrawPolylines(const CPoint* points, const DWORD* counts, int polylines);
  // The device rectangle as a QRect: normalised, right and bottom exclusive.
  QRect DeviceQRect(const CRect& logical) const;

  std::unique_ptr<QPainter> m_ownedPainter;
  QPainter* m_painter = nullptr;
  bool m_bClipApplied = false;
  CRect m_appliedClip;
  // Kept between calls so that a repaint allocates them once.
  std::vector<CPoint> m_devicePoints;
  std::vector<QPoint> m_qtPoints;
  std::vector<QLine> m_lines;
  std::vector<QRect> m_fills;
};

// A device context on an image: its resolution is the image's dots per metre, so an image with
// 10000 dots per metre (254 dpi) has one pixel per 0.1 mm in MM_LOMETRIC. printing selects the
// printed-page drawing of the views.
class CImageDC : public CPainterDC {
 public:
  explicit CImageDC(QImage* image, bool printing = false);
};
