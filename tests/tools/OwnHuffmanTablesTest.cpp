// Records whose Huffman table section carries tables of their own: they decode to the samples of
// the same record coded with the default table, and unusable tables refuse the record.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "scp/ScpDecode.h"
#include "scp/ScpHuffmanTables.h"
#include "tests/scp/ScpCodecTestRecords.h"
#include "tools/scpgen/DemoRecord.h"
#include "tools/scpgen/ScpHuffmanEncoder.h"

namespace {

using codectest::AddU16;
using codectest::AddU32;
using codectest::AddU8;
using codectest::Bytes;
using scpgen::OwnHuffmanTables;

struct Decoded {
  std::vector<std::vector<int16_t>> beats;
  std::vector<std::vector<int16_t>> rhythms;
};

ScpRecordPtr Build(OwnHuffmanTables tables, uint8_t differences) {
  scpgen::DemoRecordOptions options;
  options.ownTables = tables;
  options.differenceEncoding = differences;
  options.noiseMicrovolts = 40;  // values beyond +-8 and beyond a byte, so every escape is used
  ScpRecordPtr record;
  EXPECT_EQ(scpgen::BuildDemoRecord(options, &record, nullptr), kScpOk);
  return record;
}

Decoded DecodeAll(const ScpRecord* record) {
  const std::vector<uint8_t> codes(std::begin(scpgen::kIndependentLeadCodes),
                                   std::end(scpgen::kIndependentLeadCodes));
  const auto count = static_cast<int32_t>(codes.size());
  std::vector<ScpReferenceBeat> beats(codes.size());
  std::vector<ScpRhythmSignal> rhythms(codes.size());
  std::vector<ScpStatus> statuses(codes.size());
  ScpDecodeReferenceBeats(record, count, codes.data(), beats.data(), statuses.data());
  std::vector<const ScpReferenceBeat*> references;
  Decoded decoded;
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(statuses[i], kScpOk) << "beat of lead " << int{codes[i]};
    decoded.beats.emplace_back(beats[i].samples, beats[i].samples + beats[i].sampleCount);
    references.push_back(&beats[i]);
  }
  ScpDecodeRhythmLeads(record, count, codes.data(), references.data(), rhythms.data(),
                       statuses.data());
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(statuses[i], kScpOk) << "rhythm of lead " << int{codes[i]};
    decoded.rhythms.emplace_back(rhythms[i].samples, rhythms[i].samples + rhythms[i].sampleCount);
    ScpFreeRhythm(&rhythms[i]);
    ScpFreeReferenceBeat(&beats[i]);
  }
  return decoded;
}

ScpRecordPtr WithHuffmanSection(const ScpRecord* record, const Bytes& body) {
  auto sections = codectest::SectionsOf(record);
  for (auto& [id, bytes] : sections) {
    if (id == 2) {
      bytes = body;
    }
  }
  return codectest::MakeRecord(sections);
}

// One row of a table as stored: prefix bits, total bits, mode, base value, code.
void AddRow(Bytes& body, uint8_t prefixBits, uint8_t totalBits, uint8_t mode, int16_t baseValue,
            uint32_t code) {
  AddU8(body, prefixBits);
  AddU8(body, totalBits);
  AddU8(body, mode);
  AddU16(body, static_cast<uint16_t>(baseValue));
  AddU32(body, code);
}

// A table of 0 (code 0) and 1 (code 1): complete and prefix-free; `extra` rows follow.
Bytes TwoValueTable(const std::vector<Bytes>& extra = {}) {
  Bytes body;
  AddU16(body, static_cast<uint16_t>(2 + extra.size()));
  AddRow(body, 1, 1, 1, 0, 0x0);
  AddRow(body, 1, 1, 1, 1, 0x1);
  for (const Bytes& row : extra) {
    body.insert(body.end(), row.begin(), row.end());
  }
  return body;
}

Bytes Row(uint8_t prefixBits, uint8_t totalBits, uint8_t mode, int16_t baseValue, uint32_t code) {
  Bytes row;
  AddRow(row, prefixBits, totalBits, mode, baseValue, code);
  return row;
}

Bytes Tables(const std::vector<Bytes>& tables) {
  Bytes body;
  AddU16(body, static_cast<uint16_t>(tables.size()));
  for (const Bytes& table : tables) {
    body.insert(body.end(), table.begin(), table.end());
  }
  return body;
}

class OwnHuffmanTables_ : public ::testing::TestWithParam<uint8_t> {};

TEST_P(OwnHuffmanTables_, PermutedAndSwitchingTablesDecodeToTheDefaultTableSamples) {
  const uint8_t differences = GetParam();
  const ScpRecordPtr reference = Build(OwnHuffmanTables::kNone, differences);
  const Decoded expected = DecodeAll(reference.get());
  for (OwnHuffmanTables kind : {OwnHuffmanTables::kPermuted, OwnHuffmanTables::kSwitching}) {
    const ScpRecordPtr own = Build(kind, differences);
    const Decoded decoded = DecodeAll(own.get());
    EXPECT_EQ(decoded.beats, expected.beats) << "tables " << static_cast<int>(kind);
    EXPECT_EQ(decoded.rhythms, expected.rhythms) << "tables " << static_cast<int>(kind);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryDifferenceEncoding, OwnHuffmanTables_, ::testing::Values(0, 1, 2));

TEST(OwnHuffmanTables, TheSectionListsItsTablesAndTheirRows) {
  const ScpRecordPtr record = Build(OwnHuffmanTables::kSwitching, 2);
  ScpHuffmanTables* tables = nullptr;
  ASSERT_EQ(ScpReadHuffmanTables(record.get(), &tables, nullptr), kScpOk);
  EXPECT_EQ(ScpHuffmanTableCount(tables), 2);
  EXPECT_EQ(ScpHuffmanTableRows(tables, 1), 20);
  EXPECT_EQ(ScpHuffmanTableRows(tables, 2), 20);
  EXPECT_EQ(ScpHuffmanTableRows(tables, 3), 0);
  ScpFreeHuffmanTables(tables);

  const ScpRecordPtr plain = Build(OwnHuffmanTables::kNone, 2);
  ASSERT_EQ(ScpReadHuffmanTables(plain.get(), &tables, nullptr), kScpOk);
  EXPECT_EQ(tables, nullptr);  // the default table's mark
  const ScpRecordPtr none = WithHuffmanSection(plain.get(), Tables({}));
  ASSERT_EQ(ScpReadHuffmanTables(none.get(), &tables, nullptr), kScpOk);
  EXPECT_EQ(tables, nullptr);  // no tables of its own: the default table too
}

struct MalformedCase {
  const char* name;
  Bytes section;
  ScpHuffmanTableFault fault;
  const char* text;
};

TEST(OwnHuffmanTables, UnusableTablesRefuseTheRecordNamingTheSection) {
  const std::vector<MalformedCase> cases = {
      {"a table without rows", Tables({TwoValueTable(), Bytes{0, 0}}),
       ScpHuffmanTableFault::kNoRows, "section 2: table 2 has no rows"},
      {"a 33-bit code", Tables({TwoValueTable({Row(33, 33, 1, 5, 0x1)})}),
       ScpHuffmanTableFault::kCodeLength, "section 2: table 1 row 3 has a code of 0 or more"},
      {"a switch to table 3 of 1", Tables({TwoValueTable({Row(2, 2, 0, 3, 0x3)})}),
       ScpHuffmanTableFault::kMissingTable, "section 2: table 1 row 3 switches to a table"},
      // 10 begins with 1, the code of row 2.
      {"codes not prefix-free", Tables({TwoValueTable({Row(2, 2, 1, 7, 0x1)})}),
       ScpHuffmanTableFault::kNotPrefixFree, "section 2: table 1 row 3 has a code that begins"},
      {"rows cut off", Bytes{1, 0, 3, 0, 1, 1, 1}, ScpHuffmanTableFault::kTruncated,
       "section 2: table 1 ends before its tables do"},
  };
  const ScpRecordPtr record = Build(OwnHuffmanTables::kPermuted, 2);
  for (const MalformedCase& c : cases) {
    const ScpRecordPtr broken = WithHuffmanSection(record.get(), c.section);
    ScpHuffmanTables* tables = nullptr;
    ScpHuffmanTableProblem problem{};
    EXPECT_TRUE(
        ScpStatusIs(ScpReadHuffmanTables(broken.get(), &tables, &problem), kScpErrHuffmanTable))
        << c.name;
    EXPECT_EQ(tables, nullptr) << c.name;
    EXPECT_EQ(problem.fault, c.fault) << c.name;
    char text[160];
    ScpHuffmanTableProblemText(problem, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind(c.text, 0), 0u) << c.name << ": " << text;

    ScpRhythmSignal rhythm{};
    EXPECT_TRUE(
        ScpStatusIs(ScpDecodeRhythm(broken.get(), 1, &rhythm, nullptr), kScpErrHuffmanTable))
        << c.name;
    EXPECT_EQ(rhythm.samples, nullptr) << c.name;
  }
}

TEST(OwnHuffmanTables, SwitchesLastUntilTheNextAndLongCodesAreFound) {
  // Table 1: 0 -> 0, 10 -> switch to table 2, 11 -> 1. Table 2: 1 -> 5, then a 20-bit code
  // 0000...0 -> -3 and 0000...01 (20 bits) -> switch back to 1, longer than the lookup.
  Bytes first;
  AddU16(first, 3);
  AddRow(first, 1, 1, 1, 0, 0x0);
  AddRow(first, 2, 2, 0, 2, 0x1);  // stream bits 10
  AddRow(first, 2, 2, 1, 1, 0x3);  // stream bits 11
  Bytes second;
  AddU16(second, 3);
  AddRow(second, 1, 1, 1, 5, 0x1);           // stream bit 1
  AddRow(second, 20, 20, 1, -3, 0x0);        // twenty 0 bits
  AddRow(second, 20, 20, 0, 1, 0x1u << 19);  // nineteen 0 bits, then 1
  const ScpRecordPtr record = codectest::MakeRecord({{2, Tables({first, second})}});
  ScpHuffmanTables* tables = nullptr;
  ASSERT_EQ(ScpReadHuffmanTables(record.get(), &tables, nullptr), kScpOk);
  // 11 (1) | 10 (switch) | 1 1 (5, 5) | twenty 0 bits (-3) | nineteen 0 bits and 1 (switch) |
  // 11 (1) | 0 bits of padding, packed from each byte's most significant bit.
  std::string bits = "111011" + std::string(20, '0') + std::string(19, '0') + "111";
  while (bits.size() % 8 != 0) {
    bits += '0';
  }
  Bytes data;
  for (size_t i = 0; i < bits.size(); i += 8) {
    data.push_back(static_cast<uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));
  }
  int16_t out[16] = {};
  uint32_t produced = 0;
  ASSERT_EQ(ScpHuffmanDecodeWithTables(tables, data.data(), static_cast<uint32_t>(data.size()), 0,
                                       out, 16, &produced),
            kScpOk);
  ScpFreeHuffmanTables(tables);
  const std::vector<int16_t> values(out, out + std::min<uint32_t>(produced, 16));
  // The padding's 0 bits decode in table 1 as values 0.
  std::vector<int16_t> expected = {1, 5, 5, -3, 1};
  expected.resize(values.size(), 0);
  EXPECT_EQ(values, expected);
  EXPECT_GE(produced, 5u);
}

// The lookup decoder of own tables against the bit-by-bit search on random streams: the same
// values, counts and statuses, whatever codes the end of the data cuts off.
TEST(OwnHuffmanTables, LookupDecodingMatchesTheBitByBitSearchOnRandomStreams) {
  const std::vector<ScpHuffmanCode> rows = scpgen::OwnTables(OwnHuffmanTables::kPermuted)[0];
  ASSERT_EQ(rows.size(), static_cast<size_t>(kScpDefaultHuffmanRows));
  const ScpRecordPtr record = codectest::MakeRecord({{2, scpgen::HuffmanTableSection({rows})}});
  ScpHuffmanTables* tables = nullptr;
  ASSERT_EQ(ScpReadHuffmanTables(record.get(), &tables, nullptr), kScpOk);
  std::mt19937 random(17);
  for (int trial = 0; trial < 2000; ++trial) {
    Bytes data(random() % 48);
    for (uint8_t& byte : data) {
      byte = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random());  // long codes too
    }
    const uint32_t room = random() % 400;
    std::vector<int16_t> expected(room + 1, 0);
    std::vector<int16_t> actual(room + 1, 0);
    uint32_t expectedCount = 0;
    uint32_t actualCount = 0;
    const auto size = static_cast<uint32_t>(data.size());
    ASSERT_EQ(
        ScpHuffmanDecodeWithTables(tables, data.data(), size, 0, actual.data(), room, &actualCount),
        ScpHuffmanDecodeBitByBit(rows.data(), data.data(), size, expected.data(), room,
                                 &expectedCount));
    ASSERT_EQ(actualCount, expectedCount) << "trial " << trial;
    ASSERT_EQ(actual, expected) << "trial " << trial;
  }
  ScpFreeHuffmanTables(tables);
}

}  // namespace
