#include "document/CQuillonDoc.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "document/DocMessages.h"
#include "document/DocWindows.h"
#include "document/IRecordStore.h"
#include "document/UnreadLeads.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"

namespace {

// The writer reports a record it could not assemble in memory as a pointer-section failure.
SaveFailure SaveFailureOf(ScpStatus writeStatus) {
  return ScpStatusIs(writeStatus, kScpErrNoPointerSection) ? SaveFailure::kCannotBuild
                                                           : SaveFailure::kCannotWrite;
}

}  // namespace

CQuillonDoc::~CQuillonDoc() {
  CQuillonDoc::DeleteContents();
}

bool CQuillonDoc::OnNewDocument() {
  return false;
}

bool CQuillonDoc::OnOpenDocument(const QString& path) {
  CWaitCursor wait;
  ScpRecord* record = ScpReadRecord(QFile::encodeName(path).constData());
  if (record == nullptr) {
    wait.Restore();
    ShowDocMessage(NotAnScpRecordMessage(path));
    return false;
  }
  DeleteContents();
  SetModifiedFlag(false);
  DecodeLeads(record);
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    m_fileBytes = file.readAll();
  }
  m_damage = CheckRecordDamage(path);
  wait.Restore();
  ReportWhatCannotBeShown(path);
  OpenFurtherWindows();
  return true;
}

// Each message once.
void CQuillonDoc::ReportWhatCannotBeShown(const QString& path) {
  QStringList messages;
  if (m_damage.Any()) {
    messages << DamagedRecordMessage(path, DamagedPartsText(m_damage));
  }
  if (RawRhythmUnread(m_pRecord, m_bHasRhythm)) {
    messages << UnreadLeadSectionMessage(path);
  }
  if (HasUnscaledLeads(m_refLeads, m_nRefLeads, m_rhythmLeads, m_nRhythmLeads)) {
    messages << UnscaledLeadsMessage(path);
  }
  for (const QString& message : messages) {
    ShowDocMessage(message);
  }
}

// Fresh checksums written over a damaged record's own file would make it look sound: asked
// first, No by default. A copy saved elsewhere (Save As) is not asked about, and an unchanged
// record is written back as it was read, damage and all.
bool CQuillonDoc::MayWriteFreshChecksums(const QString& path) {
  if (!IsDamaged() || QFileInfo(path).absoluteFilePath() != GetPathName()) {
    return true;
  }
  return AfxMessageBox(DamagedSaveQuestion(path), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) ==
         IDYES;
}

QString CQuillonDoc::GetCaption() const {
  QStringList marks;
  if (IsDamaged()) {
    marks << DamagedMark();
  }
  if (IsReadOnly()) {
    marks << ReadOnlyMark();
  }
  if (marks.isEmpty()) {
    return GetTitle();
  }
  return QStringLiteral("%1 (%2)").arg(GetTitle(), marks.join(QStringLiteral(", ")));
}

// A file nobody may write counts as read-only even for a user the system would let write it.
bool CQuillonDoc::IsReadOnly() const {
  const QFileInfo file(GetPathName());
  if (GetPathName().isEmpty() || !file.exists()) {
    return false;
  }
  const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
  return !file.isWritable() || (file.permissions() & anyWrite) == 0;
}

bool CQuillonDoc::OnSaveDocument(const QString& path) {
  if (!StorePatientEdits()) {
    return false;
  }
  const bool rewrites =
      m_fileBytes.isEmpty() || m_patient.HeaderChanged() || m_patient.StatementsChanged();
  if (rewrites && !MayWriteFreshChecksums(path)) {
    return false;
  }
  if (m_pRecord == nullptr) {
    ShowDocMessage(SaveFailedMessage(path, SaveFailure::kCannotBuild));
    return false;
  }
  if (m_patient.HeaderChanged() || m_patient.StatementsChanged()) {
    if (!m_patient.Write(m_pRecord, QDateTime::currentDateTime())) {
      ShowDocMessage(SaveFailedMessage(path, SaveFailure::kCannotBuild));
      return false;
    }
    m_fileBytes.clear();  // the record no longer matches the file it was read from
    PatientChanged();
  }
  // A record nothing has changed is written back exactly as it was read, headers and all; a
  // changed one keeps every section's version as read, so only what the user changed differs.
  const ScpStatus status =
      m_fileBytes.isEmpty()
          ? ScpWriteRecordAsRead(m_pRecord, QFile::encodeName(path).constData())
          : ScpWriteFileBytes(m_fileBytes.constData(), static_cast<size_t>(m_fileBytes.size()),
                              QFile::encodeName(path).constData());
  if (status != kScpOk) {
    ShowDocMessage(SaveFailedMessage(path, SaveFailureOf(status)));
    return false;
  }
  return true;
}

void CQuillonDoc::DeleteContents() {
  ReleaseLeads();
  m_fileBytes.clear();
  ScpRecordFree(m_pRecord);
  m_pRecord = nullptr;
  m_bHasRefBeats = false;
  m_bHasRhythm = false;
  m_bHasMeasures = false;
  m_damage = RecordDamage();
  std::fill(m_fiducials, m_fiducials + kFiducialCount, uint16_t{0});
}

bool CQuillonDoc::DecodeLeads(ScpRecord* record) {
  ReleaseLeads();
  if (record != m_pRecord) {
    ScpRecordFree(m_pRecord);
    m_pRecord = record;
  }
  m_nRefLeads = DecodeReferenceLeads(m_pRecord, m_refLeads);
  m_bHasRefBeats = m_nRefLeads > 0;
  m_nRhythmLeads = DecodeRhythmLeads(m_pRecord, m_refLeads, m_nRefLeads, m_rhythmLeads);
  m_bHasRhythm = m_nRhythmLeads > 0;
  m_bHasMeasures = ReadReferenceFiducials(m_pRecord, m_fiducials);
  m_patient.Read(m_pRecord, Today());
  m_measurements = MeasurementModel();
  m_measurements.ReadMeasurements(m_pRecord);
  return true;
}

ScpReferenceBeat* CQuillonDoc::FindRefLead(int leadCode) {
  return const_cast<ScpReferenceBeat*>(std::as_const(*this).FindRefLead(leadCode));
}

const ScpReferenceBeat* CQuillonDoc::FindRefLead(int leadCode) const {
  return FindLeadBeat(m_refLeads, m_nRefLeads, leadCode);
}

uint16_t CQuillonDoc::GetFiducial(int index) const {
  return index >= 0 && index < kFiducialCount ? m_fiducials[index] : 0;
}

void CQuillonDoc::SetPatientStore(IRecordStore* store) {
  m_pPatientStore = store;
}

bool CQuillonDoc::StorePatientEdits() {
  return m_pPatientStore == nullptr || m_pPatientStore->StoreToRecord();
}

bool CQuillonDoc::TakePatientEdits() {
  return m_pPatientStore == nullptr || m_pPatientStore->TakeEdits();
}

void CQuillonDoc::PatientChanged(CView* sender) {
  UpdateAllViews(sender, kHintPatientChanged);
}

void CQuillonDoc::ReleaseLeads() {
  FreeReferenceLeads(m_refLeads, kLeadTableCapacity);
  FreeRhythmLeads(m_rhythmLeads, kLeadTableCapacity);
  m_nRefLeads = 0;
  m_nRhythmLeads = 0;
}

void CQuillonDoc::OpenFurtherWindows() {
  IDocWindowOpener* opener = GetDocWindowOpener();
  if (opener == nullptr) {
    return;
  }
  if (opener->IsEcgPrimary()) {
    if (m_bHasRefBeats) {
      opener->OpenWindow(this, DocWindow::kAverage);
    }
  } else if (m_bHasRhythm) {
    opener->OpenWindow(this, DocWindow::kRhythm);
  }
  if (m_bHasMeasures) {
    opener->OpenWindow(this, DocWindow::kMeasurements);
  }
  if (m_bShowPatient) {
    opener->OpenWindow(this, DocWindow::kPatient);
  }
}
