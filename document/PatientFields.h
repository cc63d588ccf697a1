// The patient and examination data of a record as the document's patient model holds them: one
// field per item of the header section and the six interpretive statements the form shows, in
// the record's own units and codes, and what the record held when it was read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>
#include <vector>

constexpr int kStatementCount = 6;  // statements the form shows and edits
constexpr int kNoListEntry = -1;    // a list position with no selection

struct PatientFields {
  // Texts, as Latin-1 decoded bytes of the record.
  QString m_strLastName;
  QString m_strFirstName;
  QString m_strPatientId;
  QString m_strSecondName;
  QString m_strBirthDate;  // "DD/MM/YYYY", empty when the record has none
  QString m_strDiagnosis;
  QString m_strAcqInstitution;
  QString m_strAnaInstitution;
  QString m_strAcqDepartment;
  QString m_strAnaDepartment;
  QString m_strReferringPhysician;
  QString m_strConfirmingPhysician;
  QString m_strTechnician;
  QString m_strRoom;
  QString m_strAcqDate;  // shown only
  QString m_strAcqTime;  // shown only, "HH:MM"
  QString m_strFreeText;
  QString m_strSequenceNumber;

  // Numbers and list positions (the position in a list is the code stored in the record).
  unsigned int m_nAge = 0;
  int m_nAgeUnit = 0;
  unsigned int m_nHeight = 0;
  int m_nHeightUnit = 0;
  unsigned int m_nWeight = 0;
  int m_nWeightUnit = 0;
  int m_nSex = 3;  // "unspecified"
  int m_nRace = 0;
  int m_nSystolic = 0;
  int m_nDiastolic = 0;
  unsigned int m_nStatCode = 0;
  unsigned int m_nBaselineFilter = 0;  // hundredths of Hz
  unsigned int m_nLowPassFilter = 0;   // Hz

  // The statement header and the statements.
  int m_bConfirmed = 0;
  QString m_strConfirmDate;
  QString m_strConfirmTime;
  QString m_strStatement[kStatementCount];

  // Filter labels of the printed footer, taken from the record when it is read.
  bool m_bHighPassLabel = false;
  int m_nHighPassLabel = 0;  // hundredths of Hz
  bool m_bLowPassLabel = false;
  bool m_b50HzLabel = false;
  bool m_b60HzLabel = false;
};

// One statement of the statement section as stored: its number (the item's tag), its text and
// the whole stored item (head and value), written back as it is while its text is unchanged.
struct StoredStatement {
  uint8_t tag = 0;
  QString text;
  QByteArray item;
};

// What the record held when it was read (or last written), against which a save finds what the
// user changed: a save rewrites only the items whose values differ from these.
struct PatientRecordKeep {
  bool hasHeaderSection = false;       // the record had section 1
  bool hasStatementSection = false;    // the record had a statement header
  bool ageStored = false;              // the record held tag 4: only then is the age written
  bool acquisitionDateStored = false;  // the record held tag 25 (else the date shown is today's)
  QTime acquisitionTime;               // tag 26 to the second; invalid when the record has none
  PatientFields asRead;                // the fields as the record held them
  // Every statement in stored order, whatever its numbering; the form shows the first six.
  std::vector<StoredStatement> statements;
  // Stored codes, −1 when absent: written back when their list shows no selection.
  int sexCode = kNoListEntry;
  int raceCode = kNoListEntry;
  int heightUnitCode = kNoListEntry;
  int weightUnitCode = kNoListEntry;
};

// The entries of the form's lists, in English; an entry's position is the code the record holds.
QStringList SexEntries();
QStringList RaceEntries();
QStringList WeightUnitEntries();
QStringList HeightUnitEntries();
QStringList AgeUnitEntries();
QStringList StatementEntries();
