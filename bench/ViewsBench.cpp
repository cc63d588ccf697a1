// How long the views take to draw: a repaint of the rhythm view (twelve leads of 5000 samples) on
// an image at 96 dpi, at zoom 1 and at the largest zoom, and the rhythm and average-beat pages
// printed to PDF.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "app/Resources.h"
#include "document/CQuillonDoc.h"
#include "framework/CPainterDC.h"
#include "views/CAvgView.h"
#include "views/CEcgView.h"
#include "views/RhythmLayout.h"

namespace {

constexpr int kScreenDotsPerMetre = 3780;  // 96 dpi
constexpr int kWindowWidth = 1600;         // a maximised window on a common screen, in pixels
constexpr int kWindowHeight = 1000;

// The demo record open in a Document with its rhythm and average-beat views set up.
struct DemoViews {
  DemoViews() {
    doc.OnOpenDocument(QStringLiteral(QUILLON_SAMPLES_DIR "/demo.scp"));
    for (CView* view : {static_cast<CView*>(&ecg), static_cast<CView*>(&avg)}) {
      doc.AddView(view);
      view->resize(kWindowWidth, kWindowHeight);
      // Laid out as a shown window is, so that the view's client area is the window's.
      view->setAttribute(Qt::WA_DontShowOnScreen);
      view->show();
      view->OnInitialUpdate();
    }
  }
  CQuillonDoc doc;
  CEcgView ecg;
  CAvgView avg;
};

// Made on first use and released at the end of main, while the application still exists.
std::unique_ptr<DemoViews>& DemoSlot() {
  static std::unique_ptr<DemoViews> demo;
  return demo;
}

DemoViews& Demo() {
  if (!DemoSlot()) {
    DemoSlot() = std::make_unique<DemoViews>();
  }
  return *DemoSlot();
}

QImage ScreenImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(kScreenDotsPerMetre);
  image.setDotsPerMeterY(kScreenDotsPerMetre);
  return image;
}

// Repaints the rhythm view on an image of the given size, scrolled to the given device pixel,
// as a paint of the view's window does, in the given layout.
void Repaint(benchmark::State& state, int zoomSteps, QSize size, QPoint scroll,
             RhythmLayout layout = RhythmLayout::k12x1) {
  CEcgView& view = Demo().ecg;
  view.SetLayout(layout, kLeadCodeII);
  view.SetZoom(1.0, 1.0);
  for (int step = 0; step < zoomSteps; ++step) {
    view.ZoomIn();
  }
  QImage image = ScreenImage(size.width(), size.height());
  image.fill(Qt::white);  // what the view leaves outside its client area stays defined
  for ([[maybe_unused]] auto _ : state) {
    CImageDC dc(&image);
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetViewportOrg(-scroll.x(), -scroll.y());
    view.OnDraw(&dc);
  }
  state.counters["zoom"] = view.m_dZoomX;
  // With QUILLON_BENCH_IMAGES naming a folder, the last repaint is kept there as a PNG (and each
  // page as a PDF below), so that two builds can be compared pixel for pixel.
  if (const char* folder = std::getenv("QUILLON_BENCH_IMAGES")) {
    image.save(
        QStringLiteral("%1/repaint-%2-zoom%3-%4x%5.png")
            .arg(QString::fromLocal8Bit(folder), QString::fromLatin1(RhythmLayoutName(layout)))
            .arg(zoomSteps)
            .arg(size.width())
            .arg(size.height()));
  }
}

// Zoom 1: the whole paper (266 × 500 mm, about 1005 × 1890 pixels) on one image.
void BM_RhythmRepaintWholePaperZoom1(benchmark::State& state) {
  Repaint(state, 0, QSize(1010, 1900), QPoint(0, 0));
}
BENCHMARK(BM_RhythmRepaintWholePaperZoom1)->Unit(benchmark::kMillisecond);

// Zoom 1: a window's worth at the top left.
void BM_RhythmRepaintWindowZoom1(benchmark::State& state) {
  Repaint(state, 0, QSize(kWindowWidth, kWindowHeight), QPoint(0, 0));
}
BENCHMARK(BM_RhythmRepaintWindowZoom1)->Unit(benchmark::kMillisecond);

// Zoom 1: a window's worth at the top left, in each layout.
void BM_RhythmRepaintWindowZoom1InLayout(benchmark::State& state) {
  const auto layout = static_cast<RhythmLayout>(state.range(0));
  Repaint(state, 0, QSize(kWindowWidth, kWindowHeight), QPoint(0, 0), layout);
  state.SetLabel(RhythmLayoutName(layout));
}
BENCHMARK(BM_RhythmRepaintWindowZoom1InLayout)
    ->DenseRange(0, kRhythmLayoutCount - 1)
    ->Unit(benchmark::kMillisecond);

// The largest zoom (1.4^5): a window's worth in the middle of the paper.
void BM_RhythmRepaintWindowLargestZoom(benchmark::State& state) {
  Repaint(state, 5, QSize(kWindowWidth, kWindowHeight), QPoint(2000, 4000));
}
BENCHMARK(BM_RhythmRepaintWindowLargestZoom)->Unit(benchmark::kMillisecond);

void PrintToPdf(benchmark::State& state, CView* view, const char* name, bool landscape = false) {
  QTemporaryDir directory;
  for ([[maybe_unused]] auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(directory.filePath("page.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (!view->PrintTo(&printer)) {
      state.SkipWithError("the page could not be printed");
    }
  }
  state.counters["bytes"] = static_cast<double>(QFileInfo(directory.filePath("page.pdf")).size());
  if (const char* folder = std::getenv("QUILLON_BENCH_IMAGES")) {
    const QString kept = QStringLiteral("%1/%2.pdf").arg(QString::fromLocal8Bit(folder), name);
    QFile::remove(kept);
    QFile::copy(directory.filePath("page.pdf"), kept);
  }
}

// The 12x1 portrait page, as before the standard page.
void BM_RhythmPageToPdf(benchmark::State& state) {
  Demo().ecg.SetLayout(RhythmLayout::k12x1, kLeadCodeII);
  PrintToPdf(state, &Demo().ecg, "rhythm-page-12x1");
}
BENCHMARK(BM_RhythmPageToPdf)->Unit(benchmark::kMillisecond);

// The standard page: 3x4+1 on landscape A4.
void BM_StandardRhythmPageToPdf(benchmark::State& state) {
  Demo().ecg.SetLayout(RhythmLayout::k3x4Plus1, kLeadCodeII);
  PrintToPdf(state, &Demo().ecg, "rhythm-page-3x4+1", true);
}
BENCHMARK(BM_StandardRhythmPageToPdf)->Unit(benchmark::kMillisecond);

void BM_AverageBeatPageToPdf(benchmark::State& state) {
  PrintToPdf(state, &Demo().avg, "average-beat-page");
}
BENCHMARK(BM_AverageBeatPageToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  SetResourceTable(QuillonResourceTable());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  DemoSlot().reset();
  return 0;
}
