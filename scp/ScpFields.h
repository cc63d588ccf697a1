// The field codec: moves the fixed little-endian layouts of an SCP-ECG record between a section
// body and program structures. It is the only place that knows field widths, and the only place
// that checks that a field lies inside the body it is read from or written to.
#pragma once

#include <cstdint>

#include "scp/ScpRecord.h"
#include "scp/ScpStatus.h"

// Layout codes. The comment gives the file widths in order and the structure each one fills.
enum ScpLayout : int {
  kScpLayoutWord = 0,                    // u16                         -> uint16_t
  kScpLayoutDword = 1,                   // u32                         -> uint32_t
  kScpLayoutByte = 2,                    // u8                          -> uint8_t
  kScpLayoutBytes = 3,                   // `count` opaque bytes        -> uint8_t[count]
  kScpLayoutItemHead = 4,                // u8 tag, u16 length          -> ScpItemHead
  kScpLayoutLeadTableHeader = 6,         // u8, u8                      -> ScpLeadTableHeader
  kScpLayoutLeadEntry = 7,               // u32, u32, u8                -> ScpLeadEntry
  kScpLayoutQrsHeader = 8,               // u16 x 3                     -> ScpQrsHeader
  kScpLayoutQrsEntry = 9,                // u16, u32, u32, u32          -> ScpQrsEntry
  kScpLayoutSignalHeader = 10,           // u16, u16, u8, u8            -> ScpSignalHeader
  kScpLayoutMeasurementHeader = 11,      // u8, u8, u16, u16            -> ScpMeasurementHeader
  kScpLayoutBeatMeasurements = 12,       // u16 x 8                     -> ScpBeatMeasurements
  kScpLayoutStatementHeader = 14,        // u8, u16, u8 x 6             -> ScpStatementHeader
  kScpLayoutLeadMeasurementHeader = 15,  // u16, u16                    -> ScpLeadMeasurementHeader
  kScpLayoutLeadMeasurements = 16,       // u16 x 31                    -> ScpLeadMeasurements
  kScpLayoutDate = 18,                   // u16, u8, u8                 -> ScpDate
  kScpLayoutTime = 19,                   // u8, u8, u8                  -> ScpTime
  kScpLayoutValueUnit = 20,              // u16, u8                     -> ScpValueUnit
  kScpLayoutText = 23,                   // text ended by a zero byte   -> char[count]
  kScpLayoutSectionHeader = 24,          // u16, u16, u32, u8, bytes 7  -> ScpSectionHeader
  kScpLayoutPointerEntry = 26,           // u16, u32, u32               -> ScpPointerEntry
};

struct ScpItemHead {
  uint8_t tag;
  uint16_t length;  // value length n; the value follows the 3-byte head
};

struct ScpLeadTableHeader {
  uint8_t leadCount;  // L
  uint8_t leadFlags;  // read, never interpreted
};

struct ScpLeadEntry {
  int32_t startSample;  // first sample number (the record's first sample is number 1)
  int32_t endSample;    // last sample number, inclusive
  uint8_t leadCode;
};

struct ScpQrsHeader {
  uint16_t beatLength;  // reference beat length in milliseconds
  uint16_t fiducial;    // sample number of the fiducial point within the reference beat
  uint16_t qrsCount;    // Q: number of QRS complexes
};

struct ScpQrsEntry {
  uint16_t beatType;       // 0: the reference beat is added back over the subtraction zone
  int32_t subtractStart;   // SB: first sample number of the subtraction zone
  int32_t fiducialSample;  // fc: sample number of the fiducial point
  int32_t subtractEnd;     // QE: end sample number of the subtraction zone
};

struct ScpSignalHeader {
  uint16_t amplitudeMultiplier;  // nanovolts per sample unit
  uint16_t sampleInterval;       // microseconds
  uint8_t differenceEncoding;    // 1 first, 2 second differences, anything else none
  uint8_t bimodalFlag;           // read, never interpreted
};

struct ScpMeasurementHeader {
  uint8_t blockCount;
  uint8_t spikeCount;
  uint16_t rrInterval;  // milliseconds
  uint16_t ppInterval;  // milliseconds
};

struct ScpBeatMeasurements {
  uint16_t pOnset;  // milliseconds from the start of the reference beat
  uint16_t pOffset;
  uint16_t qrsOnset;
  uint16_t qrsOffset;
  uint16_t tOffset;
  int16_t pAxis;  // degrees
  int16_t qrsAxis;
  int16_t tAxis;
};

struct ScpStatementHeader {
  uint8_t confirmed;  // 0 not confirmed, anything else confirmed
  uint16_t year;
  uint8_t month;
  uint8_t day;
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  uint8_t statementCount;
};

struct ScpLeadMeasurementHeader {
  uint16_t leadCount;    // number of lead blocks
  uint16_t blockLength;  // bytes from one lead block to the next
};

constexpr int kScpLeadMeasurementValues = 29;

struct ScpLeadMeasurements {
  uint16_t leadCode;
  uint16_t unused;
  int16_t values[kScpLeadMeasurementValues];
};

struct ScpDate {
  uint16_t year;
  uint8_t month;
  uint8_t day;
};

struct ScpTime {
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
};

struct ScpValueUnit {
  uint16_t value;
  uint8_t unit;
};

struct ScpSectionHeader {
  uint16_t crc;
  uint16_t id;
  uint32_t length;  // section length in bytes, the 16-byte header included
  uint8_t sectionVersion;
  uint8_t trailer[7];  // protocol version, then six reserved bytes
};

struct ScpPointerEntry {
  uint16_t id;
  uint32_t length;  // section length, header included; 0 means the section is absent
  uint32_t index;   // 1-based position of the section's first byte in the file
};

// Returns the file size in bytes of a fixed layout, 0 for the variable layouts 3 and 23, or
// kScpErrBadLayout - kScpLayerDirectory (-107) for a code that names no layout. The format's
// layouts 5, 17 and 21, which Quillon never uses and gives no structure, are refused the same way;
// the plain integer layouts 1 (u32), 22 (u8) and 27 (u16) are kept.
int32_t ScpLayoutSize(int layout);

// Reads the layout's fields from buffer[offset ...] into `out`. `count` is used only by layouts 3
// (bytes copied) and 23 (room in `out`, terminator included). `bufferSize` is the number of valid
// bytes at `buffer`. Returns 0; -107 for an unknown layout; kScpErrOutOfBounds - kScpLayerDirectory
// when the fields would run past bufferSize (nothing is copied). Layout 23 stops at the end of the
// buffer as at a zero byte, and always terminates `out` (count 0 copies nothing).
ScpStatus ScpUnpack(const uint8_t* buffer, uint32_t bufferSize, int layout, void* out,
                    uint32_t offset, uint32_t count);

// Writes the structure's fields to buffer[offset ...]. Layout 23 fills exactly `count` bytes: at
// most count - 1 characters of the text, then zeros (so the stored text always ends with its
// terminator and no byte keeps an old value). Statuses as for ScpUnpack, -112 when offset + count
// (or the fixed size) runs past bufferSize; nothing is written on failure.
ScpStatus ScpPack(uint8_t* buffer, uint32_t bufferSize, int layout, const void* in, uint32_t offset,
                  uint32_t count);

// ScpUnpack applied to the body of the first section with the id. Returns 0;
// kScpErrNoSection - kScpLayerRecord (-204) when the section is absent;
// kScpErrNoData - kScpLayerRecord (-208) when its body cannot be reached; otherwise the ScpUnpack
// status as it is (-107, or -112 when the fields run past the body's length).
ScpStatus ScpGetFields(const ScpRecord* record, uint16_t id, int layout, void* out, uint32_t offset,
                       uint32_t count);

// ScpPack into the body of the first section with the id, in place. Statuses as ScpGetFields.
ScpStatus ScpPutFields(ScpRecord* record, uint16_t id, int layout, const void* in, uint32_t offset,
                       uint32_t count);

// Grows the section by `count` bytes and packs at the old end of its body. Every status is the
// field-level one minus a further kScpLayerAccessor: -407 for an unknown layout; -412 when a
// fixed layout's size is not `count`; -504 when the section is absent; -508 when its body
// cannot be reached; -308 for a null `in` with a non-zero count; -506 when the section cannot
// grow. The section is left unchanged (length and contents) on any failure.
ScpStatus ScpAppendFields(ScpRecord* record, uint16_t id, int layout, const void* in,
                          uint32_t count);
