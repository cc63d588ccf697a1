#include "app/ExportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>

#include "app/StringTable.h"
#include "document/CQuillonDoc.h"
#include "document/RecordAnonymizer.h"
#include "exports/ExportFromDocument.h"
#include "exports/ExportWriters.h"
#include "resources/ResourceIds.h"

namespace {

using Writer = bool (*)(const ExportRecord&, const std::string&, std::string*);

struct ExportFormat {
  int labelId;
  const char* extension;
  const char* filter;
  Writer writer;
};

const ExportFormat kExportFormats[] = {
    {kIdsExportFormatFirst + 0, "dcm", "DICOM (*.dcm)", WriteDicomEcg},
    {kIdsExportFormatFirst + 1, "xml", "HL7 aECG (*.xml)", WriteAnnotatedEcg},
    {kIdsExportFormatFirst + 2, "edf", "EDF+ (*.edf)", WriteEdfPlus},
    {kIdsExportFormatFirst + 3, "csv", "CSV (*.csv)", WriteSamplesCsv},
};

// The format and anonymisation the user picked, or false when the dialog was cancelled.
bool AskFormat(QWidget* parent, int* format, bool* anonymize, QString* anonId) {
  QDialog dialog(parent);
  dialog.setWindowTitle(StringText(kIdsExportTitle));
  auto* formats = new QComboBox(&dialog);
  formats->setObjectName(QStringLiteral("exportFormat"));
  for (const ExportFormat& entry : kExportFormats) {
    formats->addItem(StringText(entry.labelId));
  }
  auto* anonymous = new QCheckBox(StringText(kIdsExportAnonymize), &dialog);
  anonymous->setObjectName(QStringLiteral("exportAnonymize"));
  auto* newId = new QLineEdit(&dialog);
  newId->setObjectName(QStringLiteral("exportNewId"));
  newId->setPlaceholderText(QString::fromLatin1(kAnonymousPatientId));
  newId->setEnabled(false);
  QObject::connect(anonymous, &QCheckBox::toggled, newId, &QLineEdit::setEnabled);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* form = new QFormLayout(&dialog);
  form->addRow(StringText(kIdsExportFormat), formats);
  form->addRow(anonymous);
  form->addRow(StringText(kIdsExportNewId), newId);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  *format = formats->currentIndex();
  *anonymize = anonymous->isChecked();
  *anonId = newId->text().trimmed();
  return true;
}

std::string FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

}  // namespace

bool RunExportDialog(QWidget* parent, CQuillonDoc& doc) {
  int format = 0;
  bool anonymize = false;
  QString anonId;
  // What is exported is what the user sees: the form's unsaved edits go to the patient model as
  // a save takes them, and a value the model refuses stops the export with the form's message.
  if (doc.m_pRecord == nullptr || !doc.StorePatientEdits() ||
      !AskFormat(parent, &format, &anonymize, &anonId)) {
    return false;
  }
  const ExportFormat& chosen = kExportFormats[format];
  const QFileInfo source(doc.GetPathName());
  const QString suggested =
      source.absolutePath() + "/" + source.completeBaseName() + "." + chosen.extension;
  const QString path = QFileDialog::getSaveFileName(parent, StringText(kIdsExportTitle), suggested,
                                                    QString::fromUtf8(chosen.filter));
  if (path.isEmpty()) {
    return false;
  }
  // A long record takes a moment to describe and write; the dialog shows only then.
  QProgressDialog progress(StringText(kIdsExportProgress), QString(), 0, 2, parent);
  progress.setMinimumDuration(500);
  progress.setValue(0);
  ExportRecord record = MakeExportRecord(doc);
  const std::string seedBytes = FileBytes(doc.GetPathName());
  record.uidSeed =
      ExportSeedOf(anonymize ? seedBytes + "\nanonymised as " + anonId.toStdString() : seedBytes);
  if (anonymize) {
    AnonymizeExportRecord(&record, anonId.toStdString());
  }
  progress.setValue(1);
  std::string problem;
  const bool written = chosen.writer(record, path.toStdString(), &problem);
  progress.setValue(2);
  if (!written) {
    QMessageBox::warning(parent, StringText(kIdsExportTitle),
                         StringText(kIdsExportFailed).arg(path, QString::fromStdString(problem)));
  }
  return written;
}
