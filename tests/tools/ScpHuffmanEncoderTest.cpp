// The default-table Huffman encoder: exact bit layout, escapes, and agreement with the decoder.
#include "tools/scpgen/ScpHuffmanEncoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "scp/ScpHuffman.h"

namespace {

using scpgen::DefaultCodeBits;
using scpgen::HuffmanEncode;

std::vector<uint8_t> Encode(const std::vector<int16_t>& values, size_t* bits = nullptr) {
  std::vector<uint8_t> bytes;
  const size_t written = HuffmanEncode(values.data(), values.size(), &bytes);
  if (bits != nullptr) {
    *bits = written;
  }
  return bytes;
}

TEST(ScpHuffmanEncoder, WritesShortCodesInStreamOrderFromTheMostSignificantBit) {
  size_t bits = 0;
  // 100 101 1100 1101 111111100 1111111101, then seven 0 bits of padding.
  EXPECT_EQ(Encode({1, -1, 2, -2, 7, -8}, &bits),
            (std::vector<uint8_t>{0x97, 0x37, 0xF9, 0xFE, 0x80}));
  EXPECT_EQ(bits, 33u);
  // A zero is the single bit 0.
  EXPECT_EQ(Encode({0, 0, 0, 0, 0, 0, 0, 0}, &bits), (std::vector<uint8_t>{0x00}));
  EXPECT_EQ(bits, 8u);
}

TEST(ScpHuffmanEncoder, EscapesValuesBeyondEightWithEightBitsThenSixteen) {
  // 1111111110 then the value's 8 bits, most significant first.
  EXPECT_EQ(Encode({9}), (std::vector<uint8_t>{0xFF, 0x82, 0x40}));     // 00001001
  EXPECT_EQ(Encode({-9}), (std::vector<uint8_t>{0xFF, 0xBD, 0xC0}));    // 11110111
  EXPECT_EQ(Encode({-128}), (std::vector<uint8_t>{0xFF, 0xA0, 0x00}));  // 10000000
  // 1111111111 then 16 bits.
  EXPECT_EQ(Encode({128}), (std::vector<uint8_t>{0xFF, 0xC0, 0x20, 0x00}));
  EXPECT_EQ(Encode({-32768}), (std::vector<uint8_t>{0xFF, 0xE0, 0x00, 0x00}));
}

TEST(ScpHuffmanEncoder, CountsTheBitsEachValueTakes) {
  EXPECT_EQ(DefaultCodeBits(0), 1);
  EXPECT_EQ(DefaultCodeBits(1), 3);
  EXPECT_EQ(DefaultCodeBits(-8), 10);
  EXPECT_EQ(DefaultCodeBits(127), 18);
  EXPECT_EQ(DefaultCodeBits(-128), 18);
  EXPECT_EQ(DefaultCodeBits(-129), 26);
  for (int value = -300; value <= 300; ++value) {
    size_t bits = 0;
    Encode({static_cast<int16_t>(value)}, &bits);
    EXPECT_EQ(static_cast<int>(bits), DefaultCodeBits(static_cast<int16_t>(value))) << value;
  }
}

TEST(ScpHuffmanEncoder, EveryValueDecodesBackWithTheDefaultTable) {
  std::vector<int16_t> values;
  for (int value = -32768; value <= 32767; ++value) {
    values.push_back(static_cast<int16_t>(value));
  }
  const std::vector<uint8_t> bytes = Encode(values);
  std::vector<int16_t> decoded(values.size());
  uint32_t produced = 0;
  ASSERT_EQ(ScpHuffmanDecode(nullptr, bytes.data(), static_cast<uint32_t>(bytes.size()),
                             decoded.data(), static_cast<uint32_t>(decoded.size()), &produced),
            0);
  // The padding bits of the last byte decode as extra zeros.
  EXPECT_GE(produced, values.size());
  EXPECT_LT(produced, values.size() + 8);
  EXPECT_EQ(decoded, values);
}

}  // namespace
