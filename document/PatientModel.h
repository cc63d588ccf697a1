// The document's model of the patient and examination data: reads the header section (section 1)
// and every statement of the statement section (section 8) into fields, checks the values a user
// gives, and writes back only what changed. The patient form, the printout, the status bar and
// scptool all go through it, so they refuse the same input with the same message.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include "document/PatientFields.h"
#include "scp/ScpRecord.h"

// The fields a user can change, in the order the form takes them for a save.
enum class PatientField {
  kNone,
  kAcqDepartment,
  kAcqInstitution,
  kAnaDepartment,
  kAnaInstitution,
  kBirthDate,
  kDiastolic,
  kFirstName,
  kPatientId,
  kLastName,
  kReferringPhysician,
  kSecondName,
  kSystolic,
  kRace,
  kSex,
  kConfirmed,
  kWeightUnit,
  kHeightUnit,
  kWeight,
  kHeight,
  kStatement,  // with the statement's index, 0 to 5
};

// Why a value was refused: the field, the statement's index for kStatement, and one line naming
// the field and the reason. field is kNone when every value was accepted.
struct PatientRefusal {
  PatientField field = PatientField::kNone;
  int statement = -1;
  QString message;

  bool Refused() const { return field != PatientField::kNone; }
};

// The longest referring physician a user can give; a longer stored name is kept.
constexpr int kMaxReferringPhysicianChars = 80;
// The largest number a word or a value-with-unit item holds.
constexpr unsigned int kMaxItemNumber = 65535;

// The age in whole units between a birth date and an acquisition date, as (value, unit code):
// completed years when at least one, else completed months, else days, else (0, 0); (0, 0) also
// when either date is not a real date or the acquisition comes before the birth.
struct DerivedAge {
  unsigned int value;
  int unit;
};
DerivedAge DeriveAge(int birthDay, int birthMonth, int birthYear, int acqDay, int acqMonth,
                     int acqYear);

class PatientModel {
 public:
  // Fills the fields from the record, leaving a field at its initial value where its item is
  // absent. A missing acquisition date shows `today`, from which the age is derived when the
  // record stores none; the age is never written unless the record held it.
  void Read(const ScpRecord* record, const QDate& today);

  const PatientFields& Fields() const { return m_fields; }
  const PatientRecordKeep& Keep() const { return m_keep; }

  // Checks every value a user can change, in the form's order; the first refused one is
  // returned. Refused: a number above what its item holds, a list position outside its list, a
  // birth date that is not a real date or lies after `today`, a referring physician longer than
  // 80 characters (unless the record held one as long), text the record's Latin-1 cannot hold.
  PatientRefusal Check(const PatientFields& fields, const QDate& today) const;
  // Checks the fields and, when all are accepted, takes them: the birth date is written out as
  // DD/MM/YYYY and the age derived again when the birth date changed. A refusal leaves the model
  // as it was.
  PatientRefusal SetFields(const PatientFields& fields, const QDate& today);

  // True when the fields differ from what the record held for section 1, or for section 8
  // (a statement or the confirmed flag).
  bool HeaderChanged() const;
  bool StatementsChanged() const;

  // Writes what changed into the record: section 1 with each changed item replaced in its place
  // (new items before the terminator, an emptied birth date removed), every other item as it
  // was; section 8, only when a statement or the confirmed flag changed, with the statement
  // header dated `now`. An unchanged section is not touched. False when a section could not be
  // built (memory, or an item or section too long); the record is then unchanged. On success
  // the written values become what the record holds.
  bool Write(ScpRecord* record, const QDateTime& now);

  // The status bar's patient text: last name, first name, acquisition date.
  QString PatientText() const;
  // The sex list's entry for the field, empty when the list has none for it.
  QString SexText() const;

 private:
  PatientFields m_fields;
  PatientRecordKeep m_keep;
  QDate m_today;  // what a missing acquisition date shows
};
