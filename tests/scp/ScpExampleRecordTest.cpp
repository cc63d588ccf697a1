// The public example record, written by an independent program: reading it, checking it and
// writing it back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scp/ScpCheck.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpCodecTestRecords.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

const std::string kExample = codectest::ExamplePath();

ScpCheckPtr Check(const std::string& path) {
  ScpRecordCheck* check = nullptr;
  EXPECT_EQ(ScpCheckRecordFile(path.c_str(), &check), kScpOk) << path;
  return ScpCheckPtr(check);
}

void ExpectAllChecksumsAgree(const std::string& path) {
  ScpCheckPtr check = Check(path);
  ASSERT_NE(check, nullptr);
  EXPECT_TRUE(ScpRecordCheckOk(check.get()))
      << path << ": record CRC " << check->storedCrc << " vs " << check->computedCrc;
  for (uint32_t i = 0; i < check->sectionCount; ++i) {
    EXPECT_TRUE(ScpSectionCheckOk(&check->sections[i]))
        << path << ": section " << check->sections[i].id;
  }
}

TEST(ScpExampleRecord, ReadsSectionsOneToSevenWithTheirBodyLengths) {
  ScpRecordPtr record = codectest::ReadExample();
  ASSERT_NE(record, nullptr);
  const std::vector<std::pair<int, int64_t>> expected = {{1, 152},  {2, 2},     {3, 110}, {4, 6},
                                                         {5, 3326}, {6, 30068}, {7, 226}};
  ASSERT_EQ(ScpRecordSectionCount(record.get()), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ScpRecordIdAt(record.get(), static_cast<uint16_t>(i)), expected[i].first);
    EXPECT_EQ(ScpRecordLengthAt(record.get(), static_cast<uint16_t>(i)), expected[i].second);
  }
  char name[256];
  uint32_t length = 0;
  ASSERT_EQ(ScpGetItemText(record.get(), 1, kScpTagLastName, name, sizeof name, &length), kScpOk);
  EXPECT_STREQ(name, "Clark");
}

TEST(ScpExampleRecord, ItsStoredChecksumsAllAgreeWithItsBytes) {
  ExpectAllChecksumsAgree(kExample);
  ScpCheckPtr check = Check(kExample);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->sectionCount, 8u);  // section 0 and sections 1 to 7
}

TEST(ScpExampleRecord, ARewriteVerifiesReadsBackIdenticalAndRewritesByteForByte) {
  scptest::TempDir dir;
  std::string first = dir.File("first.scp");
  std::string second = dir.File("second.scp");
  ScpRecordPtr original = codectest::ReadExample();
  ASSERT_NE(original, nullptr);
  ASSERT_EQ(ScpWriteRecord(original.get(), first.c_str()), kScpOk);
  ExpectAllChecksumsAgree(first);

  ScpRecordPtr copy(ScpReadRecord(first.c_str()));
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(copy.get()), ScpRecordSectionCount(original.get()));
  for (uint16_t i = 0; i < ScpRecordSectionCount(original.get()); ++i) {
    const ScpSectionEntry& a = original->entries[i];
    const ScpSectionEntry& b = copy->entries[i];
    EXPECT_EQ(a.id, b.id);
    ASSERT_EQ(a.length, b.length) << "section " << a.id;
    EXPECT_EQ(std::memcmp(ScpMemLock(a.data), ScpMemLock(b.data), a.length), 0)
        << "section " << a.id;
  }
  ASSERT_EQ(ScpWriteRecord(copy.get(), second.c_str()), kScpOk);
  EXPECT_EQ(scptest::ReadBytes(first), scptest::ReadBytes(second));
}

TEST(ScpRecordCheck, ADamagedByteShowsInItsSectionAndTheRecordCrcOnly) {
  scptest::TempDir dir;
  std::string path = dir.File("damaged.scp");
  scptest::Bytes bytes = scptest::ReadBytes(kExample);
  size_t section3 = scptest::GetU32(bytes, scptest::kPointerBodyOffset + 30 + 6) - 1;
  bytes[section3 + 20] ^= 0x01;
  scptest::WriteBytes(path, bytes);

  ScpCheckPtr check = Check(path);
  ASSERT_NE(check, nullptr);
  EXPECT_NE(check->storedCrc, check->computedCrc);
  EXPECT_EQ(check->lengthField, check->fileSize);
  for (uint32_t i = 0; i < check->sectionCount; ++i) {
    EXPECT_EQ(ScpSectionCheckOk(&check->sections[i]), check->sections[i].id != 3)
        << "section " << check->sections[i].id;
  }
}

TEST(ScpRecordCheck, ALengthFieldThatDisagreesWithTheFileSizeFailsTheRecordCheck) {
  scptest::TempDir dir;
  std::string path = dir.File("longer.scp");
  scptest::Bytes bytes = scptest::ReadBytes(kExample);
  bytes.push_back(0);
  scptest::WriteBytes(path, bytes);
  ScpCheckPtr check = Check(path);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->storedCrc, check->computedCrc);  // computed over the record's own length
  EXPECT_EQ(check->fileSize, static_cast<int64_t>(check->lengthField) + 1);
  EXPECT_FALSE(ScpRecordCheckOk(check.get()));
}

TEST(ScpRecordCheck, ASectionOutsideTheFileIsReportedNotRead) {
  scptest::TempDir dir;
  std::string path = dir.File("outside.scp");
  scptest::Bytes bytes = scptest::ReadBytes(kExample);
  scptest::PutU32(bytes, scptest::kPointerBodyOffset + 60 + 6, 0xFFFFFF00u);  // section 6
  scptest::WriteBytes(path, bytes);
  ScpCheckPtr check = Check(path);
  ASSERT_NE(check, nullptr);
  ASSERT_EQ(check->sections[6].id, 6);
  EXPECT_FALSE(check->sections[6].headerRead);
  EXPECT_FALSE(ScpSectionCheckOk(&check->sections[6]));

  ScpRecordCheck* none = nullptr;
  scptest::WriteBytes(path, scptest::Bytes(bytes.begin(), bytes.begin() + 20));
  EXPECT_EQ(ScpCheckRecordFile(path.c_str(), &none), kScpErrNoData - kScpLayerDirectory);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
