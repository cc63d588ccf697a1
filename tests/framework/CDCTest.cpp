// Drawing on an image through the device context: the pixels a metric mapping promises.
#include <QImage>
#include <QtTest>

#include <cmath>
#include <vector>

#include "framework/CPainterDC.h"

namespace {

constexpr int kDotsPerMetreAt254Dpi = 10000;  // one pixel per 0.1 mm

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMetreAt254Dpi);
  image.setDotsPerMeterY(kDotsPerMetreAt254Dpi);
  image.fill(Qt::white);
  return image;
}

bool IsBlack(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(0, 0, 0);
}

// The bounding box of the pixels that are not white.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        box = box.united(QRect(x, y, 1, 1));
      }
    }
  }
  return box;
}

// A stretch of trace: a slow wave with a tall spike up and a deep one down every 211 points and
// a flat stretch near the end; `pointsPerColumn` points share each pixel column, or, below 1, the
// points lie -pointsPerColumn pixels apart.
std::vector<CPoint> TracePoints(int count, int pointsPerColumn) {
  std::vector<CPoint> points;
  points.reserve(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    const int x = 10 + (pointsPerColumn > 0 ? k / pointsPerColumn : k * -pointsPerColumn);
    int y = 150 + static_cast<int>(std::lround(40 * std::sin(k / 37.0)));
    if (k % 211 == 100) {
      y -= 120;
    } else if (k % 211 == 103) {
      y += 90;
    } else if (k > count * 3 / 4 && k < count * 7 / 8) {
      y = 150;
    }
    points.emplace_back(x, y);
  }
  return points;
}

LOGFONT ArialOfHeight(int height) {
  LOGFONT logFont;
  logFont.lfHeight = height;
  logFont.lfFaceName = QStringLiteral("Arial");
  return logFont;
}

}  // namespace

class CDCTest : public QObject {
  Q_OBJECT

 private slots:
  void LometricLineAt254DpiRunsOnePixelPerUnitRightAndDown() {
    QImage image = WhiteImage(200, 200);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      dc.MoveTo(0, 0);
      dc.LineTo(100, -100);
    }
    QVERIFY(IsBlack(image, 0, 0));
    QVERIFY(IsBlack(image, 50, 50));
    QVERIFY(IsBlack(image, 99, 99));
    QVERIFY(!IsBlack(image, 100, 100));  // the end point belongs to the next segment
    QCOMPARE(InkBox(image), QRect(0, 0, 100, 100));
  }

  void ViewportOriginShiftsTheDrawingByTheScrollPosition() {
    QImage image = WhiteImage(200, 200);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      dc.SetViewportOrg(-30, -40);  // scrolled 30 pixels right and 40 down
      dc.FillSolidRect(CRect(50, -60, 60, -70), RGB(0, 0, 0));
    }
    QCOMPARE(InkBox(image), QRect(20, 20, 10, 10));
  }

  void WidePenIsScaledFromLogicalUnits() {
    QImage image = WhiteImage(120, 120);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      dc.SelectObject(CPen(PS_SOLID, 4, RGB(0, 0, 0)));  // 0.4 mm: four pixels at 254 dpi
      dc.MoveTo(10, -60);
      dc.LineTo(110, -60);
    }
    int thickness = 0;
    for (int y = 0; y < image.height(); ++y) {
      thickness += IsBlack(image, 60, y) ? 1 : 0;
    }
    QCOMPARE(thickness, 4);
  }

  void RectangleOutlinesInsideItsRightAndBottomEdges() {
    QImage image = WhiteImage(40, 40);
    {
      CImageDC dc(&image);
      dc.SelectObject(CBrush::Stock(NULL_BRUSH));
      dc.Rectangle(10, 10, 20, 20);
    }
    QCOMPARE(InkBox(image), QRect(10, 10, 10, 10));
    QVERIFY(IsBlack(image, 19, 19));
    QVERIFY(!IsBlack(image, 15, 15));  // hollow brush
  }

  void RightAlignedBaselineTextEndsAtItsReferencePointUpright() {
    QImage image = WhiteImage(300, 200);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      CFont font;
      const LOGFONT logFont = ArialOfHeight(40);  // 4 mm cell
      font.CreateFontIndirect(&logFont);
      dc.SelectObject(font);
      dc.SetBkMode(TRANSPARENT);
      dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
      dc.TextOut(200, -100, QStringLiteral("HHH"));
    }
    const QRect ink = InkBox(image);
    // H has no overhang to speak of: its last stem ends just before the reference point.
    QVERIFY2(ink.right() <= 200 && ink.right() >= 196, qPrintable(QString::number(ink.right())));
    // Sitting on the baseline, upright: the cap height of Arial is 0.716 em, and a 40-unit
    // cell is 35.8 units of em, so the letters rise about 26 pixels above y = 100.
    QVERIFY2(ink.bottom() == 99, qPrintable(QString::number(ink.bottom())));
    QVERIFY2(qAbs(ink.top() - (100 - 26)) <= 2, qPrintable(QString::number(ink.top())));
  }

  void ExtTextOutBlanksItsRectangleAndClipsTheTextToIt() {
    QImage image = WhiteImage(120, 120);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      CFont font;
      const LOGFONT logFont = ArialOfHeight(30);
      font.CreateFontIndirect(&logFont);
      dc.SelectObject(font);
      dc.SetBkColor(RGB(255, 0, 0));
      const CRect box(10, -10, 60, -60);
      dc.ExtTextOut(10, -10, ETO_OPAQUE | ETO_CLIPPED, &box, QStringLiteral("WWWWWWWWWW"));
    }
    QCOMPARE(InkBox(image), QRect(10, 10, 50, 50));
    QCOMPARE(image.pixel(55, 55), qRgb(255, 0, 0));  // blanked below the line of text
    bool textDrawn = false;
    for (int x = 10; x < 60; ++x) {
      textDrawn = textDrawn || IsBlack(image, x, 20);
    }
    QVERIFY(textDrawn);
  }

  void ClipRectangleHoldsUntilTheStateIsRestored() {
    QImage image = WhiteImage(100, 100);
    {
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      const int level = dc.SaveDC();
      QCOMPARE(dc.IntersectClipRect(0, 0, 50, -50), SIMPLEREGION);
      dc.FillSolidRect(CRect(0, 0, 100, -100), RGB(0, 0, 0));
      QCOMPARE(InkBox(image), QRect(0, 0, 50, 50));
      QVERIFY(dc.RestoreDC(level));
      dc.FillSolidRect(CRect(0, -90, 100, -100), RGB(0, 0, 0));
    }
    QCOMPARE(InkBox(image), QRect(0, 0, 100, 100));
  }

  void MonochromeBitmapIsCopiedUpsideDownOntoAMetricPage() {
    QImage image = WhiteImage(100, 100);
    {
      CImageDC dc(&image, true);
      dc.SetMapMode(MM_LOMETRIC);
      CDC memory;
      QVERIFY(memory.CreateCompatibleDC(&dc));
      CBitmap bitmap;
      QVERIFY(bitmap.CreateCompatibleBitmap(&memory, 20, 10));
      QVERIFY(bitmap.IsMonochrome());
      memory.SelectObject(&bitmap);
      QVERIFY(memory.PatBlt(0, 0, 20, 10, WHITENESS));
      QCOMPARE(memory.SetPixel(0, 0, RGB(0, 0, 0)), RGB(0, 0, 0));
      QCOMPARE(memory.SetPixel(19, 0, RGB(20, 20, 20)), RGB(0, 0, 0));  // dark turns black
      QCOMPARE(memory.GetPixel(1, 0), RGB(255, 255, 255));
      QVERIFY(dc.BitBlt(30, -50, 20, 10, &memory, 0, 0, SRCCOPY));
    }
    // The block covers logical x 30..50 and y −50..−40, that is pixel rows 40 to 49; its
    // row 0 lies at y −50, the bottom row of the block on the page.
    QCOMPARE(InkBox(image), QRect(30, 49, 20, 1));
    QVERIFY(IsBlack(image, 30, 49));
    QVERIFY(IsBlack(image, 49, 49));
  }

  void APolylineInksItsLinesAndEveryPointSoNoSpikeLosesItsTip_data() {
    QTest::addColumn<int>("pointsPerColumn");
    QTest::addColumn<int>("count");
    QTest::newRow("a dozen points to a pixel column") << 12 << 2400;
    QTest::newRow("points three pixels apart") << -3 << 200;
  }
  void APolylineInksItsLinesAndEveryPointSoNoSpikeLosesItsTip() {
    QFETCH(int, pointsPerColumn);
    QFETCH(int, count);
    const std::vector<CPoint> points = TracePoints(count, pointsPerColumn);
    const int width = points.back().x + 10;
    constexpr COLORREF kInk = RGB(0, 0, 128);
    QImage expected = WhiteImage(width, 300);
    {
      CImageDC dc(&expected);
      dc.SelectObject(CPen(PS_SOLID, 0, kInk));
      dc.MoveTo(points[0]);
      for (const CPoint& point : points) {
        dc.LineTo(point);
      }
      for (const CPoint& point : points) {
        dc.SetPixel(point.x, point.y, kInk);
      }
    }
    QImage drawn = WhiteImage(width, 300);
    {
      CImageDC dc(&drawn);
      dc.SelectObject(CPen(PS_SOLID, 0, kInk));
      QVERIFY(dc.Polyline(points.data(), static_cast<int>(points.size())));
    }
    QCOMPARE(drawn, expected);
    // The highest and lowest point of every column are inked, spikes included.
    for (size_t first = 0; first < points.size();) {
      size_t end = first;
      int highest = points[first].y;
      int lowest = highest;
      for (; end < points.size() && points[end].x == points[first].x; ++end) {
        highest = std::min(highest, points[end].y);
        lowest = std::max(lowest, points[end].y);
      }
      QVERIFY(drawn.pixel(points[first].x, highest) != qRgb(255, 255, 255));
      QVERIFY(drawn.pixel(points[first].x, lowest) != qRgb(255, 255, 255));
      first = end;
    }
    // However many points share a column, the painter gets at most two lines for it.
    std::vector<QPoint> devicePoints;
    devicePoints.reserve(points.size());
    for (const CPoint& point : points) {
      devicePoints.emplace_back(point.x, point.y);
    }
    std::vector<QLine> lines;
    SplitThinPolyline(devicePoints.data(), count, &lines);
    const int columns = points.back().x - points.front().x + 1;
    QVERIFY(static_cast<int>(lines.size()) <= 2 * columns);
  }

  void DeviceCapsDescribeTheImage() {
    QImage image = WhiteImage(2000, 2870);
    CImageDC dc(&image, true);
    QCOMPARE(dc.GetDeviceCaps(HORZSIZE), 200);
    QCOMPARE(dc.GetDeviceCaps(VERTSIZE), 287);
    QCOMPARE(dc.GetDeviceCaps(HORZRES), 2000);
    QCOMPARE(dc.GetDeviceCaps(LOGPIXELSY), 254);
    QVERIFY(dc.IsPrinting());
  }
};

QTEST_MAIN(CDCTest)
#include "CDCTest.moc"
