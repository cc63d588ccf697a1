// The rhythm view: its paper from the rhythm leads, the time scale it takes, its screen rows and
// its printed page in portrait and landscape; and its frame.
#include <QPointer>
#include <QtTest>

#include <vector>

#include "framework/CRecordingDC.h"
#include "framework/FrameworkConstants.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CEcgView.h"

namespace {

constexpr uint8_t kDisplayCodes[12] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};
const char* const kNames[12] = {"I",  "II", "III", "aVR", "aVL", "aVF",
                                "V1", "V2", "V3",  "V4",  "V5",  "V6"};

// Rhythm leads of `samples` samples each at 5000 nV and `interval` µs, every sample 0.
class RhythmLeads {
 public:
  RhythmLeads(int leads, int samples, uint16_t interval = 2000)
      : m_samples(leads, std::vector<int16_t>(samples)), m_leads(leads) {
    for (int lead = 0; lead < leads; ++lead) {
      ScpRhythmSignal& rhythm = m_leads[lead];
      rhythm = {};
      rhythm.startSample = 1;
      rhythm.endSample = samples;
      rhythm.leadCode = kDisplayCodes[lead % 12];
      rhythm.amplitudeMultiplier = 5000;
      rhythm.sampleInterval = interval;
      rhythm.sampleCount = samples;
      rhythm.samples = m_samples[lead].data();
    }
  }
  const ScpRhythmSignal* Data() const { return m_leads.data(); }
  int Count() const { return static_cast<int>(m_leads.size()); }

 private:
  std::vector<std::vector<int16_t>> m_samples;
  std::vector<ScpRhythmSignal> m_leads;
};

int TraceLinesOf(const CRecordingDC& dc) {
  int lines = 0;
  for (const CRecordedCall& call : dc.Calls(CRecordedCall::Kind::Line)) {
    lines += call.pen.Width() == 2 ? 1 : 0;
  }
  return lines;
}

}  // namespace

class EcgViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void TwelveLeadsOf5000SamplesMakeAPaperOf2660By5000() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    QCOMPARE(view.m_nPaperWidth, 2660);
    QCOMPARE(view.m_nPaperHeight, 5000);
    QCOMPARE(view.m_nLeftMargin, 80);

    view.OnInitialUpdate();
    QCOMPARE(view.GetTotalSize(), CSize(2660, 5000));
    QCOMPARE(view.GetMapMode(), MM_LOMETRIC);
  }

  void OnScreenEveryLeadHasItsOwnRowInOneColumn() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    CRecordingDC dc(80000, 80000, 254, false);
    view.OnDraw(&dc);
    QCOMPARE(view.m_nRowsPerColumn, 12);
    QCOMPARE(dc.TextCalls("I")[0].from, CPoint(70, -200));
    QCOMPARE(dc.TextCalls("V6")[0].from, CPoint(70, -4600));
    for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::Line)) {
      QVERIFY(line.pen.Color() != RGB(255, 0, 0));  // no markers
    }
  }

  void ReferenceBeatsSetTheTimeScaleOfARebuiltRhythm() {
    RhythmLeads leads(12, 5000, 4000);
    ScpReferenceBeat beat = {};
    beat.sampleInterval = 2000;
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), &beat, 1);
    QCOMPARE(view.m_dXScale, 0.5);

    CEcgView withoutBeats;
    withoutBeats.SetUpLeads(leads.Data(), leads.Count(), &beat, 0);
    QCOMPARE(withoutBeats.m_dXScale, 1.0);
  }

  void MoreThanSixteenLeadsShowTheFirstSixteen() {
    RhythmLeads leads(18, 100);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    QCOMPARE(view.m_nLeads, 16);
    QCOMPARE(view.m_nPaperHeight, 16 * 400 + 200);
  }

  void APortraitPageShowsTwelveRowsOfTheFirstSeventyPercent() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    CRecordingDC page;  // 200 × 287 mm; no Document, so the whole area is for the traces
    view.PrintPage(&page);

    const std::vector<CRecordedCall> blocks = page.Calls(CRecordedCall::Kind::Block);
    QCOMPARE(static_cast<int>(blocks.size()), 1);
    QCOMPARE(blocks[0].rect, CRect(0, -2870, 2000, 0));
    QVERIFY(blocks[0].clipped);
    QCOMPARE(blocks[0].clipBox, CRect(0, 0, 2000, -2870));

    for (int lead = 0; lead < 12; ++lead) {
      const CRecordedCall label = page.TextCalls(kNames[lead])[0];
      QCOMPARE(label.from, CPoint(70, -200 - 200 * lead));  // rows 20 mm apart from 20 mm down
      QCOMPARE(label.font.lfHeight, 30);
    }
    QCOMPARE(TraceLinesOf(page), 12 * (3500 - 2));  // 3500 samples; the last two steps undrawn
  }

  void ALandscapePageShowsTwoColumnsOfSixRowsOfTheFirstHalf() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    CRecordingDC page(2870, 2000);  // 287 × 200 mm
    view.PrintPage(&page);

    QCOMPARE(page.TextCalls("aVF")[0].from, CPoint(70, -200 - 5 * 280));
    QCOMPARE(TraceLinesOf(page), 12 * (2500 - 2));
    // Lead 0 ends at 80 + 0.5 (its start sample) + 2498 steps of 0.5; lead 6 starts 10 mm on.
    const double leadSixX = 80 + 0.5 + 2498 * 0.5 + 100;
    QCOMPARE(page.TextCalls("V1")[0].from, CPoint(static_cast<int>(leadSixX) - 10, -200));
    QCOMPARE(page.TextCalls("V6")[0].from, CPoint(static_cast<int>(leadSixX) - 10, -200 - 5 * 280));
  }

  void EightLeadsOnAPortraitPageFillEightRowsAndNoSecondColumn() {
    RhythmLeads leads(8, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    CRecordingDC page;
    view.PrintPage(&page);
    const std::vector<CRecordedCall> labels = page.Calls(CRecordedCall::Kind::Text);
    QCOMPARE(static_cast<int>(labels.size()), 8);
    for (const CRecordedCall& label : labels) {
      QCOMPARE(label.from.x, 70);
    }
    QCOMPARE(labels[7].from.y, -200 - 7 * 200);
  }

  void TheFrameIsCaptionedEcgAndCannotBeClosedByItself() {
    auto* frame = new CEcgFrame;
    QPointer<CEcgFrame> alive(frame);
    QVERIFY(frame->Create("Quillon", WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr));
    QCOMPARE(frame->windowTitle(), QString("ECG"));
    QCOMPARE(frame->GetStyle() & FWS_ADDTOTITLE, DWORD{0});
    QCOMPARE(frame->GetStyle() & WS_MAXIMIZE, WS_MAXIMIZE);  // no application: maximised
    frame->show();
    frame->close();
    QCoreApplication::processEvents();
    QVERIFY(!alive.isNull());
    QVERIFY(frame->isVisible());
    delete frame;
  }
};

QTEST_MAIN(EcgViewTest)
#include "EcgViewTest.moc"
