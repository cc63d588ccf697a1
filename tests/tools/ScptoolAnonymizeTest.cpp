// scptool anonymize: no identifying text of the input is left anywhere in the output, the age
// outlives the birth date, every other section is copied byte for byte, and a refused or failed
// run writes nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "scp/ScpCheck.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpSections.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using scptooltest::Outcome;

const std::string kExample = std::string(QUILLON_SHARED_SAMPLES_DIR) + "/Example.scp";
const std::string kDemo = std::string(QUILLON_SAMPLES_DIR) + "/demo.scp";

// Every section of the file but the pointer and patient sections, header included, by id.
std::map<uint16_t, scptest::Bytes> OtherSections(const std::string& path) {
  ScpRecordCheck* check = nullptr;
  EXPECT_EQ(ScpCheckRecordFile(path.c_str(), &check), kScpOk);
  const ScpCheckPtr owned(check);
  const scptest::Bytes file = scptest::ReadBytes(path);
  std::map<uint16_t, scptest::Bytes> sections;
  for (uint32_t i = 0; check != nullptr && i < check->sectionCount; ++i) {
    const ScpSectionCheck& s = check->sections[i];
    if (s.id > kScpPatientSection && s.inFile) {
      sections[s.id].assign(file.begin() + (s.index - 1),
                            file.begin() + (s.index - 1 + s.headerLength));
    }
  }
  return sections;
}

// The texts of section 1 a reader could identify someone by, longer than two letters.
std::vector<std::string> IdentifyingTexts(const ScpRecord* record) {
  std::vector<std::string> texts;
  for (const uint8_t tag : {0, 1, 2, 3, 13, 16, 17, 18, 19, 20, 21, 22, 23, 30, 31, 35}) {
    char text[256] = {};
    if (ScpGetItemText(record, kScpPatientSection, tag, text, sizeof text, nullptr) == kScpOk &&
        std::strlen(text) > 2) {
      texts.push_back(text);
    }
  }
  return texts;
}

class ScptoolAnonymize : public ::testing::Test {
 protected:
  Outcome Scptool(const std::vector<std::string>& arguments) {
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  // The demo record with a device identification whose serial number is set, and a medical
  // history text: what a cart adds that the demo lacks.
  std::string DemoWithDevice() {
    ScpRecordPtr record(ScpReadRecord(kDemo.c_str()));
    std::vector<uint8_t> device(kScpDeviceFirstTextOffset, 0);
    device[0] = 7;   // institution number
    device[4] = 42;  // device number
    std::memcpy(&device[8], "CART12", 6);
    for (const std::string text : {"1.2", "SN-4711-QX", "SYS-9", "IMPL-3", "Maker"}) {
      device.insert(device.end(), text.begin(), text.end());
      device.push_back(0);
    }
    // Rebuild section 1 as stored, then the two extra items and the terminator.
    const int32_t at = ScpRecordFindSection(record.get(), kScpPatientSection);
    std::vector<uint8_t> body(record->entries[at].length);
    ScpGetFields(record.get(), kScpPatientSection, kScpLayoutBytes, body.data(), 0,
                 static_cast<uint32_t>(body.size()));
    body.resize(body.size() - kScpItemHeadSize);  // the terminator
    ScpRecordRemoveSection(record.get(), kScpPatientSection);
    ScpRecordNewSection(record.get(), kScpPatientSection);
    ScpAppendFields(record.get(), kScpPatientSection, kScpLayoutBytes, body.data(),
                    static_cast<uint32_t>(body.size()));
    ScpAddItem(record.get(), kScpPatientSection, kScpTagAcquiringDevice, kScpLayoutBytes,
               device.data(), static_cast<uint16_t>(device.size()));
    ScpAddItemText(record.get(), kScpPatientSection, kScpTagMedicalHistoryText, "Sister Olga");
    ScpAddItemEnd(record.get(), kScpPatientSection);
    const std::string path = dir_.File("device.scp");
    EXPECT_EQ(ScpWriteRecord(record.get(), path.c_str()), kScpOk);
    return path;
  }

  scptest::TempDir dir_;
};

TEST_F(ScptoolAnonymize, NoIdentifyingTextIsLeftAndEveryOtherSectionIsCopiedByteForByte) {
  struct Case {
    std::string input;
    std::vector<std::string> alsoHidden;  // identifying texts outside the tags listed above
    std::vector<std::string> kept;        // the device's model and maker texts
    ScpValueUnit age;                     // stored, or reckoned from the two dates
  };
  const Case cases[] = {
      {kDemo, {}, {}, {54, 1}},
      {kExample, {}, {"ELI250", "ECGConversion"}, {49, 1}},  // born 8 May 1953, taken 22 Nov 2002
      {DemoWithDevice(), {"SN-4711-QX"}, {"CART12", "IMPL-3", "Maker"}, {54, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const std::string out = dir_.File("anonymous.scp");
    const Outcome run = Scptool({"anonymize", c.input, out, "--anon-id", "STUDY-7"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Scptool({"verify", out}).exitCode, 0);

    ScpRecordPtr before(ScpReadRecord(c.input.c_str()));
    std::vector<std::string> hidden = IdentifyingTexts(before.get());
    hidden.insert(hidden.end(), c.alsoHidden.begin(), c.alsoHidden.end());
    ASSERT_GE(hidden.size(), 2u);
    const scptest::Bytes bytes = scptest::ReadBytes(out);
    const std::string text(bytes.begin(), bytes.end());
    for (const std::string& identifying : hidden) {
      EXPECT_EQ(text.find(identifying), std::string::npos) << identifying;
    }
    for (const std::string& kept : c.kept) {
      EXPECT_NE(text.find(kept), std::string::npos) << kept;
    }

    ScpRecordPtr after(ScpReadRecord(out.c_str()));
    char id[32] = {};
    ScpGetItemText(after.get(), kScpPatientSection, kScpTagPatientId, id, sizeof id, nullptr);
    EXPECT_STREQ(id, "STUDY-7");
    ScpDate birth = {};
    EXPECT_NE(ScpGetItemDate(after.get(), kScpPatientSection, kScpTagDateOfBirth, &birth), kScpOk);
    ScpValueUnit age = {};
    ASSERT_EQ(ScpGetItemValueUnit(after.get(), kScpPatientSection, kScpTagAge, &age), kScpOk);
    EXPECT_EQ(age.value, c.age.value);
    EXPECT_EQ(age.unit, c.age.unit);
    uint8_t sex = 0;
    EXPECT_EQ(ScpGetItemByte(after.get(), kScpPatientSection, kScpTagSex, &sex), kScpOk);

    EXPECT_TRUE(OtherSections(c.input) == OtherSections(out));
    EXPECT_EQ(OtherSections(out).size(), OtherSections(c.input).size());
  }
}

TEST_F(ScptoolAnonymize, ARefusedOrFailedRunWritesNothing) {
  const std::string copy = dir_.File("copy.scp");
  scptest::WriteBytes(copy, scptest::ReadBytes(kDemo));
  const std::string link = dir_.File("link.scp");
  ASSERT_EQ(symlink(copy.c_str(), link.c_str()), 0);
  EXPECT_EQ(Scptool({"anonymize", copy, link}).exitCode, 2);
  EXPECT_EQ(Scptool({"anonymize", copy, copy}).exitCode, 2);
  EXPECT_TRUE(scptest::ReadBytes(copy) == scptest::ReadBytes(kDemo));

  const std::string out = dir_.File("out.scp");
  const Outcome foreign = Scptool({"anonymize", kDemo, out, "--anon-id", "Zoë-名"});
  EXPECT_EQ(foreign.exitCode, 1);
  EXPECT_NE(foreign.err.find("Latin-1"), std::string::npos) << foreign.err;

  scptest::Bytes damaged = scptest::ReadBytes(kDemo);
  damaged[damaged.size() - 3] ^= 0x55;  // inside the last section: its CRC now disagrees
  const std::string broken = dir_.File("broken.scp");
  scptest::WriteBytes(broken, damaged);
  const Outcome refused = Scptool({"anonymize", broken, out});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("not anonymised"), std::string::npos) << refused.err;

  EXPECT_EQ(Scptool({"anonymize", kDemo, dir_.File("missing/out.scp")}).exitCode, 2);
  // No output and no temporary file: only the inputs are left.
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "copy.scp" || name == "link.scp" || name == "broken.scp") << name;
  }
}

}  // namespace
