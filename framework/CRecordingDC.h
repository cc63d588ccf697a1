// A device context that draws nothing and logs every primitive with its arguments in logical
// coordinates, together with the pen, brush, font, colours, alignment, mapping and clip in force,
// so that tests can check drawn geometry exactly without looking at pixels.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "framework/CDC.h"

struct CRecordedCall {
  enum class Kind { Line, Rectangle, Fill, Text, Pattern, Pixel, Block, Dots };

  Kind kind = Kind::Line;
  CPoint from;         // Line: start; Text: reference point
  CPoint to;           // Line: end
  CRect rect;          // Rectangle, Fill, Pattern, Block, Dots: as given (x, y, x + w, y + h for
                       // blocks);
                       // Text: the ExtTextOut rectangle when one was given
  COLORREF color = 0;  // Fill, Pixel, Dots: the colour
  DWORD rop = 0;       // Pattern, Block: the operation
  UINT options = 0;    // Text: ETO_ flags
  QString text;        // Text: the string
  QImage block;        // Block: the copied pixels
  CSize step;          // Dots: the lattice's steps across and up

  // State in force when the primitive was drawn.
  CPen pen;
  CBrush brush;
  LOGFONT font;
  COLORREF textColor = 0;
  COLORREF bkColor = 0;
  int bkMode = 0;
  UINT textAlign = 0;
  int rop2 = 0;
  int mapMode = 0;
  bool clipped = false;
  CRect clipBox;  // logical, as GetClipBox returns it at the time of the call
};

class CRecordingDC : public CDC {
 public:
  // A device of widthPixels × heightPixels at dpi dots per inch across and down; printing marks
  // it as a printed page. The defaults are an A4 printable area of 200 × 287 mm at 254 dpi,
  // where one MM_LOMETRIC unit is one pixel.
  explicit CRecordingDC(int widthPixels = 2000, int heightPixels = 2870, int dpi = 254,
                        bool printing = true);

  const std::vector<CRecordedCall>& Calls() const { return m_calls; }
  // The calls of one kind, in drawing order.
  std::vector<CRecordedCall> Calls(CRecordedCall::Kind kind) const;
  // The text calls whose string is text.
  std::vector<CRecordedCall> TextCalls(const QString& text) const;
  void Clear() { m_calls.clear(); }

 protected:
  void DoLine(CPoint from, CPoint to) override;
  void DoRectangle(const CRect& rect) override;
  void DoFill(const CRect& rect, COLORREF color) override;
  void DoText(int x, int y, UINT options, const CRect* rect, const QString& text) override;
  void DoPattern(const CRect& rect, DWORD rop) override;
  COLORREF DoPixel(int x, int y, COLORREF color) override;
  void DoBlock(const CRect& rect, const QImage& source, DWORD rop) override;
  void DoDotLattice(const CRect& rect, CSize step, COLORREF color) override;

 private:
  CRecordedCall& Record(CRecordedCall::Kind kind);

  std::vector<CRecordedCall> m_calls;
};
