#include "leads/LeadTables.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/leads/LeadTestRecords.h"

namespace {

using leadtest::ConstantLead;
using leadtest::EightLeads;
using leadtest::MakeLeadRecord;

// Both lead tables of a record, freed at the end of the test.
class LeadTablesTest : public ::testing::Test {
 protected:
  ~LeadTablesTest() override {
    FreeReferenceLeads(beats, kLeadTableCapacity);
    FreeRhythmLeads(rhythms, kLeadTableCapacity);
  }

  void Decode(const ScpRecord* record) {
    beatCount = DecodeReferenceLeads(record, beats);
    rhythmCount = DecodeRhythmLeads(record, beats, beatCount, rhythms);
  }

  ScpReferenceBeat beats[kLeadTableCapacity] = {};
  ScpRhythmSignal rhythms[kLeadTableCapacity] = {};
  int32_t beatCount = -1;
  int32_t rhythmCount = -1;
};

TEST_F(LeadTablesTest, DerivedLeadsFollowTheLimbFormulasInThirtyTwoBitsTruncatingTowardZero) {
  struct Case {
    int16_t leadI, leadII, iii, avr, avl, avf;
  };
  const Case cases[] = {
      {100, 250, 150, -175, -25, 200},
      {-3, 0, 3, 1, -3, 1},
      {32767, 32767, 0, -32767, 16383, 16383},  // I + II would overflow 16 bits
      {-32768, 32767, -1, 0, 16385, -16385},    // results wrap when stored as 16 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "I " << c.leadI << ", II " << c.leadII);
    auto record = MakeLeadRecord(EightLeads(c.leadI, c.leadII));
    Decode(record.get());
    const int16_t expected[] = {c.iii, c.avr, c.avl, c.avf};
    for (int entry = 2; entry < 6; ++entry) {
      ASSERT_EQ(beats[entry].sampleCount, 20);
      EXPECT_TRUE(std::all_of(beats[entry].samples, beats[entry].samples + 20,
                              [&](int16_t s) { return s == expected[entry - 2]; }))
          << "entry " << entry;
    }
    FreeReferenceLeads(beats, kLeadTableCapacity);
    FreeRhythmLeads(rhythms, kLeadTableCapacity);
  }
}

TEST_F(LeadTablesTest, BothTablesHoldTheTwelveLeadsInDisplayOrderWhateverTheStoredOrder) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  std::reverse(leads.begin(), leads.end());  // V6 first, lead I last
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  ASSERT_EQ(beatCount, 12);
  ASSERT_EQ(rhythmCount, 12);
  const uint8_t codes[] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};
  const int16_t values[] = {100, 250, 150, -175, -25, 200, 301, 302, 303, 304, 305, 306};
  for (int entry = 0; entry < 12; ++entry) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(beats[entry].leadCode, codes[entry]);
    EXPECT_EQ(rhythms[entry].leadCode, codes[entry]);
    ASSERT_NE(beats[entry].samples, nullptr);
    ASSERT_NE(rhythms[entry].samples, nullptr);
    EXPECT_EQ(beats[entry].samples[10], values[entry]);
    EXPECT_EQ(rhythms[entry].samples[25], values[entry]);
  }
  EXPECT_EQ(FindLeadBeat(beats, beatCount, 63), &beats[4]);
  EXPECT_EQ(FindLeadBeat(beats, beatCount, 9), nullptr);
}

TEST_F(LeadTablesTest, MissingChestLeadsLeaveTheirEntriesWithoutSamples) {
  auto record = MakeLeadRecord({ConstantLead(1, 100), ConstantLead(2, 250)});
  Decode(record.get());

  ASSERT_EQ(beatCount, 12);
  ASSERT_EQ(rhythmCount, 12);
  EXPECT_EQ(beats[5].samples[0], 200);
  for (int entry = 6; entry < 12; ++entry) {
    EXPECT_EQ(beats[entry].leadCode, entry - 3);
    EXPECT_EQ(beats[entry].samples, nullptr);
    EXPECT_EQ(rhythms[entry].samples, nullptr);
    EXPECT_EQ(rhythms[entry].sampleCount, 0);
  }
}

TEST_F(LeadTablesTest, WithoutLeadIITheDerivedLeadsHaveNoSamples) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  leads.erase(leads.begin() + 1);
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  ASSERT_EQ(beatCount, 12);
  ASSERT_EQ(rhythmCount, 12);
  for (int entry = 1; entry < 6; ++entry) {
    EXPECT_EQ(beats[entry].samples, nullptr);
    EXPECT_EQ(rhythms[entry].samples, nullptr);
    EXPECT_EQ(rhythms[entry].endSample, 0);
  }
  EXPECT_EQ(rhythms[2].leadCode, 61);
  EXPECT_EQ(rhythms[11].samples[0], 306);
}

TEST_F(LeadTablesTest, AShorterLeadIIBoundsTheDerivedLeadsAndTheirSpans) {
  auto record = MakeLeadRecord({ConstantLead(1, 100, 40, 100), ConstantLead(2, 250, 30, 60)});
  Decode(record.get());

  for (int entry = 2; entry < 6; ++entry) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(beats[entry].sampleCount, 30);
    EXPECT_EQ(beats[entry].endSample, 30);
    EXPECT_EQ(rhythms[entry].sampleCount, 60);
    EXPECT_EQ(rhythms[entry].endSample - rhythms[entry].startSample + 1, 60);
    EXPECT_EQ(rhythms[entry].zones, nullptr);
  }
  EXPECT_EQ(rhythms[2].samples[59], 150);
}

TEST_F(LeadTablesTest, WithoutLeadINeitherTableIsFilled) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  leads.erase(leads.begin());
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  EXPECT_EQ(beatCount, 0);
  EXPECT_EQ(rhythmCount, 0);
  for (int entry = 0; entry < kLeadTableCapacity; ++entry) {
    EXPECT_EQ(beats[entry].samples, nullptr);
    EXPECT_EQ(rhythms[entry].samples, nullptr);
  }
}

TEST_F(LeadTablesTest, WithoutReferenceBeatsTheRhythmIsDecodedAlone) {
  leadtest::StoredLead leadI{1, {}, {0, 90, 0, 90, 0, 90}};
  auto record =
      MakeLeadRecord({leadI, ConstantLead(2, 0, 0, 6)}, leadtest::RecordParts{false, false});
  Decode(record.get());

  EXPECT_EQ(beatCount, 0);
  ASSERT_EQ(rhythmCount, 12);
  // Not smoothed: smoothing belongs to leads that had a reference beat added back.
  EXPECT_EQ(std::vector<int16_t>(rhythms[0].samples, rhythms[0].samples + 6), leadI.rhythm);
}

TEST_F(LeadTablesTest, FiducialsComeFromTheFirstMeasurementBlockAndAreZeroWithoutOne) {
  uint16_t fiducials[kFiducialCount] = {9, 9, 9, 9, 9};
  auto bare = MakeLeadRecord(EightLeads(1, 2));
  EXPECT_FALSE(ReadReferenceFiducials(bare.get(), fiducials));
  EXPECT_EQ(std::vector<uint16_t>(fiducials, fiducials + 5), std::vector<uint16_t>(5, 0));

  auto measured = MakeLeadRecord(EightLeads(1, 2), leadtest::RecordParts{true, true});
  EXPECT_TRUE(ReadReferenceFiducials(measured.get(), fiducials));
  EXPECT_EQ(std::vector<uint16_t>(fiducials, fiducials + 5),
            (std::vector<uint16_t>{100, 180, 360, 460, 700}));
}

TEST_F(LeadTablesTest, TheExampleRecordDerivesEverySampleAndDecodesEachRhythmWithItsOwnBeat) {
  auto record = codectest::ReadExample();
  ASSERT_NE(record, nullptr);
  Decode(record.get());
  ASSERT_EQ(beatCount, 12);
  ASSERT_EQ(rhythmCount, 12);

  auto expectDerived = [](const int16_t* leadI, const int16_t* leadII, const int16_t* iii,
                          const int16_t* avr, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
      ASSERT_EQ(iii[i], static_cast<int16_t>(leadII[i] - leadI[i])) << i;
      ASSERT_EQ(avr[i], static_cast<int16_t>(-(leadI[i] + leadII[i]) / 2)) << i;
    }
  };
  expectDerived(beats[0].samples, beats[1].samples, beats[2].samples, beats[3].samples,
                beats[2].sampleCount);
  expectDerived(rhythms[0].samples, rhythms[1].samples, rhythms[2].samples, rhythms[3].samples,
                rhythms[2].sampleCount);
  EXPECT_EQ(rhythms[2].amplitudeMultiplier, rhythms[0].amplitudeMultiplier);

  for (int entry : {0, 1, 6, 11}) {
    ScpRhythmSignal alone{};
    ASSERT_EQ(ScpDecodeRhythm(record.get(), rhythms[entry].leadCode, &alone, &beats[entry]), 0);
    EXPECT_TRUE(
        std::equal(alone.samples, alone.samples + alone.sampleCount, rhythms[entry].samples))
        << "entry " << entry;
    ScpFreeRhythm(&alone);
  }
}

}  // namespace
