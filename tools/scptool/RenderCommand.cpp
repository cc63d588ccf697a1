// scptool render: the rhythm or average-beat page of a record, drawn by the same views and print
// code as the program, into a PDF file or a PNG image, without showing a window. The rhythm page
// takes the layout, strip lead, speed, gain and filters of the rhythm window; it is the standard
// page (3x4+1, landscape, 25 mm/s, 10 mm/mV) unless told otherwise.
#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <QSvgGenerator>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/Resources.h"
#include "document/CQuillonDoc.h"
#include "document/DocWindows.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/CPainterDC.h"
#include "framework/CPrintInfo.h"
#include "leads/LeadFilters.h"
#include "leads/LeadTables.h"
#include "resources/ResourceIds.h"
#include "tools/scptool/Commands.h"
#include "views/CAvgView.h"
#include "views/CEcgView.h"
#include "views/CMeasureView.h"
#include "views/CPatientFrame.h"
#include "views/CPatientView.h"
#include "views/RhythmLayout.h"

namespace scptool {

namespace {

constexpr int kDefaultDpi = 300;
constexpr int kMinDpi = 50;
constexpr int kMaxDpi = 1200;
constexpr double kPageMarginMm = 5.0;  // a printer's usual unprintable edge
constexpr double kInchesPerMetre = 1 / 0.0254;

enum class Page { kRhythm, kAverage };
enum class Output { kPdf, kPng, kSvg };

struct RenderOptions {
  std::string file;
  std::string out;
  Page page = Page::kRhythm;
  Output output = Output::kPdf;
  QPageSize::PageSizeId paper = QPageSize::A4;
  bool landscape = false;
  bool orientationGiven = false;  // --landscape or --portrait
  int dpi = kDefaultDpi;
  RhythmLayout layout = kStandardPageLayout;
  uint8_t stripLeadCode = kLeadCodeII;
  double speed = kStandardSpeed;
  double gain = kStandardGain;
  unsigned filters = kLeadFilterNone;
};

// Reads one of the values a choice allows (12.5, 25, 50; 2.5, 5, 10, 20); false for another.
bool ParseChoice(const std::string& text, const double* choices, int count, double* value) {
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') {
    return false;
  }
  for (int i = 0; i < count; ++i) {
    if (parsed == choices[i]) {
      *value = parsed;
      return true;
    }
  }
  return false;
}

// Reads a display lead name (I, II, ..., V6) into its code; false for any other name.
bool ParseLeadName(const std::string& text, uint8_t* code) {
  for (uint8_t candidate : kDisplayLeadCodes) {
    if (LeadLabel(candidate) == text) {
      *code = candidate;
      return true;
    }
  }
  return false;
}

// Reads one of the rhythm page's options and its value; 0, or the exit code after bad usage.
int ParseRhythmOption(const std::string& option, const std::string& value, RenderOptions* options) {
  if (option == "--layout" && !ParseRhythmLayout(value, &options->layout)) {
    return FailUsage("render: --layout is 12x1, 6x2, 3x4, 3x4+1 or 3x4+3, not '" + value + "'");
  }
  if (option == "--rhythm-lead" && !ParseLeadName(value, &options->stripLeadCode)) {
    return FailUsage("render: --rhythm-lead is a lead name (I, II, ... V6), not '" + value + "'");
  }
  if (option == "--speed" && !ParseChoice(value, kSpeeds, kSpeedCount, &options->speed)) {
    return FailUsage("render: --speed is 12.5, 25 or 50 (mm/s), not '" + value + "'");
  }
  if (option == "--gain" && !ParseChoice(value, kGains, kGainCount, &options->gain)) {
    return FailUsage("render: --gain is 2.5, 5, 10 or 20 (mm/mV), not '" + value + "'");
  }
  if (option == "--filter" && !ParseLeadFilters(value, &options->filters)) {
    return FailUsage("render: --filter takes a list of " + LeadFilterNames(kLeadFilterAll));
  }
  return kExitOk;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) {
    return false;
  }
  std::string tail = text.substr(text.size() - suffix.size());
  for (char& c : tail) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return tail == suffix;
}

// Reads the arguments into options; returns 0, or the exit code after reporting bad usage.
int ParseOptions(const Arguments& arguments, RenderOptions* options) {
  bool hasPage = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    const bool rhythmOption = argument == "--layout" || argument == "--rhythm-lead" ||
                              argument == "--speed" || argument == "--gain" ||
                              argument == "--filter";
    if (argument == "--page" || argument == "--out" || argument == "--paper" ||
        argument == "--dpi" || rhythmOption) {
      if (!hasValue) {
        return FailUsage("render: " + argument + " needs a value");
      }
      const std::string& value = arguments[++i];
      if (rhythmOption) {
        if (const int usage = ParseRhythmOption(argument, value, options); usage != kExitOk) {
          return usage;
        }
      } else if (argument == "--page") {
        if (value != "rhythm" && value != "average") {
          return FailUsage("render: --page is rhythm or average, not '" + value + "'");
        }
        options->page = value == "rhythm" ? Page::kRhythm : Page::kAverage;
        hasPage = true;
      } else if (argument == "--out") {
        options->out = value;
      } else if (argument == "--paper") {
        if (value != "a4" && value != "letter") {
          return FailUsage("render: --paper is a4 or letter, not '" + value + "'");
        }
        options->paper = value == "a4" ? QPageSize::A4 : QPageSize::Letter;
      } else {
        char* end = nullptr;
        const long dpi = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || dpi < kMinDpi || dpi > kMaxDpi) {
          return FailUsage("render: --dpi is a whole number from " + std::to_string(kMinDpi) +
                           " to " + std::to_string(kMaxDpi));
        }
        options->dpi = static_cast<int>(dpi);
      }
    } else if (argument == "--landscape" || argument == "--portrait") {
      options->landscape = argument == "--landscape";
      options->orientationGiven = true;
    } else if (!argument.empty() && argument[0] == '-') {
      return FailUsage("render: unknown option '" + argument + "'");
    } else if (options->file.empty()) {
      options->file = argument;
    } else {
      return FailUsage("render: more than one FILE");
    }
  }
  if (options->file.empty() || options->out.empty() || !hasPage) {
    return FailUsage("render needs FILE, --page and --out");
  }
  if (!options->orientationGiven) {
    // A grid page is laid out across a landscape sheet; one lead a row down a portrait one.
    options->landscape = options->page == Page::kRhythm && options->layout != RhythmLayout::k12x1;
  }
  if (EndsWith(options->out, ".pdf")) {
    options->output = Output::kPdf;
  } else if (EndsWith(options->out, ".png")) {
    options->output = Output::kPng;
  } else if (EndsWith(options->out, ".svg")) {
    options->output = Output::kSvg;
  } else {
    return FailUsage("render: --out names a .pdf, .png or .svg file");
  }
  return kExitOk;
}

// Passes on Qt's critical and fatal messages only: its warnings about the desktop session (no
// runtime directory, no display) are not the tool's to report, and stderr stays one line per
// problem of the tool's own.
void ReportSeriousQtMessages(QtMsgType type, const QMessageLogContext& /*context*/,
                             const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "scptool: %s\n", qPrintable(message));
  }
}

}  // namespace

std::unique_ptr<QApplication> StartGui() {
  qInstallMessageHandler(ReportSeriousQtMessages);
  const bool hasDisplay =
      std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
  if (!hasDisplay && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  static int argc = 1;
  static char name[] = "scptool";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

namespace {

// Opens the further windows of a document as the application does, from the same kinds of
// frame and view, but standing alone and never shown.
class HiddenWindowOpener : public IDocWindowOpener {
 public:
  explicit HiddenWindowOpener(Page page)
      : ecgPrimary_(page == Page::kRhythm),
        ecg_(CMultiDocTemplate::Make<CQuillonDoc, CEcgFrame, CEcgView>(kIdrDocument)),
        avg_(CMultiDocTemplate::Make<CQuillonDoc, CAvgFrame, CAvgView>(kIdrDocument)),
        measure_(CMultiDocTemplate::Make<CQuillonDoc, CMeasureFrame, CMeasureView>(kIdrDocument)),
        patient_(CMultiDocTemplate::Make<CQuillonDoc, CPatientFrame, CPatientView>(kIdrDocument)) {}

  // The template the framework would open a file with: the page's own window comes first.
  CMultiDocTemplate* Primary() { return ecgPrimary_ ? ecg_.get() : avg_.get(); }

  bool IsEcgPrimary() const override { return ecgPrimary_; }

  void OpenWindow(CQuillonDoc* doc, DocWindow kind) override {
    CMultiDocTemplate* windowTemplate = nullptr;
    switch (kind) {
      case DocWindow::kRhythm:
        windowTemplate = ecg_.get();
        break;
      case DocWindow::kAverage:
        windowTemplate = avg_.get();
        break;
      case DocWindow::kMeasurements:
        windowTemplate = measure_.get();
        break;
      case DocWindow::kPatient:
        windowTemplate = patient_.get();  // filled from the record: it frames the page
        break;
    }
    if (CMDIChildWnd* frame = windowTemplate->CreateNewFrame(doc)) {
      windowTemplate->InitialUpdateFrame(frame, doc, false);
    }
  }

 private:
  bool ecgPrimary_;
  std::unique_ptr<CMultiDocTemplate> ecg_;
  std::unique_ptr<CMultiDocTemplate> avg_;
  std::unique_ptr<CMultiDocTemplate> measure_;
  std::unique_ptr<CMultiDocTemplate> patient_;
};

// Puts the opener in place for as long as it lives.
class OpenerInstalled {
 public:
  explicit OpenerInstalled(IDocWindowOpener* opener) : previous_(GetDocWindowOpener()) {
    SetDocWindowOpener(opener);
  }
  ~OpenerInstalled() { SetDocWindowOpener(previous_); }
  OpenerInstalled(const OpenerInstalled&) = delete;
  OpenerInstalled& operator=(const OpenerInstalled&) = delete;

 private:
  IDocWindowOpener* previous_;
};

void SetUpPrinter(const RenderOptions& options, QPrinter* printer) {
  printer->setResolution(options.dpi);
  printer->setPageSize(QPageSize(options.paper));
  printer->setPageOrientation(options.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer->setPageMargins(QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                          QPageLayout::Millimeter);
}

// Runs the view's printing of one page onto a device context of the printable area's size.
void PrintOnto(CView* view, CDC* dc, const QSize& printable) {
  CPrintInfo info;
  info.m_bDirect = true;
  info.m_rectDraw = CRect(0, 0, printable.width(), printable.height());
  view->OnBeginPrinting(dc, &info);
  view->OnPrepareDC(dc, &info);
  view->OnPrint(dc, &info);
  view->OnEndPrinting(dc, &info);
}

// The same page as SVG: the whole sheet, with the drawing placed in its printable area.
bool RenderSvg(CView* view, const QPrinter& printer, int dpi, const std::string& out) {
  const QPageLayout layout = printer.pageLayout();
  const QRect printable = layout.paintRectPixels(dpi);
  const QRect sheet = layout.fullRectPixels(dpi);
  QSvgGenerator svg;
  svg.setFileName(QString::fromStdString(out));
  svg.setResolution(dpi);
  svg.setSize(sheet.size());
  svg.setViewBox(QRect(QPoint(0, 0), sheet.size()));
  svg.setTitle("ECG");
  QPainter painter;
  if (!painter.begin(&svg)) {
    return false;
  }
  painter.fillRect(QRect(QPoint(0, 0), sheet.size()), Qt::white);
  painter.translate(printable.topLeft());
  painter.setClipRect(QRect(QPoint(0, 0), printable.size()));
  {
    CPainterDC dc(&painter, true);
    PrintOnto(view, &dc, printable.size());
  }
  return painter.end();
}

// Runs the view's printing of one page on an image of the printer's printable area, and lays
// that on a white sheet of the whole paper, as a printer would.
bool RenderImage(CView* view, const QPrinter& printer, int dpi, const std::string& out) {
  const QPageLayout layout = printer.pageLayout();
  const QRect printable = layout.paintRectPixels(dpi);
  const QRect sheet = layout.fullRectPixels(dpi);
  const int dotsPerMetre = static_cast<int>(std::lround(dpi * kInchesPerMetre));
  QImage area(printable.size(), QImage::Format_RGB32);
  QImage page(sheet.size(), QImage::Format_RGB32);
  if (area.isNull() || page.isNull()) {
    return false;
  }
  for (QImage* image : {&area, &page}) {
    image->setDotsPerMeterX(dotsPerMetre);
    image->setDotsPerMeterY(dotsPerMetre);
    image->fill(Qt::white);
  }
  {
    CImageDC dc(&area, true);
    PrintOnto(view, &dc, printable.size());
  }
  {
    QPainter painter(&page);
    painter.drawImage(printable.topLeft(), area);
  }
  return page.save(QString::fromStdString(out), "PNG");
}

}  // namespace

namespace {

// Draws the page the options ask for; returns the exit code after reporting any problem.
int DrawPage(const RenderOptions& options) {
  SetResourceTable(QuillonResourceTable());
  HiddenWindowOpener opener(options.page);
  const OpenerInstalled installed(&opener);
  auto* doc = dynamic_cast<CQuillonDoc*>(
      opener.Primary()->OpenDocumentFile(QString::fromStdString(options.file), false));
  if (doc == nullptr) {
    return FailOnFile(options.file, "could not be opened as a document");
  }
  CView* view = options.page == Page::kRhythm ? static_cast<CView*>(doc->m_pEcgView)
                                              : static_cast<CView*>(doc->m_pAvgView);
  if (view == nullptr) {
    return FailOnFile(options.file, "has no page of that kind");
  }
  if (options.page == Page::kRhythm) {
    CEcgView* ecg = doc->m_pEcgView;
    ecg->SetSpeedAndGain(options.speed, options.gain);
    ecg->SetLayout(options.layout, options.stripLeadCode);
    ecg->SetFilters(options.filters);
  }

  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(options, &printer);
  bool written = false;
  if (options.output == Output::kPdf) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(options.out));
    written = view->PrintTo(&printer);
  } else if (options.output == Output::kSvg) {
    written = RenderSvg(view, printer, options.dpi, options.out);
  } else {
    written = RenderImage(view, printer, options.dpi, options.out);
  }
  if (!written) {
    return FailOnFile(options.out, "cannot be written");
  }
  return kExitOk;
}

}  // namespace

int RenderRhythmPage(const std::string& file, const std::string& out) {
  RenderOptions options;
  options.file = file;
  options.out = out;
  options.output = EndsWith(out, ".pdf")   ? Output::kPdf
                   : EndsWith(out, ".svg") ? Output::kSvg
                                           : Output::kPng;
  return DrawPage(options);
}

int RunRender(const Arguments& arguments) {
  RenderOptions options;
  if (const int usage = ParseOptions(arguments, &options); usage != kExitOk) {
    return usage;
  }
  if (ReadOrReport(options.file) == nullptr) {
    return kExitUnusable;
  }
  const std::unique_ptr<QApplication> gui = StartGui();
  return DrawPage(options);
}

}  // namespace scptool
