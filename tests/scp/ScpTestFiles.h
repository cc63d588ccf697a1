// Test helpers for the record store: temporary directories, whole-file byte access and a small
// assembler that lays out SCP-ECG record files section by section (for inputs the writer would
// never produce: unusual section order, broken indexes and lengths).
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scp/ScpCrc.h"

namespace scptest {

using Bytes = std::vector<uint8_t>;

// A fresh directory, removed with everything in it when the object goes away.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

  // Names of the entries in the directory, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline uint16_t GetU16(const Bytes& bytes, size_t at) {
  return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

inline uint32_t GetU32(const Bytes& bytes, size_t at) {
  return static_cast<uint32_t>(GetU16(bytes, at)) | static_cast<uint32_t>(GetU16(bytes, at + 2))
                                                        << 16;
}

inline void PutU16(Bytes& bytes, size_t at, uint32_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

inline void PutU32(Bytes& bytes, size_t at, uint32_t value) {
  PutU16(bytes, at, value & 0xFFFF);
  PutU16(bytes, at + 2, value >> 16);
}

inline uint16_t Crc(const Bytes& bytes, size_t begin, size_t end) {
  return ScpCrc16(kScpCrcStart, bytes.data() + begin, end - begin);
}

// Appends `from` to `to` (a plain copy; GCC 12 misreads vector::insert here as out of bounds).
inline void Append(Bytes& to, const Bytes& from) {
  size_t at = to.size();
  to.resize(at + from.size());
  for (size_t i = 0; i < from.size(); ++i) {
    to[at + i] = from[i];
  }
}

// One section as the assembler lays it out: its header id and body, and the version bytes.
struct RawSection {
  uint16_t id;
  Bytes body;
  uint8_t sectionVersion = 20;
  uint8_t protocolVersion = 20;
};

// A section with header and body and a correct CRC.
inline Bytes SectionBytes(const RawSection& section) {
  Bytes bytes(16, 0);
  PutU16(bytes, 2, section.id);
  PutU32(bytes, 4, static_cast<uint32_t>(16 + section.body.size()));
  bytes[8] = section.sectionVersion;
  bytes[9] = section.protocolVersion;
  Append(bytes, section.body);
  PutU16(bytes, 0, Crc(bytes, 2, bytes.size()));
  return bytes;
}

// Offsets in an assembled file, for tests that break it afterwards.
constexpr size_t kPointerBodyOffset = 6 + 16;  // pointer entry n starts at kPointerBodyOffset + 10n

// Lays out a record file: section 0 listing `sections` in the given order, then the sections
// in that order, then fixes both CRC levels. The pointer table holds entry 0, then one entry per
// section.
inline Bytes AssembleRecord(const std::vector<RawSection>& sections) {
  RawSection pointers{0, Bytes(10 * (sections.size() + 1), 0)};
  Bytes laidOut;
  uint32_t index = static_cast<uint32_t>(7 + 16 + pointers.body.size());
  PutU16(pointers.body, 0, 0);
  PutU32(pointers.body, 2, static_cast<uint32_t>(16 + pointers.body.size()));
  PutU32(pointers.body, 6, 7);
  for (size_t i = 0; i < sections.size(); ++i) {
    Bytes bytes = SectionBytes(sections[i]);
    PutU16(pointers.body, 10 * (i + 1), sections[i].id);
    PutU32(pointers.body, 10 * (i + 1) + 2, static_cast<uint32_t>(bytes.size()));
    PutU32(pointers.body, 10 * (i + 1) + 6, index);
    index += static_cast<uint32_t>(bytes.size());
    Append(laidOut, bytes);
  }
  Bytes file(6, 0);
  Bytes zero = SectionBytes(pointers);
  Append(file, zero);
  Append(file, laidOut);
  PutU32(file, 2, static_cast<uint32_t>(file.size()));
  PutU16(file, 0, Crc(file, 2, file.size()));
  return file;
}

// Recomputes the record CRC after a test has changed bytes of an assembled file.
inline void FixRecordCrc(Bytes& file) {
  PutU16(file, 0, Crc(file, 2, file.size()));
}

// A body of `length` bytes counting up from `first`, so misplaced bytes show.
inline Bytes Counting(size_t length, uint8_t first = 1) {
  Bytes bytes(length);
  for (size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<uint8_t>(first + i);
  }
  return bytes;
}

}  // namespace scptest
