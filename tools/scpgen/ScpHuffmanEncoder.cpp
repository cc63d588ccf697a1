#include "tools/scpgen/ScpHuffmanEncoder.h"

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

}  // namespace

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
