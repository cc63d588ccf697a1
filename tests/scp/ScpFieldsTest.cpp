#include "scp/ScpFields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Every fixed layout Quillon uses, with its size in the file.
struct LayoutCase {
  int layout;
  int size;
};
constexpr LayoutCase kFixedLayouts[] = {
    {kScpLayoutWord, 2},
    {kScpLayoutDword, 4},
    {kScpLayoutByte, 1},
    {kScpLayoutItemHead, 3},
    {kScpLayoutLeadTableHeader, 2},
    {kScpLayoutLeadEntry, 9},
    {kScpLayoutQrsHeader, 6},
    {kScpLayoutQrsEntry, 14},
    {kScpLayoutSignalHeader, 6},
    {kScpLayoutMeasurementHeader, 6},
    {kScpLayoutBeatMeasurements, 16},
    {kScpLayoutStatementHeader, 9},
    {kScpLayoutLeadMeasurementHeader, 4},
    {kScpLayoutLeadMeasurements, 62},
    {kScpLayoutDate, 4},
    {kScpLayoutTime, 3},
    {kScpLayoutValueUnit, 3},
    {kScpLayoutSectionHeader, 16},
    {kScpLayoutPointerEntry, 10},
    {22, 1},
    {27, 2},
};

TEST(ScpFields, UnpacksAPointerEntryFromItsTenLittleEndianBytes) {
  const Bytes bytes = {0x03, 0x00,               // id 3
                       0x7A, 0x00, 0x00, 0x00,   // length 122
                       0x8F, 0x00, 0x00, 0x00};  // index 143
  ScpPointerEntry entry{};
  ASSERT_EQ(ScpUnpack(bytes.data(), 10, kScpLayoutPointerEntry, &entry, 0, 0), kScpOk);
  EXPECT_EQ(entry.id, 3);
  EXPECT_EQ(entry.length, 122u);
  EXPECT_EQ(entry.index, 143u);
}

TEST(ScpFields, EveryFixedLayoutHasItsFileSizeAndPacksBackToTheBytesItCameFrom) {
  for (const LayoutCase& c : kFixedLayouts) {
    EXPECT_EQ(ScpLayoutSize(c.layout), c.size) << "layout " << c.layout;
    Bytes original(c.size + 4);
    for (size_t i = 0; i < original.size(); ++i) {
      original[i] = static_cast<uint8_t>(0x91 + 37 * i);
    }
    alignas(8) uint8_t structure[128] = {};
    ASSERT_EQ(ScpUnpack(original.data(), original.size(), c.layout, structure, 2, 0), kScpOk);
    Bytes packed(original.size(), 0xEE);
    ASSERT_EQ(ScpPack(packed.data(), packed.size(), c.layout, structure, 2, 0), kScpOk);
    EXPECT_EQ(Bytes(packed.begin() + 2, packed.begin() + 2 + c.size),
              Bytes(original.begin() + 2, original.begin() + 2 + c.size))
        << "layout " << c.layout;
    EXPECT_EQ(packed[1], 0xEE) << "layout " << c.layout << " wrote before its offset";
    EXPECT_EQ(packed[2 + c.size], 0xEE) << "layout " << c.layout << " wrote past its size";
  }
}

TEST(ScpFields, FieldsLandInTheStructureMembersTheirWidthsName) {
  const Bytes entry = {0x01, 0x00,               // beat type 1
                       0x10, 0x27, 0x00, 0x00,   // subtraction start 10000
                       0x20, 0x4E, 0x00, 0x00,   // fiducial 20000
                       0xA0, 0x86, 0x01, 0x00};  // subtraction end 100000
  ScpQrsEntry qrs{};
  ASSERT_EQ(ScpUnpack(entry.data(), entry.size(), kScpLayoutQrsEntry, &qrs, 0, 0), kScpOk);
  EXPECT_EQ(qrs.beatType, 1);
  EXPECT_EQ(qrs.subtractStart, 10000);
  EXPECT_EQ(qrs.fiducialSample, 20000);
  EXPECT_EQ(qrs.subtractEnd, 100000);

  Bytes beat(16, 0);
  beat[10] = 0xFF;  // P axis -1
  beat[11] = 0xFF;
  ScpBeatMeasurements measurements{};
  ASSERT_EQ(ScpUnpack(beat.data(), 16, kScpLayoutBeatMeasurements, &measurements, 0, 0), kScpOk);
  EXPECT_EQ(measurements.pAxis, -1);

  const Bytes header = {
      0x34, 0x12, 0x05, 0x00, 0x90, 0x00, 0x00, 0x00,  // crc, id 5, length 144
      0x14, 0x0B, 1,    2,    3,    4,    5,    6};    // version 20, protocol 11, reserved
  ScpSectionHeader section{};
  ASSERT_EQ(ScpUnpack(header.data(), 16, kScpLayoutSectionHeader, &section, 0, 0), kScpOk);
  EXPECT_EQ(section.crc, 0x1234);
  EXPECT_EQ(section.id, 5);
  EXPECT_EQ(section.length, 144u);
  EXPECT_EQ(section.sectionVersion, 20);
  EXPECT_EQ(section.trailer[0], 11);
  EXPECT_EQ(section.trailer[6], 6);
}

TEST(ScpFields, CodesThatNameNoLayoutAreRefusedAndCopyNothing) {
  const Bytes bytes(64, 0x5A);
  for (int code : {-1, 5, 17, 21, 25, 28, 255}) {
    uint8_t out[64] = {};
    EXPECT_EQ(ScpLayoutSize(code), kScpErrBadLayout - kScpLayerDirectory) << code;
    EXPECT_EQ(ScpUnpack(bytes.data(), 64, code, out, 0, 8), kScpErrBadLayout - kScpLayerDirectory);
    EXPECT_EQ(out[0], 0) << code;
  }
}

TEST(ScpFields, FieldsReachingPastTheBufferAreRefusedAndCopyNothing) {
  const Bytes bytes(12, 0x5A);
  ScpPointerEntry entry{};
  EXPECT_EQ(ScpUnpack(bytes.data(), 12, kScpLayoutPointerEntry, &entry, 3, 0),
            kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(entry.id, 0);
  EXPECT_EQ(ScpUnpack(bytes.data(), 12, kScpLayoutPointerEntry, &entry, 0xFFFFFFFA, 0),
            kScpErrOutOfBounds - kScpLayerDirectory);
  uint8_t raw[16] = {};
  EXPECT_EQ(ScpUnpack(bytes.data(), 12, kScpLayoutBytes, raw, 4, 9),
            kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(raw[0], 0);
  Bytes target(12, 0);
  EXPECT_EQ(ScpPack(target.data(), 12, kScpLayoutText, "hello", 10, 6),
            kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(target, Bytes(12, 0));
}

TEST(ScpFields, TextUnpackingStopsAtCountMinusOneCharactersAndTerminates) {
  const Bytes text = {'A', 'B', 'C', 'D', 'E', 'F'};
  char out[8];
  std::memset(out, 'x', sizeof out);
  ASSERT_EQ(ScpUnpack(text.data(), 6, kScpLayoutText, out, 0, 4), kScpOk);
  EXPECT_STREQ(out, "ABC");
  EXPECT_EQ(out[4], 'x');
}

TEST(ScpFields, TextUnpackingStopsAtTheEndOfTheBufferAsAtAZeroByte) {
  const Bytes text = {'A', 'B', 'C'};
  char out[8];
  ASSERT_EQ(ScpUnpack(text.data(), 3, kScpLayoutText, out, 1, 8), kScpOk);
  EXPECT_STREQ(out, "BC");
}

TEST(ScpFields, TextPackingWithCountOneWritesOnlyTheTerminator) {
  Bytes target = {'q', 'q'};
  ASSERT_EQ(ScpPack(target.data(), 2, kScpLayoutText, "", 0, 1), kScpOk);
  EXPECT_EQ(target, (Bytes{0, 'q'}));
}

TEST(ScpFields, TextPackingCutsToCountAndZeroesTheRestOfTheField) {
  Bytes target(8, 'q');
  ASSERT_EQ(ScpPack(target.data(), 8, kScpLayoutText, "abcdefgh", 0, 4), kScpOk);
  EXPECT_EQ(target, (Bytes{'a', 'b', 'c', 0, 'q', 'q', 'q', 'q'}));
  ASSERT_EQ(ScpPack(target.data(), 8, kScpLayoutText, "z", 0, 4), kScpOk);
  EXPECT_EQ(target, (Bytes{'z', 0, 0, 0, 'q', 'q', 'q', 'q'}));
}

class ScpSectionFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(ScpRecordNewSection(record_, 1), nullptr); }
  void TearDown() override { ScpRecordFree(record_); }

  Bytes Body(uint16_t id) const {
    const uint8_t* bytes = ScpMemLock(ScpRecordSectionData(record_, id));
    return Bytes(bytes, bytes + ScpRecordSectionLength(record_, id));
  }

  ScpRecord* record_ = ScpRecordCreate();
};

TEST_F(ScpSectionFieldsTest, AppendingAnItemHeadToAnEmptySectionStoresTagAndLittleEndianLength) {
  ScpItemHead head{7, 0x0203};
  ASSERT_EQ(ScpAppendFields(record_, 1, kScpLayoutItemHead, &head, 3), kScpOk);
  EXPECT_EQ(Body(1), (Bytes{7, 0x03, 0x02}));
}

TEST_F(ScpSectionFieldsTest, PutAndGetWorkInPlaceInsideTheBodyOnly) {
  const uint8_t zeros[6] = {};
  ASSERT_EQ(ScpAppendFields(record_, 1, kScpLayoutBytes, zeros, 6), kScpOk);
  ScpDate date{2024, 2, 29};
  ASSERT_EQ(ScpPutFields(record_, 1, kScpLayoutDate, &date, 2, 0), kScpOk);
  EXPECT_EQ(Body(1), (Bytes{0, 0, 0xE8, 0x07, 2, 29}));
  ScpDate back{};
  ASSERT_EQ(ScpGetFields(record_, 1, kScpLayoutDate, &back, 2, 0), kScpOk);
  EXPECT_EQ(back.year, 2024);
  EXPECT_EQ(back.day, 29);
  // The block has two spare bytes after the body; they are still outside it.
  EXPECT_EQ(ScpPutFields(record_, 1, kScpLayoutDate, &date, 3, 0),
            kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(ScpGetFields(record_, 1, kScpLayoutDate, &back, 3, 0),
            kScpErrOutOfBounds - kScpLayerDirectory);
}

TEST_F(ScpSectionFieldsTest, AbsentSectionsGiveTheirStatusAtEachLevel) {
  ScpDate date{};
  EXPECT_EQ(ScpGetFields(record_, 9, kScpLayoutDate, &date, 0, 0),
            kScpErrNoSection - kScpLayerRecord);
  EXPECT_EQ(ScpPutFields(record_, 9, kScpLayoutDate, &date, 0, 0),
            kScpErrNoSection - kScpLayerRecord);
  EXPECT_EQ(ScpAppendFields(record_, 9, kScpLayoutDate, &date, 4),
            kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor);
}

TEST_F(ScpSectionFieldsTest, ARefusedAppendLeavesTheSectionAsItWas) {
  const uint8_t two[2] = {1, 2};
  ASSERT_EQ(ScpAppendFields(record_, 1, kScpLayoutBytes, two, 2), kScpOk);
  ScpDate date{2000, 1, 1};
  EXPECT_EQ(ScpAppendFields(record_, 1, kScpLayoutDate, &date, 3),
            kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor);
  EXPECT_EQ(ScpAppendFields(record_, 1, 25, &date, 4),
            kScpErrBadLayout - kScpLayerDirectory - kScpLayerAccessor);
  EXPECT_EQ(Body(1), (Bytes{1, 2}));
}

}  // namespace
