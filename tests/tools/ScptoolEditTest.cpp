#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <utility>
#include <vector>

#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpSections.h"
#include "scp/ScpWriter.h"
#include "tests/tools/ScptoolRun.h"

namespace {

using Bytes = std::vector<uint8_t>;

using scptooltest::kExample;

Bytes Body(const ScpRecord* record, uint16_t section) {
  const int64_t length = ScpRecordSectionLength(record, section);
  Bytes body(static_cast<size_t>(std::max<int64_t>(length, 0)));
  if (!body.empty()) {
    ScpGetFields(record, section, kScpLayoutBytes, body.data(), 0, static_cast<uint32_t>(length));
  }
  return body;
}

std::vector<std::pair<int, Bytes>> Items(const ScpRecord* record, uint16_t section) {
  std::vector<std::pair<int, Bytes>> items;
  const Bytes body = Body(record, section);
  uint32_t cursor = ScpFirstItemOffset(section);
  ScpItemSpan span = {};
  while (ScpNextItem(record, section, &cursor, &span) == kScpOk) {
    items.emplace_back(span.tag,
                       Bytes(body.begin() + span.offset,
                             body.begin() + span.offset + kScpItemHeadSize + span.length));
  }
  return items;
}

void ReplaceBody(ScpRecord* record, uint16_t section, const Bytes& body) {
  ScpRecordRemoveSection(record, section);
  ScpRecordNewSection(record, section);
  ScpAppendFields(record, section, kScpLayoutBytes, body.data(),
                  static_cast<uint32_t>(body.size()));
}

class ScptoolEditTest : public ::testing::Test {
 protected:
  // Example.scp with an unknown tag before the terminator, and eight statements numbered from 1.
  void SetUp() override {
    ScpRecordPtr record(ScpReadRecord(kExample.c_str()));
    ASSERT_NE(record, nullptr);
    Bytes header;
    for (const auto& item : Items(record.get(), kScpPatientSection)) {
      header.insert(header.end(), item.second.begin(), item.second.end());
    }
    const Bytes unknown = {200, 5, 0, 'm', 'a', 'k', 'e', 'r'};  // tag 200, 5 bytes
    header.insert(header.end(), unknown.begin(), unknown.end());
    header.insert(header.end(), {255, 0, 0});  // the terminator
    ReplaceBody(record.get(), kScpPatientSection, header);

    Bytes statements = {1, 0xD0, 0x07, 5, 6, 9, 30, 0, 8};  // confirmed, 2000-05-06 09:30, 8
    for (uint8_t tag = 1; tag <= 8; ++tag) {
      statements.insert(statements.end(), {tag, 3, 0, 'S', static_cast<uint8_t>('0' + tag), 0});
    }
    ReplaceBody(record.get(), kScpStatementSection, statements);
    file_ = dir_.File("edit.scp");
    ASSERT_EQ(ScpWriteRecord(record.get(), file_.c_str()), 0);
  }

  scptooltest::Outcome Edit(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "edit");
    return scptooltest::Run(dir_, QUILLON_SCPTOOL, arguments);
  }

  scptest::TempDir dir_;
  std::string file_;
};

TEST_F(ScptoolEditTest, RefusedValuesExitOneNamingTheFieldAndLeaveTheFileByteIdentical) {
  const Bytes before = scptest::ReadBytes(file_);
  const std::pair<std::string, std::string> refused[] = {
      {"weight=7000012", "Weight: 7000012 is outside 0 to 65535."},
      {"birth-date=31/02/1950", "Birth Date: \"31/02/1950\" is not a date; enter DD/MM/YYYY."},
      {"sex=robot", "sex: \"robot\" is not one of"},
      {"confirmed=maybe", "confirmed: \"maybe\" is neither yes nor no"},
  };
  for (const auto& [assignment, reason] : refused) {
    const scptooltest::Outcome outcome = Edit({file_, "last-name=X", assignment});
    EXPECT_EQ(outcome.exitCode, 1) << assignment;
    EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
    EXPECT_EQ(scptooltest::Lines(outcome.err).size(), size_t{1}) << outcome.err;
    EXPECT_EQ(scptest::ReadBytes(file_), before) << assignment;
  }
}

TEST_F(ScptoolEditTest, BadUsageExitsTwo) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{file_},
                                                    {file_, "colour=red"},
                                                    {"last-name=X"},
                                                    {file_, "--force", "last-name=X"}}) {
    EXPECT_EQ(Edit(arguments).exitCode, 2);
  }
}

TEST_F(ScptoolEditTest, ALastNameChangesOnlyTagZeroAndKeepsEveryOtherItemAndStatement) {
  ScpRecordPtr before(ScpReadRecord(file_.c_str()));
  const scptooltest::Outcome outcome = Edit({file_, "last-name=X"});
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  ScpRecordPtr after(ScpReadRecord(file_.c_str()));
  const auto itemsBefore = Items(before.get(), kScpPatientSection);
  const auto itemsAfter = Items(after.get(), kScpPatientSection);
  ASSERT_EQ(itemsAfter.size(), itemsBefore.size());
  for (size_t i = 0; i < itemsBefore.size(); ++i) {
    if (itemsBefore[i].first == kScpTagLastName) {
      EXPECT_EQ(itemsAfter[i].second, (Bytes{0, 2, 0, 'X', 0}));
    } else {
      EXPECT_EQ(itemsAfter[i], itemsBefore[i]) << "item " << i;
    }
  }
  EXPECT_EQ(itemsBefore.back().first, 200);  // the unknown tag is still there
  EXPECT_EQ(Body(after.get(), kScpStatementSection), Body(before.get(), kScpStatementSection));
}

// Example.scp as its writer made it (every section version 2.0): an edit rewrites the header
// section only, and no section is relabelled with another version.
TEST_F(ScptoolEditTest, AnEditKeepsEverySectionsVersionAndEveryOtherSectionsBody) {
  const std::string copy = dir_.File("as-written.scp");
  std::filesystem::copy_file(kExample, copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  ScpRecordPtr before(ScpReadRecord(copy.c_str()));
  ASSERT_EQ(Edit({copy, "last-name=X"}).exitCode, 0);
  ScpRecordPtr after(ScpReadRecord(copy.c_str()));
  ASSERT_NE(after, nullptr);
  ASSERT_EQ(ScpRecordSectionCount(after.get()), ScpRecordSectionCount(before.get()));
  for (uint16_t i = 0; i < ScpRecordSectionCount(before.get()); ++i) {
    const auto id = static_cast<uint16_t>(ScpRecordIdAt(before.get(), i));
    EXPECT_EQ(ScpRecordSectionVersion(after.get(), id), ScpRecordSectionVersion(before.get(), id))
        << "section " << id;
    if (id != kScpPatientSection) {
      EXPECT_EQ(Body(after.get(), id), Body(before.get(), id)) << "section " << id;
    }
  }
}

TEST_F(ScptoolEditTest, ADryRunPrintsTheChangeAndWritesNothing) {
  const Bytes before = scptest::ReadBytes(file_);
  const scptooltest::Outcome outcome = Edit({"--dry-run", file_, "statement2=ECG NORMAL"});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "statement2: \"S2\" -> \"ECG NORMAL\"\n");
  EXPECT_EQ(scptest::ReadBytes(file_), before);
}

}  // namespace
