// Test helpers for the signal codec: section bodies laid out field by field, in-memory records
// built from them, and an encoder for the default Huffman table.
#pragma once

#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "scp/ScpHandles.h"
#include "scp/ScpMemory.h"
#include "scp/ScpReader.h"
#include "scp/ScpRecord.h"

namespace codectest {

using Bytes = std::vector<uint8_t>;

inline std::string ExamplePath() {
  return std::string(QUILLON_SHARED_SAMPLES_DIR) + "/Example.scp";
}

inline ScpRecordPtr ReadExample() {
  return ScpRecordPtr(ScpReadRecord(ExamplePath().c_str()));
}

// Appends little-endian integers to a body under construction.
inline void AddU8(Bytes& body, uint32_t value) {
  body.push_back(static_cast<uint8_t>(value));
}
inline void AddU16(Bytes& body, uint32_t value) {
  AddU8(body, value & 0xFF);
  AddU8(body, (value >> 8) & 0xFF);
}
inline void AddU32(Bytes& body, uint32_t value) {
  AddU16(body, value & 0xFFFF);
  AddU16(body, value >> 16);
}

// A record holding these sections, in this order, each body copied into a block of its own.
inline ScpRecordPtr MakeRecord(const std::vector<std::pair<uint16_t, Bytes>>& sections) {
  ScpRecordPtr record(ScpRecordCreate());
  for (const auto& [id, body] : sections) {
    ScpBlock block = ScpMemAlloc(body.size());
    if (!body.empty()) {
      std::memcpy(ScpMemLock(block), body.data(), body.size());
    }
    if (ScpRecordAddSection(record.get(), id, static_cast<uint32_t>(body.size()), block) != 0) {
      ScpMemFree(block);
    }
  }
  return record;
}

// A copy of the record's sections with one body replaced (or added when the id is absent).
inline std::vector<std::pair<uint16_t, Bytes>> SectionsOf(const ScpRecord* record) {
  std::vector<std::pair<uint16_t, Bytes>> sections;
  for (uint16_t i = 0; i < ScpRecordSectionCount(record); ++i) {
    const uint16_t id = static_cast<uint16_t>(ScpRecordIdAt(record, i));
    const uint8_t* bytes = ScpMemLock(record->entries[i].data);
    const uint32_t length = record->entries[i].length;
    sections.emplace_back(id, bytes == nullptr ? Bytes() : Bytes(bytes, bytes + length));
  }
  return sections;
}

struct Lead {
  uint32_t start;
  uint32_t end;
  uint8_t code;
};

// Section 3: lead count, flags, then start, end and code of each lead.
inline Bytes LeadTable(const std::vector<Lead>& leads, uint8_t flags = 0) {
  Bytes body;
  AddU8(body, static_cast<uint32_t>(leads.size()));
  AddU8(body, flags);
  for (const Lead& lead : leads) {
    AddU32(body, lead.start);
    AddU32(body, lead.end);
    AddU8(body, lead.code);
  }
  return body;
}

// Section 5 or 6: multiplier, interval, difference encoding, bimodal flag, the byte count of each
// lead, then each lead's data.
inline Bytes SignalSection(uint16_t multiplier, uint16_t interval, uint8_t differences,
                           const std::vector<Bytes>& leadData, uint8_t bimodal = 0) {
  Bytes body;
  AddU16(body, multiplier);
  AddU16(body, interval);
  AddU8(body, differences);
  AddU8(body, bimodal);
  for (const Bytes& data : leadData) {
    AddU16(body, static_cast<uint32_t>(data.size()));
  }
  for (const Bytes& data : leadData) {
    body.insert(body.end(), data.begin(), data.end());
  }
  return body;
}

// Plain lead data: little-endian i16 values.
inline Bytes PlainValues(const std::vector<int16_t>& values) {
  Bytes data;
  for (int16_t value : values) {
    AddU16(data, static_cast<uint16_t>(value));
  }
  return data;
}

struct Complex {
  uint16_t type;
  int32_t sb;
  int32_t fc;
  int32_t qe;
};

struct Area {
  uint32_t first;  // 1-based, inclusive
  uint32_t last;
};

// Section 4: beat length, fiducial, complex count, the complexes, then (when given) the list of
// protected areas.
inline Bytes QrsSection(uint16_t beatLength, uint16_t fiducial,
                        const std::vector<Complex>& complexes,
                        const std::vector<Area>& areas = {}) {
  Bytes body;
  AddU16(body, beatLength);
  AddU16(body, fiducial);
  AddU16(body, static_cast<uint32_t>(complexes.size()));
  for (const Complex& complex : complexes) {
    AddU16(body, complex.type);
    AddU32(body, static_cast<uint32_t>(complex.sb));
    AddU32(body, static_cast<uint32_t>(complex.fc));
    AddU32(body, static_cast<uint32_t>(complex.qe));
  }
  for (const Area& area : areas) {
    AddU32(body, area.first);
    AddU32(body, area.last);
  }
  return body;
}

// Section 7 with one measurement block: P onset/offset, QRS onset/offset, T offset, axes.
inline Bytes MeasurementSection(uint16_t qrsOnset, uint16_t qrsOffset) {
  Bytes body;
  AddU8(body, 1);     // one block
  AddU8(body, 0);     // no pacemaker spikes
  AddU16(body, 800);  // RR interval, ms
  AddU16(body, 800);  // PP interval, ms
  for (uint32_t value : {100u, 180u, static_cast<uint32_t>(qrsOnset),
                         static_cast<uint32_t>(qrsOffset), 700u, 45u, 60u, 30u}) {
    AddU16(body, value);
  }
  return body;
}

// Encodes values with the default Huffman table, padding the last byte with 0 bits.
class HuffmanWriter {
 public:
  // Appends bits written as '0' and '1'; spaces are only for reading.
  void Bits(const std::string& bits) {
    for (char bit : bits) {
      if (bit == ' ') {
        continue;
      }
      if (used_ % 8 == 0) {
        bytes_.push_back(0);
      }
      if (bit == '1') {
        bytes_.back() |= static_cast<uint8_t>(0x80 >> (used_ % 8));
      }
      ++used_;
    }
  }

  void Value(int value) {
    const int magnitude = value < 0 ? -value : value;
    if (magnitude <= 8) {
      // 0, then 1..8 as that many 1s, a 0 and the sign bit.
      Bits(magnitude == 0 ? "0" : std::string(magnitude, '1') + "0" + (value < 0 ? "1" : "0"));
    } else if (value >= -128 && value <= 127) {
      Bits("1111111110" + Binary(value, 8));
    } else {
      Bits("1111111111" + Binary(value, 16));
    }
  }

  const Bytes& Data() const { return bytes_; }

 private:
  static std::string Binary(int value, int width) {
    std::string bits;
    for (int bit = width - 1; bit >= 0; --bit) {
      bits += ((static_cast<unsigned>(value) >> bit) & 1u) != 0 ? '1' : '0';
    }
    return bits;
  }

  Bytes bytes_;
  size_t used_ = 0;
};

// Random samples for holding a fast route to the plain one over the whole 16-bit range. The edge
// values are the extremes, the largest magnitudes whose sums of three (10 922) or two (16 383)
// still fit 16 bits, and the first past each.
enum class SampleMix {
  kFullRange,         // any 16-bit value
  kNarrow,            // magnitudes up to 10 922
  kBeyondNarrow,      // magnitudes 10 923 to 16 383, either sign
  kEdges,             // edge values only
  kNarrowAndOneEdge,  // narrow, with one edge value at a random place (often an end)
};
constexpr SampleMix kSampleMixes[] = {SampleMix::kFullRange, SampleMix::kNarrow,
                                      SampleMix::kBeyondNarrow, SampleMix::kEdges,
                                      SampleMix::kNarrowAndOneEdge};
constexpr int16_t kEdgeSamples[] = {-32768, 32767, -16384, -16383, 16383, 16384,
                                    -10923, 10923, -10922, 10922,  -1,    0};
constexpr size_t kEdgesBeyondNarrow = 8;  // the first eight

inline std::vector<int16_t> RandomSamples(std::mt19937& random, size_t count, SampleMix mix) {
  std::uniform_int_distribution<int> any(-32768, 32767);
  std::uniform_int_distribution<int> narrow(-10922, 10922);
  std::uniform_int_distribution<int> beyond(10923, 16383);
  std::uniform_int_distribution<size_t> edge(0, std::size(kEdgeSamples) - 1);
  std::vector<int16_t> samples(count);
  for (int16_t& sample : samples) {
    switch (mix) {
      case SampleMix::kFullRange:
        sample = static_cast<int16_t>(any(random));
        break;
      case SampleMix::kBeyondNarrow:
        sample = static_cast<int16_t>(random() % 2 == 0 ? beyond(random) : -beyond(random));
        break;
      case SampleMix::kEdges:
        sample = kEdgeSamples[edge(random)];
        break;
      default:
        sample = static_cast<int16_t>(narrow(random));
    }
  }
  if (mix == SampleMix::kNarrowAndOneEdge && count != 0) {
    const size_t places[] = {0, count - 1, random() % count};
    samples[places[random() % 3]] = kEdgeSamples[edge(random) % kEdgesBeyondNarrow];
  }
  return samples;
}

inline Bytes HuffmanValues(const std::vector<int16_t>& values) {
  HuffmanWriter writer;
  for (int16_t value : values) {
    writer.Value(value);
  }
  return writer.Data();
}

}  // namespace codectest
