#include "scp/ScpHuffman.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::Bytes;
using codectest::HuffmanWriter;

// Decodes with the default table into room for `room` values; returns the values written.
std::vector<int16_t> Decode(const Bytes& bytes, uint32_t room, uint32_t* produced,
                            ScpStatus* status = nullptr) {
  std::vector<int16_t> out(room + 1, 0x5A5A);
  const ScpStatus result = ScpHuffmanDecode(
      nullptr, bytes.data(), static_cast<uint32_t>(bytes.size()), out.data(), room, produced);
  if (status != nullptr) {
    *status = result;
  }
  EXPECT_EQ(out[room], 0x5A5A) << "wrote past maxValues";
  out.resize(std::min(room, *produced));
  return out;
}

Bytes FromBits(const std::string& bits) {
  HuffmanWriter writer;
  writer.Bits(bits);
  return writer.Data();
}

TEST(ScpHuffman, EveryZeroBitIsAValueZero) {
  uint32_t produced = 0;
  EXPECT_EQ(Decode({0x00, 0x00}, 32, &produced), std::vector<int16_t>(16, 0));
  EXPECT_EQ(produced, 16u);
}

TEST(ScpHuffman, PaddingBitsAfterTheLastCodeDecodeAsZeros) {
  uint32_t produced = 0;
  // 0x80 = 100 (+1) then five 0 bits of padding.
  EXPECT_EQ(Decode({0x80}, 16, &produced), (std::vector<int16_t>{1, 0, 0, 0, 0, 0}));
}

TEST(ScpHuffman, EightBitEscapeIsTwosComplement) {
  uint32_t produced = 0;
  EXPECT_EQ(Decode(FromBits("1111111110 11111111"), 1, &produced)[0], -1);
  EXPECT_EQ(Decode(FromBits("1111111110 01111111"), 1, &produced)[0], 127);
}

TEST(ScpHuffman, SixteenBitEscapeReachesTheMostNegativeValue) {
  uint32_t produced = 0;
  EXPECT_EQ(Decode(FromBits("1111111111 1000000000000000"), 1, &produced)[0], -32768);
}

TEST(ScpHuffman, ShortCodesOfBothSignsDecodeInStreamOrder) {
  uint32_t produced = 0;
  // 33 bits of codes, padded with seven 0 bits to five bytes.
  const Bytes bytes = FromBits("100 101 1100 1101 111111100 1111111101");
  ASSERT_EQ(bytes.size(), 5u);
  EXPECT_EQ(Decode(bytes, 32, &produced),
            (std::vector<int16_t>{1, -1, 2, -2, 7, -8, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ScpHuffman, ValuesPastMaxValuesAreCountedButNotWritten) {
  uint32_t produced = 0;
  EXPECT_TRUE(Decode({0x80, 0x00}, 0, &produced).empty());
  EXPECT_EQ(produced, 14u);
  EXPECT_EQ(Decode({0x80, 0x00}, 2, &produced), (std::vector<int16_t>{1, 0}));
  EXPECT_EQ(produced, 14u);
}

TEST(ScpHuffman, NoBytesGiveNoValues) {
  uint32_t produced = 99;
  ScpStatus status = -1;
  EXPECT_TRUE(Decode({}, 4, &produced, &status).empty());
  EXPECT_EQ(produced, 0u);
  EXPECT_EQ(status, kScpOk);
}

TEST(ScpHuffman, CodeCutOffByTheEndIsDroppedAndCutValueBitsStayZero) {
  uint32_t produced = 0;
  // 11111110 starts a code of 9 or 10 bits, and the data end first: no value.
  EXPECT_EQ(Decode({0xFE}, 4, &produced), (std::vector<int16_t>{}));
  // 8-bit escape with only 6 value bits left: 011111 then the missing 2 low bits as 0 -> 124.
  EXPECT_EQ(Decode(FromBits("1111111110 011111"), 4, &produced), (std::vector<int16_t>{124}));
}

TEST(ScpHuffman, EncodedRandomValuesDecodeToThemselves) {
  std::mt19937 random(1064);
  std::uniform_int_distribution<int> small(-10, 10);
  std::uniform_int_distribution<int> large(-32768, 32767);
  std::vector<int16_t> values;
  values.reserve(5000);
  for (int i = 0; i < 5000; ++i) {
    values.push_back(static_cast<int16_t>(i % 7 == 0 ? large(random) : small(random)));
  }
  uint32_t produced = 0;
  std::vector<int16_t> decoded =
      Decode(codectest::HuffmanValues(values), static_cast<uint32_t>(values.size()), &produced);
  EXPECT_EQ(decoded, values);
  EXPECT_LT(produced - values.size(), 8u);  // at most the padding of the last byte
}

TEST(ScpHuffman, TableWithoutACodeForTheBitsStopsAfterThirtyTwoBits) {
  ScpHuffmanCode table[kScpDefaultHuffmanRows] = {};  // every row needs 0 bits: nothing matches
  const Bytes bytes(8, 0xFF);
  std::vector<int16_t> out(4);
  uint32_t produced = 0;
  EXPECT_EQ(ScpHuffmanDecode(table, bytes.data(), 8, out.data(), 4, &produced),
            kScpErrHuffmanNoCode - kScpLayerDirectory);
  EXPECT_EQ(produced, 0u);
}

TEST(ScpHuffman, TableSwitchCodeIsRefused) {
  ScpHuffmanCode table[kScpDefaultHuffmanRows] = {};
  table[0] = {1, 1, 0, 0, 0x0};  // a single 0 bit switches tables
  const Bytes bytes{0x00};
  std::vector<int16_t> out(4);
  uint32_t produced = 0;
  EXPECT_EQ(ScpHuffmanDecode(table, bytes.data(), 1, out.data(), 4, &produced),
            kScpErrHuffmanSwitch - kScpLayerDirectory);
}

// The lookup decoder against the bit-by-bit one on streams of every kind: random bytes (many cut
// codes and escapes, or long runs of short codes), runs of ones (the longest codes and escapes back
// to back), escapes cut at every bit, all cut to every length and decoded into too little, exact
// and ample room.
TEST(ScpHuffman, LookupDecoderMatchesTheBitByBitDecoderOnEveryStream) {
  std::mt19937 random(2026);
  std::vector<Bytes> streams;
  for (int i = 0; i < 200; ++i) {
    Bytes bytes(random() % 80);
    const uint8_t bias = static_cast<uint8_t>(random());  // some streams lean to ones
    for (uint8_t& byte : bytes) {
      byte = static_cast<uint8_t>(random() | (i % 3 == 0 ? bias : 0));
      if (i % 3 == 1) {
        byte &= random() & random();  // others to zeros: long runs of short codes
      }
    }
    streams.push_back(bytes);
  }
  streams.push_back(Bytes(24, 0xFF));
  streams.push_back(FromBits("1111111111 1000000000000000 1111111110 10000000 0 101"));
  for (int cut = 0; cut <= 26; ++cut) {
    streams.push_back(FromBits(std::string(10, '1') + std::string(static_cast<size_t>(cut), '1')));
  }
  for (const Bytes& full : streams) {
    for (size_t length = 0; length <= full.size(); ++length) {
      for (uint32_t room : {0u, 3u, 20u, 700u}) {
        std::vector<int16_t> fast(room + 1, 0x1234);
        std::vector<int16_t> slow(room + 1, 0x1234);
        uint32_t fastCount = 7;
        uint32_t slowCount = 9;
        const auto n = static_cast<uint32_t>(length);
        ASSERT_EQ(ScpHuffmanDecode(nullptr, full.data(), n, fast.data(), room, &fastCount),
                  ScpHuffmanDecodeBitByBit(nullptr, full.data(), n, slow.data(), room, &slowCount));
        ASSERT_EQ(fastCount, slowCount);
        ASSERT_EQ(fast, slow) << "stream of " << length << " bytes";
      }
    }
  }
}

}  // namespace
