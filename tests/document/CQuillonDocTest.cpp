#include "document/CQuillonDoc.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "document/DocMessages.h"
#include "document/DocWindows.h"
#include "document/IRecordStore.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "scp/ScpCheck.h"
#include "scp/ScpItems.h"
#include "scp/ScpLeads.h"
#include "scp/ScpMeasurements.h"
#include "scp/ScpMemory.h"
#include "scp/ScpRawRhythm.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/leads/LeadTestRecords.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

const QString kExamplePath = QStringLiteral(QUILLON_SHARED_SAMPLES_DIR "/Example.scp");
const QString kDemoPath = QStringLiteral(QUILLON_SAMPLES_DIR "/demo.scp");

class FakeWindowOpener : public IDocWindowOpener {
 public:
  bool IsEcgPrimary() const override { return ecgPrimary; }
  void OpenWindow(CQuillonDoc* /*doc*/, DocWindow kind) override { opened.push_back(kind); }

  bool ecgPrimary = true;
  std::vector<DocWindow> opened;
};

// A patient form that marks the first byte of section 1 when asked to store itself.
class FakePatientForm : public IRecordStore {
 public:
  explicit FakePatientForm(CQuillonDoc* doc) : doc_(doc) {}
  // Hands a new last name to the patient model, or refuses.
  bool StoreToRecord() override {
    ++calls;
    if (!succeeds) {
      return false;
    }
    PatientFields fields = doc_->Patient().Fields();
    fields.m_strLastName = QStringLiteral("MARK");
    return !doc_->Patient().SetFields(fields, QDate(2026, 12, 9)).Refused();
  }
  bool TakeEdits() override { return StoreToRecord(); }

  int calls = 0;
  bool succeeds = true;

 private:
  CQuillonDoc* doc_;
};

std::map<uint16_t, codectest::Bytes> SectionsByIdOf(const std::string& path) {
  ScpRecordPtr record(ScpReadRecord(path.c_str()));
  if (record == nullptr) {
    return {};
  }
  const auto sections = codectest::SectionsOf(record.get());
  return {sections.begin(), sections.end()};
}

// A document with a fake window opener, its messages collected and a string table whose texts
// show their ids.
class CQuillonDocTest : public ::testing::Test {
 protected:
  CQuillonDocTest() {
    SetDocWindowOpener(&opener_);
    previousSink_ = SetDocMessageSink([this](const QString& message) { messages_ << message; });
    ResourceTable table;
    table.loadString = [](int id) {
      const std::map<int, QString> texts = {{kIdsNotAnScpRecord, "S601 %1"},
                                            {kIdsSaveFailed, "S602 %1: %2"},
                                            {kIdsReasonCannotWrite, "S603"},
                                            {kIdsReasonCannotBuild, "S604"}};
      return texts.count(id) != 0 ? texts.at(id) : QString();
    };
    SetResourceTable(table);
  }
  ~CQuillonDocTest() override {
    SetResourceTable(ResourceTable());
    SetDocMessageSink(previousSink_);
    SetDocWindowOpener(nullptr);
  }

  QString WriteLeadRecord(const std::vector<leadtest::StoredLead>& leads,
                          leadtest::RecordParts parts) {
    const std::string path = dir_.File("leads.scp");
    const auto record = leadtest::MakeLeadRecord(leads, parts);
    EXPECT_EQ(ScpWriteRecord(record.get(), path.c_str()), 0);
    return QString::fromStdString(path);
  }

  void ExpectCompleteLoad(const QString& path) {
    ASSERT_TRUE(doc_.OnOpenDocument(path));
    EXPECT_EQ(doc_.m_nRefLeads, 12);
    EXPECT_EQ(doc_.m_nRhythmLeads, 12);
    EXPECT_TRUE(doc_.m_bHasRefBeats && doc_.m_bHasRhythm && doc_.m_bHasMeasures);
    for (int entry = 0; entry < 12; ++entry) {
      EXPECT_NE(doc_.m_refLeads[entry].samples, nullptr) << entry;
      EXPECT_NE(doc_.m_rhythmLeads[entry].samples, nullptr) << entry;
    }
    EXPECT_EQ(doc_.FindRefLead(62), &doc_.m_refLeads[3]);
    EXPECT_EQ(doc_.m_rhythmLeads[5].leadCode, 64);
    ScpBeatMeasurements block{};
    ASSERT_EQ(ScpGetBeatMeasurements(doc_.m_pRecord, 0, &block), 0);
    EXPECT_EQ(doc_.GetFiducial(2), block.qrsOnset);
    EXPECT_EQ(doc_.GetFiducial(4), block.tOffset);
    EXPECT_EQ(doc_.GetFiducial(5), 0);
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(opener_.opened, (std::vector<DocWindow>{DocWindow::kAverage, DocWindow::kMeasurements,
                                                      DocWindow::kPatient}));
    EXPECT_TRUE(messages_.isEmpty());
  }

  FakeWindowOpener opener_;
  DocMessageSink previousSink_;
  QStringList messages_;
  scptest::TempDir dir_;
  CQuillonDoc doc_;
};

TEST_F(CQuillonDocTest, OpeningTheExampleRecordYieldsTwelveLeadsOfEachKindAndItsWindows) {
  ExpectCompleteLoad(kExamplePath);
}

TEST_F(CQuillonDocTest, OpeningTheDemoRecordYieldsTwelveLeadsOfEachKindAndItsWindows) {
  if (!std::filesystem::exists(kDemoPath.toStdString())) {
    GTEST_SKIP() << "samples/demo.scp is not there yet";
  }
  ExpectCompleteLoad(kDemoPath);
}

TEST_F(CQuillonDocTest, WithTheAverageBeatPrimaryTheDocumentOpensTheRhythmWindow) {
  opener_.ecgPrimary = false;
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  EXPECT_EQ(opener_.opened, (std::vector<DocWindow>{DocWindow::kRhythm, DocWindow::kMeasurements,
                                                    DocWindow::kPatient}));
}

TEST_F(CQuillonDocTest, ARecordWithoutBeatsOrMeasurementsGetsOnlyTheWindowsItCanFill) {
  const QString path = WriteLeadRecord(leadtest::EightLeads(100, 250), {false, false});
  ASSERT_TRUE(doc_.OnOpenDocument(path));
  EXPECT_EQ(doc_.m_nRefLeads, 0);
  EXPECT_EQ(doc_.m_nRhythmLeads, 12);
  EXPECT_EQ(doc_.FindRefLead(1), nullptr);
  EXPECT_EQ(doc_.GetFiducial(0), 0);
  EXPECT_EQ(opener_.opened, std::vector<DocWindow>{DocWindow::kPatient});

  opener_.opened.clear();
  opener_.ecgPrimary = false;
  CQuillonDoc averagePrimary;
  ASSERT_TRUE(averagePrimary.OnOpenDocument(path));
  EXPECT_EQ(opener_.opened, (std::vector<DocWindow>{DocWindow::kRhythm, DocWindow::kPatient}));
}

TEST_F(CQuillonDocTest, LeadsWithAZeroAmplitudeUnitAreDecodedAndReportedOnceByName) {
  const auto record = leadtest::MakeLeadRecord(leadtest::EightLeads(100, 250));
  for (uint16_t section : {5, 6}) {  // both multipliers 0 nV per unit
    uint8_t* body = ScpMemLock(ScpRecordSectionData(record.get(), section));
    body[0] = body[1] = 0;
  }
  const std::string path = dir_.File("unscaled.scp");
  ASSERT_EQ(ScpWriteRecord(record.get(), path.c_str()), 0);

  ASSERT_TRUE(doc_.OnOpenDocument(QString::fromStdString(path)));
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString(path)));
  EXPECT_EQ(doc_.m_nRhythmLeads, 12);
  ASSERT_NE(doc_.m_rhythmLeads[0].samples, nullptr);
  EXPECT_EQ(doc_.m_rhythmLeads[0].samples[0], 100);

  messages_.clear();
  ASSERT_TRUE(doc_.OnOpenDocument(kDemoPath));
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(CQuillonDocTest, AFileThatIsNoRecordOpensNothingAndSaysWhichFile) {
  const std::string path = dir_.File("letter.txt");
  scptest::WriteBytes(path, {'D', 'e', 'a', 'r'});
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  opener_.opened.clear();

  EXPECT_FALSE(doc_.OnOpenDocument(QString::fromStdString(path)));
  EXPECT_EQ(messages_, QStringList{"S601 " + QString::fromStdString(path)});
  EXPECT_TRUE(opener_.opened.empty());
  EXPECT_EQ(doc_.m_nRefLeads, 12);  // what was open stays open
}

TEST_F(CQuillonDocTest, WithoutStringTableOrSinkTheMessageIsEnglishOnStandardError) {
  SetResourceTable(ResourceTable());
  SetDocMessageSink({});
  const std::string path = dir_.File("missing.scp");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(doc_.OnOpenDocument(QString::fromStdString(path)));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\"" + path + "\" could not be read as an SCP-ECG record.\n");
}

TEST_F(CQuillonDocTest, SavingWritesAVerifiedRecordThatReadsBackWithTheSameSections) {
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  const std::string path = dir_.File("saved.scp");
  ASSERT_TRUE(doc_.OnSaveDocument(QString::fromStdString(path)));

  ScpRecordCheck* check = nullptr;
  ASSERT_EQ(ScpCheckRecordFile(path.c_str(), &check), 0);
  EXPECT_TRUE(ScpRecordCheckOk(check));
  for (uint32_t i = 0; i < check->sectionCount; ++i) {
    EXPECT_TRUE(ScpSectionCheckOk(&check->sections[i])) << "section " << check->sections[i].id;
  }
  ScpCheckFree(check);
  EXPECT_EQ(SectionsByIdOf(path), SectionsByIdOf(kExamplePath.toStdString()));
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(CQuillonDocTest, SavingLetsThePatientFormHandItsEditsToTheModelAndARefusalWritesNothing) {
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  FakePatientForm form(&doc_);
  doc_.SetPatientStore(&form);
  const std::string path = dir_.File("saved.scp");
  ASSERT_TRUE(doc_.OnSaveDocument(QString::fromStdString(path)));
  EXPECT_EQ(form.calls, 1);
  ScpRecordPtr saved(ScpReadRecord(path.c_str()));
  char lastName[16] = {};
  ASSERT_EQ(ScpGetItemText(saved.get(), 1, kScpTagLastName, lastName, sizeof lastName, nullptr), 0);
  EXPECT_STREQ(lastName, "MARK");

  // A refused value stops the save: nothing is written and the form has said why.
  form.succeeds = false;
  const std::string refused = dir_.File("refused.scp");
  EXPECT_FALSE(doc_.OnSaveDocument(QString::fromStdString(refused)));
  EXPECT_FALSE(std::filesystem::exists(refused));
  EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(CQuillonDocTest, AnUnchangedSaveWritesTheFileBackByteForByte) {
  const std::string demo = std::string(QUILLON_SAMPLES_DIR) + "/demo.scp";
  for (const std::string& original : {kExamplePath.toStdString(), demo}) {
    CQuillonDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(QString::fromStdString(original)));
    const std::string path = dir_.File("unchanged.scp");
    ASSERT_TRUE(doc.OnSaveDocument(QString::fromStdString(path)));
    EXPECT_EQ(scptest::ReadBytes(path), scptest::ReadBytes(original)) << original;
  }
}

TEST_F(CQuillonDocTest, AFailedSaveKeepsTheDocumentModifiedAndNamesTheFileAndTheReason) {
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  doc_.SetModifiedFlag(true);
  const QString path = QString::fromStdString(dir_.File("no-such-folder/saved.scp"));
  EXPECT_FALSE(doc_.DoSave(path));
  EXPECT_TRUE(doc_.IsModified());
  EXPECT_EQ(messages_, QStringList{"S602 " + path + ": S603"});
}

TEST_F(CQuillonDocTest, NewCreatesNothing) {
  EXPECT_FALSE(doc_.OnNewDocument());
  EXPECT_EQ(doc_.m_pRecord, nullptr);
  EXPECT_TRUE(opener_.opened.empty());
}

TEST_F(CQuillonDocTest, DeleteContentsReturnsTheDocumentToEmpty) {
  ASSERT_TRUE(doc_.OnOpenDocument(kExamplePath));
  doc_.DeleteContents();
  EXPECT_EQ(doc_.m_pRecord, nullptr);
  EXPECT_EQ(doc_.m_nRefLeads + doc_.m_nRhythmLeads, 0);
  EXPECT_FALSE(doc_.m_bHasRefBeats || doc_.m_bHasRhythm || doc_.m_bHasMeasures);
  EXPECT_EQ(doc_.m_refLeads[0].samples, nullptr);
  EXPECT_EQ(doc_.GetFiducial(2), 0);
  doc_.DeleteContents();  // a second time finds nothing to free
}

}  // namespace

// How a record file is spoiled, and what opening it must then say.
struct SpoiledRecord {
  const char* name;
  std::function<void(const std::string& path)> spoil;
  const char* said;  // a piece of the one message; null: no message
  bool damaged;
};

class SpoiledRecordTest : public CQuillonDocTest,
                          public ::testing::WithParamInterface<SpoiledRecord> {};

// Flips one bit in the middle of the rhythm section's data.
void FlipRhythmByte(const std::string& path) {
  ScpRecordCheck* check = nullptr;
  ASSERT_EQ(ScpCheckRecordFile(path.c_str(), &check), 0);
  scptest::Bytes bytes = scptest::ReadBytes(path);
  for (uint32_t index = 0; index < check->sectionCount; ++index) {
    const ScpSectionCheck& section = check->sections[index];
    if (section.id == kScpRhythmSection) {
      bytes[section.index - 1 + section.headerLength / 2] ^= 0x10;
    }
  }
  ScpCheckFree(check);
  scptest::WriteBytes(path, bytes);
}

// Moves the rhythm to section 12 (no section 6), as a version-3 writer keeps it: a section that
// reads (leads I and II, 500 samples at 500 Hz) or 64 bytes that do not. The reference beats go
// too unless kept.
void RhythmToSection12(const std::string& path, bool readable, bool keepReferenceBeats) {
  ScpRecordPtr record(ScpReadRecord(path.c_str()));
  ASSERT_NE(record, nullptr);
  if (!keepReferenceBeats) {
    ASSERT_EQ(ScpRecordRemoveSection(record.get(), kScpReferenceSection), 0);
  }
  ASSERT_EQ(ScpRecordRemoveSection(record.get(), kScpRhythmSection), 0);
  std::vector<uint8_t> body(64, 0);
  if (readable) {
    constexpr uint8_t kHeader[] = {0xF4, 0x01, 0, 0, 2, 0xF4, 0x01, 0, 0, 2};  // 500 Hz, 2 leads
    body.assign(std::begin(kHeader), std::end(kHeader));
    body.resize(kScpRawRhythmHeaderSize, 0);
    for (const uint8_t lead : {1, 2}) {
      body.insert(body.end(), {lead, 0xC4, 0x09, 0});  // 2500 nV per unit
    }
    body.resize(body.size() + 500 * 2 * 2, 0);
  }
  ScpBlock block = ScpRecordNewSection(record.get(), kScpRawRhythmSection);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(
      ScpRecordResizeSection(record.get(), kScpRawRhythmSection, static_cast<int64_t>(body.size())),
      0);
  ScpMemCopy(ScpMemLock(ScpRecordSectionData(record.get(), kScpRawRhythmSection)), body.data(),
             body.size());
  record->entries[ScpRecordFindSection(record.get(), kScpRawRhythmSection)].headerTrailer[0] =
      kScpVersion3Draft;
  ASSERT_EQ(ScpWriteRecord(record.get(), path.c_str()), 0);
}

TEST_P(SpoiledRecordTest, OpensAllTheSameAndSaysWhatItCannotShowOnce) {
  const std::string path = dir_.File("spoiled.scp");
  scptest::WriteBytes(path, scptest::ReadBytes(kDemoPath.toStdString()));
  GetParam().spoil(path);

  ASSERT_TRUE(doc_.OnOpenDocument(QString::fromStdString(path)));
  doc_.SetPathName(QString::fromStdString(path), false);
  EXPECT_EQ(doc_.IsDamaged(), GetParam().damaged);
  EXPECT_EQ(doc_.GetCaption().endsWith(" (damaged)"), GetParam().damaged);
  if (GetParam().said == nullptr) {
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
    return;
  }
  ASSERT_EQ(messages_.size(), 1) << messages_.join('\n').toStdString();
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString(path)));
  EXPECT_TRUE(messages_[0].contains(QString::fromUtf8(GetParam().said)))
      << messages_[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Records, SpoiledRecordTest,
    ::testing::Values(
        SpoiledRecord{"Sound", [](const std::string&) {}, nullptr, false},
        SpoiledRecord{"FlippedRhythmByte", FlipRhythmByte, "bytes of section 6.", true},
        SpoiledRecord{"TrailingBytes",
                      [](const std::string& path) {
                        scptest::Bytes bytes = scptest::ReadBytes(path);
                        bytes.insert(bytes.end(), {0, 0});
                        scptest::WriteBytes(path, bytes);
                      },
                      "bytes of the record as a whole.", true},
        SpoiledRecord{"UnreadableSection12",
                      [](const std::string& path) { RhythmToSection12(path, false, false); },
                      "section 12", false},
        SpoiledRecord{"UnreadableSection12BesideReferenceBeats",
                      [](const std::string& path) { RhythmToSection12(path, false, true); },
                      "section 12", false},
        SpoiledRecord{"ReadableSection12",
                      [](const std::string& path) { RhythmToSection12(path, true, true); }, nullptr,
                      false}),
    [](const ::testing::TestParamInfo<SpoiledRecord>& info) { return info.param.name; });
