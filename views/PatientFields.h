// The patient and examination data the patient form shows, edits and prints: one field per item
// of the header section and the six interpretive statements, in the record's own units and codes,
// and what a save must write back exactly as it was read.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

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

// What a save writes back exactly as it was read: every item the form does not edit, and the
// codes the lists cannot show. Each kept item is its whole stored form (tag, length, value).
struct PatientRecordKeep {
  bool hasHeaderSection = false;   // the record had section 1
  QByteArray birthDateItem;        // tag 5, empty when absent
  QString birthDateText;           // the birth date as shown: while it is unchanged, tag 5 is
                                   // written as it was read, even a date the form would refuse
  QByteArray acquisitionDateItem;  // tag 25, empty when absent
  QByteArray acquisitionTimeItem;  // tag 26, empty when absent
  QByteArray ageItem;              // tag 4, empty when absent
  bool ageDerivedFromStoredDates = false;  // the age shown was derived from tags 5 and 25
  QByteArray otherHeaderItems;  // items whose tag the form does not write, in stored order
  QByteArray extraStatements;   // section 8 items with a tag above the six, in stored order
  int extraStatementCount = 0;
  // Stored codes, −1 when absent: written back when their list shows no selection.
  int sexCode = kNoListEntry;
  int raceCode = kNoListEntry;
  int heightUnitCode = kNoListEntry;
  int weightUnitCode = kNoListEntry;
};
