// The twelve display leads of a record: reference beats and rhythm of I, II and V1 to V6 decoded,
// III, aVR, aVL and aVF derived from I and II, and the fiducial times of the first reference beat.
//
// Plain functions over caller-owned arrays (no Qt), so the document and the command-line tool
// decode a record in exactly the same way.
#pragma once

#include <cstdint>

#include "scp/ScpDecode.h"
#include "scp/ScpRecord.h"

// Entries a lead table can hold, and entries a complete load fills.
constexpr int32_t kLeadTableCapacity = 16;
constexpr int32_t kDisplayLeadCount = 12;

// The lead codes of the display order, entry by entry: I, II, III, aVR, aVL, aVF, V1 to V6.
constexpr uint8_t kLeadCodeI = 1;
constexpr uint8_t kLeadCodeII = 2;
constexpr uint8_t kLeadCodeIII = 61;
constexpr uint8_t kLeadCodeAvr = 62;
constexpr uint8_t kLeadCodeAvl = 63;
constexpr uint8_t kLeadCodeAvf = 64;
constexpr uint8_t kDisplayLeadCodes[kDisplayLeadCount] = {
    kLeadCodeI, kLeadCodeII, kLeadCodeIII, kLeadCodeAvr, kLeadCodeAvl, kLeadCodeAvf, 3, 4, 5, 6, 7,
    8};

// P onset, P offset, QRS onset, QRS offset and T offset, in milliseconds from the beat's start.
constexpr int kFiducialCount = 5;

// Decodes the reference beats of the display leads into refLeads, which holds
// kLeadTableCapacity entries and no samples (free earlier contents first); every entry is
// overwritten.
// Returns kDisplayLeadCount when lead I's beat decoded, else 0 and no entry holds samples.
// Entry k carries lead code kDisplayLeadCodes[k]. A lead that cannot be decoded leaves an entry
// with only its lead code: no samples, a sample count and span of 0. The derived entries take
// lead II's description with their own code and min(I, II) samples, each computed in 32 bits with
// division truncating toward zero and stored as 16 bits: III = II - I, aVR = -(I + II) / 2,
// aVL = (2I - II) / 2, aVF = (2II - I) / 2. Without lead II's samples they hold none.
int32_t DecodeReferenceLeads(const ScpRecord* record, ScpReferenceBeat* refLeads);

// Decodes the rhythm of the display leads into rhythmLeads (kLeadTableCapacity entries, no
// samples; every entry is overwritten). Each lead gets the reference beat of its own code among
// the first refCount entries of refLeads (none when refCount is 0).
// Returns kDisplayLeadCount when lead I's rhythm decoded, else 0 and no entry holds samples.
// Entries, failed leads and derived samples as for DecodeReferenceLeads; III takes lead I's
// description, aVR, aVL and aVF lead II's. Derived entries have no QRS zones, and their span
// (startSample to endSample) always covers exactly their sample count.
int32_t DecodeRhythmLeads(const ScpRecord* record, const ScpReferenceBeat* refLeads,
                          int32_t refCount, ScpRhythmSignal* rhythmLeads);

// Returns whether any decoded entry (one with samples) has an amplitude multiplier of 0: its
// samples have no unit and cannot be drawn to scale.
bool HasUnscaledLeads(const ScpReferenceBeat* refLeads, int32_t refCount,
                      const ScpRhythmSignal* rhythmLeads, int32_t rhythmCount);

// Returns the first of the count entries whose lead code is leadCode, or null.
const ScpReferenceBeat* FindLeadBeat(const ScpReferenceBeat* refLeads, int32_t count, int leadCode);

// Reads the fiducial times from block 0 of the global measurements (section 7) into fiducials.
// Returns true when the block was read; otherwise false with all kFiducialCount values 0.
bool ReadReferenceFiducials(const ScpRecord* record, uint16_t* fiducials);

// Frees the samples of the first count entries (and the rhythm's QRS zones); entries without
// samples are skipped. The entries keep their descriptions with no samples and a count of 0.
void FreeReferenceLeads(ScpReferenceBeat* refLeads, int32_t count);
void FreeRhythmLeads(ScpRhythmSignal* rhythmLeads, int32_t count);
