// scptool info on the signal and measurement sections: the lead table, the signal headers, the
// QRS complexes and both measurement sections, in text and JSON, for whole, partial and damaged
// records.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "scp/ScpFields.h"
#include "scp/ScpMeasurements.h"
#include "scp/ScpMemory.h"
#include "scp/ScpRecord.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"
#include "tests/tools/ScptoolRun.h"
#include "tools/scpgen/DemoRecord.h"

namespace {

using scptooltest::Outcome;

using scptooltest::kDemo;
using scptooltest::kExample;

// Byte sizes of the demo record's fixed parts, to cut sections at a chosen entry.
constexpr int kLeadTableHead = 2;    // lead count, flags
constexpr int kLeadEntryBytes = 9;   // start, end, code
constexpr int kQrsHead = 6;          // beat length, fiducial, complex count
constexpr int kQrsEntryBytes = 14;   // type, SB, fc, QE
constexpr int kLeadBlocksHead = 4;   // lead count, block length
constexpr int kMeasurementHead = 6;  // block count, spikes, RR, PP

class ScptoolInfo : public ::testing::Test {
 protected:
  Outcome Scptool(const std::vector<std::string>& arguments) {
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  // The parsed output of `scptool info FILE --json`; fails the test when it is not JSON.
  QJsonObject Json(const std::string& file) {
    Outcome outcome = Scptool({"info", file, "--json"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    QJsonParseError error{};
    QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << outcome.out;
    return json.object();
  }

  std::string Text(const std::string& file) {
    Outcome outcome = Scptool({"info", file});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    return outcome.out;
  }

  // Writes the default demo record, changed by `edit`, and returns its path.
  std::string EditedDemo(const std::function<void(ScpRecord*)>& edit) {
    ScpRecordPtr record;
    EXPECT_EQ(scpgen::BuildDemoRecord(scpgen::DemoRecordOptions{}, &record, nullptr), 0);
    edit(record.get());
    std::string path = dir_.File("edited.scp");
    EXPECT_EQ(ScpWriteRecord(record.get(), path.c_str()), 0);
    return path;
  }

  scptest::TempDir dir_;
};

// Cuts section `id` down to `length` body bytes.
void Shorten(ScpRecord* record, uint16_t id, int64_t length) {
  ASSERT_EQ(ScpRecordResizeSection(record, id, length - ScpRecordSectionLength(record, id)), 0);
}

uint8_t* Body(ScpRecord* record, uint16_t id) {
  return ScpMemLock(ScpRecordSectionData(record, id));
}

TEST_F(ScptoolInfo, JsonDescribesTheExampleSignalAndGlobalMeasurements) {
  QJsonObject info = Json(kExample);

  QJsonArray leads = info["leads"].toArray();
  ASSERT_EQ(leads.size(), 12);
  EXPECT_EQ(leads[0].toObject(),
            (QJsonObject{{"code", 1}, {"name", "I"}, {"startSample", 1}, {"endSample", 5000}}));
  EXPECT_EQ(leads[7].toObject()["name"], "V6");
  EXPECT_EQ(leads[8].toObject()["code"], 61);
  EXPECT_EQ(leads[8].toObject()["name"], "III");

  QJsonObject header{
      {"amplitudeMultiplier", 2500}, {"sampleInterval", 2000}, {"differenceEncoding", 2}};
  EXPECT_EQ(info["referenceBeatHeader"].toObject(), header);
  EXPECT_EQ(info["rhythmHeader"].toObject(), header);

  QJsonObject qrs = info["qrs"].toObject();
  EXPECT_EQ(qrs["beatLength"], 1198);
  EXPECT_EQ(qrs["complexCount"], 0);
  EXPECT_EQ(qrs["complexes"].toArray().size(), 0);
  EXPECT_TRUE(qrs["protectedAreas"].isNull());

  QJsonObject global = info["globalMeasurements"].toObject();
  EXPECT_EQ(global["blockCount"], 13);
  EXPECT_EQ(global["rrInterval"], 29999);
  EXPECT_EQ(global["block0"].toObject(), (QJsonObject{{"pOnset", 286},
                                                      {"pOffset", 388},
                                                      {"qrsOnset", 434},
                                                      {"qrsOffset", 554},
                                                      {"tOffset", 854},
                                                      {"pAxis", 44},
                                                      {"qrsAxis", -61},
                                                      {"tAxis", 86}}));

  // The example has no per-lead measurements.
  ASSERT_TRUE(info.contains("leadMeasurements"));
  EXPECT_TRUE(info["leadMeasurements"].isNull());
}

TEST_F(ScptoolInfo, JsonListsTheDemoComplexesProtectedAreasAndLeadBlocks) {
  QJsonObject info = Json(kDemo);
  EXPECT_EQ(info["leads"].toArray().size(), 8);
  EXPECT_EQ(info["rhythmHeader"].toObject()["sampleInterval"], 4000);

  QJsonObject qrs = info["qrs"].toObject();
  EXPECT_EQ(qrs["fiducial"], 150);
  QJsonArray complexes = qrs["complexes"].toArray();
  ASSERT_EQ(complexes.size(), 12);
  EXPECT_EQ(
      complexes[0].toObject(),
      (QJsonObject{{"type", 0}, {"subtractStart", 69}, {"fiducial", 185}, {"subtractEnd", 360}}));
  QJsonArray areas = qrs["protectedAreas"].toArray();
  ASSERT_EQ(areas.size(), 12);
  EXPECT_EQ(areas[11].toObject(), (QJsonObject{{"startSample", 4902}, {"endSample", 4944}}));

  QJsonObject perLead = info["leadMeasurements"].toObject();
  EXPECT_EQ(perLead["blockLength"], 62);
  QJsonArray blocks = perLead["leads"].toArray();
  ASSERT_EQ(blocks.size(), 12);
  QJsonObject leadI = blocks[0].toObject();
  EXPECT_EQ(leadI["name"], "I");
  QJsonObject values = leadI["values"].toObject();
  EXPECT_EQ(values.size(), kScpLeadMeasurementValues);
  EXPECT_EQ(values["pDuration"], 112);
  EXPECT_EQ(values["qAmplitude"], -141);
  EXPECT_EQ(values["iSegment"], 29999);  // a "not done" marker is shown as stored
  EXPECT_EQ(values["intrinsicoidDeflection"], 42);
  EXPECT_EQ(blocks[3].toObject()["name"], "aVR");
  EXPECT_EQ(blocks[3].toObject()["values"].toObject()["rPrimeAmplitude"], 258);
}

TEST_F(ScptoolInfo, TextShowsEverySectionOfTheDemo) {
  std::string text = Text(kDemo);
  for (const char* line :
       {"Leads (section 3): 8, flags 0x45\n", "        7     8  V6                  1      5000\n",
        "Reference beat header (section 5): 5000 nV per unit, 2000 us per sample, difference "
        "encoding 2\n",
        "Rhythm header (section 6): 5000 nV per unit, 4000 us per sample, difference encoding 2\n",
        "QRS complexes (section 4): 12, reference beat 800 ms with its fiducial at sample 150\n",
        "        0     0        69       185       360  165-207\n",
        "  block 0: P 84-196 ms, QRS 260-344 ms, T offset 630 ms; axes P 55, QRS 50, T 48 "
        "degrees\n",
        "Lead measurements (section 10): 12 leads, blocks of 62 bytes\n",
        "  Q amplitude (uV)            -141     -27       0       0    -128"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
}

TEST_F(ScptoolInfo, AbsentSectionsShowAsNullAndAbsent) {
  std::string file = EditedDemo([](ScpRecord* record) {
    for (uint16_t id : {3, 4, 5, 7, 10}) {
      ASSERT_EQ(ScpRecordRemoveSection(record, id), 0);
    }
  });
  QJsonObject info = Json(file);
  for (const char* key :
       {"leads", "referenceBeatHeader", "qrs", "globalMeasurements", "leadMeasurements"}) {
    ASSERT_TRUE(info.contains(key)) << key;
    EXPECT_TRUE(info[key].isNull()) << key;
  }
  EXPECT_EQ(info["rhythmHeader"].toObject()["amplitudeMultiplier"], 5000);

  std::string text = Text(file);
  for (const char* line :
       {"Leads (section 3): absent\n", "Reference beat header (section 5): absent\n",
        "QRS complexes (section 4): absent\n", "Global measurements (section 7): absent\n",
        "Lead measurements (section 10): absent\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(ScptoolInfo, SectionsTooShortForTheirHeaderShowAsNullAndUnreadable) {
  // Even lengths, so that the writer adds no pad byte.
  std::string file = EditedDemo([](ScpRecord* record) {
    Shorten(record, 5, 4);
    Shorten(record, 7, 4);
    Shorten(record, 10, 2);
  });
  QJsonObject info = Json(file);
  EXPECT_TRUE(info["referenceBeatHeader"].isNull());
  EXPECT_TRUE(info["globalMeasurements"].isNull());
  EXPECT_TRUE(info["leadMeasurements"].isNull());
  EXPECT_FALSE(info["rhythmHeader"].isNull());

  std::string text = Text(file);
  for (const char* line : {"Reference beat header (section 5): unreadable\n",
                           "Global measurements (section 7): unreadable\n",
                           "Lead measurements (section 10): unreadable\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(ScptoolInfo, CutTablesListWhatTheSectionHoldsAndSayWhatLiesOutside) {
  std::string file = EditedDemo([](ScpRecord* record) {
    Shorten(record, 3, kLeadTableHead + 5 * kLeadEntryBytes);
    Shorten(record, 4, kQrsHead + 3 * kQrsEntryBytes + 4);  // and part of a fourth complex
    Shorten(record, 7, kMeasurementHead);
    Shorten(record, 10, kLeadBlocksHead + 4 * scpgen::kLeadBlockBytes);
  });
  QJsonObject info = Json(file);
  EXPECT_EQ(info["leads"].toArray().size(), 5);
  QJsonObject qrs = info["qrs"].toObject();
  EXPECT_EQ(qrs["complexCount"], 12);
  EXPECT_EQ(qrs["complexes"].toArray().size(), 3);
  EXPECT_TRUE(qrs["protectedAreas"].isNull());
  QJsonObject global = info["globalMeasurements"].toObject();
  EXPECT_EQ(global["rrInterval"], 861);
  EXPECT_TRUE(global["block0"].isNull());
  EXPECT_EQ(info["leadMeasurements"].toObject()["leads"].toArray().size(), 4);

  std::string text = Text(file);
  for (const char* line :
       {"  (3 further entries lie outside the section)\n",
        "  (9 further complexes lie outside the section)\n", "  block 0: outside the section\n",
        "  (8 further lead blocks lie outside the section)\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
}

TEST_F(ScptoolInfo, LeadCodesWithoutANameAreShownByTheirCode) {
  std::string file = EditedDemo([](ScpRecord* record) {
    Body(record, 3)[kLeadTableHead + 2 * kLeadEntryBytes + 8] = 99;  // lead entry 2's code
    Body(record, 10)[kLeadBlocksHead] = 0;                           // lead block 0's code
  });
  QJsonObject info = Json(file);
  EXPECT_EQ(info["leads"].toArray()[2].toObject()["code"], 99);
  EXPECT_EQ(info["leads"].toArray()[2].toObject()["name"], "99");
  EXPECT_EQ(info["leadMeasurements"].toObject()["leads"].toArray()[0].toObject()["name"], "0");
  EXPECT_NE(Text(file).find("        2    99  99                  1      5000\n"),
            std::string::npos);
}

// A rhythm stored with 0 nV per unit: info marks the header, samples still lists the values,
// render draws the page and says once on stderr, naming the file, that the traces are left out.
TEST_F(ScptoolInfo, AZeroAmplitudeUnitIsMarkedListedAndReportedByRender) {
  const std::string file =
      EditedDemo([](ScpRecord* record) { Body(record, 6)[0] = Body(record, 6)[1] = 0; });
  EXPECT_NE(Text(file).find("Rhythm header (section 6): 0 nV per unit, 4000 us per sample, "
                            "difference encoding 2 (no amplitude unit: its leads are not drawn)"),
            std::string::npos);
  EXPECT_TRUE(Json(file)["rhythmHeader"].toObject()["unscaled"].toBool());
  EXPECT_FALSE(Json(kDemo)["rhythmHeader"].toObject().contains("unscaled"));

  const Outcome samples = Scptool({"samples", file});
  EXPECT_EQ(samples.exitCode, 0);
  EXPECT_GT(samples.out.size(), 5000u * 12);
  const Outcome render =
      Scptool({"render", file, "--page", "rhythm", "--out", dir_.File("r.png"), "--dpi", "100"});
  EXPECT_EQ(render.exitCode, 0) << render.err;
  EXPECT_NE(render.err.find(file), std::string::npos);
  EXPECT_EQ(std::count(render.err.begin(), render.err.end(), '\n'), 1) << render.err;
}

}  // namespace

namespace {

class ScptoolInfoDocument;

// What info shows of the document's models: the heart rate (a marker in the RR interval wins),
// the patient and every statement.
struct DocumentCase {
  const char* name;
  std::function<std::string(ScptoolInfoDocument&)> file;
  QJsonValue heartRate;
  const char* heartRateText;
  const char* lastName;
  int statements;
};

class ScptoolInfoDocument : public ScptoolInfo, public ::testing::WithParamInterface<DocumentCase> {
 public:
  // The demo record with its average RR interval (section 7, bytes 2 and 3) set to rr.
  std::string DemoWithRr(uint16_t rr) {
    return EditedDemo([rr](ScpRecord* record) {
      uint8_t* body = ScpMemLock(ScpRecordSectionData(record, kScpMeasurementSection));
      body[2] = static_cast<uint8_t>(rr & 0xFF);
      body[3] = static_cast<uint8_t>(rr >> 8);
    });
  }
};

}  // namespace

TEST_P(ScptoolInfoDocument, ShowsWhatTheWindowsShow) {
  const DocumentCase& c = GetParam();
  const std::string file = c.file(*this);
  const QJsonObject json = Json(file);
  EXPECT_EQ(json["globalMeasurements"].toObject()["heartRate"], c.heartRate);
  EXPECT_EQ(json["patient"].toObject()["lastName"].toString().toStdString(), c.lastName);
  EXPECT_EQ(json["statements"].toArray().size(), c.statements);
  EXPECT_NE(Text(file).find(std::string("Heart rate: ") + c.heartRateText + "\n"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ScptoolInfoDocument,
    ::testing::Values(DocumentCase{"Example", [](ScptoolInfoDocument&) { return kExample; },
                                   QJsonValue(), "N.D.", "Clark", 0},
                      DocumentCase{"Demo", [](ScptoolInfoDocument&) { return kDemo; },
                                   QJsonValue(69), "69 bpm", "Demo", 6},
                      DocumentCase{"RrError",
                                   [](ScptoolInfoDocument& t) { return t.DemoWithRr(29998); },
                                   QJsonValue(), "Error", "Demo", 6},
                      DocumentCase{"RrNotTested",
                                   [](ScptoolInfoDocument& t) { return t.DemoWithRr(19999); },
                                   QJsonValue(), "N.T.", "Demo", 6}),
    [](const ::testing::TestParamInfo<DocumentCase>& info) { return info.param.name; });
