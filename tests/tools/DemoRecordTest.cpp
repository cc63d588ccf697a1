// The demo record: its sections as a reader finds them, the variants its options select, and the
// bundled samples/demo.scp staying what the generator writes.
#include "tools/scpgen/DemoRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "scp/ScpItems.h"
#include "scp/ScpLeads.h"
#include "scp/ScpMeasurements.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

using namespace scpgen;

struct Built {
  ScpRecordPtr record;
  DemoRecordContent content;
};

Built Build(const DemoRecordOptions& options) {
  Built built;
  EXPECT_EQ(BuildDemoRecord(options, &built.record, &built.content), 0);
  return built;
}

std::vector<int> SectionIds(const ScpRecord* record) {
  std::vector<int> ids;
  for (uint16_t i = 0; i < ScpRecordSectionCount(record); ++i) {
    ids.push_back(ScpRecordIdAt(record, i));
  }
  return ids;
}

std::string Text(const ScpRecord* record, uint16_t section, uint8_t tag) {
  char text[256] = {};
  uint32_t length = 0;
  return ScpGetItemText(record, section, tag, text, sizeof text, &length) == 0 ? text : "<absent>";
}

TEST(DemoRecord, TheBundledSampleIsExactlyWhatTheGeneratorWrites) {
  scptest::TempDir dir;
  const std::string path = dir.File("demo.scp");
  ASSERT_EQ(WriteDemoRecord(DemoRecordOptions{}, path.c_str()), 0);
  const scptest::Bytes fresh = scptest::ReadBytes(path);
  const scptest::Bytes bundled = scptest::ReadBytes(QUILLON_SAMPLES_DIR "/demo.scp");
  ASSERT_FALSE(fresh.empty());
  EXPECT_TRUE(fresh == bundled)
      << "samples/demo.scp differs from the generator's output; regenerate it with the "
         "demo_record build target";
}

TEST(DemoRecord, HoldsTheSectionsOfACompleteRestingEcg) {
  const Built demo = Build(DemoRecordOptions{});
  EXPECT_EQ(SectionIds(demo.record.get()), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 10}));
  // Section 2 names the default Huffman table (19999 tables).
  uint16_t tables = 0;
  ASSERT_EQ(ScpGetFields(demo.record.get(), 2, kScpLayoutWord, &tables, 0, 2), 0);
  EXPECT_EQ(tables, 19999);
  ScpLeadTableHeader leads{};
  ASSERT_EQ(ScpGetLeadTableHeader(demo.record.get(), &leads), 0);
  EXPECT_EQ(leads.leadCount, 8);
  for (uint16_t i = 0; i < 8; ++i) {
    ScpLeadEntry entry{};
    ASSERT_EQ(ScpGetLeadEntry(demo.record.get(), i, &entry), 0);
    EXPECT_EQ(entry.leadCode, i + 1);
    EXPECT_EQ(entry.startSample, 1);
    EXPECT_EQ(entry.endSample, 5000);
  }
  ScpSignalHeader reference{};
  ScpSignalHeader rhythm{};
  ASSERT_EQ(ScpGetSignalHeader(demo.record.get(), 5, &reference), 0);
  ASSERT_EQ(ScpGetSignalHeader(demo.record.get(), 6, &rhythm), 0);
  EXPECT_EQ(reference.sampleInterval, 2000);
  EXPECT_EQ(rhythm.sampleInterval, 4000);  // decimated by 2
  EXPECT_EQ(rhythm.bimodalFlag, 1);
  EXPECT_EQ(rhythm.differenceEncoding, 2);
  EXPECT_EQ(rhythm.amplitudeMultiplier, 5000);
}

TEST(DemoRecord, PatientDataAndSixStatementsNumberedFromZeroReadBack) {
  const Built demo = Build(DemoRecordOptions{});
  const ScpRecord* record = demo.record.get();
  EXPECT_EQ(Text(record, 1, kScpTagLastName), "Demo");
  EXPECT_EQ(Text(record, 1, kScpTagPatientId), "QUILLON-DEMO-1");
  ScpDate date{};
  ScpTime time{};
  ASSERT_EQ(ScpGetItemDate(record, 1, kScpTagAcquisitionDate, &date), 0);
  ASSERT_EQ(ScpGetItemTime(record, 1, kScpTagAcquisitionTime, &time), 0);
  EXPECT_EQ(date.year, 2024);
  EXPECT_EQ(date.month, 5);
  EXPECT_EQ(date.day, 17);
  EXPECT_EQ(time.hour, 9);
  EXPECT_EQ(time.minute, 30);
  ScpValueUnit age{};
  ASSERT_EQ(ScpGetItemValueUnit(record, 1, kScpTagAge, &age), 0);
  EXPECT_EQ(age.value, 54);

  ScpStatementHeader header{};
  ASSERT_EQ(ScpGetStatementHeader(record, 8, &header), 0);
  EXPECT_EQ(header.statementCount, 6);
  EXPECT_EQ(header.year, 2024);
  EXPECT_EQ(header.minute, 31);
  EXPECT_EQ(Text(record, 8, 0), "Sinus rhythm");
  const std::string rate = Text(record, 8, 1);
  EXPECT_EQ(rate.rfind("Heart rate ", 0), 0u) << rate;
  for (uint8_t tag = 2; tag < 6; ++tag) {
    EXPECT_NE(Text(record, 8, tag), "<absent>");
  }
  EXPECT_EQ(Text(record, 8, 6), "<absent>");
}

TEST(DemoRecord, QrsSectionListsEveryProtectedAreaAfterTheComplexes) {
  DemoRecordOptions options;
  options.otherBeatTypeEvery = 3;
  const Built demo = Build(options);
  const ScpRecord* record = demo.record.get();
  ScpQrsHeader header{};
  ASSERT_EQ(ScpGetQrsHeader(record, &header), 0);
  const size_t complexes = demo.content.complexes.size();
  EXPECT_EQ(header.qrsCount, complexes);
  EXPECT_EQ(header.beatLength, 800);
  EXPECT_EQ(header.fiducial, 150);
  EXPECT_EQ(ScpRecordSectionLength(record, 4), static_cast<int64_t>(6 + 22 * complexes));
  for (uint16_t i = 0; i < complexes; ++i) {
    SCOPED_TRACE(i);
    const ComplexLayout& layout = demo.content.complexes[i];
    ScpQrsEntry entry{};
    ScpProtectedArea area{};
    ASSERT_EQ(ScpGetQrsEntry(record, &entry, i), 0);
    ASSERT_EQ(ScpGetProtectedArea(record, i, &area), 0);
    EXPECT_EQ(entry.beatType, (i + 1) % 3 == 0 ? 1 : 0);
    EXPECT_EQ(entry.fiducialSample, demo.content.ecg.fiducials[i] + 1);
    if (entry.beatType == 0) {
      EXPECT_EQ(entry.subtractStart, layout.subtraction.start + 1);
      EXPECT_EQ(entry.subtractEnd, layout.subtraction.end + 1);
      EXPECT_LT(entry.subtractStart, area.startSample);
      EXPECT_GT(entry.subtractEnd, area.endSample);
    } else {
      EXPECT_EQ(entry.subtractStart, 0);
      EXPECT_EQ(entry.subtractEnd, 0);
    }
    // The QRS complex, 40 ms before to 44 ms after the fiducial, in sample numbers.
    EXPECT_EQ(area.startSample, static_cast<uint32_t>(entry.fiducialSample - 20));
    EXPECT_EQ(area.endSample, static_cast<uint32_t>(entry.fiducialSample + 22));
  }

  options.protectedAreaList = false;
  const Built bare = Build(options);
  EXPECT_EQ(ScpRecordSectionLength(bare.record.get(), 4),
            static_cast<int64_t>(6 + 14 * bare.content.complexes.size()));
}

TEST(DemoRecord, GlobalMeasurementsDescribeTheReferenceBeat) {
  const Built demo = Build(DemoRecordOptions{});
  ScpMeasurementHeader header{};
  ScpBeatMeasurements beat{};
  ASSERT_EQ(ScpGetMeasurementHeader(demo.record.get(), &header), 0);
  ASSERT_EQ(ScpGetBeatMeasurements(demo.record.get(), 0, &beat), 0);
  EXPECT_EQ(header.blockCount, 1);
  EXPECT_NEAR(60000.0 / header.rrInterval, 70.0, 3.0);
  // Milliseconds from the start of the reference beat, 2 ms per reference sample.
  EXPECT_EQ(beat.qrsOnset, 2 * demo.content.plan.qrsOnset);
  EXPECT_EQ(beat.qrsOffset, 2 * demo.content.plan.qrsOffset);
  EXPECT_LT(beat.pOnset, beat.pOffset);
  EXPECT_LT(beat.pOffset, beat.qrsOnset);
  EXPECT_LT(beat.qrsOffset, beat.tOffset);
  EXPECT_LT(beat.tOffset, 800);
  EXPECT_GE(beat.qrsAxis, -30);
  EXPECT_LE(beat.qrsAxis, 90);
}

TEST(DemoRecord, PerLeadMeasurementsCoverTheTwelveLeadsAtAnyBlockLength) {
  for (uint16_t blockLength : {62, 80, 81}) {
    SCOPED_TRACE(blockLength);
    DemoRecordOptions options;
    options.leadBlockLength = blockLength;
    const Built demo = Build(options);
    const ScpRecord* record = demo.record.get();
    ScpLeadMeasurementHeader header{};
    ASSERT_EQ(ScpGetLeadMeasurementHeader(record, &header), 0);
    EXPECT_EQ(header.leadCount, 12);
    EXPECT_EQ(header.blockLength, blockLength);
    EXPECT_EQ(ScpRecordSectionLength(record, 10), 4 + 12 * blockLength);
    for (uint16_t i = 0; i < 12; ++i) {
      ScpLeadMeasurements lead{};
      ASSERT_EQ(ScpGetLeadMeasurements(record, i, &lead), 0);
      EXPECT_EQ(lead.leadCode, kStandardLeadCodes[i]);
      EXPECT_EQ(lead.values[2], 84);  // QRS duration, ms
    }
    ScpLeadMeasurements leadII{};
    ScpLeadMeasurements aVR{};
    ASSERT_EQ(ScpGetLeadMeasurements(record, 1, &leadII), 0);
    ASSERT_EQ(ScpGetLeadMeasurements(record, 3, &aVR), 0);
    EXPECT_GT(leadII.values[10], 800);  // R amplitude, uV
    EXPECT_LT(leadII.values[10], 1600);
    EXPECT_GT(leadII.values[17], 150);  // T+ amplitude
    EXPECT_LT(aVR.values[11], -500);    // a deep S (QS) in aVR
    EXPECT_EQ(aVR.values[21], 2);       // negative T
  }
}

TEST(DemoRecord, StoresOnlyTheLeadsAskedForInTheirOrder) {
  DemoRecordOptions options;
  options.leadCodes = {8, 1};
  const Built demo = Build(options);
  const ScpRecord* record = demo.record.get();
  ScpLeadTableHeader leads{};
  ASSERT_EQ(ScpGetLeadTableHeader(record, &leads), 0);
  EXPECT_EQ(leads.leadCount, 2);
  EXPECT_EQ(ScpFindLead(record, 8), 0);
  EXPECT_EQ(ScpFindLead(record, 1), 1);
  EXPECT_LT(ScpFindLead(record, 2), 0);
  EXPECT_EQ(demo.content.referenceBeats.size(), 2u);
  // Two byte counts in each signal section, then the data.
  for (uint16_t section : {5, 6}) {
    ScpLeadSignal lead{};
    ASSERT_EQ(ScpDescribeLead(record, section, 1, &lead), 0);
    EXPECT_EQ(ScpRecordSectionLength(record, section), lead.dataOffset + lead.dataLength);
  }
}

TEST(DemoRecord, PlainValuesLeaveOutTheHuffmanSection) {
  DemoRecordOptions options;
  options.huffman = false;
  options.differenceEncoding = 1;
  const Built demo = Build(options);
  const std::vector<int> ids = SectionIds(demo.record.get());
  EXPECT_EQ(ids, (std::vector<int>{1, 3, 4, 5, 6, 7, 8, 10}));
  ScpLeadSignal lead{};
  ASSERT_EQ(ScpDescribeLead(demo.record.get(), 6, 1, &lead), 0);
  EXPECT_EQ(lead.dataLength,
            2 * StoredValueCount(5000, demo.content.complexes, options.decimationFactor));
  ASSERT_EQ(ScpDescribeLead(demo.record.get(), 5, 1, &lead), 0);
  EXPECT_EQ(lead.dataLength, 2 * 400);
}

TEST(DemoRecord, WithoutReferenceBeatsStoresTheWholeRhythmAlone) {
  DemoRecordOptions options;
  options.referenceBeats = false;
  options.decimationFactor = 1;
  const Built demo = Build(options);
  EXPECT_EQ(SectionIds(demo.record.get()), (std::vector<int>{1, 2, 3, 6, 7, 8, 10}));
  EXPECT_TRUE(demo.content.complexes.empty());
  ScpLeadTableHeader leads{};
  ASSERT_EQ(ScpGetLeadTableHeader(demo.record.get(), &leads), 0);
  EXPECT_EQ(leads.leadFlags & 1, 0);  // no reference beat subtraction
}

TEST(DemoRecord, RefusesOptionsItCannotEncode) {
  std::vector<DemoRecordOptions> refused(9);
  refused[0].differenceEncoding = 3;
  refused[1].decimationFactor = 0;
  refused[2].referenceBeats = false;  // with the default factor 2
  refused[3].leadCodes = {};
  refused[4].leadCodes = {1, 1};
  refused[5].leadCodes = {61};
  refused[6].leadBlockLength = 61;
  refused[7].referenceNanovolts = 3000;  // does not divide 5000
  refused[8].sampleCount = 0;
  for (size_t i = 0; i < refused.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(DemoRecordOptionsValid(refused[i]));
    ScpRecordPtr record(ScpRecordCreate());
    EXPECT_EQ(BuildDemoRecord(refused[i], &record, nullptr), kScpErrMalformed);
    EXPECT_EQ(record, nullptr);
  }
  scptest::TempDir dir;
  EXPECT_NE(WriteDemoRecord(DemoRecordOptions{}, (dir.Path() + "/missing/demo.scp").c_str()), 0);
}

}  // namespace
