// What an export writes: the patient, the examination and the display leads of one record, as
// plain values, filled from the document in one place so every file writer reads the same thing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ExportDate {
  int year = 0;
  int month = 0;
  int day = 0;
  bool IsSet() const { return year != 0 && month != 0 && day != 0; }
};

struct ExportTime {
  bool set = false;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool secondKnown = false;  // the record's time may stop at the minute
};

enum class ExportSex { kUnknown, kMale, kFemale };

// One lead's samples with what it takes to read them as volts and seconds.
struct ExportLead {
  uint8_t code = 0;               // the lead code of the record (1 I, 2 II, 61 III, ...)
  std::string name;               // "I", "aVR", "V1"
  uint32_t sampleIntervalUs = 0;  // microseconds between samples
  uint32_t nanovoltsPerUnit = 0;  // the amplitude of one stored unit
  std::vector<int16_t> samples;

  double SampleRateHz() const { return sampleIntervalUs == 0 ? 0.0 : 1e6 / sampleIntervalUs; }
  double MicrovoltsPerUnit() const { return nanovoltsPerUnit / 1000.0; }
};

struct ExportRecord {
  // Identifying texts, UTF-8. Empty when the record holds none or they were removed.
  std::string lastName;
  std::string firstName;
  std::string secondLastName;
  std::string patientId;
  std::string acquiringInstitution;
  std::string acquiringDepartment;
  std::string referringPhysician;
  std::string confirmingPhysician;
  std::string technician;
  std::string diagnosis;  // diagnosis or referral indication
  std::string freeText;

  ExportDate birthDate;
  int ageYears = -1;  // -1 when not known in years
  ExportSex sex = ExportSex::kUnknown;
  ExportDate acquisitionDate;  // unset when the record holds none
  ExportTime acquisitionTime;

  // Filters the cart applied; a negative frequency is not known.
  double highPassHz = -1;
  double lowPassHz = -1;
  bool notch50Hz = false;
  bool notch60Hz = false;

  std::vector<std::string> statements;  // in stored order, empty ones left out
  std::vector<ExportLead> rhythm;       // the display leads that decoded
  std::vector<ExportLead> beats;        // the reference beats that decoded

  bool anonymized = false;
  // Seed of the identifiers generated for this record (hex digest of the input file), so that
  // converting the same file twice gives the same identifiers.
  std::string uidSeed;
};

// "Last^First^Second": the person name as DICOM and the printed forms join it.
std::string JoinedPersonName(const ExportRecord& record);

// Removes every identifying text and the birth date, keeps the age in years, the sex, the
// statements and the signal, and sets the patient identification to anonId (or
// kAnonymousPatientId when it is empty).
void AnonymizeExportRecord(ExportRecord* record, const std::string& anonId);

// The duration of the rhythm in seconds (of its longest lead); 0 without rhythm.
double RhythmSeconds(const ExportRecord& record);
