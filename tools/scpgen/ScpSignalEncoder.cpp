#include "tools/scpgen/ScpSignalEncoder.h"

#include <algorithm>
#include <limits>

#include "tools/scpgen/ScpHuffmanEncoder.h"

namespace scpgen {
namespace {

int16_t ClipTo16(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

int16_t Wrap16(int32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value));
}

int64_t FloorDiv(int64_t num, int64_t den) {
  int64_t quotient = num / den;
  if ((num % den != 0) && ((num < 0) != (den < 0))) {
    --quotient;
  }
  return quotient;
}

int64_t CeilDiv(int64_t num, int64_t den) {
  return -FloorDiv(-num, den);
}

// num / den (den > 0) rounded to the nearest integer, halves away from zero.
int64_t RoundDiv(int64_t num, int64_t den) {
  return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
}

int32_t RoundDownToChunk(int32_t index, int32_t stretchStart, int32_t factor) {
  return stretchStart + FloorDiv(index - stretchStart, factor) * factor;
}

int32_t RoundUpToChunk(int32_t index, int32_t stretchStart, int32_t factor) {
  return stretchStart + CeilDiv(index - stretchStart, factor) * factor;
}

// The span a reader derives for a complex when the record lists no protected areas: from the
// fiducial sample number fc, fid and the QRS onset and offset, widened to multiples of f.
ProtectedSpan DerivedSpan(int32_t fiducialIndex, const ComplexPlan& plan) {
  const int32_t fc = fiducialIndex + 1;
  int32_t start = fc - 1 + (plan.qrsOnset - (plan.referenceFiducial - 1));
  int32_t end = fc + (plan.qrsOffset + 1 - (plan.referenceFiducial - 1));
  start = std::max(start, 0);
  start -= start % plan.factor;
  end = std::min(end, plan.sampleCount);
  if (end % plan.factor != 0) {
    end += plan.factor - end % plan.factor;
  }
  return {start, end};
}

// The reference beat in reference units at every rhythm index its subtraction spans cover, 0
// elsewhere; spans are clipped to both arrays as the decoder clips them.
std::vector<int32_t> ReferenceContribution(int32_t sampleCount,
                                           const std::vector<ComplexLayout>& complexes,
                                           const std::vector<int16_t>& reference) {
  std::vector<int32_t> contribution(sampleCount, 0);
  const int32_t referenceCount = static_cast<int32_t>(reference.size());
  for (const ComplexLayout& complex : complexes) {
    if (complex.beatType != 0) {
      continue;
    }
    const SubtractionSpan& span = complex.subtraction;
    for (int32_t i = span.start, k = span.referenceOffset; i < span.end; ++i, ++k) {
      if (i < 0 || k < 0) {
        continue;
      }
      if (i >= sampleCount || k >= referenceCount) {
        break;
      }
      contribution[i] += reference[k];
    }
  }
  return contribution;
}

}  // namespace

std::vector<ComplexLayout> PlanComplexes(const std::vector<int32_t>& fiducialIndexes,
                                         const std::vector<uint16_t>& beatTypes,
                                         const ComplexPlan& plan) {
  const int32_t factor = std::max(plan.factor, 1);
  std::vector<ComplexLayout> complexes;
  int32_t previousEnd = 0;
  for (size_t c = 0; c < fiducialIndexes.size(); ++c) {
    ComplexLayout complex{};
    complex.beatType = c < beatTypes.size() ? beatTypes[c] : 0;
    complex.fiducialIndex = fiducialIndexes[c];
    const int32_t shift = complex.fiducialIndex - plan.referenceFiducial;
    if (plan.derivedSpans) {
      ComplexPlan rounded = plan;
      rounded.factor = factor;
      complex.protectedSpan = DerivedSpan(complex.fiducialIndex, rounded);
    } else {
      complex.protectedSpan = {shift + plan.qrsOnset, shift + plan.qrsOffset + 1};
    }
    ProtectedSpan& span = complex.protectedSpan;
    span.start = std::clamp(span.start, previousEnd, plan.sampleCount);
    span.end = std::clamp(span.end, span.start, plan.sampleCount);
    previousEnd = span.end;
    complexes.push_back(complex);
  }

  int32_t previousSubtractionEnd = 0;
  for (size_t c = 0; c < complexes.size(); ++c) {
    ComplexLayout& complex = complexes[c];
    const int32_t shift = complex.fiducialIndex - plan.referenceFiducial;
    if (complex.beatType != 0) {
      complex.subtraction = {complex.fiducialIndex, complex.fiducialIndex, 0};
      continue;
    }
    // The stretch before this complex's protected span and the one after it.
    const int32_t before = c == 0 ? 0 : complexes[c - 1].protectedSpan.end;
    const int32_t after = complex.protectedSpan.end;
    const int32_t afterEnd =
        c + 1 < complexes.size() ? complexes[c + 1].protectedSpan.start : plan.sampleCount;
    int32_t start = shift + plan.subtractFirst;
    int32_t end = shift + plan.subtractEnd;
    if (start >= before && start < complex.protectedSpan.start) {
      start = RoundDownToChunk(start, before, factor);
    }
    if (end > after && end <= afterEnd) {
      end = std::min(RoundUpToChunk(end, after, factor), afterEnd);
    }
    start = std::max({start, before, previousSubtractionEnd, 0, shift});
    end = std::min({end, afterEnd, shift + plan.referenceLength});
    if (end < start) {
      end = start;
    }
    complex.subtraction = {start, end, start - shift};
    previousSubtractionEnd = end;
  }
  return complexes;
}

int32_t StoredValueCount(int32_t sampleCount, const std::vector<ComplexLayout>& complexes,
                         int32_t factor) {
  factor = std::max(factor, 1);
  int32_t count = 0;
  int32_t position = 0;
  for (const ComplexLayout& complex : complexes) {
    const int32_t start = std::clamp(complex.protectedSpan.start, position, sampleCount);
    const int32_t end = std::clamp(complex.protectedSpan.end, start, sampleCount);
    count += static_cast<int32_t>(CeilDiv(start - position, factor)) + (end - start);
    position = end;
  }
  return count + static_cast<int32_t>(CeilDiv(sampleCount - position, factor));
}

std::vector<int16_t> EncodeRhythmValues(const std::vector<int16_t>& samples,
                                        const std::vector<ComplexLayout>& complexes,
                                        const RhythmEncoding& encoding) {
  const int32_t sampleCount = static_cast<int32_t>(samples.size());
  const int32_t factor = std::max(encoding.factor, 1);
  // Without a reference beat the decoder takes the values as they are: scale 1, nothing added.
  const int64_t scale = encoding.reference != nullptr ? std::max(encoding.referenceScale, 1) : 1;
  const std::vector<int32_t> contribution =
      encoding.reference != nullptr
          ? ReferenceContribution(sampleCount, complexes, *encoding.reference)
          : std::vector<int32_t>(sampleCount, 0);

  // The decoder rebuilds sample i from stored value r as trunc((r * scale + contribution) / scale),
  // so r * scale should come as close as it can to `needed`.
  auto needed = [&](int32_t i) { return samples[i] * scale - contribution[i]; };

  std::vector<int16_t> stored;
  auto storeStretch = [&](int32_t from, int32_t to) {
    for (int32_t chunk = from; chunk < to; chunk += factor) {
      const int32_t chunkEnd = std::min(chunk + factor, to);
      int64_t sum = 0;
      for (int32_t i = chunk; i < chunkEnd; ++i) {
        sum += needed(i);
      }
      stored.push_back(ClipTo16(RoundDiv(sum, (chunkEnd - chunk) * scale)));
    }
  };

  int32_t position = 0;
  for (const ComplexLayout& complex : complexes) {
    const int32_t start = std::clamp(complex.protectedSpan.start, position, sampleCount);
    const int32_t end = std::clamp(complex.protectedSpan.end, start, sampleCount);
    storeStretch(position, start);
    for (int32_t i = start; i < end; ++i) {
      // Truncation toward zero: a positive sample needs the sum at or above sample * scale, a
      // negative one at or below it.
      const int64_t value =
          samples[i] >= 0 ? CeilDiv(needed(i), scale) : FloorDiv(needed(i), scale);
      stored.push_back(ClipTo16(value));
    }
    position = end;
  }
  storeStretch(position, sampleCount);
  return stored;
}

std::vector<int16_t> EncodeDifferences(const std::vector<int16_t>& values, uint8_t encoding) {
  std::vector<int16_t> out(values);
  if (encoding == kFirstDifferences) {
    for (size_t i = 1; i < values.size(); ++i) {
      out[i] = Wrap16(values[i] - values[i - 1]);
    }
  } else if (encoding == kSecondDifferences) {
    for (size_t i = 2; i < values.size(); ++i) {
      out[i] = Wrap16(values[i] - 2 * values[i - 1] + values[i - 2]);
    }
  }
  return out;
}

std::vector<uint8_t> PackLeadData(const std::vector<int16_t>& values, bool huffman,
                                  const HuffmanTableSet& tables) {
  constexpr size_t kSwitchEvery = 64;
  std::vector<uint8_t> bytes;
  if (huffman && !tables.empty()) {
    HuffmanEncodeWithTables(values.data(), values.size(), tables, kSwitchEvery, &bytes);
    return bytes;
  }
  if (huffman) {
    HuffmanEncode(values.data(), values.size(), &bytes);
    return bytes;
  }
  bytes.reserve(values.size() * 2);
  for (int16_t value : values) {
    const uint16_t word = static_cast<uint16_t>(value);
    bytes.push_back(static_cast<uint8_t>(word & 0xFF));
    bytes.push_back(static_cast<uint8_t>(word >> 8));
  }
  return bytes;
}

}  // namespace scpgen
