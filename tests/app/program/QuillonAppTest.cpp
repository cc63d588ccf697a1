// The program with its real main window: the switches and the windows they make, tiling, closing,
// read-only use, opening files again and together, the recent files, the status bar, messages,
// help and the print switches.
#include <unistd.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/Resources.h"
#include "app/StringTable.h"
#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/CRecentFileList.h"
#include "framework/CStatusBar.h"
#include "framework/FrameworkConstants.h"
#include "framework/LockKeys.h"
#include "resources/ResourceIds.h"

namespace {

QString Demo() {
  return QStringLiteral(QUILLON_SAMPLES_DIR "/demo.scp");
}
QString Example() {
  return QStringLiteral(QUILLON_SHARED_SAMPLES_DIR "/Example.scp");
}

// What `run` writes to standard error, caught in a temporary file.
template <class Run>
QString StandardErrorOf(Run run) {
  QTemporaryFile caught;
  if (!caught.open()) {
    return QStringLiteral("standard error not caught");
  }
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  dup2(caught.handle(), STDERR_FILENO);
  run();
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  caught.seek(0);
  return QString::fromLocal8Bit(caught.readAll());
}

// The application with the person's answers given by the test.
class TestQuillonApp : public CQuillonApp {
 public:
  int DoMessageBox(const QString& prompt, UINT /*type*/) override {
    prompts << prompt;
    cursorUnderBox << (QGuiApplication::overrideCursor() != nullptr);
    return answer;
  }
  bool DoPromptFileName(QString* /*fileName*/, const QString& /*title*/, bool /*open*/,
                        CMultiDocTemplate* /*docTemplate*/) override {
    return false;
  }

  QStringList prompts;
  QList<bool> cursorUnderBox;
  int answer = IDNO;
};

QStringList Captions(const std::vector<CMDIChildWnd*>& frames) {
  QStringList captions;
  for (CMDIChildWnd* frame : frames) {
    captions << frame->windowTitle();
  }
  return captions;
}

// The windows of the program, oldest first.
std::vector<CMDIChildWnd*> Frames(const CQuillonApp& app) {
  return app.m_pMainWnd->GetChildFrames();
}

}  // namespace

class QuillonAppTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

  std::unique_ptr<TestQuillonApp> Start(const QStringList& arguments) {
    auto app = std::make_unique<TestQuillonApp>();
    app->SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    app->SetCommandLine(QStringList{QStringLiteral("quillon")} + arguments);
    if (!app->InitInstance()) {
      return nullptr;
    }
    return app;
  }

  QString Copy(const QString& from, const QString& name) {
    QString to = m_dir.filePath(name);
    QFile::remove(to);
    QFile::copy(from, to);
    return to;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    ForceUiLanguage(UiLanguage::kEnglish);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SetResourceTable(QuillonResourceTable());
  }

  void cleanup() { QFile::remove(m_dir.filePath(QStringLiteral("quillon.ini"))); }

  void SwitchesChooseTheFirstWindowAndWhichOneIsLarge_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("large");  // empty: every window tiled
    QTest::addColumn<QString>("active");
    QTest::addColumn<bool>("editing");
    QTest::newRow("none") << QStringList() << QString() << "ECG" << true;
    QTest::newRow("/A") << QStringList{"/A"} << "AVG"
                        << "AVG" << true;
    QTest::newRow("/B") << QStringList{"/B"} << "ECG"
                        << "ECG" << true;
    QTest::newRow("/C") << QStringList{"/C"} << "MEASUREMENT"
                        << "ECG" << true;
    QTest::newRow("/D") << QStringList{"/D"} << "EXAM DATA"
                        << "ECG" << true;
    QTest::newRow("/A then /B") << QStringList{"/A", "/B"} << "ECG"
                                << "AVG" << true;
    QTest::newRow("/Nothing") << QStringList{"/Nothing"} << QString() << "ECG" << false;
    QTest::newRow("/n and -N") << QStringList{"/n", "-N"} << QString() << "ECG" << true;
  }
  void SwitchesChooseTheFirstWindowAndWhichOneIsLarge() {
    QFETCH(QStringList, switches);
    QFETCH(QString, large);
    QFETCH(QString, active);
    QFETCH(bool, editing);
    const auto app = Start(switches + QStringList{Demo()});
    QVERIFY(app != nullptr);
    QCOMPARE(app->m_bEditingAllowed, editing);
    const std::vector<CMDIChildWnd*> frames = Frames(*app);
    QStringList captions = Captions(frames);
    captions.sort();
    QCOMPARE(captions, (QStringList{"AVG", "ECG", "EXAM DATA", "MEASUREMENT"}));
    QCOMPARE(app->m_pMainWnd->MDIGetActive()->windowTitle(), active);

    const QRect area = app->m_pMainWnd->MdiArea()->viewport()->rect();
    for (CMDIChildWnd* frame : frames) {
      const QString caption = frame->windowTitle();
      QVERIFY2(!frame->isMaximized(), qPrintable(caption));
      if (large.isEmpty()) {
        QVERIFY2(!frame->isMinimized(), qPrintable(caption));
        QCOMPARE(frame->width(), area.width() / 2);  // four windows: two columns of two
      } else if (caption == large) {
        QVERIFY(!frame->isMinimized());
        QCOMPARE(frame->width(), area.width());
        QVERIFY(frame->height() > area.height() / 2);
      } else {
        QVERIFY2(frame->isMinimized(), qPrintable(caption));
      }
    }
  }

  // An argument that is a path, or names an existing file, is never read as a switch.
  void APathOrAnExistingFileIsNeverASwitch_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("isSwitch");
    QTest::newRow("switch /D") << QStringLiteral("/D") << true;
    QTest::newRow("absolute path from /D") << QStringLiteral("/Data/ecg/rec.scp") << false;
    QTest::newRow("absolute path from /N") << QStringLiteral("/NAS/rec.scp") << false;
    QTest::newRow("existing file named -N") << QStringLiteral("-N") << false;
  }
  void APathOrAnExistingFileIsNeverASwitch() {
    QFETCH(QString, argument);
    QFETCH(bool, isSwitch);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile existing(QStringLiteral("-N"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    CQuillonApp app;
    app.ParseSwitches({QStringLiteral("quillon"), argument});
    const bool switched = !app.m_bEditingAllowed || app.m_dwEcgFrameStyle != WS_MAXIMIZE;
    QFile::remove(QStringLiteral("-N"));
    QDir::setCurrent(previous);
    QCOMPARE(switched, isSwitch);
  }

  void TilingPlacesWindowsInColumns_data() {
    QTest::addColumn<int>("windows");
    QTest::addColumn<int>("columns");
    QTest::newRow("2") << 2 << 2;
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("4") << 4 << 2;
    QTest::newRow("8") << 8 << 4;
  }
  void TilingPlacesWindowsInColumns() {
    QFETCH(int, windows);
    QFETCH(int, columns);
    CMainFrame frame;
    QCOMPARE(frame.OnCreate(), 0);
    frame.resize(800, 600);
    frame.show();
    for (int index = 0; index < windows; ++index) {
      auto* child = new CMDIChildWnd;
      child->Create(QStringLiteral("W%1").arg(index), WS_MAXIMIZE, &frame);
      child->ActivateFrame();
    }
    frame.MDITile(MDITILE_VERTICAL);
    const QRect area = frame.MdiArea()->viewport()->rect();
    QSet<int> lefts;
    for (CMDIChildWnd* child : frame.GetChildFrames()) {
      QVERIFY(!child->isMaximized());
      QCOMPARE(child->width(), area.width() / columns);
      lefts << child->x();
    }
    QCOMPARE(lefts.size(), columns);
  }

  void CloseBoxesAreIgnoredAndFileCloseClosesTheRecordsWindows() {
    const auto app = Start({Demo()});
    QVERIFY(app != nullptr);
    for (CMDIChildWnd* frame : Frames(*app)) {
      frame->close();
    }
    QCoreApplication::processEvents();
    QCOMPARE(Frames(*app).size(), size_t{4});

    app->OpenDocumentFile(Example());
    QVERIFY(Frames(*app).size() > size_t{4});
    QVERIFY(app->m_pMainWnd->RouteCommand(ID_FILE_CLOSE));
    QStringList left = Captions(Frames(*app));
    left.sort();
    QCOMPARE(left, (QStringList{"AVG", "ECG", "EXAM DATA", "MEASUREMENT"}));
    QCOMPARE(app->GetDocManager()->GetOpenDocumentCount(), 1);
  }

  void ReadOnlyUseGreysOpenAndSaveButNotSaveAs() {
    for (const bool readOnly : {true, false}) {
      const auto app = Start(readOnly ? QStringList{"/N", Demo()} : QStringList{Demo()});
      QVERIFY(app != nullptr);
      CMDIFrameWnd* frame = app->m_pMainWnd;
      frame->UpdateCommandUI();
      QCOMPARE(frame->CommandAction(ID_FILE_OPEN)->isEnabled(), !readOnly);
      QCOMPARE(frame->CommandAction(ID_FILE_SAVE)->isEnabled(), !readOnly);
      QVERIFY(frame->CommandAction(ID_FILE_SAVE_AS)->isEnabled());
      for (CMDIChildWnd* child : Frames(*app)) {
        if (child->windowTitle() == QStringLiteral("EXAM DATA")) {
          const QList<QLineEdit*> edits = child->findChildren<QLineEdit*>();
          QCOMPARE(std::any_of(edits.begin(), edits.end(),
                               [](QLineEdit* edit) { return edit->isEnabled(); }),
                   !readOnly);
        }
      }
    }
  }

  void OpeningAgainActivatesAndTwoRecordsTileTogether() {
    const QString first = Copy(Demo(), QStringLiteral("a.scp"));
    const QString second = Copy(Demo(), QStringLiteral("b.scp"));
    const auto app = Start({first});
    QVERIFY(app != nullptr);
    CDocument* document = app->m_pMainWnd->MDIGetActive()->GetActiveDocument();
    QCOMPARE(app->OpenDocumentFile(second) != document, true);
    QCOMPARE(Frames(*app).size(), size_t{8});
    const QRect area = app->m_pMainWnd->MdiArea()->viewport()->rect();
    for (CMDIChildWnd* frame : Frames(*app)) {
      QVERIFY(!frame->isMaximized() && !frame->isMinimized());
      QCOMPARE(frame->width(), area.width() / 4);  // eight windows: four columns of two
    }
    // The Window menu lists both patient forms under their one caption.
    QMenu* windowMenu = app->m_pMainWnd->menuBar()->actions()[1]->menu();
    emit windowMenu->aboutToShow();
    QStringList listed;
    for (QAction* entry : windowMenu->actions()) {
      if (entry->text().endsWith(QStringLiteral("EXAM DATA"))) {
        listed << entry->text();
      }
    }
    QCOMPARE(listed, (QStringList{"&4 EXAM DATA", "&8 EXAM DATA"}));
    QCOMPARE(app->OpenDocumentFile(first), document);
    QCOMPARE(app->GetDocManager()->GetOpenDocumentCount(), 2);
    QCOMPARE(app->m_pMainWnd->MDIGetActive()->GetActiveDocument(), document);
  }

  void ThePatientPaneShowsTheLastRecordOpenedEvenAfterItCloses() {
    const auto app = Start({Demo()});
    QVERIFY(app != nullptr);
    CDocument* demo = app->m_pMainWnd->MDIGetActive()->GetActiveDocument();
    const QString demoText = app->GetMainFrame()->m_strPatientText;
    QVERIFY(!demoText.trimmed().isEmpty());
    app->OpenDocumentFile(Example());
    const QString exampleText = app->GetMainFrame()->m_strPatientText;
    QVERIFY(exampleText != demoText);
    QVERIFY(app->m_pMainWnd->MDIGetActive()->GetActiveDocument() != demo);
    QVERIFY(app->m_pMainWnd->RouteCommand(ID_FILE_CLOSE));
    app->m_pMainWnd->UpdateCommandUI();
    CStatusBar* bar = app->m_pMainWnd->GetStatusBar();
    QCOMPARE(bar->GetPaneText(bar->CommandToIndex(kIdsPatientPane)), exampleText);
  }

  void TheRecentFileListKeepsFourAndDroppedFilesOpen() {
    const auto app = Start({});
    QVERIFY(app != nullptr);
    QVERIFY(app->m_pMainWnd->acceptDrops());
    QStringList dropped;
    for (const char* name : {"1.scp", "2.scp", "3.scp", "4.scp", "5.scp"}) {
      dropped << Copy(Demo(), QString::fromLatin1(name));
    }
    app->m_pMainWnd->OnDropFiles(dropped);
    QCOMPARE(app->GetDocManager()->GetOpenDocumentCount(), 5);
    QCOMPARE(app->GetRecentFileList()->GetCount(), 4);
    QCOMPARE(QFileInfo(app->GetRecentFileList()->GetPath(0)).fileName(), QStringLiteral("5.scp"));
  }

  void ExitAsksToSaveEachChangedRecord() {
    const auto app = Start({Copy(Demo(), QStringLiteral("a.scp"))});
    QVERIFY(app != nullptr);
    app->OpenDocumentFile(Copy(Demo(), QStringLiteral("b.scp")));
    for (CDocument* document : app->GetDocManager()->GetTemplates().front()->GetDocuments()) {
      document->SetModifiedFlag(true);
    }
    app->answer = IDCANCEL;
    app->OnCmdMsg(ID_APP_EXIT);
    QCOMPARE(app->prompts.size(), 1);
    QVERIFY(app->m_pMainWnd != nullptr);  // cancelled: the program goes on

    app->answer = IDNO;
    const QPointer<CMDIFrameWnd> frame(app->m_pMainWnd);
    app->OnCmdMsg(ID_APP_EXIT);
    QCOMPARE(app->prompts.size(), 3);  // once more for each of the two records
    QCOMPARE(app->prompts.last(), QStringLiteral("Save changes to b.scp?"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(frame.isNull());
  }

  void TheMainWindowHasItsBarsMenusAndShortcuts() {
    const auto app = Start({});
    QVERIFY(app != nullptr);
    CMainFrame* frame = app->GetMainFrame();
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon"));
    const QList<QAction*> buttons = frame->GetToolBar()->actions();
    QCOMPARE(buttons.size(), 5);
    QVERIFY(buttons[2]->isSeparator());
    for (QAction* button : {buttons[0], buttons[1], buttons[3], buttons[4]}) {
      QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(buttons[0]->toolTip(), QStringLiteral("Open"));
    QCOMPARE(buttons[4]->statusTip(), QStringLiteral("View print preview"));

    CStatusBar* bar = frame->GetStatusBar();
    QCOMPARE(bar->GetCount(), 4);
    QCOMPARE(bar->GetItemID(3), kIdsPatientPane);
    frame->SetPatientText(QStringLiteral("ROSSI MARIO 05/06/1998"));
    frame->UpdateCommandUI();
    QCOMPARE(bar->GetPaneText(3), QStringLiteral("ROSSI MARIO 05/06/1998"));

    const auto titles = [frame] {
      QStringList texts;
      for (QAction* menu : frame->menuBar()->actions()) {
        texts << menu->text();
      }
      return texts;
    };
    QCOMPARE(titles(), (QStringList{"&File", "&?"}));
    app->OpenDocumentFile(Demo());
    frame->UpdateCommandUI();
    QCOMPARE(titles(), (QStringList{"&File", "&Window", "&?"}));
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon - demo.scp"));

    QCOMPARE(frame->CommandAction(ID_FILE_OPEN)->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(frame->CommandAction(ID_APP_EXIT)->text(), QStringLiteral("&Exit"));
    QVERIFY(!frame->CommandAction(kCmdZoomIn)->shortcuts().isEmpty());
    frame->CommandAction(ID_HELP)->trigger();
    auto* guide = frame->findChild<QMessageBox*>();
    QVERIFY(guide != nullptr && guide->isVisible());
    QVERIFY(guide->text().contains(QStringLiteral("/PT FILE PRINTER")));
  }

  // Each key lit alone lights its own pane: CAP, NUM and SCRL, left to right.
  void TheLockKeyPanesShowCapNumAndScrlInThisOrder() {
    const auto app = Start({});
    QVERIFY(app != nullptr);
    CMainFrame* frame = app->GetMainFrame();
    CStatusBar* bar = frame->GetStatusBar();
    const std::pair<LockKeySource, QStringList> cases[] = {
        {[] {
           return LockKeyState{true, true, false, false};
         },
         {"CAP", "", ""}},
        {[] {
           return LockKeyState{true, false, true, false};
         },
         {"", "NUM", ""}},
        {[] {
           return LockKeyState{true, false, false, true};
         },
         {"", "", "SCRL"}},
    };
    for (const auto& [source, texts] : cases) {
      SetLockKeySource(source);
      frame->UpdateCommandUI();
      SetLockKeySource(nullptr);
      QCOMPARE((QStringList{bar->GetPaneText(0), bar->GetPaneText(1), bar->GetPaneText(2)}), texts);
    }
  }

  void TheAboutBoxNamesTheProgramAndClosesWithOk() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Information on Quillon..."));
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
      return label->text() == QStringLiteral("Quillon 2.0");
    }));
    auto* ok = about.findChild<QPushButton*>();
    QVERIFY(ok != nullptr && ok->geometry().right() < about.width());
    ok->click();
    QCOMPARE(about.result(), int{QDialog::Accepted});
  }

  void AFileThatCannotBeReadIsShownWithoutTheWaitCursor() {
    const auto app = Start({});
    QVERIFY(app != nullptr);
    const QString broken = m_dir.filePath(QStringLiteral("broken.scp"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a record");
    file.close();
    QVERIFY(app->OpenDocumentFile(broken) == nullptr);
    QCOMPARE(app->prompts.size(), 1);
    QVERIFY(app->prompts.first().contains(QStringLiteral("broken.scp")));
    QCOMPARE(app->cursorUnderBox, QList<bool>{false});
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
  }

  void ThePrintSwitchesEndWithAnHonestStatus() {
    const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
    TestQuillonApp printed;
    printed.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    printed.SetCommandLine({"quillon", "/P", Demo()});
    printed.GetPrinter()->setOutputFormat(QPrinter::PdfFormat);
    printed.GetPrinter()->setOutputFileName(pdf);
    QCOMPARE(printed.Run(), 0);
    QVERIFY(QFileInfo(pdf).size() > 0);
    QCOMPARE(printed.GetDocManager()->GetOpenDocumentCount(), 0);
    QVERIFY(printed.prompts.isEmpty());

    TestQuillonApp unknownPrinter;
    unknownPrinter.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    unknownPrinter.SetCommandLine({"quillon", "/PT", Demo(), "No Such Printer"});
    QCOMPARE(unknownPrinter.Run(), 1);

    TestQuillonApp unwritable;
    unwritable.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    unwritable.SetCommandLine({"quillon", "/P", Demo()});
    unwritable.GetPrinter()->setOutputFormat(QPrinter::PdfFormat);
    unwritable.GetPrinter()->setOutputFileName(m_dir.filePath(QStringLiteral("no/such/dir.pdf")));
    QCOMPARE(unwritable.Run(), 1);
    QVERIFY(unwritable.prompts.isEmpty());  // said on standard error, not in a box

    const QString broken = m_dir.filePath(QStringLiteral("unreadable.scp"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a record");
    file.close();
    TestQuillonApp unreadable;
    unreadable.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    unreadable.SetCommandLine({"quillon", "/P", broken});
    int status = -1;
    const QString said = StandardErrorOf([&] { status = unreadable.Run(); });
    QCOMPARE(status, 1);
    QVERIFY(unreadable.prompts.isEmpty());
    QVERIFY2(said.contains(QStringLiteral("unreadable.scp: not printed")), qPrintable(said));
  }
};

QTEST_MAIN(QuillonAppTest)
#include "QuillonAppTest.moc"
