// Document windows: fixed captions, style bits, close requests, tiling.
#include <QCloseEvent>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CMDIFrameWnd.h"

class ChildFrameTest : public QObject {
  Q_OBJECT

 private:
  // A frame of a new document of the primary template, shown.
  CMDIChildWnd* OpenFrame(CMultiDocTemplate* docTemplate, CDocument* document = nullptr) {
    if (document == nullptr) {
      document = m_primary->CreateNewDocument();
      document->SetTitle(QStringLiteral("rec.scp"));
    }
    CMDIChildWnd* frame = docTemplate->CreateNewFrame(document);
    docTemplate->InitialUpdateFrame(frame, document);
    return frame;
  }

  // Asks the frame to close, as its close box does, and lets the request be handled.
  static void RequestClose(CMDIChildWnd* frame) {
    frame->close();
    QCoreApplication::sendPostedEvents();
  }

  std::unique_ptr<TestWorld> m_world;
  std::unique_ptr<TestApp> m_app;
  std::unique_ptr<CMultiDocTemplate> m_primary;
  CMDIFrameWnd* m_mainFrame = nullptr;
  QTemporaryDir m_dir;

 private slots:
  void init() {
    m_world = std::make_unique<TestWorld>();
    m_app = std::make_unique<TestApp>();
    m_app->SetProfileName(m_dir.filePath(QStringLiteral("profile.ini")));
    m_mainFrame = new CMDIFrameWnd;
    m_mainFrame->resize(900, 600);
    m_app->m_pMainWnd = m_mainFrame;
    m_mainFrame->show();
    m_primary = MakeTestTemplate(m_world.get(), QStringLiteral("rhythm"));
  }

  void cleanup() {
    m_primary.reset();
    delete m_mainFrame;
    m_app.reset();
  }

  void CaptionIsTheDocumentTitleOnlyWithTheAddToTitleBit() {
    CMDIChildWnd* plain = OpenFrame(m_primary.get());
    QVERIFY(plain->GetStyle() & FWS_ADDTOTITLE);
    QCOMPARE(plain->windowTitle(), QStringLiteral("rec.scp"));

    // A second window with the bit numbers both; a fixed caption stays as it is.
    CMDIChildWnd* second = OpenFrame(m_primary.get(), plain->GetActiveDocument());
    QCOMPARE(plain->windowTitle(), QStringLiteral("rec.scp:1"));
    QCOMPARE(second->windowTitle(), QStringLiteral("rec.scp:2"));

    auto fixed = MakeTestTemplate(m_world.get(), QStringLiteral("ecg"), QStringLiteral("ECG"));
    CMDIChildWnd* ecg = OpenFrame(fixed.get(), plain->GetActiveDocument());
    QVERIFY(!(ecg->GetStyle() & FWS_ADDTOTITLE));
    QCOMPARE(ecg->windowTitle(), QStringLiteral("ECG"));
    plain->GetActiveDocument()->SetTitle(QStringLiteral("renamed.scp"));
    QCOMPARE(ecg->windowTitle(), QStringLiteral("ECG"));
    QCOMPARE(second->windowTitle(), QStringLiteral("renamed.scp:2"));
  }

  void StyleBitsChooseHowTheWindowFirstAppears() {
    auto maximized =
        MakeTestTemplate(m_world.get(), QStringLiteral("big"), QStringLiteral("BIG"), WS_MAXIMIZE);
    auto minimized = MakeTestTemplate(m_world.get(), QStringLiteral("icon"), QStringLiteral("ICON"),
                                      WS_MINIMIZE);
    CMDIChildWnd* icon = OpenFrame(minimized.get());
    QVERIFY(icon->GetStyle() & WS_MINIMIZE);
    QVERIFY(icon->isMinimized());
    CMDIChildWnd* big = OpenFrame(maximized.get());
    QVERIFY(big->isMaximized());
    QVERIFY(icon->isMinimized());
  }

  void AnIgnoredCloseRequestLeavesTheWindowOpen() {
    auto kept =
        MakeTestTemplate(m_world.get(), QStringLiteral("ecg"), QStringLiteral("ECG"), 0, true);
    CMDIChildWnd* frame = OpenFrame(kept.get());
    const QPointer<CMDIChildWnd> watch(frame);
    RequestClose(frame);
    QVERIFY(!watch.isNull());
    QVERIFY(frame->isVisible());
    QCOMPARE(m_world->log.last(), QStringLiteral("close ignored"));
  }

  void TheBaseCloseRequestClosesTheDocumentWithItsLastWindowAfterAsking() {
    CMDIChildWnd* first = OpenFrame(m_primary.get());
    CDocument* document = first->GetActiveDocument();
    CMDIChildWnd* second = OpenFrame(m_primary.get(), document);
    document->SetModifiedFlag();
    const QPointer<CMDIChildWnd> firstWatch(first);
    const QPointer<CMDIChildWnd> secondWatch(second);

    RequestClose(second);  // another window remains: no question, the document stays
    QVERIFY(secondWatch.isNull());
    QVERIFY(m_app->prompts.isEmpty());
    QCOMPARE(document->GetViews().size(), size_t{1});

    m_app->answer = IDCANCEL;
    RequestClose(first);
    QCOMPARE(m_app->prompts.size(), 1);
    QVERIFY(!firstWatch.isNull());

    m_app->answer = IDNO;
    RequestClose(first);
    QVERIFY(firstWatch.isNull());
    QVERIFY(m_primary->GetDocuments().empty());
  }

  void VerticalTilingPutsThreeWindowsInThreeColumnsAndFourInTwo() {
    CMDIChildWnd* first = OpenFrame(m_primary.get());
    CDocument* document = first->GetActiveDocument();
    OpenFrame(m_primary.get(), document);
    OpenFrame(m_primary.get(), document);
    m_mainFrame->MDITile(MDITILE_VERTICAL);
    const QRect area = m_mainFrame->MdiArea()->viewport()->rect();
    QSet<int> lefts;
    for (CMDIChildWnd* frame : m_mainFrame->GetChildFrames()) {
      lefts.insert(frame->geometry().left());
      QCOMPARE(frame->geometry().top(), 0);
      QCOMPARE(frame->width(), area.width() / 3);
    }
    QCOMPARE(lefts.size(), 3);

    OpenFrame(m_primary.get(), document);
    m_mainFrame->MDITile(MDITILE_VERTICAL);
    lefts.clear();
    QSet<int> tops;
    for (CMDIChildWnd* frame : m_mainFrame->GetChildFrames()) {
      lefts.insert(frame->geometry().left());
      tops.insert(frame->geometry().top());
    }
    QCOMPARE(lefts.size(), 2);
    QCOMPARE(tops.size(), 2);
  }

  void TilingRestoresAMaximizedWindowAndLeavesIconsAlone() {
    auto maximized =
        MakeTestTemplate(m_world.get(), QStringLiteral("big"), QStringLiteral("BIG"), WS_MAXIMIZE);
    auto minimized = MakeTestTemplate(m_world.get(), QStringLiteral("icon"), QStringLiteral("ICON"),
                                      WS_MINIMIZE);
    CMDIChildWnd* big = OpenFrame(maximized.get());
    CMDIChildWnd* icon = OpenFrame(minimized.get(), big->GetActiveDocument());
    CMDIChildWnd* normal = OpenFrame(m_primary.get(), big->GetActiveDocument());
    m_mainFrame->MDITile(MDITILE_VERTICAL);
    QVERIFY(!big->isMaximized());
    QVERIFY(icon->isMinimized());
    QCOMPARE(big->width(), normal->width());
    QVERIFY(big->geometry().left() != normal->geometry().left());
  }
};

QTEST_MAIN(ChildFrameTest)
#include "ChildFrameTest.moc"
