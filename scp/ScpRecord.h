// The in-memory SCP-ECG record: a directory of sections, each an owned body block with its id.
//
// Lookups by id find the first entry with that id in directory order, through an index by id so
// that a lookup of any id the system uses costs the same however many entries the record holds. The
// record owns every block: freeing the record frees them all, removing a section frees its block.
#pragma once

#include <cstdint>

#include "scp/ScpMemory.h"
#include "scp/ScpStatus.h"

// Bytes 8 to 15 of a section header: section version, protocol version, six reserved bytes.
constexpr uint32_t kScpHeaderTrailerSize = 8;

// The section versions of version-3 records: 30 as published, 29 as BioSig's writer marks them.
// Sections read with one of these keep their header bytes 8 to 15 when written back.
constexpr uint8_t kScpVersion3Draft = 29;
constexpr uint8_t kScpVersion3 = 30;
constexpr bool ScpIsVersion3Section(uint8_t sectionVersion) {
  return sectionVersion == kScpVersion3Draft || sectionVersion == kScpVersion3;
}

struct ScpSectionEntry {
  ScpBlock data;    // the section body; holds at least `length` bytes
  uint16_t id;      // section id
  uint32_t length;  // body length in bytes (section length minus the 16-byte header)
  // Header bytes 8 to 15 as read from the file; zeros for a section made in memory.
  uint8_t headerTrailer[kScpHeaderTrailerSize] = {};
};

// Ids below this are found through the index; the system uses no higher ids, which are found by
// a walk of the directory.
constexpr uint32_t kScpIndexedIds = 256;

struct ScpRecord {
  uint16_t count;            // number of directory entries
  ScpSectionEntry* entries;  // `count` entries in the order they were added
  // Per indexed id: 1 + the position of its first entry, 0 when no entry has the id.
  uint16_t firstById[kScpIndexedIds];
  // Header bytes 8 to 15 of the pointer section as read from the file; zeros for a new record.
  uint8_t pointerTrailer[kScpHeaderTrailerSize];
};

// Returns a new empty record (count 0), or null when memory runs out.
ScpRecord* ScpRecordCreate();

// Frees every section block, then the directory and the record. Null is ignored.
void ScpRecordFree(ScpRecord* record);

// Appends an entry that takes ownership of `block` (which holds at least `length` bytes).
// Returns 0; kScpErrDirectoryFull - kScpLayerRecord when the directory cannot grow (also when it
// already holds 65535 entries); kScpErrNoSection - kScpLayerRecord for a null record or block.
// On failure the caller keeps the block.
ScpStatus ScpRecordAddSection(ScpRecord* record, uint16_t id, uint32_t length, ScpBlock block);

// Gives the first entry with the id `block` (freeing its old one) and `length`, keeping its place
// and the header bytes it was read with, so a rewritten section keeps its version; appends an
// entry as ScpRecordAddSection does when none has the id. Statuses as ScpRecordAddSection.
ScpStatus ScpRecordReplaceSection(ScpRecord* record, uint16_t id, uint32_t length, ScpBlock block);

// When no section has this id: appends an entry of length 0 with a new 4-byte zero-filled block
// and returns that block. When one exists, or memory runs out: returns null and changes nothing.
ScpBlock ScpRecordNewSection(ScpRecord* record, uint16_t id);

// Frees the block of the first entry with the id and removes the entry, keeping the order of the
// others. Returns 0, or kScpErrNoSuchEntry - kScpLayerAccessor (-305) when no entry has the id.
ScpStatus ScpRecordRemoveSection(ScpRecord* record, uint16_t id);

// Returns the index (from 0) of the first entry with the id, or
// kScpErrNoSuchEntry - kScpLayerDirectory (-105) when absent.
int32_t ScpRecordFindSection(const ScpRecord* record, uint16_t id);

// Returns the number of entries (0 for a null record).
uint16_t ScpRecordSectionCount(const ScpRecord* record);

// Returns the body block of the first entry with the id, or null when absent.
ScpBlock ScpRecordSectionData(const ScpRecord* record, uint16_t id);

// Returns the body length of the first entry with the id, or -305 when absent.
int64_t ScpRecordSectionLength(const ScpRecord* record, uint16_t id);

// Returns the body length of the entry at `index`, or kScpErrNoSuchEntry - kScpLayerRecord when
// the index is out of range.
int64_t ScpRecordLengthAt(const ScpRecord* record, uint16_t index);

// Returns the section version (header byte 8) the first entry with the id was read with, 0 for a
// section made in memory, or -305 when absent.
int32_t ScpRecordSectionVersion(const ScpRecord* record, uint16_t id);

// Returns the id of the entry at `index`, or kScpErrNoSuchEntry - kScpLayerRecord when the index is
// out of range (used to list sections in stored order).
int32_t ScpRecordIdAt(const ScpRecord* record, uint16_t index);

// Changes the body length of the first entry with the id by `delta` (new length = length + delta);
// the block is resized to new length + 2 bytes; the bytes the body keeps hold their contents and
// the bytes it gains are 0.
// Returns 0; kScpErrNoSuchEntry - kScpLayerAccessor when absent; kScpErrNoMemory - kScpLayerRecord
// (-206) when the block cannot be resized or the new length would be negative or exceed 2^32 - 3;
// the section is then unchanged.
ScpStatus ScpRecordResizeSection(ScpRecord* record, uint16_t id, int64_t delta);
