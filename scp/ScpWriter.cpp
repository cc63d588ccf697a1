#include "scp/ScpWriter.h"

#include <climits>
#include <cstring>

#include "scp/ScpCrc.h"
#include "scp/ScpFields.h"
#include "scp/ScpSections.h"

namespace {

constexpr uint16_t kFixedPointerEntries = 12;  // ids 0 to 11, always listed
constexpr uint16_t kLastWrittenId = 254;
constexpr uint8_t kWrittenSectionVersion = 10;
constexpr uint32_t kFirstSectionIndex = kScpRecordHeaderSize + 1;  // 1-based

// The body length a section occupies in the file: rounded up to an even number.
uint64_t PaddedLength(uint32_t length) {
  return (static_cast<uint64_t>(length) + 1) & ~1ULL;
}

// The first section with the id when it holds data, else null. Only these sections are written.
const ScpSectionEntry* WrittenSection(const ScpRecord* record, uint16_t id) {
  int32_t index = ScpRecordFindSection(record, id);
  if (index < 0 || record->entries[index].length == 0) {
    return nullptr;
  }
  return &record->entries[index];
}

bool WriteAll(ScpFile file, const void* bytes, size_t count) {
  return count == 0 || ScpFileWrite(file, bytes, count) == count;
}

// Writes the 6-byte record header: the CRC, then the record length.
bool WriteRecordHeader(ScpFile file, uint16_t crc, uint32_t recordLength) {
  uint8_t header[kScpRecordHeaderSize];
  ScpPack(header, sizeof header, kScpLayoutWord, &crc, 0, 0);
  ScpPack(header, sizeof header, kScpLayoutDword, &recordLength, 2, 0);
  return WriteAll(file, header, sizeof header);
}

// Which sections keep their header bytes 8 to 15 as read.
enum class KeptHeaders { kVersion3Only, kEveryReadSection };

// Header bytes 8 to 15 to write for a section read with `trailer`: a version-3 section keeps them
// as read (versions and reserved bytes), and so does every section read from a file (a non-zero
// version) when `kept` says so; every other section is written as version 10, protocol version
// 0, with its reserved bytes 0.
void TrailerToWrite(const uint8_t* trailer, KeptHeaders kept, ScpSectionHeader* header) {
  const bool readFromFile = trailer[0] != 0;
  if (ScpIsVersion3Section(trailer[0]) ||
      (kept == KeptHeaders::kEveryReadSection && readFromFile)) {
    header->sectionVersion = trailer[0];
    std::memcpy(header->trailer, trailer + 1, sizeof header->trailer);
  } else {
    header->sectionVersion = kWrittenSectionVersion;
    std::memset(header->trailer, 0, sizeof header->trailer);
  }
}

ScpStatus WriteSectionWith(ScpFile file, const uint8_t* body, uint16_t id, uint32_t bodyLength,
                           const uint8_t* trailer, KeptHeaders kept, uint16_t* runningCrc);

// Streams the whole record into an open file; the caller owns the file.
ScpStatus WriteRecordTo(ScpFile file, const ScpRecord* record, const uint8_t* pointers,
                        uint32_t pointerSize, uint32_t recordLength, KeptHeaders kept) {
  if (!WriteRecordHeader(file, kScpCrcStart, recordLength)) {
    return kScpErrFileWrite - kScpLayerAccessor;
  }
  uint8_t lengthBytes[4];
  ScpPack(lengthBytes, sizeof lengthBytes, kScpLayoutDword, &recordLength, 0, 0);
  uint16_t crc = ScpCrc16(kScpCrcStart, lengthBytes, sizeof lengthBytes);

  ScpStatus status =
      WriteSectionWith(file, pointers, 0, pointerSize, record->pointerTrailer, kept, &crc);
  if (status != kScpOk) {
    return status - kScpLayerAccessor;
  }
  for (uint32_t id = 1; id <= kLastWrittenId; ++id) {
    const ScpSectionEntry* section = WrittenSection(record, static_cast<uint16_t>(id));
    if (section == nullptr) {
      continue;
    }
    const uint8_t* body = ScpMemLock(section->data);
    status = WriteSectionWith(file, body, static_cast<uint16_t>(id), section->length,
                              section->headerTrailer, kept, &crc);
    ScpMemUnlock(section->data);
    if (status != kScpOk) {
      return status - kScpLayerAccessor;
    }
  }
  if (ScpFileSeek(file, 0) != 0 || !WriteRecordHeader(file, crc, recordLength)) {
    return kScpErrFileWrite - kScpLayerAccessor;
  }
  return kScpOk;
}

}  // namespace

ScpBlock ScpBuildPointerSection(const ScpRecord* record, uint32_t* size, uint32_t* recordLength) {
  if (record == nullptr || size == nullptr || recordLength == nullptr) {
    return nullptr;
  }
  uint32_t entryCount = kFixedPointerEntries;
  for (uint32_t id = kFixedPointerEntries; id <= kLastWrittenId; ++id) {
    if (WrittenSection(record, static_cast<uint16_t>(id)) != nullptr) {
      ++entryCount;
    }
  }
  uint32_t bodySize = kScpPointerEntrySize * entryCount;
  ScpBlock block = ScpMemAlloc(bodySize);
  if (block == nullptr) {
    return nullptr;
  }
  uint8_t* body = ScpMemLock(block);
  auto putEntry = [&](uint32_t slot, uint16_t id, uint32_t length, uint32_t index) {
    ScpPointerEntry entry{id, length, index};
    ScpPack(body, bodySize, kScpLayoutPointerEntry, &entry, slot * kScpPointerEntrySize, 0);
  };

  // Positions are summed in 64 bits: a record that would not fit the u32 length field is refused.
  uint64_t position = kFirstSectionIndex + kScpSectionHeaderSize + bodySize;
  putEntry(0, 0, kScpSectionHeaderSize + bodySize, kFirstSectionIndex);
  uint32_t nextSlot = kFixedPointerEntries;
  for (uint32_t id = 1; id <= kLastWrittenId; ++id) {
    if (id < kFixedPointerEntries) {
      putEntry(id, static_cast<uint16_t>(id), 0, 0);
    }
    const ScpSectionEntry* section = WrittenSection(record, static_cast<uint16_t>(id));
    if (section == nullptr) {
      continue;
    }
    uint64_t written = PaddedLength(section->length) + kScpSectionHeaderSize;
    if (position + written - 1 > UINT32_MAX) {
      ScpMemUnlock(block);
      ScpMemFree(block);
      return nullptr;
    }
    uint32_t slot = id < kFixedPointerEntries ? id : nextSlot++;
    putEntry(slot, static_cast<uint16_t>(id), static_cast<uint32_t>(written),
             static_cast<uint32_t>(position));
    position += written;
  }
  ScpMemUnlock(block);
  *size = bodySize;
  *recordLength = static_cast<uint32_t>(position - 1);
  return block;
}

ScpStatus ScpWriteSection(ScpFile file, const uint8_t* body, uint16_t id, uint32_t bodyLength,
                          uint16_t* runningCrc) {
  const uint8_t newSection[kScpHeaderTrailerSize] = {};
  return WriteSectionWith(file, body, id, bodyLength, newSection, KeptHeaders::kVersion3Only,
                          runningCrc);
}

namespace {

ScpStatus WriteSectionWith(ScpFile file, const uint8_t* body, uint16_t id, uint32_t bodyLength,
                           const uint8_t* trailer, KeptHeaders kept, uint16_t* runningCrc) {
  if (runningCrc == nullptr || (body == nullptr && bodyLength > 0) ||
      PaddedLength(bodyLength) + kScpSectionHeaderSize > UINT32_MAX) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  ScpSectionHeader header{};
  header.crc = kScpCrcStart;
  header.id = id;
  header.length = static_cast<uint32_t>(PaddedLength(bodyLength) + kScpSectionHeaderSize);
  TrailerToWrite(trailer, kept, &header);
  uint8_t raw[kScpSectionHeaderSize];
  ScpPack(raw, sizeof raw, kScpLayoutSectionHeader, &header, 0, 0);

  const uint8_t pad = 0;
  bool padded = (bodyLength & 1) != 0;
  uint16_t crc = ScpCrc16(kScpCrcStart, raw + 2, sizeof raw - 2);
  crc = ScpCrc16(crc, body, bodyLength);
  if (padded) {
    crc = ScpCrc16(crc, &pad, 1);
  }
  header.crc = crc;
  ScpPack(raw, sizeof raw, kScpLayoutSectionHeader, &header, 0, 0);

  *runningCrc = ScpCrc16(*runningCrc, raw, sizeof raw);
  *runningCrc = ScpCrc16(*runningCrc, body, bodyLength);
  if (padded) {
    *runningCrc = ScpCrc16(*runningCrc, &pad, 1);
  }
  if (!WriteAll(file, raw, sizeof raw) || !WriteAll(file, body, bodyLength) ||
      (padded && !WriteAll(file, &pad, 1))) {
    return kScpErrFileWrite - kScpLayerDirectory;
  }
  return kScpOk;
}

// Writes a file beside the target with `write`, then renames it over the target, so the file being
// replaced (often the one the record was read from) survives any failure unchanged.
template <typename Write>
ScpStatus ReplaceFile(const char* path, Write write) {
  char target[PATH_MAX];
  char temporary[PATH_MAX + 32];
  ScpFile file = nullptr;
  if (path != nullptr && !ScpFileIsReadOnly(path) &&
      ScpFileSaveTarget(path, target, sizeof target)) {
    file = ScpFileCreateTemporary(target, temporary, sizeof temporary);
  }
  if (file == nullptr) {
    return kScpErrFileWrite - kScpLayerAccessor;
  }
  ScpStatus status = write(file);
  if (status == kScpOk && ScpFileSync(file) != 0) {
    status = kScpErrFileWrite - kScpLayerAccessor;
  }
  if (ScpFileClose(file) != 0 && status == kScpOk) {
    status = kScpErrFileWrite - kScpLayerAccessor;
  }
  if (status == kScpOk && !ScpFileRename(temporary, target)) {
    status = kScpErrFileWrite - kScpLayerAccessor;
  }
  if (status != kScpOk) {
    ScpFileDelete(temporary);
  }
  return status;
}

ScpStatus WriteRecordKeeping(const ScpRecord* record, const char* path, KeptHeaders kept) {
  uint32_t pointerSize = 0;
  uint32_t recordLength = 0;
  ScpBlock pointers = ScpBuildPointerSection(record, &pointerSize, &recordLength);
  if (pointers == nullptr) {
    return kScpErrNoPointerSection - kScpLayerAccessor;
  }
  const ScpStatus status = ReplaceFile(path, [&](ScpFile file) {
    return WriteRecordTo(file, record, ScpMemLock(pointers), pointerSize, recordLength, kept);
  });
  ScpMemUnlock(pointers);
  ScpMemFree(pointers);
  return status;
}

}  // namespace

ScpStatus ScpWriteRecord(const ScpRecord* record, const char* path) {
  return WriteRecordKeeping(record, path, KeptHeaders::kVersion3Only);
}

ScpStatus ScpWriteRecordAsRead(const ScpRecord* record, const char* path) {
  return WriteRecordKeeping(record, path, KeptHeaders::kEveryReadSection);
}

ScpStatus ScpWriteFileBytes(const void* bytes, size_t count, const char* path) {
  if (bytes == nullptr && count > 0) {
    return kScpErrNoData - kScpLayerAccessor;
  }
  return ReplaceFile(path, [&](ScpFile file) {
    return WriteAll(file, bytes, count) ? kScpOk : kScpErrFileWrite - kScpLayerAccessor;
  });
}
