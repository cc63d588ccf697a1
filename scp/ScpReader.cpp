#include "scp/ScpReader.h"

#include <unordered_map>

#include "scp/ScpHandles.h"

namespace {

constexpr uint32_t kRecordHeaderSize = 6;
constexpr uint32_t kSectionHeaderSize = 16;
constexpr uint32_t kPointerEntrySize = 10;

// Duplicate pointer entries may list one section many times, and each copy is stored. Refusing a
// record whose stored bodies add up to more than this many times the file size keeps a small
// crafted file from claiming gigabytes, while leaving room for any honest duplicates.
constexpr int64_t kMaxStoredBytesPerFileByte = 8;

}  // namespace

namespace {

// Reads the section at `offset` of a file of fileSize bytes; see ScpReadSection.
ScpStatus ReadSectionAt(ScpFile file, int64_t fileSize, int64_t offset, ScpSectionHeader* header,
                        ScpBlock* body) {
  *body = nullptr;
  if (offset < 0) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  uint8_t raw[kSectionHeaderSize];
  if (ScpFileReadAt(file, offset, raw, sizeof raw) != sizeof raw) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  ScpUnpack(raw, sizeof raw, kScpLayoutSectionHeader, header, 0, 0);
  if (header->length < kSectionHeaderSize) {
    return kScpErrMalformed - kScpLayerDirectory;
  }
  uint32_t bodyLength = header->length - kSectionHeaderSize;
  if (bodyLength == 0) {
    return kScpOk;
  }
  // A length beyond the end of the file is refused before anything is allocated for it.
  if (fileSize < 0 || offset + static_cast<int64_t>(header->length) > fileSize) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  ScpBlockPtr block(ScpMemAlloc(bodyLength));
  if (block == nullptr) {
    return kScpErrNoMemory - kScpLayerDirectory;
  }
  size_t got =
      ScpFileReadAt(file, offset + kSectionHeaderSize, ScpMemLock(block.get()), bodyLength);
  ScpMemUnlock(block.get());
  if (got != bodyLength) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  *body = block.release();
  return kScpOk;
}

// A copy of a body already read, for a pointer entry that lists the same place again.
ScpBlock CopyBody(const ScpSectionEntry& entry) {
  ScpBlock copy = ScpMemAlloc(entry.length);
  if (copy != nullptr) {
    ScpMemCopy(ScpMemLock(copy), ScpMemLock(entry.data), entry.length);
  }
  return copy;
}

}  // namespace

ScpStatus ScpReadSection(ScpFile file, int64_t offset, ScpSectionHeader* header, ScpBlock* body) {
  if (file == nullptr || header == nullptr || body == nullptr) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  return ReadSectionAt(file, ScpFileSize(file), offset, header, body);
}

ScpRecord* ScpReadRecord(const char* path) {
  ScpFilePtr file(ScpFileOpen(path));
  if (file == nullptr) {
    return nullptr;
  }
  ScpRecordPtr record(ScpRecordCreate());
  if (record == nullptr) {
    return nullptr;
  }
  uint8_t recordHeader[kRecordHeaderSize];
  if (ScpFileReadAt(file.get(), 0, recordHeader, sizeof recordHeader) != sizeof recordHeader) {
    return nullptr;
  }

  const int64_t fileSize = ScpFileSize(file.get());
  ScpSectionHeader header{};
  ScpBlock rawPointers = nullptr;
  if (ReadSectionAt(file.get(), fileSize, kRecordHeaderSize, &header, &rawPointers) != kScpOk) {
    return nullptr;
  }
  ScpBlockPtr pointers(rawPointers);
  uint32_t pointerBytes = pointers == nullptr ? 0 : header.length - kSectionHeaderSize;
  const uint8_t* pointerBody = ScpMemLock(pointers.get());

  int64_t storedLimit = fileSize * kMaxStoredBytesPerFileByte;
  int64_t stored = 0;
  // Where each place in the file was stored; an entry listing it again copies that body.
  std::unordered_map<int64_t, uint16_t> storedAt;
  // The first entry describes section 0 itself; a trailing partial entry is ignored.
  for (uint32_t at = kPointerEntrySize; at + kPointerEntrySize <= pointerBytes;
       at += kPointerEntrySize) {
    ScpPointerEntry entry{};
    ScpUnpack(pointerBody, pointerBytes, kScpLayoutPointerEntry, &entry, at, 0);
    if (entry.length == 0) {
      continue;
    }
    ScpBlock body = nullptr;
    int64_t offset = static_cast<int64_t>(entry.index) - 1;
    const auto seen = storedAt.find(offset);
    uint16_t id = 0;
    uint32_t bodyLength = 0;
    if (seen != storedAt.end()) {
      const ScpSectionEntry& first = record->entries[seen->second];
      body = CopyBody(first);
      if (body == nullptr) {
        return nullptr;
      }
      id = first.id;
      bodyLength = first.length;
    } else {
      if (ReadSectionAt(file.get(), fileSize, offset, &header, &body) != kScpOk) {
        return nullptr;
      }
      if (body == nullptr) {
        continue;
      }
      id = header.id;
      bodyLength = header.length - kSectionHeaderSize;
    }
    stored += bodyLength;
    if (stored > storedLimit || ScpRecordAddSection(record.get(), id, bodyLength, body) != kScpOk) {
      ScpMemFree(body);
      return nullptr;
    }
    storedAt.emplace(offset, static_cast<uint16_t>(record->count - 1));
  }
  ScpMemUnlock(pointers.get());
  return record.release();
}
