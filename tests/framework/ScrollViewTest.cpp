// Scroll views: total size in a mapping mode, default steps, and the scroll position on screen.
#include <QScrollBar>
#include <QtTest>

#include "framework/CRecordingDC.h"
#include "framework/CScrollView.h"

namespace {

class PaperView : public CScrollView {
 public:
  void OnDraw(CDC* /*dc*/) override {}
};

}  // namespace

class ScrollViewTest : public QObject {
  Q_OBJECT

 private slots:
  void MetricTotalSizeBecomesDevicePixelsWithTenthSteps() {
    PaperView view;
    view.resize(300, 200);
    view.SetScrollSizes(MM_LOMETRIC, CSize(2660, 5000));
    const int dpiX = view.viewport()->logicalDpiX();
    const int dpiY = view.viewport()->logicalDpiY();
    const CSize total = view.GetDeviceTotalSize();
    QCOMPARE(total.cx, qRound(2660 * dpiX / 254.0));
    QCOMPARE(total.cy, qRound(5000 * dpiY / 254.0));
    QCOMPARE(view.GetDevicePageSize(), CSize(total.cx / 10, total.cy / 10));
    QCOMPARE(view.GetDeviceLineSize(), CSize(total.cx / 100, total.cy / 100));
    QCOMPARE(view.verticalScrollBar()->pageStep(), total.cy / 10);
    QCOMPARE(view.verticalScrollBar()->singleStep(), total.cy / 100);
    QCOMPARE(view.GetTotalSize(), CSize(2660, 5000));
  }

  void TextModeSizesArePixels() {
    PaperView view;
    view.SetScrollSizes(MM_TEXT, CSize(235, 720));
    QCOMPARE(view.GetDeviceTotalSize(), CSize(235, 720));
    QCOMPARE(view.GetDevicePageSize(), CSize(23, 72));
    QCOMPARE(view.GetDeviceLineSize(), CSize(2, 7));
  }

  void ScrollPositionMovesTheViewportOriginOnScreenOnly() {
    PaperView view;
    view.resize(200, 150);
    view.show();
    view.SetScrollSizes(MM_LOMETRIC, CSize(2660, 5000));
    view.horizontalScrollBar()->setValue(30);
    view.verticalScrollBar()->setValue(40);
    QCOMPARE(view.GetDeviceScrollPosition(), CPoint(30, 40));
    const double unitsPerPixel = 254.0 / view.viewport()->logicalDpiX();
    QCOMPARE(view.GetScrollPosition().x, qRound(30 * unitsPerPixel));
    QVERIFY(view.GetScrollPosition().y < 0);  // down the page is negative y

    CRecordingDC screen(200, 150, view.viewport()->logicalDpiX(), false);
    view.OnPrepareDC(&screen);
    QCOMPARE(screen.GetMapMode(), MM_LOMETRIC);
    QCOMPARE(screen.GetViewportOrg(), CPoint(-30, -40));

    CRecordingDC paper;
    view.OnPrepareDC(&paper);
    QCOMPARE(paper.GetViewportOrg(), CPoint(0, 0));
  }

  void ScrollingToAPositionIsBoundedByTheTotalSize() {
    PaperView view;
    view.resize(200, 150);
    view.show();
    view.SetScrollSizes(MM_TEXT, CSize(1000, 400));
    view.ScrollToPosition(CPoint(5000, 100));
    QCOMPARE(view.GetDeviceScrollPosition().x, view.horizontalScrollBar()->maximum());
    QCOMPARE(view.GetDeviceScrollPosition().y, 100);
  }
};

QTEST_MAIN(ScrollViewTest)
#include "ScrollViewTest.moc"
