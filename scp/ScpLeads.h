// The sections that describe the ECG signal: lead table (3), QRS locations (4), and the headers and
// per-lead data locations of the reference beat (5) and rhythm (6) sections.
//
// Every reader takes the record and returns a status; offsets are byte positions in a section body.
#pragma once

#include <cstdint>

#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"
#include "scp/ScpSections.h"
#include "scp/ScpStatus.h"

// Everything known about one lead before any sample is decoded. The decoded forms
// (ScpReferenceBeat, ScpRhythmSignal) begin with these fields.
struct ScpLeadSignal {
  uint8_t leadCount;             // L, the number of leads in the lead table
  uint8_t leadFlags;             // the lead table's flag byte, not interpreted
  int32_t startSample;           // first sample number of the lead (the first is number 1)
  int32_t endSample;             // last sample number, inclusive
  uint8_t leadCode;              // SCP-ECG lead code
  int16_t ordinal;               // position of the lead in the lead table, from 0
  uint16_t amplitudeMultiplier;  // nanovolts per sample unit
  uint16_t sampleInterval;       // microseconds
  uint8_t differenceEncoding;    // 1 first, 2 second differences, anything else none
  uint8_t bimodalFlag;           // not interpreted
  int32_t dataOffset;            // byte offset of the lead's data in the section body
  int32_t dataLength;            // byte count of the lead's data
};

// One protected area of the QRS section, stored after its complexes: the sample numbers
// (1-based, inclusive) of a stretch kept at the full sampling rate.
struct ScpProtectedArea {
  uint32_t startSample;
  uint32_t endSample;
};

// Reads the lead table header (section 3, bytes 0-1): lead count and flags.
// Returns 0; -504 (kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor) when section 3 is
// absent; -508 when its body cannot be reached; -412 when the body is shorter than 2 bytes.
ScpStatus ScpGetLeadTableHeader(const ScpRecord* record, ScpLeadTableHeader* out);

// Reads lead entry `ordinal` of section 3 (9 bytes at 2 + 9 * ordinal).
// Returns 0; -504 / -508 as ScpGetLeadTableHeader; -412 when the entry lies past the body.
ScpStatus ScpGetLeadEntry(const ScpRecord* record, uint16_t ordinal, ScpLeadEntry* out);

// Reads the QRS section header (section 4, bytes 0-5): beat length, fiducial, complex count.
// Returns 0; -504 / -508 when section 4 is absent or unreachable; -412 when its body is too short.
ScpStatus ScpGetQrsHeader(const ScpRecord* record, ScpQrsHeader* out);

// Reads QRS complex `index` of section 4 (14 bytes at 6 + 14 * index).
// Returns 0; -504 / -508 as ScpGetQrsHeader; -412 when the entry lies past the body.
ScpStatus ScpGetQrsEntry(const ScpRecord* record, ScpQrsEntry* out, uint16_t index);

// Reads protected area `index` of section 4: two u32 sample numbers at 6 + 14Q + 8 * index, where
// Q is the header's complex count. The list is taken as present only when the body holds all of
// it, that is at least 6 + 22Q bytes.
// Returns 0; -504 / -508 / -412 when the header cannot be read;
// kScpErrNoSuchEntry - kScpLayerAccessor (-305) when index >= Q;
// kScpErrOutOfBounds - kScpLayerAccessor (-312) when the body is too short to hold the list.
ScpStatus ScpGetProtectedArea(const ScpRecord* record, uint16_t index, ScpProtectedArea* out);

// Reads the first `count` QRS complexes of section 4 into entries[0 .. count - 1] and, when the
// body holds the whole protected-area list of a record of `count` complexes (6 + 22 * count
// bytes), the areas into areas[0 .. count - 1] with *hasAreas true; *hasAreas false otherwise.
// One lookup of the section for all of them, where the single-entry readers take one each.
// Returns 0, or what ScpGetQrsEntry returns for the last complex when the body does not hold
// them all (nothing is then read).
ScpStatus ScpGetQrsComplexes(const ScpRecord* record, uint16_t count, ScpQrsEntry* entries,
                             ScpProtectedArea* areas, bool* hasAreas);

// Reads the 6-byte header of section 5 or 6: amplitude multiplier, sample interval, difference
// encoding, bimodal flag.
// Returns 0; kScpErrNotItemSection - kScpLayerAccessor (-309) for any other section id;
// -504 / -508 when the section is absent or unreachable; -412 when its body is too short.
ScpStatus ScpGetSignalHeader(const ScpRecord* record, uint16_t sectionId, ScpSignalHeader* out);

// Finds where the data of the lead with `ordinal` lie in section 5 or 6, whose byte-count table
// lists `leadCount` leads: *offset = 6 + 2 * leadCount + the counts of the leads before it,
// *length = its own count.
// Returns 0; kScpErrNotItemSection - kScpLayerDirectory (-109) for a section id other than 5 or 6;
// kScpErrNoSuchEntry - kScpLayerDirectory (-105) for an ordinal outside 0 .. leadCount - 1;
// kScpErrNoSection - kScpLayerDirectory (-104) when the
// section is absent; kScpErrNoData - kScpLayerDirectory (-108) when its body cannot be reached;
// kScpErrOutOfBounds - kScpLayerDirectory (-112) when a count word or the lead's data lie past
// the end of the body.
ScpStatus ScpLocateLeadData(const ScpRecord* record, uint16_t sectionId, int ordinal, int leadCount,
                            int32_t* offset, int32_t* length);

// Returns the ordinal of the first lead table entry with `leadCode` (>= 0), or a status:
// kScpErrNoLead - kScpLayerItem (-427) when none of the L entries has it; a failure to read the
// table header or an entry, minus kScpLayerItem (-904, -908, -812).
int16_t ScpFindLead(const ScpRecord* record, uint8_t leadCode);

// Fills `out` for the lead with `leadCode` from section 3 and from section 5 or 6 (`sectionId`).
// Returns 0, or any failure of ScpFindLead, ScpGetLeadTableHeader, ScpGetLeadEntry,
// ScpGetSignalHeader or ScpLocateLeadData minus kScpLayerTypedItem (for example -927 when the
// lead table does not list the code, -1004 when the section is absent, -612 when the lead's data
// run past the body). `out` is unspecified after a failure.
ScpStatus ScpDescribeLead(const ScpRecord* record, uint16_t sectionId, uint8_t leadCode,
                          ScpLeadSignal* out);
