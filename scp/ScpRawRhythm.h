// The uncompressed rhythm of version-3 records (section 12): every lead's samples stored plainly,
// interleaved sample by sample, behind a header and a list of the leads with their units.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scp/ScpDecode.h"
#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"
#include "scp/ScpStatus.h"

constexpr uint16_t kScpRawRhythmSection = 12;

// Layout of the section body: a 70-byte header, then 4 bytes per lead, then the samples: for each
// sample number in turn, one value of bytesPerSample bytes (little-endian, signed) per lead in
// the order of the lead list.
//   header: u32 sample rate (Hz) at 0, u8 lead count at 4, u32 samples per lead at 5, u8 bytes per
//           sample at 9, u16 year, u8 month, u8 day, u8 hour, u8 minute, u8 second from 10; the
//           rest reserved.
//   lead:   u8 lead code, u16 nanovolts per unit, u8 reserved (0).
constexpr uint32_t kScpRawRhythmHeaderSize = 70;
constexpr uint32_t kScpRawRhythmLeadSize = 4;

struct ScpRawRhythmHeader {
  uint32_t sampleRate;     // samples per second
  uint8_t leadCount;       // entries in the lead list
  uint32_t sampleCount;    // samples of every lead
  uint8_t bytesPerSample;  // 1 to 4
  ScpDate date;            // start of the recording
  ScpTime time;
};

struct ScpRawRhythmLead {
  uint8_t leadCode;
  uint16_t amplitudeMultiplier;  // nanovolts per unit
};

// Why section 12 cannot be read.
enum class ScpRawRhythmFault : uint8_t {
  kNone,
  kVersion,         // a section version other than 29 or 30
  kShort,           // the body ends inside the header or the lead list
  kNoLeads,         // a lead count or a sample count of 0
  kSampleRate,      // a rate of 0, or one whose sample interval is not a whole number of
                    // microseconds from 1 to 65535
  kBytesPerSample,  // not 1 to 4
  kLeadUnit,        // a lead entry whose reserved byte is not 0 (a unit this reader cannot hold)
  kSize,            // the samples do not fill the rest of the body exactly
  kValueRange,      // a sample outside the 16-bit range the leads are held in
};

// Reads and checks the header and lead list of section 12: the section version, the sizes, and
// that the body holds exactly leadCount x sampleCount samples after the lead list.
// Returns 0; kScpErrNoSection - kScpLayerAccessor (-304) when the record has no section 12;
// kScpErrRawRhythm - kScpLayerAccessor (-330) with *fault set when the section does not fit the
// layout. `fault` may be null.
ScpStatus ScpGetRawRhythmHeader(const ScpRecord* record, ScpRawRhythmHeader* header,
                                ScpRawRhythmFault* fault);

// Reads lead entry `index` of section 12 (after ScpGetRawRhythmHeader succeeded).
// Returns 0; kScpErrNoSuchEntry - kScpLayerAccessor (-305) for an index outside the lead list;
// the ScpGetRawRhythmHeader failures.
ScpStatus ScpGetRawRhythmLead(const ScpRecord* record, uint8_t index, ScpRawRhythmLead* lead);

// Writes a one-line description of the fault, naming section 12, into text (terminated).
void ScpRawRhythmFaultText(ScpRawRhythmFault fault, char* text, size_t size);

// Decodes the lead with `leadCode` (the first entry with that code) from section 12 into
// `rhythm`: samples 1 to sampleCount, its unit and the interval 1 000 000 / rate microseconds, no
// zones, factor 1, difference encoding 0; ordinal is its place in the lead list.
// Returns 0 with rhythm->samples allocated; on failure samples and zones are null and the status
// is: a ScpGetRawRhythmHeader failure minus kScpLayerDecoder;
// kScpErrNoLead - kScpLayerDecoder (-627) when the list does not hold the code;
// kScpErrRawRhythm - kScpLayerDecoder (-630) when a sample of the lead lies outside 16 bits;
// kScpErrNoSampleMemory - kScpLayerDecoder (-628) when memory runs out.
ScpStatus ScpDecodeRawRhythm(const ScpRecord* record, uint8_t leadCode, ScpRhythmSignal* rhythm);
