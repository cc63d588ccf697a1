#include "tools/scpgen/ScpHuffmanEncoder.h"

#include <algorithm>

namespace scpgen {
namespace {

// One row of the default table as the file stores it: the code word holds the first bit of the
// stream in bit 0.
struct DefaultCode {
  uint8_t prefixBits;
  uint8_t valueBits;  // two's complement bits that follow the code, most significant first
  uint32_t code;
};

constexpr int kLargestDirectValue = 8;
constexpr DefaultCode kZeroCode = {1, 0, 0x0};
// Codes of +1 .. +8 and -1 .. -8, in that order of magnitude.
constexpr DefaultCode kPositiveCodes[kLargestDirectValue] = {
    {3, 0, 0x1},  {4, 0, 0x3},  {5, 0, 0x7},  {6, 0, 0xF},
    {7, 0, 0x1F}, {8, 0, 0x3F}, {9, 0, 0x7F}, {10, 0, 0xFF}};
constexpr DefaultCode kNegativeCodes[kLargestDirectValue] = {
    {3, 0, 0x5},  {4, 0, 0xB},  {5, 0, 0x17},  {6, 0, 0x2F},
    {7, 0, 0x5F}, {8, 0, 0xBF}, {9, 0, 0x17F}, {10, 0, 0x2FF}};
constexpr DefaultCode kByteEscape = {10, 8, 0x1FF};
constexpr DefaultCode kWordEscape = {10, 16, 0x3FF};

constexpr int kByteEscapeMin = -128;
constexpr int kByteEscapeMax = 127;

const DefaultCode& CodeFor(int16_t value) {
  if (value == 0) {
    return kZeroCode;
  }
  if (value > 0 && value <= kLargestDirectValue) {
    return kPositiveCodes[value - 1];
  }
  if (value < 0 && value >= -kLargestDirectValue) {
    return kNegativeCodes[-value - 1];
  }
  if (value >= kByteEscapeMin && value <= kByteEscapeMax) {
    return kByteEscape;
  }
  return kWordEscape;
}

// Appends bits to a byte vector, most significant bit of each byte first.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}

  void Put(bool bit) {
    if (used_ == 0) {
      out_->push_back(0);
    }
    if (bit) {
      out_->back() |= static_cast<uint8_t>(0x80u >> used_);
    }
    used_ = (used_ + 1) % 8;
    ++written_;
  }

  size_t Written() const { return written_; }

 private:
  std::vector<uint8_t>* out_;
  int used_ = 0;  // bits already used in the last byte
  size_t written_ = 0;
};

void PutCode(BitWriter* writer, const ScpHuffmanCode& row, int16_t value) {
  for (int bit = 0; bit < row.prefixBits; ++bit) {
    writer->Put(((row.code >> bit) & 1u) != 0);
  }
  const auto valueBits = static_cast<uint16_t>(value);
  for (int bit = row.totalBits - row.prefixBits - 1; bit >= 0; --bit) {
    writer->Put(((valueBits >> bit) & 1u) != 0);
  }
}

// Whether `row` yields `value`: as its base value, or within its two's complement value bits.
bool Yields(const ScpHuffmanCode& row, int16_t value) {
  const int valueBits = row.totalBits - row.prefixBits;
  if (row.mode != 1) {
    return false;
  }
  if (valueBits == 0) {
    return row.baseValue == value;
  }
  const int32_t half = 1 << (valueBits - 1);
  return value >= -half && value < half;
}

ScpHuffmanCode Row(uint8_t prefixBits, uint8_t totalBits, uint8_t mode, int16_t baseValue,
                   uint32_t code) {
  return ScpHuffmanCode{prefixBits, totalBits, mode, baseValue, code};
}

}  // namespace

HuffmanTableSet OwnTables(OwnHuffmanTables kind) {
  std::vector<ScpHuffmanCode> negated(ScpDefaultHuffmanTable,
                                      ScpDefaultHuffmanTable + kScpDefaultHuffmanRows);
  for (ScpHuffmanCode& row : negated) {
    row.baseValue = static_cast<int16_t>(-row.baseValue);
  }
  if (kind == OwnHuffmanTables::kPermuted) {
    std::reverse(negated.begin(), negated.end());
    return {negated};
  }
  if (kind != OwnHuffmanTables::kSwitching) {
    return {};
  }
  // 1111111111 (the 16-bit escape) becomes 11111111110 with its value bits; 11111111111 switches.
  std::vector<ScpHuffmanCode> first(ScpDefaultHuffmanTable,
                                    ScpDefaultHuffmanTable + kScpDefaultHuffmanRows - 1);
  first.push_back(Row(11, 27, 1, 0, 0x3FF));
  first.push_back(Row(11, 11, 0, 2, 0x7FF));
  std::vector<ScpHuffmanCode> second(negated.begin(), negated.end() - 1);
  second.push_back(Row(11, 27, 1, 0, 0x3FF));
  second.push_back(Row(11, 11, 0, 1, 0x7FF));
  return {first, second};
}

size_t HuffmanEncodeWithTables(const int16_t* values, size_t count, const HuffmanTableSet& tables,
                               size_t switchEvery, std::vector<uint8_t>* out) {
  BitWriter writer(out);
  size_t table = 0;
  for (size_t i = 0; i < count; ++i) {
    if (switchEvery != 0 && i != 0 && i % switchEvery == 0) {
      for (const ScpHuffmanCode& row : tables[table]) {
        if (row.mode == 0) {
          PutCode(&writer, row, 0);
          table = static_cast<size_t>(row.baseValue - 1);
          break;
        }
      }
    }
    const ScpHuffmanCode* best = nullptr;
    for (const ScpHuffmanCode& row : tables[table]) {
      if (Yields(row, values[i]) && (best == nullptr || row.totalBits < best->totalBits)) {
        best = &row;
      }
    }
    if (best == nullptr) {
      return 0;
    }
    PutCode(&writer, *best, values[i]);
  }
  return writer.Written();
}

std::vector<uint8_t> HuffmanTableSection(const HuffmanTableSet& tables) {
  std::vector<uint8_t> body;
  auto put = [&body](uint32_t value, int bytes) {
    for (int byte = 0; byte < bytes; ++byte) {
      body.push_back(static_cast<uint8_t>(value >> (8 * byte)));
    }
  };
  put(static_cast<uint32_t>(tables.size()), 2);
  for (const std::vector<ScpHuffmanCode>& table : tables) {
    put(static_cast<uint32_t>(table.size()), 2);
    for (const ScpHuffmanCode& row : table) {
      put(row.prefixBits, 1);
      put(row.totalBits, 1);
      put(row.mode, 1);
      put(static_cast<uint16_t>(row.baseValue), 2);
      put(row.code, 4);
    }
  }
  return body;
}

int DefaultCodeBits(int16_t value) {
  const DefaultCode& code = CodeFor(value);
  return code.prefixBits + code.valueBits;
}

size_t HuffmanEncode(const int16_t* values, size_t count, std::vector<uint8_t>* out) {
  BitWriter writer(out);
  for (size_t i = 0; i < count; ++i) {
    const DefaultCode& code = CodeFor(values[i]);
    for (int bit = 0; bit < code.prefixBits; ++bit) {
      writer.Put(((code.code >> bit) & 1u) != 0);
    }
    const uint16_t valueBits = static_cast<uint16_t>(values[i]);
    for (int bit = code.valueBits - 1; bit >= 0; --bit) {
      writer.Put(((valueBits >> bit) & 1u) != 0);
    }
  }
  return writer.Written();
}

}  // namespace scpgen
