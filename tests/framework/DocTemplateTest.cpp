// Templates, the document manager and the document's open, save and close operations.
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CRecentFileList.h"
#include "framework/CView.h"
#include "resources/ResourceIds.h"

class DocTemplateTest : public QObject {
  Q_OBJECT

 private:
  QString MakeFile(const QString& name) {
    QString path = m_dir->filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("record");
    return path;
  }
  int WindowCount() const { return static_cast<int>(m_mainFrame->GetChildFrames().size()); }

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<TestWorld> m_world;
  std::unique_ptr<TestApp> m_app;
  std::unique_ptr<CMultiDocTemplate> m_primary;
  std::unique_ptr<CMultiDocTemplate> m_patient;
  CMDIFrameWnd* m_mainFrame = nullptr;

 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_world = std::make_unique<TestWorld>();
    m_app = std::make_unique<TestApp>();
    m_app->SetProfileName(m_dir->filePath(QStringLiteral("profile.ini")));
    m_app->LoadStdProfileSettings(4);
    m_mainFrame = new CMDIFrameWnd;
    m_app->m_pMainWnd = m_mainFrame;
    m_mainFrame->show();
    m_primary = MakeTestTemplate(m_world.get(), QStringLiteral("rhythm"));
    m_patient =
        MakeTestTemplate(m_world.get(), QStringLiteral("patient"), QStringLiteral("EXAM DATA"));
    m_app->AddDocTemplate(m_primary.get());
  }

  void cleanup() {
    m_primary.reset();
    m_patient.reset();
    delete m_mainFrame;
    m_app.reset();
    m_world.reset();
    m_dir.reset();
  }

  void AnyTemplateMakesAFrameWithItsViewForAnExistingDocument() {
    CDocument* document = m_primary->CreateNewDocument();
    CMDIChildWnd* frame = m_patient->CreateNewFrame(document);
    QVERIFY(frame != nullptr);
    QCOMPARE(frame->GetActiveDocument(), document);
    QCOMPARE(document->GetViews().size(), size_t{1});
    QCOMPARE(frame->GetActiveView()->GetParentFrame(), frame);
    QCOMPARE(WindowCount(), 1);
    QVERIFY(m_world->log.isEmpty());  // no initial update yet

    m_patient->InitialUpdateFrame(frame, document);
    QCOMPARE(m_world->log, QStringList{QStringLiteral("initial update patient")});
    QCOMPARE(m_mainFrame->MDIGetActive(), frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("EXAM DATA"));
  }

  void OpeningGivesTheFrameworkWindowItsInitialUpdateAfterTheDocumentsOwnWindows() {
    m_world->extraTemplate = m_patient.get();
    const QString path = MakeFile(QStringLiteral("a.scp"));
    CDocument* document = m_app->OpenDocumentFile(path);
    QVERIFY(document != nullptr);
    QCOMPARE(m_world->log,
             (QStringList{QStringLiteral("open a.scp"), QStringLiteral("initial update patient"),
                          QStringLiteral("initial update rhythm")}));
    QCOMPARE(document->GetPathName(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(document->GetTitle(), QStringLiteral("a.scp"));
    QCOMPARE(WindowCount(), 2);
    QCOMPARE(m_mainFrame->MDIGetActive()->GetActiveDocument(), document);
    QCOMPARE(m_mainFrame->MDIGetActive()->windowTitle(), QStringLiteral("a.scp"));
  }

  void OpeningAnOpenPathAgainActivatesItsDocument() {
    const QString path = MakeFile(QStringLiteral("a.scp"));
    CDocument* first = m_app->OpenDocumentFile(path);
    CDocument* other = m_app->OpenDocumentFile(MakeFile(QStringLiteral("b.scp")));
    QCOMPARE(m_mainFrame->MDIGetActive()->GetActiveDocument(), other);

    const QString sameFile = m_dir->path() + QStringLiteral("/sub/../a.scp");
    QDir(m_dir->path()).mkdir(QStringLiteral("sub"));
    QCOMPARE(m_app->OpenDocumentFile(sameFile), first);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 2);
    QCOMPARE(m_mainFrame->MDIGetActive()->GetActiveDocument(), first);
    QCOMPARE(m_world->log.count(QStringLiteral("open a.scp")), 1);
  }

  void AFileThatCannotBeOpenedLeavesNoDocumentAndNoWindow() {
    QVERIFY(m_app->OpenDocumentFile(m_dir->filePath(QStringLiteral("missing.scp"))) == nullptr);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
    QCOMPARE(WindowCount(), 0);
    QCOMPARE(m_app->GetRecentFileList()->GetCount(), 0);

    // A document that made its own windows before failing takes them all away.
    m_world->extraTemplate = m_patient.get();
    QVERIFY(m_app->OpenDocumentFile(MakeFile(QStringLiteral("late-failure.scp"))) == nullptr);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
    QCOMPARE(WindowCount(), 0);
  }

  void NewDocumentThatRefusesLeavesNothing() {
    class RefusingDocument : public CDocument {
     public:
      bool OnNewDocument() override { return false; }
    };
    CMultiDocTemplate refusing(
        129, [] { return std::make_unique<RefusingDocument>(); }, [] { return new CMDIChildWnd; },
        [this] { return new TestView(m_world.get(), "x"); });
    QVERIFY(refusing.OpenDocumentFile(QString()) == nullptr);
    QVERIFY(refusing.GetDocuments().empty());
    QCOMPARE(WindowCount(), 0);
  }

  void ClosingAChangedDocumentAsksWithItsTitleAndNoClosesWithoutSaving() {
    CDocument* document = m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    document->SetModifiedFlag();
    m_app->answer = IDNO;
    m_world->log.clear();
    QVERIFY(m_mainFrame->RouteCommand(ID_FILE_CLOSE));
    QCOMPARE(m_app->prompts, QStringList{QStringLiteral("Salvare le modifiche a rec.scp?")});
    QCOMPARE(m_world->log, QStringList{QStringLiteral("delete contents")});
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
    QCOMPARE(WindowCount(), 0);
  }

  void CancellingTheQuestionKeepsTheDocumentOpen() {
    CDocument* document = m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    document->SetModifiedFlag();
    m_app->answer = IDCANCEL;
    m_mainFrame->RouteCommand(ID_FILE_CLOSE);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 1);
    QCOMPARE(WindowCount(), 1);
    QVERIFY(document->IsModified());
  }

  void YesSavesBeforeClosingAndAFailedSaveKeepsTheDocumentOpenAndChanged() {
    CDocument* document = m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    document->SetModifiedFlag();
    m_app->answer = IDYES;
    m_world->saveSucceeds = false;
    m_world->log.clear();
    m_mainFrame->RouteCommand(ID_FILE_CLOSE);
    QCOMPARE(m_world->log, QStringList{QStringLiteral("save rec.scp")});
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 1);
    QVERIFY(document->IsModified());

    m_world->saveSucceeds = true;
    m_world->log.clear();
    m_mainFrame->RouteCommand(ID_FILE_CLOSE);
    QCOMPARE(m_world->log,
             (QStringList{QStringLiteral("save rec.scp"), QStringLiteral("delete contents")}));
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
  }

  void AnUnchangedDocumentClosesWithoutAQuestion() {
    m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    m_mainFrame->RouteCommand(ID_FILE_CLOSE);
    QVERIFY(m_app->prompts.isEmpty());
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
  }

  void SaveReportsFailureAndKeepsTheFlagWhileSuccessClearsIt() {
    CDocument* document = m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    document->SetModifiedFlag();
    m_world->saveSucceeds = false;
    QVERIFY(!document->DoFileSave());
    QVERIFY(document->IsModified());

    m_world->saveSucceeds = true;
    QVERIFY(document->DoFileSave());
    QVERIFY(!document->IsModified());
  }

  void SaveAsAsksForAPathAndTakesItOnlyWhenTheSaveSucceeds() {
    const QString original = MakeFile(QStringLiteral("rec.scp"));
    CDocument* document = m_app->OpenDocumentFile(original);
    document->SetModifiedFlag();
    m_app->fileAnswer = m_dir->filePath(QStringLiteral("copy.scp"));
    m_world->saveSucceeds = false;
    QVERIFY(!document->DoSave(QString()));
    QCOMPARE(document->GetPathName(), QFileInfo(original).absoluteFilePath());
    QVERIFY(document->IsModified());

    m_world->saveSucceeds = true;
    QVERIFY(document->DoSave(QString()));
    QCOMPARE(document->GetTitle(), QStringLiteral("copy.scp"));
    QCOMPARE(m_app->GetRecentFileList()->GetPath(0), m_app->fileAnswer);

    m_app->fileAnswer.clear();  // a cancelled dialog saves nothing
    document->SetModifiedFlag();
    m_world->log.clear();
    QVERIFY(!document->DoSave(QString()));
    QVERIFY(m_world->log.isEmpty());
    QVERIFY(document->IsModified());
  }

  void ClosingADocumentDestroysItsFramesThenItsContents() {
    m_world->extraTemplate = m_patient.get();
    CDocument* document = m_app->OpenDocumentFile(MakeFile(QStringLiteral("rec.scp")));
    QCOMPARE(WindowCount(), 2);
    const QPointer<CView> view = document->GetViews().front();
    document->OnCloseDocument();
    QVERIFY(view.isNull());
    QCOMPARE(WindowCount(), 0);
    QCOMPARE(m_world->log.last(), QStringLiteral("delete contents"));
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
  }

  void FilesDroppedOnTheMainWindowAreOpened() {
    m_mainFrame->DragAcceptFiles();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(MakeFile(QStringLiteral("a.scp"))),
                   QUrl::fromLocalFile(MakeFile(QStringLiteral("b.scp")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_mainFrame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_mainFrame, &drop);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 2);
    QCOMPARE(m_world->log.filter(QStringLiteral("open")),
             (QStringList{QStringLiteral("open a.scp"), QStringLiteral("open b.scp")}));
  }

  void ExitAsksAboutEveryChangedDocumentAndCancelKeepsAllOpen() {
    CDocument* first = m_app->OpenDocumentFile(MakeFile(QStringLiteral("a.scp")));
    CDocument* second = m_app->OpenDocumentFile(MakeFile(QStringLiteral("b.scp")));
    first->SetModifiedFlag();
    second->SetModifiedFlag();
    m_app->answer = IDCANCEL;
    QVERIFY(!m_mainFrame->close());
    QCOMPARE(m_app->prompts.size(), 1);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 2);

    m_app->answer = IDNO;
    QVERIFY(m_mainFrame->close());
    QCOMPARE(m_app->prompts.size(), 3);
    QCOMPARE(m_app->GetDocManager()->GetOpenDocumentCount(), 0);
  }
};

QTEST_MAIN(DocTemplateTest)
#include "DocTemplateTest.moc"
