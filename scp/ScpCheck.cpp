#include "scp/ScpCheck.h"

#include <unordered_map>

#include "scp/ScpCrc.h"
#include "scp/ScpFields.h"
#include "scp/ScpFile.h"
#include "scp/ScpHandles.h"
#include "scp/ScpMemory.h"
#include "scp/ScpSections.h"

namespace {

constexpr size_t kChunkSize = size_t{64} * 1024;

// Carries `crc` over file bytes [begin, end) in chunks; false when they cannot all be read.
bool CrcOfRange(ScpFile file, int64_t begin, int64_t end, uint16_t* crc) {
  uint8_t chunk[kChunkSize];
  if (ScpFileSeek(file, begin) != begin) {
    return false;
  }
  for (int64_t at = begin; at < end;) {
    size_t want = static_cast<size_t>(
        end - at < static_cast<int64_t>(kChunkSize) ? end - at : static_cast<int64_t>(kChunkSize));
    if (ScpFileRead(file, chunk, want) != want) {
      return false;
    }
    *crc = ScpCrc16(*crc, chunk, want);
    at += static_cast<int64_t>(want);
  }
  return true;
}

bool ReadAt(ScpFile file, int64_t offset, uint8_t* bytes, size_t count) {
  return ScpFileSeek(file, offset) == offset && ScpFileRead(file, bytes, count) == count;
}

void CheckSection(ScpFile file, int64_t fileSize, ScpSectionCheck* section) {
  int64_t offset = static_cast<int64_t>(section->index) - 1;
  uint8_t raw[kScpSectionHeaderSize];
  if (offset < 0 || offset + kScpSectionHeaderSize > fileSize ||
      !ReadAt(file, offset, raw, sizeof raw)) {
    return;
  }
  ScpSectionHeader header{};
  ScpUnpack(raw, sizeof raw, kScpLayoutSectionHeader, &header, 0, 0);
  section->headerRead = true;
  section->headerId = header.id;
  section->headerLength = header.length;
  section->storedCrc = header.crc;
  int64_t end = offset + header.length;
  if (header.length < 2 || end > fileSize) {
    return;
  }
  uint16_t crc = kScpCrcStart;
  section->inFile = CrcOfRange(file, offset + 2, end, &crc);
  section->computedCrc = crc;
}

}  // namespace

bool ScpSectionCheckOk(const ScpSectionCheck* section) {
  return section->headerRead && section->inFile && section->storedCrc == section->computedCrc &&
         section->headerId == section->id && section->headerLength == section->entryLength;
}

bool ScpRecordCheckOk(const ScpRecordCheck* check) {
  return check->storedCrc == check->computedCrc &&
         static_cast<int64_t>(check->lengthField) == check->fileSize;
}

ScpStatus ScpCheckRecordFile(const char* path, ScpRecordCheck** out) {
  if (out == nullptr) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  *out = nullptr;
  ScpFilePtr file(ScpFileOpen(path));
  int64_t fileSize = ScpFileSize(file.get());
  uint8_t head[kScpRecordHeaderSize + kScpSectionHeaderSize];
  if (file == nullptr || fileSize < static_cast<int64_t>(sizeof head) ||
      !ReadAt(file.get(), 0, head, sizeof head)) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  ScpCheckPtr check(static_cast<ScpRecordCheck*>(ScpMemAlloc(sizeof(ScpRecordCheck))));
  if (check == nullptr) {
    return kScpErrNoMemory - kScpLayerDirectory;
  }
  check->fileSize = fileSize;
  ScpUnpack(head, sizeof head, kScpLayoutWord, &check->storedCrc, 0, 0);
  ScpUnpack(head, sizeof head, kScpLayoutDword, &check->lengthField, 2, 0);
  int64_t recordEnd = check->lengthField < fileSize ? check->lengthField : fileSize;
  uint16_t crc = kScpCrcStart;
  if (recordEnd > 2 && !CrcOfRange(file.get(), 2, recordEnd, &crc)) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  check->computedCrc = crc;

  ScpSectionHeader pointerHeader{};
  ScpUnpack(head, sizeof head, kScpLayoutSectionHeader, &pointerHeader, kScpRecordHeaderSize, 0);
  if (pointerHeader.length < kScpSectionHeaderSize ||
      kScpRecordHeaderSize + static_cast<int64_t>(pointerHeader.length) > fileSize) {
    return kScpErrMalformed - kScpLayerDirectory;
  }
  uint32_t pointerBytes = pointerHeader.length - kScpSectionHeaderSize;
  ScpBlockPtr pointers(ScpMemAlloc(pointerBytes));
  uint32_t entryCount = pointerBytes / kScpPointerEntrySize;
  check->sections =
      static_cast<ScpSectionCheck*>(ScpMemAlloc(sizeof(ScpSectionCheck) * entryCount));
  if (pointers == nullptr || check->sections == nullptr) {
    return kScpErrNoMemory - kScpLayerDirectory;
  }
  uint8_t* body = ScpMemLock(pointers.get());
  if (!ReadAt(file.get(), kScpRecordHeaderSize + kScpSectionHeaderSize, body, pointerBytes)) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  std::unordered_map<uint32_t, uint32_t> checkedAt;  // section index -> first entry checked there
  for (uint32_t i = 0; i < entryCount; ++i) {
    ScpPointerEntry entry{};
    ScpUnpack(body, pointerBytes, kScpLayoutPointerEntry, &entry, i * kScpPointerEntrySize, 0);
    if (entry.length == 0) {
      continue;
    }
    ScpSectionCheck& section = check->sections[check->sectionCount++];
    // Entries that point at one place share its header and checksum, computed once.
    const auto [first, isNew] = checkedAt.emplace(entry.index, check->sectionCount - 1);
    section = isNew ? ScpSectionCheck{} : check->sections[first->second];
    section.id = entry.id;
    section.index = entry.index;
    section.entryLength = entry.length;
    if (isNew) {
      CheckSection(file.get(), fileSize, &section);
    }
  }
  ScpMemUnlock(pointers.get());
  *out = check.release();
  return kScpOk;
}

void ScpCheckFree(ScpRecordCheck* check) {
  if (check != nullptr) {
    ScpMemFree(check->sections);
    ScpMemFree(check);
  }
}
