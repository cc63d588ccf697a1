// The signal view's paper, traces, labels, markers, zoom and printing primitives, checked on the
// recording device context with synthetic leads and no Document.
#include <QImage>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

#include "framework/CPainterDC.h"
#include "framework/CRecordingDC.h"
#include "resources/ResourceIds.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CSignalView.h"

namespace {

constexpr COLORREF kTrace = RGB(0, 0, 128);
constexpr COLORREF kGrid = RGB(128, 128, 128);
constexpr COLORREF kMarker = RGB(255, 0, 0);
constexpr COLORREF kText = RGB(64, 64, 64);
constexpr COLORREF kBackground = RGB(192, 192, 192);
constexpr UINT kRightBaseline = TA_RIGHT | TA_BASELINE;

// The signal view has no draw operation of its own; its derived views choose the layout.
class TestSignalView : public CSignalView {
 public:
  void OnDraw(CDC* dc) override { DrawLeads(dc, m_nRowsPerColumn, true, false); }
};

// A recorder large enough that no drawn point falls outside it: 8 × 8 m at one pixel per unit.
std::unique_ptr<CRecordingDC> LargeScreen() {
  return std::make_unique<CRecordingDC>(80000, 80000, 254, false);
}

std::vector<CRecordedCall> LinesInColour(const CRecordingDC& dc, COLORREF colour) {
  std::vector<CRecordedCall> lines;
  for (const CRecordedCall& call : dc.Calls(CRecordedCall::Kind::kLine)) {
    if (call.pen.Color() == colour) {
      lines.push_back(call);
    }
  }
  return lines;
}

ScpLeadSignal Span(int32_t startSample, int32_t endSample, uint8_t leadCode) {
  ScpLeadSignal span{};
  span.startSample = startSample;
  span.endSample = endSample;
  span.leadCode = leadCode;
  return span;
}

// Lead i's sample k: a slow ramp with the lead's number in it, 0 at sample 0.
int16_t SyntheticSample(int lead, int k) {
  return static_cast<int16_t>((k % 400) - (k % 7) * lead);
}

}  // namespace

class SignalViewTest : public QObject {
  Q_OBJECT

 private:
  // Twelve leads of `samples` samples (sample numbers 1 to samples) laid out as the rhythm view
  // lays them out: scales 0.5 / 0.5, margin 8 mm, first zero line 20 mm down, rows 40 mm apart.
  void SetUpRhythmLayout(CSignalView* view, int leads = 12, int samples = 5000) {
    static const uint8_t kCodes[12] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};
    m_samples.assign(leads, std::vector<int16_t>(samples));
    view->SetScales(5000, 2000);
    for (int lead = 0; lead < leads; ++lead) {
      for (int k = 0; k < samples; ++k) {
        m_samples[lead][k] = SyntheticSample(lead, k);
      }
      view->AddLead(Span(1, samples, kCodes[lead % 12]), m_samples[lead].data(), samples);
    }
    view->m_nLeftMargin = 80;
    view->m_nTopMargin = 200;
    view->m_nRowPitch = 400;
    view->m_nPaperWidth = 80 + static_cast<int>(view->m_nSamples[0] * view->m_dXScale + 80);
    view->m_nPaperHeight = static_cast<int>(view->m_nLeads * view->m_nRowPitch + 200);
    view->m_nRowsPerColumn = view->m_nLeads;
  }

  std::vector<std::vector<int16_t>> m_samples;

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void ScalesAreHalfAUnitPerSampleAndPerAmplitudeUnitAt5000nVAnd2000us() {
    TestSignalView view;
    view.SetScales(5000, 2000);
    QCOMPARE(view.m_dYScale, 0.5);  // 1 mV = 200 units spans 10 mm
    QCOMPARE(view.m_dXScale, 0.5);  // 500 samples span 25 mm
    QCOMPARE(view.m_nStep, 1);
  }

  void AddLeadCountsTheSpanAndIgnoresASeventeenthLead() {
    TestSignalView view;
    const int16_t samples[4] = {};
    for (int lead = 0; lead < 17; ++lead) {
      view.AddLead(Span(1, 5000, 1), samples, 4);
    }
    QCOMPARE(view.m_nLeads, 16);
    QCOMPARE(view.m_nSamples[15], 5000);
  }

  void TheRhythmPaperIs2660By5000Units() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    QCOMPARE(view.m_nPaperWidth, 2660);
    QCOMPARE(view.m_nPaperHeight, 5000);
  }

  void ScreenTracesStartAtTheMarginOnZeroLinesFortyMillimetresApart() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 12, true, false);

    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kTrace);
    // Points of samples 0 to 4997: the first segment has zero length, the last two steps are
    // not drawn.
    constexpr int kSegmentsPerLead = 4998;
    QCOMPARE(static_cast<int>(lines.size()), 12 * kSegmentsPerLead);
    for (int lead = 0; lead < 12; ++lead) {
      const int zeroLineY = -200 - 400 * lead;
      const CRecordedCall& first = lines[static_cast<size_t>(lead) * kSegmentsPerLead];
      QCOMPARE(first.from, CPoint(80, zeroLineY));
      QCOMPARE(first.to, CPoint(80, zeroLineY));
      QCOMPARE(first.pen.Width(), 0);
      const CRecordedCall& last = lines[static_cast<size_t>(lead + 1) * kSegmentsPerLead - 1];
      const int lastSample = m_samples[lead][4997];
      QCOMPARE(last.to, CPoint(static_cast<int>(80 + 4997 * 0.5),
                               static_cast<int>(lastSample * 0.5 + zeroLineY)));
    }
    // A positive sample lies above the zero line: sample 100 of lead 0 is 100 units, 50 up.
    QCOMPARE(lines[100].to, CPoint(130, -150));
  }

  void LabelsEndOneMillimetreLeftOfTheTraceWithTheirBaselineOnTheZeroLine() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 12, true, false);

    const std::vector<CRecordedCall> texts = dc->Calls(CRecordedCall::Kind::kText);
    const QStringList names = {"I",  "II", "III", "aVR", "aVL", "aVF",
                               "V1", "V2", "V3",  "V4",  "V5",  "V6"};
    QCOMPARE(static_cast<int>(texts.size()), 12);
    for (int lead = 0; lead < 12; ++lead) {
      QCOMPARE(texts[lead].text, names[lead]);
      QCOMPARE(texts[lead].from, CPoint(70, -200 - 400 * lead));
      QCOMPARE(texts[lead].textAlign, kRightBaseline);
      QCOMPARE(texts[lead].textColor, kText);
      QCOMPARE(texts[lead].bkColor, kBackground);
      QCOMPARE(texts[lead].font.lfHeight, 40);
      QCOMPARE(texts[lead].font.lfFaceName, QString("Arial"));
    }
    QCOMPARE(dc->GetTextAlign(), TA_LEFT | TA_TOP);  // the alignment is restored
  }

  void LeadCodesWithoutANameAreLabelledByTheirCode() {
    TestSignalView view;
    const int16_t samples[8] = {};
    view.SetScales(5000, 2000);
    view.AddLead(Span(1, 8, 200), samples, 8);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 1, true, false);
    QCOMPARE(static_cast<int>(dc->TextCalls("200").size()), 1);
  }

  void TheScreenGridHasALineEveryFiveMillimetresAndABorder() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    auto dc = LargeScreen();
    dc->SetMapMode(MM_LOMETRIC);  // as the views draw
    view.DrawPaper(dc.get(), 1.0, 1.0);

    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kGrid);
    QCOMPARE(static_cast<int>(lines.size()), 54 + 100 + 4);  // x 0..2650, y 0..4950, border
    QCOMPARE(lines[1].from, CPoint(50, 0));
    QCOMPARE(lines[1].to, CPoint(50, -5000));
    QCOMPARE(lines[53].from, CPoint(2650, 0));
    QCOMPARE(lines[54 + 99].from, CPoint(0, -4950));
    QCOMPARE(lines[54 + 99].to, CPoint(2660, -4950));
    QCOMPARE(lines[54 + 100 + 1].from, CPoint(2660, 0));  // right border
    QCOMPARE(lines[54 + 100 + 1].to, CPoint(2660, -5000));

    const std::vector<CRecordedCall> fills = dc->Calls(CRecordedCall::Kind::kFill);
    QCOMPARE(static_cast<int>(fills.size()), 1);
    QCOMPARE(fills[0].color, kBackground);
  }

  void AtAFractionalZoomGridStepsTruncateAndAccumulate() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    auto dc = LargeScreen();
    dc->SetMapMode(MM_LOMETRIC);
    const double zoom = 1 / 1.4;
    view.DrawPaper(dc.get(), zoom, zoom);
    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kGrid);
    // 0, trunc(35.71) = 35, trunc(35 + 35.71) = 70, trunc(70 + 35.71) = 105 (not 107).
    QCOMPARE(lines[1].from.x, 35);
    QCOMPARE(lines[2].from.x, 70);
    QCOMPARE(lines[3].from.x, 105);
    QCOMPARE(lines[0].to.y, -static_cast<int>(5000 * zoom));
  }

  void OnPaperKilometresLongTheGridCostsOnlyWhatTheWindowShows() {
    TestSignalView view;
    SetUpRhythmLayout(&view, 1, 50);
    view.m_nPaperWidth = 1 << 28;  // what a lead table claiming 2^31 samples lays out
    view.m_nPaperHeight = 1 << 28;
    auto dc = LargeScreen();  // 80000 units square
    dc->SetMapMode(MM_LOMETRIC);
    view.DrawPaper(dc.get(), 1.0, 1.0);
    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kGrid);
    QVERIFY(lines.size() <= 2 * (80000 / 50 + 1) + 4);
    QCOMPARE(lines[1].from, CPoint(50, 0));
    QVERIFY(lines[1].to.y >= -80000);
  }

  void LeadsWithoutAnAmplitudeUnitKeepTheirLabelsAndDrawNoTrace() {
    TestSignalView view;
    SetUpRhythmLayout(&view, 2, 500);
    view.SetScales(0, 2000);  // 0 nV per unit
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 1, true, true);
    QCOMPARE(static_cast<int>(dc->TextCalls("II").size()), 1);
    QVERIFY(LinesInColour(*dc, kTrace).empty());
    // On paper too; the column still ends where the trace would have ended.
    CRecordingDC paper;
    double x = 180;
    view.PrintTrace(&paper, 0, 500, CFont(), x, -400, 0.5, 0.0, true);
    QCOMPARE(static_cast<int>(paper.Calls(CRecordedCall::Kind::kLine).size()), 0);
    QCOMPARE(static_cast<int>(paper.TextCalls("I").size()), 1);
    QCOMPARE(x, 180 + 0.5 + 498 * 0.5);
  }

  void ColumnsOfThreeRowsStartOneTraceAndGapApart() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 3, true, false);
    // Column pitch trunc(5000 * 0.5 + 80) = 2580: lead 3 tops column 1, lead 5 ends it.
    QCOMPARE(dc->TextCalls("aVR")[0].from, CPoint(80 + 2580 - 10, -200));
    QCOMPARE(dc->TextCalls("aVF")[0].from, CPoint(80 + 2580 - 10, -1000));
    QCOMPARE(dc->TextCalls("V6")[0].from, CPoint(80 + 3 * 2580 - 10, -1000));
  }

  void WithThreeRowsAndTwoLeadsOnlyTheTopTwoRowsAreDrawn() {
    TestSignalView view;
    SetUpRhythmLayout(&view, 2, 500);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 3, true, false);
    const std::vector<CRecordedCall> texts = dc->Calls(CRecordedCall::Kind::kText);
    QCOMPARE(static_cast<int>(texts.size()), 2);
    QCOMPARE(texts[1].from, CPoint(70, -600));
    QCOMPARE(static_cast<int>(LinesInColour(*dc, kTrace).size()), 2 * 498);
  }

  void ZoomScalesRowsAndStepsButNotTheLeftMarginNorTheLabels() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    QVERIFY(view.SetZoom(1.4, 1.4));
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 12, true, false);

    const CRecordedCall label = dc->TextCalls("II")[0];
    QCOMPARE(label.from, CPoint(70, -840));  // (400 + 200) * 1.4 down, 1 mm left of 8 mm
    QCOMPARE(label.font.lfHeight, 40);       // 4 mm whatever the zoom
    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kTrace);
    QCOMPARE(lines[0].from.x, 80);
    QCOMPARE(lines[1].to.x, 80);  // 80 + 0.7
    QCOMPARE(lines[2].to.x, 81);  // 80 + 1.4
  }

  // At 96 dpi a millimetre is 3.8 pixels at zoom 1 (no 1 mm grid) and 5.3 at zoom 1.4.
  void TheMillimetreGridAppearsOnceAMillimetreSpansFourPixels() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    const COLORREF fine = RGB(160, 160, 160);
    CRecordingDC atOne(2000, 2000, 96, false);
    view.DrawLeads(&atOne, 12, true, false);
    QVERIFY(LinesInColour(atOne, fine).empty());
    QVERIFY(view.SetZoom(1.4, 1.4));
    CRecordingDC zoomed(2000, 2000, 96, false);
    view.DrawLeads(&zoomed, 12, true, false);
    const std::vector<CRecordedCall> lines = LinesInColour(zoomed, fine);
    QVERIFY(!lines.empty());
    QCOMPARE(lines[1].from.x - lines[0].from.x, 14);  // 1 mm at 1.4
  }

  void ZoomKeepsThePaperUnderThePointerAndIgnoresTheActivatingClick() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    view.resize(400, 300);
    view.OnInitialUpdate();
    view.horizontalScrollBar()->setValue(100);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(view.m_dZoomX, 1.4);
    QCOMPARE(view.horizontalScrollBar()->value(), 220);  // (100 + 200) * 1.4 - 200

    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(&view, &focus);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(view.m_dZoomX, 1.4);  // that click only brought the window forward
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(view.m_dZoomX, 1.4 * 1.4);

    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &down);
    QCOMPARE(view.m_dZoomX, 1.4);
  }

  void CalipersReadTimeRateAndVoltageAtTheSpeedAndGain() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    view.SetCaliper(QPointF(100, -200), QPointF(300, -100));  // 20 mm across, 10 mm up
    QCOMPARE(view.CaliperText(), QString("\u0394t 800 ms  75 bpm  \u0394V 1000 \u00B5V"));
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 12, true, false);
    QCOMPARE(dc->TextCalls(view.CaliperText()).size(), size_t{1});
    view.SetReadingScales(50, 20);
    QCOMPARE(view.CaliperText(), QString("\u0394t 400 ms  150 bpm  \u0394V 500 \u00B5V"));
  }

  void AShiftDragSpansTheCalipersWithoutZoomingAndEscClearsThem() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    view.resize(400, 300);
    view.OnInitialUpdate();
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    QTest::mouseMove(view.viewport(), QPoint(110, 10));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(110, 10));
    QVERIFY(view.HasCaliper());
    QCOMPARE(view.m_dZoomX, 1.0);
    QVERIFY2(view.CaliperText().contains(" bpm"), qPrintable(view.CaliperText()));
    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(!view.HasCaliper());

    // With the calipers tool on, a plain drag measures and a click zooms no more; off, it zooms.
    QVERIFY(view.OnCmdMsg(kCmdCaliperTool));
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(view.viewport(), QPoint(60, 10));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
    QVERIFY(view.HasCaliper());
    QCOMPARE(view.m_dZoomX, 1.0);
    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(!view.HasCaliper());
    QVERIFY(view.OnCmdMsg(kCmdCaliperTool));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 10));
    QVERIFY(!view.HasCaliper());
    QCOMPARE(view.m_dZoomX, 1.4);
  }

  void ZoomInStopsBeforeThePaperPasses32767Units() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    for (int step = 1; step <= 5; ++step) {
      QVERIFY2(view.SetZoom(view.m_dZoomX * 1.4, view.m_dZoomY * 1.4),
               qPrintable(QString::number(step)));
    }
    QVERIFY(std::fabs(view.m_dZoomY - 5.37824) < 1e-9);
    QCOMPARE(view.GetTotalSize(), CSize(static_cast<int>(2660 * view.m_dZoomX), 26891));
    view.ZoomIn();  // 5000 * 1.4^6 = 37647 > 32767
    QVERIFY(std::fabs(view.m_dZoomY - 5.37824) < 1e-9);
    QCOMPARE(view.GetTotalSize().cy, 26891);
  }

  void ZoomOutStopsAtTheSecondStep() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    view.ZoomOut();
    view.ZoomOut();
    QVERIFY(std::fabs(view.m_dZoomX - 1 / 1.96) < 1e-12);
    view.ZoomOut();  // 0.364 is below the 0.4 limit
    QVERIFY(std::fabs(view.m_dZoomX - 1 / 1.96) < 1e-12);
    QVERIFY(std::fabs(view.m_dZoomY - 1 / 1.96) < 1e-12);
  }

  void CommandsAndButtonReleasesZoomInAndOut() {
    TestSignalView view;
    SetUpRhythmLayout(&view);
    view.resize(200, 200);
    QVERIFY(view.OnCmdMsg(kCmdZoomIn));
    QCOMPARE(view.m_dZoomX, 1.4);
    QVERIFY(view.OnCmdMsg(kCmdZoomOut));
    QCOMPARE(view.m_dZoomX, 1.0);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton);
    QCOMPARE(view.m_dZoomY, 1.4);
    QTest::mouseRelease(view.viewport(), Qt::RightButton);
    QTest::mouseRelease(view.viewport(), Qt::RightButton);
    QCOMPARE(view.m_dZoomY, 1 / 1.4);
    QCOMPARE(view.viewport()->cursor().shape(), Qt::CrossCursor);  // the magnifier stand-in
  }

  void MarkersLieAtHalfTheirMillisecondsInSampleStepsFromTheTraceStart() {
    TestSignalView view;
    SignalStyle style;
    const uint16_t fiducials[kFiducialCount] = {100, 200, 300, 400, 700};
    std::copy(fiducials, fiducials + kFiducialCount, style.fiducials);
    view.SetDetachedStyle(style);
    auto dc = LargeScreen();
    view.DrawFiducials(dc.get(), 80.0, -200.0, 0.5, 0.5);

    const std::vector<CRecordedCall> lines = LinesInColour(*dc, kMarker);
    QCOMPARE(static_cast<int>(lines.size()), 5);
    const int offsets[kFiducialCount] = {25, 50, 75, 100, 175};
    for (int k = 0; k < kFiducialCount; ++k) {
      QCOMPARE(lines[k].from, CPoint(80 + offsets[k], -250));  // 100 units of 0.5 below
      QCOMPARE(lines[k].to, CPoint(80 + offsets[k], -150));    // and above the zero line
      QCOMPARE(lines[k].rop2, R2_COPYPEN);
    }
  }

  void ALeadHoldingFewerSamplesThanItsSpanStopsAtItsLastSample() {
    TestSignalView view;
    std::vector<int16_t> samples(1000, 10);
    view.SetScales(5000, 2000);
    view.AddLead(Span(1, 70000, 1), samples.data(), 1000);
    auto dc = LargeScreen();
    dc->SetMapMode(MM_LOMETRIC);
    double x = 80;
    view.DrawTrace(dc.get(), 0, CFont(), x, -200, 0.5, 0.5, false);
    QCOMPARE(static_cast<int>(LinesInColour(*dc, kTrace).size()), 1000);
    QCOMPARE(x, 80 + 1000 * 0.5);

    dc->Clear();
    x = 80;
    view.PrintTrace(dc.get(), 0, 70000, CFont(), x, -200, 0.5, 0.5, false);
    QCOMPARE(static_cast<int>(dc->Calls(CRecordedCall::Kind::kLine).size()), 999);
  }

  void ALeadWithoutSamplesKeepsItsLabelAndDrawsNoTrace() {
    TestSignalView view;
    view.SetScales(5000, 2000);
    view.AddLead(Span(0, 0, 3), nullptr, 0);
    auto dc = LargeScreen();
    view.DrawLeads(dc.get(), 1, true, true);
    QCOMPARE(static_cast<int>(dc->TextCalls("V1").size()), 1);
    QVERIFY(LinesInColour(*dc, kTrace).empty());
    double x = 80;
    view.PrintTrace(dc.get(), 0, 100, CFont(), x, -200, 0.5, 0.5, true);
    QCOMPARE(static_cast<int>(dc->TextCalls("V1").size()), 2);
  }

  void PrintedPaperIsWhiteWithDotsEveryMillimetreAndDottedLinesEveryFive() {
    TestSignalView view;
    const CRect area(100, -50, 100 + 237, -50 - 163);
    CRecordingDC recorder;
    recorder.SetMapMode(MM_LOMETRIC);
    view.DrawPrintPaper(&recorder, area);
    const std::vector<CRecordedCall> lattices = recorder.Calls(CRecordedCall::Kind::kDots);
    QCOMPARE(static_cast<int>(lattices.size()), 3);
    for (const CRecordedCall& lattice : lattices) {
      QCOMPARE(lattice.rect, area);
      QCOMPARE(lattice.color, RGB(0, 0, 0));
    }

    // At 254 dpi one pixel is 0.1 mm: dot (x, y), counted from the area's lower left corner, is
    // the pixel x across and y up from the bottom row.
    QImage paper(237, 163, QImage::Format_RGB32);
    paper.setDotsPerMeterX(10000);
    paper.setDotsPerMeterY(10000);
    paper.fill(Qt::white);
    {
      CImageDC dc(&paper, true);
      dc.SetMapMode(MM_LOMETRIC);
      view.DrawPrintPaper(&dc, CRect(0, 0, 237, -163));
    }
    int mismatches = 0;
    for (int y = 0; y < paper.height(); ++y) {
      for (int x = 0; x < paper.width(); ++x) {
        const bool dot = (x % 10 == 0 && y % 10 == 0) || (x % 50 == 0 && y % 5 == 0) ||
                         (x % 5 == 0 && y % 50 == 0);
        const bool black = (paper.pixel(x, paper.height() - 1 - y) & 0xFFFFFF) == 0;
        mismatches += dot != black ? 1 : 0;
      }
    }
    QCOMPARE(mismatches, 0);
  }

  void PrintedPaperKeepsEveryDotAtPrinterResolutions_data() {
    QTest::addColumn<int>("dpi");
    QTest::newRow("96 dpi") << 96;    // screens and print preview
    QTest::newRow("200 dpi") << 200;  // thermal ECG printers
    QTest::newRow("300 dpi") << 300;
  }
  void PrintedPaperKeepsEveryDotAtPrinterResolutions() {
    QFETCH(int, dpi);
    constexpr int kWidth = 500;  // 50 × 40 mm of paper at the image's top left corner
    constexpr int kHeight = 400;
    const double pixelsPerUnit = dpi / 254.0;
    auto pixel = [pixelsPerUnit](int units) {
      return static_cast<int>(std::lround(units * pixelsPerUnit));
    };
    QImage paper(pixel(kWidth) + 8, pixel(kHeight) + 8, QImage::Format_RGB32);
    paper.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
    paper.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
    paper.fill(Qt::white);
    {
      TestSignalView view;
      CImageDC dc(&paper, true);
      dc.SetMapMode(MM_LOMETRIC);
      view.DrawPrintPaper(&dc, CRect(0, 0, kWidth, -kHeight));
    }
    // Whether the dot at (x, y) units from the lower left corner has inked the pixel that holds
    // the centre of its 0.1 mm square.
    auto inked = [&](int x, int y) {
      const int column = static_cast<int>(std::floor((x + 0.5) * pixelsPerUnit));
      const int row = static_cast<int>(std::floor((kHeight - y - 0.5) * pixelsPerUnit));
      return (paper.pixel(column, row) & 0xFFFFFF) == 0;
    };
    int missingDots = 0;  // one each millimetre both ways
    for (int y = 0; y < kHeight; y += 10) {
      for (int x = 0; x < kWidth; x += 10) {
        missingDots += inked(x, y) ? 0 : 1;
      }
    }
    QCOMPARE(missingDots, 0);
    int missingSteps = 0;  // 0.5 mm steps along the dotted 5 mm lines, both ways
    for (int line = 0; line < kWidth; line += 50) {
      for (int step = 0; step < kHeight; step += 5) {
        missingSteps += inked(line, step) ? 0 : 1;
      }
    }
    for (int line = 0; line < kHeight; line += 50) {
      for (int step = 0; step < kWidth; step += 5) {
        missingSteps += inked(step, line) ? 0 : 1;
      }
    }
    QCOMPARE(missingSteps, 0);
  }

  void PrintedTracesAreBlackSkipTheFirstSampleAndShiftByTheStartSample() {
    TestSignalView view;
    SetUpRhythmLayout(&view, 2, 5000);
    CRecordingDC dc;
    dc.SetMapMode(MM_LOMETRIC);
    CFont font;
    LOGFONT logFont = view.m_logFont;
    logFont.lfHeight = 30;
    font.CreateFontIndirect(&logFont);
    double x = 180;
    view.PrintTrace(&dc, 0, 3500, font, x, -400, 0.5, 0.5, true);

    const std::vector<CRecordedCall> texts = dc.Calls(CRecordedCall::Kind::kText);
    QCOMPARE(static_cast<int>(texts.size()), 1);
    QCOMPARE(texts[0].from, CPoint(170, -400));
    QCOMPARE(texts[0].textColor, RGB(0, 0, 0));
    QCOMPARE(texts[0].textAlign, kRightBaseline);
    QCOMPARE(texts[0].font.lfHeight, 30);

    const std::vector<CRecordedCall> lines = dc.Calls(CRecordedCall::Kind::kLine);
    QCOMPARE(static_cast<int>(lines.size()), 3498);
    // Sample m lies at 180 + m * 0.5; sample 0 is not drawn.
    QCOMPARE(lines[0].from, CPoint(180, static_cast<int>(m_samples[0][1] * 0.5 - 400)));
    QCOMPARE(lines[10].to, CPoint(static_cast<int>(180 + 11 * 0.5),
                                  static_cast<int>(m_samples[0][11] * 0.5 - 400)));
    QCOMPARE(lines[0].pen, CPen(PS_SOLID, 2, RGB(0, 0, 0)));
    QCOMPARE(x, 180 + 0.5 + 3498 * 0.5);

    // A lead that starts at sample 2501 is shifted right by 1250.5 units.
    ScpLeadSignal late = Span(2501, 5000, 2);
    view.AddLead(late, m_samples[1].data(), 2500);
    dc.Clear();
    x = 180;
    view.PrintTrace(&dc, 2, 100, font, x, -400, 0.5, 0.5, false);
    QCOMPARE(dc.Calls(CRecordedCall::Kind::kLine)[0].from.x, static_cast<int>(180 + 2501 * 0.5));

    // A negative start sample, taken as unsigned, puts the lead kilometres off the page; its
    // coordinates saturate instead of overflowing.
    view.AddLead(Span(-1, 100, 3), m_samples[1].data(), 102);
    dc.Clear();
    x = 180;
    view.PrintTrace(&dc, 3, 100, font, x, -400, 0.5, 0.5, false);
    for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
      QVERIFY(line.from.x > 1000000);
    }
  }

  void AWindowShowsWhatAFullRedrawShowsInTheSamePlace() {
    // The view skips segments far outside the visible area; what it draws in a small image must
    // be pixel for pixel what it draws there in a large one, at the largest zoom.
    TestSignalView view;
    SetUpRhythmLayout(&view, 12, 5000);
    for (int step = 0; step < 5; ++step) {
      view.ZoomIn();
    }
    auto render = [&view](QSize size) {
      QImage image(size, QImage::Format_RGB32);
      image.setDotsPerMeterX(3780);  // 96 dpi
      image.setDotsPerMeterY(3780);
      image.fill(Qt::white);
      CImageDC dc(&image);
      dc.SetMapMode(MM_LOMETRIC);
      dc.SetViewportOrg(-300, -2000);  // scrolled right and down into the traces
      view.DrawLeads(&dc, 12, true, true);
      return image;
    };
    const QImage small = render(QSize(400, 300));
    const QImage large = render(QSize(1200, 900));
    QCOMPARE(small, large.copy(0, 0, 400, 300));

    auto dc = LargeScreen();
    dc->SetMapMode(MM_LOMETRIC);
    dc->IntersectClipRect(0, 0, 2000, -2000);
    view.DrawLeads(dc.get(), 12, false, false);
    QVERIFY(LinesInColour(*dc, kTrace).size() < 12 * 4998 / 4);
  }
};

QTEST_MAIN(SignalViewTest)
#include "SignalViewTest.moc"
