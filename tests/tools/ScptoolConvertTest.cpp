// scptool convert: every format read back by an independent reader (dciodvfy and DCMTK for
// DICOM, BioSig for EDF+ and HL7 annotated ECG) to the samples `scptool samples` prints, batch
// behaviour (a bad input, parallel workers), anonymised outputs searched for identifying texts, and
// scptool anonymize.
#include <gtest/gtest.h>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcitem.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "scp/ScpCheck.h"
#include "scp/ScpFields.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"
#include "tools/scpgen/DemoRecord.h"

namespace {

using scptooltest::Lines;
using scptooltest::Outcome;
using scptooltest::ParseSamples;
using scptooltest::SampleColumns;

using scptooltest::kDemo;
using scptooltest::kExample;
constexpr double kDemoMicrovoltsPerUnit = 5.0;  // the demo's 5000 nV per stored unit
constexpr const char* kTwelveLeadEcgStorage = "1.2.840.10008.5.1.4.1.1.9.1.1";
constexpr const char* kGeneralEcgStorage = "1.2.840.10008.5.1.4.1.1.9.1.2";

std::string Text(const scptest::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Whether text occurs in bytes as a whole word: "Demo" is found in "Demo^Anna", not in the
// format's own "subjectDemographicPerson".
bool ContainsWord(const std::string& bytes, const std::string& text) {
  for (size_t at = bytes.find(text); at != std::string::npos; at = bytes.find(text, at + 1)) {
    const size_t end = at + text.size();
    const bool wordBefore = at > 0 && std::isalnum(static_cast<unsigned char>(bytes[at - 1]));
    const bool wordAfter =
        end < bytes.size() && std::isalnum(static_cast<unsigned char>(bytes[end]));
    if (!wordBefore && !wordAfter) {
      return true;
    }
  }
  return false;
}

// The texts of section 1 longer than two letters that could identify someone.
std::vector<std::string> IdentifyingTexts(const std::string& path) {
  ScpRecordPtr record(ScpReadRecord(path.c_str()));
  std::vector<std::string> texts;
  for (const uint8_t tag : {0, 1, 2, 3, 13, 16, 17, 18, 19, 20, 21, 22, 23, 30, 31}) {
    char text[256] = {};
    if (ScpGetItemText(record.get(), 1, tag, text, sizeof text, nullptr) == kScpOk &&
        std::string(text).size() > 2) {
      texts.push_back(text);
    }
  }
  return texts;
}

// Every section after the patient section, header included, by id.
std::map<int, scptest::Bytes> LaterSections(const std::string& path) {
  ScpRecordCheck* check = nullptr;
  EXPECT_EQ(ScpCheckRecordFile(path.c_str(), &check), kScpOk);
  const ScpCheckPtr owned(check);
  const scptest::Bytes file = scptest::ReadBytes(path);
  std::map<int, scptest::Bytes> sections;
  for (uint32_t i = 0; check != nullptr && i < check->sectionCount; ++i) {
    const ScpSectionCheck& s = check->sections[i];
    if (s.id > 1 && s.inFile) {
      sections[s.id].assign(file.begin() + (s.index - 1),
                            file.begin() + (s.index - 1 + s.headerLength));
    }
  }
  return sections;
}

// One multiplex group of a DICOM waveform, read back with DCMTK.
struct WaveformGroup {
  std::string originality;
  double rateHz = 0;
  std::vector<std::string> labels;
  std::vector<double> sensitivities;
  std::vector<std::vector<int>> channels;
};

struct DicomContent {
  std::string sopClass;
  std::vector<WaveformGroup> groups;
  std::vector<std::string> annotations;
};

DicomContent ReadDicom(const std::string& path) {
  DicomContent content;
  DcmFileFormat file;
  if (file.loadFile(path.c_str()).bad()) {
    ADD_FAILURE() << path << " is not readable DICOM";
    return content;
  }
  DcmDataset* data = file.getDataset();
  OFString text;
  data->findAndGetOFString(DCM_SOPClassUID, text);
  content.sopClass = text.c_str();
  for (long g = 0;; ++g) {
    DcmItem* item = nullptr;
    if (data->findAndGetSequenceItem(DCM_WaveformSequence, item, g).bad()) {
      break;
    }
    WaveformGroup group;
    Uint16 channelCount = 0;
    Uint32 sampleCount = 0;
    item->findAndGetUint16(DCM_NumberOfWaveformChannels, channelCount);
    item->findAndGetUint32(DCM_NumberOfWaveformSamples, sampleCount);
    item->findAndGetOFString(DCM_WaveformOriginality, text);
    group.originality = text.c_str();
    item->findAndGetOFString(DCM_SamplingFrequency, text);
    group.rateHz = std::atof(text.c_str());
    for (long c = 0; c < channelCount; ++c) {
      DcmItem* channel = nullptr;
      item->findAndGetSequenceItem(DCM_ChannelDefinitionSequence, channel, c);
      channel->findAndGetOFString(DCM_ChannelLabel, text);
      group.labels.push_back(text.c_str());
      channel->findAndGetOFString(DCM_ChannelSensitivity, text);
      group.sensitivities.push_back(std::atof(text.c_str()));
    }
    const Uint16* words = nullptr;
    unsigned long wordCount = 0;
    item->findAndGetUint16Array(DCM_WaveformData, words, &wordCount);
    EXPECT_EQ(wordCount, static_cast<unsigned long>(channelCount) * sampleCount);
    group.channels.assign(channelCount, {});
    for (unsigned long i = 0; i < wordCount; ++i) {
      group.channels[i % channelCount].push_back(static_cast<int16_t>(words[i]));
    }
    content.groups.push_back(group);
  }
  for (long a = 0;; ++a) {
    DcmItem* item = nullptr;
    if (data->findAndGetSequenceItem(DCM_WaveformAnnotationSequence, item, a).bad()) {
      break;
    }
    item->findAndGetOFString(DCM_UnformattedTextValue, text);
    content.annotations.push_back(text.c_str());
  }
  return content;
}

// The samples of BioSig's CSV (values in µV with names like "I [uV]"), divided by the unit.
SampleColumns ReadBiosigCsv(const std::string& csv, double microvoltsPerUnit) {
  SampleColumns table;
  std::vector<std::string> lines = Lines(csv);
  if (lines.empty()) {
    return table;
  }
  for (std::string name : scptooltest::Cells(lines[0])) {
    name.erase(std::remove(name.begin(), name.end(), '"'), name.end());
    table.names.push_back(name.substr(0, name.find(' ')));
  }
  for (size_t row = 1; row < lines.size(); ++row) {
    std::vector<std::string> cells = scptooltest::Cells(lines[row]);
    for (size_t i = 0; i < cells.size() && i < table.names.size(); ++i) {
      table.samples[table.names[i]].push_back(
          static_cast<int>(std::lround(std::atof(cells[i].c_str()) / microvoltsPerUnit)));
    }
  }
  return table;
}

class ScptoolConvert : public ::testing::Test {
 protected:
  Outcome Scptool(const std::vector<std::string>& arguments) {
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  // Runs a shell command line and returns its output (stdout and stderr).
  std::string Shell(const std::string& command) {
    const std::string out = dir_.File(".shell");
    std::system((command + " >" + scptooltest::ShellQuote(out) + " 2>&1").c_str());
    return Text(scptest::ReadBytes(out));
  }

  SampleColumns Samples(const std::string& file, bool beats = false) {
    std::vector<std::string> arguments{"samples", file};
    if (beats) {
      arguments.push_back("--beats");
    }
    const Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    return ParseSamples(outcome.out);
  }

  std::string Convert(const std::string& input, const std::string& format,
                      const std::vector<std::string>& extra = {}) {
    std::vector<std::string> arguments{"convert", input, "--to", format, "-o", dir_.Path()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const Outcome outcome = Scptool(arguments);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    std::string name = input.substr(input.find_last_of('/') + 1);
    name.erase(name.find_last_of('.'));
    const std::map<std::string, std::string> extensions{
        {"dicom", ".dcm"}, {"aecg", ".xml"}, {"edf", ".edf"}, {"csv", ".csv"}, {"svg", ".svg"}};
    return dir_.File(name + extensions.at(format));
  }

  std::string DemoVariant(const std::string& name, const scpgen::DemoRecordOptions& options) {
    const std::string path = dir_.File(name);
    EXPECT_EQ(scpgen::WriteDemoRecord(options, path.c_str()), kScpOk);
    return path;
  }

  scptest::TempDir dir_;
};

TEST_F(ScptoolConvert, DicomIsValidAndHoldsEveryLeadsSamplesAtItsUnit) {
  for (const std::string& input : {kDemo, kExample}) {
    SCOPED_TRACE(input);
    const std::string dicom = Convert(input, "dicom");
    for (const std::string& line : Lines(Shell("dciodvfy " + scptooltest::ShellQuote(dicom)))) {
      EXPECT_NE(line.rfind("Error", 0), 0u) << line;
    }
    const DicomContent content = ReadDicom(dicom);
    EXPECT_EQ(content.sopClass, kTwelveLeadEcgStorage);
    ASSERT_GE(content.groups.size(), 1u);
    const WaveformGroup& rhythm = content.groups[0];
    EXPECT_EQ(rhythm.originality, "ORIGINAL");
    const SampleColumns expected = Samples(input);
    ASSERT_EQ(rhythm.labels, expected.names);
    for (size_t c = 0; c < rhythm.labels.size(); ++c) {
      EXPECT_EQ(rhythm.channels[c], expected.samples.at(rhythm.labels[c])) << rhythm.labels[c];
    }
    if (input == kDemo) {
      EXPECT_EQ(rhythm.rateHz, 500.0);
      EXPECT_EQ(rhythm.sensitivities, std::vector<double>(12, kDemoMicrovoltsPerUnit));
      ASSERT_EQ(content.groups.size(), 2u);
      EXPECT_EQ(content.groups[1].originality, "DERIVED");
      const SampleColumns beats = Samples(input, true);
      EXPECT_EQ(content.groups[1].channels[0], beats.samples.at("I"));
      EXPECT_EQ(content.annotations.size(), 6u);
    }
  }
}

TEST_F(ScptoolConvert, DicomOfARhythmLongerThanFifteenSecondsIsAGeneralEcg) {
  scpgen::DemoRecordOptions options;
  options.sampleCount = 10000;  // 20 s at 500 Hz
  const std::string dicom = Convert(DemoVariant("long.scp", options), "dicom");
  for (const std::string& line : Lines(Shell("dciodvfy " + scptooltest::ShellQuote(dicom)))) {
    EXPECT_NE(line.rfind("Error", 0), 0u) << line;
  }
  EXPECT_EQ(ReadDicom(dicom).sopClass, kGeneralEcgStorage);
}

TEST_F(ScptoolConvert, EdfAndAnnotatedEcgReadBackByBiosigToTheSamples) {
  const SampleColumns expected = Samples(kDemo);
  for (const std::string format : {"edf", "aecg"}) {
    SCOPED_TRACE(format);
    const std::string out = Convert(kDemo, format);
    const std::string csv = dir_.File(format + "-biosig.csv");
    Shell("save2gdf -CSV " + scptooltest::ShellQuote(out) + " " + scptooltest::ShellQuote(csv));
    const SampleColumns read = ReadBiosigCsv(Text(scptest::ReadBytes(csv)), kDemoMicrovoltsPerUnit);
    ASSERT_EQ(read.names, expected.names);
    for (const std::string& name : expected.names) {
      const std::vector<int>& got = read.samples.at(name);
      const std::vector<int>& want = expected.samples.at(name);
      ASSERT_EQ(got.size(), want.size()) << name;
      for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_LE(std::abs(got[i] - want[i]), 1) << name << " sample " << i;
      }
    }
  }
}

TEST_F(ScptoolConvert, CsvIsWhatSamplesPrints) {
  const Outcome samples = Scptool({"samples", kExample});
  EXPECT_EQ(Text(scptest::ReadBytes(Convert(kExample, "csv"))), samples.out);
}

TEST_F(ScptoolConvert, SvgIsTheRhythmPageDrawnAsVectors) {
  const std::string svg = Text(scptest::ReadBytes(Convert(kDemo, "svg")));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("<polyline"), std::string::npos);
}

TEST_F(ScptoolConvert, ABadInputIsReportedOnceAndTheOthersStillConvert) {
  const std::string garbage = dir_.File("garbage.scp");
  scptest::WriteBytes(garbage, {'n', 'o', 't', ' ', 'e', 'c', 'g'});
  const std::string missing = dir_.File("missing.scp");
  const Outcome outcome =
      Scptool({"convert", garbage, kDemo, missing, "--to", "dicom", "-o", dir_.Path()});
  EXPECT_EQ(outcome.exitCode, 1);
  const std::vector<std::string> lines = Lines(outcome.err);
  ASSERT_EQ(lines.size(), 2u) << outcome.err;
  EXPECT_EQ(outcome.err.find(garbage) != std::string::npos, true);
  EXPECT_EQ(outcome.err.find(missing) != std::string::npos, true);
  EXPECT_FALSE(scptest::ReadBytes(dir_.File("demo.dcm")).empty());

  // Two inputs of one name would write one output: the second is reported, not converted.
  std::filesystem::create_directory(dir_.File("other"));
  const std::string namesake = dir_.File("other/demo.scp");
  scptest::WriteBytes(namesake, scptest::ReadBytes(kExample));
  const Outcome shared = Scptool({"convert", kDemo, namesake, "--to", "csv", "-o", dir_.Path()});
  EXPECT_EQ(shared.exitCode, 1);
  ASSERT_EQ(Lines(shared.err).size(), 1u) << shared.err;
  EXPECT_EQ(shared.err.find(namesake), std::strlen("scptool: "));
  EXPECT_EQ(Text(scptest::ReadBytes(dir_.File("demo.csv"))), Scptool({"samples", kDemo}).out);

  for (const std::vector<std::string>& usage :
       {std::vector<std::string>{"convert", kDemo},
        std::vector<std::string>{"convert", kDemo, "--to", "gif"},
        std::vector<std::string>{"convert", kDemo, "--to", "edf", "-j", "0"},
        std::vector<std::string>{"convert", kDemo, "--to", "pdf", "--anonymize"}}) {
    EXPECT_EQ(Scptool(usage).exitCode, 2) << usage.back();
  }
}

TEST_F(ScptoolConvert, OutputsAreTheSameWhateverTheNumberOfWorkers) {
  std::vector<std::string> inputs;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    scpgen::DemoRecordOptions options;
    options.seed = seed;
    inputs.push_back(DemoVariant("record" + std::to_string(seed) + ".scp", options));
  }
  for (const std::string format : {"dicom", "edf", "aecg"}) {
    std::vector<std::string> outputs[2];
    for (const int jobs : {1, 3}) {
      const std::string out = dir_.File("j" + std::to_string(jobs) + format);
      std::filesystem::create_directory(out);
      std::vector<std::string> arguments{"convert"};
      arguments.insert(arguments.end(), inputs.begin(), inputs.end());
      arguments.insert(arguments.end(), {"--to", format, "-o", out, "-j", std::to_string(jobs)});
      ASSERT_EQ(Scptool(arguments).exitCode, 0);
      for (const auto& entry : std::filesystem::directory_iterator(out)) {
        outputs[jobs == 1 ? 0 : 1].push_back(Text(scptest::ReadBytes(entry.path().string())));
      }
    }
    std::sort(outputs[0].begin(), outputs[0].end());
    std::sort(outputs[1].begin(), outputs[1].end());
    ASSERT_EQ(outputs[0].size(), inputs.size()) << format;
    EXPECT_TRUE(outputs[0] == outputs[1]) << format;
  }
}

TEST_F(ScptoolConvert, AcquisitionTimeKeepsItsSecondsAndDicomRefusesAnUndatedRecord) {
  scpgen::DemoRecordOptions options;
  options.acquisitionTime = {9, 30, 27};
  const std::string timed = DemoVariant("timed.scp", options);
  DcmFileFormat dicom;
  ASSERT_TRUE(dicom.loadFile(Convert(timed, "dicom").c_str()).good());
  OFString contentTime;
  dicom.getDataset()->findAndGetOFString(DCM_ContentTime, contentTime);
  EXPECT_EQ(contentTime, "093027");
  const std::string aecg = Text(scptest::ReadBytes(Convert(timed, "aecg")));
  EXPECT_NE(aecg.find("\"20240517093027\""), std::string::npos);
  const std::string edf = Text(scptest::ReadBytes(Convert(timed, "edf")));
  EXPECT_EQ(edf.substr(176, 8), "09.30.27");  // the header's start time

  options.dated = false;
  const std::string undated = DemoVariant("undated.scp", options);
  const Outcome refused = Scptool({"convert", undated, "--to", "dicom", "-o", dir_.Path()});
  EXPECT_EQ(refused.exitCode, 1);
  ASSERT_EQ(Lines(refused.err).size(), 1u) << refused.err;
  EXPECT_NE(refused.err.find(undated), std::string::npos);
  EXPECT_NE(refused.err.find("no acquisition date: DICOM requires one"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("undated.dcm")));
}

TEST_F(ScptoolConvert, AnonymisedOutputsHoldNoneOfTheIdentifyingTexts) {
  ScpRecordPtr record(ScpReadRecord(kDemo.c_str()));
  ASSERT_NE(record, nullptr);
  std::vector<std::string> identifying = IdentifyingTexts(kDemo);
  ScpDate birth = {};
  ASSERT_EQ(ScpGetItemDate(record.get(), 1, kScpTagDateOfBirth, &birth), kScpOk);
  char birthText[16];
  std::snprintf(birthText, sizeof birthText, "%04d%02d%02d", birth.year, birth.month, birth.day);
  identifying.push_back(birthText);
  ASSERT_GE(identifying.size(), 4u);

  // The plain DICOM names the patient, so the search below can find what it looks for.
  const std::string plain = Text(scptest::ReadBytes(Convert(kDemo, "dicom")));
  EXPECT_TRUE(ContainsWord(plain, identifying[0])) << identifying[0];
  for (const std::string format : {"dicom", "aecg", "edf", "csv"}) {
    SCOPED_TRACE(format);
    const std::string bytes =
        Text(scptest::ReadBytes(Convert(kDemo, format, {"--anon-id", "STUDY-7"})));
    for (const std::string& text : identifying) {
      EXPECT_FALSE(ContainsWord(bytes, text)) << text;
    }
    if (format != "csv") {
      EXPECT_NE(bytes.find("STUDY-7"), std::string::npos);
    }
  }
}

TEST_F(ScptoolConvert, AnonymizeLeavesNoIdentifyingTextAndCopiesEveryOtherSectionByteForByte) {
  scpgen::DemoRecordOptions cartOptions;
  cartOptions.deviceSerial = "SN-4711-QX";
  const std::string cart = DemoVariant("cart.scp", cartOptions);
  struct Case {
    std::string input;
    std::vector<std::string> kept;  // the device's model and maker
    uint16_t ageYears;              // stored, or reckoned from the two dates
  };
  for (const Case& c : {Case{kExample, {"ELI250", "ECGConversion"}, 49},  // 8 May 1953 to 2002
                        Case{cart, {"CART12", "Acme Carts"}, 54}}) {
    SCOPED_TRACE(c.input);
    const std::string out = dir_.File("anonymous.scp");
    ASSERT_EQ(Scptool({"anonymize", c.input, out, "--anon-id", "STUDY-7"}).exitCode, 0);
    EXPECT_EQ(Scptool({"verify", out}).exitCode, 0);
    const std::string written = Text(scptest::ReadBytes(out));
    std::vector<std::string> hidden = IdentifyingTexts(c.input);
    hidden.push_back(cartOptions.deviceSerial);
    for (const std::string& text : hidden) {
      EXPECT_EQ(written.find(text), std::string::npos) << text;
    }
    for (const std::string& text : c.kept) {
      EXPECT_NE(written.find(text), std::string::npos) << text;
    }
    ScpRecordPtr after(ScpReadRecord(out.c_str()));
    char id[16] = {};
    ScpGetItemText(after.get(), 1, kScpTagPatientId, id, sizeof id, nullptr);
    EXPECT_STREQ(id, "STUDY-7");
    ScpDate birth = {};
    EXPECT_NE(ScpGetItemDate(after.get(), 1, kScpTagDateOfBirth, &birth), kScpOk);
    ScpValueUnit age = {};
    ASSERT_EQ(ScpGetItemValueUnit(after.get(), 1, kScpTagAge, &age), kScpOk);
    EXPECT_EQ(age.value, c.ageYears);
    EXPECT_EQ(age.unit, 1);  // years
    EXPECT_GE(LaterSections(out).size(), 6u);
    EXPECT_EQ(LaterSections(out), LaterSections(c.input));
  }
}

// A manufacturer's own section may hold anything: it is copied, and the copy is pointed out.
TEST_F(ScptoolConvert, AnonymizeSaysWhichSectionsItCopiedWithoutKnowingThem) {
  ScpRecordPtr record(ScpReadRecord(kDemo.c_str()));
  ASSERT_NE(ScpRecordNewSection(record.get(), 200), nullptr);
  const char note[] = "Anna Demo, ward 3";
  ScpAppendFields(record.get(), 200, kScpLayoutBytes, note, sizeof note);
  const std::string vendor = dir_.File("vendor.scp");
  ASSERT_EQ(ScpWriteRecord(record.get(), vendor.c_str()), kScpOk);

  const scptooltest::Outcome plain = Scptool({"anonymize", kDemo, dir_.File("plain.scp")});
  const scptooltest::Outcome outcome = Scptool({"anonymize", vendor, dir_.File("out.scp")});
  EXPECT_EQ(plain.err, "");
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_NE(outcome.err.find("section 200 copied as it was"), std::string::npos) << outcome.err;
}

TEST_F(ScptoolConvert, ARefusedAnonymizeWritesNothing) {
  const std::string copy = dir_.File("copy.scp");
  scptest::WriteBytes(copy, scptest::ReadBytes(kDemo));
  ASSERT_EQ(symlink(copy.c_str(), dir_.File("link.scp").c_str()), 0);
  scptest::Bytes damaged = scptest::ReadBytes(kDemo);
  damaged[damaged.size() - 3] ^= 0x55;  // in the last section: its CRC now disagrees
  scptest::WriteBytes(dir_.File("broken.scp"), damaged);

  const std::string out = dir_.File("out.scp");
  EXPECT_EQ(Scptool({"anonymize", copy, dir_.File("link.scp")}).exitCode, 2);  // OUT is IN
  EXPECT_EQ(Scptool({"anonymize", kDemo, out, "--anon-id", "Zoë-名"}).exitCode, 1);
  EXPECT_EQ(Scptool({"anonymize", dir_.File("broken.scp"), out}).exitCode, 1);
  EXPECT_EQ(Scptool({"anonymize", kDemo, dir_.File("missing/out.scp")}).exitCode, 2);
  EXPECT_TRUE(scptest::ReadBytes(copy) == scptest::ReadBytes(kDemo));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "copy.scp" || name == "link.scp" || name == "broken.scp") << name;
  }
}

}  // namespace
