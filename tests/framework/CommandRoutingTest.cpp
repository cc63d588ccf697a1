// Commands: who handles them, in which order, and what their state-update handlers decide.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CStatusBar.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kCmdProbe = kCmdZoomIn;  // a command no framework class handles
constexpr int kPanePatient = kIdsPatientPane;

// A handler of the probe command that writes who handled it into the log.
std::function<void()> Logger(QStringList* log, const QString& who) {
  return [log, who] { *log << who; };
}

class RoutedView : public TestView {
 public:
  RoutedView(TestWorld* world, bool handles) : TestView(world, QStringLiteral("routed")) {
    if (handles) {
      OnCommand(kCmdProbe, Logger(&world->log, QStringLiteral("view")));
    }
  }
};

class RoutedDocument : public TestDocument {
 public:
  explicit RoutedDocument(TestWorld* world) : TestDocument(world) {
    OnCommand(kCmdProbe, Logger(&world->log, QStringLiteral("document")));
  }
};

class RoutedMainFrame : public CMDIFrameWnd {
 public:
  explicit RoutedMainFrame(TestWorld* world) {
    OnCommand(kCmdProbe, Logger(&world->log, QStringLiteral("main frame")));
    OnUpdateCommandUI(kPanePatient, [this](CCmdUI* cmdUI) {
      cmdUI->Enable(true);
      cmdUI->SetText(m_strPatientText);
    });
  }
  QString m_strPatientText;
};

}  // namespace

class CommandRoutingTest : public QObject {
  Q_OBJECT

 private:
  CMDIChildWnd* OpenWindow(bool viewHandles) {
    auto docTemplate = std::make_unique<CMultiDocTemplate>(
        129, [this] { return std::make_unique<RoutedDocument>(m_world.get()); },
        [] { return new CMDIChildWnd; },
        [this, viewHandles] { return new RoutedView(m_world.get(), viewHandles); });
    CDocument* document = docTemplate->CreateNewDocument();
    CMDIChildWnd* frame = docTemplate->CreateNewFrame(document);
    docTemplate->InitialUpdateFrame(frame, document);
    m_templates.push_back(std::move(docTemplate));
    return frame;
  }

  std::unique_ptr<TestWorld> m_world;
  std::unique_ptr<TestApp> m_app;
  std::vector<std::unique_ptr<CMultiDocTemplate>> m_templates;
  RoutedMainFrame* m_mainFrame = nullptr;
  QTemporaryDir m_dir;

 private slots:
  void init() {
    m_world = std::make_unique<TestWorld>();
    m_app = std::make_unique<TestApp>();
    m_app->SetProfileName(m_dir.filePath(QStringLiteral("profile.ini")));
    m_app->LoadStdProfileSettings(4);
    m_mainFrame = new RoutedMainFrame(m_world.get());
    m_app->m_pMainWnd = m_mainFrame;
    m_mainFrame->show();
  }

  void cleanup() {
    m_templates.clear();
    delete m_mainFrame;
    m_app.reset();
  }

  void ACommandGoesToTheActiveViewBeforeItsDocumentAndTheFrames() {
    OpenWindow(true);
    QVERIFY(m_mainFrame->RouteCommand(kCmdProbe));
    QCOMPARE(m_world->log.last(), QStringLiteral("view"));

    OpenWindow(false);  // now active: its view leaves the command to its document
    QVERIFY(m_mainFrame->RouteCommand(kCmdProbe));
    QCOMPARE(m_world->log.last(), QStringLiteral("document"));
  }

  void WithoutADocumentWindowTheMainFrameAndTheApplicationHandleCommands() {
    QVERIFY(m_mainFrame->RouteCommand(kCmdProbe));
    QCOMPARE(m_world->log.last(), QStringLiteral("main frame"));
    QVERIFY(!m_mainFrame->RouteCommand(ID_FILE_NEW));  // nobody handles New
  }

  void ACommandNobodyHandlesIsDisabledAndAHandledOneEnabled() {
    QAction* newFile = m_mainFrame->CommandAction(ID_FILE_NEW);
    QAction* probe = m_mainFrame->CommandAction(kCmdProbe);
    QAction* print = m_mainFrame->CommandAction(ID_FILE_PRINT);
    m_mainFrame->UpdateCommandUI();
    QVERIFY(!newFile->isEnabled());
    QVERIFY(probe->isEnabled());
    QVERIFY(!print->isEnabled());  // no view that prints is active

    OpenWindow(true);
    m_mainFrame->UpdateCommandUI();
    QVERIFY(print->isEnabled());
  }

  void AStateUpdateHandlerAnywhereInTheChainDecides() {
    class StrictApp : public TestApp {
     public:
      StrictApp() {
        OnUpdateCommandUI(ID_FILE_SAVE, [this](CCmdUI* cmdUI) { cmdUI->Enable(m_bEditing); });
      }
      bool m_bEditing = false;
    };
    m_app->m_pMainWnd = nullptr;  // the main window stays with the test
    m_app.reset();
    auto app = std::make_unique<StrictApp>();
    app->m_pMainWnd = m_mainFrame;
    StrictApp* strict = app.get();
    m_app = std::move(app);

    OpenWindow(true);  // its document handles File Save
    QAction* save = m_mainFrame->CommandAction(ID_FILE_SAVE);
    m_mainFrame->UpdateCommandUI();
    QVERIFY(!save->isEnabled());
    strict->m_bEditing = true;
    m_mainFrame->UpdateCommandUI();
    QVERIFY(save->isEnabled());
  }

  void StatusPanesShowWhatTheirUpdateHandlersSay() {
    CStatusBar* bar = m_mainFrame->GetStatusBar();
    bar->SetIndicators(
        {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL, kPanePatient});
    QCOMPARE(bar->GetCount(), 4);
    QCOMPARE(bar->CommandToIndex(kPanePatient), 3);
    bar->SetPaneInfo(3, kPanePatient, SBPS_NOBORDERS, 400);
    bar->SetPaneText(0, QStringLiteral("MA"));
    m_mainFrame->m_strPatientText = QStringLiteral("SMITH JOHN 05/06/1998");
    m_mainFrame->UpdateCommandUI();
    QCOMPARE(bar->GetPaneText(3), QStringLiteral("SMITH JOHN 05/06/1998"));
    QCOMPARE(bar->GetPaneText(0), QString());  // the lock state cannot be read: blank
  }

  void MenusFollowWhetherADocumentWindowIsActive() {
    QMenu noDocument(QStringLiteral("&File"));
    QMenu document(QStringLiteral("&Window"));
    m_mainFrame->SetMenus({&noDocument}, {&noDocument, &document});
    QCOMPARE(m_mainFrame->menuBar()->actions().size(), 1);
    CMDIChildWnd* frame = OpenWindow(false);
    m_mainFrame->UpdateCommandUI();
    QCOMPARE(m_mainFrame->menuBar()->actions().size(), 2);
    frame->GetActiveDocument()->OnCloseDocument();
    m_mainFrame->UpdateCommandUI();
    QCOMPARE(m_mainFrame->menuBar()->actions().size(), 1);
  }

  void RecentFileEntriesShowShortNamesAndThePlaceholderWhenEmpty() {
    QMenu file(QStringLiteral("&File"));
    m_mainFrame->SetCommandText(ID_FILE_MRU_FILE1, QStringLiteral("&Last File Used"));
    m_mainFrame->AppendRecentFileActions(&file);
    m_mainFrame->UpdateCommandUI();
    QAction* first = m_mainFrame->CommandAction(ID_FILE_MRU_FILE1);
    QCOMPARE(first->text(), QStringLiteral("&Last File Used"));
    QVERIFY(!first->isEnabled());
    QVERIFY(!m_mainFrame->CommandAction(ID_FILE_MRU_FILE1 + 1)->isVisible());

    m_app->AddToRecentFileList(QStringLiteral("/records/2024/march/patient-0001.scp"));
    m_app->AddToRecentFileList(QStringLiteral("/b.scp"));
    m_mainFrame->UpdateCommandUI();
    QCOMPARE(first->text(), QStringLiteral("&1 /b.scp"));
    QAction* second = m_mainFrame->CommandAction(ID_FILE_MRU_FILE1 + 1);
    QVERIFY(second->isVisible());
    QCOMPARE(second->text(), QStringLiteral("&2 /.../march/patient-0001.scp"));
  }
};

QTEST_MAIN(CommandRoutingTest)
#include "CommandRoutingTest.moc"
