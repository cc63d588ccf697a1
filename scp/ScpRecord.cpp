#include "scp/ScpRecord.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr uint32_t kMaxEntries = 0xFFFF;                 // the count is a u16
constexpr int64_t kMaxSectionLength = 0xFFFFFFFFLL - 2;  // the block holds length + 2 bytes
constexpr size_t kNewSectionBlockSize = 4;
int32_t IndexOf(const ScpRecord* record, uint16_t id) {
  if (record == nullptr) {
    return -1;
  }
  if (id < kScpIndexedIds) {
    return static_cast<int32_t>(record->firstById[id]) - 1;
  }
  for (uint32_t i = 0; i < record->count; ++i) {
    if (record->entries[i].id == id) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

// Rebuilds the index from the directory; the first entry of each id wins.
void RebuildIndex(ScpRecord* record) {
  std::fill(std::begin(record->firstById), std::end(record->firstById), uint16_t{0});
  for (uint32_t i = record->count; i > 0; --i) {
    const uint16_t id = record->entries[i - 1].id;
    if (id < kScpIndexedIds) {
      record->firstById[id] = static_cast<uint16_t>(i);
    }
  }
}

// The entries a directory of `count` entries has room for: it grows by doubling from four, so
// that adding a record's sections one by one takes a few reallocations rather than one each.
uint32_t DirectoryCapacity(uint32_t count) {
  uint32_t capacity = count == 0 ? 0 : 4;
  while (capacity < count) {
    capacity *= 2;
  }
  return capacity;
}

// Resizes the directory to hold `count` entries; false (directory unchanged) when memory runs out.
bool ResizeDirectory(ScpRecord* record, uint32_t count) {
  ScpBlock resized = ScpMemRealloc(record->entries, sizeof(ScpSectionEntry) * count);
  if (resized == nullptr) {
    return false;
  }
  record->entries = static_cast<ScpSectionEntry*>(resized);
  return true;
}

}  // namespace

ScpRecord* ScpRecordCreate() {
  auto* record = static_cast<ScpRecord*>(ScpMemAlloc(sizeof(ScpRecord)));
  if (record == nullptr) {
    return nullptr;
  }
  record->count = 0;
  record->entries = static_cast<ScpSectionEntry*>(ScpMemAlloc(0));
  if (record->entries == nullptr) {
    ScpMemFree(record);
    return nullptr;
  }
  return record;
}

void ScpRecordFree(ScpRecord* record) {
  if (record == nullptr) {
    return;
  }
  for (uint32_t i = 0; i < record->count; ++i) {
    ScpMemFree(record->entries[i].data);
  }
  ScpMemFree(record->entries);
  ScpMemFree(record);
}

ScpStatus ScpRecordAddSection(ScpRecord* record, uint16_t id, uint32_t length, ScpBlock block) {
  if (record == nullptr || block == nullptr) {
    return kScpErrNoSection - kScpLayerRecord;
  }
  if (record->count >= kMaxEntries) {
    return kScpErrDirectoryFull - kScpLayerRecord;
  }
  const uint32_t capacity = DirectoryCapacity(record->count + 1u);
  if (capacity != DirectoryCapacity(record->count) && !ResizeDirectory(record, capacity)) {
    return kScpErrDirectoryFull - kScpLayerRecord;
  }
  record->entries[record->count] = ScpSectionEntry{block, id, length};
  ++record->count;
  if (id < kScpIndexedIds && record->firstById[id] == 0) {
    record->firstById[id] = record->count;
  }
  return kScpOk;
}

ScpStatus ScpRecordReplaceSection(ScpRecord* record, uint16_t id, uint32_t length, ScpBlock block) {
  const int32_t index = IndexOf(record, id);
  if (index < 0 || block == nullptr) {
    return ScpRecordAddSection(record, id, length, block);
  }
  ScpSectionEntry& entry = record->entries[index];
  ScpMemFree(entry.data);
  entry.data = block;
  entry.length = length;
  return kScpOk;
}

ScpBlock ScpRecordNewSection(ScpRecord* record, uint16_t id) {
  if (record == nullptr || IndexOf(record, id) >= 0) {
    return nullptr;
  }
  ScpBlock block = ScpMemAlloc(kNewSectionBlockSize);
  if (block == nullptr) {
    return nullptr;
  }
  if (ScpRecordAddSection(record, id, 0, block) != kScpOk) {
    ScpMemFree(block);
    return nullptr;
  }
  return block;
}

ScpStatus ScpRecordRemoveSection(ScpRecord* record, uint16_t id) {
  int32_t index = IndexOf(record, id);
  if (index < 0) {
    return kScpErrNoSuchEntry - kScpLayerAccessor;
  }
  ScpMemFree(record->entries[index].data);
  for (uint32_t i = static_cast<uint32_t>(index) + 1; i < record->count; ++i) {
    record->entries[i - 1] = record->entries[i];
  }
  --record->count;
  RebuildIndex(record);
  // A failed shrink keeps the larger directory, which is harmless.
  ResizeDirectory(record, DirectoryCapacity(record->count));
  return kScpOk;
}

int32_t ScpRecordFindSection(const ScpRecord* record, uint16_t id) {
  int32_t index = IndexOf(record, id);
  return index >= 0 ? index : kScpErrNoSuchEntry - kScpLayerDirectory;
}

uint16_t ScpRecordSectionCount(const ScpRecord* record) {
  return record == nullptr ? 0 : record->count;
}

ScpBlock ScpRecordSectionData(const ScpRecord* record, uint16_t id) {
  int32_t index = IndexOf(record, id);
  return index >= 0 ? record->entries[index].data : nullptr;
}

int64_t ScpRecordSectionLength(const ScpRecord* record, uint16_t id) {
  int32_t index = IndexOf(record, id);
  return index >= 0 ? static_cast<int64_t>(record->entries[index].length)
                    : kScpErrNoSuchEntry - kScpLayerAccessor;
}

int64_t ScpRecordLengthAt(const ScpRecord* record, uint16_t index) {
  if (record == nullptr || index >= record->count) {
    return kScpErrNoSuchEntry - kScpLayerRecord;
  }
  return record->entries[index].length;
}

int32_t ScpRecordIdAt(const ScpRecord* record, uint16_t index) {
  if (record == nullptr || index >= record->count) {
    return kScpErrNoSuchEntry - kScpLayerRecord;
  }
  return record->entries[index].id;
}

ScpStatus ScpRecordResizeSection(ScpRecord* record, uint16_t id, int64_t delta) {
  int32_t index = IndexOf(record, id);
  if (index < 0) {
    return kScpErrNoSuchEntry - kScpLayerAccessor;
  }
  ScpSectionEntry& entry = record->entries[index];
  int64_t newLength = static_cast<int64_t>(entry.length) + delta;
  if (newLength < 0 || newLength > kMaxSectionLength) {
    return kScpErrNoMemory - kScpLayerRecord;
  }
  ScpBlock resized = ScpMemRealloc(entry.data, static_cast<size_t>(newLength) + 2);
  if (resized == nullptr) {
    return kScpErrNoMemory - kScpLayerRecord;
  }
  // Bytes gained are zero until the caller fills them, even where the block kept a stale tail.
  if (newLength > entry.length) {
    std::memset(ScpMemLock(resized) + entry.length, 0,
                static_cast<size_t>(newLength - entry.length));
  }
  ScpMemUnlock(resized);
  entry.data = resized;
  entry.length = static_cast<uint32_t>(newLength);
  return kScpOk;
}

int32_t ScpRecordSectionVersion(const ScpRecord* record, uint16_t id) {
  const int32_t index = ScpRecordFindSection(record, id);
  if (index < 0) {
    return kScpErrNoSuchEntry - kScpLayerAccessor;
  }
  return record->entries[index].headerTrailer[0];
}
