#include "scp/ScpHuffman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "scp/ScpDecode.h"
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

// The samples decoder keeps the first value (and with second differences the second one too) as
// a sample and sums the rest into it, whether a value comes as an escape or in a run of short
// codes; an unknown encoding leaves the values as they are.
TEST(ScpHuffman, SamplesDecoderUndoesTheDifferenceEncoding) {
  const Bytes bytes = codectest::HuffmanValues({100, 50, 1, -1, 2, 0, 0, 300});
  const std::vector<std::vector<int16_t>> expected = {
      {100, 50, 1, -1, 2, 0, 0, 300},            // 0: as stored
      {100, 150, 151, 150, 152, 152, 152, 452},  // 1: running sums
      {100, 50, 1, -49, -97, -145, -193, 59},    // 2: x[i] = 2 x[i - 1] - x[i - 2] + d[i]
      {100, 50, 1, -1, 2, 0, 0, 300},            // 3: unknown, as stored
  };
  for (size_t encoding = 0; encoding < expected.size(); ++encoding) {
    std::vector<int16_t> out(8);
    uint32_t produced = 0;
    ASSERT_EQ(ScpHuffmanDecodeSamples(nullptr, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                      static_cast<uint8_t>(encoding), out.data(), 8, &produced),
              kScpOk);
    EXPECT_EQ(out, expected[encoding]) << "encoding " << encoding;
  }
}

// The bit-by-bit decoding of `length` bytes into room for `room` values, then the difference
// encoding undone over the values kept: what both lookup decoders must write.
struct Reference {
  ScpStatus status;
  uint32_t produced;
  std::vector<int16_t> out;
};

Reference DecodeBitByBit(const Bytes& bytes, uint32_t length, uint32_t room, int encoding) {
  Reference reference{0, 9, std::vector<int16_t>(room + 1, 0x1234)};
  reference.status = ScpHuffmanDecodeBitByBit(nullptr, bytes.data(), length, reference.out.data(),
                                              room, &reference.produced);
  const auto kept = static_cast<int32_t>(std::min(reference.produced, room));
  if (encoding == 1) {
    ScpUndoFirstDifferences(reference.out.data(), kept);
  } else if (encoding == 2) {
    ScpUndoSecondDifferences(reference.out.data(), kept);
  }
  return reference;
}

// The lookup decoders against the bit-by-bit one on streams of every kind: random bytes (many cut
// codes and escapes, or long runs of short codes), lead-like streams of small differences with
// escapes now and then, runs of ones (the longest codes and escapes back to back), escapes cut at
// every bit; all cut to every length, decoded into too little, nearly enough, exact and ample
// room, with each difference encoding undone (through a copy of the default table, decoded bit
// by bit, for every other stream).
TEST(ScpHuffman, LookupDecodersMatchTheBitByBitDecoderOnEveryStream) {
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
  std::uniform_int_distribution<int> small(-9, 9);
  std::uniform_int_distribution<int> any(-32768, 32767);
  for (int i = 0; i < 12; ++i) {
    std::vector<int16_t> values(400);
    for (int16_t& value : values) {
      value = static_cast<int16_t>(random() % 40 == 0 ? any(random) : small(random) / 3);
    }
    streams.push_back(codectest::HuffmanValues(values));
  }
  streams.push_back(Bytes(24, 0xFF));
  streams.push_back(FromBits("1111111111 1000000000000000 1111111110 10000000 0 101"));
  for (int cut = 0; cut <= 26; ++cut) {
    streams.push_back(FromBits(std::string(10, '1') + std::string(static_cast<size_t>(cut), '1')));
  }
  std::vector<ScpHuffmanCode> copy(ScpDefaultHuffmanTable,
                                   ScpDefaultHuffmanTable + kScpDefaultHuffmanRows);
  for (size_t stream = 0; stream < streams.size(); ++stream) {
    const Bytes& full = streams[stream];
    const ScpHuffmanCode* table = stream % 2 == 0 ? nullptr : copy.data();
    for (uint32_t length = 0; length <= full.size(); ++length) {
      for (uint32_t room : {0u, 3u, 20u, 33u, 60u, 2000u}) {
        for (int encoding = 0; encoding <= 2; ++encoding) {
          const Reference expected = DecodeBitByBit(full, length, room, encoding);
          std::vector<int16_t> out(room + 1, 0x1234);
          uint32_t produced = 7;
          ASSERT_EQ(
              ScpHuffmanDecodeSamples(table, full.data(), length, static_cast<uint8_t>(encoding),
                                      out.data(), room, &produced),
              expected.status);
          ASSERT_EQ(produced, expected.produced);
          ASSERT_EQ(out, expected.out)
              << "stream " << stream << " cut to " << length << " bytes, encoding " << encoding;
          if (encoding == 0) {
            std::fill(out.begin(), out.end(), 0x1234);
            ASSERT_EQ(ScpHuffmanDecode(nullptr, full.data(), length, out.data(), room, &produced),
                      expected.status);
            ASSERT_EQ(produced, expected.produced);
            ASSERT_EQ(out, expected.out) << "stream " << stream << " cut to " << length;
          }
          if (table == nullptr && stream > 0) {  // beside the whole stream before it
            const Bytes& other = streams[stream - 1];
            const auto otherLength = static_cast<uint32_t>(other.size());
            const Reference otherExpected = DecodeBitByBit(other, otherLength, 2000, encoding);
            std::vector<int16_t> first(room + 1, 0x1234);
            std::vector<int16_t> second(2001, 0x1234);
            uint32_t firstCount = 0;
            uint32_t secondCount = 0;
            ScpHuffmanDecodeSamplesPair(
                static_cast<uint8_t>(encoding), {full.data(), length, first.data(), room},
                {other.data(), otherLength, second.data(), 2000}, &firstCount, &secondCount);
            ASSERT_EQ(firstCount, expected.produced);
            ASSERT_EQ(first, expected.out) << "pair: stream " << stream << " cut to " << length;
            ASSERT_EQ(secondCount, otherExpected.produced);
            ASSERT_EQ(second, otherExpected.out) << "pair: stream " << stream - 1;
          }
        }
      }
    }
  }
}

// Lead-like streams of every length near the run and batch widths (8 and 32 values) and beyond:
// mostly short codes, one value in four an escape drawn from every size of sample, edge values
// among them. Each lookup decoder, alone and beside the stream before, into short, exact and ample
// room, against the bit-by-bit decoder with the difference encoding undone.
TEST(ScpHuffman, LookupDecodersMatchTheBitByBitDecoderOnLeadsOfEveryLength) {
  std::mt19937 random(8);
  std::uniform_int_distribution<int> small(-8, 8);
  Bytes before = codectest::HuffmanValues({1, -1, 2});
  for (uint32_t count = 1; count <= 160; ++count) {
    const auto mix = codectest::kSampleMixes[count % std::size(codectest::kSampleMixes)];
    std::vector<int16_t> values = codectest::RandomSamples(random, count, mix);
    for (int16_t& value : values) {
      value = random() % 4 == 0 ? value : static_cast<int16_t>(small(random));
    }
    const Bytes bytes = codectest::HuffmanValues(values);
    const auto length = static_cast<uint32_t>(bytes.size());
    const auto beforeLength = static_cast<uint32_t>(before.size());
    for (const uint32_t room : {count - 1, count, count + 40}) {
      for (uint8_t encoding = 0; encoding <= 2; ++encoding) {
        SCOPED_TRACE(testing::Message()
                     << count << " values, room " << room << ", encoding " << int{encoding});
        const Reference expected = DecodeBitByBit(bytes, length, room, encoding);
        std::vector<int16_t> out(room + 1, 0x1234);
        uint32_t produced = 0;
        ASSERT_EQ(ScpHuffmanDecodeSamples(nullptr, bytes.data(), length, encoding, out.data(), room,
                                          &produced),
                  kScpOk);
        ASSERT_EQ(produced, expected.produced);
        ASSERT_EQ(out, expected.out);
        const Reference other = DecodeBitByBit(before, beforeLength, 200, encoding);
        std::vector<int16_t> first(200 + 1, 0x1234);
        std::fill(out.begin(), out.end(), 0x1234);
        uint32_t firstCount = 0;
        ScpHuffmanDecodeSamplesPair(encoding, {before.data(), beforeLength, first.data(), 200},
                                    {bytes.data(), length, out.data(), room}, &firstCount,
                                    &produced);
        ASSERT_EQ(first, other.out);
        ASSERT_EQ(firstCount, other.produced);
        ASSERT_EQ(out, expected.out);
        ASSERT_EQ(produced, expected.produced);
      }
    }
    if (count % 3 == 0) {
      before = bytes;
    }
  }
}

}  // namespace
