// Compares the decoded rhythm of the shared example record with what BioSig's save2gdf reads
// from the same file, sample for sample.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "scp/ScpDecode.h"
#include "scp/ScpHandles.h"
#include "scp/ScpLeadNames.h"
#include "scp/ScpLeads.h"
#include "tests/scp/ScpCodecTestRecords.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

using codectest::ReadExample;

constexpr double kMicrovoltsPerUnit = 2.5;  // the example's 2500 nV per sample unit

bool Save2gdfInstalled() {
  return std::system("command -v save2gdf >/dev/null 2>&1") == 0;
}

// One channel of save2gdf's ASCII output: its label from the header file and its samples in
// microvolts, one per line in the channel's own file.
struct PeerChannel {
  std::string label;
  std::vector<double> microvolts;
};

std::vector<std::string> HeaderLabels(const std::string& headerPath) {
  std::vector<std::string> labels;
  std::ifstream header(headerPath);
  std::string line;
  while (std::getline(header, line)) {
    if (line.rfind("Label", 0) == 0) {
      const size_t equals = line.find('=');
      std::string label = equals == std::string::npos ? "" : line.substr(equals + 1);
      label.erase(0, label.find_first_not_of(" \t"));
      label.erase(label.find_last_not_of(" \t\r") + 1);
      labels.push_back(label);
    }
  }
  return labels;
}

// Runs save2gdf on the example into `dir` and reads the channels back; empty when it fails.
std::vector<PeerChannel> ReadWithSave2gdf(const scptest::TempDir& dir) {
  const std::string command = "save2gdf -f=ASCII '" + codectest::ExamplePath() + "' '" +
                              dir.File("peer") + "' >'" + dir.File("log") + "' 2>&1";
  if (std::system(command.c_str()) != 0) {
    return {};
  }
  std::vector<PeerChannel> channels;
  const std::vector<std::string> labels = HeaderLabels(dir.File("peer"));
  for (size_t channel = 0; channel < labels.size(); ++channel) {
    const std::string number = std::to_string(channel + 1);
    std::ifstream samples(dir.File("peer") + ".a" + (channel < 9 ? "0" : "") + number);
    PeerChannel peer{labels[channel], {}};
    double value = 0;
    while (samples >> value) {
      peer.microvolts.push_back(value);
    }
    channels.push_back(peer);
  }
  return channels;
}

class ScpBiosigPeer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Save2gdfInstalled()) {
      GTEST_SKIP() << "save2gdf (Debian package biosig-tools) is not installed; "
                      "the comparison with BioSig is skipped";
    }
    record_ = ReadExample();
    ASSERT_NE(record_, nullptr);
    peer_ = ReadWithSave2gdf(dir_);
    ASSERT_EQ(peer_.size(), 12u) << "save2gdf did not write twelve channels";
  }

  // The lead code of section 3's entry at `ordinal`.
  uint8_t LeadCodeAt(uint16_t ordinal) {
    ScpLeadEntry entry{};
    EXPECT_EQ(ScpGetLeadEntry(record_.get(), ordinal, &entry), kScpOk);
    return entry.leadCode;
  }

  scptest::TempDir dir_;
  ScpRecordPtr record_;
  std::vector<PeerChannel> peer_;
};

TEST_F(ScpBiosigPeer, RhythmWithoutReferenceBeatEqualsBiosigInEveryStoredLead) {
  for (size_t ordinal = 0; ordinal < peer_.size(); ++ordinal) {
    const uint8_t code = LeadCodeAt(static_cast<uint16_t>(ordinal));
    ASSERT_STREQ(ScpLeadName(code), peer_[ordinal].label.c_str()) << "channel " << ordinal + 1;
    ScpRhythmSignal rhythm{};
    ScpRhythmSamplesPtr rhythmSamples(&rhythm);
    ASSERT_EQ(ScpDecodeRhythm(record_.get(), code, &rhythm, nullptr), kScpOk);
    ASSERT_EQ(static_cast<size_t>(rhythm.sampleCount), peer_[ordinal].microvolts.size());
    EXPECT_EQ(rhythm.amplitudeMultiplier, 2500);
    double maxDifference = 0;
    for (int32_t i = 0; i < rhythm.sampleCount; ++i) {
      const double peerUnits = peer_[ordinal].microvolts[i] / kMicrovoltsPerUnit;
      maxDifference = std::max(maxDifference, std::fabs(rhythm.samples[i] - peerUnits));
    }
    EXPECT_EQ(maxDifference, 0.0) << "lead " << ScpLeadName(code);
  }
}

TEST_F(ScpBiosigPeer, RhythmWithReferenceBeatIsBiosigsSignalSmoothed) {
  for (size_t ordinal = 0; ordinal < peer_.size(); ++ordinal) {
    const uint8_t code = LeadCodeAt(static_cast<uint16_t>(ordinal));
    ScpReferenceBeat beat{};
    ScpBeatSamplesPtr beatSamples(&beat);
    ASSERT_EQ(ScpDecodeReferenceBeat(record_.get(), code, &beat), kScpOk);
    ScpRhythmSignal rhythm{};
    ScpRhythmSamplesPtr rhythmSamples(&rhythm);
    ASSERT_EQ(ScpDecodeRhythm(record_.get(), code, &rhythm, &beat), kScpOk);
    EXPECT_EQ(rhythm.zoneCount, 0);  // the example's QRS section lists no complexes

    const std::vector<double>& peer = peer_[ordinal].microvolts;
    ASSERT_EQ(static_cast<size_t>(rhythm.sampleCount), peer.size());
    std::vector<int32_t> units(peer.size());
    for (size_t i = 0; i < peer.size(); ++i) {
      units[i] = static_cast<int32_t>(std::lround(peer[i] / kMicrovoltsPerUnit));
    }
    // Same multipliers in both sections, so the rescaling round trip is exact and only the
    // 3-point smoothing of the whole lead remains.
    EXPECT_EQ(rhythm.samples[0], units[0]);
    EXPECT_EQ(rhythm.samples[peer.size() - 1], units[peer.size() - 1]);
    int mismatches = 0;
    for (size_t i = 1; i + 1 < peer.size(); ++i) {
      const int32_t smoothed = (units[i - 1] + units[i] + units[i + 1] + 1) / 3;
      mismatches += rhythm.samples[i] != smoothed ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0) << "lead " << ScpLeadName(code);
  }
}

}  // namespace
