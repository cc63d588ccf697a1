#include "leads/LeadTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/leads/LeadTestRecords.h"

namespace {

using leadtest::ConstantLead;
using leadtest::EightLeads;
using leadtest::MakeLeadRecord;

// Both lead tables of a record, freed at the end of the test.
class LeadTablesTest : public ::testing::Test {
 protected:
  ~LeadTablesTest() override {
    FreeReferenceLeads(beats_, kLeadTableCapacity);
    FreeRhythmLeads(rhythms_, kLeadTableCapacity);
  }

  void Decode(const ScpRecord* record) {
    beatCount_ = DecodeReferenceLeads(record, beats_);
    rhythmCount_ = DecodeRhythmLeads(record, beats_, beatCount_, rhythms_);
  }

  // Each derived entry of a table holds, sample for sample, the limb formula over the decoded
  // samples of I and II in 32 bits, division truncating toward zero, kept to 16 bits.
  template <typename Entry>
  static void ExpectDerivedFromIAndII(const Entry* leads) {
    const int32_t count = std::min<int32_t>(leads[0].sampleCount, leads[1].sampleCount);
    for (int entry = 2; entry < 6; ++entry) {
      ASSERT_EQ(leads[entry].sampleCount, count) << "entry " << entry;
    }
    for (int32_t i = 0; i < count; ++i) {
      const int32_t one = leads[0].samples[i];
      const int32_t two = leads[1].samples[i];
      const int32_t formulas[] = {two - one, -(one + two) / 2, (2 * one - two) / 2,
                                  (2 * two - one) / 2};
      for (int entry = 2; entry < 6; ++entry) {
        ASSERT_EQ(leads[entry].samples[i], static_cast<int16_t>(formulas[entry - 2]))
            << "entry " << entry << ", sample " << i << " of " << count << ": I " << one << ", II "
            << two;
      }
    }
  }

  ScpReferenceBeat beats_[kLeadTableCapacity] = {};
  ScpRhythmSignal rhythms_[kLeadTableCapacity] = {};
  int32_t beatCount_ = -1;
  int32_t rhythmCount_ = -1;
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
      ASSERT_EQ(beats_[entry].sampleCount, 20);
      EXPECT_TRUE(std::all_of(beats_[entry].samples, beats_[entry].samples + 20,
                              [&](int16_t s) { return s == expected[entry - 2]; }))
          << "entry " << entry;
    }
    FreeReferenceLeads(beats_, kLeadTableCapacity);
    FreeRhythmLeads(rhythms_, kLeadTableCapacity);
  }
}

// Leads I and II of random samples of every size, as beats and rhythms of every length near the
// vector widths, II one sample shorter, as long or longer than I.
TEST_F(LeadTablesTest, DerivedLeadsFollowTheFormulasOnRandomSamplesOfEveryLength) {
  std::mt19937 random(7);
  for (size_t count = 1; count <= 72; ++count) {
    const auto mix = codectest::kSampleMixes[count % std::size(codectest::kSampleMixes)];
    const size_t countII = count + random() % 3 - 1;
    std::vector<leadtest::StoredLead> leads = {
        {1, codectest::RandomSamples(random, count, mix),
         codectest::RandomSamples(random, count + 7, mix)},
        {2, codectest::RandomSamples(random, countII, mix),
         codectest::RandomSamples(random, countII + 7, mix)}};
    auto record = MakeLeadRecord(leads);
    Decode(record.get());
    SCOPED_TRACE(testing::Message() << count << " samples of I");
    ASSERT_EQ(beatCount_, 12);
    ASSERT_EQ(rhythmCount_, 12);
    ExpectDerivedFromIAndII(beats_);
    ExpectDerivedFromIAndII(rhythms_);
    FreeReferenceLeads(beats_, kLeadTableCapacity);
    FreeRhythmLeads(rhythms_, kLeadTableCapacity);
  }
}

TEST_F(LeadTablesTest, BothTablesHoldTheTwelveLeadsInDisplayOrderWhateverTheStoredOrder) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  std::reverse(leads.begin(), leads.end());  // V6 first, lead I last
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  ASSERT_EQ(beatCount_, 12);
  ASSERT_EQ(rhythmCount_, 12);
  const uint8_t codes[] = {1, 2, 61, 62, 63, 64, 3, 4, 5, 6, 7, 8};
  const int16_t values[] = {100, 250, 150, -175, -25, 200, 301, 302, 303, 304, 305, 306};
  for (int entry = 0; entry < 12; ++entry) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(beats_[entry].leadCode, codes[entry]);
    EXPECT_EQ(rhythms_[entry].leadCode, codes[entry]);
    ASSERT_NE(beats_[entry].samples, nullptr);
    ASSERT_NE(rhythms_[entry].samples, nullptr);
    EXPECT_EQ(beats_[entry].samples[10], values[entry]);
    EXPECT_EQ(rhythms_[entry].samples[25], values[entry]);
  }
  EXPECT_EQ(FindLeadBeat(beats_, beatCount_, 63), &beats_[4]);
  EXPECT_EQ(FindLeadBeat(beats_, beatCount_, 9), nullptr);
}

TEST_F(LeadTablesTest, MissingChestLeadsLeaveTheirEntriesWithoutSamples) {
  auto record = MakeLeadRecord({ConstantLead(1, 100), ConstantLead(2, 250)});
  Decode(record.get());

  ASSERT_EQ(beatCount_, 12);
  ASSERT_EQ(rhythmCount_, 12);
  EXPECT_EQ(beats_[5].samples[0], 200);
  for (int entry = 6; entry < 12; ++entry) {
    EXPECT_EQ(beats_[entry].leadCode, entry - 3);
    EXPECT_EQ(beats_[entry].samples, nullptr);
    EXPECT_EQ(rhythms_[entry].samples, nullptr);
    EXPECT_EQ(rhythms_[entry].sampleCount, 0);
  }
}

TEST_F(LeadTablesTest, WithoutLeadIITheDerivedLeadsHaveNoSamples) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  leads.erase(leads.begin() + 1);
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  ASSERT_EQ(beatCount_, 12);
  ASSERT_EQ(rhythmCount_, 12);
  for (int entry = 1; entry < 6; ++entry) {
    EXPECT_EQ(beats_[entry].samples, nullptr);
    EXPECT_EQ(rhythms_[entry].samples, nullptr);
    EXPECT_EQ(rhythms_[entry].endSample, 0);
  }
  EXPECT_EQ(rhythms_[2].leadCode, 61);
  EXPECT_EQ(rhythms_[11].samples[0], 306);
}

TEST_F(LeadTablesTest, AShorterLeadIIBoundsTheDerivedLeadsAndTheirSpans) {
  auto record = MakeLeadRecord({ConstantLead(1, 100, 40, 100), ConstantLead(2, 250, 30, 60)});
  Decode(record.get());

  for (int entry = 2; entry < 6; ++entry) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(beats_[entry].sampleCount, 30);
    EXPECT_EQ(beats_[entry].endSample, 30);
    EXPECT_EQ(rhythms_[entry].sampleCount, 60);
    EXPECT_EQ(rhythms_[entry].endSample - rhythms_[entry].startSample + 1, 60);
    EXPECT_EQ(rhythms_[entry].zones, nullptr);
  }
  EXPECT_EQ(rhythms_[2].samples[59], 150);
}

TEST_F(LeadTablesTest, WithoutLeadINeitherTableIsFilled) {
  std::vector<leadtest::StoredLead> leads = EightLeads(100, 250);
  leads.erase(leads.begin());
  auto record = MakeLeadRecord(leads);
  Decode(record.get());

  EXPECT_EQ(beatCount_, 0);
  EXPECT_EQ(rhythmCount_, 0);
  for (int entry = 0; entry < kLeadTableCapacity; ++entry) {
    EXPECT_EQ(beats_[entry].samples, nullptr);
    EXPECT_EQ(rhythms_[entry].samples, nullptr);
  }
}

TEST_F(LeadTablesTest, WithoutReferenceBeatsTheRhythmIsDecodedAlone) {
  leadtest::StoredLead leadI{1, {}, {0, 90, 0, 90, 0, 90}};
  auto record =
      MakeLeadRecord({leadI, ConstantLead(2, 0, 0, 6)}, leadtest::RecordParts{false, false});
  Decode(record.get());

  EXPECT_EQ(beatCount_, 0);
  ASSERT_EQ(rhythmCount_, 12);
  // Not smoothed: smoothing belongs to leads that had a reference beat added back.
  EXPECT_EQ(std::vector<int16_t>(rhythms_[0].samples, rhythms_[0].samples + 6), leadI.rhythm);
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
  ASSERT_EQ(beatCount_, 12);
  ASSERT_EQ(rhythmCount_, 12);

  ExpectDerivedFromIAndII(beats_);
  ExpectDerivedFromIAndII(rhythms_);
  EXPECT_EQ(rhythms_[2].amplitudeMultiplier, rhythms_[0].amplitudeMultiplier);

  for (int entry : {0, 1, 6, 11}) {
    ScpRhythmSignal alone{};
    ASSERT_EQ(ScpDecodeRhythm(record.get(), rhythms_[entry].leadCode, &alone, &beats_[entry]), 0);
    EXPECT_TRUE(
        std::equal(alone.samples, alone.samples + alone.sampleCount, rhythms_[entry].samples))
        << "entry " << entry;
    ScpFreeRhythm(&alone);
  }
}

}  // namespace
