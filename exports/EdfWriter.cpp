// Writes a record as EDF+ (continuous) with edflib.
//
// Steps: choose a data-record length that holds a whole number of samples and divides the
// rhythm, so no sample is invented to fill the last record; set each signal's range and unit;
// the patient and start; write the records; the statements as annotations at time 0.
#include <edflib.h>

#include <cstdio>
#include <mutex>

#include "exports/ExportWriters.h"

namespace {

constexpr int kDigitalMin = -32768;
constexpr int kDigitalMax = 32767;
constexpr long long kTenMicrosecondsPerSecond = 100000;  // edflib's unit of record duration
constexpr int kEarliestEdfYear = 1985;                   // EDF's "unknown" start date
constexpr int kLatestEdfYear = 2084;
constexpr int kEdfMale = 1;
constexpr int kEdfFemale = 0;

// edflib keeps its open files in one table of its own: writers take turns.
std::mutex& EdfLibMutex() {
  static std::mutex mutex;
  return mutex;
}

// EDF header fields are ASCII: other characters become '_'.
std::string Ascii(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte >= 0x20 && byte < 0x7F ? c : '_';
  }
  return out;
}

// Samples per data record: the most, at most one second's worth, that divide the lead's count
// and last a whole number of 10 µs.
int SamplesPerRecord(const ExportLead& lead) {
  const long long count = static_cast<long long>(lead.samples.size());
  const long long perSecond = 1000000 / lead.sampleIntervalUs;
  for (long long n = std::max(1LL, std::min(perSecond, count)); n > 1; --n) {
    if (count % n == 0 && (n * lead.sampleIntervalUs) % 10 == 0) {
      return static_cast<int>(n);
    }
  }
  return 1;
}

bool SetUpSignals(int handle, const ExportRecord& record, int perRecord) {
  for (size_t s = 0; s < record.rhythm.size(); ++s) {
    const ExportLead& lead = record.rhythm[s];
    const int signal = static_cast<int>(s);
    const double unit = lead.MicrovoltsPerUnit();
    if (edf_set_samplefrequency(handle, signal, perRecord) != 0 ||
        edf_set_digital_minimum(handle, signal, kDigitalMin) != 0 ||
        edf_set_digital_maximum(handle, signal, kDigitalMax) != 0 ||
        edf_set_physical_minimum(handle, signal, kDigitalMin * unit) != 0 ||
        edf_set_physical_maximum(handle, signal, kDigitalMax * unit) != 0 ||
        edf_set_physical_dimension(handle, signal, "uV") != 0 ||
        edf_set_label(handle, signal, lead.name.c_str()) != 0) {
      return false;
    }
  }
  return true;
}

void SetUpPatient(int handle, const ExportRecord& record) {
  if (!record.patientId.empty()) {
    edf_set_patientcode(handle, Ascii(record.patientId).c_str());
  }
  if (record.sex != ExportSex::kUnknown) {
    edf_set_gender(handle, record.sex == ExportSex::kMale ? kEdfMale : kEdfFemale);
  }
  if (record.birthDate.IsSet()) {
    edf_set_birthdate(handle, record.birthDate.year, record.birthDate.month, record.birthDate.day);
  }
  std::string name = record.lastName;
  if (!record.firstName.empty()) {
    name += (name.empty() ? "" : ", ") + record.firstName;
  }
  if (!name.empty()) {
    edf_set_patientname(handle, Ascii(name).c_str());
  }
  const ExportDate& date = record.acquisitionDate;
  const bool dated = date.IsSet() && date.year >= kEarliestEdfYear && date.year <= kLatestEdfYear;
  const ExportTime time = dated ? record.acquisitionTime : ExportTime();
  edf_set_startdatetime(handle, dated ? date.year : kEarliestEdfYear, dated ? date.month : 1,
                        dated ? date.day : 1, time.hour, time.minute, time.second);
}

bool WriteSignals(int handle, const ExportRecord& record, int perRecord) {
  const size_t count = record.rhythm.front().samples.size();
  std::vector<short> block(static_cast<size_t>(perRecord) * record.rhythm.size());
  for (size_t start = 0; start < count; start += static_cast<size_t>(perRecord)) {
    for (size_t s = 0; s < record.rhythm.size(); ++s) {
      const std::vector<int16_t>& samples = record.rhythm[s].samples;
      for (int i = 0; i < perRecord; ++i) {
        block[s * perRecord + i] = samples[start + static_cast<size_t>(i)];
      }
    }
    if (edf_blockwrite_digital_short_samples(handle, block.data()) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteEdfPlus(const ExportRecord& record, const std::string& path, std::string* error) {
  if (record.rhythm.empty()) {
    *error = "holds no rhythm to export";
    return false;
  }
  const ExportLead& first = record.rhythm.front();
  for (const ExportLead& lead : record.rhythm) {
    if (lead.sampleIntervalUs == 0 || lead.sampleIntervalUs != first.sampleIntervalUs ||
        lead.samples.size() != first.samples.size()) {
      *error = "has leads of different lengths or rates, which EDF+ cannot hold in one file";
      return false;
    }
  }
  const int perRecord = SamplesPerRecord(first);
  const long long duration = perRecord * static_cast<long long>(first.sampleIntervalUs) / 10;

  std::lock_guard<std::mutex> lock(EdfLibMutex());
  const int handle = edfopen_file_writeonly(path.c_str(), EDFLIB_FILETYPE_EDFPLUS,
                                            static_cast<int>(record.rhythm.size()));
  if (handle < 0) {
    *error = "cannot be created";
    return false;
  }
  bool ok = edf_set_datarecord_duration(handle, static_cast<int>(duration)) == 0 &&
            duration <= 60 * kTenMicrosecondsPerSecond && SetUpSignals(handle, record, perRecord);
  if (ok) {
    SetUpPatient(handle, record);
    ok = WriteSignals(handle, record, perRecord);
  }
  for (const std::string& statement : record.statements) {
    ok = ok && edfwrite_annotation_utf8(handle, 0, -1, statement.c_str()) == 0;
  }
  ok = edfclose_file(handle) == 0 && ok;
  if (!ok) {
    *error = "cannot be written";
    std::remove(path.c_str());
  }
  return ok;
}
