#include "scp/ScpMeasurements.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::AddU16;
using codectest::Bytes;
using codectest::MakeRecord;

constexpr ScpStatus kAbsentToAccessor = kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor;
constexpr ScpStatus kPastBody = kScpErrOutOfBounds - kScpLayerDirectory;

TEST(ScpMeasurements, ExampleRecordGivesItsFirstBeatsFiducials) {
  ScpRecordPtr record = codectest::ReadExample();
  ASSERT_NE(record, nullptr);
  ScpMeasurementHeader header{};
  ASSERT_EQ(ScpGetMeasurementHeader(record.get(), &header), kScpOk);
  EXPECT_EQ(header.blockCount, 13);
  EXPECT_EQ(header.rrInterval, 29999);  // the "not done" marker
  ScpBeatMeasurements beat{};
  ASSERT_EQ(ScpGetBeatMeasurements(record.get(), 0, &beat), kScpOk);
  EXPECT_EQ(beat.pOnset, 286);
  EXPECT_EQ(beat.pOffset, 388);
  EXPECT_EQ(beat.qrsOnset, 434);
  EXPECT_EQ(beat.qrsOffset, 554);
  EXPECT_EQ(beat.tOffset, 854);
  EXPECT_EQ(beat.pAxis, 44);
  EXPECT_EQ(beat.qrsAxis, -61);
  EXPECT_EQ(beat.tAxis, 86);
  ScpLeadMeasurementHeader leads{};
  EXPECT_EQ(ScpGetLeadMeasurementHeader(record.get(), &leads), kAbsentToAccessor);
  ScpLeadMeasurements lead{};
  EXPECT_EQ(ScpGetLeadMeasurements(record.get(), 0, &lead), kAbsentToAccessor - kScpLayerItem);
}

TEST(ScpMeasurements, BlockZeroIsReadWhateverTheBlockCountSays) {
  Bytes body{0, 0, 0x20, 0x03, 0x20, 0x03};  // no blocks, no spikes, RR and PP 800 ms
  for (uint16_t value : {1, 2, 3, 4, 5, 6, 7, 8}) {
    AddU16(body, value);
  }
  ScpRecordPtr record = MakeRecord({{7, body}});
  ScpMeasurementHeader header{};
  ASSERT_EQ(ScpGetMeasurementHeader(record.get(), &header), kScpOk);
  EXPECT_EQ(header.rrInterval, 800);
  ScpBeatMeasurements beat{};
  ASSERT_EQ(ScpGetBeatMeasurements(record.get(), 0, &beat), kScpOk);
  EXPECT_EQ(beat.qrsOnset, 3);
  EXPECT_EQ(beat.tAxis, 8);
  EXPECT_EQ(ScpGetBeatMeasurements(record.get(), 1, &beat), kPastBody - kScpLayerAccessor);
}

TEST(ScpMeasurements, ShortMeasurementSectionIsRefused) {
  ScpRecordPtr record = MakeRecord({{7, Bytes(21, 0)}});  // one byte short of block 0
  ScpBeatMeasurements beat{};
  EXPECT_EQ(ScpGetBeatMeasurements(record.get(), 0, &beat), kPastBody - kScpLayerAccessor);
}

// Section 10 with lead blocks of `blockLength` bytes: code 1 + i, then values 100 * i + k.
Bytes LeadBlocks(uint16_t leadCount, uint16_t blockLength, uint16_t storedBlocks) {
  Bytes body;
  AddU16(body, leadCount);
  AddU16(body, blockLength);
  for (uint16_t i = 0; i < storedBlocks; ++i) {
    Bytes block;
    AddU16(block, 1 + i);
    AddU16(block, 0);
    for (int k = 0; k < kScpLeadMeasurementValues; ++k) {
      AddU16(block, 100 * i + k);
    }
    block.resize(blockLength, 0xEE);
    body.insert(body.end(), block.begin(), block.end());
  }
  return body;
}

TEST(ScpMeasurements, LeadBlocksFollowTheStoredBlockLength) {
  ScpRecordPtr record = MakeRecord({{10, LeadBlocks(3, 70, 3)}});
  ScpLeadMeasurements lead{};
  ASSERT_EQ(ScpGetLeadMeasurements(record.get(), 2, &lead), kScpOk);
  EXPECT_EQ(lead.leadCode, 3);
  EXPECT_EQ(lead.values[0], 200);
  EXPECT_EQ(lead.values[28], 228);
}

TEST(ScpMeasurements, LeadBlocksOutsideTheSectionOrShorterThanTheirValuesAreRefused) {
  ScpLeadMeasurements lead{};
  ScpRecordPtr record = MakeRecord({{10, LeadBlocks(3, 62, 3)}});
  EXPECT_EQ(ScpGetLeadMeasurements(record.get(), 3, &lead), kScpErrNoSuchEntry - kScpLayerItem);
  ScpRecordPtr missing = MakeRecord({{10, LeadBlocks(3, 62, 2)}});  // counts three, holds two
  EXPECT_EQ(ScpGetLeadMeasurements(missing.get(), 2, &lead), kPastBody - kScpLayerItem);
  ScpRecordPtr overlapping = MakeRecord({{10, LeadBlocks(2, 40, 2)}});
  EXPECT_EQ(ScpGetLeadMeasurements(overlapping.get(), 0, &lead), kScpErrMalformed - kScpLayerItem);
  ScpRecordPtr headless = MakeRecord({{10, Bytes{2, 0}}});
  EXPECT_EQ(ScpGetLeadMeasurements(headless.get(), 0, &lead),
            kPastBody - kScpLayerAccessor - kScpLayerItem);
}

}  // namespace
