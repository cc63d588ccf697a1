#include "scp/ScpReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "scp/ScpHandles.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

using scptest::Bytes;
using scptest::Counting;
using scptest::RawSection;

class ScpReaderTest : public ::testing::Test {
 protected:
  ScpRecordPtr Read(const Bytes& file) {
    std::string path = dir_.File("record.scp");
    scptest::WriteBytes(path, file);
    return ScpRecordPtr(ScpReadRecord(path.c_str()));
  }

  static Bytes Body(const ScpRecord* record, uint16_t index) {
    const uint8_t* bytes = ScpMemLock(record->entries[index].data);
    return Bytes(bytes, bytes + record->entries[index].length);
  }

  scptest::TempDir dir_;
};

TEST_F(ScpReaderTest, KeepsSectionsInPointerTableOrderWithTheirBodies) {
  ScpRecordPtr record = Read(scptest::AssembleRecord(
      {RawSection{6, Counting(100)}, RawSection{1, Counting(5, 50)}, RawSection{3, Counting(7)}}));
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(record.get()), 3);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 0), 6);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 1), 1);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 2), 3);
  EXPECT_EQ(Body(record.get(), 0), Counting(100));
  EXPECT_EQ(Body(record.get(), 1), Counting(5, 50));
}

TEST_F(ScpReaderTest, EntriesOfLengthZeroAndSectionsWithEmptyBodiesAreNotStored) {
  Bytes file = scptest::AssembleRecord(
      {RawSection{1, Counting(4)}, RawSection{2, {}}, RawSection{3, Counting(6)}});
  scptest::PutU32(file, scptest::kPointerBodyOffset + 30 + 2, 0);  // entry of section 3: absent
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(record.get()), 1);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 0), 1);
}

TEST_F(ScpReaderTest, TheSectionHeaderDecidesIdAndLengthOverThePointerEntry) {
  Bytes file = scptest::AssembleRecord({RawSection{7, Counting(20)}});
  scptest::PutU16(file, scptest::kPointerBodyOffset + 10, 9);       // entry says id 9
  scptest::PutU32(file, scptest::kPointerBodyOffset + 10 + 2, 18);  // and length 18
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 0), 7);
  EXPECT_EQ(ScpRecordLengthAt(record.get(), 0), 20);
}

// Entries that list one place again are read once: the reader stores a copy of the body under
// the id of its header, and the checksum report repeats the first check under the entry's id.
TEST_F(ScpReaderTest, APlaceListedAgainIsStoredAgainAndCheckedOnce) {
  Bytes file = scptest::AssembleRecord({RawSection{1, Counting(300)}, RawSection{7, Counting(9)}});
  const size_t first = scptest::kPointerBodyOffset + 10;
  std::copy(file.begin() + first + 2, file.begin() + first + 10, file.begin() + first + 12);
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(record.get()), 2);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 1), 1);
  EXPECT_EQ(Body(record.get(), 1), Counting(300));
  EXPECT_NE(record->entries[0].data, record->entries[1].data);

  ScpRecordCheck* raw = nullptr;
  ASSERT_EQ(ScpCheckRecordFile(dir_.File("record.scp").c_str(), &raw), kScpOk);
  ScpCheckPtr check(raw);
  ASSERT_EQ(check->sectionCount, 3u);  // the pointer section, then the two entries
  EXPECT_TRUE(ScpSectionCheckOk(&check->sections[1]));
  EXPECT_EQ(check->sections[2].id, 7);
  EXPECT_EQ(check->sections[2].headerId, 1);
  EXPECT_EQ(check->sections[2].computedCrc, check->sections[1].computedCrc);
  EXPECT_FALSE(ScpSectionCheckOk(&check->sections[2]));  // its entry names another section
}

TEST_F(ScpReaderTest, ATrailingPartialPointerEntryIsIgnored) {
  Bytes file = scptest::AssembleRecord({RawSection{1, Counting(4)}});
  // Grow section 0 by four bytes that look like the start of another entry.
  Bytes extra = {3, 0, 9, 9};
  size_t pointerEnd = scptest::kPointerBodyOffset + 20;
  file.insert(file.begin() + static_cast<long>(pointerEnd), extra.begin(), extra.end());
  scptest::PutU32(file, 6 + 4, 16 + 24);
  scptest::PutU32(file, scptest::kPointerBodyOffset + 10 + 6,
                  scptest::GetU32(file, scptest::kPointerBodyOffset + 10 + 6) + 4);
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(record.get()), 1);
  EXPECT_EQ(Body(record.get(), 0), Counting(4));
}

TEST_F(ScpReaderTest, ASectionListedTwiceIsStoredTwice) {
  Bytes file = scptest::AssembleRecord({RawSection{1, Counting(4)}, RawSection{2, Counting(2)}});
  // Point the second entry at section 1 as well.
  scptest::PutU32(file, scptest::kPointerBodyOffset + 20 + 6,
                  scptest::GetU32(file, scptest::kPointerBodyOffset + 10 + 6));
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(record.get()), 2);
  EXPECT_EQ(ScpRecordIdAt(record.get(), 1), 1);
}

TEST_F(ScpReaderTest, ChecksumsAreNotVerifiedWhenReading) {
  Bytes file = scptest::AssembleRecord({RawSection{1, Counting(4)}});
  file[0] ^= 0xFF;
  file[file.size() - 1] ^= 0xFF;  // breaks both the record and the section CRC
  ScpRecordPtr record = Read(file);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ScpRecordSectionCount(record.get()), 1);
}

// The reader takes a small file in one read and a larger one whole; a record length field that
// disagrees with the file must not cut the read short. Sizes around the first read's 16 KB.
TEST_F(ScpReaderTest, EveryFileSizeIsReadWholeWhateverItsLengthFieldSays) {
  const size_t overhead = scptest::AssembleRecord({RawSection{1, Counting(1)}}).size() - 1;
  for (const size_t fileSize :
       {size_t{300}, size_t{16383}, size_t{16384}, size_t{16385}, size_t{40000}}) {
    for (const bool lengthFieldAgrees : {true, false}) {
      const Bytes body = Counting(fileSize - overhead);
      Bytes file = scptest::AssembleRecord({RawSection{1, body}});
      if (!lengthFieldAgrees) {
        scptest::PutU32(file, 2, static_cast<uint32_t>(fileSize / 2));
      }
      ScpRecordPtr record = Read(file);
      ASSERT_NE(record, nullptr) << fileSize << (lengthFieldAgrees ? "" : ", length field halved");
      EXPECT_EQ(Body(record.get(), 0), body) << fileSize;
    }
  }
}

TEST_F(ScpReaderTest, AReadOnlyRecordStillOpens) {
  std::string path = dir_.File("archived.scp");
  scptest::WriteBytes(path, scptest::AssembleRecord({RawSection{1, Counting(4)}}));
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  // A superuser may open any file for writing, so refuse the attempt as the system would.
  ScpFileInjectFault(kScpFileOpOpenForWriting, 1);
  ScpRecordPtr record(ScpReadRecord(path.c_str()));
  ScpFileClearFaults();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(ScpRecordSectionCount(record.get()), 1);
}

TEST_F(ScpReaderTest, ReadSectionReportsTheHeaderAndAnEmptyBodyWithoutABlock) {
  std::string path = dir_.File("sections.scp");
  Bytes bytes = scptest::SectionBytes(RawSection{4, {}, 13, 11});
  Bytes second = scptest::SectionBytes(RawSection{5, Counting(3)});
  scptest::Append(bytes, second);
  scptest::WriteBytes(path, bytes);
  ScpFile file = ScpFileOpen(path.c_str());
  ASSERT_NE(file, nullptr);
  ScpSectionHeader header{};
  ScpBlock body = reinterpret_cast<ScpBlock>(1);
  EXPECT_EQ(ScpReadSection(file, 0, &header, &body), kScpOk);
  EXPECT_EQ(body, nullptr);
  EXPECT_EQ(header.id, 4);
  EXPECT_EQ(header.sectionVersion, 13);
  EXPECT_EQ(header.trailer[0], 11);
  ASSERT_EQ(ScpReadSection(file, 16, &header, &body), kScpOk);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(header.length, 19u);
  ScpMemFree(body);
  EXPECT_EQ(ScpReadSection(file, 17, &header, &body), kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(ScpFileClose(file), 0);
}

}  // namespace
