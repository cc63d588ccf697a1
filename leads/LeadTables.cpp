#include "leads/LeadTables.h"

#include <algorithm>
#include <cstdlib>

#include "scp/ScpMeasurements.h"
#include "scp/ScpVectorClones.h"

namespace {

// Entries of the display order.
constexpr int32_t kEntryI = 0;
constexpr int32_t kEntryII = 1;
constexpr int32_t kFirstDerivedEntry = 2;
constexpr int32_t kDerivedEntryCount = 4;
constexpr int32_t kFirstChestEntry = kFirstDerivedEntry + kDerivedEntryCount;

// The derived leads, in the order of their entries.
enum class LimbLead { kIII, kAvr, kAvl, kAvf };

LimbLead LimbLeadOfEntry(int32_t entry) {
  return static_cast<LimbLead>(entry - kFirstDerivedEntry);
}

// The derived leads' samples from the same samples of leads I and II, all four in one sweep:
// 32-bit arithmetic, division truncating toward zero, the results kept to 16 bits.
SCP_VECTOR_CLONES void DeriveSamples(const int16_t* __restrict leadI,
                                     const int16_t* __restrict leadII, int32_t count,
                                     int16_t* __restrict iii, int16_t* __restrict avr,
                                     int16_t* __restrict avl, int16_t* __restrict avf) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t one = leadI[i];
    const int32_t two = leadII[i];
    iii[i] = static_cast<int16_t>(two - one);
    avr[i] = static_cast<int16_t>(-(one + two) / 2);
    avl[i] = static_cast<int16_t>((2 * one - two) / 2);
    avf[i] = static_cast<int16_t>((2 * two - one) / 2);
  }
}

// An entry that holds nothing but its lead code.
template <typename Entry>
void ClearEntry(Entry* entry, uint8_t leadCode) {
  *entry = Entry{};
  entry->leadCode = leadCode;
}

// The description a derived beat takes: lead II's, spanning 0 to its sample count like a decoded
// beat.
void DescribeDerived(ScpReferenceBeat* derived, LimbLead /*lead*/,
                     const ScpReferenceBeat& /*leadI*/, const ScpReferenceBeat& leadII,
                     int32_t count) {
  *derived = leadII;
  derived->sampleCount = static_cast<uint16_t>(count);
  derived->startSample = 0;
  derived->endSample = count;
}

// The description a derived rhythm takes: lead I's for III, lead II's for the others, its span
// covering exactly its samples, and no zones (they belong to the decoded lead).
void DescribeDerived(ScpRhythmSignal* derived, LimbLead lead, const ScpRhythmSignal& leadI,
                     const ScpRhythmSignal& leadII, int32_t count) {
  *derived = lead == LimbLead::kIII ? leadI : leadII;
  derived->sampleCount = count;
  derived->endSample = derived->startSample + count - 1;
  derived->zones = nullptr;
  derived->zoneCount = 0;
}

// Fills the derived entries of a table of beats or rhythms from its entries I and II. An entry
// whose samples cannot be had keeps only its lead code.
template <typename Entry>
void DeriveLimbEntries(Entry* leads) {
  const Entry& leadI = leads[kEntryI];
  const Entry& leadII = leads[kEntryII];
  const int32_t count = std::min<int32_t>(leadI.sampleCount, leadII.sampleCount);
  for (int32_t entry = kFirstDerivedEntry; entry < kFirstChestEntry; ++entry) {
    ClearEntry(&leads[entry], kDisplayLeadCodes[entry]);
  }
  if (leadII.samples == nullptr) {
    return;
  }
  // Allocated like the decoder's arrays, so the same free releases them; the one element of an
  // empty lead is zeroed so none is unset. Without room for all four, none is derived.
  int16_t* derived[kDerivedEntryCount];
  bool allocated = true;
  for (int16_t*& samples : derived) {
    samples = static_cast<int16_t*>(
        std::malloc(static_cast<size_t>(std::max<int32_t>(count, 1)) * sizeof(int16_t)));
    allocated = allocated && samples != nullptr;
    if (samples != nullptr) {
      samples[0] = 0;
    }
  }
  if (!allocated) {
    for (int16_t* samples : derived) {
      std::free(samples);
    }
    return;
  }
  DeriveSamples(leadI.samples, leadII.samples, count, derived[0], derived[1], derived[2],
                derived[3]);
  for (int32_t k = 0; k < kDerivedEntryCount; ++k) {
    const int32_t entry = kFirstDerivedEntry + k;
    DescribeDerived(&leads[entry], LimbLeadOfEntry(entry), leadI, leadII, count);
    leads[entry].leadCode = kDisplayLeadCodes[entry];
    leads[entry].samples = derived[k];
  }
}

void ReleaseEntry(ScpReferenceBeat* beat) {
  ScpFreeReferenceBeat(beat);
}
void ReleaseEntry(ScpRhythmSignal* rhythm) {
  ScpFreeRhythm(rhythm);
}

template <typename Entry>
void ClearEntries(Entry* leads) {
  for (int32_t entry = 0; entry < kLeadTableCapacity; ++entry) {
    ClearEntry(&leads[entry], entry < kDisplayLeadCount ? kDisplayLeadCodes[entry] : 0);
  }
}

// Clears every entry of a table to its display lead code, then decodes the stored display leads
// in one call of decode(count, codes, decoded, statuses), so that they share what the record holds
// once; a lead that fails keeps only its code. Returns false, and leaves no entry holding samples,
// when lead I fails; true otherwise.
template <typename Entry, typename Decode>
bool DecodeStoredEntries(const ScpRecord* record, Entry* leads, Decode decode) {
  ClearEntries(leads);
  if (record == nullptr) {
    return false;
  }
  uint8_t codes[kDisplayLeadCount];
  int32_t entries[kDisplayLeadCount];  // the display entry of each stored lead
  int32_t stored = 0;
  for (int32_t entry = 0; entry < kDisplayLeadCount; ++entry) {
    if (entry < kFirstDerivedEntry || entry >= kFirstChestEntry) {
      codes[stored] = kDisplayLeadCodes[entry];
      entries[stored++] = entry;
    }
  }
  Entry decoded[kDisplayLeadCount];
  ScpStatus statuses[kDisplayLeadCount];
  decode(stored, codes, decoded, statuses);
  for (int32_t k = 0; k < stored; ++k) {
    if (statuses[k] == kScpOk) {
      leads[entries[k]] = decoded[k];
    }
  }
  if (leads[kEntryI].samples == nullptr) {
    for (int32_t k = 0; k < stored; ++k) {
      ReleaseEntry(&leads[entries[k]]);
    }
    ClearEntries(leads);
    return false;
  }
  return true;
}

}  // namespace

int32_t DecodeReferenceLeads(const ScpRecord* record, ScpReferenceBeat* refLeads) {
  const bool decoded = DecodeStoredEntries(
      record, refLeads,
      [record](int32_t count, const uint8_t* codes, ScpReferenceBeat* beats, ScpStatus* statuses) {
        ScpDecodeReferenceBeats(record, count, codes, beats, statuses);
      });
  if (!decoded) {
    return 0;
  }
  DeriveLimbEntries(refLeads);
  return kDisplayLeadCount;
}

int32_t DecodeRhythmLeads(const ScpRecord* record, const ScpReferenceBeat* refLeads,
                          int32_t refCount, ScpRhythmSignal* rhythmLeads) {
  const bool decoded = DecodeStoredEntries(
      record, rhythmLeads,
      [&](int32_t count, const uint8_t* codes, ScpRhythmSignal* rhythms, ScpStatus* statuses) {
        const ScpReferenceBeat* references[kDisplayLeadCount];
        for (int32_t k = 0; k < count; ++k) {
          references[k] = FindLeadBeat(refLeads, refCount, codes[k]);
        }
        ScpDecodeRhythmLeads(record, count, codes, references, rhythms, statuses);
      });
  if (!decoded) {
    return 0;
  }
  DeriveLimbEntries(rhythmLeads);
  return kDisplayLeadCount;
}

bool HasUnscaledLeads(const ScpReferenceBeat* refLeads, int32_t refCount,
                      const ScpRhythmSignal* rhythmLeads, int32_t rhythmCount) {
  auto unscaled = [](const auto& lead) {
    return lead.samples != nullptr && lead.amplitudeMultiplier == 0;
  };
  return std::any_of(refLeads, refLeads + std::max(refCount, 0), unscaled) ||
         std::any_of(rhythmLeads, rhythmLeads + std::max(rhythmCount, 0), unscaled);
}

const ScpReferenceBeat* FindLeadBeat(const ScpReferenceBeat* refLeads, int32_t count,
                                     int leadCode) {
  for (int32_t entry = 0; entry < count; ++entry) {
    if (refLeads[entry].leadCode == leadCode) {
      return &refLeads[entry];
    }
  }
  return nullptr;
}

bool ReadReferenceFiducials(const ScpRecord* record, uint16_t* fiducials) {
  ScpBeatMeasurements block{};
  if (record == nullptr || ScpGetBeatMeasurements(record, 0, &block) != kScpOk) {
    std::fill(fiducials, fiducials + kFiducialCount, uint16_t{0});
    return false;
  }
  const uint16_t times[kFiducialCount] = {block.pOnset, block.pOffset, block.qrsOnset,
                                          block.qrsOffset, block.tOffset};
  std::copy(times, times + kFiducialCount, fiducials);
  return true;
}

void FreeReferenceLeads(ScpReferenceBeat* refLeads, int32_t count) {
  for (int32_t entry = 0; entry < count; ++entry) {
    if (refLeads[entry].samples != nullptr) {
      ScpFreeReferenceBeat(&refLeads[entry]);
    }
  }
}

void FreeRhythmLeads(ScpRhythmSignal* rhythmLeads, int32_t count) {
  for (int32_t entry = 0; entry < count; ++entry) {
    if (rhythmLeads[entry].samples != nullptr || rhythmLeads[entry].zones != nullptr) {
      ScpFreeRhythm(&rhythmLeads[entry]);
    }
  }
}
