// Version-3 records keep their rhythm uncompressed in section 12. BioSig's writer makes one from
// the example record at test time: scptool must print the samples BioSig wrote into it (checked
// against BioSig's own EDF of the example), and a save must keep the record's sections and
// version numbers. Sections 12 that do not fit the layout are refused, naming the section.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "scp/ScpRawRhythm.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpCodecTestRecords.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using scptooltest::kExample;
constexpr double kToleranceMicrovolts = 2.5;

bool Save2gdfInstalled() {
  return std::system("command -v save2gdf >/dev/null 2>&1") == 0;
}

// The channel labels of save2gdf's ASCII header file `base`, in channel order.
std::vector<std::string> ChannelLabels(const std::string& base) {
  std::vector<std::string> labels;
  std::ifstream header(base);
  std::string line;
  while (std::getline(header, line)) {
    if (line.rfind("Label", 0) == 0) {
      const size_t start = line.find_first_not_of(" \t", line.find('=') + 1);
      const size_t end = line.find_last_not_of(" \t\r");
      labels.push_back(start == std::string::npos ? "" : line.substr(start, end + 1 - start));
    }
  }
  return labels;
}

std::vector<double> ChannelMicrovolts(const std::string& path) {
  std::vector<double> values;
  std::ifstream in(path);
  double value = 0.0;
  while (in >> value) {
    values.push_back(value);
  }
  return values;
}

// scptool's --uv CSV, lead by lead, in microvolts.
std::map<std::string, std::vector<double>> ParseMicrovolts(const std::string& csv) {
  const std::vector<std::string> lines = scptooltest::Lines(csv);
  std::map<std::string, std::vector<double>> leads;
  if (lines.empty()) {
    return leads;
  }
  const std::vector<std::string> names = scptooltest::Cells(lines[0]);
  for (size_t row = 1; row < lines.size(); ++row) {
    const std::vector<std::string> cells = scptooltest::Cells(lines[row]);
    for (size_t i = 0; i < cells.size() && i < names.size(); ++i) {
      if (!cells[i].empty()) {
        leads[names[i]].push_back(std::stod(cells[i]));
      }
    }
  }
  return leads;
}

class Version3Record : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Save2gdfInstalled()) {
      GTEST_SKIP() << "save2gdf (Debian package biosig-tools) is not installed: no version-3 "
                      "record can be made";
    }
    record_ = dir_.File("example3.scp");
    const scptooltest::Outcome made =
        scptooltest::Run(dir_, "save2gdf", {"-f=SCP3", kExample, record_});
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }

  scptest::TempDir dir_;
  std::string record_;
};

TEST_F(Version3Record, SamplesInMicrovoltsAreTheOnesBiosigWroteIntoIt) {
  // BioSig's EDF of the example, read back by BioSig as microvolts per channel.
  const std::string edf = dir_.File("example.edf");
  ASSERT_EQ(scptooltest::Run(dir_, "save2gdf", {"-f=EDF", kExample, edf}).exitCode, 0);
  const scptooltest::Outcome peer =
      scptooltest::Run(dir_, "save2gdf", {"-f=ASCII", edf, dir_.File("peer")});
  ASSERT_EQ(peer.exitCode, 0) << peer.err;

  const scptooltest::Outcome csv =
      scptooltest::Run(dir_, QUILLON_SCPTOOL, {"samples", record_, "--uv"});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  const std::map<std::string, std::vector<double>> ours = ParseMicrovolts(csv.out);
  ASSERT_EQ(ours.size(), 12u);

  const std::vector<std::string> labels = ChannelLabels(dir_.File("peer"));
  ASSERT_EQ(labels.size(), 12u);
  for (size_t channel = 0; channel < labels.size(); ++channel) {
    const std::string number = std::to_string(channel + 1);
    const std::vector<double> expected =
        ChannelMicrovolts(dir_.File("peer.a" + std::string(number.size() < 2 ? "0" : "") + number));
    const std::vector<double>& actual = ours.at(labels[channel]);
    ASSERT_EQ(actual.size(), 5000u) << labels[channel];
    ASSERT_GE(expected.size(), actual.size()) << labels[channel];
    double worst = 0.0;
    for (size_t i = 0; i < actual.size(); ++i) {
      worst = std::max(worst, std::fabs(actual[i] - expected[i]));
    }
    EXPECT_LE(worst, kToleranceMicrovolts) << labels[channel];
  }
}

TEST_F(Version3Record, SavingKeepsItsSectionsAndVersionNumbers) {
  const ScpRecordPtr original(ScpReadRecord(record_.c_str()));
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(ScpRecordSectionVersion(original.get(), kScpRawRhythmSection), kScpVersion3Draft);
  const std::string saved = dir_.File("saved.scp");
  ASSERT_EQ(ScpWriteRecord(original.get(), saved.c_str()), kScpOk);
  const ScpRecordPtr reread(ScpReadRecord(saved.c_str()));
  ASSERT_NE(reread, nullptr);

  const auto before = codectest::SectionsOf(original.get());
  const auto after = codectest::SectionsOf(reread.get());
  EXPECT_EQ(after, before);
  for (uint16_t i = 0; i < ScpRecordSectionCount(reread.get()); ++i) {
    for (uint32_t b = 0; b < kScpHeaderTrailerSize; ++b) {
      EXPECT_EQ(reread->entries[i].headerTrailer[b], original->entries[i].headerTrailer[b])
          << "section " << ScpRecordIdAt(reread.get(), i) << " header byte " << 8 + b;
    }
  }
  for (uint32_t b = 0; b < kScpHeaderTrailerSize; ++b) {
    EXPECT_EQ(reread->pointerTrailer[b], original->pointerTrailer[b]) << "pointer byte " << 8 + b;
  }
  const scptooltest::Outcome first = scptooltest::Run(dir_, QUILLON_SCPTOOL, {"samples", record_});
  const scptooltest::Outcome second = scptooltest::Run(dir_, QUILLON_SCPTOOL, {"samples", saved});
  EXPECT_EQ(second.out, first.out);
}

// A section 12 of two leads (codes 1 and 2) of three 2-byte samples, at 500 Hz, 2500 nV per unit.
codectest::Bytes RawSection(uint8_t bytesPerSample = 2, uint32_t rate = 500) {
  codectest::Bytes body;
  codectest::AddU32(body, rate);
  codectest::AddU8(body, 2);   // leads
  codectest::AddU32(body, 3);  // samples per lead
  codectest::AddU8(body, bytesPerSample);
  body.resize(70, 0);  // date, time and reserved bytes
  for (uint8_t code : {1, 2}) {
    codectest::AddU8(body, code);
    codectest::AddU16(body, 2500);
    codectest::AddU8(body, 0);
  }
  for (int32_t value : {10, -20, 11, -21, 12, -22}) {  // interleaved: I, II, I, II, ...
    for (uint8_t byte = 0; byte < bytesPerSample; ++byte) {
      // Sign-extended to 64 bits, so a sample wider than four bytes shifts within range.
      codectest::AddU8(body,
                       static_cast<uint8_t>(static_cast<uint64_t>(int64_t{value}) >> (8 * byte)));
    }
  }
  return body;
}

ScpRecordPtr WithRawSection(const codectest::Bytes& body, uint8_t version) {
  ScpRecordPtr record = codectest::MakeRecord({{kScpRawRhythmSection, body}});
  record->entries[0].headerTrailer[0] = version;
  return record;
}

TEST(RawRhythmSection, LeadsAreReadInterleavedInTheirUnits) {
  for (uint8_t version : {kScpVersion3Draft, kScpVersion3}) {
    const ScpRecordPtr record = WithRawSection(RawSection(), version);
    ScpRhythmSignal lead{};
    ASSERT_EQ(ScpDecodeRhythm(record.get(), 2, &lead, nullptr), kScpOk);
    EXPECT_EQ(std::vector<int16_t>(lead.samples, lead.samples + lead.sampleCount),
              (std::vector<int16_t>{-20, -21, -22}));
    EXPECT_EQ(lead.amplitudeMultiplier, 2500);
    EXPECT_EQ(lead.sampleInterval, 2000);
    EXPECT_EQ(lead.ordinal, 1);
    ScpFreeRhythm(&lead);
  }
}

TEST(RawRhythmSection, SectionsNotFittingTheLayoutAreRefusedNamingTheSection) {
  codectest::Bytes longer = RawSection();
  longer.push_back(0);
  codectest::Bytes wideUnit = RawSection();
  wideUnit[70 + 3] = 1;  // lead 1's reserved byte
  codectest::Bytes wideSample = RawSection(4);
  wideSample[70 + 8 + 2] = 1;  // lead I's first sample becomes 65546
  const struct {
    const char* name;
    ScpRecordPtr record;
    ScpRawRhythmFault fault;
  } cases[] = {
      {"version 20", WithRawSection(RawSection(), 20), ScpRawRhythmFault::kVersion},
      {"one byte too many", WithRawSection(longer, 29), ScpRawRhythmFault::kSize},
      {"header cut", WithRawSection(codectest::Bytes(40, 0), 29), ScpRawRhythmFault::kShort},
      {"5 bytes per sample", WithRawSection(RawSection(5), 29), ScpRawRhythmFault::kBytesPerSample},
      {"300 Hz", WithRawSection(RawSection(2, 300), 29), ScpRawRhythmFault::kSampleRate},
      {"lead unit beyond 16 bits", WithRawSection(wideUnit, 29), ScpRawRhythmFault::kLeadUnit},
      {"sample beyond 16 bits", WithRawSection(wideSample, 29), ScpRawRhythmFault::kValueRange},
  };
  for (const auto& c : cases) {
    ScpRawRhythmHeader header{};
    ScpRawRhythmFault fault = ScpRawRhythmFault::kNone;
    const ScpStatus status = ScpGetRawRhythmHeader(c.record.get(), &header, &fault);
    ScpRhythmSignal lead{};
    EXPECT_TRUE(ScpStatusIs(ScpDecodeRhythm(c.record.get(), 1, &lead, nullptr), kScpErrRawRhythm))
        << c.name;
    EXPECT_EQ(lead.samples, nullptr) << c.name;
    if (c.fault == ScpRawRhythmFault::kValueRange) {
      EXPECT_EQ(status, kScpOk) << c.name;  // the layout fits; a value does not
      continue;
    }
    EXPECT_EQ(fault, c.fault) << c.name;
    char text[160];
    ScpRawRhythmFaultText(fault, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("section 12: ", 0), 0u) << text;
  }
}

}  // namespace
