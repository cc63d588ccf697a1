// Writes a record as a DICOM ECG waveform object with DCMTK.
//
// Steps: choose the storage class from the rhythm's length and rate; the patient, study, series,
// equipment and identification attributes; the rhythm as the first multiplex group and the
// reference beats as the second; the statements as waveform annotations; save.
// Statements are kept in Waveform Annotation Sequence (0040,B020) items, each an Unformatted
// Text Value (0070,0006) referring to every channel of the rhythm group (channel 0 of group 1).
#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <cstdio>

#include "exports/ExportWriters.h"

#include <dcmtk/config/osconfig.h>  // must come before any other DCMTK header
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcitem.h>
#include <dcmtk/dcmdata/dcuid.h>

namespace {

constexpr const char* kTwelveLeadEcgStorage = "1.2.840.10008.5.1.4.1.1.9.1.1";
constexpr const char* kGeneralEcgStorage = "1.2.840.10008.5.1.4.1.1.9.1.2";
constexpr double kTwelveLeadMaxSeconds = 15.0;
constexpr double kTwelveLeadMinRateHz = 200.0;
constexpr double kTwelveLeadMaxRateHz = 1000.0;
constexpr size_t kTwelveLeadMaxSamples = 16384;
constexpr Uint16 kPaddingValue = 0x8000;   // -32768: no sample here
constexpr const char* kUidRoot = "2.25.";  // identifiers derived from a 128-bit number

std::string DateText(const ExportDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

std::string TimeText(const ExportTime& time) {
  char text[16];
  if (time.secondKnown) {
    std::snprintf(text, sizeof text, "%02d%02d%02d", time.hour, time.minute, time.second);
  } else {
    std::snprintf(text, sizeof text, "%02d%02d", time.hour, time.minute);
  }
  return text;
}

std::string DecimalText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

bool IsTwelveLead(const ExportRecord& record) {
  if (record.rhythm.empty()) {
    return true;
  }
  const double rate = record.rhythm.front().SampleRateHz();
  size_t samples = 0;
  for (const ExportLead& lead : record.rhythm) {
    samples = std::max(samples, lead.samples.size());
  }
  return RhythmSeconds(record) <= kTwelveLeadMaxSeconds && rate >= kTwelveLeadMinRateHz &&
         rate <= kTwelveLeadMaxRateHz && samples <= kTwelveLeadMaxSamples &&
         record.rhythm.size() <= 13;
}

void PutCode(DcmItem* item, const DcmTagKey& sequence, const char* value, const char* scheme,
             const std::string& meaning) {
  DcmItem* code = nullptr;
  if (item->findOrCreateSequenceItem(sequence, code, -2).good()) {
    code->putAndInsertString(DCM_CodeValue, value);
    code->putAndInsertString(DCM_CodingSchemeDesignator, scheme);
    code->putAndInsertString(DCM_CodeMeaning, meaning.c_str());
  }
}

void PutPatient(const ExportRecord& record, DcmDataset* data) {
  data->putAndInsertString(DCM_PatientName, JoinedPersonName(record).c_str());
  data->putAndInsertString(DCM_PatientID, record.patientId.c_str());
  data->putAndInsertString(DCM_PatientBirthDate,
                           record.birthDate.IsSet() ? DateText(record.birthDate).c_str() : "");
  const char* sex = record.sex == ExportSex::kMale     ? "M"
                    : record.sex == ExportSex::kFemale ? "F"
                                                       : "";
  data->putAndInsertString(DCM_PatientSex, sex);
  if (record.ageYears >= 0 && record.ageYears <= 999) {
    char age[8];
    std::snprintf(age, sizeof age, "%03dY", record.ageYears);
    data->putAndInsertString(DCM_PatientAge, age);
  }
}

void PutStudyAndSeries(const ExportRecord& record, DcmDataset* data) {
  const std::string date = DateText(record.acquisitionDate);
  const std::string time = TimeText(record.acquisitionTime);
  data->putAndInsertString(DCM_StudyInstanceUID, DerivedUid(record.uidSeed, "study").c_str());
  data->putAndInsertString(DCM_StudyDate, date.c_str());
  data->putAndInsertString(DCM_StudyTime, time.c_str());
  data->putAndInsertString(DCM_ReferringPhysicianName, record.referringPhysician.c_str());
  data->putAndInsertString(DCM_StudyID, "");
  data->putAndInsertString(DCM_AccessionNumber, "");
  data->putAndInsertString(DCM_Modality, "ECG");
  data->putAndInsertString(DCM_SeriesInstanceUID, DerivedUid(record.uidSeed, "series").c_str());
  data->putAndInsertString(DCM_SeriesNumber, "1");
  data->putAndInsertString(DCM_Manufacturer, "");
  if (!record.acquiringInstitution.empty()) {
    data->putAndInsertString(DCM_InstitutionName, record.acquiringInstitution.c_str());
  }
  data->putAndInsertString(DCM_InstanceNumber, "1");
  data->putAndInsertString(DCM_ContentDate, date.c_str());
  data->putAndInsertString(DCM_ContentTime, time.c_str());
  data->putAndInsertString(DCM_AcquisitionDateTime, (date + time).c_str());
  data->insertEmptyElement(DCM_AcquisitionContextSequence);
}

void PutChannel(const ExportRecord& record, const ExportLead& lead, DcmItem* group) {
  DcmItem* channel = nullptr;
  if (group->findOrCreateSequenceItem(DCM_ChannelDefinitionSequence, channel, -2).bad()) {
    return;
  }
  channel->putAndInsertString(DCM_ChannelLabel, lead.name.c_str());
  const std::string code = "2:" + std::to_string(lead.code);
  PutCode(channel, DCM_ChannelSourceSequence, code.c_str(), "MDC", "Lead " + lead.name);
  channel->putAndInsertString(DCM_ChannelSensitivity,
                              DecimalText(lead.MicrovoltsPerUnit()).c_str());
  PutCode(channel, DCM_ChannelSensitivityUnitsSequence, "uV", "UCUM", "microvolt");
  channel->putAndInsertString(DCM_ChannelSensitivityCorrectionFactor, "1");
  channel->putAndInsertString(DCM_ChannelBaseline, "0");
  channel->putAndInsertString(DCM_ChannelSampleSkew, "0");
  channel->putAndInsertUint16(DCM_WaveformBitsStored, 16);
  if (record.highPassHz >= 0) {
    channel->putAndInsertString(DCM_FilterLowFrequency, DecimalText(record.highPassHz).c_str());
  }
  if (record.lowPassHz >= 0) {
    channel->putAndInsertString(DCM_FilterHighFrequency, DecimalText(record.lowPassHz).c_str());
  }
  if (record.notch50Hz || record.notch60Hz) {
    channel->putAndInsertString(DCM_NotchFilterFrequency, record.notch50Hz ? "50" : "60");
  }
}

// One multiplex group: every lead's samples interleaved sample by sample, padded where a lead
// ends early.
void PutGroup(const ExportRecord& record, const std::vector<ExportLead>& leads, bool original,
              const char* label, DcmDataset* data) {
  DcmItem* group = nullptr;
  if (leads.empty() || data->findOrCreateSequenceItem(DCM_WaveformSequence, group, -2).bad()) {
    return;
  }
  size_t samples = 0;
  for (const ExportLead& lead : leads) {
    samples = std::max(samples, lead.samples.size());
  }
  group->putAndInsertString(DCM_WaveformOriginality, original ? "ORIGINAL" : "DERIVED");
  group->putAndInsertUint16(DCM_NumberOfWaveformChannels, static_cast<Uint16>(leads.size()));
  group->putAndInsertUint32(DCM_NumberOfWaveformSamples, static_cast<Uint32>(samples));
  group->putAndInsertString(DCM_SamplingFrequency,
                            DecimalText(leads.front().SampleRateHz()).c_str());
  group->putAndInsertString(DCM_MultiplexGroupLabel, label);
  for (const ExportLead& lead : leads) {
    PutChannel(record, lead, group);
  }
  group->putAndInsertUint16(DCM_WaveformBitsAllocated, 16);
  group->putAndInsertString(DCM_WaveformSampleInterpretation, "SS");
  std::vector<Uint16> interleaved(samples * leads.size(), kPaddingValue);
  bool padded = false;
  for (size_t c = 0; c < leads.size(); ++c) {
    const std::vector<int16_t>& lead = leads[c].samples;
    padded = padded || lead.size() < samples;
    for (size_t i = 0; i < lead.size(); ++i) {
      interleaved[i * leads.size() + c] = static_cast<Uint16>(lead[i]);
    }
  }
  if (padded) {
    group->putAndInsertUint16Array(DCM_WaveformPaddingValue, &kPaddingValue, 1);
  }
  group->putAndInsertUint16Array(DCM_WaveformData, interleaved.data(),
                                 static_cast<unsigned long>(interleaved.size()));
}

void PutStatements(const ExportRecord& record, DcmDataset* data) {
  const Uint16 allChannelsOfRhythm[2] = {1, 0};
  for (const std::string& statement : record.statements) {
    DcmItem* annotation = nullptr;
    if (data->findOrCreateSequenceItem(DCM_WaveformAnnotationSequence, annotation, -2).good()) {
      annotation->putAndInsertString(DCM_UnformattedTextValue, statement.c_str());
      annotation->putAndInsertUint16Array(DCM_ReferencedWaveformChannels, allChannelsOfRhythm, 2);
      annotation->putAndInsertUint16(DCM_AnnotationGroupNumber, 1);
    }
  }
}

}  // namespace

std::string DerivedUid(const std::string& seed, const std::string& role) {
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(seed + "/" + role),
                                                     QCryptographicHash::Sha256);
  unsigned __int128 number = 0;
  for (int i = 0; i < 16; ++i) {
    number = (number << 8) | static_cast<uint8_t>(digest[i]);
  }
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(number % 10)));
    number /= 10;
  } while (number != 0);
  return kUidRoot + digits;
}

bool WriteDicomEcg(const ExportRecord& record, const std::string& path, std::string* error) {
  if (record.rhythm.empty()) {
    *error = "holds no rhythm to export";
    return false;
  }
  // The waveform's content date and time are required; a date of our own would be a false one.
  if (!record.acquisitionDate.IsSet() || !record.acquisitionTime.set) {
    *error = record.acquisitionDate.IsSet() ? "no acquisition time: DICOM requires one"
                                            : "no acquisition date: DICOM requires one";
    return false;
  }
  DcmFileFormat file;
  DcmDataset* data = file.getDataset();
  const char* sopClass = IsTwelveLead(record) ? kTwelveLeadEcgStorage : kGeneralEcgStorage;
  const std::string instance = DerivedUid(record.uidSeed, "instance");
  data->putAndInsertString(DCM_SpecificCharacterSet, "ISO_IR 192");  // UTF-8 texts
  data->putAndInsertString(DCM_SOPClassUID, sopClass);
  data->putAndInsertString(DCM_SOPInstanceUID, instance.c_str());
  PutPatient(record, data);
  PutStudyAndSeries(record, data);
  PutGroup(record, record.rhythm, true, "RHYTHM", data);
  PutGroup(record, record.beats, false, "MEDIAN BEAT", data);
  PutStatements(record, data);
  const OFCondition saved = file.saveFile(path.c_str(), EXS_LittleEndianExplicit);
  if (saved.bad()) {
    *error = std::string("cannot be written: ") + saved.text();
    std::remove(path.c_str());
    return false;
  }
  return true;
}
