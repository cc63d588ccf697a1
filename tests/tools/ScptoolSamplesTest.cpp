// scptool samples: the display leads as CSV, rhythm or reference beats, with the leads that have
// no samples left out and the derived limb leads computed from I and II on every row.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "leads/LeadFilters.h"
#include "scp/ScpRecord.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"
#include "tools/scpgen/DemoRecord.h"

namespace {

using scptooltest::Cells;
using scptooltest::Lines;
using scptooltest::Outcome;
using scptooltest::ParseSamples;
using scptooltest::SampleColumns;

using scptooltest::kDemo;
using scptooltest::kExample;

const std::string kTwelveLeads = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6";
constexpr size_t kDemoRhythmSamples = 5000;  // 10 s at 500 Hz
constexpr size_t kDemoBeatSamples = 400;     // 800 ms at 500 Hz

// Byte positions in the lead table (section 3): entries of 9 bytes after a 2-byte head, each
// with its end sample number at byte 4.
constexpr size_t kLeadTableHead = 2;
constexpr size_t kLeadEntryBytes = 9;
constexpr size_t kEndSampleByte = 4;

class ScptoolSamples : public ::testing::Test {
 protected:
  Outcome Scptool(const std::vector<std::string>& arguments) {
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  // The CSV scptool prints; fails the test when the command does not succeed.
  std::string Csv(const std::vector<std::string>& arguments) {
    Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    return outcome.out;
  }

  // Writes the demo record for `options`, changed by `edit`, and returns its path.
  std::string Demo(const scpgen::DemoRecordOptions& options,
                   const std::function<void(ScpRecord*)>& edit = nullptr) {
    ScpRecordPtr record;
    EXPECT_EQ(scpgen::BuildDemoRecord(options, &record, nullptr), 0);
    if (edit) {
      edit(record.get());
    }
    std::string path = dir_.File("demo-" + std::to_string(++written_) + ".scp");
    EXPECT_EQ(ScpWriteRecord(record.get(), path.c_str()), 0);
    return path;
  }

  scptest::TempDir dir_;
  int written_ = 0;
};

TEST_F(ScptoolSamples, DemoRhythmIsTwelveLeadsOfFiveThousandSamples) {
  std::vector<std::string> lines = Lines(Csv({"samples", kDemo}));
  ASSERT_EQ(lines.size(), 1 + kDemoRhythmSamples);
  EXPECT_EQ(lines[0], kTwelveLeads);
  for (size_t row = 1; row < lines.size(); ++row) {
    std::vector<std::string> cells = Cells(lines[row]);
    ASSERT_EQ(cells.size(), 12u) << "row " << row;
    for (const std::string& cell : cells) {
      ASSERT_FALSE(cell.empty()) << "row " << row;
    }
  }
}

TEST_F(ScptoolSamples, DemoBeatsAreTwelveLeadsOfOneBeatLength) {
  SampleColumns beats = ParseSamples(Csv({"samples", kDemo, "--beats"}));
  ASSERT_EQ(beats.names, Cells(kTwelveLeads));
  for (const std::string& name : beats.names) {
    EXPECT_EQ(beats.samples[name].size(), kDemoBeatSamples) << name;
  }
}

// III = II - I, aVR = -(I + II) / 2, aVL = (2I - II) / 2, aVF = (2II - I) / 2, truncating.
void ExpectLimbLeadsDerivedFromIAndII(SampleColumns table) {
  const std::vector<int>& leadI = table.samples["I"];
  const std::vector<int>& leadII = table.samples["II"];
  ASSERT_EQ(leadI.size(), leadII.size());
  ASSERT_FALSE(leadI.empty());
  for (const char* name : {"III", "aVR", "aVL", "aVF"}) {
    ASSERT_EQ(table.samples[name].size(), leadI.size()) << name;
  }
  for (size_t i = 0; i < leadI.size(); ++i) {
    ASSERT_EQ(table.samples["III"][i], leadII[i] - leadI[i]) << "row " << i + 1;
    ASSERT_EQ(table.samples["aVR"][i], -(leadI[i] + leadII[i]) / 2) << "row " << i + 1;
    ASSERT_EQ(table.samples["aVL"][i], (2 * leadI[i] - leadII[i]) / 2) << "row " << i + 1;
    ASSERT_EQ(table.samples["aVF"][i], (2 * leadII[i] - leadI[i]) / 2) << "row " << i + 1;
  }
}

TEST_F(ScptoolSamples, ExampleLimbLeadsAreDerivedFromIAndIIOnEveryRow) {
  SampleColumns rhythm = ParseSamples(Csv({"samples", kExample}));
  EXPECT_EQ(rhythm.names, Cells(kTwelveLeads));
  EXPECT_EQ(rhythm.samples["I"].size(), 5000u);
  ExpectLimbLeadsDerivedFromIAndII(rhythm);
  ExpectLimbLeadsDerivedFromIAndII(ParseSamples(Csv({"samples", kExample, "--beats"})));
}

TEST_F(ScptoolSamples, FilteredSamplesAreTheFilterFunctionsValuesInTheSameUnits) {
  const SampleColumns stored = ParseSamples(Csv({"samples", kDemo}));
  const std::vector<std::string> lines =
      Lines(Csv({"samples", kDemo, "--filter", "baseline,50hz,40hz"}));
  ASSERT_EQ(lines.size(), 1 + kDemoRhythmSamples);
  EXPECT_EQ(lines[0], kTwelveLeads);
  const std::vector<int>& lead = stored.samples.at("II");
  const std::vector<int16_t> units(lead.begin(), lead.end());
  std::vector<double> expected(units.size());
  FilterLeadSamples(units.data(), static_cast<int32_t>(units.size()), 2000,
                    kLeadFilterBaseline | kLeadFilterMains50 | kLeadFilterLowPass40,
                    expected.data());
  for (size_t row : {size_t{0}, size_t{1234}, kDemoRhythmSamples - 1}) {
    EXPECT_NEAR(std::stod(Cells(lines[1 + row])[1]), expected[row], 0.005) << row;
  }
}

TEST_F(ScptoolSamples, AnUnknownFilterIsBadUsage) {
  const Outcome outcome = Scptool({"samples", kDemo, "--filter", "baseline,70hz"});
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find("baseline,50hz,60hz,40hz"), std::string::npos) << outcome.err;
}

TEST_F(ScptoolSamples, LeadsWithoutSamplesAreLeftOut) {
  scpgen::DemoRecordOptions limbOnly;
  limbOnly.leadCodes = {1, 2};
  std::string limb = Demo(limbOnly);
  EXPECT_EQ(Lines(Csv({"samples", limb}))[0], "I,II,III,aVR,aVL,aVF");
  EXPECT_EQ(Lines(Csv({"samples", limb, "--beats"}))[0], "I,II,III,aVR,aVL,aVF");

  // Without lead II nothing can be derived; the stored order does not matter.
  scpgen::DemoRecordOptions withoutII;
  withoutII.leadCodes = {8, 1, 3};
  SampleColumns rhythm = ParseSamples(Csv({"samples", Demo(withoutII)}));
  EXPECT_EQ(rhythm.names, (std::vector<std::string>{"I", "V1", "V6"}));
  EXPECT_EQ(rhythm.samples["V6"].size(), kDemoRhythmSamples);
}

TEST_F(ScptoolSamples, ALeadShorterThanTheLongestLeavesItsCellsEmpty) {
  constexpr size_t kV1Ordinal = 2;  // in the default lead order I, II, V1, ...
  constexpr int32_t kV1EndSample = 4000;
  std::string file = Demo(scpgen::DemoRecordOptions{}, [](ScpRecord* record) {
    uint8_t* entry = ScpMemLock(ScpRecordSectionData(record, 3)) + kLeadTableHead +
                     kV1Ordinal * kLeadEntryBytes + kEndSampleByte;
    for (int byte = 0; byte < 4; ++byte) {
      entry[byte] = static_cast<uint8_t>(kV1EndSample >> (8 * byte));
    }
  });
  std::vector<std::string> lines = Lines(Csv({"samples", file}));
  ASSERT_EQ(lines.size(), 1 + kDemoRhythmSamples);
  constexpr size_t kV1Column = 6;
  EXPECT_FALSE(Cells(lines[kV1EndSample])[kV1Column].empty());
  for (size_t row = kV1EndSample + 1; row < lines.size(); ++row) {
    std::vector<std::string> cells = Cells(lines[row]);
    ASSERT_EQ(cells.size(), 12u) << "row " << row;
    ASSERT_TRUE(cells[kV1Column].empty()) << "row " << row;
    ASSERT_FALSE(cells[kV1Column + 1].empty()) << "row " << row;
  }
}

TEST_F(ScptoolSamples, WithoutLeadIThereIsNothingToPrintAndTheToolExitsTwo) {
  scpgen::DemoRecordOptions withoutI;
  withoutI.leadCodes = {2, 3};
  scpgen::DemoRecordOptions rhythmOnly;
  rhythmOnly.referenceBeats = false;
  rhythmOnly.decimationFactor = 1;
  std::string noLeadI = Demo(withoutI);
  std::string noBeats = Demo(rhythmOnly);
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"samples", noLeadI},
                                                    {"samples", noLeadI, "--beats"},
                                                    {"samples", noBeats, "--beats"}}) {
    Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments[1];
    EXPECT_TRUE(outcome.out.empty());
    ASSERT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
    EXPECT_NE(outcome.err.find(arguments[1]), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(Lines(Csv({"samples", noBeats}))[0], kTwelveLeads);
}

TEST_F(ScptoolSamples, BadUsageExitsTwoWithOneLineOnStderr) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"samples"},
                                                    {"samples", kDemo, "--rhythm"},
                                                    {"samples", kDemo, kExample},
                                                    {"samples", dir_.File("missing.scp")}}) {
    Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments.back();
    EXPECT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
    EXPECT_TRUE(outcome.out.empty());
  }
}

}  // namespace

namespace {

// With --uv every cell is the value in its lead's units times the lead's nanovolts per unit, as
// microvolts with only the decimals it needs: a rhythm of 1234 nV per unit and beats of 617.
TEST_F(ScptoolSamples, MicrovoltsAreEachValueTimesItsLeadsUnitWithTheDecimalsItNeeds) {
  scpgen::DemoRecordOptions options;
  options.rhythmNanovolts = 1234;
  options.referenceNanovolts = 617;
  const std::string demo = Demo(options);
  for (const char* beats : {"", "--beats"}) {
    std::vector<std::string> plainArguments = {"samples", demo};
    if (*beats != '\0') {
      plainArguments.push_back(beats);
    }
    std::vector<std::string> uvArguments = plainArguments;
    uvArguments.insert(uvArguments.begin() + 1, "--uv");
    const std::vector<std::string> plain = Lines(Csv(plainArguments));
    const std::vector<std::string> microvolts = Lines(Csv(uvArguments));
    ASSERT_EQ(microvolts.size(), plain.size()) << beats;
    EXPECT_EQ(microvolts[0], plain[0]) << beats;
    const int nanovolts = *beats != '\0' ? 617 : 1234;
    for (size_t row = 1; row < plain.size(); ++row) {
      const std::vector<std::string> units = Cells(plain[row]);
      const std::vector<std::string> cells = Cells(microvolts[row]);
      ASSERT_EQ(cells.size(), units.size());
      for (size_t i = 0; i < cells.size(); ++i) {
        const long product = std::stol(units[i]) * nanovolts;
        const std::string digits = std::to_string(std::labs(product) % 1000 + 1000).substr(1);
        std::string expected = (product < 0 ? "-" : "") + std::to_string(std::labs(product) / 1000);
        const std::string decimals = digits.substr(0, digits.find_last_not_of('0') + 1);
        if (product % 1000 != 0) {
          expected += "." + decimals;
        }
        ASSERT_EQ(cells[i], expected) << beats << " row " << row << " column " << i;
      }
    }
  }
}

}  // namespace
