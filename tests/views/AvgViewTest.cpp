// The average-beat view: its paper of four columns, its columns of three beats with markers on
// screen, and its printed page in landscape and portrait; and its frame.
#include <QPointer>
#include <QtTest>

#include <vector>

#include "framework/CRecordingDC.h"
#include "framework/FrameworkConstants.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CAvgView.h"

namespace {

constexpr uint8_t kDisplayCodes[12] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};
constexpr COLORREF kMarker = RGB(255, 0, 0);

// Decoded reference beats as the decoder leaves them: startSample 0, endSample = sampleCount.
class ReferenceBeats {
 public:
  ReferenceBeats(int leads, int samples)
      : m_samples(leads, std::vector<int16_t>(samples)), m_beats(leads) {
    for (int lead = 0; lead < leads; ++lead) {
      ScpReferenceBeat& beat = m_beats[lead];
      beat = {};
      beat.startSample = 0;
      beat.endSample = samples;
      beat.leadCode = kDisplayCodes[lead % 12];
      beat.amplitudeMultiplier = 5000;
      beat.sampleInterval = 2000;
      beat.sampleCount = static_cast<uint16_t>(samples);
      beat.samples = m_samples[lead].data();
    }
  }
  const ScpReferenceBeat* Data() const { return m_beats.data(); }
  int Count() const { return static_cast<int>(m_beats.size()); }

 private:
  std::vector<std::vector<int16_t>> m_samples;
  std::vector<ScpReferenceBeat> m_beats;
};

std::vector<CRecordedCall> Markers(const CRecordingDC& dc) {
  std::vector<CRecordedCall> markers;
  for (const CRecordedCall& call : dc.Calls(CRecordedCall::Kind::Line)) {
    if (call.pen.Color() == kMarker) {
      markers.push_back(call);
    }
  }
  return markers;
}

SignalStyle StyleWithFiducials() {
  SignalStyle style;
  const uint16_t fiducials[kFiducialCount] = {100, 200, 300, 400, 700};
  std::copy(fiducials, fiducials + kFiducialCount, style.fiducials);
  return style;
}

}  // namespace

class AvgViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void TwelveBeatsOf600SamplesMakeAPaperOf1600By1400() {
    ReferenceBeats beats(12, 600);
    CAvgView view;
    view.SetUpLeads(beats.Data(), beats.Count());
    QCOMPARE(view.m_nSamples[0], 601);   // the span counts one sample more than the beat holds
    QCOMPARE(view.m_nPaperWidth, 1600);  // 80 + 4 × trunc(300.5 + 80)
    QCOMPARE(view.m_nPaperHeight, 1400);
  }

  void OnScreenBeatsStandInColumnsOfThreeWithTheirMarkers() {
    ReferenceBeats beats(12, 600);
    CAvgView view;
    view.SetDetachedStyle(StyleWithFiducials());
    view.SetUpLeads(beats.Data(), beats.Count());
    CRecordingDC dc(80000, 80000, 254, false);
    view.OnDraw(&dc);

    QCOMPARE(view.m_nRowsPerColumn, 3);
    QCOMPARE(dc.TextCalls("I")[0].from, CPoint(70, -200));
    QCOMPARE(dc.TextCalls("III")[0].from, CPoint(70, -1000));
    QCOMPARE(dc.TextCalls("aVR")[0].from, CPoint(460 - 10, -200));  // column 1 at 460
    QCOMPARE(dc.TextCalls("V4")[0].from, CPoint(1220 - 10, -200));  // column 3 at 1220

    // Five markers per beat, 25, 50, 75, 100 and 175 units right of its start, 50 units each way.
    const std::vector<CRecordedCall> markers = Markers(dc);
    QCOMPARE(static_cast<int>(markers.size()), 12 * 5);
    const int offsets[kFiducialCount] = {25, 50, 75, 100, 175};
    for (int k = 0; k < kFiducialCount; ++k) {
      const CRecordedCall& marker = markers[3 * 5 + k];  // lead 3: column 1, row 0
      QCOMPARE(marker.from, CPoint(460 + offsets[k], -250));
      QCOMPARE(marker.to, CPoint(460 + offsets[k], -150));
    }
  }

  void TwoBeatsFillTheTopTwoRowsOfTheFirstColumnOnly() {
    ReferenceBeats beats(2, 600);
    CAvgView view;
    view.SetUpLeads(beats.Data(), beats.Count());
    CRecordingDC dc(80000, 80000, 254, false);
    view.OnDraw(&dc);
    const std::vector<CRecordedCall> labels = dc.Calls(CRecordedCall::Kind::Text);
    QCOMPARE(static_cast<int>(labels.size()), 2);
    QCOMPARE(labels[1].from, CPoint(70, -600));
    QCOMPARE(view.m_nPaperWidth, 1600);  // still four columns wide
  }

  void ALandscapePageShowsFourColumnsOfThreeBeatsWithMarkers() {
    ReferenceBeats beats(12, 600);
    CAvgView view;
    view.SetDetachedStyle(StyleWithFiducials());
    view.SetUpLeads(beats.Data(), beats.Count());
    CRecordingDC page(2870, 2000);  // no Document: no patient frame, no measurement block
    view.PrintPage(&page);

    // A beat starts at sample 0, so it is not shifted; it prints samples 1 to 599 and ends
    // 599 × 0.5 = 299.5 units on. The next column starts 10 mm after that end.
    QCOMPARE(page.TextCalls("I")[0].from, CPoint(70, -200));
    QCOMPARE(page.TextCalls("III")[0].from, CPoint(70, -1000));
    QCOMPARE(page.TextCalls("aVR")[0].from, CPoint(469, -200));  // trunc(479.5) - 10
    QCOMPARE(page.TextCalls("V4")[0].from, CPoint(1268, -200));  // trunc(80 + 3 × 399.5) - 10

    const std::vector<CRecordedCall> markers = Markers(page);
    QCOMPARE(static_cast<int>(markers.size()), 12 * 5);
    QCOMPARE(markers[3 * 5 + 4].from, CPoint(654, -250));  // aVR's T offset: 479.5 + 175
    QCOMPARE(markers[0].pen.Width(), 0);
    int traceLines = 0;
    for (const CRecordedCall& line : page.Calls(CRecordedCall::Kind::Line)) {
      traceLines += line.pen == CPen(PS_SOLID, 2, RGB(0, 0, 0)) ? 1 : 0;
    }
    QCOMPARE(traceLines, 12 * 599);
  }

  void APortraitPageShowsTwoColumnsOfSixBeats() {
    ReferenceBeats beats(12, 600);
    CAvgView view;
    view.SetUpLeads(beats.Data(), beats.Count());
    CRecordingDC page;  // 200 × 287 mm
    view.PrintPage(&page);
    QCOMPARE(page.TextCalls("aVF")[0].from, CPoint(70, -200 - 5 * 280));
    QCOMPARE(page.TextCalls("V1")[0].from, CPoint(469, -200));
    QCOMPARE(page.TextCalls("V6")[0].from, CPoint(469, -200 - 5 * 280));
  }

  void TheFrameIsCaptionedAvgAndCannotBeClosedByItself() {
    auto* frame = new CAvgFrame;
    QPointer<CAvgFrame> alive(frame);
    QVERIFY(frame->Create("Quillon", WS_CHILD | FWS_ADDTOTITLE, nullptr));
    QCOMPARE(frame->windowTitle(), QString("AVG"));
    QCOMPARE(frame->GetStyle() & FWS_ADDTOTITLE, DWORD{0});
    frame->show();
    frame->close();
    QCoreApplication::processEvents();
    QVERIFY(!alive.isNull());
    delete frame;
  }
};

QTEST_MAIN(AvgViewTest)
#include "AvgViewTest.moc"
