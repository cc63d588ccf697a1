#include "scp/ScpRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A record that frees itself, holding sections made from text bodies.
class ScpRecordTest : public ::testing::Test {
 protected:
  void TearDown() override { ScpRecordFree(record_); }

  // Appends a section whose body is `text` (without terminator).
  void Add(uint16_t id, const char* text) {
    uint32_t length = static_cast<uint32_t>(std::strlen(text));
    ScpBlock block = ScpMemAlloc(length);
    ScpMemCopy(ScpMemLock(block), text, length);
    ASSERT_EQ(ScpRecordAddSection(record_, id, length, block), kScpOk);
  }

  std::string Body(uint16_t id) const {
    const auto* bytes = ScpMemLock(ScpRecordSectionData(record_, id));
    return std::string(reinterpret_cast<const char*>(bytes),
                       static_cast<size_t>(ScpRecordSectionLength(record_, id)));
  }

  ScpRecord* record_ = ScpRecordCreate();
};

TEST_F(ScpRecordTest, KeepsSectionsInTheOrderTheyWereAdded) {
  Add(6, "rhythm");
  Add(1, "patient");
  Add(3, "leads");
  ASSERT_EQ(ScpRecordSectionCount(record_), 3);
  EXPECT_EQ(ScpRecordIdAt(record_, 0), 6);
  EXPECT_EQ(ScpRecordIdAt(record_, 1), 1);
  EXPECT_EQ(ScpRecordIdAt(record_, 2), 3);
  EXPECT_EQ(ScpRecordLengthAt(record_, 1), 7);
  EXPECT_EQ(ScpRecordFindSection(record_, 3), 2);
}

TEST_F(ScpRecordTest, LookupsResizingAndRemovalActOnTheFirstOfTwoSectionsWithOneId) {
  Add(1, "first");
  Add(1, "second!");
  EXPECT_EQ(ScpRecordFindSection(record_, 1), 0);
  EXPECT_EQ(ScpRecordSectionLength(record_, 1), 5);
  EXPECT_EQ(Body(1), "first");

  ASSERT_EQ(ScpRecordResizeSection(record_, 1, -2), kScpOk);
  EXPECT_EQ(Body(1), "fir");
  EXPECT_EQ(ScpRecordLengthAt(record_, 1), 7);

  ASSERT_EQ(ScpRecordRemoveSection(record_, 1), kScpOk);
  EXPECT_EQ(ScpRecordSectionCount(record_), 1);
  EXPECT_EQ(Body(1), "second!");
}

TEST_F(ScpRecordTest, RemovingASectionKeepsTheOrderOfTheOthers) {
  Add(1, "a");
  Add(2, "bb");
  Add(3, "ccc");
  Add(4, "dddd");
  ASSERT_EQ(ScpRecordRemoveSection(record_, 2), kScpOk);
  ASSERT_EQ(ScpRecordSectionCount(record_), 3);
  EXPECT_EQ(ScpRecordIdAt(record_, 0), 1);
  EXPECT_EQ(ScpRecordIdAt(record_, 1), 3);
  EXPECT_EQ(ScpRecordIdAt(record_, 2), 4);
  EXPECT_EQ(Body(4), "dddd");
}

TEST_F(ScpRecordTest, RemovingTheOnlySectionLeavesAnEmptyUsableRecord) {
  Add(1, "only");
  ASSERT_EQ(ScpRecordRemoveSection(record_, 1), kScpOk);
  EXPECT_EQ(ScpRecordSectionCount(record_), 0);
  Add(2, "again");
  EXPECT_EQ(Body(2), "again");
}

TEST_F(ScpRecordTest, AbsentIdsAndIndexesGiveTheirStatuses) {
  Add(1, "x");
  EXPECT_EQ(ScpRecordFindSection(record_, 9), kScpErrNoSuchEntry - kScpLayerDirectory);
  EXPECT_EQ(ScpRecordSectionLength(record_, 9), kScpErrNoSuchEntry - kScpLayerAccessor);
  EXPECT_EQ(ScpRecordSectionData(record_, 9), nullptr);
  EXPECT_EQ(ScpRecordRemoveSection(record_, 9), kScpErrNoSuchEntry - kScpLayerAccessor);
  EXPECT_EQ(ScpRecordResizeSection(record_, 9, 4), kScpErrNoSuchEntry - kScpLayerAccessor);
  EXPECT_EQ(ScpRecordLengthAt(record_, 1), kScpErrNoSuchEntry - kScpLayerRecord);
  EXPECT_EQ(ScpRecordIdAt(record_, 1), kScpErrNoSuchEntry - kScpLayerRecord);
  EXPECT_EQ(ScpRecordSectionCount(record_), 1);
}

TEST_F(ScpRecordTest, AddingANullBlockFailsAndChangesNothing) {
  EXPECT_EQ(ScpRecordAddSection(record_, 1, 4, nullptr), kScpErrNoSection - kScpLayerRecord);
  EXPECT_EQ(ScpRecordSectionCount(record_), 0);
}

TEST_F(ScpRecordTest, NewSectionIsEmptyAndRefusedForAnExistingId) {
  ScpBlock block = ScpRecordNewSection(record_, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(ScpRecordSectionLength(record_, 8), 0);
  const uint8_t* bytes = ScpMemLock(block);
  EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0);

  EXPECT_EQ(ScpRecordNewSection(record_, 8), nullptr);
  EXPECT_EQ(ScpRecordSectionCount(record_), 1);
  EXPECT_EQ(ScpRecordSectionData(record_, 8), block);
}

TEST_F(ScpRecordTest, GrowingKeepsTheBodyAndZeroesWhatIsGained) {
  Add(1, "abcdef");
  ASSERT_EQ(ScpRecordResizeSection(record_, 1, -4), kScpOk);  // leaves "ab" and a stale tail
  ASSERT_EQ(ScpRecordResizeSection(record_, 1, 6), kScpOk);
  EXPECT_EQ(Body(1), std::string("ab\0\0\0\0\0\0", 8));
}

TEST_F(ScpRecordTest, ShrinkingByTheWholeLengthLeavesAPresentEmptySection) {
  Add(1, "abc");
  ASSERT_EQ(ScpRecordResizeSection(record_, 1, -3), kScpOk);
  EXPECT_EQ(ScpRecordSectionLength(record_, 1), 0);
  EXPECT_EQ(ScpRecordFindSection(record_, 1), 0);
}

TEST_F(ScpRecordTest, ShrinkingBelowZeroIsRefusedAndLeavesTheSection) {
  Add(1, "abc");
  EXPECT_EQ(ScpRecordResizeSection(record_, 1, -4), kScpErrNoMemory - kScpLayerRecord);
  EXPECT_EQ(Body(1), "abc");
}

TEST(ScpMemory, ResizingZeroFillsTheBytesGainedAndKeepsTheRest) {
  ScpBlock block = ScpMemAlloc(0);
  ASSERT_NE(block, nullptr);
  block = ScpMemRealloc(block, 3);
  std::memcpy(ScpMemLock(block), "xyz", 3);
  block = ScpMemRealloc(block, 64);
  ASSERT_NE(block, nullptr);
  const uint8_t* bytes = ScpMemLock(block);
  EXPECT_EQ(std::memcmp(bytes, "xyz", 3), 0);
  for (int i = 3; i < 64; ++i) {
    ASSERT_EQ(bytes[i], 0) << i;
  }
  ScpMemFree(block);
}

}  // namespace
