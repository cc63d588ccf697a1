// The demo record: a synthetic resting 12-lead ECG written as a complete SCP-ECG record (patient
// data, Huffman-coded rhythm with reference beats subtracted and bimodal decimation, global and
// per-lead measurements, six statements), and the variants of it that exercise every coding
// choice a reader has to handle.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "scp/ScpFields.h"
#include "scp/ScpHandles.h"
#include "scp/ScpRecord.h"
#include "scp/ScpStatus.h"
#include "tools/scpgen/ScpSignalEncoder.h"
#include "tools/scpgen/SyntheticEcg.h"

namespace scpgen {

// The reference beat spans 300 ms before the fiducial point to 500 ms after it.
constexpr int kReferenceBeforeFiducialMs = 300;
constexpr int kReferenceLengthMs = 800;
// A type-0 complex has its reference beat subtracted from 230 ms before its fiducial point (ahead
// of the P wave) to 350 ms after it (past the T wave).
constexpr int kSubtractBeforeFiducialMs = 230;
constexpr int kSubtractAfterFiducialMs = 350;

// The smallest block length of the per-lead measurement section (29 values behind two words).
constexpr uint16_t kLeadBlockBytes = 62;

struct DemoRecordOptions {
  uint32_t seed = 1;             // of the synthetic ECG
  double noiseMicrovolts = 0.0;  // RMS noise added to every stored lead
  bool huffman = true;           // section 2 (default table) and Huffman-coded lead data
  OwnHuffmanTables ownTables = OwnHuffmanTables::kNone;  // tables written into section 2
  uint8_t differenceEncoding = kSecondDifferences;       // of sections 5 and 6: 0, 1 or 2
  uint16_t decimationFactor = 2;  // f: rhythm interval / reference interval, 1 to 32
  int32_t sampleCount = 5000;     // samples per lead (10 s at 500 Hz), 1 to 1 000 000
  // Leads stored in sections 3, 5 and 6, in this order; each one of I, II, V1 to V6 (codes 1-8).
  std::vector<uint8_t> leadCodes{std::begin(kIndependentLeadCodes),
                                 std::end(kIndependentLeadCodes)};
  // Sections 4 and 5: the QRS complexes and the reference beats subtracted from the rhythm.
  // Without them the rhythm is stored whole and decimationFactor must be 1.
  bool referenceBeats = true;
  // Section 4 lists each complex's protected area after the complexes. Without the list the
  // protected spans are the ones a reader derives from section 7's QRS onset and offset.
  bool protectedAreaList = true;
  // Every n-th complex (the n-th, 2n-th, ...) gets beat type 1, which carries no reference beat
  // subtraction, and SB = QE = 0; 0 keeps every complex at type 0.
  uint16_t otherBeatTypeEvery = 0;
  uint16_t leadBlockLength = kLeadBlockBytes;  // section 10 block length, 62 or more
  uint16_t rhythmNanovolts = 5000;             // amplitude multiplier of section 6 (and of the ECG)
  uint16_t referenceNanovolts = 5000;          // of section 5; must divide rhythmNanovolts
  bool dated = true;  // false leaves the acquisition date and time out, as some carts do
  // When not empty: a device identification (tag 14) with this serial number, as carts write it.
  std::string deviceSerial;
  ScpDate acquisitionDate = {2024, 5, 17};
  ScpTime acquisitionTime = {9, 30, 0};
  ScpDate statementDate = {2024, 5, 17};
  ScpTime statementTime = {9, 31, 0};
};

// What went into a record, so that a decoded record can be compared with it.
struct DemoRecordContent {
  SyntheticEcg ecg;                // the original signal of the eight independent leads
  std::vector<uint8_t> leadCodes;  // the stored leads, in section 3 order
  // Per stored lead: its reference beat in reference units (empty without reference beats).
  std::vector<std::vector<int16_t>> referenceBeats;
  ComplexPlan plan;                      // how the complexes were laid out
  std::vector<ComplexLayout> complexes;  // every complex of section 4, in order
};

// Returns whether the options can be encoded: difference encoding 0 to 2; decimation factor 1 to
// 32 (exactly 1 without reference beats); lead codes 1 to 8, at least one, none twice; block
// length of at least 62; non-zero multipliers, the rhythm one a whole multiple of the reference
// one.
bool DemoRecordOptionsValid(const DemoRecordOptions& options);

// Builds the record for `options` into *record and, when `content` is not null, describes what it
// holds. The same options always give the same record. Returns 0; kScpErrMalformed when the
// options are not valid or a lead's data outgrow a 16-bit byte count; the status of a failing
// record-store call otherwise. *record is null after a failure.
ScpStatus BuildDemoRecord(const DemoRecordOptions& options, ScpRecordPtr* record,
                          DemoRecordContent* content);

// Builds the record for `options` and writes it to `path`. Returns 0, a BuildDemoRecord failure,
// or the ScpWriteRecord status.
ScpStatus WriteDemoRecord(const DemoRecordOptions& options, const char* path);

}  // namespace scpgen
