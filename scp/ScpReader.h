// Reads an SCP-ECG file into an ScpRecord: the record header, the pointer section and every
// section it lists. Of the section headers only bytes 8 to 15 (versions and reserved bytes) are
// kept, for the writer; section 0's body and the checksums are not kept.
#pragma once

#include <cstdint>

#include "scp/ScpFields.h"
#include "scp/ScpFile.h"
#include "scp/ScpRecord.h"

// Reads the section at `offset`: its 16-byte header into `header`, then its body into a new block
// of exactly the body length, stored in *body. A section whose body is empty yields 0 with
// *body = null. Returns 0; kScpErrOutOfBounds - kScpLayerDirectory (-112) when the offset is
// negative, the seek lands elsewhere, or the section's length runs past the end of the file
// (checked before anything is allocated); kScpErrNoData - kScpLayerDirectory (-108) for a short
// read or a null argument; kScpErrMalformed - kScpLayerDirectory (-114) when the length field is
// below 16; kScpErrNoMemory - kScpLayerDirectory (-106) when the body cannot be allocated. Nothing
// is kept on failure.
ScpStatus ScpReadSection(ScpFile file, int64_t offset, ScpSectionHeader* header, ScpBlock* body);

// Reads the file at `path` into a new record, or returns null when any part of it cannot be read
// (missing or unreadable file, shorter than 6 bytes, a pointer index of 0 or past the end, a
// section length below 16 or beyond the file, memory exhausted, or stored bodies adding up to more
// than 8 times the file size through repeated pointer entries). A read-only file is read. There
// is no partial result. Checksums are not verified here; see ScpCheckRecordFile. The caller frees
// the record with ScpRecordFree.
ScpRecord* ScpReadRecord(const char* path);
