// The rhythm view: its paper from the rhythm leads, the time scale it takes, its screen rows and
// its printed page in portrait and landscape; and its frame.
#include <QImage>
#include <QPointer>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/CPainterDC.h"
#include "framework/CRecordingDC.h"
#include "framework/FrameworkConstants.h"
#include "leads/LeadFilters.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CEcgView.h"
#include "views/RhythmLayout.h"

Q_DECLARE_METATYPE(RhythmLayout)

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
  int16_t* Samples(int lead) { return m_samples[lead].data(); }
  int Count() const { return static_cast<int>(m_leads.size()); }

 private:
  std::vector<std::vector<int16_t>> m_samples;
  std::vector<ScpRhythmSignal> m_leads;
};

// The upward lines at x (5 mm in from the paper's left edge unless told) `height` units long:
// the risers of the calibration pulses.
std::vector<CRecordedCall> PulseRisers(const CRecordingDC& dc, int height, int x = 50) {
  std::vector<CRecordedCall> risers;
  for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
    if (line.from.x == x && line.to.x == x && line.to.y - line.from.y == height) {
      risers.push_back(line);
    }
  }
  return risers;
}

// The clip boxes, in drawing order, of the trace lines (screen blue or 0.2 mm) right of fromX.
std::vector<CRect> TraceClipBoxes(const CRecordingDC& dc, int fromX) {
  std::vector<CRect> boxes;
  for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
    const bool trace = line.pen.Color() == RGB(0, 0, 128) || line.pen.Width() == 2;
    const CRect box = line.clipped ? line.clipBox : CRect();
    if (trace && std::min(line.from.x, line.to.x) > fromX &&
        (boxes.empty() || boxes.back() != box)) {
      boxes.push_back(box);
    }
  }
  return boxes;
}

int TraceLinesOf(const CRecordingDC& dc) {
  int lines = 0;
  for (const CRecordedCall& call : dc.Calls(CRecordedCall::Kind::kLine)) {
    lines += call.pen.Width() == 2 ? 1 : 0;
  }
  return lines;
}

}  // namespace

class EcgViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void TwelveLeadsOf5000SamplesMakeAPaperOf2740By5000() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    QCOMPARE(view.m_nPaperWidth, 80 + 50 + 30 + 2500 + 80);  // margins, pulse, gap, 10 s
    QCOMPARE(view.m_nPaperHeight, 5000);
    QCOMPARE(view.m_nLeftMargin, 80);

    view.OnInitialUpdate();
    QCOMPARE(view.GetTotalSize(), CSize(2740, 5000));
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
    for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
      QVERIFY(line.pen.Color() != RGB(255, 0, 0));  // no markers
    }
  }

  // However far a lead swings, at every gain each row's trace stays in its 40 mm lane on screen
  // (20 mm on a portrait page) and its pulse rises 1 mV at the gain where the label ends + 1 mm.
  void OneLeadARowKeepsEachTraceInItsLaneAndLeadsItWithAPulse() {
    RhythmLeads leads(12, 5000);  // swinging between the extremes, as a damaged lead would
    for (int k = 0; k < 12 * 5000; ++k) {
      leads.Samples(k / 5000)[k % 5000] = k % 50 < 25 ? 32767 : -32768;
    }
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetLayout(RhythmLayout::k12x1, 2);
    for (const double gain : kGains) {
      view.SetSpeedAndGain(25, gain);
      const int pulseHeight = static_cast<int>(gain * 10);
      CRecordingDC screen(80000, 80000, 254, false);
      view.OnDraw(&screen);
      QCOMPARE(static_cast<int>(PulseRisers(screen, pulseHeight, 80).size()), 12);
      CRecordingDC page;
      view.PrintPage(&page);
      QCOMPARE(static_cast<int>(PulseRisers(page, pulseHeight, 80).size()), 12);

      const std::vector<CRect> lanes = TraceClipBoxes(screen, 80 + 50);
      const std::vector<CRect> pageLanes = TraceClipBoxes(page, 80 + 50);
      QCOMPARE(static_cast<int>(lanes.size()), 12);
      QCOMPARE(static_cast<int>(pageLanes.size()), 12);
      for (int row = 0; row < 12; ++row) {
        QCOMPARE(lanes[row], CRect(0, -400 * row, view.m_nPaperWidth, -400 - 400 * row));
        QCOMPARE(pageLanes[row], CRect(0, -100 - 200 * row, 2000, -300 - 200 * row));
      }
    }
  }

  // Painted at a device pixel ratio of 2 on an image of 192 dots per inch, a 1 mV pulse at
  // 10 mm/mV spans 10 mm of the image's pixels: 75.6 of them.
  void MillimetresHoldAtADevicePixelRatioOfTwo() {
    RhythmLeads leads(1, 500);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    QImage image(800, 800, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.setDotsPerMeterX(7559);  // 192 dpi
    image.setDotsPerMeterY(7559);
    image.fill(Qt::white);
    {
      CImageDC dc(&image);
      view.OnDraw(&dc);
    }
    int rows = 0;  // those the flat trace and the pulse rising from it cross, in the trace's blue
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      rows +=
          std::any_of(line, line + image.width(), [](QRgb p) { return (p & 0xFFFFFF) == 0x80; });
    }
    QVERIFY2(std::abs(rows - 76) <= 2, qPrintable(QString::number(rows)));
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
    view.SetPageLayout(RhythmLayout::k12x1);
    CRecordingDC page;  // 200 × 287 mm; no Document, so the whole area is for the traces
    view.PrintPage(&page);

    const std::vector<CRecordedCall> paper = page.Calls(CRecordedCall::Kind::kDots);
    QCOMPARE(static_cast<int>(paper.size()), 3);  // 1 mm dots, dotted 5 mm lines both ways
    QCOMPARE(paper[0].rect, CRect(0, 0, 2000, -2870));
    QVERIFY(paper[0].clipped);
    QCOMPARE(paper[0].clipBox, CRect(0, 0, 2000, -2870));

    for (int lead = 0; lead < 12; ++lead) {
      const CRecordedCall label = page.TextCalls(kNames[lead])[0];
      QCOMPARE(label.from, CPoint(70, -200 - 200 * lead));  // rows 20 mm apart from 20 mm down
      QCOMPARE(label.font.lfHeight, 30);
    }
    // 3500 samples, the last two steps undrawn, and the three strokes of each row's pulse.
    QCOMPARE(TraceLinesOf(page), 12 * (3500 - 2) + 12 * 3);
    QCOMPARE(view.SamplesShownOnPage(RhythmLayout::k12x1, CRect(0, 0, 2000, -2870)), 3500);
  }

  void ALandscapePageShowsTwoColumnsOfSixRowsOfTheFirstHalf() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetPageLayout(RhythmLayout::k12x1);
    CRecordingDC page(2870, 2000);  // 287 × 200 mm
    view.PrintPage(&page);

    QCOMPARE(page.TextCalls("aVF")[0].from, CPoint(70, -200 - 5 * 280));
    QCOMPARE(TraceLinesOf(page), 12 * (2500 - 2) + 6 * 3);
    // Lead 0 ends at 80 + the pulse and gap + 0.5 (its start sample) + 2498 steps of 0.5; lead 6
    // starts 10 mm on.
    const double leadSixX = 80 + 80 + 0.5 + 2498 * 0.5 + 100;
    QCOMPARE(page.TextCalls("V1")[0].from, CPoint(static_cast<int>(leadSixX) - 10, -200));
    QCOMPARE(page.TextCalls("V6")[0].from, CPoint(static_cast<int>(leadSixX) - 10, -200 - 5 * 280));
  }

  void EightLeadsOnAPortraitPageFillEightRowsAndNoSecondColumn() {
    RhythmLeads leads(8, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetPageLayout(RhythmLayout::k12x1);
    CRecordingDC page;
    view.PrintPage(&page);
    const std::vector<CRecordedCall> labels = page.Calls(CRecordedCall::Kind::kText);
    QCOMPARE(static_cast<int>(labels.size()), 8);
    for (const CRecordedCall& label : labels) {
      QCOMPARE(label.from.x, 70);
    }
    QCOMPARE(labels[7].from.y, -200 - 7 * 200);
  }

  // Screen geometry at zoom 1 of each grid layout, 12 leads of 10 s at 500 Hz: traces start 13 mm
  // in (5 mm margin, a 5 mm pulse, 3 mm), rows 30 mm apart from 10 mm down, each column a quarter
  // (or half) of the 10 s, and every row led by a pulse 1 mV (10 mm) high.
  void GridLayoutsPutEachLeadInItsRowAndColumnBehindAPulse_data() {
    QTest::addColumn<RhythmLayout>("layout");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("strips");
    QTest::newRow("6x2") << RhythmLayout::k6x2 << 6 << 2 << QStringList{};
    QTest::newRow("3x4") << RhythmLayout::k3x4 << 3 << 4 << QStringList{};
    QTest::newRow("3x4+1") << RhythmLayout::k3x4Plus1 << 3 << 4 << QStringList{"II"};
    QTest::newRow("3x4+3") << RhythmLayout::k3x4Plus3 << 3 << 4 << QStringList{"II", "V1", "V5"};
  }
  void GridLayoutsPutEachLeadInItsRowAndColumnBehindAPulse() {
    QFETCH(RhythmLayout, layout);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, strips);
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetLayout(layout, 2);
    CRecordingDC dc(80000, 80000, 254, false);
    view.OnDraw(&dc);

    constexpr int kTraceLeft = 130;
    constexpr int kRowPitch = 300;
    const auto laneTop = [](int row) { return -100 - row * kRowPitch; };
    const int columnWidth = 5000 / columns / 2;  // samples of a column at 0.5 units each
    for (int cell = 0; cell < 12; ++cell) {
      const int row = cell % rows;
      const int column = cell / rows;
      const CRecordedCall label = dc.TextCalls(kNames[cell])[0];
      QCOMPARE(label.from, CPoint(kTraceLeft + column * columnWidth + 10, laneTop(row) - 10));
      // The trace is clipped to its own lane.
      QCOMPARE(label.clipBox,
               CRect(kTraceLeft + column * columnWidth, laneTop(row),
                     kTraceLeft + (column + 1) * columnWidth + 1, laneTop(row) - kRowPitch));
    }
    for (int strip = 0; strip < strips.size(); ++strip) {
      const std::vector<CRecordedCall> labels = dc.TextCalls(strips[strip]);
      QCOMPARE(labels.back().from, CPoint(kTraceLeft + 10, laneTop(rows + strip) - 10));
      QCOMPARE(labels.back().clipBox.right, kTraceLeft + 2500 + 1);  // the whole 10 s
    }
    const std::vector<CRecordedCall> risers = PulseRisers(dc, 100);
    QCOMPARE(static_cast<int>(risers.size()), rows + static_cast<int>(strips.size()));
    for (size_t row = 0; row < risers.size(); ++row) {
      QCOMPARE(risers[row].from, CPoint(50, laneTop(static_cast<int>(row)) - kRowPitch / 2));
    }
    QCOMPARE(view.m_nPaperWidth, kTraceLeft + 2500 + 80);
    QCOMPARE(view.m_nPaperHeight, 100 + (rows + static_cast<int>(strips.size())) * kRowPitch + 100);
  }

  void ThePulseIsOneMillivoltAtTheGainAndTwoHundredMillisecondsAtTheSpeed() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetLayout(RhythmLayout::k3x4, 2);
    for (const double gain : kGains) {
      for (const double speed : kSpeeds) {
        view.SetSpeedAndGain(speed, gain);
        CRecordingDC dc(80000, 80000, 254, false);
        view.OnDraw(&dc);
        const std::vector<CRecordedCall> risers = PulseRisers(dc, static_cast<int>(gain * 10));
        QVERIFY2(risers.size() == 3, qPrintable(QString::number(gain)));
        // The pulse's top runs 0.2 s at the speed: 5 mm at 25 mm/s.
        bool topFound = false;
        for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
          topFound |= line.from == risers[0].to &&
                      line.to == CPoint(50 + static_cast<int>(2 * speed), risers[0].to.y);
        }
        QVERIFY(topFound);
        QCOMPARE(view.m_dXScale, 2000 * speed * 10 / 1e6);
        QCOMPARE(view.m_dYScale, 5000 * gain * 10 / 1e6);
      }
    }
  }

  void TheDefaultPageIsTheStandardPageWithTheWholeRecording() {
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    CRecordingDC page(2870, 2000);  // 287 × 200 mm
    view.PrintPage(&page);
    // Four rows sharing the height within 5 mm gaps (at most 50 mm apart); the strip is lead II.
    const int pitch = std::min(500, (2000 - 50 - 50) / 4);
    QCOMPARE(page.TextCalls("II").back().from, CPoint(130 + 10, -50 - 3 * pitch - 10));
    QCOMPARE(PulseRisers(page, 100).size(), size_t{4});
    QCOMPARE(page.TextCalls("V4")[0].from.x, 130 + 3 * 625 + 10);
  }

  void APageTooNarrowForTheSpeedShowsWhatFitsAcross_data() {
    QTest::addColumn<RhythmLayout>("layout");
    QTest::newRow("6x2") << RhythmLayout::k6x2;
    QTest::newRow("3x4+3") << RhythmLayout::k3x4Plus3;
  }
  void APageTooNarrowForTheSpeedShowsWhatFitsAcross() {
    QFETCH(RhythmLayout, layout);
    RhythmLeads leads(12, 5000);
    CEcgView view;
    view.SetUpLeads(leads.Data(), leads.Count(), nullptr, 0);
    view.SetLayout(layout, 2);
    view.SetSpeedAndGain(50, 10);
    // 287 mm less 18 mm before the traces and 5 mm after: 264 mm, 5.28 s at 50 mm/s.
    QCOMPARE(view.SamplesShownOnPage(layout, CRect(0, 0, 2870, -2000)), 2640);
  }

  void FiltersChangeWhatIsDrawnNotTheDocumentsSamples() {
    RhythmLeads leads(12, 5000);
    std::vector<int16_t> wandering(5000);
    for (int k = 0; k < 5000; ++k) {
      wandering[static_cast<size_t>(k)] = static_cast<int16_t>(k / 10);  // a drifting baseline
    }
    ScpRhythmSignal lead = leads.Data()[0];
    lead.samples = wandering.data();
    CEcgView view;
    view.SetUpLeads(&lead, 1, nullptr, 0);
    view.SetLayout(RhythmLayout::k3x4, 2);
    view.SetFilters(kLeadFilterBaseline);
    QCOMPARE(wandering[4000], int16_t{400});
    QVERIFY(std::abs(view.m_pSamples[0][4000]) < 5);
    view.SetFilters(kLeadFilterNone);
    QCOMPARE(view.m_pSamples[0], wandering.data());
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
