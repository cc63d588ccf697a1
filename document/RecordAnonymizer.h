// Removes the patient's identity from a record in memory: the header section is rebuilt without
// the texts that name or locate the patient, while every other section stays as it was.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "scp/ScpRecord.h"

// The patient identification an anonymised record carries when the caller gives none.
inline const char* const kAnonymousPatientId = "ANONYMOUS";

// Rebuilds section 1 of record without the identity of the patient:
// - names, institutions, departments, physicians, technician, room, sequence number, the
//   diagnosis and free texts are removed (the bytes after the terminator too);
// - the patient identification becomes anonId (kAnonymousPatientId when empty), added when the
//   record had none;
// - the birth date is removed; a stored age is kept, and when none is stored the age reckoned
//   from the birth and acquisition dates takes the birth date's place, so it is not lost;
// - the device identifications keep their model and software texts but lose their institution,
//   department and device numbers and their serial number.
// Every other item keeps its bytes and order; the new section keeps the old one's header bytes.
// Returns an empty text, or why the record was not anonymised: anonId holds characters the
// record cannot store (Latin-1 only) or is too long, or the section could not be rebuilt (the
// record may then be partly changed and must be discarded). A record without section 1 is left
// as it is.
QString AnonymizeRecord(ScpRecord* record, const QString& anonId);

// The ids of the record's sections whose contents Quillon does not know (a manufacturer's own,
// and any section 12 but a version-3 record's rhythm), ascending. Anonymising copies them as
// they are, so they may still name the patient.
std::vector<uint16_t> SectionsOfUnknownContent(const ScpRecord* record);
