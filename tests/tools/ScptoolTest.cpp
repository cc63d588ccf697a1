#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using scptooltest::Lines;
using scptooltest::Outcome;

using scptooltest::kExample;

class ScptoolTest : public ::testing::Test {
 protected:
  Outcome Scptool(const std::vector<std::string>& arguments) {
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  // A copy of the example record with one byte of section 3 flipped and one byte appended.
  std::string DamagedExample() {
    scptest::Bytes bytes = scptest::ReadBytes(kExample);
    size_t section3 = scptest::GetU32(bytes, scptest::kPointerBodyOffset + 30 + 6) - 1;
    bytes[section3 + 20] ^= 0x01;
    bytes.push_back(0);
    std::string path = dir_.File("damaged.scp");
    scptest::WriteBytes(path, bytes);
    return path;
  }

  scptest::TempDir dir_;
};

TEST_F(ScptoolTest, HelpListsEveryCommandAndVersionNamesTheTool) {
  Outcome help = Scptool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command :
       {"info FILE [--json]", "verify FILE", "rewrite IN OUT", "samples FILE [--beats]"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
  // A head wider than its column leaves the summary to start the next line, in its column.
  for (const char* summary : {"write each record as dicom", "write IN to OUT without"}) {
    EXPECT_NE(help.out.find("\n" + std::string(26, ' ') + summary), std::string::npos) << summary;
  }
  Outcome version = Scptool({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("scptool ", 0), 0u);
}

TEST_F(ScptoolTest, BadUsageExitsTwoWithOneLineOnStderr) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"frobnicate"},
                                                    {"verify"},
                                                    {"rewrite", kExample},
                                                    {"info", kExample, "--xml"}}) {
    Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments[0];
    EXPECT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
    EXPECT_TRUE(outcome.out.empty());
  }
  EXPECT_EQ(Scptool({}).exitCode, 2);
}

TEST_F(ScptoolTest, VerifyAcceptsTheExampleRecord) {
  Outcome outcome = Scptool({"verify", kExample});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
  EXPECT_TRUE(outcome.err.empty());
}

TEST_F(ScptoolTest, VerifyPrintsOneLinePerMismatchAndExitsOne) {
  std::string damaged = DamagedExample();
  Outcome outcome = Scptool({"verify", damaged});
  EXPECT_EQ(outcome.exitCode, 1);
  std::vector<std::string> lines = Lines(outcome.out);
  ASSERT_EQ(lines.size(), 3u) << outcome.out;
  EXPECT_NE(lines[0].find("record CRC"), std::string::npos);
  EXPECT_NE(lines[1].find("record length field 34144, file size 34145"), std::string::npos);
  EXPECT_NE(lines[2].find("section 3 "), std::string::npos);
  EXPECT_NE(lines[2].find("CRC"), std::string::npos);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.rfind(damaged + ": ", 0), 0u) << line;
  }
}

TEST_F(ScptoolTest, UnreadableInputExitsTwoWithALineNamingTheFile) {
  std::string truncated = dir_.File("truncated.scp");
  scptest::Bytes bytes = scptest::ReadBytes(kExample);
  bytes.resize(1000);
  scptest::WriteBytes(truncated, bytes);
  std::string missing = dir_.File("missing.scp");
  for (const std::string& file : {truncated, missing}) {
    for (const char* command : {"info", "verify"}) {
      Outcome outcome = Scptool({command, file});
      EXPECT_EQ(outcome.exitCode, 2) << command << " " << file;
      ASSERT_EQ(Lines(outcome.err).size(), 1u) << outcome.err;
      EXPECT_NE(outcome.err.find(file), std::string::npos);
    }
  }
}

TEST_F(ScptoolTest, InfoJsonListsSectionsAsStoredAndEveryChecksum) {
  Outcome outcome = Scptool({"info", kExample, "--json"});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("\"sections\":[{\"id\":1,\"length\":152},{\"id\":2,\"length\":2},"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("\"crc\":{\"record\":{\"stored\":1643,\"computed\":1643,\"ok\":true}"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("{\"id\":0,\"stored\":21978,\"computed\":21978,\"ok\":true}"),
            std::string::npos)
      << outcome.out;
}

TEST_F(ScptoolTest, InfoShowsMismatchesButStillSucceeds) {
  Outcome text = Scptool({"info", DamagedExample()});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("MISMATCH"), std::string::npos);
  Outcome json = Scptool({"info", DamagedExample(), "--json"});
  EXPECT_NE(json.out.find("{\"id\":3,"), std::string::npos);
  EXPECT_NE(json.out.find("\"ok\":false"), std::string::npos);
}

TEST_F(ScptoolTest, RewriteGivesAFileThatVerifiesAndRewritesToTheSameBytes) {
  std::string first = dir_.File("first.scp");
  std::string second = dir_.File("second.scp");
  ASSERT_EQ(Scptool({"rewrite", kExample, first}).exitCode, 0);
  EXPECT_EQ(Scptool({"verify", first}).exitCode, 0);
  ASSERT_EQ(Scptool({"rewrite", first, second}).exitCode, 0);
  EXPECT_EQ(scptest::ReadBytes(first), scptest::ReadBytes(second));
}

TEST_F(ScptoolTest, RewriteToAnUnwritablePlaceExitsTwoNamingTheOutput) {
  std::string out = dir_.File("no/such/dir/out.scp");
  Outcome outcome = Scptool({"rewrite", kExample, out});
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find(out), std::string::npos) << outcome.err;
}

}  // namespace
