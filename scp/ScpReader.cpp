#include "scp/ScpReader.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "scp/ScpHandles.h"
#include "scp/ScpSections.h"

namespace {

// Duplicate pointer entries may list one section many times, and each copy is stored. Refusing a
// record whose stored bodies add up to more than this many times the file size keeps a small
// crafted file from claiming gigabytes, while leaving room for any honest duplicates.
constexpr int64_t kMaxStoredBytesPerFileByte = 8;

// Files up to this size are read whole and their sections copied from memory: every read is a
// system call, and a record of ten sections would otherwise take twenty of them.
constexpr int64_t kWholeFileLimit = int64_t{64} * 1024 * 1024;
// The first read asks for this much: a record shorter than that comes in whole without a
// question about its size, which would be one more system call.
constexpr size_t kFirstRead = size_t{16} * 1024;

// True when `size` bytes read from the start of a file are as many as the record's length field
// (bytes 2-5) says it has: a short read then needs no second read to learn that the file ended.
bool HoldsWholeRecord(const uint8_t* bytes, size_t size) {
  uint32_t length = 0;
  return ScpUnpack(bytes, static_cast<uint32_t>(size), kScpLayoutDword, &length, 2, 0) == kScpOk &&
         length == size;
}

// The bytes of an open file as the reader takes them: from a copy of the whole file when it was
// read at once, by positioned reads otherwise. Either way a read past the end comes back short.
class FileBytes {
 public:
  FileBytes(ScpFile file, int64_t size) : file_(file), size_(size) {}
  explicit FileBytes(ScpFile file) : FileBytes(file, -1) {}
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // Reads the whole file into memory when it is small enough, else learns its size for
  // positioned reads; false when a read of the whole file comes back short. A file that fits the
  // first read stays in this object's own buffer; a longer one moves to a block of its size.
  bool ReadWhole() {
    size_t first = ScpFileReadAtOnce(file_, 0, first_, kFirstRead);
    if (first < kFirstRead && !HoldsWholeRecord(first_, first)) {
      first +=
          ScpFileReadAt(file_, static_cast<int64_t>(first), first_ + first, kFirstRead - first);
    }
    if (first < kFirstRead) {
      size_ = static_cast<int64_t>(first);
      bytes_ = first_;
      return true;
    }
    size_ = ScpFileSize(file_);
    if (size_ < 0 || size_ > kWholeFileLimit) {
      return true;  // read piece by piece
    }
    ScpBlockPtr image(ScpMemAlloc(static_cast<size_t>(size_)));
    if (image == nullptr) {
      return true;
    }
    uint8_t* bytes = ScpMemLock(image.get());
    ScpMemCopy(bytes, first_, kFirstRead);
    const auto rest = static_cast<size_t>(size_) - kFirstRead;
    if (ScpFileReadAt(file_, kFirstRead, bytes + kFirstRead, rest) != rest) {
      return false;
    }
    image_ = std::move(image);
    bytes_ = bytes;
    return true;
  }

  int64_t Size() const { return size_; }

  size_t ReadAt(int64_t offset, void* buffer, size_t count) const {
    if (bytes_ == nullptr) {
      return ScpFileReadAt(file_, offset, buffer, count);
    }
    if (offset < 0 || offset >= size_) {
      return 0;
    }
    const size_t available = std::min(count, static_cast<size_t>(size_ - offset));
    ScpMemCopy(buffer, bytes_ + offset, available);
    return available;
  }

 private:
  ScpFile file_;
  int64_t size_;
  const uint8_t* bytes_ = nullptr;  // the whole file, when it was read at once
  ScpBlockPtr image_;               // the block that holds a file longer than the first read
  uint8_t first_[kFirstRead];
};

// Where each place in the file was stored in the record, for a pointer entry that lists the same
// place again. A record lists a dozen places or so, kept in a small array searched in turn; any
// beyond those go into a hash map, so a hostile list of thousands still costs linear time.
class StoredPlaces {
 public:
  // The record index stored for the file offset, or -1.
  int32_t Find(int64_t offset) const {
    for (int32_t i = 0; i < firstCount_; ++i) {
      if (first_[i].offset == offset) {
        return first_[i].index;
      }
    }
    const auto found = more_.find(offset);
    return found == more_.end() ? -1 : found->second;
  }

  void Add(int64_t offset, uint16_t index) {
    if (firstCount_ < kFirst) {
      first_[firstCount_++] = Place{offset, index};
    } else {
      more_.emplace(offset, index);
    }
  }

 private:
  struct Place {
    int64_t offset;
    uint16_t index;
  };
  static constexpr int32_t kFirst = 32;
  Place first_[kFirst] = {};
  int32_t firstCount_ = 0;
  std::unordered_map<int64_t, uint16_t> more_;
};

// Reads the section at `offset`; see ScpReadSection.
ScpStatus ReadSectionAt(const FileBytes& file, int64_t offset, ScpSectionHeader* header,
                        ScpBlock* body) {
  *body = nullptr;
  if (offset < 0) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  const int64_t fileSize = file.Size();
  uint8_t raw[kScpSectionHeaderSize];
  if (file.ReadAt(offset, raw, sizeof raw) != sizeof raw) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  ScpUnpack(raw, sizeof raw, kScpLayoutSectionHeader, header, 0, 0);
  if (header->length < kScpSectionHeaderSize) {
    return kScpErrMalformed - kScpLayerDirectory;
  }
  uint32_t bodyLength = header->length - kScpSectionHeaderSize;
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
  const size_t got =
      file.ReadAt(offset + kScpSectionHeaderSize, ScpMemLock(block.get()), bodyLength);
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
  return ReadSectionAt(FileBytes(file, ScpFileSize(file)), offset, header, body);
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
  FileBytes bytes(file.get());
  if (!bytes.ReadWhole()) {
    return nullptr;
  }
  uint8_t recordHeader[kScpRecordHeaderSize];
  if (bytes.ReadAt(0, recordHeader, sizeof recordHeader) != sizeof recordHeader) {
    return nullptr;
  }

  const int64_t fileSize = bytes.Size();
  ScpSectionHeader header{};
  ScpBlock rawPointers = nullptr;
  if (ReadSectionAt(bytes, kScpRecordHeaderSize, &header, &rawPointers) != kScpOk) {
    return nullptr;
  }
  ScpBlockPtr pointers(rawPointers);
  uint32_t pointerBytes = pointers == nullptr ? 0 : header.length - kScpSectionHeaderSize;
  const uint8_t* pointerBody = ScpMemLock(pointers.get());

  int64_t storedLimit = fileSize * kMaxStoredBytesPerFileByte;
  int64_t stored = 0;
  // Where each place in the file was stored; an entry listing it again copies that body.
  StoredPlaces storedAt;
  // The first entry describes section 0 itself; a trailing partial entry is ignored.
  for (uint32_t at = kScpPointerEntrySize; at + kScpPointerEntrySize <= pointerBytes;
       at += kScpPointerEntrySize) {
    ScpPointerEntry entry{};
    ScpUnpack(pointerBody, pointerBytes, kScpLayoutPointerEntry, &entry, at, 0);
    if (entry.length == 0) {
      continue;
    }
    ScpBlock body = nullptr;
    int64_t offset = static_cast<int64_t>(entry.index) - 1;
    const int32_t seen = storedAt.Find(offset);
    uint16_t id = 0;
    uint32_t bodyLength = 0;
    if (seen >= 0) {
      const ScpSectionEntry& first = record->entries[seen];
      body = CopyBody(first);
      if (body == nullptr) {
        return nullptr;
      }
      id = first.id;
      bodyLength = first.length;
    } else {
      if (ReadSectionAt(bytes, offset, &header, &body) != kScpOk) {
        return nullptr;
      }
      if (body == nullptr) {
        continue;
      }
      id = header.id;
      bodyLength = header.length - kScpSectionHeaderSize;
    }
    stored += bodyLength;
    if (stored > storedLimit || ScpRecordAddSection(record.get(), id, bodyLength, body) != kScpOk) {
      ScpMemFree(body);
      return nullptr;
    }
    storedAt.Add(offset, static_cast<uint16_t>(record->count - 1));
  }
  ScpMemUnlock(pointers.get());
  return record.release();
}
