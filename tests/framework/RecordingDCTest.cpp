// The device context's state and mapping, checked through the recording context.
#include <QtTest>

#include "framework/CRecordingDC.h"

class RecordingDCTest : public QObject {
  Q_OBJECT

 private slots:
  void LinesAreLoggedInLogicalCoordinatesWithThePenInForce() {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    const CPen trace(PS_SOLID, 2, RGB(0, 0, 128));
    const CPen previous = dc.SelectObject(trace);
    dc.MoveTo(80, -200);
    dc.LineTo(81, -150);
    dc.LineTo(82, -210);
    dc.SelectObject(previous);
    dc.LineTo(90, -210);

    const auto lines = dc.Calls(CRecordedCall::Kind::kLine);
    QCOMPARE(lines.size(), size_t{3});
    QCOMPARE(lines[0].from, CPoint(80, -200));
    QCOMPARE(lines[0].to, CPoint(81, -150));
    QCOMPARE(lines[1].from, CPoint(81, -150));
    QCOMPARE(lines[1].pen, trace);
    QCOMPARE(lines[1].mapMode, MM_LOMETRIC);
    QCOMPARE(lines[2].pen, CPen());
  }

  void MetricMappingFollowsTheDeviceResolutionAndViewportOrigin() {
    CRecordingDC dc(800, 600, 96, false);
    dc.SetMapMode(MM_LOMETRIC);
    CPoint inch(254, -254);
    dc.LPtoDP(&inch);
    QCOMPARE(inch, CPoint(96, 96));

    dc.SetViewportOrg(-30, -40);  // scroll position (30, 40)
    CPoint point(254, -254);
    dc.LPtoDP(&point);
    QCOMPARE(point, CPoint(66, 56));
    dc.DPtoLP(&point);
    QCOMPARE(point, CPoint(254, -254));

    CSize size(254, 508);
    dc.LPtoDP(&size);
    QCOMPARE(size, CSize(96, 192));
  }

  void UnknownMapModeIsRefused() {
    CRecordingDC dc;
    QCOMPARE(dc.SetMapMode(MM_LOMETRIC), MM_TEXT);
    QCOMPARE(dc.SetMapMode(99), 0);
    QCOMPARE(dc.GetMapMode(), MM_LOMETRIC);
  }

  void RestoreDCBringsBackEverySavedAttribute() {
    CRecordingDC dc;
    const int outer = dc.SaveDC();
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    dc.SetTextColor(RGB(64, 64, 64));
    dc.SetROP2(R2_XORPEN);
    dc.SelectObject(CBrush::Stock(NULL_BRUSH));
    dc.IntersectClipRect(0, 0, 100, -100);
    const int inner = dc.SaveDC();
    QCOMPARE(inner, outer + 1);
    dc.SetBkMode(TRANSPARENT);

    QVERIFY(dc.RestoreDC(-1));
    QCOMPARE(dc.GetBkMode(), OPAQUE);
    QCOMPARE(dc.GetTextAlign(), TA_RIGHT | TA_BASELINE);

    QVERIFY(dc.RestoreDC(outer));
    QCOMPARE(dc.GetMapMode(), MM_TEXT);
    QCOMPARE(dc.GetTextAlign(), TA_LEFT | TA_TOP);
    QCOMPARE(dc.GetTextColor(), RGB(0, 0, 0));
    QCOMPARE(dc.GetROP2(), R2_COPYPEN);
    QCOMPARE(dc.GetCurrentBrush(), CBrush());
    QVERIFY(!dc.HasClip());
    QVERIFY(!dc.RestoreDC(-1));  // nothing saved any more
    QVERIFY(!dc.RestoreDC(0));
  }

  void ClipStaysOnTheDeviceWhenTheMappingChanges() {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    dc.IntersectClipRect(CRect(10, -20, 110, -220));
    dc.IntersectClipRect(CRect(0, 0, 60, -300));
    CRect box;
    QCOMPARE(dc.GetClipBox(&box), SIMPLEREGION);
    QCOMPARE(box, CRect(10, -20, 60, -220));
    dc.SetMapMode(MM_TEXT);  // one pixel per unit at 254 dpi: the same numbers, y down
    dc.GetClipBox(&box);
    QCOMPARE(box, CRect(10, 20, 60, 220));
    QCOMPARE(dc.IntersectClipRect(200, 0, 300, 10), NULLREGION);
  }

  void TextIsLoggedWithFontAlignmentColoursAndClip() {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    LOGFONT logFont;
    logFont.lfHeight = 30;
    logFont.lfFaceName = QStringLiteral("Arial");
    CFont font;
    QVERIFY(font.CreateFontIndirect(&logFont));
    dc.SelectObject(font);
    dc.SetTextColor(RGB(64, 64, 64));
    dc.SetBkColor(RGB(192, 192, 192));
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    const CRect box(88, -2, 995, -252);
    dc.ExtTextOut(88, -2, ETO_OPAQUE | ETO_CLIPPED, &box, QStringLiteral("Name: ROSSI MARIO"));
    dc.ExtTextOut(88, -32, ETO_OPAQUE, nullptr, QStringLiteral("no rectangle"));

    const auto texts = dc.Calls(CRecordedCall::Kind::kText);
    QCOMPARE(texts.size(), size_t{2});
    QCOMPARE(texts[0].from, CPoint(88, -2));
    QCOMPARE(texts[0].rect, box);
    QCOMPARE(texts[0].options, ETO_OPAQUE | ETO_CLIPPED);
    QCOMPARE(texts[0].font, logFont);
    QCOMPARE(texts[0].textAlign, UINT{26});
    QCOMPARE(texts[0].textColor, RGB(64, 64, 64));
    QCOMPARE(texts[0].bkColor, RGB(192, 192, 192));
    QCOMPARE(texts[1].options, UINT{0});  // options without a rectangle are dropped
    QCOMPARE(dc.TextCalls(QStringLiteral("no rectangle")).size(), size_t{1});
  }

  void FontHeightIsTheTextCellInLogicalUnits() {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    LOGFONT logFont;
    logFont.lfFaceName = QStringLiteral("Arial");
    logFont.lfHeight = 40;
    CFont cellFont;
    cellFont.CreateFontIndirect(&logFont);
    dc.SelectObject(cellFont);
    const CSize cell = dc.GetTextExtent(QStringLiteral("II"));
    QVERIFY2(qAbs(cell.cy - 40) <= 1, qPrintable(QString::number(cell.cy)));
    QVERIFY(cell.cx > 0);
    TEXTMETRIC metrics;
    QVERIFY(dc.GetTextMetrics(&metrics));
    QVERIFY(metrics.tmAscent > metrics.tmDescent);

    logFont.lfHeight = -40;  // a character height: the cell is taller
    CFont emFont;
    emFont.CreateFontIndirect(&logFont);
    dc.SelectObject(emFont);
    QVERIFY(dc.GetTextExtent(QStringLiteral("II")).cy > 42);
  }

  void BitmapBlockIsLoggedWithItsPixels() {
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap colour;
    QVERIFY(colour.CreateCompatibleBitmap(&dc, 4, 4));
    QVERIFY(!colour.IsMonochrome());
    CBitmap bitmap;
    QVERIFY(bitmap.CreateCompatibleBitmap(&memory, 30, 20));
    memory.SelectObject(&bitmap);
    memory.PatBlt(0, 0, 30, 20, WHITENESS);
    memory.SetPixel(10, 5, RGB(0, 0, 0));
    QVERIFY(dc.BitBlt(78, -253, 30, 20, &memory, 0, 0, SRCCOPY));
    QVERIFY(!dc.BitBlt(78, -253, 30, 20, &memory, 0, 0, BLACKNESS));

    const auto blocks = dc.Calls(CRecordedCall::Kind::kBlock);
    QCOMPARE(blocks.size(), size_t{1});
    QCOMPARE(blocks[0].rect, CRect(78, -253, 108, -233));
    QCOMPARE(blocks[0].block.size(), QSize(30, 20));
    QCOMPARE(blocks[0].block.pixel(10, 5), qRgb(0, 0, 0));
    QCOMPARE(blocks[0].block.pixel(11, 5), qRgb(255, 255, 255));
  }

  void BitmapCreationRefusesEmptySizes() {
    CBitmap bitmap;
    QVERIFY(!bitmap.CreateBitmap(0, 10, 1, 1));
    QVERIFY(!bitmap.CreateBitmap(10, -1, 1, 1));
    QVERIFY(bitmap.IsNull());
  }

  void DefaultDeviceIsAnA4PrintableAreaAtOnePixelPerUnit() {
    CRecordingDC dc;
    QCOMPARE(dc.GetDeviceCaps(HORZSIZE), 200);
    QCOMPARE(dc.GetDeviceCaps(VERTSIZE), 287);
    QVERIFY(dc.IsPrinting());
    dc.SetMapMode(MM_LOMETRIC);
    CRect whole;
    dc.GetClipBox(&whole);
    QCOMPARE(whole, CRect(0, 0, 2000, -2870));
  }
};

QTEST_MAIN(RecordingDCTest)
#include "RecordingDCTest.moc"
