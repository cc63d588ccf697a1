// BioSig's save2gdf, an independent SCP-ECG reader, must find the same samples in our rewrite of
// the example record as in the original, a peer agreeing with our writer; and the samples scptool
// prints must be the ones BioSig reads, lead by lead.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using scptooltest::kExample;
constexpr double kExampleMicrovoltsPerUnit = 2.5;  // the example's 2500 nV per sample unit

bool Save2gdfInstalled() {
  return std::system("command -v save2gdf >/dev/null 2>&1") == 0;
}

// The channel files save2gdf writes beside `base` (base.a01, base.a02, ...), by suffix.
std::map<std::string, scptest::Bytes> ChannelFiles(const scptest::TempDir& dir,
                                                   const std::string& base) {
  std::map<std::string, scptest::Bytes> channels;
  for (const std::string& name : dir.Entries()) {
    if (name.rfind(base + ".a", 0) == 0) {
      channels[name.substr(base.size())] = scptest::ReadBytes(dir.File(name));
    }
  }
  return channels;
}

TEST(ScptoolBiosig, BiosigReadsTheSameSamplesFromTheRewriteAsFromTheOriginal) {
  if (!Save2gdfInstalled()) {
    GTEST_SKIP() << "save2gdf (Debian package biosig-tools) is not installed";
  }
  scptest::TempDir dir;
  std::string copy = dir.File("copy.scp");
  ASSERT_EQ(scptooltest::Run(dir, QUILLON_SCPTOOL, {"rewrite", kExample, copy}).exitCode, 0);

  scptooltest::Outcome original =
      scptooltest::Run(dir, "save2gdf", {"-f=ASCII", kExample, dir.File("original")});
  ASSERT_EQ(original.exitCode, 0) << original.err;
  scptooltest::Outcome rewritten =
      scptooltest::Run(dir, "save2gdf", {"-f=ASCII", copy, dir.File("rewritten")});
  ASSERT_EQ(rewritten.exitCode, 0) << rewritten.err;

  std::map<std::string, scptest::Bytes> expected = ChannelFiles(dir, "original");
  std::map<std::string, scptest::Bytes> actual = ChannelFiles(dir, "rewritten");
  ASSERT_EQ(expected.size(), 12u) << "one file per lead of the example record";
  ASSERT_EQ(actual.size(), expected.size());
  for (const auto& [suffix, samples] : expected) {
    EXPECT_GT(samples.size(), 5000u) << suffix;
    EXPECT_TRUE(actual[suffix] == samples) << "channel " << suffix << " differs";
  }
}

// The channel labels save2gdf writes into its header file `base`, in channel order.
std::vector<std::string> ChannelLabels(const std::string& base) {
  std::vector<std::string> labels;
  std::ifstream header(base);
  std::string line;
  while (std::getline(header, line)) {
    if (line.rfind("Label", 0) == 0) {
      size_t start = line.find_first_not_of(" \t", line.find('=') + 1);
      size_t end = line.find_last_not_of(" \t\r");
      labels.push_back(start == std::string::npos ? "" : line.substr(start, end + 1 - start));
    }
  }
  return labels;
}

// save2gdf's samples of one channel file, in microvolts, as whole units of the example.
std::vector<int> ExampleUnits(const std::string& path) {
  std::vector<int> units;
  std::ifstream in(path);
  double microvolts = 0.0;
  while (in >> microvolts) {
    units.push_back(static_cast<int>(std::lround(microvolts / kExampleMicrovoltsPerUnit)));
  }
  return units;
}

// The example has reference beats but no QRS complexes, so the document takes each stored lead's
// rhythm as BioSig reads it and smooths all of it (the first and last sample stay).
TEST(ScptoolBiosig, SamplesOfEveryDecodedLeadAreBiosigsSignalSmoothed) {
  if (!Save2gdfInstalled()) {
    GTEST_SKIP() << "save2gdf (Debian package biosig-tools) is not installed";
  }
  scptest::TempDir dir;
  scptooltest::Outcome peer =
      scptooltest::Run(dir, "save2gdf", {"-f=ASCII", kExample, dir.File("peer")});
  ASSERT_EQ(peer.exitCode, 0) << peer.err;
  scptooltest::Outcome csv = scptooltest::Run(dir, QUILLON_SCPTOOL, {"samples", kExample});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  scptooltest::SampleColumns ours = scptooltest::ParseSamples(csv.out);

  const std::vector<std::string> labels = ChannelLabels(dir.File("peer"));
  int compared = 0;
  for (size_t channel = 0; channel < labels.size(); ++channel) {
    const std::string& lead = labels[channel];
    if (lead == "III" || lead == "aVR" || lead == "aVL" || lead == "aVF") {
      continue;  // stored in the example, but the document derives them from I and II
    }
    const std::string number = std::to_string(channel + 1);
    const std::vector<int> units =
        ExampleUnits(dir.File("peer.a" + std::string(number.size() < 2 ? "0" : "") + number));
    const std::vector<int>& samples = ours.samples[lead];
    ASSERT_EQ(samples.size(), units.size()) << lead;
    ASSERT_GE(units.size(), 3u) << lead;
    EXPECT_EQ(samples.front(), units.front()) << lead;
    EXPECT_EQ(samples.back(), units.back()) << lead;
    int mismatches = 0;
    for (size_t i = 1; i + 1 < units.size(); ++i) {
      mismatches += samples[i] != (units[i - 1] + units[i] + units[i + 1] + 1) / 3 ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0) << lead;
    ++compared;
  }
  EXPECT_EQ(compared, 8) << "I, II and V1 to V6";
}

}  // namespace
