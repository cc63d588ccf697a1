#include "views/PatientListTexts.h"

#include <initializer_list>

#include "document/PatientFields.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"

namespace {

// Each entry's string id in list order; 0 where the entry has no text (the race list's blank).
QStringList Translated(QStringList entries, std::initializer_list<int> ids) {
  int position = 0;
  for (const int id : ids) {
    const QString text = id != 0 ? LoadString(id) : QString();
    if (position < entries.size() && !text.isEmpty()) {
      entries[position] = text;
    }
    ++position;
  }
  return entries;
}

}  // namespace

QStringList PatientListEntries(PatientList list) {
  switch (list) {
    case PatientList::kSex:
      return Translated(SexEntries(),
                        {kIdsSexNotKnown, kIdsSexMale, kIdsSexFemale, kIdsSexUnspecified});
    case PatientList::kRace:
      return Translated(RaceEntries(), {kIdsUnitUnspecified, kIdsRaceCaucasian, kIdsRaceBlack,
                                        kIdsRaceOriental, 0});
    case PatientList::kWeightUnit:
      return Translated(WeightUnitEntries(), {kIdsUnitUnspecified, kIdsWeightKg, kIdsWeightGram,
                                              kIdsWeightPound, kIdsWeightOunce});
    case PatientList::kHeightUnit:
      return Translated(HeightUnitEntries(),
                        {kIdsUnitUnspecified, kIdsHeightCm, kIdsHeightInch, kIdsHeightMm});
    case PatientList::kAgeUnit:
      return Translated(AgeUnitEntries(), {kIdsUnitUnspecified, kIdsAgeYears, kIdsAgeMonths,
                                           kIdsAgeWeeks, kIdsAgeDays, kIdsAgeHours});
    case PatientList::kStatement:
      return Translated(StatementEntries(), {kIdsStatementNormal, kIdsStatementAbnormal});
  }
  return {};
}
