#include "document/PatientModel.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpSections.h"

namespace {

const QDate kToday(2026, 12, 9);
const QDateTime kNow(kToday, QTime(10, 30, 0));

std::string Example() {
  return std::string(QUILLON_SHARED_SAMPLES_DIR) + "/Example.scp";
}
std::string Demo() {
  return std::string(QUILLON_SAMPLES_DIR) + "/demo.scp";
}

QByteArray Body(const ScpRecord* record, uint16_t section) {
  const int64_t length = ScpRecordSectionLength(record, section);
  QByteArray body(static_cast<int>(std::max<int64_t>(length, 0)), '\0');
  if (length > 0) {
    ScpGetFields(record, section, kScpLayoutBytes, body.data(), 0, static_cast<uint32_t>(length));
  }
  return body;
}

// The items of a section in stored order, each as (tag, whole stored bytes).
std::vector<std::pair<int, QByteArray>> Items(const ScpRecord* record, uint16_t section) {
  std::vector<std::pair<int, QByteArray>> items;
  const QByteArray body = Body(record, section);
  uint32_t cursor = ScpFirstItemOffset(section);
  ScpItemSpan span = {};
  while (ScpNextItem(record, section, &cursor, &span) == kScpOk) {
    items.emplace_back(span.tag, body.mid(static_cast<int>(span.offset),
                                          static_cast<int>(kScpItemHeadSize + span.length)));
  }
  return items;
}

// Demo's statements renumbered from 1 and grown to eight, as some writers store them.
ScpRecordPtr DemoWithStatementsFromOne() {
  ScpRecordPtr record(ScpReadRecord(Demo().c_str()));
  ScpStatementHeader header = {};
  ScpGetStatementHeader(record.get(), kScpStatementSection, &header);
  header.statementCount = 8;
  ScpRecordRemoveSection(record.get(), kScpStatementSection);
  ScpRecordNewSection(record.get(), kScpStatementSection);
  ScpSetStatementHeader(record.get(), kScpStatementSection, &header);
  for (int tag = 1; tag <= 8; ++tag) {
    const std::string text = "statement " + std::to_string(tag);
    ScpAddItemText(record.get(), kScpStatementSection, static_cast<uint8_t>(tag), text.c_str());
  }
  return record;
}

TEST(PatientModel, AnUnchangedWriteLeavesBothSectionsByteForByte) {
  for (const std::string& path : {Example(), Demo()}) {
    ScpRecordPtr record(ScpReadRecord(path.c_str()));
    ASSERT_NE(record, nullptr) << path;
    const QByteArray header = Body(record.get(), kScpPatientSection);
    const QByteArray statements = Body(record.get(), kScpStatementSection);
    PatientModel model;
    model.Read(record.get(), kToday);
    // Handing back what was shown (the form does so on every save) changes nothing either.
    ASSERT_FALSE(model.SetFields(model.Fields(), kToday).Refused());
    EXPECT_FALSE(model.HeaderChanged() || model.StatementsChanged()) << path;
    ASSERT_TRUE(model.Write(record.get(), kNow));
    EXPECT_EQ(Body(record.get(), kScpPatientSection), header) << path;
    EXPECT_EQ(Body(record.get(), kScpStatementSection), statements) << path;
  }
}

TEST(PatientModel, AChangedNameRewritesOnlyItsItemInPlace) {
  ScpRecordPtr record(ScpReadRecord(Example().c_str()));
  const auto before = Items(record.get(), kScpPatientSection);
  const QByteArray statements = Body(record.get(), kScpStatementSection);
  PatientModel model;
  model.Read(record.get(), kToday);
  PatientFields fields = model.Fields();
  fields.m_strLastName = QStringLiteral("X");
  ASSERT_FALSE(model.SetFields(fields, kToday).Refused());
  EXPECT_FALSE(model.StatementsChanged());
  ASSERT_TRUE(model.Write(record.get(), kNow));

  const auto after = Items(record.get(), kScpPatientSection);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i].first == kScpTagLastName) {
      EXPECT_EQ(after[i].second, QByteArray("\x00\x02\x00X\x00", 5));
    } else {
      EXPECT_EQ(after[i], before[i]) << "item " << i;
    }
  }
  EXPECT_EQ(Body(record.get(), kScpStatementSection), statements);
}

// Each value a field cannot hold is refused, naming the field; the model keeps what it held.
TEST(PatientModel, RefusesWhatTheRecordCannotHoldNamingTheField) {
  const struct {
    const char* what;
    std::function<void(PatientFields*)> change;
    PatientField field;
    const char* message;
  } cases[] = {
      {"weight above a word", [](PatientFields* f) { f->m_nWeight = 7000012; },
       PatientField::kWeight, "Weight: 7000012 is outside 0 to 65535."},
      {"height above a word", [](PatientFields* f) { f->m_nHeight = 65536; }, PatientField::kHeight,
       "Height: 65536 is outside 0 to 65535."},
      {"negative pressure", [](PatientFields* f) { f->m_nSystolic = -1; }, PatientField::kSystolic,
       "Systolic Pressure: -1 is outside 0 to 65535."},
      {"no such day", [](PatientFields* f) { f->m_strBirthDate = QStringLiteral("31/02/1950"); },
       PatientField::kBirthDate, "Birth Date: \"31/02/1950\" is not a date; enter DD/MM/YYYY."},
      {"not a date", [](PatientFields* f) { f->m_strBirthDate = QStringLiteral("abc"); },
       PatientField::kBirthDate, "Birth Date: \"abc\" is not a date; enter DD/MM/YYYY."},
      {"three-digit year",
       [](PatientFields* f) { f->m_strBirthDate = QStringLiteral("10/03/195"); },
       PatientField::kBirthDate, "Birth Date: \"10/03/195\" is not a date; enter DD/MM/YYYY."},
      {"future birth", [](PatientFields* f) { f->m_strBirthDate = QStringLiteral("10/12/2026"); },
       PatientField::kBirthDate, "Birth Date: 10/12/2026 lies in the future."},
      {"outside Latin-1",
       [](PatientFields* f) { f->m_strLastName = QString::fromUtf8("Dvo\xc5\x99\xc3\xa1k"); },
       PatientField::kLastName, nullptr},
      {"long physician",
       [](PatientFields* f) { f->m_strReferringPhysician = QString(81, QLatin1Char('x')); },
       PatientField::kReferringPhysician, "Referr. Physician: at most 80 characters."},
      {"statement outside Latin-1",
       [](PatientFields* f) { f->m_strStatement[2] = QString::fromUtf8("\xe2\x82\xac"); },
       PatientField::kStatement, nullptr},
  };
  ScpRecordPtr record(ScpReadRecord(Demo().c_str()));
  for (const auto& c : cases) {
    PatientModel model;
    model.Read(record.get(), kToday);
    const PatientFields held = model.Fields();
    PatientFields fields = held;
    c.change(&fields);
    const PatientRefusal refusal = model.SetFields(fields, kToday);
    EXPECT_EQ(refusal.field, c.field) << c.what;
    if (c.message != nullptr) {
      EXPECT_EQ(refusal.message.toStdString(), c.message) << c.what;
    }
    EXPECT_EQ(model.Fields().m_nWeight, held.m_nWeight) << c.what;
    EXPECT_EQ(model.Fields().m_strBirthDate, held.m_strBirthDate) << c.what;
    EXPECT_FALSE(model.HeaderChanged() || model.StatementsChanged()) << c.what;
  }
}

TEST(PatientModel, StatementsNumberedFromOneAreAllShownInOrderAndKept) {
  ScpRecordPtr record = DemoWithStatementsFromOne();
  const auto before = Items(record.get(), kScpStatementSection);
  PatientModel model;
  model.Read(record.get(), kToday);
  EXPECT_EQ(model.Fields().m_strStatement[0], QStringLiteral("statement 1"));
  EXPECT_EQ(model.Fields().m_strStatement[5], QStringLiteral("statement 6"));

  PatientFields fields = model.Fields();
  fields.m_strStatement[1] = QStringLiteral("changed");
  ASSERT_FALSE(model.SetFields(fields, kToday).Refused());
  ASSERT_TRUE(model.Write(record.get(), kNow));
  const auto after = Items(record.get(), kScpStatementSection);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].first, before[i].first) << "item " << i;  // numbering kept
    if (i != 1) {
      EXPECT_EQ(after[i].second, before[i].second) << "item " << i;
    }
  }
  ScpStatementHeader header = {};
  ASSERT_EQ(ScpGetStatementHeader(record.get(), kScpStatementSection, &header), 0);
  EXPECT_EQ(header.statementCount, 8);
  EXPECT_EQ(header.year, 2026);
}

TEST(PatientModel, TheAgeFollowsTheBirthDateAndIsWrittenOnlyWhereTheRecordHeldIt) {
  ScpRecordPtr record(ScpReadRecord(Example().c_str()));
  PatientModel model;
  model.Read(record.get(), kToday);
  const bool heldAge = model.Keep().ageStored;
  PatientFields fields = model.Fields();
  fields.m_strAcqDate = QStringLiteral("01/01/1998");
  fields.m_strBirthDate = QStringLiteral("31/12/50");  // two digits: 1950, the last 100 years
  ASSERT_FALSE(model.SetFields(fields, kToday).Refused());
  EXPECT_EQ(model.Fields().m_strBirthDate, QStringLiteral("31/12/1950"));
  EXPECT_EQ(model.Fields().m_nAge, 47U);  // the birthday of 1997 had not come
  EXPECT_EQ(model.Fields().m_nAgeUnit, 1);
  ASSERT_TRUE(model.Write(record.get(), kNow));
  ScpValueUnit age = {};
  EXPECT_EQ(ScpGetItemValueUnit(record.get(), kScpPatientSection, kScpTagAge, &age) == kScpOk,
            heldAge);
}

}  // namespace
