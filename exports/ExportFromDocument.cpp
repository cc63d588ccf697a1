#include "exports/ExportFromDocument.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDate>
#include <QString>

#include "document/CQuillonDoc.h"
#include "leads/LeadTables.h"
#include "scp/ScpLeadNames.h"
#include "views/PatientRecord.h"

namespace {

constexpr int kAgeUnitYears = 1;
constexpr int kSexMale = 1;
constexpr int kSexFemale = 2;
constexpr double kBaselineFilterUnitsPerHz = 100.0;  // stored in hundredths of Hz

std::string Utf8(const QString& text) {
  return text.trimmed().toStdString();
}

// A stored date or time item, as kept whole (tag, length, value): the value starts at byte 3.
constexpr int kItemValueOffset = 3;

ExportDate DateOfItem(const QByteArray& item) {
  ExportDate date;
  if (item.size() >= kItemValueOffset + 4) {
    const auto* value = reinterpret_cast<const uint8_t*>(item.constData()) + kItemValueOffset;
    date.year = value[0] | (value[1] << 8);
    date.month = value[2];
    date.day = value[3];
  }
  return date;
}

ExportTime TimeOfItem(const QByteArray& item) {
  ExportTime time;
  if (item.size() >= kItemValueOffset + 3) {
    const auto* value = reinterpret_cast<const uint8_t*>(item.constData()) + kItemValueOffset;
    time = {true, value[0], value[1], value[2]};
  }
  return time;
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
  out->birthDate = DateOfItem(keep.birthDateItem);
  out->acquisitionDate = DateOfItem(keep.acquisitionDateItem);
  out->acquisitionTime = TimeOfItem(keep.acquisitionTimeItem);
  // An age derived from today's date rather than the acquisition's is not the record's.
  const bool ageFromRecord = !keep.ageItem.isEmpty() || keep.ageDerivedFromStoredDates;
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
  PatientFields fields;
  PatientRecordKeep keep;
  ReadPatientRecord(doc.m_pRecord, QDate::currentDate(), &fields, &keep);
  FillPatient(fields, keep, &out);
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
