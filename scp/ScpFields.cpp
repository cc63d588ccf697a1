#include "scp/ScpFields.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

// A run of `repeat` little-endian integers of `width` bytes each, stored one after the other both
// in the file and in the structure (starting at `structOffset`).
struct FieldRun {
  uint8_t width;
  uint8_t repeat;
  size_t structOffset;
};

// Every field is 1, 2 or 4 bytes wide; each width is spelt out so a read is a few instructions.
uint32_t ReadLittleEndian(const uint8_t* bytes, int width) {
  switch (width) {
    case 1:
      return bytes[0];
    case 2:
      return static_cast<uint32_t>(bytes[0] | (bytes[1] << 8));
    default:
      return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
             (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  }
}

void WriteLittleEndian(uint8_t* bytes, int width, uint32_t value) {
  for (int i = 0; i < width; ++i) {
    bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

// Structure fields have the file's widths, so a field is moved through an integer of that width.
void StoreField(void* field, int width, uint32_t value) {
  if (width == 1) {
    auto narrow = static_cast<uint8_t>(value);
    std::memcpy(field, &narrow, 1);
  } else if (width == 2) {
    auto narrow = static_cast<uint16_t>(value);
    std::memcpy(field, &narrow, 2);
  } else {
    std::memcpy(field, &value, 4);
  }
}

uint32_t LoadField(const void* field, int width) {
  if (width == 1) {
    uint8_t narrow = 0;
    std::memcpy(&narrow, field, 1);
    return narrow;
  }
  if (width == 2) {
    uint16_t narrow = 0;
    std::memcpy(&narrow, field, 2);
    return narrow;
  }
  uint32_t value = 0;
  std::memcpy(&value, field, 4);
  return value;
}

// One run of fields, its widths and places constants, so each field is a load and a store.
template <int Width, size_t Repeat, size_t StructOffset>
void UnpackRun(const uint8_t* from, uint8_t* structure) {
  for (size_t i = 0; i < Repeat; ++i) {
    StoreField(structure + StructOffset + i * Width, Width,
               ReadLittleEndian(from + i * Width, Width));
  }
}

// Where run `index` of a layout starts in the file: after the runs before it.
template <const auto& Runs>
constexpr size_t FileOffsetOfRun(size_t index) {
  size_t offset = 0;
  for (size_t r = 0; r < index; ++r) {
    offset += size_t{Runs[r].width} * Runs[r].repeat;
  }
  return offset;
}

template <const auto& Runs, size_t... Index>
void UnpackRunsAt(const uint8_t* from, uint8_t* structure, std::index_sequence<Index...>) {
  (UnpackRun<Runs[Index].width, Runs[Index].repeat, Runs[Index].structOffset>(
       from + FileOffsetOfRun<Runs>(Index), structure),
   ...);
}

// Unpacks the fields of one layout, unrolled when compiling: the record's headers and entries are
// read many times a decode.
template <const auto& Runs>
void UnpackRuns(const uint8_t* from, void* out) {
  UnpackRunsAt<Runs>(from, static_cast<uint8_t*>(out), std::make_index_sequence<std::size(Runs)>());
}

struct FixedLayout {
  int code;
  uint32_t size;
  const FieldRun* runs;
  size_t runCount;
  void (*unpack)(const uint8_t* from, void* out);
};

constexpr FieldRun kWordRuns[] = {{2, 1, 0}};
constexpr FieldRun kDwordRuns[] = {{4, 1, 0}};
constexpr FieldRun kByteRuns[] = {{1, 1, 0}};
constexpr FieldRun kItemHeadRuns[] = {
    {1, 1, offsetof(ScpItemHead, tag)},
    {2, 1, offsetof(ScpItemHead, length)},
};
constexpr FieldRun kLeadTableHeaderRuns[] = {
    {1, 1, offsetof(ScpLeadTableHeader, leadCount)},
    {1, 1, offsetof(ScpLeadTableHeader, leadFlags)},
};
constexpr FieldRun kLeadEntryRuns[] = {
    {4, 1, offsetof(ScpLeadEntry, startSample)},
    {4, 1, offsetof(ScpLeadEntry, endSample)},
    {1, 1, offsetof(ScpLeadEntry, leadCode)},
};
constexpr FieldRun kQrsHeaderRuns[] = {
    {2, 1, offsetof(ScpQrsHeader, beatLength)},
    {2, 1, offsetof(ScpQrsHeader, fiducial)},
    {2, 1, offsetof(ScpQrsHeader, qrsCount)},
};
constexpr FieldRun kQrsEntryRuns[] = {
    {2, 1, offsetof(ScpQrsEntry, beatType)},
    {4, 1, offsetof(ScpQrsEntry, subtractStart)},
    {4, 1, offsetof(ScpQrsEntry, fiducialSample)},
    {4, 1, offsetof(ScpQrsEntry, subtractEnd)},
};
constexpr FieldRun kSignalHeaderRuns[] = {
    {2, 1, offsetof(ScpSignalHeader, amplitudeMultiplier)},
    {2, 1, offsetof(ScpSignalHeader, sampleInterval)},
    {1, 1, offsetof(ScpSignalHeader, differenceEncoding)},
    {1, 1, offsetof(ScpSignalHeader, bimodalFlag)},
};
constexpr FieldRun kMeasurementHeaderRuns[] = {
    {1, 1, offsetof(ScpMeasurementHeader, blockCount)},
    {1, 1, offsetof(ScpMeasurementHeader, spikeCount)},
    {2, 1, offsetof(ScpMeasurementHeader, rrInterval)},
    {2, 1, offsetof(ScpMeasurementHeader, ppInterval)},
};
constexpr FieldRun kBeatMeasurementsRuns[] = {
    {2, 1, offsetof(ScpBeatMeasurements, pOnset)},
    {2, 1, offsetof(ScpBeatMeasurements, pOffset)},
    {2, 1, offsetof(ScpBeatMeasurements, qrsOnset)},
    {2, 1, offsetof(ScpBeatMeasurements, qrsOffset)},
    {2, 1, offsetof(ScpBeatMeasurements, tOffset)},
    {2, 1, offsetof(ScpBeatMeasurements, pAxis)},
    {2, 1, offsetof(ScpBeatMeasurements, qrsAxis)},
    {2, 1, offsetof(ScpBeatMeasurements, tAxis)},
};
constexpr FieldRun kStatementHeaderRuns[] = {
    {1, 1, offsetof(ScpStatementHeader, confirmed)},
    {2, 1, offsetof(ScpStatementHeader, year)},
    {1, 1, offsetof(ScpStatementHeader, month)},
    {1, 1, offsetof(ScpStatementHeader, day)},
    {1, 1, offsetof(ScpStatementHeader, hour)},
    {1, 1, offsetof(ScpStatementHeader, minute)},
    {1, 1, offsetof(ScpStatementHeader, second)},
    {1, 1, offsetof(ScpStatementHeader, statementCount)},
};
constexpr FieldRun kLeadMeasurementHeaderRuns[] = {
    {2, 1, offsetof(ScpLeadMeasurementHeader, leadCount)},
    {2, 1, offsetof(ScpLeadMeasurementHeader, blockLength)},
};
constexpr FieldRun kLeadMeasurementsRuns[] = {
    {2, 1, offsetof(ScpLeadMeasurements, leadCode)},
    {2, 1, offsetof(ScpLeadMeasurements, unused)},
    {2, kScpLeadMeasurementValues, offsetof(ScpLeadMeasurements, values)},
};
constexpr FieldRun kDateRuns[] = {
    {2, 1, offsetof(ScpDate, year)},
    {1, 1, offsetof(ScpDate, month)},
    {1, 1, offsetof(ScpDate, day)},
};
constexpr FieldRun kTimeRuns[] = {
    {1, 1, offsetof(ScpTime, hour)},
    {1, 1, offsetof(ScpTime, minute)},
    {1, 1, offsetof(ScpTime, second)},
};
constexpr FieldRun kValueUnitRuns[] = {
    {2, 1, offsetof(ScpValueUnit, value)},
    {1, 1, offsetof(ScpValueUnit, unit)},
};
constexpr FieldRun kSectionHeaderRuns[] = {
    {2, 1, offsetof(ScpSectionHeader, crc)},     {2, 1, offsetof(ScpSectionHeader, id)},
    {4, 1, offsetof(ScpSectionHeader, length)},  {1, 1, offsetof(ScpSectionHeader, sectionVersion)},
    {1, 7, offsetof(ScpSectionHeader, trailer)},
};
constexpr FieldRun kPointerEntryRuns[] = {
    {2, 1, offsetof(ScpPointerEntry, id)},
    {4, 1, offsetof(ScpPointerEntry, length)},
    {4, 1, offsetof(ScpPointerEntry, index)},
};

template <const auto& Runs>
constexpr FixedLayout Layout(int code, uint32_t size) {
  return FixedLayout{code, size, Runs, std::size(Runs), &UnpackRuns<Runs>};
}

// The fixed layouts Quillon uses. Codes 5, 17 and 21 are valid in the format but unused, so they
// are refused like unknown codes; 1, 22 and 27 are plain integers and cost nothing to keep.
constexpr FixedLayout kFixedLayouts[] = {
    Layout<kWordRuns>(kScpLayoutWord, 2),
    Layout<kDwordRuns>(kScpLayoutDword, 4),
    Layout<kByteRuns>(kScpLayoutByte, 1),
    Layout<kItemHeadRuns>(kScpLayoutItemHead, 3),
    Layout<kLeadTableHeaderRuns>(kScpLayoutLeadTableHeader, 2),
    Layout<kLeadEntryRuns>(kScpLayoutLeadEntry, 9),
    Layout<kQrsHeaderRuns>(kScpLayoutQrsHeader, 6),
    Layout<kQrsEntryRuns>(kScpLayoutQrsEntry, 14),
    Layout<kSignalHeaderRuns>(kScpLayoutSignalHeader, 6),
    Layout<kMeasurementHeaderRuns>(kScpLayoutMeasurementHeader, 6),
    Layout<kBeatMeasurementsRuns>(kScpLayoutBeatMeasurements, 16),
    Layout<kStatementHeaderRuns>(kScpLayoutStatementHeader, 9),
    Layout<kLeadMeasurementHeaderRuns>(kScpLayoutLeadMeasurementHeader, 4),
    Layout<kLeadMeasurementsRuns>(kScpLayoutLeadMeasurements, 62),
    Layout<kDateRuns>(kScpLayoutDate, 4),
    Layout<kTimeRuns>(kScpLayoutTime, 3),
    Layout<kValueUnitRuns>(kScpLayoutValueUnit, 3),
    Layout<kSectionHeaderRuns>(kScpLayoutSectionHeader, 16),
    Layout<kPointerEntryRuns>(kScpLayoutPointerEntry, 10),
    Layout<kByteRuns>(22, 1),
    Layout<kWordRuns>(27, 2),
};

// Each layout's size must be the sum of its field widths; checked when compiling.
constexpr bool SizesMatchFields() {
  for (const FixedLayout& layout : kFixedLayouts) {
    uint32_t sum = 0;
    for (size_t r = 0; r < layout.runCount; ++r) {
      sum += static_cast<uint32_t>(layout.runs[r].width) * layout.runs[r].repeat;
    }
    if (sum != layout.size) {
      return false;
    }
  }
  return true;
}
static_assert(SizesMatchFields(), "a fixed layout's size differs from its fields");

// For each layout code, its index in kFixedLayouts, or -1; every field read looks its layout up.
constexpr int kLayoutCodeLimit = 32;
constexpr std::array<int8_t, kLayoutCodeLimit> FixedLayoutIndexes() {
  std::array<int8_t, kLayoutCodeLimit> indexes{};
  for (int8_t& index : indexes) {
    index = -1;
  }
  for (size_t i = 0; i < std::size(kFixedLayouts); ++i) {
    indexes[static_cast<size_t>(kFixedLayouts[i].code)] = static_cast<int8_t>(i);
  }
  return indexes;
}
constexpr std::array<int8_t, kLayoutCodeLimit> kFixedLayoutIndexes = FixedLayoutIndexes();

const FixedLayout* FindFixedLayout(int code) {
  if (code < 0 || code >= kLayoutCodeLimit || kFixedLayoutIndexes[code] < 0) {
    return nullptr;
  }
  return &kFixedLayouts[kFixedLayoutIndexes[code]];
}

bool IsVariableLayout(int code) {
  return code == kScpLayoutBytes || code == kScpLayoutText;
}

// True when `length` bytes starting at `offset` lie inside a buffer of `bufferSize` bytes.
bool Fits(uint32_t bufferSize, uint32_t offset, uint64_t length) {
  return static_cast<uint64_t>(offset) + length <= bufferSize;
}

void PackFixed(const FixedLayout& layout, const void* in, uint8_t* to) {
  const auto* structure = static_cast<const uint8_t*>(in);
  for (size_t r = 0; r < layout.runCount; ++r) {
    const FieldRun& run = layout.runs[r];
    for (size_t i = 0; i < run.repeat; ++i) {
      WriteLittleEndian(to, run.width,
                        LoadField(structure + run.structOffset + i * run.width, run.width));
      to += run.width;
    }
  }
}

// Finds the first entry with the id and hands out its body, or the status of the failure.
ScpStatus LocateBody(const ScpRecord* record, uint16_t id, uint8_t** body, uint32_t* length) {
  int32_t index = ScpRecordFindSection(record, id);
  if (index < 0) {
    return kScpErrNoSection - kScpLayerRecord;
  }
  const ScpSectionEntry& entry = record->entries[index];
  *body = ScpMemLock(entry.data);
  if (*body == nullptr) {
    return kScpErrNoData - kScpLayerRecord;
  }
  *length = entry.length;
  return kScpOk;
}

}  // namespace

int32_t ScpLayoutSize(int layout) {
  if (IsVariableLayout(layout)) {
    return 0;
  }
  const FixedLayout* fixed = FindFixedLayout(layout);
  return fixed != nullptr ? static_cast<int32_t>(fixed->size)
                          : kScpErrBadLayout - kScpLayerDirectory;
}

ScpStatus ScpUnpack(const uint8_t* buffer, uint32_t bufferSize, int layout, void* out,
                    uint32_t offset, uint32_t count) {
  if (layout == kScpLayoutBytes) {
    if (!Fits(bufferSize, offset, count)) {
      return kScpErrOutOfBounds - kScpLayerDirectory;
    }
    ScpMemCopy(out, buffer + offset, count);
    return kScpOk;
  }
  if (layout == kScpLayoutText) {
    if (offset > bufferSize) {
      return kScpErrOutOfBounds - kScpLayerDirectory;
    }
    if (count == 0) {
      return kScpOk;
    }
    auto* text = static_cast<char*>(out);
    uint32_t available = bufferSize - offset;
    uint32_t copied = 0;
    while (copied + 1 < count && copied < available && buffer[offset + copied] != 0) {
      text[copied] = static_cast<char>(buffer[offset + copied]);
      ++copied;
    }
    text[copied] = '\0';
    return kScpOk;
  }
  const FixedLayout* fixed = FindFixedLayout(layout);
  if (fixed == nullptr) {
    return kScpErrBadLayout - kScpLayerDirectory;
  }
  if (!Fits(bufferSize, offset, fixed->size)) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  fixed->unpack(buffer + offset, out);
  return kScpOk;
}

ScpStatus ScpPack(uint8_t* buffer, uint32_t bufferSize, int layout, const void* in, uint32_t offset,
                  uint32_t count) {
  if (layout == kScpLayoutBytes) {
    if (!Fits(bufferSize, offset, count)) {
      return kScpErrOutOfBounds - kScpLayerDirectory;
    }
    ScpMemCopy(buffer + offset, in, count);
    return kScpOk;
  }
  if (layout == kScpLayoutText) {
    if (!Fits(bufferSize, offset, count)) {
      return kScpErrOutOfBounds - kScpLayerDirectory;
    }
    if (count == 0) {
      return kScpOk;
    }
    // The characters, then zeros up to `count`: the text always ends with its terminator and no
    // byte of the field is left as it was.
    const char* text = static_cast<const char*>(in);
    uint32_t written = 0;
    while (written + 1 < count && text[written] != '\0') {
      buffer[offset + written] = static_cast<uint8_t>(text[written]);
      ++written;
    }
    std::memset(buffer + offset + written, 0, count - written);
    return kScpOk;
  }
  const FixedLayout* fixed = FindFixedLayout(layout);
  if (fixed == nullptr) {
    return kScpErrBadLayout - kScpLayerDirectory;
  }
  if (!Fits(bufferSize, offset, fixed->size)) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  PackFixed(*fixed, in, buffer + offset);
  return kScpOk;
}

ScpStatus ScpGetFields(const ScpRecord* record, uint16_t id, int layout, void* out, uint32_t offset,
                       uint32_t count) {
  uint8_t* body = nullptr;
  uint32_t length = 0;
  ScpStatus status = LocateBody(record, id, &body, &length);
  if (status != kScpOk) {
    return status;
  }
  status = ScpUnpack(body, length, layout, out, offset, count);
  ScpMemUnlock(body);
  return status;
}

ScpStatus ScpPutFields(ScpRecord* record, uint16_t id, int layout, const void* in, uint32_t offset,
                       uint32_t count) {
  uint8_t* body = nullptr;
  uint32_t length = 0;
  ScpStatus status = LocateBody(record, id, &body, &length);
  if (status != kScpOk) {
    return status;
  }
  status = ScpPack(body, length, layout, in, offset, count);
  ScpMemUnlock(body);
  return status;
}

ScpStatus ScpAppendFields(ScpRecord* record, uint16_t id, int layout, const void* in,
                          uint32_t count) {
  // Everything that can refuse the packing is checked before the section grows, so a failure
  // always leaves the section as it was.
  int32_t size = ScpLayoutSize(layout);
  if (size < 0) {
    return static_cast<ScpStatus>(size - kScpLayerAccessor);
  }
  if (!IsVariableLayout(layout) && static_cast<uint32_t>(size) != count) {
    return kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor;
  }
  uint8_t* body = nullptr;
  uint32_t oldLength = 0;
  ScpStatus status = LocateBody(record, id, &body, &oldLength);
  if (status != kScpOk) {
    return status - kScpLayerAccessor;
  }
  if (count > 0 && in == nullptr) {
    return kScpErrNoData - kScpLayerAccessor;
  }
  status = ScpRecordResizeSection(record, id, count);
  if (status != kScpOk) {
    return kScpErrNoMemory - kScpLayerRecord - kScpLayerAccessor;
  }
  ScpBlock block = ScpRecordSectionData(record, id);
  status = ScpPack(ScpMemLock(block), oldLength + count, layout, in, oldLength, count);
  ScpMemUnlock(block);
  return status == kScpOk ? kScpOk : status - kScpLayerAccessor;
}
