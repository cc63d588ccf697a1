// Broken and hostile files: every one must give no record (or a record whose sections all lie
// inside their blocks), never a crash or an access outside a block. Run under ASan to be strict.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"

namespace {

using scptest::Bytes;
using scptest::Counting;
using scptest::kPointerBodyOffset;
using scptest::RawSection;

class ScpMalformedInputTest : public ::testing::Test {
 protected:
  // Reads `file`; returns whether a record came back, and exercises it when one did.
  bool Reads(const Bytes& file) {
    std::string path = dir_.File("input.scp");
    scptest::WriteBytes(path, file);
    ScpRecord* record = ScpReadRecord(path.c_str());
    if (record == nullptr) {
      return false;
    }
    Exercise(record);
    ScpRecordFree(record);
    return true;
  }

  // Touches every byte of every section through the item readers and the writer.
  void Exercise(const ScpRecord* record) {
    char text[64];
    uint32_t length = 0;
    ScpStatementHeader header{};
    for (uint16_t i = 0; i < ScpRecordSectionCount(record); ++i) {
      auto id = static_cast<uint16_t>(ScpRecordIdAt(record, i));
      for (int tag = 0; tag < 256; tag += 17) {
        ScpGetItemText(record, id, static_cast<uint8_t>(tag), text, sizeof text, &length);
      }
      ScpGetStatementHeader(record, id, &header);
    }
    EXPECT_EQ(ScpWriteRecord(record, dir_.File("output.scp").c_str()), kScpOk);
  }

  static Bytes Small() {
    return scptest::AssembleRecord({RawSection{1, {0, 3, 0, 'A', 'B', 0, 255, 0, 0}},
                                    RawSection{8, Counting(12)}, RawSection{6, Counting(33)}});
  }

  scptest::TempDir dir_;
};

TEST_F(ScpMalformedInputTest, MissingEmptyAndTinyFilesGiveNoRecord) {
  EXPECT_EQ(ScpReadRecord(dir_.File("missing.scp").c_str()), nullptr);
  EXPECT_EQ(ScpReadRecord(dir_.Path().c_str()), nullptr);  // a directory
  EXPECT_EQ(ScpReadRecord(nullptr), nullptr);
  EXPECT_FALSE(Reads({}));
  EXPECT_FALSE(Reads({1, 2, 3, 4, 5}));
  EXPECT_FALSE(Reads({1, 2, 3, 4, 5, 6}));
}

TEST_F(ScpMalformedInputTest, EveryTruncationOfARecordGivesNoRecord) {
  const Bytes whole = Small();
  ASSERT_TRUE(Reads(whole));
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_FALSE(Reads(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))))
        << "cut at " << length;
  }
}

TEST_F(ScpMalformedInputTest, AnIndexPastTheEndOrOfZeroMakesTheWholeReadFail) {
  for (uint32_t index : {0u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes file = Small();
    scptest::PutU32(file, kPointerBodyOffset + 20 + 6, index);
    EXPECT_FALSE(Reads(file)) << index;
  }
  Bytes file = Small();
  scptest::PutU32(file, kPointerBodyOffset + 20 + 6, static_cast<uint32_t>(file.size()) - 3);
  EXPECT_FALSE(Reads(file));
}

TEST_F(ScpMalformedInputTest, SectionLengthsBelowSixteenAreRefused) {
  for (uint32_t length : {0u, 1u, 15u}) {
    Bytes file = Small();
    size_t section8 = scptest::GetU32(file, kPointerBodyOffset + 20 + 6) - 1;
    scptest::PutU32(file, section8 + 4, length);
    EXPECT_FALSE(Reads(file)) << length;
    Bytes pointers = Small();
    scptest::PutU32(pointers, 6 + 4, length);
    EXPECT_FALSE(Reads(pointers)) << "section 0 of length " << length;
  }
}

TEST_F(ScpMalformedInputTest, ASectionLengthFarBeyondTheFileIsRefusedWithoutAllocatingIt) {
  // ASan aborts on an allocation this size, so passing shows none was attempted.
  for (uint32_t length : {0xFFFFFFFFu, 0xF0000000u, 1000000u}) {
    Bytes file = Small();
    size_t section6 = scptest::GetU32(file, kPointerBodyOffset + 30 + 6) - 1;
    scptest::PutU32(file, section6 + 4, length);
    EXPECT_FALSE(Reads(file)) << length;
    Bytes pointers = Small();
    scptest::PutU32(pointers, 6 + 4, length);
    EXPECT_FALSE(Reads(pointers)) << "section 0 of length " << length;
  }
}

TEST_F(ScpMalformedInputTest, ManyEntriesForOneLargeSectionCannotMultiplyTheMemoryUsed) {
  // A pointer table that lists one 2000-byte section 400 times would hold 800 kB for a 6 kB file.
  std::vector<RawSection> sections = {RawSection{6, Counting(2000)}};
  Bytes file = scptest::AssembleRecord(sections);
  Bytes entry(file.begin() + kPointerBodyOffset + 10, file.begin() + kPointerBodyOffset + 20);
  Bytes extra;
  for (int i = 0; i < 400; ++i) {
    extra.insert(extra.end(), entry.begin(), entry.end());
  }
  // Append the copies to section 0 and move section 6's index along with them.
  file.insert(file.begin() + kPointerBodyOffset + 20, extra.begin(), extra.end());
  uint32_t index = scptest::GetU32(file, kPointerBodyOffset + 16) + 4000;
  for (size_t at = kPointerBodyOffset + 10; at < kPointerBodyOffset + 20 + extra.size(); at += 10) {
    scptest::PutU32(file, at + 6, index);
  }
  scptest::PutU32(file, 6 + 4, static_cast<uint32_t>(16 + 20 + extra.size()));
  EXPECT_FALSE(Reads(file));
}

TEST_F(ScpMalformedInputTest, ItemLengthsRunningPastTheBodyAreSafe) {
  Bytes file = scptest::AssembleRecord({RawSection{1, {0, 0xFF, 0xFF, 'A'}},
                                        RawSection{8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 9, 0}},
                                        RawSection{11, {1, 2, 3}}, RawSection{12, {255, 1, 0}}});
  EXPECT_TRUE(Reads(file));
}

TEST_F(ScpMalformedInputTest, RandomByteDamageNeverReadsOutsideABlock) {
  const Bytes whole = Small();
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  int records = 0;
  for (int trial = 0; trial < 600; ++trial) {
    Bytes file = whole;
    int damage = 1 + static_cast<int>(next() % 4);
    for (int i = 0; i < damage; ++i) {
      file[next() % file.size()] = static_cast<uint8_t>(next());
    }
    records += Reads(file) ? 1 : 0;
  }
  // Damage to CRCs, versions and body bytes still reads; damage to lengths and indexes does not.
  EXPECT_GT(records, 0);
  EXPECT_LT(records, 600);
}

}  // namespace
