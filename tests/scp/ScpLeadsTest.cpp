#include "scp/ScpLeads.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::Bytes;
using codectest::LeadTable;
using codectest::MakeRecord;
using codectest::PlainValues;
using codectest::QrsSection;
using codectest::ReadExample;
using codectest::SignalSection;

constexpr ScpStatus kAbsentToAccessor = kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor;
constexpr ScpStatus kPastBodyToAccessor =
    kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor;

class ScpExampleLeads : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(record_, nullptr); }
  ScpRecordPtr record_ = ReadExample();
};

TEST_F(ScpExampleLeads, LeadTableListsTwelveLeadsOverTheWholeRecording) {
  ScpLeadTableHeader table{};
  ASSERT_EQ(ScpGetLeadTableHeader(record_.get(), &table), kScpOk);
  EXPECT_EQ(table.leadCount, 12);
  const uint8_t codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 61, 62, 63, 64};  // I, II, V1-V6, III, aVR-aVF
  for (uint16_t ordinal = 0; ordinal < 12; ++ordinal) {
    ScpLeadEntry entry{};
    ASSERT_EQ(ScpGetLeadEntry(record_.get(), ordinal, &entry), kScpOk);
    EXPECT_EQ(entry.startSample, 1);
    EXPECT_EQ(entry.endSample, 5000);
    EXPECT_EQ(entry.leadCode, codes[ordinal]);
    EXPECT_EQ(ScpFindLead(record_.get(), codes[ordinal]), ordinal);
  }
  ScpLeadEntry pastTheTable{};
  EXPECT_EQ(ScpGetLeadEntry(record_.get(), 12, &pastTheTable), kPastBodyToAccessor);
}

TEST_F(ScpExampleLeads, DescribingALeadGathersTableHeaderAndDataLocation) {
  ScpLeadSignal lead{};
  ASSERT_EQ(ScpDescribeLead(record_.get(), kScpRhythmSection, 3, &lead), kScpOk);  // V1
  EXPECT_EQ(lead.leadCount, 12);
  EXPECT_EQ(lead.leadFlags, 100);
  EXPECT_EQ(lead.ordinal, 2);
  EXPECT_EQ(lead.leadCode, 3);
  EXPECT_EQ(lead.startSample, 1);
  EXPECT_EQ(lead.endSample, 5000);
  EXPECT_EQ(lead.amplitudeMultiplier, 2500);
  EXPECT_EQ(lead.sampleInterval, 2000);
  EXPECT_EQ(lead.differenceEncoding, 2);
  EXPECT_EQ(lead.dataOffset, 6 + 2 * 12 + 2510 + 2426);  // after the data of I and II
  EXPECT_EQ(lead.dataLength, 2354);

  ASSERT_EQ(ScpDescribeLead(record_.get(), kScpReferenceSection, 64, &lead), kScpOk);  // aVF
  EXPECT_EQ(lead.ordinal, 11);
  EXPECT_EQ(lead.dataLength, 290);
  EXPECT_EQ(lead.dataOffset + lead.dataLength, ScpRecordSectionLength(record_.get(), 5));
}

TEST_F(ScpExampleLeads, QrsSectionListsNoComplexes) {
  ScpQrsHeader qrs{};
  ASSERT_EQ(ScpGetQrsHeader(record_.get(), &qrs), kScpOk);
  EXPECT_EQ(qrs.beatLength, 1198);
  EXPECT_EQ(qrs.qrsCount, 0);
  ScpQrsEntry entry{};
  EXPECT_EQ(ScpGetQrsEntry(record_.get(), &entry, 0), kPastBodyToAccessor);
  ScpProtectedArea area{};
  EXPECT_EQ(ScpGetProtectedArea(record_.get(), 0, &area), kScpErrNoSuchEntry - kScpLayerAccessor);
}

TEST(ScpLeads, AbsentSectionsReportTheirStatusThroughEachLayer) {
  ScpRecordPtr record = MakeRecord({});
  ScpLeadTableHeader table{};
  EXPECT_EQ(ScpGetLeadTableHeader(record.get(), &table), kAbsentToAccessor);
  ScpLeadEntry entry{};
  EXPECT_EQ(ScpGetLeadEntry(record.get(), 0, &entry), kAbsentToAccessor);
  ScpQrsHeader qrs{};
  EXPECT_EQ(ScpGetQrsHeader(record.get(), &qrs), kAbsentToAccessor);
  EXPECT_EQ(ScpFindLead(record.get(), 1), kAbsentToAccessor - kScpLayerItem);
  ScpLeadSignal lead{};
  EXPECT_EQ(ScpDescribeLead(record.get(), kScpRhythmSection, 1, &lead),
            kAbsentToAccessor - kScpLayerItem - kScpLayerTypedItem);
  int32_t offset = 0;
  int32_t length = 0;
  EXPECT_EQ(ScpLocateLeadData(record.get(), kScpRhythmSection, 0, 1, &offset, &length),
            kScpErrNoSection - kScpLayerDirectory);
}

TEST(ScpLeads, SignalReadersAcceptOnlySectionsFiveAndSix) {
  ScpRecordPtr record = MakeRecord({{4, QrsSection(1000, 1, {})}});
  ScpSignalHeader header{};
  EXPECT_EQ(ScpGetSignalHeader(record.get(), 4, &header),
            kScpErrNotItemSection - kScpLayerAccessor);
  int32_t offset = 0;
  int32_t length = 0;
  EXPECT_EQ(ScpLocateLeadData(record.get(), 4, 0, 1, &offset, &length),
            kScpErrNotItemSection - kScpLayerDirectory);
}

TEST(ScpLeads, EmptyLeadTableListsNoCode) {
  ScpRecordPtr record = MakeRecord({{3, LeadTable({})}});
  EXPECT_EQ(ScpFindLead(record.get(), 1), kScpErrNoLead - kScpLayerItem);
}

TEST(ScpLeads, CodeListedTwiceFindsTheLowerOrdinal) {
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, 10, 5}, {1, 10, 2}, {1, 10, 2}})}});
  EXPECT_EQ(ScpFindLead(record.get(), 2), 1);
  EXPECT_EQ(ScpFindLead(record.get(), 7), kScpErrNoLead - kScpLayerItem);
}

TEST(ScpLeads, TableCountingMoreLeadsThanItHoldsFailsTheSearch) {
  Bytes table = LeadTable({{1, 10, 5}});
  table[0] = 3;  // three leads claimed, one stored
  ScpRecordPtr record = MakeRecord({{3, table}});
  EXPECT_EQ(ScpFindLead(record.get(), 5), 0);
  EXPECT_EQ(ScpFindLead(record.get(), 6), kPastBodyToAccessor - kScpLayerItem);
}

TEST(ScpLeads, LeadWithNoBytesStartsWhereThePreviousLeadEnds) {
  ScpRecordPtr record = MakeRecord(
      {{6, SignalSection(5000, 2000, 0, {PlainValues({1, 2, 3}), Bytes{}, PlainValues({4})})}});
  int32_t offset = 0;
  int32_t length = -1;
  ASSERT_EQ(ScpLocateLeadData(record.get(), 6, 1, 3, &offset, &length), kScpOk);
  EXPECT_EQ(offset, 6 + 2 * 3 + 6);
  EXPECT_EQ(length, 0);
  ASSERT_EQ(ScpLocateLeadData(record.get(), 6, 2, 3, &offset, &length), kScpOk);
  EXPECT_EQ(offset, 6 + 2 * 3 + 6);
  EXPECT_EQ(length, 2);
}

TEST(ScpLeads, DataRunningPastTheBodyOrOrdinalsOutsideTheTableAreRefused) {
  Bytes body = SignalSection(5000, 2000, 0, {PlainValues({1, 2, 3}), PlainValues({4})});
  body[6] = 8;  // the first lead claims 8 bytes: the second's data would end past the body
  ScpRecordPtr record = MakeRecord({{6, body}});
  int32_t offset = 0;
  int32_t length = 0;
  EXPECT_EQ(ScpLocateLeadData(record.get(), 6, 0, 2, &offset, &length), kScpOk);
  EXPECT_EQ(ScpLocateLeadData(record.get(), 6, 1, 2, &offset, &length),
            kScpErrOutOfBounds - kScpLayerDirectory);
  EXPECT_EQ(ScpLocateLeadData(record.get(), 6, 2, 2, &offset, &length),
            kScpErrNoSuchEntry - kScpLayerDirectory);
  // Sixty leads' byte counts would lie past this short body.
  EXPECT_EQ(ScpLocateLeadData(record.get(), 6, 59, 60, &offset, &length),
            kScpErrOutOfBounds - kScpLayerDirectory);
}

TEST(ScpLeads, ProtectedAreasAreReadOnlyWhenTheWholeListIsStored) {
  Bytes qrs = QrsSection(1000, 100, {{0, 10, 20, 30}, {1, 40, 50, 60}}, {{15, 25}, {45, 55}});
  ScpRecordPtr record = MakeRecord({{4, qrs}});
  ScpProtectedArea area{};
  ASSERT_EQ(ScpGetProtectedArea(record.get(), 1, &area), kScpOk);
  EXPECT_EQ(area.startSample, 45u);
  EXPECT_EQ(area.endSample, 55u);
  EXPECT_EQ(ScpGetProtectedArea(record.get(), 2, &area), kScpErrNoSuchEntry - kScpLayerAccessor);

  qrs.resize(qrs.size() - 1);  // the last area is cut short: no list at all
  ScpRecordPtr cut = MakeRecord({{4, qrs}});
  EXPECT_EQ(ScpGetProtectedArea(cut.get(), 0, &area), kScpErrOutOfBounds - kScpLayerAccessor);
}

}  // namespace
