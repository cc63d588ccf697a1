// Test records for the lead tables: plain (not Huffman-coded) leads of constant or given values,
// built section by section, optionally with a global measurement block.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "tests/scp/ScpCodecTestRecords.h"

namespace leadtest {

using codectest::Bytes;

constexpr uint16_t kMultiplierNv = 5000;
constexpr uint16_t kIntervalUs = 2000;

// One stored lead: its code, its reference beat and its rhythm samples. An empty beat or rhythm
// stores no data for it in that section.
struct StoredLead {
  uint8_t code;
  std::vector<int16_t> beat;
  std::vector<int16_t> rhythm;
};

inline StoredLead ConstantLead(uint8_t code, int16_t value, size_t beatCount = 20,
                               size_t rhythmCount = 50) {
  return {code, std::vector<int16_t>(beatCount, value), std::vector<int16_t>(rhythmCount, value)};
}

struct RecordParts {
  bool referenceBeats = true;  // section 5
  bool measurements = false;   // section 7, fiducials 100, 180, 360, 460, 700
};

// Sections 3, 5 (unless left out), 6 and 7 (when asked for), in the order of the leads given.
// Without section 4 each beat is as long as its data; each rhythm lead spans samples 1 to its
// length.
inline ScpRecordPtr MakeLeadRecord(const std::vector<StoredLead>& leads, RecordParts parts = {}) {
  std::vector<codectest::Lead> table;
  std::vector<Bytes> beats;
  std::vector<Bytes> rhythms;
  for (const StoredLead& lead : leads) {
    table.push_back({1, static_cast<uint32_t>(lead.rhythm.size()), lead.code});
    beats.push_back(codectest::PlainValues(lead.beat));
    rhythms.push_back(codectest::PlainValues(lead.rhythm));
  }
  std::vector<std::pair<uint16_t, Bytes>> sections = {{3, codectest::LeadTable(table)}};
  if (parts.referenceBeats) {
    sections.emplace_back(5, codectest::SignalSection(kMultiplierNv, kIntervalUs, 0, beats));
  }
  sections.emplace_back(6, codectest::SignalSection(kMultiplierNv, kIntervalUs, 0, rhythms));
  if (parts.measurements) {
    sections.emplace_back(7, codectest::MeasurementSection(360, 460));
  }
  return codectest::MakeRecord(sections);
}

// Leads I and II and V1 to V6 of constant values, V1 to V6 holding 301 to 306.
inline std::vector<StoredLead> EightLeads(int16_t leadI, int16_t leadII) {
  std::vector<StoredLead> leads = {ConstantLead(1, leadI), ConstantLead(2, leadII)};
  for (uint8_t code = 3; code <= 8; ++code) {
    leads.push_back(ConstantLead(code, static_cast<int16_t>(298 + code)));
  }
  return leads;
}

}  // namespace leadtest
