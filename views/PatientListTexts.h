// The entries of the patient form's lists in the session's language. An entry's position is the
// code the record stores, as in the document's English lists, so a translated list selects and
// saves exactly what the English one does.
#pragma once

#include <QStringList>

enum class PatientList { kSex, kRace, kWeightUnit, kHeightUnit, kAgeUnit, kStatement };

// Returns the list's entries from the string table; an entry the table has no text for keeps the
// document's English text.
QStringList PatientListEntries(PatientList list);
