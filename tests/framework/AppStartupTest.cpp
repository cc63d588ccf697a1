// Start-up: the command line, the shell command, and a start that fails.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CCommandLineInfo.h"
#include "framework/CMDIFrameWnd.h"

class AppStartupTest : public QObject {
  Q_OBJECT

 private:
  QString MakeFile(const QString& name) {
    QString path = m_dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("record");
    return path;
  }

  QTemporaryDir m_dir;

 private slots:
  void FlagsAreLeftToTheApplicationAndTheFirstOtherArgumentIsTheFile() {
    CCommandLineInfo open;
    open.ParseArguments({"quillon", "/N", "/Nothing", "rec.scp", "other.scp"});
    QCOMPARE(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    QCOMPARE(open.m_strFileName, QStringLiteral("rec.scp"));

    CCommandLineInfo none;
    none.ParseArguments({"quillon", "/A"});
    QCOMPARE(none.m_nShellCommand, CCommandLineInfo::FileNew);

    CCommandLineInfo absolute;
    absolute.ParseArguments({"quillon", "/N", "/records/rec.scp"});
    QCOMPARE(absolute.m_strFileName, QStringLiteral("/records/rec.scp"));

    CCommandLineInfo print;
    print.ParseArguments({"quillon", "-P", "rec.scp"});
    QCOMPARE(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    QCOMPARE(print.m_strFileName, QStringLiteral("rec.scp"));

    CCommandLineInfo printTo;
    printTo.ParseArguments({"quillon", "/PT", "rec.scp", "Ward 3 Laser", "driver"});
    QCOMPARE(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    QCOMPARE(printTo.m_strFileName, QStringLiteral("rec.scp"));
    QCOMPARE(printTo.m_strPrinterName, QStringLiteral("Ward 3 Laser"));
  }

  void AStartThatFailsEndsWithoutRunningTheEventLoop() {
    class FailingApp : public TestApp {
     public:
      bool InitInstance() override {
        ++m_nStarts;
        return false;
      }
      int m_nStarts = 0;
    };
    FailingApp app;
    QElapsedTimer clock;
    clock.start();
    QTimer loopGuard;  // a loop, if one ran, would end here
    loopGuard.setSingleShot(true);
    QObject::connect(&loopGuard, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    loopGuard.start(5000);
    QCOMPARE(app.Run(), 1);
    QVERIFY(clock.elapsed() < 4000);
    QCOMPARE(app.m_nStarts, 1);
  }

  void AFileThatCannotBeOpenedFailsTheShellCommand() {
    TestWorld world;
    TestApp app;
    app.SetProfileName(m_dir.filePath(QStringLiteral("profile.ini")));
    auto docTemplate = MakeTestTemplate(&world, QStringLiteral("rhythm"));
    app.AddDocTemplate(docTemplate.get());
    CCommandLineInfo info;
    info.ParseArguments({"quillon", m_dir.filePath(QStringLiteral("missing.scp"))});
    QVERIFY(!app.ProcessShellCommand(info));

    CCommandLineInfo readable;
    readable.ParseArguments({"quillon", MakeFile(QStringLiteral("rec.scp"))});
    QVERIFY(app.ProcessShellCommand(readable));
    QCOMPARE(app.GetDocManager()->GetOpenDocumentCount(), 1);
  }

  void WithoutAFileTheStartNeedsAMainWindow() {
    TestApp app;
    CCommandLineInfo info;
    QVERIFY(!app.ProcessShellCommand(info));
    CMDIFrameWnd mainFrame;
    app.m_pMainWnd = &mainFrame;
    QVERIFY(app.ProcessShellCommand(info));
  }

  void TheApplicationOwnsItsMainWindowUntilTheWindowGoes() {
    auto app = std::make_unique<TestApp>();
    app->m_pMainWnd = new CMDIFrameWnd;
    const QPointer<CMDIFrameWnd> kept(app->m_pMainWnd);
    app.reset();
    QVERIFY(kept.isNull());

    TestApp other;
    other.m_pMainWnd = new CMDIFrameWnd;
    delete other.m_pMainWnd;
    QVERIFY(other.m_pMainWnd == nullptr);
  }

  void ThePrintSwitchPrintsWithoutDialogClosesTheFileAndEnds() {
    TestWorld world;
    TestApp app;
    app.SetProfileName(m_dir.filePath(QStringLiteral("profile.ini")));
    auto docTemplate = MakeTestTemplate(&world, QStringLiteral("rhythm"));
    app.AddDocTemplate(docTemplate.get());
    app.GetPrinter()->setOutputFormat(QPrinter::PdfFormat);
    app.GetPrinter()->setOutputFileName(m_dir.filePath(QStringLiteral("printed.pdf")));
    CCommandLineInfo info;
    info.ParseArguments({"quillon", "/p", MakeFile(QStringLiteral("rec.scp"))});
    QVERIFY(!app.ProcessShellCommand(info));
    QVERIFY(world.log.contains(QStringLiteral("print page 1")));
    QCOMPARE(app.printDialogs, 0);
    QVERIFY(QFile::exists(app.GetPrinter()->outputFileName()));
    QCOMPARE(app.GetDocManager()->GetOpenDocumentCount(), 0);
  }
};

QTEST_MAIN(AppStartupTest)
#include "AppStartupTest.moc"
