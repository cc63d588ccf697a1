#include "scp/ScpItems.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class ScpItemsTest : public ::testing::Test {
 protected:
  void TearDown() override { ScpRecordFree(record_); }

  // Stores `body` as a section whose block holds exactly the body, as the reader does.
  void SetBody(uint16_t id, const Bytes& body) {
    ScpRecordRemoveSection(record_, id);
    ScpBlock block = ScpMemAlloc(body.size());
    ScpMemCopy(ScpMemLock(block), body.data(), body.size());
    ASSERT_EQ(ScpRecordAddSection(record_, id, static_cast<uint32_t>(body.size()), block), kScpOk);
  }

  Bytes Body(uint16_t id) const {
    const uint8_t* bytes = ScpMemLock(ScpRecordSectionData(record_, id));
    return Bytes(bytes, bytes + ScpRecordSectionLength(record_, id));
  }

  std::string Text(uint16_t id, uint8_t tag, uint32_t size = 256) const {
    std::vector<char> text(size, 'x');
    uint32_t length = 0;
    if (ScpGetItemText(record_, id, tag, text.data(), size, &length) != kScpOk) {
      return "<absent>";
    }
    return text.data();
  }

  // The tags of section 1's items in stored order, up to the terminator.
  std::vector<int> Tags(uint16_t id) const {
    Bytes body = Body(id);
    std::vector<int> tags;
    for (size_t at = 0; at + 3 <= body.size(); at += 3 + (body[at + 1] | body[at + 2] << 8)) {
      tags.push_back(body[at]);
    }
    return tags;
  }

  ScpRecord* record_ = ScpRecordCreate();
};

TEST_F(ScpItemsTest, TheFirstOfTwoItemsWithOneTagWins) {
  SetBody(1, {0, 4, 0, 'A', 'n', 'n', 0,  // tag 0 "Ann"
              0, 4, 0, 'B', 'o', 'b', 0,  // tag 0 "Bob"
              255, 0, 0});
  EXPECT_EQ(Text(1, kScpTagLastName), "Ann");
}

TEST_F(ScpItemsTest, AnItemAfterTheTerminatorIsNotFound) {
  SetBody(1, {255, 0, 0,  // terminator
              8, 1, 0, 2});
  uint8_t sex = 9;
  EXPECT_EQ(ScpGetItemByte(record_, 1, kScpTagSex, &sex),
            kScpErrItemNotFound - kScpLayerAccessor - kScpLayerItem);
  EXPECT_EQ(sex, 9);
}

TEST_F(ScpItemsTest, AnItemRunningPastTheBodyEndStopsTheSearchWithoutReadingBeyondIt) {
  SetBody(1, {1, 4, 0, 'J', 'o', 0, 0,  // tag 1 "Jo"
              0, 40, 0, 'S', 'm'});     // tag 0 claims 40 bytes, 2 are there
  EXPECT_EQ(Text(1, kScpTagFirstName), "Jo");
  uint32_t length = 0;
  char text[64];
  EXPECT_EQ(ScpFindItem(record_, 1, kScpTagLastName, text, sizeof text, &length),
            kScpErrItemNotFound - kScpLayerAccessor);
  SetBody(1, {8, 1});  // a head cut short by the body end
  EXPECT_EQ(ScpFindItem(record_, 1, kScpTagSex, text, sizeof text, &length),
            kScpErrItemNotFound - kScpLayerAccessor);
}

TEST_F(ScpItemsTest, ALongTextIsCutToSizeMinusOneAndReportsItsStoredLength) {
  Bytes body = {13, 0x2C, 0x01};  // tag 13, length 300
  for (int i = 0; i < 299; ++i) {
    body.push_back(static_cast<uint8_t>('a' + i % 26));
  }
  body.push_back(0);
  SetBody(1, body);
  char text[256];
  uint32_t length = 0;
  ASSERT_EQ(ScpGetItemText(record_, 1, kScpTagDiagnosis, text, sizeof text, &length), kScpOk);
  EXPECT_EQ(length, 300u);
  EXPECT_EQ(std::strlen(text), 255u);
  EXPECT_EQ(std::string(text, 3), "abc");
}

TEST_F(ScpItemsTest, AFixedItemShorterThanItsLayoutReadsTheMissingBytesAsZero) {
  SetBody(1, {5, 2, 0, 0xD0, 0x07,  // date of birth holding only the year 2000
              255, 0, 0});
  ScpDate date{1, 0xAA, 0xAA};
  ASSERT_EQ(ScpGetItemDate(record_, 1, kScpTagDateOfBirth, &date), kScpOk);
  EXPECT_EQ(date.year, 2000);
  EXPECT_EQ(date.month, 0);
  EXPECT_EQ(date.day, 0);
}

TEST_F(ScpItemsTest, TypedWritersAppendItemsTheReadersGiveBack) {
  ASSERT_NE(ScpRecordNewSection(record_, 1), nullptr);
  ScpValueUnit age{42, 1};
  ScpTime time{13, 5, 59};
  ScpDate date{1980, 12, 31};
  ASSERT_EQ(ScpAddItemText(record_, 1, kScpTagLastName, "Rossi"), kScpOk);
  ASSERT_EQ(ScpAddItemValueUnit(record_, 1, kScpTagAge, &age), kScpOk);
  ASSERT_EQ(ScpAddItemWord(record_, 1, kScpTagSystolic, 0x1234), kScpOk);
  ASSERT_EQ(ScpAddItemByte(record_, 1, kScpTagSex, 2), kScpOk);
  ASSERT_EQ(ScpAddItemTime(record_, 1, kScpTagAcquisitionTime, &time), kScpOk);
  ASSERT_EQ(ScpAddItemDate(record_, 1, kScpTagDateOfBirth, &date), kScpOk);
  ASSERT_EQ(ScpAddItemEnd(record_, 1), kScpOk);
  EXPECT_EQ(ScpRecordSectionLength(record_, 1), 9 + 6 + 5 + 4 + 6 + 7 + 3);

  ScpValueUnit ageBack{};
  uint16_t systolic = 0;
  uint8_t sex = 0;
  ScpTime timeBack{};
  ScpDate dateBack{};
  EXPECT_EQ(Text(1, kScpTagLastName), "Rossi");
  ASSERT_EQ(ScpGetItemValueUnit(record_, 1, kScpTagAge, &ageBack), kScpOk);
  ASSERT_EQ(ScpGetItemWord(record_, 1, kScpTagSystolic, &systolic), kScpOk);
  ASSERT_EQ(ScpGetItemByte(record_, 1, kScpTagSex, &sex), kScpOk);
  ASSERT_EQ(ScpGetItemTime(record_, 1, kScpTagAcquisitionTime, &timeBack), kScpOk);
  ASSERT_EQ(ScpGetItemDate(record_, 1, kScpTagDateOfBirth, &dateBack), kScpOk);
  EXPECT_EQ(ageBack.value, 42);
  EXPECT_EQ(ageBack.unit, 1);
  EXPECT_EQ(systolic, 0x1234);
  EXPECT_EQ(sex, 2);
  EXPECT_EQ(timeBack.second, 59);
  EXPECT_EQ(dateBack.year, 1980);
  EXPECT_EQ(dateBack.day, 31);
}

TEST_F(ScpItemsTest, AnEmptyTextIsWrittenAsOneTerminatorByte) {
  ASSERT_NE(ScpRecordNewSection(record_, 1), nullptr);
  ASSERT_EQ(ScpAddItemText(record_, 1, kScpTagFirstName, ""), kScpOk);
  EXPECT_EQ(Body(1), (Bytes{1, 1, 0, 0}));
}

TEST_F(ScpItemsTest, SignalSectionsHoldNoItems) {
  SetBody(3, {0, 1, 0, 7});
  SetBody(8, Bytes(9, 0));
  uint8_t value = 0;
  for (uint16_t id : {0, 2, 3, 4, 5, 6, 7, 9, 10}) {
    EXPECT_EQ(ScpGetItemByte(record_, id, 0, &value),
              kScpErrNotItemSection - kScpLayerAccessor - kScpLayerItem)
        << id;
    EXPECT_EQ(ScpAddItemByte(record_, id, 0, 1),
              kScpErrNotItemSection - kScpLayerItem - kScpLayerTypedItem)
        << id;
  }
  EXPECT_EQ(Body(3), (Bytes{0, 1, 0, 7}));
  ScpStatementHeader header{};
  EXPECT_EQ(ScpGetStatementHeader(record_, 1, &header), kScpErrNotItemSection - kScpLayerAccessor);
  EXPECT_EQ(ScpSetStatementHeader(record_, 10, &header), kScpErrNotItemSection - kScpLayerAccessor);
}

TEST_F(ScpItemsTest, StatementItemsStartAfterTheNineByteHeader) {
  // A header whose bytes would read as an item with tag 0 if the search started at offset 0.
  SetBody(8, {0,   5, 0, 1,   2,   3, 4, 5, 2,  // header: not confirmed, 2 statements
              0,   3, 0, 'O', 'K', 0,           // statement 0
              1,   3, 0, 'N', 'o', 0,           // statement 1
              255, 0, 0});
  EXPECT_EQ(Text(8, 0), "OK");
  EXPECT_EQ(Text(8, 1), "No");
}

TEST_F(ScpItemsTest, StatementsNumberedFromOneLeaveTheFirstSlotEmpty) {
  Bytes body(9, 0);
  for (uint8_t number = 1; number <= 6; ++number) {
    body.insert(body.end(), {number, 2, 0, static_cast<uint8_t>('0' + number), 0});
  }
  SetBody(8, body);
  EXPECT_EQ(Text(8, 0), "<absent>");
  EXPECT_EQ(Text(8, 1), "1");
  EXPECT_EQ(Text(8, 5), "5");
}

TEST_F(ScpItemsTest, TheStatementHeaderIsAppendedToAnEmptyBodyAndOverwrittenInPlace) {
  ASSERT_NE(ScpRecordNewSection(record_, 8), nullptr);
  ScpStatementHeader header{1, 2023, 6, 15, 10, 30, 45, 6};
  ASSERT_EQ(ScpSetStatementHeader(record_, 8, &header), kScpOk);
  EXPECT_EQ(Body(8), (Bytes{1, 0xE7, 0x07, 6, 15, 10, 30, 45, 6}));

  ASSERT_EQ(ScpAddItemText(record_, 8, 0, "Sinus rhythm"), kScpOk);
  header.confirmed = 0;
  header.statementCount = 1;
  ASSERT_EQ(ScpSetStatementHeader(record_, 8, &header), kScpOk);
  ScpStatementHeader back{};
  ASSERT_EQ(ScpGetStatementHeader(record_, 8, &back), kScpOk);
  EXPECT_EQ(back.confirmed, 0);
  EXPECT_EQ(back.year, 2023);
  EXPECT_EQ(back.statementCount, 1);
  EXPECT_EQ(Text(8, 0), "Sinus rhythm");
}

TEST_F(ScpItemsTest, TheStatementHeaderIsRefusedOverABodyOfOneToEightBytes) {
  SetBody(11, {1, 2, 3, 4, 5});
  ScpStatementHeader header{1, 2023, 6, 15, 10, 30, 45, 6};
  EXPECT_EQ(ScpSetStatementHeader(record_, 11, &header), kScpErrShortSection - kScpLayerAccessor);
  EXPECT_EQ(Body(11), (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(ScpGetStatementHeader(record_, 11, &header),
            kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor);
}

TEST_F(ScpItemsTest, RebuildingSectionOneKeepsTheSaveOrderAndDropsUnlistedTags) {
  SetBody(1, {14, 2, 0, 'D', 0,  // device identification, not kept by a save
              0, 2, 0, 'X', 0, 255, 0, 0});
  ASSERT_EQ(ScpRecordRemoveSection(record_, 1), kScpOk);
  ASSERT_NE(ScpRecordNewSection(record_, 1), nullptr);
  const ScpValueUnit none{0, 0};
  const ScpDate date{2001, 2, 3};
  const ScpTime time{4, 5, 6};
  for (uint8_t tag : {0, 1, 3, 2, 20, 16, 17, 18, 19}) {
    ASSERT_EQ(ScpAddItemText(record_, 1, tag, ""), kScpOk);
  }
  ASSERT_EQ(ScpAddItemDate(record_, 1, 5, &date), kScpOk);
  ASSERT_EQ(ScpAddItemByte(record_, 1, 9, 0), kScpOk);
  ASSERT_EQ(ScpAddItemByte(record_, 1, 8, 0), kScpOk);
  ASSERT_EQ(ScpAddItemWord(record_, 1, 11, 0), kScpOk);
  ASSERT_EQ(ScpAddItemWord(record_, 1, 12, 0), kScpOk);
  for (uint8_t tag : {4, 6, 7}) {
    ASSERT_EQ(ScpAddItemValueUnit(record_, 1, tag, &none), kScpOk);
  }
  for (uint8_t tag : {13, 21, 22, 23}) {
    ASSERT_EQ(ScpAddItemText(record_, 1, tag, ""), kScpOk);
  }
  ASSERT_EQ(ScpAddItemByte(record_, 1, 24, 0), kScpOk);
  ASSERT_EQ(ScpAddItemDate(record_, 1, 25, &date), kScpOk);
  ASSERT_EQ(ScpAddItemTime(record_, 1, 26, &time), kScpOk);
  ASSERT_EQ(ScpAddItemWord(record_, 1, 27, 0), kScpOk);
  ASSERT_EQ(ScpAddItemWord(record_, 1, 28, 0), kScpOk);
  ASSERT_EQ(ScpAddItemText(record_, 1, 30, ""), kScpOk);
  ASSERT_EQ(ScpAddItemText(record_, 1, 31, ""), kScpOk);
  ASSERT_EQ(ScpAddItemEnd(record_, 1), kScpOk);

  EXPECT_EQ(Tags(1), (std::vector<int>{0, 1, 3,  2,  20, 16, 17, 18, 19, 5,  9,  8,  11, 12, 4,
                                       6, 7, 13, 21, 22, 23, 24, 25, 26, 27, 28, 30, 31, 255}));
  char text[8];
  uint32_t length = 0;
  EXPECT_EQ(ScpFindItem(record_, 1, 14, text, sizeof text, &length),
            kScpErrItemNotFound - kScpLayerAccessor);
}

TEST_F(ScpItemsTest, ATextTooLongForItsLengthFieldIsRefusedWithoutAppending) {
  ASSERT_NE(ScpRecordNewSection(record_, 1), nullptr);
  std::string huge(65535, 'z');
  EXPECT_EQ(ScpAddItemText(record_, 1, kScpTagFreeText, huge.c_str()),
            kScpErrOutOfBounds - kScpLayerTypedItem);
  EXPECT_EQ(ScpRecordSectionLength(record_, 1), 0);
  huge.pop_back();
  EXPECT_EQ(ScpAddItemText(record_, 1, kScpTagFreeText, huge.c_str()), kScpOk);
  EXPECT_EQ(Text(1, kScpTagFreeText, 70000).size(), 65534u);
  // Sections of 32 kB and more still take items.
  EXPECT_EQ(ScpAddItemEnd(record_, 1), kScpOk);
  EXPECT_EQ(ScpRecordSectionLength(record_, 1), 3 + 65535 + 3);
}

}  // namespace
