// File > Export with the real main window: the user's choices in the dialogs, the patient form's
// unsaved edits in what is written, and a refused form value stopping the export.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/Resources.h"
#include "app/StringTable.h"
#include "framework/CMDIChildWnd.h"
#include "resources/ResourceIds.h"
#include "views/CPatientView.h"

namespace {

class TestQuillonApp : public CQuillonApp {
 public:
  int DoMessageBox(const QString& prompt, UINT /*type*/) override {
    prompts << prompt;
    return IDOK;
  }
  QStringList prompts;
};

// Answers the export's two dialogs as a user would: picks the format and the anonymise box in
// the first, names the file in the second.
class DialogAnswers : public QObject {
 public:
  DialogAnswers(int format, bool anonymize, const QString& path)
      : format_(format), anonymize_(anonymize), path_(path) {
    connect(&poll_, &QTimer::timeout, this, [this] { Answer(); });
    poll_.start(10);
  }
  int answered = 0;

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      files->selectFile(path_);
      static_cast<QDialog*>(files)->accept();  // the file dialog's own accept, through its base
      ++answered;
    } else if (auto* formats = modal != nullptr
                                   ? modal->findChild<QComboBox*>(QStringLiteral("exportFormat"))
                                   : nullptr) {
      formats->setCurrentIndex(format_);
      modal->findChild<QCheckBox*>(QStringLiteral("exportAnonymize"))->setChecked(anonymize_);
      qobject_cast<QDialog*>(modal)->accept();
      ++answered;
    }
  }

  QTimer poll_;
  int format_;
  bool anonymize_;
  QString path_;
};

constexpr int kAecgFormat = 1;  // the dialog's list: DICOM, HL7 aECG, EDF+, CSV
constexpr int kDicomFormat = 0;

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ExportDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    ForceUiLanguage(UiLanguage::kEnglish);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SetResourceTable(QuillonResourceTable());
  }

  void TheExportWritesTheFormsUnsavedEditsAndCanLeaveTheNameOut() {
    const QString record = m_dir.filePath(QStringLiteral("demo.scp"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLON_SAMPLES_DIR "/demo.scp"), record));
    TestQuillonApp app;
    app.SetProfileName(m_dir.filePath(QStringLiteral("quillon.ini")));
    app.SetCommandLine({QStringLiteral("quillon"), record});
    QVERIFY(app.InitInstance());
    CPatientView* form = nullptr;
    for (CMDIChildWnd* frame : app.m_pMainWnd->GetChildFrames()) {
      form = form != nullptr ? form : qobject_cast<CPatientView*>(frame->GetActiveView());
    }
    QVERIFY(form != nullptr);
    qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcLastName))->setText(QStringLiteral("Verdi"));

    const QString plain = m_dir.filePath(QStringLiteral("plain.xml"));
    {
      DialogAnswers answers(kAecgFormat, false, plain);
      QVERIFY(app.m_pMainWnd->RouteCommand(kCmdFileExport));
      QCOMPARE(answers.answered, 2);
    }
    QVERIFY(Contents(plain).contains("Verdi"));

    const QString anonymous = m_dir.filePath(QStringLiteral("anonymous.dcm"));
    {
      DialogAnswers answers(kDicomFormat, true, anonymous);
      QVERIFY(app.m_pMainWnd->RouteCommand(kCmdFileExport));
    }
    const QByteArray dicom = Contents(anonymous);
    QVERIFY(dicom.contains("ANONYMOUS"));
    QVERIFY(!dicom.contains("Verdi"));
    QVERIFY(!dicom.contains("Anna"));

    // A value the record cannot take: the form's message, and no dialog, no file.
    qobject_cast<QLineEdit*>(form->GetDlgItem(kIdcBirthDate))
        ->setText(QStringLiteral("31/02/2000"));
    QVERIFY(app.m_pMainWnd->RouteCommand(kCmdFileExport));
    QCOMPARE(app.prompts.size(), 1);
    QVERIFY(app.prompts.front().startsWith(QStringLiteral("Birth Date")));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }
};

QTEST_MAIN(ExportDialogTest)
#include "ExportDialogTest.moc"
