// The measurement view: what it reads from a record, its screen table, and the measurement block
// it prints with the rectangle it leaves free; and its frame.
#include <QPointer>
#include <QtTest>

#include <memory>

#include "framework/CRecordingDC.h"
#include "framework/FrameworkConstants.h"
#include "scp/ScpHandles.h"
#include "scp/ScpReader.h"
#include "scp/ScpRecord.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CMeasureView.h"

namespace {

ScpRecordPtr ReadSample(const char* directory, const char* name) {
  const QByteArray path = QByteArray(directory) + "/" + name;
  return ScpRecordPtr(ScpReadRecord(path.constData()));
}

// The demo record: RR 861 ms, P 84-196 ms, QRS 260-344 ms, T offset 630 ms, axes 55, 50, 48;
// twelve lead blocks, QRS duration 84 ms in every lead.
void ReadDemo(CMeasureView* view) {
  ScpRecordPtr record = ReadSample(QUILLON_SAMPLES_DIR, "demo.scp");
  QVERIFY(record != nullptr);
  MeasurementModel model;
  model.ReadMeasurements(record.get());
  view->TakeMeasurements(model);
}

CRecordedCall TextAt(const CRecordingDC& dc, const QString& text) {
  const std::vector<CRecordedCall> calls = dc.TextCalls(text);
  return calls.empty() ? CRecordedCall() : calls.front();
}

}  // namespace

class MeasureViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void ReadsTheGlobalsAndEveryLeadBlockAndScrollsToTheLastColumn() {
    CMeasureView view;
    ReadDemo(&view);
    QCOMPARE(view.m_bHasGlobals, 1);
    QCOMPARE(view.m_bHasLeadTable, 1);
    QCOMPARE(view.m_globalHeader.rrInterval, uint16_t{861});
    QCOMPARE(view.ShownLeads(), 12);
    QCOMPARE(view.m_leads[11].leadCode, uint16_t{8});
    QCOMPARE(view.GetTotalSize(), CSize(235 + 50 * 12, 720));  // the last column ends at 775
  }

  void ARecordWithoutPerLeadMeasurementsHasGlobalsOnly() {
    CMeasureView view;
    ScpRecordPtr record = ReadSample(QUILLON_SHARED_SAMPLES_DIR, "Example.scp");
    QVERIFY(record != nullptr);
    MeasurementModel model;
    model.ReadMeasurements(record.get());
    view.TakeMeasurements(model);
    QCOMPARE(view.m_bHasGlobals, 1);
    QCOMPARE(view.m_bHasLeadTable, 0);
    QCOMPARE(view.ShownLeads(), 0);
  }

  void TheScreenTableRightAlignsValuesAtTheirColumns() {
    CMeasureView view;
    ReadDemo(&view);
    CRecordingDC dc(2000, 2000, 96, false);
    view.OnDraw(&dc);

    const CRecordedCall label = TextAt(dc, "HR:");
    QCOMPARE(label.from, CPoint(10, 10));
    QCOMPARE(label.textAlign, TA_LEFT | TA_TOP);
    QCOMPARE(label.font.lfHeight, 15);
    QCOMPARE(label.bkMode, TRANSPARENT);
    const CRecordedCall heartRate = TextAt(dc, "69 bpm");  // 60000 / 861 = 69.7
    QCOMPARE(heartRate.from, CPoint(140, 10));
    QCOMPARE(heartRate.textAlign, TA_RIGHT);
    QCOMPARE(TextAt(dc, "196 ms  ").from, CPoint(140, 50));
    QCOMPARE(TextAt(dc, "344 ms").from, CPoint(310, 30));
    QCOMPARE(TextAt(dc, "48 \u00B0").from, CPoint(490, 50));

    QCOMPARE(TextAt(dc, "QRS Duration (ms)").from, CPoint(10, 170));  // k = 2 at 130 + 40
    QCOMPARE(TextAt(dc, "V6").from, CPoint(225 + 50 * 11, 100));
    int qrsDurations = 0;
    for (const CRecordedCall& call : dc.TextCalls("   84")) {
      qrsDurations += call.from.y == 170 ? 1 : 0;
    }
    QCOMPARE(qrsDurations, 12);
  }

  void APortraitBlockLeavesTheAreaFrom1360UnitsBelowItsTop() {
    CMeasureView view;
    ReadDemo(&view);
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    const CRect area(78, -253, 1952, -2818);
    QCOMPARE(view.PrintMeasurements(&dc, area), CRect(78, -253 - 1360, 1952, -2818));

    const CRecordedCall heartRate = TextAt(dc, "69 bpm");
    QCOMPARE(heartRate.from, CPoint(78 + 350, -283));  // 2 mm + 1 mm below the top
    QCOMPARE(heartRate.font.lfHeight, 30);
    QVERIFY(heartRate.clipped);
    QCOMPARE(heartRate.clipBox, CRect(78, -273, 1952, -1613));
    QCOMPARE(TextAt(dc, "QRS Onset:").from, CPoint(78 + 600, -283));
    QCOMPARE(TextAt(dc, "260 ms ").from, CPoint(78 + 950, -283));  // one trailing blank on paper
    QCOMPARE(TextAt(dc, "P Offset:").from, CPoint(78, -363));
    QCOMPARE(TextAt(dc, "55 \u00B0").from, CPoint(78 + 1550, -283));
    QCOMPARE(TextAt(dc, "P Duration (ms)").from, CPoint(78, -273 - 180));
    QCOMPARE(TextAt(dc, "aVR").from, CPoint(78 + 600 + 300, -273 - 140));
    QCOMPARE(TextAt(dc, "aVR").textAlign, TA_RIGHT);

    // The context is left as it was found.
    QVERIFY(!dc.HasClip());
    QCOMPARE(dc.GetTextAlign(), TA_LEFT | TA_TOP);
    QCOMPARE(dc.GetCurrentFont(), CFont());
  }

  void AWideBlockIsClippedAt1815AndLeavesTheAreaRightOfTheLastColumn() {
    CMeasureView view;
    ReadDemo(&view);
    CRecordingDC dc(2870, 2000);
    dc.SetMapMode(MM_LOMETRIC);
    const CRect area(78, -253, 2822, -1948);
    QCOMPARE(view.PrintMeasurements(&dc, area), CRect(78 + 600 + 1200, -253, 2822, -1948));
    QCOMPARE(TextAt(dc, "V6").clipBox, CRect(78, -253, 1815, -1948));
    QCOMPARE(TextAt(dc, "V6").from, CPoint(78 + 600 + 1100, -393));
  }

  void WithoutALeadTableTheBlockHasNoRowsAndNoColumns() {
    CMeasureView view;
    view.m_bHasGlobals = 1;
    view.m_globalHeader.rrInterval = 800;
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    QCOMPARE(view.PrintMeasurements(&dc, CRect(0, 0, 2000, -2870)), CRect(0, -200, 2000, -2870));
    QCOMPARE(TextAt(dc, "75 bpm").from, CPoint(350, -30));
    QCOMPARE(view.PrintMeasurements(&dc, CRect(0, 0, 2870, -2000)), CRect(600, 0, 2870, -2000));
  }

  void MoreThanSixteenLeadBlocksShowTheFirstSixteen() {
    CMeasureView view;
    ReadDemo(&view);
    view.m_leadHeader.leadCount = 40;
    QCOMPARE(view.ShownLeads(), 16);
    CRecordingDC dc(4000, 4000, 96, false);
    view.OnDraw(&dc);
    int leadNames = 0;
    for (const CRecordedCall& call : dc.Calls(CRecordedCall::Kind::kText)) {
      leadNames += call.from.y == 100 ? 1 : 0;
    }
    QCOMPARE(leadNames, 16);
    dc.SetMapMode(MM_LOMETRIC);
    QCOMPARE(view.PrintMeasurements(&dc, CRect(0, 0, 2870, -2000)).left, 600 + 1600);
  }

  void TheFrameIsCaptionedMeasurementAndCannotBeClosedByItself() {
    auto* frame = new CMeasureFrame;
    QPointer<CMeasureFrame> alive(frame);
    QVERIFY(frame->Create("Quillon", WS_CHILD | FWS_ADDTOTITLE, nullptr));
    QCOMPARE(frame->windowTitle(), QString("MEASUREMENT"));
    QCOMPARE(frame->GetStyle() & FWS_ADDTOTITLE, DWORD{0});
    frame->show();
    frame->close();
    QCoreApplication::processEvents();
    QVERIFY(!alive.isNull());
    delete frame;
  }
};

QTEST_MAIN(MeasureViewTest)
#include "MeasureViewTest.moc"
