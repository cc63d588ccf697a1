// Reads an SCP-ECG file into an ScpRecord: the record header, the pointer section and every
// section it lists. Section headers, section 0 and checksums are not kept.
#pragma once

#include <cstdint>

#include "scp/ScpFields.h"
#include "scp/ScpFile.h"
#include "scp/ScpRecord.h"

// Reads the section at `offset`: its 16-byte header into `header`, then its body into a new block
// of exactly the body length, stored in *body. A section whose body is empty yields 0 with
// *body = null. Returns 0, or a negative status when the seek lands elsewhere, a read is short,
// the length field is below 16, or the body cannot be allocated (nothing is kept then).
ScpStatus ScpReadSection(ScpFile file, int64_t offset, ScpSectionHeader* header, ScpBlock* body);

// Reads the file at `path` into a new record, or returns null when any part of it cannot be read
// (missing or unreadable file, shorter than 6 bytes, a pointer index past the end, a section
// length below 16 or beyond the file, memory exhausted). There is no partial result. Checksums
// are not verified here; see ScpCheckRecordFile. The caller frees the record with ScpRecordFree.
ScpRecord* ScpReadRecord(const char* path);
