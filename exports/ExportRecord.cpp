#include "exports/ExportRecord.h"

#include <algorithm>

#include "document/RecordAnonymizer.h"

std::string JoinedPersonName(const ExportRecord& record) {
  std::string name = record.lastName + "^" + record.firstName + "^" + record.secondLastName;
  while (!name.empty() && name.back() == '^') {
    name.pop_back();
  }
  return name;
}

void AnonymizeExportRecord(ExportRecord* record, const std::string& anonId) {
  for (std::string* text :
       {&record->lastName, &record->firstName, &record->secondLastName,
        &record->acquiringInstitution, &record->acquiringDepartment, &record->referringPhysician,
        &record->confirmingPhysician, &record->technician, &record->diagnosis, &record->freeText}) {
    text->clear();
  }
  record->patientId = anonId.empty() ? kAnonymousPatientId : anonId;
  record->birthDate = ExportDate();
  record->anonymized = true;
}

double RhythmSeconds(const ExportRecord& record) {
  double seconds = 0;
  for (const ExportLead& lead : record.rhythm) {
    seconds = std::max(seconds, lead.samples.size() * (lead.sampleIntervalUs / 1e6));
  }
  return seconds;
}
