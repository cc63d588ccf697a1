// Signal reconstruction: decodes a lead's reference beat (section 5) and rhythm (section 6) into
// arrays of 16-bit samples, undoing differences, bimodal decimation and reference beat subtraction.
#pragma once

#include <cstdint>

#include "scp/ScpLeads.h"
#include "scp/ScpRecord.h"
#include "scp/ScpStatus.h"

// One decoded reference beat. Samples are in units of amplitudeMultiplier, spaced by
// sampleInterval; startSample is 0 and endSample is sampleCount.
struct ScpReferenceBeat : ScpLeadSignal {
  int16_t* samples;      // sampleCount samples, owned by the holder (ScpFreeReferenceBeat)
  uint16_t sampleCount;  // number of samples
  uint16_t beatLength;   // milliseconds
  uint16_t fiducial;     // sample number of the fiducial point within the beat (0 when unknown)
  uint16_t qrsCount;     // number of QRS complexes of the record (0 when unknown)
};

// One QRS complex as it bears on a rhythm lead. All fields but referenceOffset are 0-based indexes
// into the rhythm array (sample number - 1); referenceOffset indexes the reference beat.
struct ScpQrsZone {
  int32_t protectedStart;   // first index kept at the full sampling rate
  int32_t protectedEnd;     // one past the last such index
  int32_t subtractStart;    // first index to which the reference beat is added
  int32_t subtractEnd;      // one past the last such index
  int32_t referenceOffset;  // reference beat index added at subtractStart
};

// One decoded rhythm lead. Samples are in units of amplitudeMultiplier. When decimated stretches
// were expanded (decimationFactor > 1) they are spaced by the reference beat's sample interval,
// although sampleInterval keeps the rhythm section's value.
struct ScpRhythmSignal : ScpLeadSignal {
  int32_t sampleCount;        // endSample - startSample + 1
  int16_t* samples;           // sampleCount samples, owned by the holder (ScpFreeRhythm)
  ScpQrsZone* zones;          // zoneCount zones in time order, owned by the holder; null when none
  uint16_t zoneCount;         // number of QRS complexes (0 when the QRS section is absent)
  uint16_t decimationFactor;  // f: rhythm interval / reference interval, 1 when not decimated
};

// Decodes the reference beat of the lead with `leadCode` from section 5. Its length comes from
// the QRS section header; without section 4, from the byte count of plain (not Huffman-coded)
// data. Samples a short stream does not reach are 0.
// Returns 0 with beat->samples allocated (never null); on failure beat->samples is null and the
// status is: any ScpDescribeLead failure minus kScpLayerDecoder (-1527 when the lead table does
// not list the code); a QRS header failure minus kScpLayerDecoder when section 4 is unreadable and
// the data are Huffman-coded (-1104); kScpErrMalformed - kScpLayerDecoder (-614) when the beat
// cannot be sized (sample interval 0) or would exceed 65535 samples;
// kScpErrNoData - kScpLayerDecoder (-608) when the section body cannot be reached;
// kScpErrNoSampleMemory - kScpLayerDecoder (-628) when the samples cannot be allocated;
// a ScpHuffmanDecode failure minus kScpLayerDecoder; -929 when section 2 holds tables that cannot
// be used. The lead data are decoded with the record's own tables when section 2 holds any.
ScpStatus ScpDecodeReferenceBeat(const ScpRecord* record, uint8_t leadCode, ScpReferenceBeat* beat);

// Decodes the rhythm of the lead with `leadCode` from section 6 into sampleCount samples at the
// full rate. `reference` is the same lead's decoded reference beat, or null; a beat without
// samples counts as null. With a reference beat, it is added back over the subtraction zone of
// every type-0 complex. Decimated stretches are expanded whenever the rate is reduced, and the
// stretches outside the protected zones are smoothed when zones exist, a reference beat is given
// or stretches were expanded. Values a short Huffman stream does not reach are 0; plain data
// that end with the section end the lead there: sampleCount and endSample then count only the
// samples the stored values fill (nothing is invented after them).
// Returns 0 with samples allocated and zones set (null when there are none); on failure both are
// null and the status is: any ScpDescribeLead failure minus kScpLayerDecoder;
// kScpErrMalformed - kScpLayerDecoder (-614) when the lead's sample span is empty, above 2^31 - 1,
// or, for Huffman-coded data, longer than the lead's own bytes could code (byte count x 8 values,
// each standing for at most f samples);
// any ScpBuildQrsZones failure minus kScpLayerDecoder (-1011 when zones cannot be allocated);
// -608 and -628 as ScpDecodeReferenceBeat; a ScpHuffmanDecode failure minus kScpLayerDecoder;
// kScpErrHuffmanTable - kScpLayerAccessor - kScpLayerDecoder (-929) when section 2 holds tables
// that cannot be used (see ScpReadHuffmanTables). The lead data are decoded with the record's own
// tables when section 2 holds any. Without section 6, as ScpDecodeRhythmLeads says.
ScpStatus ScpDecodeRhythm(const ScpRecord* record, uint8_t leadCode, ScpRhythmSignal* rhythm,
                          const ScpReferenceBeat* reference);

// Decodes the reference beats of `count` leads of one record: each leadCodes[i] into beats[i]
// exactly as ScpDecodeReferenceBeat does, its status in statuses[i]; the Huffman-coded ones two at
// a time.
void ScpDecodeReferenceBeats(const ScpRecord* record, int32_t count, const uint8_t* leadCodes,
                             ScpReferenceBeat* beats, ScpStatus* statuses);

// Decodes the rhythm of `count` leads of one record: each leadCodes[i] into rhythms[i] with
// references[i] (null for none) exactly as ScpDecodeRhythm does, its status in statuses[i]. What
// the leads share is read once: leads of the same span take copies of one set of QRS zones, and
// the record's own Huffman tables are read once.
// A record without section 6 that holds the uncompressed rhythm section (12) of version-3 records
// is decoded from there, each lead as ScpDecodeRawRhythm does (the references are not used).
void ScpDecodeRhythmLeads(const ScpRecord* record, int32_t count, const uint8_t* leadCodes,
                          const ScpReferenceBeat* const* references, ScpRhythmSignal* rhythms,
                          ScpStatus* statuses);

// Releases the samples of a decoded beat or rhythm (and the rhythm's zones) and sets the pointers
// to null and the counts to 0. Safe on a structure that holds none.
void ScpFreeReferenceBeat(ScpReferenceBeat* beat);
void ScpFreeRhythm(ScpRhythmSignal* rhythm);

// Builds the QRS zones of the lead at `ordinal` from section 4 and finds the decimation factor
// f = section 6 interval / section 5 interval (1 unless the rhythm interval is the larger) and
// the number of values stored for the lead, *expectedCount.
//
// Protected zones: when section 4 ends with the list of protected areas (Q entries of two u32
// sample numbers, first and last), zone i is exactly [first - 1, last). Without the list, or when
// the list is not usable (an area empty or reversed, out of time order or outside the lead), the
// zone is derived from the fiducial fc of the complex and the QRS onset and offset of section 7
// block 0 (on, off, in reference samples): [fc - 1 + on - (fid - 1), fc + off - (fid - 1)) for a
// type-0 complex and for any complex with SB = QE = 0, [SB - 1, QE - 1) for other complexes, its
// start rounded down and its end up to multiples of f. Zones are clipped to the lead and to the
// end of the zone before them.
// Subtraction: a type-0 complex adds the reference beat to [SB - 1, QE - 1) from reference index
// fid - (fc - SB); other complexes add nothing.
// Stored values (*expectedCount, see ScpCountStoredValues): one per protected sample, and
// ceil(g / f) for each stretch of g samples outside the zones.
//
// Returns 0. When section 4 lists no complexes, when a header of section 4, 5 or 6 cannot be read
// or section 5's interval is 0, the result has no zones: *zones null, *zoneCount 0 (and f = 1
// unless section 4 merely has no complexes). When the derivation needs section 7 and it cannot be
// read, nothing says where the full-rate stretches were: every zone keeps its subtraction range
// but protects nothing, so the whole lead is one stretch at one value per f samples.
// Failures: a lead entry failure minus kScpLayerItem (-812, -904);
// kScpErrMalformed - kScpLayerItem (-414) when the lead's span is empty or above 2^31 - 1, or
// when f is above 16 (bimodal compression keeps every second or fourth value);
// a QRS entry failure minus kScpLayerItem (-812 when section 4 is shorter than its complexes);
// kScpErrNoZoneMemory - kScpLayerItem (-411). *zones is null after any failure.
ScpStatus ScpBuildQrsZones(const ScpRecord* record, int16_t ordinal, ScpQrsZone** zones,
                           uint16_t* zoneCount, uint16_t* factor, int32_t* expectedCount);

// Returns the number of values stored for a lead of sampleCount samples with these zones and
// decimation factor: every protected sample counts one, every stretch of g samples outside the
// zones counts ceil(g / factor). Zones are clipped to [0, sampleCount) and to the end of the
// previous zone; a factor of 0 counts as 1.
int32_t ScpCountStoredValues(const ScpQrsZone* zones, uint16_t zoneCount, uint16_t factor,
                             int32_t sampleCount);

// Undoes first differences in place: x[i] = x[i - 1] + x[i], 16-bit wrapping.
void ScpUndoFirstDifferences(int16_t* values, int32_t count);

// Undoes second differences in place; the first two values are samples, the rest are second
// differences. 16-bit wrapping.
void ScpUndoSecondDifferences(int16_t* values, int32_t count);

// values[i] = values[i] * multiplier / divisor in 32 bits, truncating toward zero, stored back as
// 16 bits. A divisor of 0 leaves the values as they are.
void ScpRescale(int16_t* values, int32_t count, uint16_t multiplier, uint16_t divisor);

// Expands, in place, the storedCount values at the start of `values` (stream order) to
// sampleCount samples: each protected zone takes one value per sample; each stretch of g samples
// outside the zones takes ceil(g / factor) values, each filling `factor` samples from the
// stretch's start, the last one what remains. Samples for which the stream holds no value become
// 0; stored values beyond what the zones call for are ignored. Zones are clipped as in
// ScpCountStoredValues; nothing outside the sampleCount samples is read or written.
void ScpExpandDecimated(int16_t* values, int32_t storedCount, uint16_t factor, int32_t sampleCount,
                        const ScpQrsZone* zones, uint16_t zoneCount);

// Adds reference[k] to values[i] over each zone's subtraction range (16-bit wrapping), i from
// subtractStart and k from referenceOffset. The ranges are clipped to both arrays: where i would
// be negative or k negative, both advance together until they are not.
void ScpAddReferenceBeat(const int16_t* reference, int32_t referenceCount, int16_t* values,
                         int32_t sampleCount, const ScpQrsZone* zones, uint16_t zoneCount);

// Writes to `to` the sampleCount samples of `from` with every stretch outside the protected zones
// (all of [0, sampleCount) without zones) smoothed by a 3-point moving average,
// (x[j - 1] + x[j] + x[j + 1] + 1) / 3; the first and last value of a stretch stay, except that
// the second of a two-value stretch is averaged with the value after the stretch when there is
// one. Protected zones are copied as they are. The two arrays must not overlap.
void ScpSmoothOutsideZones(const int16_t* from, int16_t* to, int32_t sampleCount,
                           const ScpQrsZone* zones, uint16_t zoneCount);
