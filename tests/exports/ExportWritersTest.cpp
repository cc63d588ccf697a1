// The export writers on descriptions built to the shapes a record can take: a rhythm that is no
// whole number of seconds, leads that end early, many statements, an undated record; the
// anonymisation of a description and the identifiers derived for it.
#include <gtest/gtest.h>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcitem.h>
#include <edflib.h>

#include <string>
#include <vector>

#include "exports/ExportRecord.h"
#include "exports/ExportWriters.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

// A description of `leads` leads of `samples` samples at 500 Hz and 5 µV per unit, each sample
// its own index plus the lead's number, so every value says where it came from.
ExportRecord Described(size_t leads, size_t samples) {
  ExportRecord record;
  record.lastName = "Rossi";
  record.firstName = "Maria";
  record.patientId = "P-0042";
  record.acquiringInstitution = "Ospedale Centrale";
  record.freeText = "Recall in six months";
  record.birthDate = {1960, 3, 14};
  record.ageYears = 64;
  record.sex = ExportSex::kFemale;
  record.acquisitionDate = {2024, 5, 17};
  record.acquisitionTime = {true, 9, 30, 0, true};
  record.statements = {"Sinus rhythm", "Normal ECG"};
  record.uidSeed = "seed";
  for (size_t l = 0; l < leads; ++l) {
    ExportLead lead;
    lead.code = static_cast<uint8_t>(l + 1);
    lead.name = "L" + std::to_string(l + 1);
    lead.sampleIntervalUs = 2000;
    lead.nanovoltsPerUnit = 5000;
    for (size_t i = 0; i < samples; ++i) {
      lead.samples.push_back(static_cast<int16_t>(i % 3000 + l * 1000 - 2000));
    }
    record.rhythm.push_back(lead);
  }
  return record;
}

class ExportWriters : public ::testing::Test {
 protected:
  scptest::TempDir dir_;
};

TEST_F(ExportWriters, EdfHoldsARhythmOfNoWholeSecondsWithoutInventedSamples) {
  const ExportRecord record = Described(3, 1237);  // 2.474 s; 1237 is prime
  const std::string path = dir_.File("odd.edf");
  std::string problem;
  ASSERT_TRUE(WriteEdfPlus(record, path, &problem)) << problem;

  edf_hdr_struct header = {};
  const int handle = edfopen_file_readonly(path.c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS);
  ASSERT_GE(handle, 0);
  EXPECT_EQ(header.edfsignals, 3);
  for (int s = 0; s < 3; ++s) {
    ASSERT_EQ(header.signalparam[s].smp_in_file, 1237);
    std::vector<int> read(1237);
    ASSERT_EQ(edfread_digital_samples(handle, s, 1237, read.data()), 1237);
    EXPECT_EQ(std::vector<int>(record.rhythm[s].samples.begin(), record.rhythm[s].samples.end()),
              read);
  }
  EXPECT_EQ(header.annotations_in_file, 2);
  EXPECT_STREQ(header.patientcode, "P-0042");
  EXPECT_STREQ(header.gender, "Female");
  EXPECT_EQ(header.startdate_year, 2024);
  edfclose_file(handle);
}

TEST_F(ExportWriters, EdfRefusesLeadsOfDifferentLengthsAndLeavesNoFile) {
  ExportRecord record = Described(2, 1000);
  record.rhythm[1].samples.resize(900);
  const std::string path = dir_.File("uneven.edf");
  std::string problem;
  EXPECT_FALSE(WriteEdfPlus(record, path, &problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_TRUE(scptest::ReadBytes(path).empty());
}

TEST_F(ExportWriters, DicomPadsALeadThatEndsEarlyAndSaysSo) {
  ExportRecord record = Described(2, 1000);
  record.rhythm[1].samples.resize(900);
  const std::string path = dir_.File("uneven.dcm");
  std::string problem;
  ASSERT_TRUE(WriteDicomEcg(record, path, &problem)) << problem;

  DcmFileFormat file;
  ASSERT_TRUE(file.loadFile(path.c_str()).good());
  DcmItem* group = nullptr;
  ASSERT_TRUE(file.getDataset()->findAndGetSequenceItem(DCM_WaveformSequence, group, 0).good());
  const Uint16* padding = nullptr;
  unsigned long count = 0;
  ASSERT_TRUE(group->findAndGetUint16Array(DCM_WaveformPaddingValue, padding, &count).good());
  const Uint16* words = nullptr;
  ASSERT_TRUE(group->findAndGetUint16Array(DCM_WaveformData, words, &count).good());
  ASSERT_EQ(count, 2000u);
  EXPECT_EQ(static_cast<int16_t>(words[2 * 899 + 1]), record.rhythm[1].samples[899]);
  EXPECT_EQ(words[2 * 900 + 1], padding[0]);
  EXPECT_EQ(static_cast<int16_t>(words[2 * 999]), record.rhythm[0].samples[999]);
}

TEST_F(ExportWriters, DicomRefusesARecordWithoutAcquisitionTimeAndLeavesNoFile) {
  ExportRecord untimed = Described(1, 100);
  untimed.acquisitionTime = ExportTime();
  const std::string path = dir_.File("untimed.dcm");
  std::string problem;
  EXPECT_FALSE(WriteDicomEcg(untimed, path, &problem));
  EXPECT_EQ(problem, "no acquisition time: DICOM requires one");
  EXPECT_TRUE(scptest::ReadBytes(path).empty());
}

TEST_F(ExportWriters, AnonymisingKeepsTheExaminationAndRemovesTheIdentity) {
  ExportRecord record = Described(1, 10);
  AnonymizeExportRecord(&record, "");
  EXPECT_EQ(JoinedPersonName(record), "");
  EXPECT_EQ(record.patientId, "ANONYMOUS");
  EXPECT_EQ(record.acquiringInstitution, "");
  EXPECT_EQ(record.freeText, "");
  EXPECT_FALSE(record.birthDate.IsSet());
  EXPECT_EQ(record.ageYears, 64);
  EXPECT_EQ(record.sex, ExportSex::kFemale);
  EXPECT_EQ(record.statements.size(), 2u);
  EXPECT_EQ(record.rhythm[0].samples, Described(1, 10).rhythm[0].samples);

  AnonymizeExportRecord(&record, "SITE4-017");
  EXPECT_EQ(record.patientId, "SITE4-017");
}

TEST_F(ExportWriters, DerivedUidsAreStableDistinctAndWellFormed) {
  const std::string uid = DerivedUid("seed", "study");
  EXPECT_EQ(uid, DerivedUid("seed", "study"));
  EXPECT_NE(uid, DerivedUid("seed", "series"));
  EXPECT_NE(uid, DerivedUid("other seed", "study"));
  ASSERT_LE(uid.size(), 64u);
  ASSERT_EQ(uid.rfind("2.25.", 0), 0u);
  const std::string number = uid.substr(5);
  EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos);
  EXPECT_NE(number[0], '0');
}

}  // namespace
