// Whether a record file's stored checksums and lengths agree with its bytes: what opening a
// record tells the person, and what Save asks about before it writes fresh checksums.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

struct RecordDamage {
  bool recordFields = false;  // the record's length field, or its checksum unexplained by a section
  std::vector<uint16_t> sections;  // ids of the sections whose checksum or lengths disagree

  bool Any() const { return recordFields || !sections.empty(); }
};

// Checks the file at path. A file whose checksums cannot be checked at all counts as damaged in
// its record fields; a sound file gives an empty report.
RecordDamage CheckRecordDamage(const QString& path);

// Names the damaged parts for a message: "section 6, section 11" or "the record as a whole", in
// the current language.
QString DamagedPartsText(const RecordDamage& damage);
