#include "scp/ScpReader.h"

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

ScpStatus ScpReadSection(ScpFile file, int64_t offset, ScpSectionHeader* header, ScpBlock* body) {
  if (file == nullptr || header == nullptr || body == nullptr) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  *body = nullptr;
  if (offset < 0 || ScpFileSeek(file, offset) != offset) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  uint8_t raw[kSectionHeaderSize];
  if (ScpFileRead(file, raw, sizeof raw) != sizeof raw) {
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
  int64_t fileSize = ScpFileSize(file);
  if (fileSize < 0 || offset + static_cast<int64_t>(header->length) > fileSize) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  ScpBlockPtr block(ScpMemAlloc(bodyLength));
  if (block == nullptr) {
    return kScpErrNoMemory - kScpLayerDirectory;
  }
  size_t got = ScpFileRead(file, ScpMemLock(block.get()), bodyLength);
  ScpMemUnlock(block.get());
  if (got != bodyLength) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  *body = block.release();
  return kScpOk;
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
  if (ScpFileRead(file.get(), recordHeader, sizeof recordHeader) != sizeof recordHeader) {
    return nullptr;
  }

  ScpSectionHeader header{};
  ScpBlock rawPointers = nullptr;
  if (ScpReadSection(file.get(), kRecordHeaderSize, &header, &rawPointers) != kScpOk) {
    return nullptr;
  }
  ScpBlockPtr pointers(rawPointers);
  uint32_t pointerBytes = pointers == nullptr ? 0 : header.length - kSectionHeaderSize;
  const uint8_t* pointerBody = ScpMemLock(pointers.get());

  int64_t storedLimit = ScpFileSize(file.get()) * kMaxStoredBytesPerFileByte;
  int64_t stored = 0;
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
    if (ScpReadSection(file.get(), offset, &header, &body) != kScpOk) {
      return nullptr;
    }
    if (body == nullptr) {
      continue;
    }
    uint32_t bodyLength = header.length - kSectionHeaderSize;
    stored += bodyLength;
    if (stored > storedLimit ||
        ScpRecordAddSection(record.get(), header.id, bodyLength, body) != kScpOk) {
      ScpMemFree(body);
      return nullptr;
    }
  }
  ScpMemUnlock(pointers.get());
  return record.release();
}
