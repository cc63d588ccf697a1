// The signal side of the record writer: lays out the QRS complexes of a rhythm, subtracts the
// reference beat, decimates the stretches between the complexes, takes differences and packs a
// lead's values, so that Quillon's decoder (scp/ScpDecode.h) rebuilds the signal.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scpgen/ScpHuffmanEncoder.h"

namespace scpgen {

// Difference encodings of the reference beat and rhythm sections.
constexpr uint8_t kNoDifferences = 0;
constexpr uint8_t kFirstDifferences = 1;
constexpr uint8_t kSecondDifferences = 2;

// A stretch of a rhythm lead kept at the full rate: 0-based sample indexes [start, end).
struct ProtectedSpan {
  int32_t start;
  int32_t end;
};

// Rhythm indexes [start, end) from which the reference beat is subtracted; reference index
// referenceOffset meets rhythm index start, and both advance together. Empty when start == end.
struct SubtractionSpan {
  int32_t start;
  int32_t end;
  int32_t referenceOffset;
};

// One QRS complex as the writer lays it out.
struct ComplexLayout {
  uint16_t beatType;      // 0: the reference beat is subtracted over `subtraction`
  int32_t fiducialIndex;  // 0-based rhythm index of the fiducial point (sample number fc - 1)
  ProtectedSpan protectedSpan;
  SubtractionSpan subtraction;
};

// What the complexes are laid out from. Reference indexes count samples of the reference beat;
// the decoder aligns reference index `referenceFiducial` with each complex's fiducialIndex.
struct ComplexPlan {
  int32_t sampleCount = 0;        // samples of every rhythm lead
  int32_t factor = 1;             // decimation factor f of the stretches between protected spans
  int32_t referenceFiducial = 0;  // fid of the QRS section header
  int32_t referenceLength = 0;    // samples of the reference beat
  int32_t qrsOnset = 0;           // first reference index of the QRS complex
  int32_t qrsOffset = 0;          // last reference index of the QRS complex
  int32_t subtractFirst = 0;      // first reference index subtracted from a type-0 complex
  int32_t subtractEnd = 0;        // one past the last reference index subtracted
  // false: the protected span is exactly the QRS complex and the record lists it after the
  // complexes. true: the record lists no protected areas, so the span is the one a reader derives
  // from fid and the QRS onset and offset: [fc + onset - fid, fc + offset + 2 - fid) with fc
  // the sample number, widened to multiples of f.
  bool derivedSpans = false;
};

// Lays out one complex per fiducial index (ascending, 0-based) with the matching beat type.
// Protected spans are clipped to the lead and never overlap the one before. A type-0 complex gets
// the subtraction span [fiducial + subtractFirst - fid, fiducial + subtractEnd - fid), its start
// moved back and its end forward to the chunk boundaries of the decimated stretches they fall in
// (so no chunk mixes subtracted and untouched samples), then clipped to the lead, to the
// reference beat, to the neighbouring protected spans and to the end of the previous subtraction.
// Other types get an empty subtraction.
std::vector<ComplexLayout> PlanComplexes(const std::vector<int32_t>& fiducialIndexes,
                                         const std::vector<uint16_t>& beatTypes,
                                         const ComplexPlan& plan);

// Returns the number of values stored for a lead of sampleCount samples: one per sample of a
// protected span, and ceil(g / factor) for each stretch of g samples between the spans.
int32_t StoredValueCount(int32_t sampleCount, const std::vector<ComplexLayout>& complexes,
                         int32_t factor);

// How a rhythm lead is reduced to stored values.
struct RhythmEncoding {
  // The lead's reference beat in its own units, or null when the record carries none (the values
  // are then stored as they are, apart from decimation).
  const std::vector<int16_t>* reference = nullptr;
  // Rhythm units per reference unit: rhythm amplitude multiplier / reference multiplier, a whole
  // number from 1 up. The decoder brings the stored values into reference units, adds the beat
  // and divides back, truncating toward zero.
  int32_t referenceScale = 1;
  int32_t factor = 1;  // decimation factor f
};

// Returns the values stored for a rhythm lead in stream order, before differences. Inside the
// protected spans each sample gets the value from which the decoder rebuilds it exactly. Each
// stretch between them is cut into chunks of f samples from its start (the last chunk holds what
// remains); a chunk is stored as the mean, rounded half away from zero, of what its samples need,
// so the decoder's repetition of that value is off by at most half the chunk's spread plus the
// truncation of the rescale. Where a type-0 complex's subtraction span covers a sample, the
// reference beat is subtracted first. Values are clipped to 16 bits.
std::vector<int16_t> EncodeRhythmValues(const std::vector<int16_t>& samples,
                                        const std::vector<ComplexLayout>& complexes,
                                        const RhythmEncoding& encoding);

// Returns the values to store for `encoding` (kFirstDifferences: x[0], then x[i] - x[i - 1];
// kSecondDifferences: x[0], x[1], then x[i] - 2x[i - 1] + x[i - 2]; anything else: the values
// as they are). Arithmetic wraps at 16 bits like the decoder's, so every input survives.
std::vector<int16_t> EncodeDifferences(const std::vector<int16_t>& values, uint8_t encoding);

// Returns a lead's data bytes: the Huffman code of the values when `huffman` (with `tables`,
// switching tables every 64 values where they can, or with the default table when `tables` is
// empty), otherwise the values as little-endian 16-bit words.
std::vector<uint8_t> PackLeadData(const std::vector<int16_t>& values, bool huffman,
                                  const HuffmanTableSet& tables = {});

}  // namespace scpgen
