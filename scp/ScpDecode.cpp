#include "scp/ScpDecode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "scp/ScpFields.h"
#include "scp/ScpHuffman.h"
#include "scp/ScpHuffmanTables.h"
#include "scp/ScpMeasurements.h"
#include "scp/ScpRawRhythm.h"
#include "scp/ScpVectorClones.h"

namespace {

constexpr int64_t kMaxSampleCount = INT32_MAX;
constexpr int64_t kMaxReferenceSamples = UINT16_MAX;
constexpr uint16_t kMaxDecimationFactor = 16;

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
  return std::max(low, std::min(value, high));
}

int32_t SaturateToInt32(int64_t value) {
  return static_cast<int32_t>(Clamp(value, INT32_MIN, INT32_MAX));
}

// An array for count samples, left unset: the decoder writes the values it reads, then zeroes or
// expands over the rest, so no sample is written twice.
int16_t* AllocateSamples(int64_t count) {
  return static_cast<int16_t*>(
      std::malloc(static_cast<size_t>(std::max<int64_t>(count, 1)) * sizeof(int16_t)));
}

// Zeroes samples [written, count): the values a short stream did not supply.
void ZeroTail(int16_t* samples, int64_t written, int64_t count) {
  const int64_t from = std::max<int64_t>(written, 0);
  if (from < count) {
    std::fill(samples + from, samples + count, int16_t{0});
  }
}

bool HasSection(const ScpRecord* record, uint16_t id) {
  return ScpRecordFindSection(record, id) >= 0;
}

// The body of a section and its length, or null when it cannot be reached.
struct Body {
  const uint8_t* bytes;
  int64_t length;
};

Body SectionBody(const ScpRecord* record, uint16_t id) {
  const int64_t length = ScpRecordSectionLength(record, id);
  const uint8_t* bytes = ScpMemLock(ScpRecordSectionData(record, id));
  if (length < 0 || bytes == nullptr) {
    return {nullptr, 0};
  }
  return {bytes, length};
}

// Copies up to `wanted` little-endian i16 values from body[offset ...], never past the body's end;
// returns how many were copied.
int32_t CopyPlainValues(const Body& body, int32_t offset, int32_t wanted, int16_t* out) {
  const int64_t available = offset < body.length ? (body.length - offset) / 2 : 0;
  const int32_t count = static_cast<int32_t>(std::min<int64_t>(wanted, available));
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* value = body.bytes + offset + 2 * static_cast<int64_t>(i);
    out[i] = static_cast<int16_t>(value[0] | (value[1] << 8));
  }
  return count;
}

void UndoDifferences(uint8_t differenceEncoding, int16_t* values, int32_t count) {
  if (differenceEncoding == 1) {
    ScpUndoFirstDifferences(values, count);
  } else if (differenceEncoding == 2) {
    ScpUndoSecondDifferences(values, count);
  }
}

// Walks a lead of sampleCount samples as alternating stretches outside the zones and protected
// zones, in time order. Each zone is clipped to [0, sampleCount) and to the end of the zone
// before it, so the walk never steps backwards or past the lead whatever the zones hold.
class ZoneWalk {
 public:
  ZoneWalk(const ScpQrsZone* zones, uint16_t zoneCount, int32_t sampleCount)
      : zones_(zones), zoneCount_(zones == nullptr ? 0 : zoneCount), sampleCount_(sampleCount) {}

  // Moves to the next stretch and the zone after it; false when the lead has been walked.
  // The last stretch runs to the end of the lead and is followed by an empty zone.
  bool Next() {
    if (next_ > zoneCount_) {
      return false;
    }
    stretchStart_ = zoneEnd_;
    if (next_ < zoneCount_) {
      zoneStart_ =
          static_cast<int32_t>(Clamp(zones_[next_].protectedStart, stretchStart_, sampleCount_));
      zoneEnd_ = static_cast<int32_t>(Clamp(zones_[next_].protectedEnd, zoneStart_, sampleCount_));
    } else {
      zoneStart_ = zoneEnd_ = sampleCount_;
    }
    ++next_;
    return true;
  }

  int32_t StretchStart() const { return stretchStart_; }
  int32_t StretchEnd() const { return zoneStart_; }
  int32_t ZoneStart() const { return zoneStart_; }
  int32_t ZoneEnd() const { return zoneEnd_; }

 private:
  const ScpQrsZone* zones_;
  uint16_t zoneCount_;
  int32_t sampleCount_;
  uint32_t next_ = 0;
  int32_t stretchStart_ = 0;
  int32_t zoneStart_ = 0;
  int32_t zoneEnd_ = 0;
};

int64_t CeilDiv(int64_t value, int64_t divisor) {
  return (value + divisor - 1) / divisor;
}

// Writes each of `count` values `Factor` times in a row from `to`, reading each value before
// writing its copies (the two ranges may overlap that way).
template <int32_t Factor>
void RepeatEach(const int16_t* from, int32_t count, int16_t* to) {
  for (int32_t i = 0; i < count; ++i) {
    const int16_t value = from[i];
    for (int32_t j = 0; j < Factor; ++j) {
      to[i * Factor + j] = value;
    }
  }
}

SCP_VECTOR_CLONES void RepeatValues(const int16_t* from, int32_t count, int32_t factor,
                                    int16_t* to) {
  switch (factor) {  // bimodal compression keeps every second or fourth value
    case 2:
      RepeatEach<2>(from, count, to);
      return;
    case 4:
      RepeatEach<4>(from, count, to);
      return;
    default:
      for (int32_t i = 0; i < count; ++i, to += factor) {
        const int16_t value = from[i];
        std::fill(to, to + factor, value);
      }
  }
}

// The stored values an expansion takes: no more than the zones call for or the lead has samples.
int32_t ValuesToExpand(int32_t storedCount, uint16_t factor, int32_t sampleCount,
                       const ScpQrsZone* zones, uint16_t zoneCount) {
  const int32_t needed = ScpCountStoredValues(zones, zoneCount, factor, sampleCount);
  return std::max(0, std::min({storedCount, needed, sampleCount}));
}

// Writes the sampleCount samples that the `stored` values at `source` expand to (see
// ScpExpandDecimated) to `to`. The two may share an array when `source` sits at its end: each
// value is read before the samples it fills are written, and those never reach past it.
void ExpandValues(const int16_t* source, int32_t stored, uint16_t factor, int32_t sampleCount,
                  const ScpQrsZone* zones, uint16_t zoneCount, int16_t* to) {
  const int32_t f = std::max<uint16_t>(factor, 1);
  int32_t next = 0;  // stream index of the next value
  ZoneWalk walk(zones, zoneCount, sampleCount);
  while (walk.Next()) {
    const int32_t stretchEnd = walk.StretchEnd();
    int32_t start = walk.StretchStart();
    // Whole groups first, each stored value repeated f times.
    const int32_t groups = std::min((stretchEnd - start) / f, std::max(0, stored - next));
    RepeatValues(source + next, groups, f, to + start);
    start += groups * f;
    next += groups;
    for (; start < stretchEnd; start += f) {  // a short last group, or no values left
      const int16_t value = next < stored ? source[next] : int16_t{0};
      ++next;
      std::fill(to + start, to + std::min(start + f, stretchEnd), value);
    }
    const int32_t zoneLength = walk.ZoneEnd() - walk.ZoneStart();
    const int32_t copied = std::max(0, std::min(zoneLength, stored - next));
    if (copied > 0) {
      std::memmove(to + walk.ZoneStart(), source + next,
                   sizeof(int16_t) * static_cast<size_t>(copied));
    }
    std::fill(to + walk.ZoneStart() + copied, to + walk.ZoneEnd(), int16_t{0});
    next += zoneLength;
  }
}

// The sum of three neighbours plus one, divided by three and truncated toward zero. Every such
// sum of 16-bit values is exact in a float, and its product with 1/3 (rounded up to a float)
// lands in [q, q + 1) for the true quotient q, so truncating the product gives q. Unlike a 32-bit
// division by a constant, the float conversions and product are single vector instructions.
inline int16_t ThirdOfSum(int32_t sum) {
  return static_cast<int16_t>(static_cast<int32_t>(static_cast<float>(sum) * (1.0F / 3.0F)));
}

// Samples no larger than this in magnitude make sums of three plus one that fit 16 bits.
constexpr int16_t kNarrowSumLimit = INT16_MAX / 3;

// Writes to[j] for j in [1, count - 1), each the third of from[j - 1] + from[j] + from[j + 1] + 1,
// with the sums and their division in 16-bit lanes: twice as many to a vector as the float route
// takes. Returns false, leaving to[] unspecified, when a sample lies beyond kNarrowSumLimit and
// the sums could overflow.
SCP_VECTOR_CLONES bool SmoothNarrow(const int16_t* __restrict from, int16_t* __restrict to,
                                    int32_t count) {
  int16_t low = std::min<int16_t>(from[0], from[count - 1]);
  int16_t high = std::max<int16_t>(from[0], from[count - 1]);
  for (int32_t j = 1; j < count - 1; ++j) {
    low = std::min(low, from[j]);
    high = std::max(high, from[j]);
    const auto sum = static_cast<int16_t>(from[j - 1] + from[j] + from[j + 1] + 1);
    to[j] = static_cast<int16_t>(sum / 3);
  }
  return low >= -kNarrowSumLimit && high <= kNarrowSumLimit;
}

// As SmoothNarrow for any samples, through 32-bit sums.
SCP_VECTOR_CLONES void SmoothWide(const int16_t* __restrict from, int16_t* __restrict to,
                                  int32_t count) {
  for (int32_t j = 1; j < count - 1; ++j) {
    to[j] = ThirdOfSum(int32_t{from[j - 1]} + from[j] + from[j + 1] + 1);
  }
}

// The zone parameters shared by every complex of a lead.
struct ZoneContext {
  int64_t leadStart;  // lead entry start and end sample numbers
  int64_t leadEnd;
  int64_t sampleCount;
  int64_t factor;
  int32_t fiducial;  // fid of the QRS section header
};

// Fills the subtraction range of a complex: [SB - 1, QE - 1) from reference index fid - (fc - SB)
// for a type-0 complex; nothing for any other type.
void SetSubtraction(const ScpQrsEntry& entry, const ZoneContext& context, ScpQrsZone* zone) {
  if (entry.beatType == 0) {
    zone->subtractStart = SaturateToInt32(static_cast<int64_t>(entry.subtractStart) - 1);
    zone->subtractEnd = SaturateToInt32(static_cast<int64_t>(entry.subtractEnd) - 1);
    const int64_t fiducialDistance =
        (static_cast<int64_t>(entry.fiducialSample) - entry.subtractStart) % 65536;
    zone->referenceOffset = static_cast<int32_t>(context.fiducial - fiducialDistance);
  } else {
    zone->subtractStart = zone->subtractEnd = zone->referenceOffset = context.fiducial;
  }
}

// Copies the protected-area list into the zones' protected ranges. Returns false, leaving the
// ranges unspecified, when any area is empty, reversed, not after the one before it, or outside
// the lead.
bool UseProtectedAreas(const ScpProtectedArea* areas, const ZoneContext& context, ScpQrsZone* zones,
                       uint16_t zoneCount) {
  const int64_t firstSample = std::max<int64_t>(1, context.leadStart);
  const int64_t lastSample = std::min(context.leadEnd, context.sampleCount);
  int64_t previousEnd = 0;
  for (uint16_t i = 0; i < zoneCount; ++i) {
    const int64_t start = areas[i].startSample;
    const int64_t end = areas[i].endSample;
    if (start < firstSample || end < start || end > lastSample || start <= previousEnd) {
      return false;
    }
    zones[i].protectedStart = static_cast<int32_t>(start - 1);
    zones[i].protectedEnd = static_cast<int32_t>(end);
    previousEnd = end;
  }
  return true;
}

// Derives the protected range of each complex from its fiducial and the reference beat's QRS
// onset and offset, rounded outwards to multiples of the factor. Returns false when section 7
// block 0 cannot be read.
bool DeriveProtectedZones(const ScpRecord* record, const ZoneContext& context,
                          uint16_t referenceInterval, const ScpQrsEntry* entries, ScpQrsZone* zones,
                          uint16_t zoneCount) {
  ScpBeatMeasurements beat;
  if (ScpGetBeatMeasurements(record, 0, &beat) != kScpOk) {
    return false;
  }
  // The reference beat's QRS complex in reference samples, and the fiducial's index, each as the
  // signed 16-bit quantity the zone arithmetic works with.
  const int16_t onset = static_cast<int16_t>(beat.qrsOnset * 1000 / referenceInterval);
  const int16_t offset = static_cast<int16_t>(beat.qrsOffset * 1000 / referenceInterval + 1);
  const int16_t fiducialIndex = static_cast<int16_t>(context.fiducial - 1);

  int64_t previousEnd = 0;
  for (uint16_t i = 0; i < zoneCount; ++i) {
    const ScpQrsEntry& entry = entries[i];
    int64_t start;
    int64_t end;
    // A complex of another type with SB = QE = 0 was not subtracted; its QRS still sits at fc.
    const bool aroundFiducial =
        entry.beatType == 0 || (entry.subtractStart == 0 && entry.subtractEnd == 0);
    if (aroundFiducial) {
      start = static_cast<int64_t>(entry.fiducialSample) - 1 + (onset - fiducialIndex);
      end = static_cast<int64_t>(entry.fiducialSample) + (offset - fiducialIndex);
    } else {
      start = static_cast<int64_t>(entry.subtractStart) - 1;
      end = static_cast<int64_t>(entry.subtractEnd) - 1;
    }
    start = std::max(start, context.leadStart - 1);
    start -= start % context.factor;
    end = std::min(end, context.leadEnd);
    if (end % context.factor != 0) {
      end += context.factor - end % context.factor;
    }
    start = Clamp(start, previousEnd, context.sampleCount);
    end = Clamp(end, start, context.sampleCount);
    zones[i].protectedStart = static_cast<int32_t>(start);
    zones[i].protectedEnd = static_cast<int32_t>(end);
    previousEnd = end;
  }
  return true;
}

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};
using ZoneHandle = std::unique_ptr<ScpQrsZone, FreeDeleter>;
using SampleHandle = std::unique_ptr<int16_t, FreeDeleter>;
using EntryHandle = std::unique_ptr<ScpQrsEntry, FreeDeleter>;
using AreaHandle = std::unique_ptr<ScpProtectedArea, FreeDeleter>;

// A work array lent to each lead of a batch in turn, grown when a lead needs more.
class ScratchSamples {
 public:
  // Room for count samples, or null when memory runs out.
  int16_t* Get(int32_t count) {
    if (count > capacity_) {
      samples_.reset(AllocateSamples(count));
      capacity_ = samples_ == nullptr ? 0 : count;
    }
    return samples_.get();
  }

 private:
  SampleHandle samples_;
  int32_t capacity_ = 0;
};

// The number of samples, from the lead's start, that `stored` values fill when laid out over the
// stretches and zones of a lead of sampleCount samples.
int32_t SamplesCovered(const ScpQrsZone* zones, uint16_t zoneCount, uint16_t factor,
                       int32_t sampleCount, int32_t stored) {
  const int64_t f = std::max<uint16_t>(factor, 1);
  int64_t remaining = std::max(stored, 0);
  ZoneWalk walk(zones, zoneCount, sampleCount);
  while (walk.Next()) {
    const int64_t stretchValues = CeilDiv(walk.StretchEnd() - walk.StretchStart(), f);
    if (remaining < stretchValues) {
      return static_cast<int32_t>(walk.StretchStart() + remaining * f);
    }
    remaining -= stretchValues;
    const int64_t zoneValues = walk.ZoneEnd() - walk.ZoneStart();
    if (remaining < zoneValues) {
      return static_cast<int32_t>(walk.ZoneStart() + remaining);
    }
    remaining -= zoneValues;
  }
  return sampleCount;
}

// Adds the reference beat back and returns the samples to the rhythm's units.
void FinishSamples(int16_t* values, int32_t sampleCount, const ScpQrsZone* zones,
                   uint16_t zoneCount, const ScpReferenceBeat* reference, bool rescale,
                   const ScpLeadSignal& lead) {
  if (reference != nullptr) {
    ScpAddReferenceBeat(reference->samples, reference->sampleCount, values, sampleCount, zones,
                        zoneCount);
  }
  if (rescale) {
    ScpRescale(values, sampleCount, reference->amplitudeMultiplier, lead.amplitudeMultiplier);
  }
}

// Turns the stored values at the start of `samples` (the rest unset) into the lead's sampleCount
// samples, values the stream did not supply taken as 0: brought to the reference beat's units,
// decimated stretches expanded, the reference beat added back, returned to the rhythm's units and
// smoothed outside the protected zones (into a new array that replaces the first). Returns 0, or
// kScpErrNoSampleMemory - kScpLayerDecoder when the smoothed array cannot be allocated.
ScpStatus Reconstruct(SampleHandle* samples, int32_t stored, int32_t sampleCount,
                      const ScpQrsZone* zones, uint16_t zoneCount, uint16_t factor,
                      const ScpLeadSignal& lead, const ScpReferenceBeat* reference,
                      ScratchSamples* scratch) {
  int16_t* values = samples->get();
  const bool rescale =
      reference != nullptr && lead.amplitudeMultiplier != 0 && reference->amplitudeMultiplier != 0;
  if (rescale) {
    ScpRescale(values, stored, lead.amplitudeMultiplier, reference->amplitudeMultiplier);
  }
  if (zoneCount != 0 || factor > 1) {
    // Expanded into a second array, then smoothed back into the first, which has room for every
    // sample: the stored values never outnumber the samples they stand for.
    int16_t* expanded = scratch->Get(sampleCount);
    if (expanded == nullptr) {
      return kScpErrNoSampleMemory - kScpLayerDecoder;
    }
    // The expansion reads no more values than the zones call for, so `stored` needs no capping.
    ExpandValues(values, stored, factor, sampleCount, zones, zoneCount, expanded);
    FinishSamples(expanded, sampleCount, zones, zoneCount, reference, rescale, lead);
    ScpSmoothOutsideZones(expanded, values, sampleCount, zones, zoneCount);
    return kScpOk;
  }
  ZeroTail(values, stored, sampleCount);
  FinishSamples(values, sampleCount, zones, zoneCount, reference, rescale, lead);
  if (reference != nullptr) {
    SampleHandle smoothed(AllocateSamples(sampleCount));
    if (smoothed == nullptr) {
      return kScpErrNoSampleMemory - kScpLayerDecoder;
    }
    ScpSmoothOutsideZones(values, smoothed.get(), sampleCount, zones, zoneCount);
    *samples = std::move(smoothed);
  }
  return kScpOk;
}

}  // namespace

ScpStatus ScpBuildQrsZones(const ScpRecord* record, int16_t ordinal, ScpQrsZone** zones,
                           uint16_t* zoneCount, uint16_t* factor, int32_t* expectedCount) {
  *zones = nullptr;
  *zoneCount = 0;
  *factor = 1;
  ScpLeadEntry lead;
  const ScpStatus leadStatus = ScpGetLeadEntry(record, static_cast<uint16_t>(ordinal), &lead);
  if (leadStatus != kScpOk) {
    return static_cast<ScpStatus>(leadStatus - kScpLayerItem);
  }
  const int64_t sampleCount = static_cast<int64_t>(lead.endSample) - lead.startSample + 1;
  if (sampleCount <= 0 || sampleCount > kMaxSampleCount) {
    return kScpErrMalformed - kScpLayerItem;
  }
  *expectedCount = static_cast<int32_t>(sampleCount);

  ScpQrsHeader qrs;
  ScpSignalHeader reference;
  ScpSignalHeader rhythm;
  if (ScpGetQrsHeader(record, &qrs) != kScpOk ||
      ScpGetSignalHeader(record, kScpReferenceSection, &reference) != kScpOk ||
      ScpGetSignalHeader(record, kScpRhythmSection, &rhythm) != kScpOk ||
      reference.sampleInterval == 0) {
    return kScpOk;
  }
  const uint16_t f = reference.sampleInterval < rhythm.sampleInterval
                         ? static_cast<uint16_t>(rhythm.sampleInterval / reference.sampleInterval)
                         : 1;
  // Bimodal compression keeps every second or fourth value; a larger ratio of the intervals is a
  // corrupt header that would make a few bytes claim a lead of millions of samples.
  if (f > kMaxDecimationFactor) {
    return kScpErrMalformed - kScpLayerItem;
  }
  if (qrs.qrsCount == 0) {
    *factor = f;
    *expectedCount = ScpCountStoredValues(nullptr, 0, f, static_cast<int32_t>(sampleCount));
    return kScpOk;
  }

  // Refuse a complex count the section cannot hold before allocating for it.
  ScpQrsEntry entry;
  const ScpStatus lastStatus = ScpGetQrsEntry(record, &entry, qrs.qrsCount - 1);
  if (lastStatus != kScpOk) {
    return static_cast<ScpStatus>(lastStatus - kScpLayerItem);
  }
  ZoneHandle built(static_cast<ScpQrsZone*>(std::calloc(qrs.qrsCount, sizeof(ScpQrsZone))));
  EntryHandle entries(static_cast<ScpQrsEntry*>(std::calloc(qrs.qrsCount, sizeof(ScpQrsEntry))));
  AreaHandle areas(
      static_cast<ScpProtectedArea*>(std::calloc(qrs.qrsCount, sizeof(ScpProtectedArea))));
  if (built == nullptr || entries == nullptr || areas == nullptr) {
    return kScpErrNoZoneMemory - kScpLayerItem;
  }
  bool hasAreas = false;
  const ScpStatus status =
      ScpGetQrsComplexes(record, qrs.qrsCount, entries.get(), areas.get(), &hasAreas);
  if (status != kScpOk) {
    return static_cast<ScpStatus>(status - kScpLayerItem);
  }
  const ZoneContext context{lead.startSample, lead.endSample, sampleCount, f, qrs.fiducial};
  for (uint16_t i = 0; i < qrs.qrsCount; ++i) {
    SetSubtraction(entries.get()[i], context, &built.get()[i]);
  }
  if (!(hasAreas && UseProtectedAreas(areas.get(), context, built.get(), qrs.qrsCount)) &&
      !DeriveProtectedZones(record, context, reference.sampleInterval, entries.get(), built.get(),
                            qrs.qrsCount)) {
    // Nothing says where the complexes were kept at the full rate: the whole lead was stored at
    // one value per f samples, and the reference beat still goes back over each subtraction range.
    for (uint16_t i = 0; i < qrs.qrsCount; ++i) {
      built.get()[i].protectedStart = built.get()[i].protectedEnd = 0;
    }
  }
  *zones = built.release();
  *zoneCount = qrs.qrsCount;
  *factor = f;
  *expectedCount = ScpCountStoredValues(*zones, qrs.qrsCount, f, static_cast<int32_t>(sampleCount));
  return kScpOk;
}

int32_t ScpCountStoredValues(const ScpQrsZone* zones, uint16_t zoneCount, uint16_t factor,
                             int32_t sampleCount) {
  const int64_t f = std::max<uint16_t>(factor, 1);
  int64_t count = 0;
  ZoneWalk walk(zones, zoneCount, std::max(sampleCount, 0));
  while (walk.Next()) {
    count += CeilDiv(walk.StretchEnd() - walk.StretchStart(), f);
    count += walk.ZoneEnd() - walk.ZoneStart();
  }
  return static_cast<int32_t>(count);
}

// The running sums are kept in registers (unsigned, so they wrap at 16 bits without overflow)
// rather than read back from the array, which would make every step wait for the last store.
void ScpUndoFirstDifferences(int16_t* values, int32_t count) {
  if (count < 1) {
    return;
  }
  auto sample = static_cast<uint16_t>(values[0]);
  for (int32_t i = 1; i < count; ++i) {
    sample = static_cast<uint16_t>(sample + static_cast<uint16_t>(values[i]));
    values[i] = static_cast<int16_t>(sample);
  }
}

// Both passes at once: the slope is the running sum of the second differences (the first slope
// being x[1] - x[0]), the sample the running sum of the slopes.
void ScpUndoSecondDifferences(int16_t* values, int32_t count) {
  if (count < 2) {
    return;
  }
  auto sample = static_cast<uint16_t>(values[0]);
  auto slope = static_cast<uint16_t>(-sample);
  for (int32_t i = 1; i < count; ++i) {
    slope = static_cast<uint16_t>(slope + static_cast<uint16_t>(values[i]));
    sample = static_cast<uint16_t>(sample + slope);
    values[i] = static_cast<int16_t>(sample);
  }
}

SCP_VECTOR_CLONES void ScpRescale(int16_t* values, int32_t count, uint16_t multiplier,
                                  uint16_t divisor) {
  if (divisor == 0 || multiplier == divisor) {
    return;  // x * m / m is x for every 16-bit x
  }
  // The quotient of two integers below 2^31 and 2^16, rounded once to a double, is never close
  // enough to an integer it does not reach to truncate differently from the integer division, and
  // a double division costs a fraction of an integer one.
  const double d = divisor;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t product = values[i] * static_cast<int32_t>(multiplier);
    values[i] = static_cast<int16_t>(static_cast<int32_t>(product / d));
  }
}

void ScpExpandDecimated(int16_t* values, int32_t storedCount, uint16_t factor, int32_t sampleCount,
                        const ScpQrsZone* zones, uint16_t zoneCount) {
  if (sampleCount <= 0) {
    return;
  }
  // Move the stored values to the end of the array, then expand forwards: a value is always read
  // from at or after the place being written, because no stretch takes more values than samples.
  const int32_t stored = ValuesToExpand(storedCount, factor, sampleCount, zones, zoneCount);
  const int32_t base = sampleCount - stored;
  std::memmove(values + base, values, sizeof(int16_t) * static_cast<size_t>(stored));
  ExpandValues(values + base, stored, factor, sampleCount, zones, zoneCount, values);
}

SCP_VECTOR_CLONES void ScpAddReferenceBeat(const int16_t* reference, int32_t referenceCount,
                                           int16_t* values, int32_t sampleCount,
                                           const ScpQrsZone* zones, uint16_t zoneCount) {
  if (reference == nullptr || zones == nullptr) {
    return;
  }
  for (uint16_t z = 0; z < zoneCount; ++z) {
    int64_t i = zones[z].subtractStart;
    int64_t k = zones[z].referenceOffset;
    const int64_t skip = std::max<int64_t>({0, -i, -k});
    i += skip;
    k += skip;
    // One count for both arrays, so the loop is a plain sweep.
    const int64_t count = std::min<int64_t>(
        std::min<int64_t>(zones[z].subtractEnd, sampleCount) - i, referenceCount - k);
    if (count <= 0) {
      continue;
    }
    int16_t* to = values + i;
    const int16_t* from = reference + k;
    for (int64_t n = 0; n < count; ++n) {
      to[n] = static_cast<int16_t>(to[n] + from[n]);
    }
  }
}

void ScpSmoothOutsideZones(const int16_t* from, int16_t* to, int32_t sampleCount,
                           const ScpQrsZone* zones, uint16_t zoneCount) {
  if (sampleCount <= 0) {
    return;
  }
  // The whole lead is smoothed in one sweep, then the values that stay are put back: the ends of
  // each stretch and the protected zones. An inner value of a stretch reads only samples of that
  // stretch and its ends, so the sweep gives it as a stretch-by-stretch pass would; the second of
  // a two-value stretch with a value after it is averaged with that value, as the sweep does.
  if (!SmoothNarrow(from, to, sampleCount)) {
    SmoothWide(from, to, sampleCount);
  }
  ZoneWalk walk(zones, zoneCount, sampleCount);
  while (walk.Next()) {
    const int32_t start = walk.StretchStart();
    const int32_t end = walk.StretchEnd();
    if (end > start) {
      to[start] = from[start];
      if (end - start != 2 || end == sampleCount) {
        to[end - 1] = from[end - 1];
      }
    }
    std::copy(from + walk.ZoneStart(), from + walk.ZoneEnd(), to + walk.ZoneStart());
  }
}

void ScpFreeReferenceBeat(ScpReferenceBeat* beat) {
  std::free(beat->samples);
  beat->samples = nullptr;
  beat->sampleCount = 0;
}

void ScpFreeRhythm(ScpRhythmSignal* rhythm) {
  std::free(rhythm->samples);
  std::free(rhythm->zones);
  rhythm->samples = nullptr;
  rhythm->zones = nullptr;
  rhythm->sampleCount = 0;
  rhythm->zoneCount = 0;
}

// The rhythm of one lead, in order:
//   1. describe the lead and check its sample span;
//   2. build the QRS zones and decimation factor, and so the number of stored values;
//   3. read the stored values (Huffman-coded or plain; plain data that stop early end the lead
//      there) and undo the difference encoding;
//   4. rescale them to the reference beat's amplitude units;
//   5. expand the decimated stretches between the zones to one value per sample;
//   6. add the reference beat back into the subtraction zones;
//   7. rescale back to the rhythm's own units;
//   8. smooth the stretches outside the protected zones.
// Steps 4 and 7 need a reference beat and two non-zero multipliers, step 5 zones or a factor
// above 1, step 6 a reference beat, step 8 zones, a factor above 1 or a reference beat.
namespace {

// The zones of the last lead built, kept so that a following lead with the same span takes a copy
// instead of reading section 4 again: the zones depend on nothing else of the lead.
class ZoneCache {
 public:
  // Same results as ScpBuildQrsZones for the lead at lead.ordinal.
  ScpStatus Build(const ScpRecord* record, const ScpLeadSignal& lead, ZoneHandle* zones,
                  uint16_t* zoneCount, uint16_t* factor, int32_t* expected) {
    if (!(cached_ && lead.startSample == start_ && lead.endSample == end_)) {
      ScpQrsZone* built = nullptr;
      const ScpStatus status =
          ScpBuildQrsZones(record, lead.ordinal, &built, &zoneCount_, &factor_, &expected_);
      zones_.reset(built);
      cached_ = status == kScpOk;
      if (!cached_) {
        return status;
      }
      start_ = lead.startSample;
      end_ = lead.endSample;
    }
    *zoneCount = zoneCount_;
    *factor = factor_;
    *expected = expected_;
    zones->reset(CopyZones());
    return zones_ != nullptr && *zones == nullptr ? kScpErrNoZoneMemory - kScpLayerItem : kScpOk;
  }

 private:
  ScpQrsZone* CopyZones() const {
    if (zones_ == nullptr) {
      return nullptr;
    }
    auto* copy = static_cast<ScpQrsZone*>(std::malloc(zoneCount_ * sizeof(ScpQrsZone)));
    if (copy != nullptr) {
      std::memcpy(copy, zones_.get(), zoneCount_ * sizeof(ScpQrsZone));
    }
    return copy;
  }

  bool cached_ = false;
  int32_t start_ = 0;
  int32_t end_ = 0;
  ZoneHandle zones_;
  uint16_t zoneCount_ = 0;
  uint16_t factor_ = 1;
  int32_t expected_ = 0;
};

// The record's own Huffman tables, read once for all the leads of a decode: null for the default
// table or plain data; a status (minus the decoder's layer) when they cannot be used.
struct RecordTables {
  struct Deleter {
    void operator()(ScpHuffmanTables* tables) const { ScpFreeHuffmanTables(tables); }
  };
  std::unique_ptr<ScpHuffmanTables, Deleter> tables;
  ScpStatus status = kScpOk;

  explicit RecordTables(const ScpRecord* record) {
    ScpHuffmanTables* read = nullptr;
    const ScpStatus readStatus = ScpReadHuffmanTables(record, &read, nullptr);
    tables.reset(read);
    if (readStatus != kScpOk) {
      status = static_cast<ScpStatus>(readStatus - kScpLayerDecoder);
    }
  }
};

// Decodes a Huffman-coded lead's stream on its own (RhythmLead or BeatLead) and hands the count
// of values to the lead; the pairs are decoded in ReadGroupValues.
template <class Lead>
ScpStatus DecodeStreamAlone(Lead* lead) {
  uint32_t produced = 0;
  const ScpHuffmanStream stream = lead->Stream();
  const ScpStatus status = ScpHuffmanDecodeWithTables(lead->Tables(), stream.data, stream.byteCount,
                                                      lead->DifferenceEncoding(), stream.out,
                                                      stream.maxValues, &produced);
  if (status != kScpOk) {
    return static_cast<ScpStatus>(status - kScpLayerDecoder);
  }
  lead->Decoded(produced);
  return kScpOk;
}

// One rhythm lead through the decoder's stages: Prepare (describe the lead, build its zones,
// allocate for its values), the reading of its stored values, and Finish (the reconstruction).
// Between the stages a record's Huffman-coded leads are read two at a time.
class RhythmLead {
 public:
  ScpStatus Prepare(const ScpRecord* record, uint8_t leadCode, ScpRhythmSignal* rhythm,
                    ZoneCache* zoneCache, const RecordTables& tables) {
    rhythm_ = rhythm;
    rhythm->samples = nullptr;
    rhythm->zones = nullptr;
    rhythm->zoneCount = 0;
    rhythm->decimationFactor = 1;
    rhythm->sampleCount = 0;
    if (tables.status != kScpOk) {
      return tables.status;
    }
    tables_ = tables.tables.get();
    const ScpStatus describeStatus = ScpDescribeLead(record, kScpRhythmSection, leadCode, rhythm);
    if (describeStatus != kScpOk) {
      return static_cast<ScpStatus>(describeStatus - kScpLayerDecoder);
    }
    const int64_t span = static_cast<int64_t>(rhythm->endSample) - rhythm->startSample + 1;
    if (span <= 0 || span > kMaxSampleCount) {
      return kScpErrMalformed - kScpLayerDecoder;
    }
    sampleCount_ = static_cast<int32_t>(span);
    expected_ = sampleCount_;
    if (HasSection(record, kScpQrsSection)) {
      const ScpStatus status =
          zoneCache->Build(record, *rhythm, &zones_, &zoneCount_, &factor_, &expected_);
      if (status != kScpOk) {
        return static_cast<ScpStatus>(status - kScpLayerDecoder);
      }
    }
    body_ = SectionBody(record, kScpRhythmSection);
    if (body_.bytes == nullptr) {
      return kScpErrNoData - kScpLayerDecoder;
    }
    // Every stored value stands for at most `factor` samples, so the lead's own data bound its
    // length: a Huffman-coded lead longer than its bytes could code is a corrupt lead entry, and
    // plain data end where the section's bytes end.
    huffman_ = HasSection(record, kScpHuffmanSection);
    const int64_t plainValues =
        rhythm->dataOffset < body_.length ? (body_.length - rhythm->dataOffset) / 2 : 0;
    if (huffman_ && span > static_cast<int64_t>(rhythm->dataLength) * 8 * factor_) {
      return kScpErrMalformed - kScpLayerDecoder;
    }
    const int64_t capacity = huffman_ ? span : std::min<int64_t>(span, plainValues * factor_);
    samples_.reset(AllocateSamples(capacity));
    if (samples_ == nullptr) {
      return kScpErrNoSampleMemory - kScpLayerDecoder;
    }
    return kScpOk;
  }

  bool IsHuffmanCoded() const { return huffman_; }
  const ScpHuffmanTables* Tables() const { return tables_; }
  uint8_t DifferenceEncoding() const { return rhythm_->differenceEncoding; }

  // The lead's Huffman-coded stream and room for its values.
  ScpHuffmanStream Stream() const {
    return {body_.bytes + rhythm_->dataOffset, static_cast<uint32_t>(rhythm_->dataLength),
            samples_.get(), static_cast<uint32_t>(expected_)};
  }

  // Takes note of the values a Huffman decode produced for Stream().
  void Decoded(uint32_t produced) {
    stored_ = static_cast<int32_t>(std::min<int64_t>(produced, expected_));
  }

  // Reads the stored values of this lead alone and undoes their difference encoding.
  ScpStatus ReadValues() {
    if (huffman_) {
      return DecodeStreamAlone(this);
    }
    stored_ = CopyPlainValues(body_, rhythm_->dataOffset, expected_, samples_.get());
    if (stored_ < expected_) {
      // The section ends inside the lead's data: the lead ends with the last stored value.
      sampleCount_ = SamplesCovered(zones_.get(), zoneCount_, factor_, sampleCount_, stored_);
      rhythm_->endSample = rhythm_->startSample + sampleCount_ - 1;
    }
    UndoDifferences(DifferenceEncoding(), samples_.get(), stored_);
    return kScpOk;
  }

  // Reconstructs the samples from the values read and hands them to the rhythm.
  ScpStatus Finish(const ScpReferenceBeat* reference, ScratchSamples* scratch) {
    const ScpStatus built = Reconstruct(
        &samples_, stored_, sampleCount_, zones_.get(), zoneCount_, factor_, *rhythm_,
        reference != nullptr && reference->samples != nullptr ? reference : nullptr, scratch);
    if (built != kScpOk) {
      return built;
    }
    rhythm_->sampleCount = sampleCount_;
    rhythm_->samples = samples_.release();
    rhythm_->zones = zones_.release();
    rhythm_->zoneCount = zoneCount_;
    rhythm_->decimationFactor = factor_;
    return kScpOk;
  }

 private:
  ScpRhythmSignal* rhythm_ = nullptr;
  const ScpHuffmanTables* tables_ = nullptr;
  ZoneHandle zones_;
  uint16_t zoneCount_ = 0;
  uint16_t factor_ = 1;
  int32_t sampleCount_ = 0;
  int32_t expected_ = 0;
  int32_t stored_ = 0;
  SampleHandle samples_;
  Body body_{nullptr, 0};
  bool huffman_ = false;
};

// One reference beat through the same stages as a rhythm lead: Prepare (describe and size it,
// allocate its samples), the reading of its values, and Finish.
class BeatLead {
 public:
  ScpStatus Prepare(const ScpRecord* record, uint8_t leadCode, ScpReferenceBeat* beat,
                    const RecordTables& tables) {
    beat_ = beat;
    beat->samples = nullptr;
    beat->sampleCount = 0;
    if (tables.status != kScpOk) {
      return tables.status;
    }
    tables_ = tables.tables.get();
    const ScpStatus describeStatus = ScpDescribeLead(record, kScpReferenceSection, leadCode, beat);
    if (describeStatus != kScpOk) {
      return static_cast<ScpStatus>(describeStatus - kScpLayerDecoder);
    }
    huffman_ = HasSection(record, kScpHuffmanSection);
    ScpQrsHeader qrs;
    const ScpStatus qrsStatus = ScpGetQrsHeader(record, &qrs);
    if (qrsStatus == kScpOk) {
      beat->beatLength = qrs.beatLength;
      beat->fiducial = qrs.fiducial;
      beat->qrsCount = qrs.qrsCount;
    } else if (huffman_) {
      return static_cast<ScpStatus>(qrsStatus - kScpLayerDecoder);
    } else {
      // Plain data: the beat is as long as its byte count says.
      beat->beatLength = static_cast<uint16_t>(static_cast<int64_t>(beat->dataLength / 2) *
                                               beat->sampleInterval / 1000);
      beat->fiducial = 0;
      beat->qrsCount = 0;
    }
    if (beat->sampleInterval == 0) {
      return kScpErrMalformed - kScpLayerDecoder;
    }
    const int64_t sampleCount =
        static_cast<int64_t>(beat->beatLength) * 1000 / beat->sampleInterval;
    if (sampleCount > kMaxReferenceSamples) {
      return kScpErrMalformed - kScpLayerDecoder;
    }
    body_ = SectionBody(record, kScpReferenceSection);
    if (body_.bytes == nullptr) {
      return kScpErrNoData - kScpLayerDecoder;
    }
    samples_.reset(AllocateSamples(sampleCount));
    if (samples_ == nullptr) {
      return kScpErrNoSampleMemory - kScpLayerDecoder;
    }
    count_ = static_cast<int32_t>(sampleCount);
    return kScpOk;
  }

  bool IsHuffmanCoded() const { return huffman_; }
  const ScpHuffmanTables* Tables() const { return tables_; }
  uint8_t DifferenceEncoding() const { return beat_->differenceEncoding; }

  ScpHuffmanStream Stream() const {
    return {body_.bytes + beat_->dataOffset, static_cast<uint32_t>(beat_->dataLength),
            samples_.get(), static_cast<uint32_t>(count_)};
  }

  // Takes note of the values a Huffman decode of Stream() produced, summed as it went. A stream
  // too short for the beat is decoded again plainly, so that its missing values go through the
  // sums as zeros.
  void Decoded(uint32_t produced) {
    if (produced < static_cast<uint32_t>(count_)) {
      const ScpHuffmanStream stream = Stream();
      ScpHuffmanDecodeWithTables(tables_, stream.data, stream.byteCount, 0, stream.out,
                                 stream.maxValues, &produced);
      ZeroTail(samples_.get(), produced, count_);
      UndoDifferences(DifferenceEncoding(), samples_.get(), count_);
    }
  }

  // Reads the values of this beat alone and undoes their difference encoding.
  ScpStatus ReadValues() {
    if (!huffman_) {
      ZeroTail(samples_.get(), CopyPlainValues(body_, beat_->dataOffset, count_, samples_.get()),
               count_);
      UndoDifferences(DifferenceEncoding(), samples_.get(), count_);
      return kScpOk;
    }
    return DecodeStreamAlone(this);
  }

  ScpStatus Finish() {
    beat_->samples = samples_.release();
    beat_->sampleCount = static_cast<uint16_t>(count_);
    beat_->startSample = 0;
    beat_->endSample = count_;
    return kScpOk;
  }

 private:
  ScpReferenceBeat* beat_ = nullptr;
  const ScpHuffmanTables* tables_ = nullptr;
  SampleHandle samples_;
  Body body_{nullptr, 0};
  int32_t count_ = 0;
  bool huffman_ = false;
};

// Leads decoded together at most; a longer list goes through in groups of this many.
constexpr int32_t kLeadGroup = 16;

// Reads the stored values of the prepared leads (those whose status is 0): Huffman-coded leads of
// the same difference encoding two at a time when they use the default table, the others one by
// one.
template <class Lead>
void ReadGroupValues(Lead* leads, ScpStatus* statuses, int32_t count) {
  int32_t waiting = -1;  // a Huffman-coded lead without a partner yet
  for (int32_t i = 0; i < count; ++i) {
    if (statuses[i] != kScpOk) {
      continue;
    }
    const bool alone =
        !leads[i].IsHuffmanCoded() || leads[i].Tables() != nullptr ||
        (waiting >= 0 && leads[waiting].DifferenceEncoding() != leads[i].DifferenceEncoding());
    if (alone) {
      statuses[i] = leads[i].ReadValues();
    } else if (waiting < 0) {
      waiting = i;
    } else {
      uint32_t first = 0;
      uint32_t second = 0;
      ScpHuffmanDecodeSamplesPair(leads[i].DifferenceEncoding(), leads[waiting].Stream(),
                                  leads[i].Stream(), &first, &second);
      leads[waiting].Decoded(first);
      leads[i].Decoded(second);
      waiting = -1;
    }
  }
  if (waiting >= 0) {
    statuses[waiting] = leads[waiting].ReadValues();
  }
}

}  // namespace

ScpStatus ScpDecodeRhythm(const ScpRecord* record, uint8_t leadCode, ScpRhythmSignal* rhythm,
                          const ScpReferenceBeat* reference) {
  ScpStatus status = kScpOk;
  ScpDecodeRhythmLeads(record, 1, &leadCode, &reference, rhythm, &status);
  return status;
}

ScpStatus ScpDecodeReferenceBeat(const ScpRecord* record, uint8_t leadCode,
                                 ScpReferenceBeat* beat) {
  ScpStatus status = kScpOk;
  ScpDecodeReferenceBeats(record, 1, &leadCode, beat, &status);
  return status;
}

void ScpDecodeReferenceBeats(const ScpRecord* record, int32_t count, const uint8_t* leadCodes,
                             ScpReferenceBeat* beats, ScpStatus* statuses) {
  const RecordTables tables(record);
  for (int32_t first = 0; first < count; first += kLeadGroup) {
    const int32_t group = std::min(kLeadGroup, count - first);
    BeatLead leads[kLeadGroup];
    for (int32_t i = 0; i < group; ++i) {
      statuses[first + i] =
          leads[i].Prepare(record, leadCodes[first + i], &beats[first + i], tables);
    }
    ReadGroupValues(leads, statuses + first, group);
    for (int32_t i = 0; i < group; ++i) {
      if (statuses[first + i] == kScpOk) {
        statuses[first + i] = leads[i].Finish();
      }
    }
  }
}

void ScpDecodeRhythmLeads(const ScpRecord* record, int32_t count, const uint8_t* leadCodes,
                          const ScpReferenceBeat* const* references, ScpRhythmSignal* rhythms,
                          ScpStatus* statuses) {
  if (!HasSection(record, kScpRhythmSection) && HasSection(record, kScpRawRhythmSection)) {
    for (int32_t i = 0; i < count; ++i) {
      statuses[i] = ScpDecodeRawRhythm(record, leadCodes[i], &rhythms[i]);
    }
    return;
  }
  const RecordTables tables(record);
  ZoneCache zoneCache;
  ScratchSamples scratch;
  for (int32_t first = 0; first < count; first += kLeadGroup) {
    const int32_t group = std::min(kLeadGroup, count - first);
    RhythmLead leads[kLeadGroup];
    for (int32_t i = 0; i < group; ++i) {
      statuses[first + i] =
          leads[i].Prepare(record, leadCodes[first + i], &rhythms[first + i], &zoneCache, tables);
    }
    ReadGroupValues(leads, statuses + first, group);
    for (int32_t i = 0; i < group; ++i) {
      if (statuses[first + i] == kScpOk) {
        statuses[first + i] = leads[i].Finish(references[first + i], &scratch);
      }
    }
  }
}
