// BioSig's save2gdf, an independent SCP-ECG reader, must find the same samples in our rewrite of
// the example record as in the original: a peer agreeing with our writer.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"

namespace {

const std::string kExample = std::string(QUILLON_SHARED_SAMPLES_DIR) + "/Example.scp";

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
  if (std::system("command -v save2gdf >/dev/null 2>&1") != 0) {
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

}  // namespace
