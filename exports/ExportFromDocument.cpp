#include "exports/ExportFromDocument.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDate>
#include <QString>
#include <QTime>

#include "document/CQuillonDoc.h"
#include "leads/LeadTables.h"
#include "scp/ScpLeadNames.h"

namespace {

constexpr int kAgeUnitYears = 1;
constexpr int kSexMale = 1;
constexpr int kSexFemale = 2;
constexpr double kBaselineFilterUnitsPerHz = 100.0;  // stored in hundredths of Hz

std::string Utf8(const QString& text) {
  return text.trimmed().toStdString();
}

// "DD/MM/YYYY" as the patient model writes dates; unset when empty or not in that form.
ExportDate DateOfText(const QString& text) {
  const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
  return date.isValid() ? ExportDate{date.year(), date.month(), date.day()} : ExportDate();
}

// The acquisition time as the record stores it, to the second.
ExportTime TimeOf(const QTime& time) {
  return time.isValid() ? ExportTime{true, time.hour(), time.minute(), time.second(), true}
                        : ExportTime();
}

template <typename Entry>
ExportLead LeadOf(const Entry& entry) {
  ExportLead lead;
  lead.code = entry.leadCode;
  const char* name = ScpLeadName(entry.leadCode);
  lead.name = name != nullptr ? name : std::to_string(entry.leadCode);
  lead.sampleIntervalUs = entry.sampleInterval;
  lead.nanovoltsPerUnit = entry.amplitudeMultiplier;
  lead.samples.assign(entry.samples, entry.samples + entry.sampleCount);
  return lead;
}

template <typename Entry>
std::vector<ExportLead> LeadsOf(const Entry* entries, int32_t count) {
  std::vector<ExportLead> leads;
  for (int32_t i = 0; i < count; ++i) {
    if (entries[i].samples != nullptr && entries[i].sampleCount > 0) {
      leads.push_back(LeadOf(entries[i]));
    }
  }
  return leads;
}

void FillPatient(const PatientFields& fields, const PatientRecordKeep& keep, ExportRecord* out) {
  out->lastName = Utf8(fields.m_strLastName);
  out->firstName = Utf8(fields.m_strFirstName);
  out->secondLastName = Utf8(fields.m_strSecondName);
  out->patientId = Utf8(fields.m_strPatientId);
  out->acquiringInstitution = Utf8(fields.m_strAcqInstitution);
  out->acquiringDepartment = Utf8(fields.m_strAcqDepartment);
  out->referringPhysician = Utf8(fields.m_strReferringPhysician);
  out->confirmingPhysician = Utf8(fields.m_strConfirmingPhysician);
  out->technician = Utf8(fields.m_strTechnician);
  out->diagnosis = Utf8(fields.m_strDiagnosis);
  out->freeText = Utf8(fields.m_strFreeText);
  out->birthDate = DateOfText(fields.m_strBirthDate);
  if (keep.acquisitionDateStored) {
    out->acquisitionDate = DateOfText(fields.m_strAcqDate);
    out->acquisitionTime = TimeOf(keep.acquisitionTime);
  }
  // An age derived from today's date rather than the acquisition's is not the record's.
  const bool ageFromRecord = keep.ageStored || keep.acquisitionDateStored;
  if (ageFromRecord && fields.m_nAgeUnit == kAgeUnitYears) {
    out->ageYears = static_cast<int>(fields.m_nAge);
  }
  out->sex = keep.sexCode == kSexMale     ? ExportSex::kMale
             : keep.sexCode == kSexFemale ? ExportSex::kFemale
                                          : ExportSex::kUnknown;
  if (fields.m_bHighPassLabel) {
    out->highPassHz = fields.m_nHighPassLabel / kBaselineFilterUnitsPerHz;
  }
  if (fields.m_bLowPassLabel) {
    out->lowPassHz = fields.m_nLowPassFilter;
  }
  out->notch50Hz = fields.m_b50HzLabel;
  out->notch60Hz = fields.m_b60HzLabel;
  for (const QString& statement : fields.m_strStatement) {
    if (!statement.trimmed().isEmpty()) {
      out->statements.push_back(Utf8(statement));
    }
  }
}

}  // namespace

ExportRecord MakeExportRecord(const CQuillonDoc& doc) {
  ExportRecord out;
  if (doc.m_pRecord == nullptr) {
    return out;
  }
  FillPatient(doc.Patient().Fields(), doc.Patient().Keep(), &out);
  out.rhythm = LeadsOf(doc.m_rhythmLeads, doc.m_nRhythmLeads);
  out.beats = LeadsOf(doc.m_refLeads, doc.m_nRefLeads);
  // A rhythm rebuilt with the reference beats is spaced at their rate, whatever interval its
  // own (decimated) description keeps; the rhythm view draws it the same way.
  if (doc.m_nRefLeads != 0 && doc.m_refLeads[0].sampleInterval != 0) {
    for (ExportLead& lead : out.rhythm) {
      lead.sampleIntervalUs = doc.m_refLeads[0].sampleInterval;
    }
  }
  return out;
}

std::string ExportSeedOf(const std::string& bytes) {
  const QByteArray digest = QCryptographicHash::hash(
      QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size())),
      QCryptographicHash::Sha256);
  return digest.toHex().toStdString();
}
