// The printing flow of a view: prepare, begin, pages, end; on a PDF printer, with and without
// the print dialog, and in the print preview.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CPainterDC.h"
#include "framework/CProfile.h"

namespace {

int PdfPageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return -1;
  }
  const QString text = QString::fromLatin1(file.readAll());
  return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

}  // namespace

class PrintFlowTest : public QObject {
  Q_OBJECT

 private:
  // A view of a new document, never shown.
  TestView* MakeView() {
    CDocument* document = m_template->CreateNewDocument();
    CMDIChildWnd* frame = m_template->CreateNewFrame(document);
    m_template->InitialUpdateFrame(frame, document, false);
    m_world->log.clear();
    return static_cast<TestView*>(frame->GetActiveView());
  }

  void UsePdfPrinter(QPrinter* printer, const QString& name) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(m_dir.filePath(name));
  }

  QTemporaryDir m_dir;
  std::unique_ptr<TestWorld> m_world;
  std::unique_ptr<TestApp> m_app;
  std::unique_ptr<CMultiDocTemplate> m_template;

 private slots:
  void init() {
    m_world = std::make_unique<TestWorld>();
    m_app = std::make_unique<TestApp>();
    m_app->SetProfileName(m_dir.filePath(QStringLiteral("profile.ini")));
    m_template = MakeTestTemplate(m_world.get(), QStringLiteral("rhythm"));
  }

  void cleanup() {
    m_template.reset();
    m_app.reset();
  }

  void PrintingToAPdfPrinterRunsPrepareBeginOnePageAndEnd() {
    TestView* view = MakeView();
    view->SetScrollSizes(MM_LOMETRIC, CSize(2000, 2870));
    QPrinter printer(QPrinter::HighResolution);
    UsePdfPrinter(&printer, QStringLiteral("page.pdf"));
    QVERIFY(view->PrintTo(&printer));
    QCOMPARE(m_world->log, (QStringList{QStringLiteral("prepare"), QStringLiteral("begin"),
                                        QStringLiteral("print page 1"),
                                        QStringLiteral("draw printing"), QStringLiteral("end")}));
    QCOMPARE(m_app->printDialogs, 0);
    QCOMPARE(PdfPageCount(printer.outputFileName()), 1);

    // The page area the view is told about is the printable area in its logical units.
    const int widthLometric = printer.widthMM() * 10;
    QVERIFY2(qAbs(view->m_lastPageArea.Width() - widthLometric) <= 10,
             qPrintable(QString::number(view->m_lastPageArea.Width())));
  }

  void AHigherMaximumPagePrintsEveryPage() {
    TestView* view = MakeView();
    view->m_nMaxPage = 3;
    QPrinter printer(QPrinter::HighResolution);
    UsePdfPrinter(&printer, QStringLiteral("pages.pdf"));
    QVERIFY(view->PrintTo(&printer));
    QCOMPARE(m_world->log.filter(QStringLiteral("print page")),
             (QStringList{QStringLiteral("print page 1"), QStringLiteral("print page 2"),
                          QStringLiteral("print page 3")}));
    QCOMPARE(PdfPageCount(printer.outputFileName()), 3);
  }

  void PrintAsksThePrintDialogAndACancelPrintsNothing() {
    TestView* view = MakeView();
    UsePdfPrinter(m_app->GetPrinter(), QStringLiteral("dialog.pdf"));
    m_app->printDialogAnswer = false;
    view->OnFilePrint();
    QCOMPARE(m_app->printDialogs, 1);
    QCOMPARE(m_world->log, QStringList{QStringLiteral("prepare")});
    QVERIFY(!QFile::exists(m_app->GetPrinter()->outputFileName()));

    m_app->printDialogAnswer = true;
    view->OnFilePrint();
    QCOMPARE(m_app->printDialogs, 2);
    QCOMPARE(PdfPageCount(m_app->GetPrinter()->outputFileName()), 1);
  }

  void DirectPrintAsksNothing() {
    TestView* view = MakeView();
    UsePdfPrinter(m_app->GetPrinter(), QStringLiteral("direct.pdf"));
    view->OnFilePrintDirect();
    QCOMPARE(m_app->printDialogs, 0);
    QCOMPARE(PdfPageCount(m_app->GetPrinter()->outputFileName()), 1);
  }

  void PreviewPreparesWithoutADialogAndDrawsThePageAsPrinting() {
    TestView* view = MakeView();
    QTimer closer;  // closes the preview window once it is up
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [] {
      if (QWidget* preview = QApplication::activeModalWidget()) {
        preview->close();
      }
    });
    closer.start(300);
    view->OnFilePrintPreview();
    QCOMPARE(m_app->printDialogs, 0);
    QCOMPARE(m_world->log.first(), QStringLiteral("prepare preview"));
    QVERIFY(m_world->log.contains(QStringLiteral("print page 1")));
    QVERIFY(!m_world->log.contains(QStringLiteral("print page 2")));
    QCOMPARE(m_app->GetProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 0),
             1);
  }

  void AViewThatWasNeverShownDrawsOnAnImage() {
    TestView* view = MakeView();
    QImage page(200, 200, QImage::Format_RGB32);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    page.fill(Qt::white);
    {
      CImageDC dc(&page, true);
      view->OnPrepareDC(&dc);
      view->OnDraw(&dc);
    }
    QVERIFY(!view->isVisible());
    QCOMPARE(page.pixel(100, 100), qRgb(0, 0, 0));
  }
};

QTEST_MAIN(PrintFlowTest)
#include "PrintFlowTest.moc"
