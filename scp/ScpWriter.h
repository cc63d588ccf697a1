// Writes an ScpRecord as an SCP-ECG file: sections in ascending id order behind a rebuilt pointer
// section, every header and checksum computed afresh.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scp/ScpFile.h"
#include "scp/ScpRecord.h"

// Builds the pointer section body: 12 fixed entries for ids 0 to 11, then one per section
// numbered 12 to 254 that holds data. Returns the block and its size in *size, or null when
// memory runs out. The record's total size (all headers and pad bytes included) goes to
// *recordLength.
ScpBlock ScpBuildPointerSection(const ScpRecord* record, uint32_t* size, uint32_t* recordLength);

// Writes one section (header with version 10 and protocol version 0, body, pad byte when the body
// length is odd; ScpWriteRecord keeps the header bytes 8 to 15 of sections read as version 3) and
// carries *runningCrc over every byte written. Returns 0; kScpErrFileWrite - kScpLayerDirectory
// (-123) on a short write; kScpErrNoData - kScpLayerDirectory (-108) for a null body of non-zero
// length, a null runningCrc, or a body too long for the u32 section length.
ScpStatus ScpWriteSection(ScpFile file, const uint8_t* body, uint16_t id, uint32_t bodyLength,
                          uint16_t* runningCrc);

// Writes the record to `path`. The file is first written in full to a temporary file beside the
// target, flushed, then renamed over it, so a failure at any point leaves an existing target
// exactly as it was, and no temporary file is left behind. When `path` is a symbolic link the
// file it points to is replaced and the link kept (a link to nothing is refused). Returns 0;
// kScpErrNoPointerSection - kScpLayerAccessor (-321) when the pointer section cannot be built
// (memory, a null record, or a record too large for the u32 length field); the file is untouched;
// kScpErrFileWrite - kScpLayerAccessor (-323) when the file cannot be created, its record header
// written, or it cannot be flushed, closed or renamed, or when an existing target is read-only
// (see ScpFileIsReadOnly); a ScpWriteSection status minus kScpLayerAccessor (-423 for a failed
// section write). The new file keeps an existing target's permission bits. The record is not
// changed. Sections (the pointer section included) read with a version-3 section version keep
// their header bytes 8 to 15 as read: versions and reserved bytes.
ScpStatus ScpWriteRecord(const ScpRecord* record, const char* path);

// Writes the record to `path` as ScpWriteRecord does, except that every section read from a file
// (the pointer section included) keeps its header bytes 8 to 15 as read, whatever its version:
// a section the caller did not change is then written back byte for byte as it was read.
// Sections made in memory are written as version 10. Statuses as ScpWriteRecord.
ScpStatus ScpWriteRecordAsRead(const ScpRecord* record, const char* path);

// Writes `count` bytes as the whole file at `path`, replacing it the way ScpWriteRecord does
// (temporary file, flush, rename; symbolic links, permission bits and read-only targets as
// there): for writing back a record exactly as it was read. Returns 0; kScpErrNoData -
// kScpLayerAccessor (-308) for null bytes with a non-zero count; the file statuses of
// ScpWriteRecord.
ScpStatus ScpWriteFileBytes(const void* bytes, size_t count, const char* path);
