// Moves the patient form's fields to and from a record: reading the header section (section 1)
// and the statements (section 8), deriving the age, and rebuilding both sections for a save while
// keeping every item the form does not edit.
#pragma once

#include <QDate>
#include <QDateTime>

#include "scp/ScpRecord.h"
#include "views/PatientFields.h"

// Fills the fields from the record, leaving a field as it is where its item is absent. A record
// without section 1 leaves every header field at its initial value (its statements are still
// read). A missing acquisition date shows `today`, from which the age is then derived when the
// record stores none. *keep receives what a save must write back as it was read.
void ReadPatientRecord(const ScpRecord* record, const QDate& today, PatientFields* fields,
                       PatientRecordKeep* keep);

// Rebuilds sections 1 and 8 from the fields, in the order the form writes its items, followed by
// the kept items; the statement header is dated `now` and counts the six statements and the kept
// ones. Both sections are assembled apart and replace the old ones only when both are complete:
// false (memory ran out, or a section outgrew what a record can hold) leaves the record unchanged.
bool WritePatientRecord(ScpRecord* record, const PatientFields& fields,
                        const PatientRecordKeep& keep, const QDateTime& now);

// The age in whole units between a birth date and an acquisition date, as (value, unit code):
// years when the years differ, else months, else days, else (0, 0); (0, 0) also when either date
// is missing (all parts 0). The year difference ignores whether the birthday has come yet.
struct DerivedAge {
  unsigned int value;
  int unit;
};
DerivedAge DeriveAge(int birthDay, int birthMonth, int birthYear, int acqDay, int acqMonth,
                     int acqYear);
