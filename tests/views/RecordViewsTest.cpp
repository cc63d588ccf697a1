// The views over real records opened by the Document: what they take from it, that they register
// themselves, and the average-beat page with and without the measurement block.
#include <QImage>
#include <QtTest>

#include <algorithm>

#include "document/CQuillonDoc.h"
#include "framework/CPainterDC.h"
#include "framework/CRecordingDC.h"
#include "leads/LeadFilters.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CAvgView.h"
#include "views/CEcgView.h"
#include "views/CMeasureView.h"

namespace {

constexpr COLORREF kMarker = RGB(255, 0, 0);

QString Demo() {
  return QStringLiteral(QUILLON_SAMPLES_DIR "/demo.scp");
}
QString Example() {
  return QStringLiteral(QUILLON_SHARED_SAMPLES_DIR "/Example.scp");
}

// A Document with a record open and the three views of this folder, each given its initial
// update as the templates would give it.
struct OpenRecord {
  explicit OpenRecord(const QString& path) {
    opened = doc.OnOpenDocument(path);
    for (CView* view :
         {static_cast<CView*>(&ecg), static_cast<CView*>(&avg), static_cast<CView*>(&measure)}) {
      doc.AddView(view);
      view->OnInitialUpdate();
    }
  }
  CQuillonDoc doc;
  bool opened = false;
  CEcgView ecg;
  CAvgView avg;
  CMeasureView measure;
};

}  // namespace

class RecordViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void TheViewsRegisterThemselvesWithTheDocument() {
    OpenRecord demo(Demo());
    QVERIFY(demo.opened);
    QCOMPARE(demo.doc.m_pEcgView, &demo.ecg);
    QCOMPARE(demo.doc.m_pAvgView, &demo.avg);
    QCOMPARE(demo.doc.m_pMeasureView, &demo.measure);

    // Example.scp has no per-lead measurements: its measurement view stays unregistered.
    OpenRecord example(Example());
    QVERIFY(example.opened);
    QCOMPARE(example.doc.m_pMeasureView, nullptr);
    QCOMPARE(example.measure.m_bHasGlobals, 1);
  }

  void TheDemoRhythmIsSpacedByItsReferenceBeatInterval() {
    // The demo rhythm section states 4000 µs (decimated); its reference beats 2000 µs.
    OpenRecord demo(Demo());
    QCOMPARE(demo.ecg.m_nLeads, 12);
    QCOMPARE(demo.ecg.m_dXScale, 0.5);
    QCOMPARE(demo.ecg.m_dYScale, 0.5);
    QCOMPARE(demo.ecg.m_nPaperWidth, 2660 + 80);  // and 8 mm for the pulses
    QCOMPARE(demo.ecg.m_nPaperHeight, 5000);
    QCOMPARE(int{demo.ecg.m_leads[2].leadCode}, 61);  // III, derived
  }

  void TheDemoBeatsCarryTheRecordsFiducialMarkers() {
    // 800 ms beats at 2000 µs: 400 samples, a span of 401. Fiducials 84, 196, 260, 344, 630 ms.
    OpenRecord demo(Demo());
    QCOMPARE(demo.avg.m_nSamples[0], 401);
    QCOMPARE(demo.avg.m_nPaperWidth, 80 + 4 * 280);
    CRecordingDC dc(80000, 80000, 254, false);
    demo.avg.OnDraw(&dc);
    std::vector<int> markerX;
    for (const CRecordedCall& line : dc.Calls(CRecordedCall::Kind::kLine)) {
      if (line.pen.Color() == kMarker) {
        markerX.push_back(line.from.x);
      }
    }
    QCOMPARE(static_cast<int>(markerX.size()), 12 * 5);
    QCOMPARE(std::vector<int>(markerX.begin(), markerX.begin() + 5),
             (std::vector<int>{80 + 21, 80 + 49, 80 + 65, 80 + 86, 80 + 157}));
  }

  void TheAverageBeatPagePrintsTheMeasurementBlockAboveTheBeats() {
    OpenRecord demo(Demo());
    CRecordingDC page;  // portrait 200 × 287 mm
    demo.avg.PrintPage(&page);
    QCOMPARE(page.TextCalls("69 bpm").size(), size_t{1});
    // The patient frame leaves 78, -253, 1952, -2818; the block takes 1360 units from its top;
    // the first zero line is 20 mm below that.
    QCOMPARE(page.TextCalls("I").back().from, CPoint(78 + 70, -253 - 1360 - 200));
    const CRecordedCall paper = page.Calls(CRecordedCall::Kind::kDots)[0];
    QCOMPARE(paper.rect, CRect(78, -253 - 1360, 1952, -2818));
  }

  void WithoutAMeasurementViewThePageGoesStraightToTheBeats() {
    OpenRecord example(Example());
    CRecordingDC page;
    example.avg.PrintPage(&page);
    QVERIFY(page.TextCalls("HR:").empty());
    QCOMPARE(page.TextCalls("I").back().from, CPoint(78 + 70, -253 - 200));  // inside the frame
  }

  // The footer of a rhythm page says the speed, gain and filters it was drawn at and, when the
  // recording does not fit, which seconds it shows: on a 12x1 page as many as fit after the pulses.
  void ARhythmPagesFooterSaysHowItWasDrawnAndWhatItShows() {
    OpenRecord demo(Demo());
    const auto footerOf = [](const CRecordingDC& page) {
      QString footer;  // the last line the frame draws, clipped to its box
      for (const CRecordedCall& text : page.Calls(CRecordedCall::Kind::kText)) {
        footer = text.options != 0 ? text.text : footer;
      }
      return footer;
    };
    demo.ecg.SetSpeedAndGain(50, 20);
    demo.ecg.SetFilters(kLeadFilterBaseline | kLeadFilterMains50);
    CRecordingDC landscape(2870, 2000);
    demo.ecg.PrintPage(&landscape);  // 3x4+1: 274 mm less 23 mm, 5.03 s at 50 mm/s
    QVERIFY(footerOf(landscape).startsWith("VELMORA 17/05/2024 09:30 50 mm/s 20 mm/mV"));
    QVERIFY(footerOf(landscape).endsWith("Filters: Baseline, 50 Hz  Shows 0.0-5.0 s of 10.0 s"));

    demo.ecg.SetSpeedAndGain(25, 10);
    demo.ecg.SetFilters(kLeadFilterNone);
    demo.ecg.SetPageLayout(RhythmLayout::k12x1);
    CRecordingDC portrait;
    demo.ecg.PrintPage(&portrait);
    // 187.4 mm less the 8 mm margin, the pulse and its gap: 6.85 s, not 7 s running past the frame.
    QVERIFY2(footerOf(portrait).endsWith("Hz  Shows 0.0-6.9 s of 10.0 s"),
             qPrintable(footerOf(portrait)));
    for (const CRecordedCall& line : portrait.Calls(CRecordedCall::Kind::kLine)) {
      QVERIFY(line.pen.Width() != 2 || std::max(line.from.x, line.to.x) <= 1952);
    }

    // The seconds are written with the session's decimal sign.
    ResourceTable comma;
    comma.loadString = [](int id) {
      return id == kIdsDecimalSign        ? QStringLiteral(",")
             : id == kIdsPageSecondsShown ? QStringLiteral("Shows %1-%2 s of %3 s")
                                          : QString();
    };
    SetResourceTable(comma);
    CRecordingDC italianPage;
    demo.ecg.PrintPage(&italianPage);
    InstallViewTestResources();
    QVERIFY2(footerOf(italianPage).endsWith("Shows 0,0-6,9 s of 10,0 s"),
             qPrintable(footerOf(italianPage)));
  }

  void APrintedPageIsWhitePaperWithBlackTracesAndRedMarkers() {
    OpenRecord demo(Demo());
    QImage image(2000, 2870, QImage::Format_RGB32);  // 200 × 287 mm at 254 dpi
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    {
      CImageDC dc(&image, true);
      demo.avg.PrintPage(&dc);
    }
    int black = 0;
    int red = 0;
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = row[x] & 0xFFFFFF;
        black += pixel == 0 ? 1 : 0;
        red += pixel == 0xFF0000 ? 1 : 0;
        const bool grey = qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
        coloured += !grey && pixel != 0xFF0000 ? 1 : 0;
      }
    }
    QVERIFY(black > 50000);  // dots, traces and text
    QVERIFY(red > 1000);     // 60 markers, 10 mm each
    QCOMPARE(coloured, 0);   // only the markers have a colour; text edges may be grey
  }
};

QTEST_MAIN(RecordViewsTest)
#include "RecordViewsTest.moc"
