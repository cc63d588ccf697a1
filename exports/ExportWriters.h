// The file writers of an export, one per format. Each writes the description to path and returns
// true; on failure it returns false with *error saying why, and leaves no file at path.
#pragma once

#include <string>

#include "exports/ExportRecord.h"

// DICOM waveform object: 12-lead ECG storage, or general ECG storage for a rhythm longer than
// 15 s, sampled outside 200 to 1000 Hz, or of more than 16384 samples. Statements become text
// annotations of the waveform. Identifiers are derived from record.uidSeed. A record without an
// acquisition date or time is refused: the object requires both.
bool WriteDicomEcg(const ExportRecord& record, const std::string& path, std::string* error);

// EDF+ (continuous): one signal per rhythm lead in microvolts, the statements as annotations at
// time 0.
bool WriteEdfPlus(const ExportRecord& record, const std::string& path, std::string* error);

// HL7 annotated ECG (XML): one rhythm series, the reference beats as its derived series.
bool WriteAnnotatedEcg(const ExportRecord& record, const std::string& path, std::string* error);

// The rhythm leads' samples as CSV: the lead names, then one line per sample index; a lead that
// has ended leaves its cell empty.
bool WriteSamplesCsv(const ExportRecord& record, const std::string& path, std::string* error);

// A DICOM unique identifier under the 2.25 root, derived from the seed and the role ("study",
// "series", "instance"): the same seed and role always give the same identifier.
std::string DerivedUid(const std::string& seed, const std::string& role);
