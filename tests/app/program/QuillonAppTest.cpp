// The program with its real main window: the switches and the windows they make, tiling, closing,
// read-only use, opening files again and together, the recent files, the status bar, messages,
// help, the print switches and File > Export.
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
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
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "views/CPatientView.h"

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
  int DoMessageBox(const QString& prompt, UINT type) override {
    prompts << prompt;
    types << type;
    cursorUnderBox << (QGuiApplication::overrideCursor() != nullptr);
    return answer;
  }
  bool DoPromptFileName(QString* /*fileName*/, const QString& /*title*/, bool /*open*/,
                        CMultiDocTemplate* /*docTemplate*/) override {
    return false;
  }

  QStringList prompts;
  QList<UINT> types;
  QList<bool> cursorUnderBox;
  int answer = IDNO;
};

// The kind of a document window: its caption before the record's file name.
QString Kind(const CMDIChildWnd* frame) {
  return frame->windowTitle().section(QStringLiteral(" - "), 0, 0);
}

QStringList Kinds(const std::vector<CMDIChildWnd*>& frames) {
  QStringList kinds;
  for (CMDIChildWnd* frame : frames) {
    kinds << Kind(frame);
  }
  return kinds;
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
    QStringList captions = Kinds(frames);
    captions.sort();
    QCOMPARE(captions, (QStringList{"AVG", "ECG", "EXAM DATA", "MEASUREMENT"}));
    QCOMPARE(Kind(app->m_pMainWnd->MDIGetActive()), active);

    const QRect area = app->m_pMainWnd->MdiArea()->viewport()->rect();
    for (CMDIChildWnd* frame : frames) {
      const QString caption = Kind(frame);
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
    QStringList left = Kinds(Frames(*app));
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
        if (Kind(child) == QStringLiteral("EXAM DATA")) {
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
    // The Window menu tells the two patient forms apart by their records' names.
    QMenu* windowMenu = app->m_pMainWnd->menuBar()->actions()[2]->menu();  // File, View, Window
    emit windowMenu->aboutToShow();
    QStringList listed;
    for (QAction* entry : windowMenu->actions()) {
      if (entry->text().contains(QStringLiteral("EXAM DATA"))) {
        listed << entry->text();
      }
    }
    QCOMPARE(listed, (QStringList{"&4 EXAM DATA - a.scp", "&8 EXAM DATA - b.scp"}));
    QCOMPARE(app->OpenDocumentFile(first), document);
    QCOMPARE(app->GetDocManager()->GetOpenDocumentCount(), 2);
    QCOMPARE(app->m_pMainWnd->MDIGetActive()->GetActiveDocument(), document);
  }

  void ThePatientPaneFollowsTheActiveRecordAndEmptiesWhenNoneIsOpen() {
    const auto app = Start({Demo()});
    QVERIFY(app != nullptr);
    CMDIFrameWnd* frame = app->m_pMainWnd;
    CStatusBar* bar = frame->GetStatusBar();
    const auto pane = [frame, bar] {
      frame->UpdateCommandUI();
      return bar->GetPaneText(bar->CommandToIndex(kIdsPatientPane));
    };
    CMDIChildWnd* demoWindow = frame->MDIGetActive();
    const QString demoText = pane();
    QVERIFY(!demoText.trimmed().isEmpty());
    app->OpenDocumentFile(Copy(Example(), QStringLiteral("Example.scp")));
    const QString exampleText = pane();
    QVERIFY(exampleText != demoText);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon - Example.scp"));

    frame->MDIActivate(demoWindow);
    QCOMPARE(pane(), demoText);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon - demo.scp"));
    QVERIFY(frame->RouteCommand(ID_FILE_CLOSE));
    QCOMPARE(pane(), exampleText);
    QVERIFY(frame->RouteCommand(ID_FILE_CLOSE));
    QCOMPARE(pane(), QString());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon"));
  }

  // A damaged record opens with one message naming the section, is marked in every title, and
  // its Save asks before writing fresh checksums (No by default); Save As is not asked about.
  void ADamagedRecordOpensMarkedAndItsSaveAsksFirst() {
    const QString damaged = Copy(Demo(), QStringLiteral("damaged.scp"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[bytes.size() - 20] = static_cast<char>(bytes[bytes.size() - 20] ^ 0x10);
    file.seek(0);
    file.write(bytes);
    file.close();

    const auto app = Start({damaged});
    QVERIFY(app != nullptr);
    QCOMPARE(app->prompts.size(), 1);
    QVERIFY(app->prompts[0].contains(QStringLiteral("damaged.scp")));
    QVERIFY(app->prompts[0].contains(QStringLiteral("section ")));
    for (CMDIChildWnd* frame : Frames(*app)) {
      QVERIFY(frame->windowTitle().endsWith(QStringLiteral(" - damaged.scp (damaged)")));
    }
    QCOMPARE(app->m_pMainWnd->windowTitle(), QStringLiteral("Quillon - damaged.scp (damaged)"));

    // Unchanged, it is written back as it was read, damage and all, without a question.
    CDocument* document = app->m_pMainWnd->MDIGetActive()->GetActiveDocument();
    const auto fileBytes = [&damaged] {
      QFile saved(damaged);
      return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    };
    QVERIFY(document->DoFileSave());
    QCOMPARE(app->prompts.size(), 1);
    QCOMPARE(fileBytes(), bytes);

    // Changed, it asks before writing fresh checksums; No (the default) writes nothing.
    CPatientView* form = nullptr;
    for (CMDIChildWnd* frame : Frames(*app)) {
      form = form != nullptr ? form : qobject_cast<CPatientView*>(frame->GetActiveView());
    }
    QVERIFY(form != nullptr);
    auto* lastName = qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcLastName));
    QVERIFY(lastName != nullptr);
    lastName->setText(QStringLiteral("ROSSI"));
    app->answer = IDNO;
    QVERIFY(!document->DoFileSave());
    QCOMPARE(app->prompts.size(), 2);
    QVERIFY(app->prompts.last().contains(QStringLiteral("fresh checksums")));
    QVERIFY((app->types.last() & MB_DEFBUTTON2) != 0);
    QCOMPARE(fileBytes(), bytes);

    const QString copy = m_dir.filePath(QStringLiteral("copy.scp"));
    QVERIFY(document->DoSave(copy));
    QCOMPARE(app->prompts.size(), 2);
    QVERIFY(QFileInfo(copy).size() > 0);
    QCOMPARE(app->m_pMainWnd->windowTitle(), QStringLiteral("Quillon - copy.scp (damaged)"));
    for (CMDIChildWnd* frame : Frames(*app)) {
      QVERIFY(frame->windowTitle().contains(QStringLiteral(" - copy.scp")));
    }
  }

  void AReadOnlyRecordSaysSoAndItsSavePointsToSaveAs() {
    const QString locked = Copy(Demo(), QStringLiteral("locked.scp"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadUser);
    const auto app = Start({locked});
    QVERIFY(app != nullptr);
    QVERIFY(app->prompts.isEmpty());
    CMDIFrameWnd* frame = app->m_pMainWnd;
    QCOMPARE(frame->windowTitle(), QStringLiteral("Quillon - locked.scp (read-only)"));
    frame->UpdateCommandUI();
    QAction* save = frame->CommandAction(ID_FILE_SAVE);
    QVERIFY(!save->isEnabled());
    QVERIFY(save->toolTip().contains(QStringLiteral("Save As")));
    QVERIFY(frame->CommandAction(ID_FILE_SAVE_AS)->isEnabled());

    app->OpenDocumentFile(Demo());
    frame->UpdateCommandUI();
    QVERIFY(save->isEnabled());
    QCOMPARE(save->toolTip(), QStringLiteral("Save"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
  }

  // Every window's keys: the main window's commands and whatever the window itself carries; no
  // key may reach two actions while that window is active.
  void NoShortcutIsAmbiguousInAnyWindowAndCtrlEqualsZooms() {
    const auto app = Start({Demo()});
    QVERIFY(app != nullptr);
    CMDIFrameWnd* frame = app->m_pMainWnd;
    for (CMDIChildWnd* child : Frames(*app)) {
      QList<QAction*> actions = frame->actions();
      for (QWidget* widget : child->findChildren<QWidget*>()) {
        actions += widget->actions();
      }
      actions += child->actions();
      QMap<QString, int> uses;
      for (QAction* action : actions) {
        for (const QKeySequence& key : action->shortcuts()) {
          ++uses[key.toString()];
        }
      }
      for (auto use = uses.cbegin(); use != uses.cend(); ++use) {
        QVERIFY2(use.value() == 1, qPrintable(child->windowTitle() + QLatin1Char(' ') + use.key()));
      }
    }
    QVERIFY(frame->CommandAction(kCmdZoomIn)
                ->shortcuts()
                .contains(QKeySequence(QStringLiteral("Ctrl+="))));
  }

  // Every text of the menus, the toolbar, the status bar and the guide is in the session's
  // language: none is a text the table has only in the other one.
  void EverySessionSpeaksOneLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << static_cast<int>(UiLanguage::kEnglish);
    QTest::newRow("Italian") << static_cast<int>(UiLanguage::kItalian);
  }
  void EverySessionSpeaksOneLanguage() {
    QFETCH(int, language);
    const auto session = static_cast<UiLanguage>(language);
    const UiLanguage other =
        session == UiLanguage::kEnglish ? UiLanguage::kItalian : UiLanguage::kEnglish;
    QSet<QString> foreign;
    for (int id : StringIds()) {
      const QStringList theirs = StringText(id, other).split(u'\n');
      const QStringList ours = StringText(id, session).split(u'\n');
      for (const QString& text : theirs) {
        if (!text.isEmpty() && !ours.contains(text)) {
          foreign << text;
        }
      }
    }
    ForceUiLanguage(session);
    const auto app = Start({Demo()});
    QVERIFY(app != nullptr);
    CMainFrame* frame = app->GetMainFrame();
    frame->UpdateCommandUI();
    QStringList shown;
    for (QAction* title : frame->menuBar()->actions()) {
      shown << title->text();
      for (QAction* item : title->menu()->actions()) {
        shown << item->text() << item->statusTip() << item->toolTip();
      }
    }
    for (QAction* button : frame->GetToolBar()->actions()) {
      shown << button->statusTip() << button->toolTip();
    }
    CStatusBar* bar = frame->GetStatusBar();
    for (int pane = 0; pane < bar->GetCount(); ++pane) {
      shown << bar->GetPaneText(pane);
    }
    shown << Kinds(Frames(*app));
    ForceUiLanguage(UiLanguage::kEnglish);
    for (const QString& text : shown) {
      QVERIFY2(!foreign.contains(text), qPrintable(text));
    }
    const QString guide = StringText(kIdsHelpGuide, session);
    QVERIFY(guide != StringText(kIdsHelpGuide, other));
    QVERIFY(guide.contains(session == UiLanguage::kEnglish
                               ? QStringLiteral("Opening a record")
                               : QStringLiteral("Aprire una registrazione")));
  }

  // The patient form built in each language, text by text, and Qt's own buttons: a text that reads
  // the same in both sessions must be one that is the same word in both (units, abbreviations),
  // never a label, a list entry or a button left in English.
  void ThePatientFormAndTheButtonsSpeakTheSessionsLanguage() {
    const QSet<QString> sameInBoth = {"ID", "Kg", "g", "cm", "mm"};
    QList<QStringList> sessions;
    for (const UiLanguage language : {UiLanguage::kEnglish, UiLanguage::kItalian}) {
      ForceUiLanguage(language);
      const auto app = Start({Demo()});
      QVERIFY(app != nullptr);
      QStringList texts;
      for (CMDIChildWnd* child : Frames(*app)) {
        auto* form = child->findChild<CPatientView*>();
        if (form == nullptr) {
          continue;
        }
        // A refused value's message too.
        qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcBirthDate))->setText("31/02/1970");
        QVERIFY(!form->StoreToRecord());
        texts << app->prompts;
        for (QWidget* widget : child->findChildren<QWidget*>()) {
          if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts << label->text();
          } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            texts << group->title();
          } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            texts << box->text();
          } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            for (int entry = 0; entry < list->count(); ++entry) {
              texts << list->itemText(entry);
            }
          }
        }
      }
      const QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
      for (QAbstractButton* button : buttons.buttons()) {
        texts << button->text();
      }
      sessions << texts;
    }
    ForceUiLanguage(UiLanguage::kEnglish);
    QCOMPARE(sessions[0].size(), sessions[1].size());
    QVERIFY(sessions[0].contains(QStringLiteral("Patient Data")));
    QVERIFY(sessions[1].contains(QStringLiteral("Dati paziente")));
    QVERIFY(sessions[1].contains(
        QStringLiteral("Data di nascita: \"31/02/1970\" non è una data; digitare GG/MM/AAAA.")));
    for (int i = 0; i < sessions[0].size(); ++i) {
      const QString& english = sessions[0][i];
      QVERIFY2(english.isEmpty() || english != sessions[1][i] || sameInBoth.contains(english),
               qPrintable(english));
    }
  }

  // Six boxes show the first six statements; with more, a line under them opens every one.
  void EveryStatementCanBeRead_data() {
    QTest::addColumn<int>("statements");
    QTest::newRow("six") << 6;
    QTest::newRow("eight") << 8;
  }
  void EveryStatementCanBeRead() {
    QFETCH(int, statements);
    ScpRecordPtr record(ScpReadRecord(QFile::encodeName(Demo()).constData()));
    QVERIFY(record != nullptr);
    ScpStatementHeader header = {};
    QCOMPARE(ScpGetStatementHeader(record.get(), kScpStatementSection, &header), kScpOk);
    header.statementCount = static_cast<uint8_t>(statements);
    ScpRecordRemoveSection(record.get(), kScpStatementSection);
    ScpRecordNewSection(record.get(), kScpStatementSection);
    ScpSetStatementHeader(record.get(), kScpStatementSection, &header);
    for (int tag = 1; tag <= statements; ++tag) {
      const QByteArray text = "statement " + QByteArray::number(tag);
      ScpAddItemText(record.get(), kScpStatementSection, static_cast<uint8_t>(tag),
                     text.constData());
    }
    const QString path = m_dir.filePath(QStringLiteral("statements.scp"));
    QCOMPARE(ScpWriteRecord(record.get(), QFile::encodeName(path).constData()), kScpOk);

    const auto app = Start({path});
    QVERIFY(app != nullptr);
    QPushButton* line = nullptr;
    for (CMDIChildWnd* frame : Frames(*app)) {
      line =
          line != nullptr ? line : frame->findChild<QPushButton*>(QStringLiteral("allStatements"));
    }
    if (statements <= 6) {
      QVERIFY(line == nullptr);
      return;
    }
    QVERIFY(line != nullptr);
    QCOMPARE(line->text(), QStringLiteral("All 8 statements..."));
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* list = dialog->findChild<QPlainTextEdit*>();
      QVERIFY(list != nullptr && list->isReadOnly());
      QVERIFY(list->toPlainText().endsWith(QStringLiteral("8: statement 8")));
      dialog->accept();
    });
    line->click();
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
    QCOMPARE(buttons.size(), 16);  // then speeds, gains and the calipers tool
    QVERIFY(buttons[2]->isSeparator());
    for (QAction* button : {buttons[0], buttons[1], buttons[3], buttons[4]}) {
      QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(buttons[0]->toolTip(), QStringLiteral("Open"));
    QCOMPARE(buttons[4]->statusTip(), QStringLiteral("View print preview"));
    QVERIFY(!buttons[15]->icon().isNull());
    QCOMPARE(buttons[15]->toolTip(), QStringLiteral("Calipers"));

    CStatusBar* bar = frame->GetStatusBar();
    QCOMPARE(bar->GetCount(), 5);  // messages, reading settings, lock keys, patient
    QCOMPARE(bar->GetItemID(4), kIdsPatientPane);
    frame->SetPatientText(QStringLiteral("ROSSI MARIO 05/06/1998"));
    frame->UpdateCommandUI();
    QCOMPARE(bar->GetPaneText(4), QStringLiteral("ROSSI MARIO 05/06/1998"));

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
    QCOMPARE(titles(), (QStringList{"&File", "&View", "&Window", "&?"}));
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
      // The three panes stand side by side, CAP first, wherever the other panes are.
      const int first = bar->CommandToIndex(ID_INDICATOR_CAPS);
      QCOMPARE(bar->CommandToIndex(ID_INDICATOR_NUM), first + 1);
      QCOMPARE(bar->CommandToIndex(ID_INDICATOR_SCRL), first + 2);
      QCOMPARE((QStringList{bar->GetPaneText(first), bar->GetPaneText(first + 1),
                            bar->GetPaneText(first + 2)}),
               texts);
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

  void APrintSwitchWithoutItsArgumentsEndsWithStatusTwo_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("/P alone") << QStringList{"/P"};
    QTest::newRow("/PT alone") << QStringList{"/PT"};
    QTest::newRow("/PT without a printer") << QStringList{"/PT", Demo()};
  }
  void APrintSwitchWithoutItsArgumentsEndsWithStatusTwo() {
    QFETCH(QStringList, arguments);
    TestQuillonApp app;
    app.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    app.SetCommandLine(QStringList{"quillon"} + arguments);
    int status = 0;
    const QString said = StandardErrorOf([&] { status = app.Run(); });
    QCOMPARE(status, 2);
    QVERIFY2(said.startsWith(QStringLiteral("usage: quillon /P FILE")), qPrintable(said));
    QCOMPARE(app.GetDocManager()->GetOpenDocumentCount(), 0);
    QVERIFY(app.prompts.isEmpty());
  }

  // File > Export writes what the form shows, edits not yet saved included; with the box ticked
  // the name is left out; a value the form refuses stops the export with the form's message.
  void TheExportWritesTheFormsUnsavedEditsAndCanLeaveTheNameOut() {
    const auto app = Start({Copy(Demo(), QStringLiteral("export.scp"))});
    QVERIFY(app != nullptr);
    CPatientView* form = nullptr;
    for (CMDIChildWnd* frame : Frames(*app)) {
      form = form != nullptr ? form : qobject_cast<CPatientView*>(frame->GetActiveView());
    }
    QVERIFY(form != nullptr);
    qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcLastName))->setText(QStringLiteral("Verdi"));
    // Answers the format dialog (0 DICOM, 1 HL7 aECG), takes the file name it suggests (the
    // record's, with the format's ending), and returns the bytes written there.
    const auto exportAs = [&](int format, bool anonymize, const QString& extension) {
      QTimer answer;
      QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* formats = modal != nullptr ? modal->findChild<QComboBox*>("exportFormat") : nullptr;
        if (qobject_cast<QFileDialog*>(modal) != nullptr) {
          static_cast<QDialog*>(modal)->accept();
        } else if (formats != nullptr) {
          formats->setCurrentIndex(format);
          modal->findChild<QCheckBox*>("exportAnonymize")->setChecked(anonymize);
          static_cast<QDialog*>(modal)->accept();
        }
      });
      answer.start(10);
      app->m_pMainWnd->RouteCommand(kCmdFileExport);
      QFile file(m_dir.filePath(QStringLiteral("export.") + extension));
      const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
      file.remove();
      return bytes;
    };
    QVERIFY(exportAs(1, false, QStringLiteral("xml")).contains("Verdi"));
    const QByteArray anonymous = exportAs(0, true, QStringLiteral("dcm"));
    QVERIFY(anonymous.contains("ANONYMOUS"));
    QVERIFY(!anonymous.contains("Verdi") && !anonymous.contains("Anna"));

    qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcBirthDate))
        ->setText(QStringLiteral("31/02/2000"));
    QVERIFY(exportAs(1, false, QStringLiteral("xml")).isEmpty());
    QCOMPARE(app->prompts.size(), 1);
    QVERIFY(app->prompts.front().startsWith(QStringLiteral("Birth Date")));
  }
};

QTEST_MAIN(QuillonAppTest)
#include "QuillonAppTest.moc"
