// Checksum report for an SCP-ECG file: the record CRC and length field, and the CRC of every
// section listed in the pointer table, each stored value beside the one computed from the bytes.
//
// Reading a record never verifies checksums; this is the separate check behind `scptool verify`.
#pragma once

#include <cstdint>

#include "scp/ScpStatus.h"

// One section listed in the pointer table (section 0 itself included, entries of length 0 left
// out), in table order.
struct ScpSectionCheck {
  uint16_t id;            // id in the pointer entry
  uint32_t index;         // 1-based position of the section in the file, from the pointer entry
  uint32_t entryLength;   // section length in the pointer entry
  bool headerRead;        // false when the 16-byte header lies (partly) outside the file
  uint16_t headerId;      // id in the section header
  uint32_t headerLength;  // section length in the section header, header included
  uint16_t storedCrc;     // CRC field of the section header
  uint16_t computedCrc;   // CRC of section bytes 2 to headerLength - 1
  bool inFile;            // the whole section (headerLength bytes) lies inside the file
};

struct ScpRecordCheck {
  int64_t fileSize;           // bytes in the file
  uint32_t lengthField;       // the record length stored in bytes 2 to 5
  uint16_t storedCrc;         // the record CRC stored in bytes 0 and 1
  uint16_t computedCrc;       // CRC of file bytes 2 to min(lengthField, fileSize) - 1
  uint32_t sectionCount;      // entries in `sections`
  ScpSectionCheck* sections;  // owned; free the whole report with ScpCheckFree
};

// True when the section's stored CRC matches its bytes, it lies inside the file, and its pointer
// entry agrees with its header (id and length).
bool ScpSectionCheckOk(const ScpSectionCheck* section);

// True when the record CRC matches and the record length field equals the file size.
bool ScpRecordCheckOk(const ScpRecordCheck* check);

// Reads the file at `path` and reports its checksums in a new *out, freed with ScpCheckFree.
// Returns 0 (mismatches are reported, not failed on); kScpErrNoData - kScpLayerDirectory when
// the file cannot be opened or is shorter than the record header and section 0's header;
// kScpErrMalformed - kScpLayerDirectory when section 0's length is below 16 or runs past the end
// of the file; kScpErrNoMemory - kScpLayerDirectory when memory runs out. *out is null on failure.
ScpStatus ScpCheckRecordFile(const char* path, ScpRecordCheck** out);

// Frees a report from ScpCheckRecordFile; null is ignored.
void ScpCheckFree(ScpRecordCheck* check);
