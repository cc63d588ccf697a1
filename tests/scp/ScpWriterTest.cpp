#include "scp/ScpWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "scp/ScpCheck.h"
#include "scp/ScpReader.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

using scptest::Bytes;
using scptest::Counting;
using scptest::GetU16;
using scptest::GetU32;
using scptest::RawSection;

constexpr size_t kPointers = scptest::kPointerBodyOffset;

struct PointerEntry {
  uint16_t id;
  uint32_t length;
  uint32_t index;
  bool operator==(const PointerEntry& other) const {
    return id == other.id && length == other.length && index == other.index;
  }
};

std::ostream& operator<<(std::ostream& out, const PointerEntry& entry) {
  return out << "(" << entry.id << ", " << entry.length << ", " << entry.index << ")";
}

std::vector<PointerEntry> PointerTable(const Bytes& file) {
  std::vector<PointerEntry> entries;
  uint32_t bodyLength = GetU32(file, 6 + 4) - 16;
  for (size_t at = kPointers; at < kPointers + bodyLength; at += 10) {
    entries.push_back({GetU16(file, at), GetU32(file, at + 2), GetU32(file, at + 6)});
  }
  return entries;
}

class ScpWriterTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ScpFileClearFaults();
    ScpRecordFree(record_);
  }

  void Add(uint16_t id, const Bytes& body) {
    ScpBlock block = ScpMemAlloc(body.size());
    ScpMemCopy(ScpMemLock(block), body.data(), body.size());
    ASSERT_EQ(ScpRecordAddSection(record_, id, static_cast<uint32_t>(body.size()), block), kScpOk);
  }

  Bytes Write() {
    std::string path = dir_.File("written.scp");
    EXPECT_EQ(ScpWriteRecord(record_, path.c_str()), kScpOk);
    return scptest::ReadBytes(path);
  }

  // True when the record CRC, the length field and every section CRC agree with the bytes.
  static bool ChecksumsAgree(const std::string& path) {
    ScpRecordCheck* check = nullptr;
    if (ScpCheckRecordFile(path.c_str(), &check) != kScpOk) {
      return false;
    }
    bool ok = ScpRecordCheckOk(check);
    for (uint32_t i = 0; i < check->sectionCount; ++i) {
      ok = ok && ScpSectionCheckOk(&check->sections[i]);
    }
    ScpCheckFree(check);
    return ok;
  }

  ScpRecord* record_ = ScpRecordCreate();
  scptest::TempDir dir_;
};

TEST_F(ScpWriterTest, AnEmptyRecordIsA142ByteFileOfTwelveEmptyPointerEntries) {
  Bytes file = Write();
  ASSERT_EQ(file.size(), 142u);
  EXPECT_EQ(GetU32(file, 2), 142u);
  std::vector<PointerEntry> table = PointerTable(file);
  ASSERT_EQ(table.size(), 12u);
  EXPECT_EQ(table[0], (PointerEntry{0, 136, 7}));
  for (uint16_t id = 1; id < 12; ++id) {
    EXPECT_EQ(table[id], (PointerEntry{id, 0, 0}));
  }
  EXPECT_EQ(GetU16(file, 0), scptest::Crc(file, 2, 142));
  EXPECT_EQ(GetU16(file, 6), scptest::Crc(file, 8, 142));
}

TEST_F(ScpWriterTest, OddBodiesArePaddedAndThePadCountsInLengthsIndexesAndBothCrcs) {
  Add(1, Counting(5));
  Add(6, Counting(100));
  Bytes file = Write();
  ASSERT_EQ(file.size(), 280u);
  EXPECT_EQ(GetU32(file, 2), 280u);
  std::vector<PointerEntry> table = PointerTable(file);
  EXPECT_EQ(table[1], (PointerEntry{1, 22, 143}));
  EXPECT_EQ(table[6], (PointerEntry{6, 116, 165}));
  EXPECT_EQ(GetU32(file, 142 + 4), 22u);
  EXPECT_EQ(file[142 + 16 + 5], 0) << "pad byte";
  EXPECT_EQ(GetU16(file, 142), scptest::Crc(file, 144, 164));
  EXPECT_EQ(GetU16(file, 164), scptest::Crc(file, 166, 280));
  EXPECT_EQ(GetU16(file, 0), scptest::Crc(file, 2, 280));
}

TEST_F(ScpWriterTest, SectionsAreWrittenInAscendingIdOrderWhateverOrderTheyWereRead) {
  std::string original = dir_.File("unordered.scp");
  scptest::WriteBytes(
      original, scptest::AssembleRecord({RawSection{6, Counting(10)}, RawSection{1, Counting(4)},
                                         RawSection{3, Counting(8)}}));
  ScpRecordFree(record_);
  record_ = ScpReadRecord(original.c_str());
  ASSERT_NE(record_, nullptr);
  Bytes file = Write();
  std::vector<PointerEntry> table = PointerTable(file);
  EXPECT_EQ(table[1], (PointerEntry{1, 20, 143}));
  EXPECT_EQ(table[3], (PointerEntry{3, 24, 163}));
  EXPECT_EQ(table[6], (PointerEntry{6, 26, 187}));
  EXPECT_EQ(GetU16(file, 162 + 2), 3);
}

TEST_F(ScpWriterTest, SectionsAboveElevenGetEntriesAfterTheFixedTwelveInIdOrder) {
  Add(200, Counting(3));
  Add(12, Counting(40000));
  Add(2, Counting(2));
  Bytes file = Write();
  std::vector<PointerEntry> table = PointerTable(file);
  ASSERT_EQ(table.size(), 14u);
  EXPECT_EQ(table[0], (PointerEntry{0, 16 + 140, 7}));
  uint32_t first = 7 + 16 + 140;
  EXPECT_EQ(table[2], (PointerEntry{2, 18, first}));
  EXPECT_EQ(table[12], (PointerEntry{12, 40016, first + 18}));
  EXPECT_EQ(table[13], (PointerEntry{200, 20, first + 18 + 40016}));
  EXPECT_EQ(file.size(), first + 18 + 40016 + 20 - 1);
}

TEST_F(ScpWriterTest, EmptyDuplicateAndOutOfRangeSectionsAreNeitherWrittenNorListed) {
  Add(0, Counting(8));
  Add(255, Counting(8));
  Add(4, {});
  Add(5, Counting(2, 10));
  Add(5, Counting(2, 20));
  Bytes file = Write();
  std::vector<PointerEntry> table = PointerTable(file);
  ASSERT_EQ(table.size(), 12u);
  EXPECT_EQ(table[4], (PointerEntry{4, 0, 0}));
  EXPECT_EQ(table[5], (PointerEntry{5, 18, 143}));
  EXPECT_EQ(file.size(), 142u + 18u);
  EXPECT_EQ(file[142 + 16], 10) << "the first section 5 is the one written";
}

TEST_F(ScpWriterTest, EverySectionIsWrittenWithVersionTenAndProtocolZero) {
  std::string original = dir_.File("versions.scp");
  scptest::WriteBytes(original, scptest::AssembleRecord({RawSection{1, Counting(4), 20, 13}}));
  ScpRecordFree(record_);
  record_ = ScpReadRecord(original.c_str());
  ASSERT_NE(record_, nullptr);
  Bytes file = Write();
  for (size_t section : {size_t{6}, size_t{142}}) {
    EXPECT_EQ(file[section + 8], 10);
    for (size_t i = 9; i < 16; ++i) {
      EXPECT_EQ(file[section + i], 0) << "byte " << i << " of the section at " << section;
    }
  }
  EXPECT_TRUE(ChecksumsAgree(dir_.File("written.scp")));
}

TEST_F(ScpWriterTest, SavingOverTheFileThatWasReadReplacesItCompletely) {
  std::string path = dir_.File("record.scp");
  scptest::WriteBytes(
      path, scptest::AssembleRecord({RawSection{1, Counting(300)}, RawSection{7, Counting(900)}}));
  ScpRecordFree(record_);
  record_ = ScpReadRecord(path.c_str());
  ASSERT_NE(record_, nullptr);
  ASSERT_EQ(ScpRecordRemoveSection(record_, 7), kScpOk);
  ASSERT_EQ(ScpWriteRecord(record_, path.c_str()), kScpOk);
  EXPECT_EQ(scptest::ReadBytes(path).size(), 142u + 316u);
  EXPECT_TRUE(ChecksumsAgree(path));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"record.scp"});
}

TEST_F(ScpWriterTest, SavingKeepsTheTargetsPermissionBits) {
  std::string path = dir_.File("record.scp");
  scptest::WriteBytes(path, {1, 2, 3});
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  Add(1, Counting(4));
  ASSERT_EQ(ScpWriteRecord(record_, path.c_str()), kScpOk);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ScpWriterTest, SavingKeepsTheTargetsOwnerAndGroupWhereTheProcessMaySetThem) {
  std::string path = dir_.File("record.scp");
  scptest::WriteBytes(path, {1, 2, 3});
  // Root may give the file to anyone; another user can only keep it to itself and its group.
  const uid_t owner = geteuid() == 0 ? 4321 : geteuid();
  const gid_t group = geteuid() == 0 ? 8765 : getegid();
  ASSERT_EQ(chown(path.c_str(), owner, group), 0);
  ASSERT_EQ(chmod(path.c_str(), 02640), 0);  // set-group-id survives the change of owner
  Add(1, Counting(4));
  ASSERT_EQ(ScpWriteRecord(record_, path.c_str()), kScpOk);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, owner);
  EXPECT_EQ(info.st_gid, group);
  EXPECT_EQ(info.st_mode & 07777, 02640u);
}

TEST_F(ScpWriterTest, SavingThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
  std::string target = dir_.File("target.scp");
  std::string link = dir_.File("link.scp");
  scptest::WriteBytes(target, {1, 2, 3});
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  Add(1, Counting(4));
  ASSERT_EQ(ScpWriteRecord(record_, link.c_str()), kScpOk);
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(scptest::ReadBytes(target).size(), 142u + 20u);
}

// Each way a save can fail on the way to disk; the status it gives and the file left behind.
struct SaveFault {
  ScpFileOperation operation;
  int nth;
  ScpStatus status;
  const char* what;
};

void PrintTo(const SaveFault& fault, std::ostream* out) {
  *out << fault.what;
}

class ScpWriterFaultTest : public ScpWriterTest, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(ScpWriterFaultTest, AFailedSaveLeavesTheTargetExactlyAsItWasAndNoTemporaryFile) {
  std::string path = dir_.File("record.scp");
  const Bytes original = scptest::AssembleRecord({RawSection{1, Counting(50)}});
  scptest::WriteBytes(path, original);
  Add(1, Counting(60));
  Add(6, Counting(70));
  ScpFileInjectFault(GetParam().operation, GetParam().nth);
  EXPECT_EQ(ScpWriteRecord(record_, path.c_str()), GetParam().status) << GetParam().what;
  EXPECT_EQ(scptest::ReadBytes(path), original) << GetParam().what;
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"record.scp"}) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, ScpWriterFaultTest,
    ::testing::Values(
        SaveFault{kScpFileOpCreate, 1, kScpErrFileWrite - kScpLayerAccessor, "Create"},
        SaveFault{kScpFileOpWrite, 1, kScpErrFileWrite - kScpLayerAccessor, "RecordHeaderWrite"},
        SaveFault{kScpFileOpWrite, 2, kScpErrFileWrite - kScpLayerDirectory - kScpLayerAccessor,
                  "PointerSectionWrite"},
        SaveFault{kScpFileOpWrite, 5, kScpErrFileWrite - kScpLayerDirectory - kScpLayerAccessor,
                  "SectionBodyWrite"},
        SaveFault{kScpFileOpWrite, 8, kScpErrFileWrite - kScpLayerAccessor, "FinalHeaderWrite"},
        SaveFault{kScpFileOpSeek, 1, kScpErrFileWrite - kScpLayerAccessor, "Seek"},
        SaveFault{kScpFileOpSync, 1, kScpErrFileWrite - kScpLayerAccessor, "Flush"},
        SaveFault{kScpFileOpClose, 1, kScpErrFileWrite - kScpLayerAccessor, "Close"},
        SaveFault{kScpFileOpRename, 1, kScpErrFileWrite - kScpLayerAccessor, "Rename"}),
    [](const ::testing::TestParamInfo<SaveFault>& info) { return std::string(info.param.what); });

TEST_F(ScpWriterTest, AReadOnlyTargetIsRefusedAndLeftUntouchedEvenForTheSuperuser) {
  std::string path = dir_.File("archived.scp");
  const Bytes original = {9, 8, 7};
  scptest::WriteBytes(path, original);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  Add(1, Counting(4));
  EXPECT_EQ(ScpWriteRecord(record_, path.c_str()), kScpErrFileWrite - kScpLayerAccessor);
  EXPECT_EQ(scptest::ReadBytes(path), original);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"archived.scp"});
}

TEST_F(ScpWriterTest, APathLongerThan255CharactersIsUsedInFull) {
  std::string directory = dir_.Path();
  while (directory.size() < 300) {
    directory += "/" + std::string(60, 'd');
    ASSERT_EQ(mkdir(directory.c_str(), 0755), 0);
  }
  std::string path = directory + "/record.scp";
  Add(1, Counting(4));
  ASSERT_EQ(ScpWriteRecord(record_, path.c_str()), kScpOk);
  ScpRecord* back = ScpReadRecord(path.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ScpRecordSectionLength(back, 1), 4);
  ScpRecordFree(back);
}

TEST_F(ScpWriterTest, AMissingDirectoryOrNullRecordFailsWithoutWriting) {
  EXPECT_EQ(ScpWriteRecord(record_, dir_.File("no/such/dir.scp").c_str()),
            kScpErrFileWrite - kScpLayerAccessor);
  EXPECT_EQ(ScpWriteRecord(nullptr, dir_.File("x.scp").c_str()),
            kScpErrNoPointerSection - kScpLayerAccessor);
  EXPECT_TRUE(dir_.Entries().empty());
}

}  // namespace
